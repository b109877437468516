// The main window's status bar (winshared.h).
#include "app/winshared.h"

#include <commctrl.h>
#include <oleacc.h>
#include <string.h>

#include "app/installrun.h"
#include "base/bounded.h"

// The status bar's text. The bar's one part is owner-drawn: the main window
// paints it (WM_DRAWITEM) in the system colours of the moment, where the
// control's own painting may keep the face of the colours it started with.
// The bar still answers WM_SETTEXT and WM_GETTEXT with this text, so the
// install's progress texts, the slide that reads them back and other programs
// that read the bar see what it shows. Window creation and the window's thread
// only; the slide writes at most 200 characters.
static char StatusText[256];
static WNDPROC BaseStatusProc;  // window creation; the status window's own procedure
// EVENT_OBJECT_LIVEREGIONCHANGED, of Windows 8 and later (the headers give it
// only to programs for them); earlier systems pass it on to no one.
constexpr DWORD kLiveRegionChanged = 0x8019;

static LRESULT CALLBACK StatusBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT: {
        const char *text = lParam ? (const char *)lParam : "";
        bool news = StatusTextNews(StatusText, text);
        if (!CopyText(StatusText, sizeof StatusText, text))
            return FALSE;
        // The part keeps this buffer as its owner-draw data; a new text in
        // the same buffer is no change to the control, so the part is
        // invalidated here.
        CallWindowProcA(BaseStatusProc, bar, SB_SETTEXTA, 0 | SBT_OWNERDRAW, (LPARAM)StatusText);
        InvalidateRect(bar, nullptr, FALSE);
        // A live region's change, which screen readers announce: the
        // install's progress and its end, not the slide's steps.
        if (news)
            NotifyWinEvent(kLiveRegionChanged, bar, OBJID_CLIENT, CHILDID_SELF);
        return TRUE;
    }
    case WM_GETTEXT:
        return wParam && CopyText((char *)lParam, wParam, StatusText) ? (LRESULT)strlen(StatusText) : 0;
    case WM_GETTEXTLENGTH:
        return (LRESULT)strlen(StatusText);
    default:
        return CallWindowProcA(BaseStatusProc, bar, message, wParam, lParam);
    }
}

// The bar is a polite live region (the LiveSetting property, annotated on its
// window): a screen reader announces its new texts when it has finished
// speaking, wherever the focus is. The annotation stays with the window.
// Without the system's annotation service the bar stays an ordinary one.
static void MakeLiveRegion(HWND bar)
{
    static const GUID kLiveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
    const LONG kPolite = 1;
    IAccPropServices *services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                (void **)&services)))
        return;
    VARIANT setting;
    VariantInit(&setting);
    setting.vt = VT_I4;
    setting.lVal = kPolite;
    services->SetHwndProp(bar, OBJID_CLIENT, CHILDID_SELF, kLiveSetting, setting);
    services->Release();
}

void MakeStatusBar(HWND main)
{
    HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", main, IDC_STATUS);
    MakeLiveRegion(status);
    BaseStatusProc = (WNDPROC)SetWindowLongPtrA(status, GWLP_WNDPROC, (LONG_PTR)StatusBarProc);
    SetWindowTextA(status, kStatusPrompt);
}

// The status bar's part: the face and the text in the colours of the push
// buttons, which every theme keeps readable against each other; the text set
// in a little from the part's edge and centred in its height, as the status
// window sets its own. The bar's border above the part gets the face too: a
// status window drawn in a visual style paints it in the style's own face.
void DrawStatusPart(const DRAWITEMSTRUCT *item)
{
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    int borders[3] = {};  // horizontal, vertical, between parts
    SendMessageA(item->hwndItem, SB_GETBORDERS, 0, (LPARAM)borders);
    RECT r;
    GetClientRect(item->hwndItem, &r);
    r.bottom = r.top + borders[1];
    FillRect(item->hDC, &r, face);
    r = item->rcItem;
    FillRect(item->hDC, &r, face);
    int oldMode = SetBkMode(item->hDC, TRANSPARENT);
    COLORREF oldColor = SetTextColor(item->hDC, GetSysColor(COLOR_BTNTEXT));
    r.left += 3;
    DrawTextA(item->hDC, StatusText, -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(item->hDC, oldColor);
    SetBkMode(item->hDC, oldMode);
}

// The common controls keep their own copy of the system colours: a theme's
// new colours reach them only through their top-level window. The status
// bar's ground around its part is set outright, and the whole bar painted
// again in the new colours.
void StatusBarColorsChanged(HWND main, WPARAM wParam, LPARAM lParam)
{
    HWND status = GetDlgItem(main, IDC_STATUS);
    SendMessageA(status, WM_SYSCOLORCHANGE, wParam, lParam);
    SendMessageA(status, SB_SETBKCOLOR, 0, (LPARAM)GetSysColor(COLOR_BTNFACE));
    InvalidateRect(status, nullptr, TRUE);
}
