#include "app/layout.h"

int LayoutPixels(const UiMeasures &m, int pixels) { return (pixels * m.dpi + 48) / 96; }

static PixelRect Box(int x, int y, int width, int height) { return PixelRect{x, y, x + width, y + height}; }

// The three columns with the gaps around and between them.
static int ColumnsWidth(const UiMeasures &m)
{
    return 3 * m.iconCellWidth + LayoutPixels(m, 75) + m.buttonWidth + m.checkWidth;
}

// As wide as the columns, or as the status bar's prompt where that is wider.
static int ClientWidth(const UiMeasures &m)
{
    int columns = ColumnsWidth(m);
    return m.statusWidth > columns ? m.statusWidth : columns;
}

void ComputeMainLayout(const UiMeasures &m, MainLayout *out)
{
    const int rowStep = m.lineHeight * 3 / 2;  // divided before it is multiplied
    const int g8 = LayoutPixels(m, 8), g10 = LayoutPixels(m, 10);  // the gaps, grown with the dpi
    const int g15 = LayoutPixels(m, 15), g20 = LayoutPixels(m, 20);
    const int left = g10 + (ClientWidth(m) - ColumnsWidth(m)) / 2;  // centred in a window widened for the prompt
    PixelRect icons{left, g10, left + 3 * m.iconCellWidth, g10 + 3 * m.iconCellHeight};
    PixelRect group{icons.right + g20, 0, icons.right + g20 + m.checkWidth + g15, rowStep * 7 + g15};
    const int column = group.right + g20;
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
        out->checkBoxes[k] = Box(group.left + g8, group.top + g15 + k * rowStep, m.checkWidth, m.lineHeight);
    for (int k = 0; k < 5; k++)
        out->pushButtons[k] = Box(column, g10 + k * (m.buttonHeight + g8), m.buttonWidth, m.buttonHeight);
}

void MainWindowExtent(const UiMeasures &m, int captionHeight, int *width, int *height)
{
    *width = ClientWidth(m);
    int checks = (m.lineHeight * 3 / 2) * 7 + LayoutPixels(m, 20);
    int icons = 3 * m.iconCellHeight;
    *height = (checks > icons ? checks : icons) + captionHeight + LayoutPixels(m, 10);
}
