// The main window's layout (layout.h).
#include "app/layout.h"

#include "app/controls.h"

const char kStatusPrompt[] = "Choose the Zorva color (by mana symbol) and the parts of the theme to use.";

int DpiScale(int value, int fromDpi, int toDpi)
{
    long long scaled = (long long)value * toDpi, half = fromDpi / 2;
    return (int)(scaled >= 0 ? (scaled + half) / fromDpi : (scaled - half) / fromDpi);
}

PlatFont ControlFontCreate(int dpi)
{
    return FontCreate(DpiScale(14, 96, dpi), dpi > 96 ? "Microsoft Sans Serif" : "MS Sans Serif");
}

void MeasureUi(int dpi, PlatFont font, PlatFont statusFont, UiMeasures *m)
{
    *m = {};
    m->dpi = dpi;
    int checkWidth, checkHeight, cancelWidth, cancelHeight, promptWidth = 0, promptHeight;
    if (!font || !TextExtent(font, "Window Colors", &checkWidth, &checkHeight) ||
        !TextExtent(font, "Cancel", &cancelWidth, &cancelHeight))
        return;
    // The status bar writes in the system's status font; its prompt must
    // fit the window.
    TextExtent(statusFont, kStatusPrompt, &promptWidth, &promptHeight);
    m->statusWidth = promptWidth ? promptWidth + DpiScale(12, 96, dpi) : 0;
    m->checkWidth = checkWidth + DpiScale(30, 96, dpi);
    m->lineHeight = checkHeight;
    m->buttonWidth = cancelWidth + DpiScale(20, 96, dpi);
    m->buttonHeight = cancelHeight * 7 / 4;
    m->iconCellWidth = SystemMetricAtDpi(kSmCxIcon, dpi) * 3 / 2;
    m->iconCellHeight = SystemMetricAtDpi(kSmCyIcon, dpi) * 3 / 2;
}

static PixelRect Box(int x, int y, int width, int height) { return PixelRect{x, y, x + width, y + height}; }

// The three columns with the gaps around and between them.
static int ColumnsWidth(const UiMeasures &m)
{
    return 3 * m.iconCellWidth + DpiScale(75, 96, m.dpi) + m.buttonWidth + m.checkWidth;
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
    const int g8 = DpiScale(8, 96, m.dpi), g10 = DpiScale(10, 96, m.dpi);  // the gaps, grown with the dpi
    const int g15 = DpiScale(15, 96, m.dpi), g20 = DpiScale(20, 96, m.dpi);
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
    int checks = (m.lineHeight * 3 / 2) * 7 + DpiScale(20, 96, m.dpi);
    int icons = 3 * m.iconCellHeight;
    *height = (checks > icons ? checks : icons) + captionHeight + DpiScale(10, 96, m.dpi);
}
