// Helpers of the tests that drive real programs under Wine: waiting for a
// condition, reading another process's window text, the test program's own
// folder, another process's windows.
#pragma once

#include <windows.h>

#include <string.h>
#include <wchar.h>

#include <string>

// How long a test waits for what must come (a window, a text, a process end):
// long enough for a machine busy with other work. A wait that succeeds ends as
// soon as its condition holds, so this costs nothing on an idle machine.
constexpr DWORD kPatience = 60000;

// Polls a condition every 20 ms until it holds or ms have passed, handling this
// thread's messages meanwhile (windows the test itself made stay alive).
template <class F>
bool WaitFor(F condition, DWORD ms)
{
    for (DWORD start = GetTickCount();; Sleep(20)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (condition())
            return true;
        if (GetTickCount() - start >= ms)
            return false;
    }
}

// Waits up to ms for the process to end and gives its exit code; one that is
// still running then is ended, with 9999. Closes its handles either way.
inline DWORD ProcessEnd(PROCESS_INFORMATION &pi, DWORD ms)
{
    DWORD code = 9999;
    if (WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 9999);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    pi = {};
    return code;
}

// The tests' texts are UTF-8, as the program's; the system's calls take them
// as UTF-16.
inline std::wstring Wide(const std::string &utf8)
{
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(units > 0 ? units - 1 : 0, L'\0');
    if (units > 1)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], units);
    return wide;
}

inline std::string Narrow(const wchar_t *wide)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1)
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

// WM_GETTEXT crosses processes; GetWindowText on another process's control
// would give the text it was created with.
inline std::string Text(HWND window)
{
    wchar_t buf[4096] = L"";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, &length))
        return "<hung>";
    return Narrow(buf);
}

// The folder of the running test program.
inline std::string TestFolder()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    *wcsrchr(self, L'\\') = 0;
    return Narrow(self);
}

// The first visible or hidden top-level window of the class (and the caption,
// when given) that belongs to the process: never a window that an earlier
// test's program, still ending, has left.
inline HWND ProcessWindow(DWORD process, const char *windowClass, const char *caption = nullptr)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, windowClass, caption); w;
         w = FindWindowExA(nullptr, w, windowClass, caption)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process)
            return w;
    }
    return nullptr;
}
