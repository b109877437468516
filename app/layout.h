// The main window's layout: plain arithmetic over the font and icon measures.
#pragma once

struct LayoutRect {
    int left, top, right, bottom;
};

// Measures taken at start-up from the control font and the system icon size.
struct UiMeasures {
    int checkWidth;      // "Window Colors" wide, plus 30
    int lineHeight;      // "Window Colors" high
    int buttonWidth;     // "Cancel" wide, plus 20
    int buttonHeight;    // "Cancel" high, times 7 / 4
    int iconCellWidth;   // SM_CXICON * 3 / 2
    int iconCellHeight;  // SM_CYICON * 3 / 2
};

struct MainLayout {
    LayoutRect colorButtons[5];  // in creation order: white, blue, black, red, green
    LayoutRect groupBox;
    LayoutRect checkBoxes[7];    // rows 0-6: 105 to 111
    LayoutRect pushButtons[5];   // slots 0-4: OK, Cancel, Apply, Revert, About
};

void ComputeMainLayout(const UiMeasures &m, MainLayout *out);
// The client size the layout needs before the frame is added: width and
// height, the caption's height included in the height as the window takes it.
void MainWindowExtent(const UiMeasures &m, int captionHeight, int *width, int *height);
