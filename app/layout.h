// The main window's layout: its measures at a dpi, taken from the control
// font and the system's icon size, and plain arithmetic over them.
#pragma once

#include "platform/window.h"

// A length of value pixels at fromDpi, at toDpi: rounded to the nearest
// pixel, halves away from zero, as the system scales its own measures.
int DpiScale(int value, int fromDpi, int toDpi);

// The measures of the layout at one dpi. Fixed gaps are given in pixels at 96
// dots an inch and grow with the dpi, as the fonts and icons do.
struct UiMeasures {
    int checkWidth;      // "Window Colors" wide, plus a 30-pixel gap
    int lineHeight;      // "Window Colors" high
    int buttonWidth;     // "Cancel" wide, plus a 20-pixel gap
    int buttonHeight;    // "Cancel" high, times 7 / 4
    int iconCellWidth;   // SM_CXICON * 3 / 2
    int iconCellHeight;  // SM_CYICON * 3 / 2
    int dpi;             // the window's
    int statusWidth;     // the status bar's prompt wide in the bar's font, plus a 12-pixel inset; 0 unknown
};

// The control font at dpi: at 96 dots an inch the bitmap face the window was
// drawn in from the start, 14 pixels; above, the outline face of the same
// design at the scaled height, since a bitmap face has a few sizes only and
// the system would give the nearest small one. Null when the system cannot
// make it.
PlatFont ControlFontCreate(int dpi);
// The measures of the layout at dpi with the control font and the status
// bar's font made at that dpi; all 0 but the dpi when the control font is
// null, statusWidth 0 when the status font is.
void MeasureUi(int dpi, PlatFont font, PlatFont statusFont, UiMeasures *m);

struct MainLayout {
    PixelRect colorButtons[5];  // in kColorOrder
    PixelRect groupBox;
    PixelRect checkBoxes[7];    // in kCheckOrder
    PixelRect pushButtons[5];   // in kPushOrder
};

void ComputeMainLayout(const UiMeasures &m, MainLayout *out);
// The client size the layout needs: width and height, the status bar's room
// counted as the caption's height. The window is widened where the status
// bar's prompt would not fit, and the columns are then centred in it.
void MainWindowExtent(const UiMeasures &m, int captionHeight, int *width, int *height);
