// The window operations of the win32 backend (window.h), for the main
// window's code: controls, texts, capture, cursor, timers and messages. Apart
// from the system operations because only the window code uses them.
#include "platform/window.h"
#include "platform/win32/win32_text.h"

#include <vector>

static_assert(kWmCommand == WM_COMMAND && kWmTimer == WM_TIMER && kWmClose == WM_CLOSE &&
              kWmDestroy == WM_DESTROY && kWmUser == WM_USER, "messages");

PlatWindow WindowItem(PlatWindow parent, int id) { return (PlatWindow)GetDlgItem((HWND)parent, id); }
void WindowSetText(PlatWindow window, const char *text)
{
    std::u16string wide;
    if (Widen(text, &wide))
        SetWindowTextW((HWND)window, Wide(wide));
}
unsigned WindowGetText(PlatWindow window, char *buf, unsigned size)
{
    if (size == 0)
        return 0;
    buf[0] = 0;
    int units = GetWindowTextLengthW((HWND)window);
    std::vector<wchar_t> text(units + 1);
    units = GetWindowTextW((HWND)window, text.data(), units + 1);
    unsigned n = Narrow(text.data(), units, buf, size);
    if (n >= size) {
        buf[0] = 0;
        return 0;
    }
    return n;
}
void WindowUpdate(PlatWindow window) { UpdateWindow((HWND)window); }
void MouseCapture(PlatWindow window) { SetCapture((HWND)window); }
void MouseRelease() { ReleaseCapture(); }
void CursorShow(SystemCursor cursor) { SetCursor(LoadCursorA(nullptr, cursor == kCursorWait ? IDC_WAIT : IDC_ARROW)); }
void TimerStart(PlatWindow window, unsigned id, unsigned ms) { SetTimer((HWND)window, id, ms, nullptr); }
void TimerStop(PlatWindow window, unsigned id) { KillTimer((HWND)window, id); }
void WindowEnable(PlatWindow window, bool enable) { EnableWindow((HWND)window, enable); }
bool WindowIsEnabled(PlatWindow window) { return IsWindowEnabled((HWND)window) == TRUE; }
void ButtonSetCheck(PlatWindow parent, int id, int state) { CheckDlgButton((HWND)parent, id, state); }
void WindowFocus(PlatWindow window) { SetFocus((HWND)window); }
int WindowId(PlatWindow window) { return GetDlgCtrlID((HWND)window); }
void WindowDestroy(PlatWindow window) { DestroyWindow((HWND)window); }
void MessageLoopQuit(int code) { PostQuitMessage(code); }

bool MessagePost(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return PostMessageA((HWND)window, message, wParam, lParam) != 0;
}
intptr_t MessageSend(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return SendMessageA((HWND)window, message, wParam, lParam);
}
