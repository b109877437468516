// The program's entry point: single instance, process-wide values, measures,
// window classes, the main window and the message loop.
#include "app/winshared.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <stddef.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/commandline.h"
#include "app/placement.h"
#include "app/schedulerun.h"
#include "app/startup.h"
#include "app/unattended.h"
#include "app/windowcalls.h"
#include "backup/backup.h"
#include "base/apperror.h"

HDC OffscreenDC;

static WPARAM RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        if (IsDialogMessageA((HWND)MainWindow, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return msg.wParam;
}

// The copy that runs may be starting still, its window not made yet: it is
// looked for a few seconds, then given up.
static void BringRunningCopyForward()
{
    for (int waited = 0; waited < 5000; waited += 50) {
        if (HWND running = FindWindowA(kMainClass, nullptr)) {
            SetForegroundWindow(running);
            return;
        }
        Sleep(50);
    }
}

// The command line's words after the program's name, in UTF-8.
static std::vector<std::string> Arguments()
{
    std::vector<std::string> words;
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; i++) {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string word(bytes > 0 ? bytes - 1 : 0, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &word[0], bytes, nullptr, nullptr);
        words.push_back(word);
    }
    LocalFree(wide);
    return words;
}

// Writes to the console that started the program, when there is one: its
// standard handle when that leads somewhere (a pipe, a file), otherwise the
// console of the process that started it.
static void ConsoleWrite(DWORD which, const std::string &text)
{
    HANDLE out = GetStdHandle(which);
    if (!out || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return;
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                          nullptr);
        if (out == INVALID_HANDLE_VALUE)
            return;
    }
    DWORD mode, written;
    int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(units > 0 ? units - 1 : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], units);
    if (GetConsoleMode(out, &mode))
        WriteConsoleW(out, wide.c_str(), (DWORD)wide.size(), &written, nullptr);
    else
        WriteFile(out, text.data(), (DWORD)text.size(), &written, nullptr);
}

// "/schedule" in its forms: no window, what it did on the console.
static int RunScheduleCommand(HINSTANCE instance, const ProgramCommand &command)
{
    std::string report;
    SetProcessValues((PlatInstance)instance);
    if (!MainFoldersUsable(&report)) {
        ConsoleWrite(STD_ERROR_HANDLE, "DesktopQuennel: " + report + "\n");
        return kExitFolderUnusable;
    }
    int code = MainScheduleCommand(command, UtcSecondsNow(), &report);
    ConsoleWrite(code == kExitClosed ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, report);
    return code;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    ProgramCommand command = ParseCommandLine(commandLine, Arguments());
    if (command.kind == kRunUsage) {
        ConsoleWrite(STD_OUTPUT_HANDLE, kUsage);
        return kExitClosed;
    }
    if (command.kind == kRunBadArguments) {
        ConsoleWrite(STD_ERROR_HANDLE, "DesktopQuennel: " + command.problem + "\n\n" + kUsage);
        return kExitBadArguments;
    }
    if (command.kind == kRunSchedule || command.kind == kRunScheduleShow || command.kind == kRunScheduleOff ||
        command.kind == kRunScheduleOffAll)
        return RunScheduleCommand(instance, command);
    // "/r" runs for the uninstaller and "/apply" for a script or a scheduled
    // switch, with no one to answer a box: they say what happened with their
    // exit code and the log.
    bool revert = command.kind == kRunRevert, scheduled = command.kind == kRunApplyScheduled;
    bool apply = command.kind == kRunApply || scheduled;
    if (!MainIsOnlyCopy()) {
        if (revert)
            return kExitRevertOtherCopy;
        if (scheduled) {
            SetProcessValues((PlatInstance)instance);
            MainScheduledBusy(UtcSecondsNow());
        }
        if (!apply)
            BringRunningCopyForward();
        return kExitOtherCopy;
    }
    if (apply || revert)
        UnattendedExitCode = kExitCannotApply;
    Unattended = apply || revert;
    SetProcessValues((PlatInstance)instance);
    std::string report;
    if (!MainFoldersUsable(&report)) {
        if (!revert && !apply)
            MessageBoxShow(nullptr, report.c_str(), "Desktop Quennel", kMbIconWarning);
        return kExitFolderUnusable;
    }
    // A revert goes back to this user's own backup; a user who has none has
    // nothing of theirs to put back, and a backup made now would only hold
    // what is set now.
    if (revert && !UserHasBackup())
        return kExitNoBackup;
    // A scheduled switch with nothing due ends here, having read its schedule
    // and nothing else.
    long long periodStart = 0;
    if (scheduled) {
        int code = MainScheduledDue(UtcSecondsNow(), &command.themeId, &command.parts, &periodStart);
        if (code >= 0)
            return code;
    }
    OffscreenDC = CreateCompatibleDC(nullptr);
    InitCommonControls();
    // The colour buttons' accessible objects reach other processes through COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RegisterWindowClasses();
    AppWindow.aboutBox = RunAboutBox;
    AppWindow.scheduleDialog = RunScheduleDialog;
    // The window is made with its controls, then laid out once at its own
    // dpi (its monitor's), its corner where it was made.
    MainState state;
    HWND main = CreateWindowExA(0, kMainClass, "Desktop Quennel", WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100,
                                0, 0, nullptr, nullptr, instance, &state);
    MainWindow = (PlatWindow)main;
    AppAssert(main != nullptr && MainLayOut(MainWindow, &state, WindowDpi(MainWindow), nullptr), "winmain",
              kSiteMainWindow, "Main window creation failed");

    if (revert) {
        MainRevertUnattended(MainWindow, &state);
        WPARAM code = RunMessageLoop();
        return code == kExitClosed ? kExitReverted : (int)code;
    }
    if (apply) {
        MainApplyUnattended(MainWindow, &state, command.themeId, command.parts);
        int code = (int)RunMessageLoop();
        if (scheduled)
            MainScheduledEnded(code, periodStart, UtcSecondsNow());
        return code;
    }
    ShowWindow(main, showCommand);
    WPARAM code = RunMessageLoop();
    FontDelete(state.font);
    FontDelete(state.statusFont);
    DeleteDC(OffscreenDC);
    CoUninitialize();
    return (int)code;
}
