// The tooltips of the main window's controls (winshared.h).
#include "app/winshared.h"

#include <commctrl.h>

static HWND ToolTipWindow;     // window creation
static WNDPROC BaseButtonProc;  // window creation; the system's button procedure

void MakeToolTips(HWND main)
{
    ToolTipWindow = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, main, nullptr, (HINSTANCE)AppInstance, nullptr);
    SendMessageA(ToolTipWindow, TTM_ACTIVATE, TRUE, 0);
    SendMessageA(ToolTipWindow, TTM_SETDELAYTIME, TTDT_INITIAL, 1250);
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

void AddToolTip(HWND main, int id, bool relayMouse)
{
    HWND control = GetDlgItem(main, id);
    if (relayMouse) {
        WNDPROC old = (WNDPROC)SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)ButtonRelayProc);
        if (!BaseButtonProc)
            BaseButtonProc = old;
    }
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // 40 bytes
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = main;
    tool.uId = (UINT_PTR)control;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(ToolTipWindow, TTM_ADDTOOLA, 0, (LPARAM)&tool);
}

void ToolTipColorsChanged(WPARAM wParam, LPARAM lParam)
{
    SendMessageA(ToolTipWindow, WM_SYSCOLORCHANGE, wParam, lParam);
}
