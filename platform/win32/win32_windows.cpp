// The window operations of the win32 backend (window.h), for the main
// window's code: controls, texts, capture, cursor, timers and messages. Apart
// from the system operations because only the window code uses them.
#include "platform/window.h"
#include "platform/win32/win32_text.h"

#include <stddef.h>

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
PlatWindow WindowFocused() { return (PlatWindow)GetFocus(); }
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

// ------------------------------------------------------- sizes at a dpi
static_assert(kWmDpiChanged == 0x02E0 && kWmSize == WM_SIZE, "messages");
static_assert(kSmCyCaption == SM_CYCAPTION && kSmCxIcon == SM_CXICON && kSmCyIcon == SM_CYICON, "metrics");

void WindowMove(PlatWindow window, int left, int top, int width, int height)
{
    SetWindowPos((HWND)window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The screen's dpi: the system's for a program aware of DPI.
static int ScreenDpi()
{
    HDC dc = GetDC(nullptr);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc)
        ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

// The calls of later systems, found at run time: the program runs on Windows
// 7 too, where user32 has none of them.
template <class F>
static F User32Call(const char *name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? (F)(void *)GetProcAddress(user32, name) : nullptr;
}

void WindowSizeClient(PlatWindow window, int clientWidth, int clientHeight, int dpi)
{
    typedef BOOL(WINAPI * AdjustForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static AdjustForDpi adjust = User32Call<AdjustForDpi>("AdjustWindowRectExForDpi");
    HWND w = (HWND)window;
    DWORD style = (DWORD)GetWindowLongW(w, GWL_STYLE), exStyle = (DWORD)GetWindowLongW(w, GWL_EXSTYLE);
    BOOL menu = !(style & WS_CHILD) && GetMenu(w) != nullptr;
    RECT frame = {0, 0, clientWidth, clientHeight};
    if (!adjust || !adjust(&frame, style, menu, exStyle, (UINT)dpi))
        AdjustWindowRectEx(&frame, style, menu, exStyle);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const UINT keep = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE;
    SetWindowPos(w, nullptr, 0, 0, width, height, keep);
    RECT client;
    GetClientRect(w, &client);
    if (client.right != clientWidth || client.bottom != clientHeight)
        SetWindowPos(w, nullptr, 0, 0, width + clientWidth - client.right, height + clientHeight - client.bottom, keep);
}

int WindowDpi(PlatWindow window)
{
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    static DpiForWindow call = User32Call<DpiForWindow>("GetDpiForWindow");
    UINT dpi = call ? call((HWND)window) : 0;
    return dpi > 0 ? (int)dpi : ScreenDpi();
}

PlatFont FontCreate(int pixels, const char *face)
{
    std::u16string wide;
    if (!Widen(face, &wide))
        return nullptr;
    return (PlatFont)CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, Wide(wide));
}

PlatFont StatusFontCreate(int dpi)
{
    typedef BOOL(WINAPI * ParametersForDpi)(UINT, UINT, PVOID, UINT, UINT);
    static ParametersForDpi call = User32Call<ParametersForDpi>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (call && call(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, (UINT)dpi))
        return (PlatFont)CreateFontIndirectW(&metrics.lfStatusFont);
    // Older systems do not know the padded border.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return nullptr;
    metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, dpi, ScreenDpi());
    return (PlatFont)CreateFontIndirectW(&metrics.lfStatusFont);
}

void FontDelete(PlatFont font)
{
    if (font)
        DeleteObject((HFONT)font);
}

void WindowSetFont(PlatWindow window, PlatFont font) { SendMessageW((HWND)window, WM_SETFONT, (WPARAM)font, TRUE); }

bool TextExtent(PlatFont font, const char *text, int *width, int *height)
{
    *width = *height = 0;
    std::u16string wide;
    if (!font || !Widen(text, &wide))
        return false;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, (HFONT)font);
    SIZE size = {};
    bool measured = GetTextExtentPoint32W(dc, Wide(wide), (int)wide.size(), &size) != FALSE;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (measured)
        *width = size.cx, *height = size.cy;
    return measured;
}

int SystemMetricAtDpi(int index, int dpi)
{
    typedef int(WINAPI * MetricsForDpi)(int, UINT);
    static MetricsForDpi call = User32Call<MetricsForDpi>("GetSystemMetricsForDpi");
    if (call)
        return call(index, (UINT)dpi);
    return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi());
}
