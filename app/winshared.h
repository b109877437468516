// What the window code of the main window shares between its files: the
// window classes, the colour buttons' painting surface, the tooltips, the
// status bar and the About box. Every call here runs down, to the window
// logic or the seam.
#pragma once

#include <windows.h>

#include "app/mainstate.h"

extern const char kMainClass[];
extern const char kIconButtonClass[];
extern HDC OffscreenDC;  // start-up; the colour buttons paint through it

// The main window's and the colour buttons' classes.
BOOL RegisterWindowClasses();
LRESULT CALLBACK IconButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_GETOBJECT's answer for a colour button's client area (OBJID_CLIENT):
// the button as a radio button of the colour group; 0 when none can be made,
// and the system's own object then serves.
LRESULT ColorButtonObject(HWND button, WPARAM wParam);

// The tooltips of the main window's controls, their texts asked of the main
// window (TTN_NEEDTEXT) when they show.
void MakeToolTips(HWND main);
// Gives the control id a tooltip; with relayMouse (a system button, which
// cannot relay them itself), its mouse messages relayed to the tooltips.
void AddToolTip(HWND main, int id, bool relayMouse);
// Sends TTM_RELAYEVENT for the mouse messages that tooltips watch.
void RelayToolTipEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ToolTipColorsChanged(WPARAM wParam, LPARAM lParam);

// The status bar, its one part owner-drawn in the system colours of the
// moment, showing kStatusPrompt; a polite live region to assistive
// technology, told of each new text.
void MakeStatusBar(HWND main);
void DrawStatusPart(const DRAWITEMSTRUCT *item);
void StatusBarColorsChanged(HWND main, WPARAM wParam, LPARAM lParam);

// WM_DPICHANGED's new dpi: the low word of wParam (the high word is the same).
inline int DpiChangedDpi(WPARAM wParam) { return LOWORD(wParam); }
inline PixelRect DpiChangedRect(LPARAM lParam)
{
    const RECT *r = (const RECT *)lParam;
    return PixelRect{r->left, r->top, r->right, r->bottom};
}

// The About box, modal.
void RunAboutBox(PlatWindow main);
// The dialog manager of Windows 10 1703 and later lays a dialog out again from
// its template when its dpi changes; the program's dialogs lay themselves out.
void KeepDialogManagerFromRelayout(HWND dialog);

// "Schedule..." at the end of the main window's system menu, after a
// separator; and its dialog, modal (AppWindowCalls::scheduleDialog).
void AddScheduleMenuItem(HWND main);
struct ScheduleDialogStart;
struct Schedule;
int RunScheduleDialog(PlatWindow main, const ScheduleDialogStart &start, Schedule *made);
