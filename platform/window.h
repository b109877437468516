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
// EnableWindow, IsWindowEnabled, CheckDlgButton, SetFocus, GetDlgCtrlID.
void WindowEnable(PlatWindow window, bool enable);
bool WindowIsEnabled(PlatWindow window);
void ButtonSetCheck(PlatWindow parent, int id, int state);
void WindowFocus(PlatWindow window);
int WindowId(PlatWindow window);
// DestroyWindow (the window gets WM_DESTROY before it returns) and
// PostQuitMessage.
void WindowDestroy(PlatWindow window);
void MessageLoopQuit(int code);
// PostMessageA and SendMessageA, for this program's own windows.
constexpr unsigned kWmDestroy = 0x0002;
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmCommand = 0x0111;
constexpr unsigned kWmTimer = 0x0113;
constexpr unsigned kWmUser = 0x0400;
bool MessagePost(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam);
intptr_t MessageSend(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam);
