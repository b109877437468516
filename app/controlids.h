// The main window's control identifiers, for the window, its logic and the
// tests that drive it. A colour button's identifier is its theme identifier
// (theme/catalogue.h); OK and Cancel are the system's 1 and 2.
#pragma once

constexpr int IDC_BLACK = 100, IDC_RED = 101, IDC_WHITE = 102, IDC_BLUE = 103, IDC_GREEN = 104;
constexpr int IDC_SCREENSAVER = 105, IDC_SOUNDS = 106, IDC_CURSORS = 107, IDC_WALLPAPER = 108;
constexpr int IDC_ICONS = 109, IDC_COLORS = 110, IDC_FONTS = 111;
constexpr int IDC_APPLY = 112, IDC_STATUS = 113, IDC_ABOUT = 120, IDC_REVERT = 121;
constexpr int IDC_PARTS = 114;  // the group box around the check boxes
