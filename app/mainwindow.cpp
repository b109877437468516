// The main window: its classes, its controls, and the window procedure that
// decodes messages for the window logic.
#include "app/winshared.h"

#include <commctrl.h>

#include "app/mainlogic.h"
#include "app/placement.h"
#include "app/startup.h"
#include "app/windowcalls.h"

const char kMainClass[] = "ZORVATHEME_MainClass";
const char kIconButtonClass[] = "ZORVATHEME_IconButtonClass";

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

BOOL RegisterWindowClasses()
{
    WNDCLASSA main = {};
    main.style = CS_OWNDC;
    main.lpfnWndProc = MainWndProc;
    main.hInstance = (HINSTANCE)AppInstance;
    main.hIcon = LoadIconA((HINSTANCE)AppInstance, "Balls");
    main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    main.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    main.lpszClassName = kMainClass;

    WNDCLASSA button = {};
    button.style = CS_DBLCLKS;
    button.lpfnWndProc = IconButtonProc;
    button.cbWndExtra = 12;  // the icon, the pressed state and the icon's size
    button.hInstance = (HINSTANCE)AppInstance;
    button.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    button.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    button.lpszClassName = kIconButtonClass;
    return RegisterClassA(&main) && RegisterClassA(&button);
}

// A control made with no size: the first layout places it.
static void MakeControl(HWND main, const char *className, const char *text, int id, DWORD style)
{
    CreateWindowExA(0, className, text, style, 0, 0, 0, 0, main, (HMENU)(INT_PTR)id, (HINSTANCE)AppInstance,
                    nullptr);
}

static void CreateControls(HWND main, const MainState &state)
{
    MakeStatusBar(main);
    MakeToolTips(main);
    // In kColorOrder, kCheckOrder and kPushOrder. A colour button's text
    // names its icon; the colour buttons are one group, whose tab stop is
    // the chosen colour's (ShowChoices sets it).
    static const char *const colors[5] = {"WHITE", "BLUE", "BLACK", "RED", "GREEN"};
    static const char *const checks[7] = {"&Screen Saver",  "Soun&ds",        "&Mouse Cursors", "&Wallpaper",
                                          "Desktop &Icons", "Window &Colors", "Window &Fonts"};
    static const char *const pushes[5] = {"OK", "Cancel", "A&pply", "&Revert", "&About..."};
    for (int i = 0; i < 5; i++)
        MakeControl(main, kIconButtonClass, colors[i], kColorOrder[i], WS_CHILD | WS_VISIBLE | (i == 0 ? WS_GROUP : 0));
    MakeControl(main, "BUTTON", "", IDC_PARTS, WS_CHILD | WS_VISIBLE | BS_GROUPBOX);
    for (int k = 0; k < 7; k++)
        MakeControl(main, "BUTTON", checks[k], kCheckOrder[k],
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX | (k == 0 ? WS_GROUP : 0));
    for (int k = 0; k < 5; k++)
        MakeControl(main, "BUTTON", pushes[k], kPushOrder[k],
                    WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | (k == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
    ShowChoices((PlatWindow)main, state.choices);
    for (int id : kColorOrder)
        AddToolTip(main, id, false);  // the colour buttons relay their own
    for (int id : kCheckOrder)
        AddToolTip(main, id, true);
    for (int id : kPushOrder)
        AddToolTip(main, id, true);
    SetFocus(GetDlgItem(main, IDC_APPLY));
}

// The window's state comes with its creation (WinMain's record) and is kept
// with the window; messages before it, the first few of a window's life, get
// the default processing.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)((const CREATESTRUCTA *)lParam)->lpCreateParams);
    MainState *state = (MainState *)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        MainTakeSnapshots(state);
        CreateControls(window, *state);
        AddScheduleMenuItem(window);
        return 0;
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (header->code == TTN_NEEDTEXTA) {
            NMTTDISPINFOA *info = (NMTTDISPINFOA *)lParam;
            if (const char *text = ToolTipText(state->choices, GetDlgCtrlID((HWND)header->idFrom)))
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
        StatusBarColorsChanged(window, wParam, lParam);
        ToolTipColorsChanged(wParam, lParam);
        return 0;
    case kWmDpiChanged: {
        PixelRect suggested = DpiChangedRect(lParam);
        MainLayOut((PlatWindow)window, state, DpiChangedDpi(wParam), &suggested);
        return 0;
    }
    default: {
        bool handled;
        LRESULT result = MainWindowMessage((PlatWindow)window, state, message, wParam, lParam, &handled);
        return handled ? result : DefWindowProcA(window, message, wParam, lParam);
    }
    }
}
