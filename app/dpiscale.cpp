// The main window at its monitor's dpi (dpiscale.h).
#include "app/dpiscale.h"

#include "app/mainlogic.h"

PlatFont UiFont;
UiMeasures Measures;
PlatFont StatusFont;

void MeasureUi(int dpi, UiMeasures *m, PlatFont *font)
{
    *m = {};
    m->dpi = dpi > 0 ? dpi : 96;
    *font = FontCreate(LayoutPixels(*m, 14), "MS Sans Serif");
    if (!*font)
        return;
    int checkWidth, checkHeight, cancelWidth, cancelHeight, promptWidth = 0, promptHeight;
    TextExtent(*font, "Window Colors", &checkWidth, &checkHeight);
    TextExtent(*font, "Cancel", &cancelWidth, &cancelHeight);
    // The status bar writes in the system's status font; its prompt must
    // fit the window.
    if (PlatFont status = StatusFontCreate(m->dpi)) {
        TextExtent(status, kStatusPrompt, &promptWidth, &promptHeight);
        FontDelete(status);
    }
    m->statusWidth = promptWidth ? promptWidth + LayoutPixels(*m, 12) : 0;
    m->checkWidth = checkWidth + LayoutPixels(*m, 30);
    m->lineHeight = checkHeight;
    m->buttonWidth = cancelWidth + LayoutPixels(*m, 20);
    m->buttonHeight = cancelHeight * 7 / 4;
    m->iconCellWidth = SystemMetricAtDpi(kSmCxIcon, m->dpi) * 3 / 2;
    m->iconCellHeight = SystemMetricAtDpi(kSmCyIcon, m->dpi) * 3 / 2;
}

static void Place(PlatWindow main, int id, const PixelRect &r)
{
    if (PlatWindow control = WindowItem(main, id))
        WindowMove(control, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void MainPlaceControls(PlatWindow main, const UiMeasures &m, PlatFont font)
{
    MainLayout layout;
    ComputeMainLayout(m, &layout);
    // The layout's order of the colour buttons and push buttons.
    static const int colors[5] = {IDC_WHITE, IDC_BLUE, IDC_BLACK, IDC_RED, IDC_GREEN};
    static const int pushes[5] = {kIdOk, kIdCancel, IDC_APPLY, IDC_REVERT, IDC_ABOUT};
    const int iconSize = SystemMetricAtDpi(kSmCxIcon, m.dpi);
    for (int i = 0; i < 5; i++) {
        Place(main, colors[i], layout.colorButtons[i]);
        if (PlatWindow button = WindowItem(main, colors[i]))
            MessageSend(button, IBM_SETICONSIZE, (uintptr_t)iconSize, 0);
    }
    Place(main, IDC_PARTS, layout.groupBox);
    for (int k = 0; k < 7; k++) {
        Place(main, IDC_SCREENSAVER + k, layout.checkBoxes[k]);
        if (PlatWindow check = WindowItem(main, IDC_SCREENSAVER + k))
            WindowSetFont(check, font);
    }
    for (int k = 0; k < 5; k++) {
        Place(main, pushes[k], layout.pushButtons[k]);
        if (PlatWindow push = WindowItem(main, pushes[k]))
            WindowSetFont(push, font);
    }
    // The status bar writes in the status font at the dpi, and sizes itself
    // to the window's width and its font's height on WM_SIZE.
    if (PlatWindow status = WindowItem(main, IDC_STATUS)) {
        if (PlatFont statusFont = StatusFontCreate(m.dpi)) {
            WindowSetFont(status, statusFont);
            FontDelete(StatusFont);
            StatusFont = statusFont;
        }
        MessageSend(status, kWmSize, 0, 0);
    }
}

void MainDpiChanged(PlatWindow main, int dpi, const PixelRect &suggested)
{
    UiMeasures m;
    PlatFont font;
    MeasureUi(dpi, &m, &font);
    if (!font)
        return;  // the window stays as it was, whole, at the old scale
    WindowMove(main, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top);
    MainPlaceControls(main, m, font);
    // The controls hold the new font now: the old one can go.
    FontDelete(UiFont);
    UiFont = font;
    Measures = m;
}
