// The program's entry point: single instance, process-wide values, measures,
// window classes, the main window and the message loop.
#include "app/winmain.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stddef.h>
#include <string.h>

#include <string>
#include <vector>

#include "base/apperror.h"
#include "app/appglobals.h"
#include "app/mainlogic.h"
#include "app/windowcalls.h"
#include "backup/backup.h"

static const char kMainClass[] = "ZORVATHEME_MainClass";
static const char kIconButtonClass[] = "ZORVATHEME_IconButtonClass";

HDC OffscreenDC;
HFONT UiFont;
UiMeasures Measures;

BOOL RegisterWindowClasses()
{
    WNDCLASSA main = {};
    main.style = CS_OWNDC;
    main.lpfnWndProc = MainWndProc;
    main.hInstance = (HINSTANCE)AppInstance;
    main.hIcon = LoadIconA((HINSTANCE)AppInstance, "Balls");
    main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    main.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    main.lpszClassName = kMainClass;

    WNDCLASSA button = {};
    button.style = CS_DBLCLKS;
    button.lpfnWndProc = IconButtonProc;
    button.cbWndExtra = 8;  // the icon and the pressed state
    button.hInstance = (HINSTANCE)AppInstance;
    button.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    button.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    button.lpszClassName = kIconButtonClass;
    return RegisterClassA(&main) && RegisterClassA(&button);
}

// The control font and the measures that every size of the window comes from.
// The system scales this program's window as a picture on a scaled screen and
// tells it 96 dots an inch; where it tells the real resolution instead (Wine,
// older systems at 120 dots an inch), the font and the gaps grow with it like
// the system's own fonts and icons, so the window keeps its proportions.
static void TakeMeasures()
{
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    Measures.dpi = GetDeviceCaps(dc, LOGPIXELSY);
    if (Measures.dpi <= 0)
        Measures.dpi = 96;
    UiFont = CreateFontA(-LayoutPixels(Measures, 14), 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                         "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, UiFont);
    SIZE check, cancel;
    GetTextExtentPointA(dc, "Window Colors", 13, &check);
    GetTextExtentPointA(dc, "Cancel", 6, &cancel);
    // The status bar writes in the system's status font; its prompt must fit
    // the window. The record's size without the padded border, which older
    // systems do not know.
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    SIZE prompt = {};
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        HFONT statusFont = CreateFontIndirectA(&metrics.lfStatusFont);
        SelectObject(dc, statusFont);
        GetTextExtentPointA(dc, kStatusPrompt, (int)strlen(kStatusPrompt), &prompt);
        SelectObject(dc, UiFont);
        DeleteObject(statusFont);
    }
    SelectObject(dc, old);
    ReleaseDC(desktop, dc);
    Measures.statusWidth = prompt.cx ? prompt.cx + LayoutPixels(Measures, 12) : 0;
    Measures.checkWidth = check.cx + LayoutPixels(Measures, 30);
    Measures.lineHeight = check.cy;
    Measures.buttonWidth = cancel.cx + LayoutPixels(Measures, 20);
    Measures.buttonHeight = cancel.cy * 7 / 4;
    Measures.iconCellWidth = GetSystemMetrics(SM_CXICON) * 3 / 2;
    Measures.iconCellHeight = GetSystemMetrics(SM_CYICON) * 3 / 2;
}

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
    // "/r" runs for the uninstaller and "/apply" for a script, with no one to
    // answer a box: they say what happened with their exit code and the log.
    bool revert = command.kind == kRunRevert, apply = command.kind == kRunApply;
    if (HWND running = FindWindowA(kMainClass, nullptr)) {
        if (!apply)
            SetForegroundWindow(running);
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
    OffscreenDC = CreateCompatibleDC(nullptr);
    InitCommonControls();
    RegisterWindowClasses();
    TakeMeasures();

    int width, height;
    MainWindowExtent(Measures, GetSystemMetrics(SM_CYCAPTION), &width, &height);
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND main = CreateWindowExA(0, kMainClass, "Desktop Quennel", WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                nullptr);
    MainWindow = (PlatWindow)main;
    AppAssert(main != nullptr, "winmain", kSiteMainWindow, "Main window creation failed");

    if (revert) {
        MainRevertUnattended(MainWindow);
        WPARAM code = RunMessageLoop();
        return code == kExitClosed ? kExitReverted : (int)code;
    }
    if (apply) {
        MainApplyUnattended(MainWindow, command.themeId, command.parts);
        return (int)RunMessageLoop();
    }
    ShowWindow(main, showCommand);
    WPARAM code = RunMessageLoop();
    DeleteDC(OffscreenDC);
    return (int)code;
}
