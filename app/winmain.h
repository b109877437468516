// What the window code of the main window shares between its files.
#pragma once

#include <windows.h>

#include "app/dpiscale.h"

extern HDC OffscreenDC;            // start-up; the colour buttons paint through it
extern HWND ToolTipWindow;         // window creation; the main window's tooltips
extern WNDPROC BaseButtonProc;     // window creation; the system's button procedure

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK IconButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL RegisterWindowClasses();
// A window's size for its client area at dpi: the frame and caption that the
// system adds at that dpi to a window of that style, where it can tell
// (Windows 10 1607 and later), else at its own.
SIZE WindowSizeAt(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);
// Sends TTM_RELAYEVENT for the mouse messages that tooltips watch.
void RelayToolTipEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
