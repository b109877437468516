// The main window's layout: plain arithmetic over the font and icon measures.
#pragma once

#include "platform/system.h"

// Measures taken at start-up from the control font and the system icon size.
// Fixed gaps are given in pixels at 96 dots an inch and grow with dpi, as the
// fonts and icons do.
struct UiMeasures {
    int checkWidth;      // "Window Colors" wide, plus a 30-pixel gap
    int lineHeight;      // "Window Colors" high
    int buttonWidth;     // "Cancel" wide, plus a 20-pixel gap
    int buttonHeight;    // "Cancel" high, times 7 / 4
    int iconCellWidth;   // SM_CXICON * 3 / 2
    int iconCellHeight;  // SM_CYICON * 3 / 2
    int dpi;             // the screen's LOGPIXELSY: 96, unless the system lets the program see its scaling
    int statusWidth;     // the status bar's prompt wide in the bar's font, plus a 12-pixel inset; 0 unknown
};

// A length of pixels at 96 dots an inch, at the measures' dpi (rounded).
int LayoutPixels(const UiMeasures &m, int pixels);

struct MainLayout {
    PixelRect colorButtons[5];  // in creation order: white, blue, black, red, green
    PixelRect groupBox;
    PixelRect checkBoxes[7];    // rows 0-6: 105 to 111
    PixelRect pushButtons[5];   // slots 0-4: OK, Cancel, Apply, Revert, About
};

void ComputeMainLayout(const UiMeasures &m, MainLayout *out);
// The client size the layout needs before the frame is added: width and
// height, the caption's height included in the height as the window takes it.
// The window is widened where the status bar's prompt would not fit, and the
// columns are then centred in it.
void MainWindowExtent(const UiMeasures &m, int captionHeight, int *width, int *height);
