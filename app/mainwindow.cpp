// The main window procedure: creates the controls and translates messages to
// the command logic.
#include "app/winmain.h"

#include <commctrl.h>

#include <initializer_list>

#include "app/appglobals.h"
#include "base/bounded.h"
#include "app/mainlogic.h"

HWND ToolTipWindow;
WNDPROC BaseButtonProc;

// The status bar's text. The bar's one part is owner-drawn: the main window
// paints it (WM_DRAWITEM) in the system colours of the moment, where the
// control's own painting may keep the face of the colours it started with.
// The bar still answers WM_SETTEXT and WM_GETTEXT with this text, so the
// install's progress texts, the slide that reads them back and other programs
// that read the bar see what it shows. Window creation and the window's thread
// only; the slide writes at most 200 characters.
static char StatusText[256];
static WNDPROC BaseStatusProc;  // window creation; the status window's own procedure

static LRESULT CALLBACK StatusBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT:
        if (!CopyText(StatusText, sizeof StatusText, lParam ? (const char *)lParam : ""))
            return FALSE;
        // The part keeps this buffer as its owner-draw data; a new text in
        // the same buffer is no change to the control, so the part is
        // invalidated here.
        CallWindowProcA(BaseStatusProc, bar, SB_SETTEXTA, 0 | SBT_OWNERDRAW, (LPARAM)StatusText);
        InvalidateRect(bar, nullptr, FALSE);
        return TRUE;
    case WM_GETTEXT:
        return wParam && CopyText((char *)lParam, wParam, StatusText) ? (LRESULT)strlen(StatusText) : 0;
    case WM_GETTEXTLENGTH:
        return (LRESULT)strlen(StatusText);
    default:
        return CallWindowProcA(BaseStatusProc, bar, message, wParam, lParam);
    }
}

// The status bar's part: the face and the text in the colours of the push
// buttons, which every theme keeps readable against each other; the text set
// in a little from the part's edge and centred in its height, as the status
// window sets its own. The bar's border above the part gets the face too: a
// status window drawn in a visual style paints it in the style's own face.
static void DrawStatusPart(const DRAWITEMSTRUCT *item)
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

void RelayToolTipEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
        MSG msg = {};
        msg.hwnd = window;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        SendMessageA(ToolTipWindow, TTM_RELAYEVENT, 0, (LPARAM)&msg);
        break;
    }
    default:
        break;
    }
}

static LRESULT CALLBACK ButtonRelayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RelayToolTipEvent(window, message, wParam, lParam);
    return CallWindowProcA(BaseButtonProc, window, message, wParam, lParam);
}

static HWND MakeControl(HWND main, const char *className, const char *text, int id, DWORD style,
                        const PixelRect &r)
{
    return CreateWindowExA(0, className, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, main,
                           (HMENU)(INT_PTR)id, (HINSTANCE)AppInstance, nullptr);
}

static void AddTool(HWND main, int id)
{
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // 40 bytes
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = main;
    tool.uId = (UINT_PTR)GetDlgItem(main, id);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(ToolTipWindow, TTM_ADDTOOLA, 0, (LPARAM)&tool);
}

// Gives a button the control font and the tooltip relay.
static void PrepareButton(HWND main, int id)
{
    HWND button = GetDlgItem(main, id);
    SendMessageA(button, WM_SETFONT, (WPARAM)UiFont, FALSE);
    WNDPROC old = (WNDPROC)SetWindowLongPtrA(button, GWLP_WNDPROC, (LONG_PTR)ButtonRelayProc);
    if (!BaseButtonProc)
        BaseButtonProc = old;
}

static void CreateControls(HWND main)
{
    HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", main, IDC_STATUS);
    BaseStatusProc = (WNDPROC)SetWindowLongPtrA(status, GWLP_WNDPROC, (LONG_PTR)StatusBarProc);
    SetWindowTextA(status, kStatusPrompt);

    ToolTipWindow = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, main, nullptr, (HINSTANCE)AppInstance, nullptr);
    SendMessageA(ToolTipWindow, TTM_ACTIVATE, TRUE, 0);
    SendMessageA(ToolTipWindow, TTM_SETDELAYTIME, TTDT_INITIAL, 1250);

    MainLayout layout;
    ComputeMainLayout(Measures, &layout);

    static const struct {
        const char *name;
        int id;
    } colors[5] = {{"WHITE", IDC_WHITE}, {"BLUE", IDC_BLUE}, {"BLACK", IDC_BLACK}, {"RED", IDC_RED}, {"GREEN", IDC_GREEN}};
    for (int i = 0; i < 5; i++)
        MakeControl(main, "ZORVATHEME_IconButtonClass", colors[i].name, colors[i].id,
                    WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP, layout.colorButtons[i]);
    MainSelectInitialColor((PlatWindow)main);
    for (int id : {IDC_BLACK, IDC_BLUE, IDC_GREEN, IDC_RED, IDC_WHITE})
        AddTool(main, id);

    MakeControl(main, "BUTTON", "", IDC_PARTS, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, layout.groupBox);
    static const char *const checkTexts[7] = {"&Screen Saver", "Soun&ds",         "&Mouse Cursors", "&Wallpaper",
                                              "Desktop &Icons", "Window &Colors", "Window &Fonts"};
    for (int k = 0; k < 7; k++)
        MakeControl(main, "BUTTON", checkTexts[k], IDC_SCREENSAVER + k,
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX | (k == 0 ? WS_GROUP : 0), layout.checkBoxes[k]);
    const int checkOrder[7] = {IDC_ICONS, IDC_COLORS, IDC_FONTS, IDC_SCREENSAVER, IDC_WALLPAPER, IDC_CURSORS, IDC_SOUNDS};
    for (int id : checkOrder)
        PrepareButton(main, id);
    MainTickAllParts((PlatWindow)main);
    for (int id : checkOrder)
        AddTool(main, id);

    static const struct {
        const char *text;
        int id;
    } pushes[5] = {{"OK", IDOK}, {"Cancel", IDCANCEL}, {"A&pply", IDC_APPLY}, {"&Revert", IDC_REVERT},
                   {"&About...", IDC_ABOUT}};
    for (int k = 0; k < 5; k++)
        MakeControl(main, "BUTTON", pushes[k].text, pushes[k].id,
                    WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | (k == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                    layout.pushButtons[k]);
    for (const auto &push : pushes)
        PrepareButton(main, push.id);
    for (const auto &push : pushes)
        AddTool(main, push.id);

    // The colour buttons' icons at the layout's size.
    MainPlaceControls((PlatWindow)main, Measures, UiFont);
    SetFocus(GetDlgItem(main, IDC_APPLY));
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        MainTakeSnapshots();
        CreateControls(window);
        return 0;
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (header->code == TTN_NEEDTEXTA) {
            NMTTDISPINFOA *info = (NMTTDISPINFOA *)lParam;
            if (const char *text = ToolTipText(GetDlgCtrlID((HWND)header->idFrom)))
                info->lpszText = (LPSTR)text;
        }
        return 0;
    }
    case WM_ERASEBKGND:
        DefWindowProcA(window, message, wParam, lParam);
        return 1;
    case WM_DRAWITEM:
        if (wParam != IDC_STATUS)
            return FALSE;
        DrawStatusPart((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_SYSCOLORCHANGE:
        // The common controls keep their own copy of the system colours: a
        // theme's new colours reach them only through their top-level window.
        // The status bar's ground around its part is set outright, and the
        // whole bar painted again in the new colours.
        SendMessageA(GetDlgItem(window, IDC_STATUS), WM_SYSCOLORCHANGE, wParam, lParam);
        SendMessageA(GetDlgItem(window, IDC_STATUS), SB_SETBKCOLOR, 0, (LPARAM)GetSysColor(COLOR_BTNFACE));
        InvalidateRect(GetDlgItem(window, IDC_STATUS), nullptr, TRUE);
        SendMessageA(ToolTipWindow, WM_SYSCOLORCHANGE, wParam, lParam);
        return 0;
    default: {
        bool handled;
        LRESULT result = MainWindowMessage((PlatWindow)window, message, wParam, lParam, &handled);
        return handled ? result : DefWindowProcA(window, message, wParam, lParam);
    }
    }
}
