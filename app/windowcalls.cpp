// What the install and the wallpaper job show in the main window.
#include "app/windowcalls.h"

#include "base/apperror.h"

#include <string>

#include "app/controls.h"
#include "install/installtheme.h"
#include "wallpaper/wallpaperjob.h"

PlatWindow MainWindow;
AppWindowCalls AppWindow;
int Unattended;
int UnattendedFailed;

void MainReport(PlatWindow owner, const char *text, const char *caption, unsigned style)
{
    if (!Unattended) {
        MessageBoxShow(owner, text, caption, style);
        return;
    }
    AppLogReport((std::string(caption) + ": " + text).c_str());
    UnattendedFailed = 1;
}

static void InstallStarted()
{
    MouseCapture(MainWindow);
    CursorShow(kCursorWait);
    TimerStart(MainWindow, kInstallTimer, 100);
}

static void InstallStatus(const char *text, int paintNow)
{
    PlatWindow status = WindowItem(MainWindow, IDC_STATUS);
    WindowSetText(status, text);
    if (paintNow)
        WindowUpdate(status);
}

static void InstallRepaint() { WindowUpdate(MainWindow); }

static void InstallEnded()
{
    MouseRelease();
    CursorShow(kCursorArrow);
}

static void WindowBox(const char *text, const char *caption, unsigned style)
{
    MainReport(MainWindow, text, caption, style);
}

// On the job's thread: posting is all it may do with the window.
static bool TellWallpaperFailed() { return MessagePost(MainWindow, WM_WALLPAPERFAILED, 0, 0); }

void ConnectWindowCalls()
{
    InstallWindow = InstallWindowCalls{InstallStarted, InstallStatus, InstallRepaint, InstallEnded, WindowBox};
    WallpaperWindow = WallpaperWindowCalls{TellWallpaperFailed, WindowBox};
}
