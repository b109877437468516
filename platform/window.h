// The window operations of the seam, for the main window's code: the
// controls, the capture and cursor, timers and messages. The same two backends
// as system.h implement them.
#pragma once

#include "platform/system.h"

// GetDlgItem; null when the parent has no child with that identifier.
PlatWindow WindowItem(PlatWindow parent, int id);
// SetWindowTextW and GetWindowTextW; the text is refused when it does not fit
// (buf gets "" and the result is 0), otherwise its length.
void WindowSetText(PlatWindow window, const char *text);
unsigned WindowGetText(PlatWindow window, char *buf, unsigned size);
// UpdateWindow: paints what is invalid now, without waiting for messages.
void WindowUpdate(PlatWindow window);
// SetCapture and ReleaseCapture.
void MouseCapture(PlatWindow window);
void MouseRelease();
// LoadCursorA(NULL, IDC_ARROW or IDC_WAIT), then SetCursor.
enum SystemCursor { kCursorArrow, kCursorWait };
void CursorShow(SystemCursor cursor);
// SetTimer with no timer procedure (the window gets WM_TIMER), and KillTimer.
void TimerStart(PlatWindow window, unsigned id, unsigned ms);
void TimerStop(PlatWindow window, unsigned id);
// EnableWindow, IsWindowEnabled, CheckDlgButton, SetFocus, GetFocus (the
// window of this thread with the keyboard focus, or null), GetDlgCtrlID.
void WindowEnable(PlatWindow window, bool enable);
bool WindowIsEnabled(PlatWindow window);
void ButtonSetCheck(PlatWindow parent, int id, int state);
void WindowFocus(PlatWindow window);
PlatWindow WindowFocused();
int WindowId(PlatWindow window);
// DestroyWindow (the window gets WM_DESTROY before it returns) and
// PostQuitMessage.
void WindowDestroy(PlatWindow window);
void MessageLoopQuit(int code);
// PostMessageA and SendMessageA, for this program's own windows.
constexpr unsigned kWmDestroy = 0x0002;
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmCommand = 0x0111;
constexpr unsigned kWmSysCommand = 0x0112;
constexpr unsigned kWmTimer = 0x0113;
constexpr unsigned kWmUser = 0x0400;
bool MessagePost(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam);
intptr_t MessageSend(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam);

// ------------------------------------------------------- sizes at a dpi
// The program declares per-monitor DPI awareness: the system tells it each
// monitor's own dpi and never stretches its window; the window lays itself
// out at its monitor's dpi, and again when it moves to another monitor.

// WM_DPICHANGED: wParam's low word the new dpi (the high word the same),
// lParam the system's suggested window rectangle (a RECT in the screen's
// coordinates). WM_SIZE.
constexpr unsigned kWmDpiChanged = 0x02E0;
constexpr unsigned kWmSize = 0x0005;

// SetWindowPos without a change of order, activation or redrawing the parent:
// the position in the parent's client coordinates (a top-level window's in
// the screen's) and the size.
void WindowMove(PlatWindow window, int left, int top, int width, int height);
// Sizes the window, its top-left corner kept, for a client area of
// clientWidth x clientHeight at dpi: the frame and caption that the system
// adds at that dpi to a window of this window's own style
// (AdjustWindowRectExForDpi where the system has it, Windows 10 1607 and
// later, else AdjustWindowRectEx at its own dpi); a system that then draws
// another frame (Wine keeps its own) gives another client area, and the
// window grows or shrinks by the difference.
void WindowSizeClient(PlatWindow window, int clientWidth, int clientHeight, int dpi);
// GetDpiForWindow where the system has it (Windows 10 1607 and later), else
// the screen's LOGPIXELSY; 96 when neither tells.
int WindowDpi(PlatWindow window);

// A font (HFONT on win32).
typedef struct PlatFontRec *PlatFont;
// CreateFontW of the face, its em height pixels (a negative lfHeight), normal
// weight, the ANSI character set; null when the system cannot make it.
PlatFont FontCreate(int pixels, const char *face);
// The system's status-bar font at dpi: SystemParametersInfoForDpi's where the
// system has it, else SystemParametersInfoW's with its height scaled from the
// screen's dpi to dpi. Null when the system tells none.
PlatFont StatusFontCreate(int dpi);
// DeleteObject; a null font is nothing.
void FontDelete(PlatFont font);
// WM_SETFONT, redrawing the control.
void WindowSetFont(PlatWindow window, PlatFont font);
// GetTextExtentPoint32W of the text in the font, on a screen DC; false, both
// 0, when it cannot be measured.
bool TextExtent(PlatFont font, const char *text, int *width, int *height);
// GetSystemMetricsForDpi where the system has it, else GetSystemMetrics
// scaled from the screen's dpi to dpi.
constexpr int kSmCyCaption = 4;
constexpr int kSmCxIcon = 11;
constexpr int kSmCyIcon = 12;
int SystemMetricAtDpi(int index, int dpi);
