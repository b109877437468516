// Helpers of the tests that drive real programs under Wine: waiting for a
// condition, reading another process's window text, the test program's own
// folder, another process's windows.
#pragma once

#include <windows.h>

#include <string.h>

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

// WM_GETTEXT crosses processes; GetWindowTextA on another process's control
// would give the text it was created with.
inline std::string Text(HWND window)
{
    char buf[512] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, &length))
        return "<hung>";
    return buf;
}

// The folder of the running test program.
inline std::string TestFolder()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    *strrchr(self, '\\') = 0;
    return self;
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
