#include "app/layout.h"

static LayoutRect Box(int x, int y, int width, int height) { return LayoutRect{x, y, x + width, y + height}; }

void ComputeMainLayout(const UiMeasures &m, MainLayout *out)
{
    const int rowStep = m.lineHeight * 3 / 2;  // divided before it is multiplied
    LayoutRect icons{10, 10, 10 + 3 * m.iconCellWidth, 10 + 3 * m.iconCellHeight};
    LayoutRect group{icons.right + 20, 0, icons.right + 20 + m.checkWidth + 15, rowStep * 7 + 15};
    const int column = group.right + 20;
    // Balance the two columns vertically: only the shorter one moves.
    const int iconsHigh = 3 * m.iconCellHeight;
    if (iconsHigh < group.bottom) {
        int down = (group.bottom - iconsHigh) / 2;
        icons.top += down;
        icons.bottom += down;
    } else {
        int down = (iconsHigh - group.bottom) / 2;
        group.top += down;
        group.bottom += down;
    }

    const int L = icons.left, T = icons.top, R = icons.right, B = icons.bottom;
    const int W = R - L, H = B - T, cw = m.iconCellWidth, ch = m.iconCellHeight;
    out->colorButtons[0] = Box(L + (W - cw) / 2, T, cw, ch);            // white, at the top
    out->colorButtons[1] = Box(R - cw, T + 3 * H / 10, cw, ch);         // blue
    out->colorButtons[2] = Box(R - cw - cw / 3, B - ch, cw, ch);        // black
    out->colorButtons[3] = Box(L + cw / 3, B - ch, cw, ch);             // red
    out->colorButtons[4] = Box(L, T + 3 * H / 10, cw, ch);              // green
    out->groupBox = group;
    for (int k = 0; k < 7; k++)
        out->checkBoxes[k] = Box(group.left + 8, group.top + 15 + k * rowStep, m.checkWidth, m.lineHeight);
    for (int k = 0; k < 5; k++)
        out->pushButtons[k] = Box(column, 10 + k * (m.buttonHeight + 8), m.buttonWidth, m.buttonHeight);
}

void MainWindowExtent(const UiMeasures &m, int captionHeight, int *width, int *height)
{
    *width = 3 * m.iconCellWidth + 75 + m.buttonWidth + m.checkWidth;
    int checks = (m.lineHeight * 3 / 2) * 7 + 20;
    int icons = 3 * m.iconCellHeight;
    *height = (checks > icons ? checks : icons) + captionHeight + 10;
}
