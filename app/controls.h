// The main window's controls: their identifiers, their order on the window,
// and the window's private messages; for the window, its logic and the tests
// that drive it.
#pragma once

#include "platform/window.h"

// A colour button's identifier is its theme identifier (theme/catalogue.h);
// OK and Cancel are the system's 1 and 2.
constexpr int IDC_BLACK = 100, IDC_RED = 101, IDC_WHITE = 102, IDC_BLUE = 103, IDC_GREEN = 104;
constexpr int IDC_SCREENSAVER = 105, IDC_SOUNDS = 106, IDC_CURSORS = 107, IDC_WALLPAPER = 108;
constexpr int IDC_ICONS = 109, IDC_COLORS = 110, IDC_FONTS = 111;
constexpr int IDC_APPLY = 112, IDC_STATUS = 113, IDC_ABOUT = 120, IDC_REVERT = 121;
constexpr int IDC_PARTS = 114;  // the group box around the check boxes

// The controls in the order the window shows them, which is their creation
// and tab order: the colour buttons round the circle from the top, the check
// boxes top to bottom, the push buttons top to bottom.
constexpr int kColorOrder[5] = {IDC_WHITE, IDC_BLUE, IDC_BLACK, IDC_RED, IDC_GREEN};
constexpr int kCheckOrder[7] = {IDC_SCREENSAVER, IDC_SOUNDS, IDC_CURSORS, IDC_WALLPAPER,
                                IDC_ICONS,       IDC_COLORS, IDC_FONTS};
constexpr int kPushOrder[5] = {kIdOk, kIdCancel, IDC_APPLY, IDC_REVERT, IDC_ABOUT};

// The status bar's text while nothing runs, which the window is wide enough for.
extern const char kStatusPrompt[];

// A colour button looks pressed (wParam 1) or flat (0).
constexpr unsigned IBM_SETSTATE = kWmUser + 1;
// A colour button's icon drawn at wParam pixels a side, from the image of
// the icon that fits that size best.
constexpr unsigned IBM_SETICONSIZE = kWmUser + 2;
// From a colour button to the main window. WM_COLORACCESS: what assistive
// technology reads of the button wParam, into the ColorButtonAccess at lParam
// (choices.h); 0 for another control. WM_COLORKEY: the key wParam (a virtual
// key) pressed on the button lParam; 0 when the group has no use for it.
// WM_COLORFOCUS: the button wParam got the keyboard focus.
constexpr unsigned WM_COLORACCESS = kWmUser + 3;
constexpr unsigned WM_COLORKEY = kWmUser + 4;
constexpr unsigned WM_COLORFOCUS = kWmUser + 5;
// The keys of the colour group, as Windows numbers them (VK_SPACE, VK_LEFT,
// VK_UP, VK_RIGHT, VK_DOWN).
constexpr unsigned kKeySpace = 0x20, kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;
// The wallpaper job is done: the install's second stage.
constexpr unsigned WM_FINISHINSTALL = kWmUser + 11;
// Posted when the wallpaper job found the disk full; the window shows the
// job's report (WallpaperReport) and cancels the run.
constexpr unsigned WM_WALLPAPERFAILED = kWmUser + 12;
constexpr unsigned kInstallTimer = 1;  // polls the wallpaper job, then starts the second stage
