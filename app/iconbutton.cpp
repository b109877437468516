// The colour buttons: an icon centred on a button face, flat or in an etched
// frame, painted off screen, with the focus rectangle when the button has
// the keyboard focus. The main window decides which one looks pressed; to
// the keyboard and to assistive technology they are one group of radio
// buttons (accessible.cpp).
#include "app/winshared.h"

#include <oleacc.h>

constexpr int kIconWord = 0;   // the icon handle
constexpr int kStateWord = 4;  // non-zero: the etched, pressed look
constexpr int kSizeWord = 8;   // the icon's side in pixels

// The look a button had when the mouse pressed it: a release outside goes back
// to it, so the selected colour's button stays pressed. One button at a time
// holds the capture.
static LONG StateBeforePress;

static void Repaint(HWND window) { InvalidateRect(window, nullptr, TRUE); }

// The focus is shown always with the system's keyboard cues on, otherwise as
// the window's UI state says: the system may hide it until the keyboard is
// used.
static bool FocusShown(HWND window)
{
    BOOL cues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    return cues || !(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

static void Paint(HWND window)
{
    HICON icon = (HICON)GetWindowLongPtrA(window, kIconWord);
    LONG pressed = GetWindowLongA(window, kStateWord);
    RECT r;
    GetClientRect(window, &r);

    HDC dc = GetDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, r.right, r.bottom);
    ReleaseDC(window, dc);
    HGDIOBJ keptBitmap = SelectObject(OffscreenDC, bitmap);
    HPEN light = CreatePen(PS_INSIDEFRAME, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HPEN shadow = CreatePen(PS_INSIDEFRAME, 1, GetSysColor(COLOR_BTNSHADOW));
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

    FillRect(OffscreenDC, &r, face);
    HGDIOBJ keptPen = SelectObject(OffscreenDC, shadow);
    if (pressed) {
        auto line = [](int x0, int y0, int x1, int y1) {
            MoveToEx(OffscreenDC, x0, y0, nullptr);
            LineTo(OffscreenDC, x1, y1);
        };
        SelectObject(OffscreenDC, shadow);
        line(0, 0, r.right - 1, 0);
        line(0, 0, 0, r.bottom - 1);
        line(r.right - 2, r.bottom - 2, r.right - 2, 0);
        line(r.right - 2, r.bottom - 2, 0, r.bottom - 2);
        SelectObject(OffscreenDC, light);
        line(1, 1, r.right - 2, 1);
        line(1, 1, 1, r.bottom - 2);
        line(r.right - 1, r.bottom - 1, r.right - 1, -1);
        line(r.right - 1, r.bottom - 1, -1, r.bottom - 1);
    }
    int size = GetWindowLongA(window, kSizeWord);
    DrawIconEx(OffscreenDC, (r.right - size) / 2, (r.bottom - size) / 2, icon, size, size, 0, nullptr, DI_NORMAL);
    if (GetFocus() == window && FocusShown(window)) {
        RECT focus = r;
        InflateRect(&focus, -3, -3);  // inside the etched frame
        DrawFocusRect(OffscreenDC, &focus);
    }
    SelectObject(OffscreenDC, keptPen);
    DeleteObject(light);
    DeleteObject(shadow);
    DeleteObject(face);

    PAINTSTRUCT ps;
    HDC paint = BeginPaint(window, &ps);
    BitBlt(paint, 0, 0, r.right, r.bottom, OffscreenDC, 0, 0, SRCCOPY);
    EndPaint(window, &ps);
    SelectObject(OffscreenDC, keptBitmap);
    DeleteObject(bitmap);
}

// The button's icon, named by its text, from the image that fits size best
// (the system scales it when none has that size); the one before deleted.
static void SetIconSize(HWND window, int size)
{
    char name[16];
    if (!GetWindowTextA(window, name, sizeof name))
        return;
    HICON icon = (HICON)LoadImageA((HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE), name, IMAGE_ICON, size, size, 0);
    if (!icon)
        return;
    if (HICON old = (HICON)GetWindowLongPtrA(window, kIconWord))
        DestroyIcon(old);
    SetWindowLongPtrA(window, kIconWord, (LONG_PTR)icon);
    SetWindowLongA(window, kSizeWord, size);
    Repaint(window);
}

static bool PointerInside(HWND window, LPARAM lParam)
{
    RECT r;
    GetClientRect(window, &r);
    POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    return PtInRect(&r, p) != 0;
}

LRESULT CALLBACK IconButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RelayToolTipEvent(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        SetWindowLongA(window, kStateWord, 0);
        SetIconSize(window, GetSystemMetrics(SM_CXICON));
        return 0;
    case IBM_SETICONSIZE:
        SetIconSize(window, (int)wParam);
        return 0;
    case WM_DESTROY:
        DestroyIcon((HICON)GetWindowLongPtrA(window, kIconWord));
        return 0;
    case WM_SETFOCUS:
        // The choice first, so that a screen reader told of the focus reads
        // the button checked.
        SendMessageA(GetParent(window), WM_COLORFOCUS, GetDlgCtrlID(window), 0);
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, CHILDID_SELF);
        Repaint(window);
        return 0;
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:  // the focus rectangle goes, or the system shows or hides it
        DefWindowProcA(window, message, wParam, lParam);
        Repaint(window);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON | DLGC_WANTARROWS;  // the arrows move within the group, not to other controls
    case WM_KEYDOWN:
        if (!SendMessageA(GetParent(window), WM_COLORKEY, wParam, GetDlgCtrlID(window)))
            return DefWindowProcA(window, message, wParam, lParam);
        // The keyboard is in use: the focus shows from now on.
        SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        return 0;
    case WM_GETOBJECT:
        if ((DWORD)lParam == (DWORD)OBJID_CLIENT)
            if (LRESULT object = ColorButtonObject(window, wParam))
                return object;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_MOUSEMOVE:
        if (GetCapture() == window) {
            SetWindowLongA(window, kStateWord, PointerInside(window, lParam) ? 1 : 0);
            Repaint(window);
        }
        return 0;
    case WM_LBUTTONDOWN:
        StateBeforePress = GetWindowLongA(window, kStateWord);
        SetCapture(window);
        SetWindowLongA(window, kStateWord, 1);
        Repaint(window);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == window) {
            bool inside = PointerInside(window, lParam);
            SetWindowLongA(window, kStateWord, inside ? 1 : StateBeforePress);
            Repaint(window);
            ReleaseCapture();
            if (inside) {
                // A click chooses the colour, its own too (an Apply again).
                SendMessageA(GetParent(window), WM_COMMAND, GetDlgCtrlID(window), (LPARAM)window);
                SetFocus(window);
            }
        }
        return 0;
    case WM_LBUTTONDBLCLK: {
        HWND parent = GetParent(window);
        SendMessageA(parent, WM_COMMAND, IDC_APPLY, (LPARAM)GetDlgItem(parent, IDOK));
        return 0;
    }
    case IBM_SETSTATE: {
        // The chosen colour's button is the group's one tab stop: Tab enters
        // the group on it.
        SetWindowLongA(window, kStateWord, (LONG)wParam);
        LONG style = GetWindowLongA(window, GWL_STYLE);
        SetWindowLongA(window, GWL_STYLE, wParam ? style | WS_TABSTOP : style & ~WS_TABSTOP);
        Repaint(window);
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
