// Drives the real program from a shell, for the tests that run it as more
// than one user (a Wine prefix each): each verb is one step as a user takes
// it, and says what came of it in its output and exit code.
//   program_driver start-close PROGRAM        start, wait for the window, close it
//   program_driver press PROGRAM ID...        start, press the controls in turn (a colour,
//                                             then OK, say), wait for the end
//   program_driver run PROGRAM ARGS           run without a window to press; its exit code
//   program_driver exec COMMAND_LINE          run a command line as it stands (an
//                                             installer's unquoted /D=), wait; its exit code
//   program_driver get KEY VALUE              a text of HKEY_CURRENT_USER in UTF-8, with
//                                             " (REG_EXPAND_SZ)" for that type, or <missing>
//   program_driver set KEY VALUE TEXT [expand]  a text of HKEY_CURRENT_USER
// KEY, VALUE and TEXT are UTF-8. The exit code is the program's, 90 when a
// window of the program stayed or never came, 91 for bad arguments.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "tests/wintesting.h"

namespace {

struct Started {
    PROCESS_INFORMATION pi{};
    bool ok = false;
};

Started Start(const std::string &program, const std::string &args)
{
    Started s;
    std::wstring line = Wide("\"" + program + "\"" + (args.empty() ? "" : " " + args));
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    s.ok = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &s.pi) != 0;
    return s;
}

// The program's exit code, 90 when it does not end in time (it is then ended).
int Finish(Started &s)
{
    DWORD code = 90;
    if (WaitForSingleObject(s.pi.hProcess, 2 * kPatience) == WAIT_OBJECT_0)
        GetExitCodeProcess(s.pi.hProcess, &code);
    else
        TerminateProcess(s.pi.hProcess, 90);
    CloseHandle(s.pi.hProcess);
    CloseHandle(s.pi.hThread);
    return (int)code;
}

HWND MainWindowOf(Started &s)
{
    HWND main = nullptr;
    WaitFor([&] { return (main = ProcessWindow(s.pi.dwProcessId, "ZORVATHEME_MainClass")) != nullptr; }, kPatience);
    return main;
}

int Get(const std::string &key, const std::string &value)
{
    HKEY h;
    std::string text = "<missing>";
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, KEY_QUERY_VALUE, &h) == ERROR_SUCCESS) {
        wchar_t data[4096] = L"";
        DWORD type = 0, size = sizeof data - sizeof(wchar_t);
        if (RegQueryValueExW(h, value.empty() ? nullptr : Wide(value).c_str(), nullptr, &type, (BYTE *)data, &size) ==
            ERROR_SUCCESS)
            text = Narrow(data) + (type == REG_EXPAND_SZ ? " (REG_EXPAND_SZ)" : "");
        RegCloseKey(h);
    }
    DWORD written;
    text += "\n";
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), (DWORD)text.size(), &written, nullptr);
    return 0;
}

int Set(const std::string &key, const std::string &value, const std::string &text, bool expand)
{
    HKEY h;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return 1;
    std::wstring wide = Wide(text);
    LONG rc = RegSetValueExW(h, value.empty() ? nullptr : Wide(value).c_str(), 0, expand ? REG_EXPAND_SZ : REG_SZ,
                             (const BYTE *)wide.c_str(), (DWORD)(wide.size() + 1) * sizeof(wchar_t));
    RegCloseKey(h);
    return rc == ERROR_SUCCESS ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    std::string verb = argc > 1 ? Narrow(argv[1]) : "", a = argc > 2 ? Narrow(argv[2]) : "",
                b = argc > 3 ? Narrow(argv[3]) : "", c = argc > 4 ? Narrow(argv[4]) : "";
    (void)c;
    if (verb == "get" && argc == 4)
        return Get(a, b);
    if (verb == "set" && (argc == 5 || argc == 6))
        return Set(a, b, Narrow(argv[4]), argc == 6 && Narrow(argv[5]) == "expand");
    if (verb == "exec" && argc == 3) {
        std::wstring line = argv[2];
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        Started s;
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &s.pi))
            return 91;
        return Finish(s);
    }
    if (verb == "run" && argc >= 3) {
        Started s = Start(a, argc > 3 ? b : "");
        if (!s.ok)
            return 91;
        // A run without a window: one that shows is ended, and said so.
        bool window = false;
        WaitFor([&] {
            HWND main = ProcessWindow(s.pi.dwProcessId, "ZORVATHEME_MainClass");
            window = window || (main && IsWindowVisible(main)) || ProcessWindow(s.pi.dwProcessId, "#32770");
            return window || WaitForSingleObject(s.pi.hProcess, 0) == WAIT_OBJECT_0;
        }, 2 * kPatience);
        if (window)
            TerminateProcess(s.pi.hProcess, 90);
        return Finish(s);
    }
    if ((verb == "start-close" && argc == 3) || (verb == "press" && argc >= 4)) {
        Started s = Start(a, "");
        if (!s.ok)
            return 91;
        HWND main = MainWindowOf(s);
        if (!main) {
            TerminateProcess(s.pi.hProcess, 90);
            return Finish(s), 90;
        }
        if (verb == "press") {
            for (int i = 3; i < argc; i++) {
                int id = _wtoi(argv[i]);
                PostMessageA(main, WM_COMMAND, id, (LPARAM)GetDlgItem(main, id));
            }
        } else {
            PostMessageA(main, WM_CLOSE, 0, 0);
        }
        return Finish(s);
    }
    fprintf(stderr, "usage: program_driver start-close|press|run|get|set ...\n");
    return 91;
}
