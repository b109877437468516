// The main window's messages (mainlogic.h).
#include "app/mainlogic.h"

#include "app/installrun.h"
#include "app/scheduledialoglogic.h"
#include "app/schedulerun.h"
#include "app/unattended.h"
#include "app/windowcalls.h"
#include "base/apperror.h"
#include "base/bounded.h"
#include "wallpaper/wallpaperjob.h"

void MainCommand(PlatWindow main, MainState *state, int id, intptr_t lParam)
{
    // While an install runs, the mouse is captured but the keyboard still
    // reaches the window (mnemonics, space, Enter, Esc): such commands must not
    // change a choice or start a second install. The one command that counts
    // then is the Cancel that follows the wallpaper job's report of a full disk.
    if (state->installUnderWay && !(id == kIdCancel && lParam == 0))
        return;
    switch (id) {
    case kIdOk:
        if (state->choices.unchanged && !WindowIsEnabled(WindowItem(main, IDC_APPLY)))
            WindowDestroy(main);
        else
            StartInstall(main, state, state->choices.theme, true);
        return;
    case kIdCancel:
        if (state->installedThisRun)
            StartInstall(main, state, kThemeSnapshot, true);
        else
            WindowDestroy(main);
        return;
    case IDC_APPLY:
        StartInstall(main, state, state->choices.theme, false);
        return;
    case IDC_REVERT:
        MainEndScheduleForRevert(main);
        StartInstall(main, state, kThemeBackup, true);
        return;
    case IDC_ABOUT:
        if (AppWindow.aboutBox)
            AppWindow.aboutBox(main);
        WindowFocus(WindowItem(main, IDC_ABOUT));
        return;
    default:
        ChangeChoice(main, &state->choices, id);
        return;
    }
}

bool MainClose(PlatWindow main, MainState *state)
{
    if (state->installUnderWay)
        return false;  // Alt+F4 during an install: the install ends the program or the window stays
    if (state->choices.unchanged)
        return true;
    switch (MessageBoxShow(main, "Would you like the new settings applied?", "Desktop Quennel",
                           kMbYesNoCancel | kMbIconQuestion)) {
    case kIdYes:
        MainCommand(main, state, kIdOk, 0);
        break;
    case kIdNo:
        WindowDestroy(main);
        break;
    default:
        break;
    }
    return false;
}

void MainDestroy(PlatWindow main, MainState *state)
{
    // A wallpaper job still running (the run is ending after the job's own
    // Cancel) finishes its file work and its registry record first: the
    // program never ends under it.
    CloseWallpaperThread();
    if (WallpaperReport[0]) {
        // The disk filled up while the window was closing: the report posted
        // to it will never be handled, so it is shown here, with no owner,
        // and no Cancel follows. Nothing may tick under this box.
        char text[sizeof WallpaperReport];
        (void)CopyText(text, sizeof text, WallpaperReport);  // the same size
        WallpaperReport[0] = 0;
        TimerStop(main, kInstallTimer);
        state->installOnHold = true;
        MainReport(nullptr, text, kWallpaperFailedCaption, kMbIconWarning);
    }
    UnattendedRestore = nullptr;  // the snapshot goes now
    char path[kPathSize];
    if (JoinPath(path, sizeof path, UserDataDir, kWallpaperCopyName))
        FileDelete(path);
    if (JoinPath(path, sizeof path, UserDataDir, "\\Restore.theme"))
        FileDelete(path);
    MessageLoopQuit(MainExitCode(*state));
}

intptr_t MainWindowMessage(PlatWindow main, MainState *state, unsigned message, uintptr_t wParam, intptr_t lParam,
                           bool *handled)
{
    *handled = true;
    switch (message) {
    case kWmCommand:
        MainCommand(main, state, (int)(wParam & 0xFFFF), lParam);
        return 0;
    case kWmTimer:
        MainTimerTick(main, state);
        return 0;
    case WM_FINISHINSTALL:
        MainFinishInstall(main, state);
        return 0;
    case WM_WALLPAPERFAILED:
        MainWallpaperFailed(main, state);
        return 0;
    case WM_COLORACCESS:
        return ColorButtonAccessible(main, state->choices, (int)wParam, (ColorButtonAccess *)lParam);
    // While an install runs the colour group keeps its choice, as for the
    // commands (MainCommand); the keys still count as used.
    case WM_COLORKEY:
        return state->installUnderWay ? 1 : ColorButtonKey(main, &state->choices, (int)lParam, (unsigned)wParam);
    case WM_COLORFOCUS:
        if (!state->installUnderWay)
            ColorButtonFocused(main, &state->choices, (int)wParam);
        return 0;
    case kWmClose:
        *handled = !MainClose(main, state);
        return 0;
    case kWmDestroy:
        MainDestroy(main, state);
        return 0;
    case kWmSysCommand:
        // The system keeps the low four bits; the system's own commands go
        // to the default processing.
        if ((wParam & 0xFFF0) != kSysSchedule) {
            *handled = false;
            return 0;
        }
        MainOpenSchedule(main, state);
        return 0;
    default:
        *handled = false;
        return 0;
    }
}
