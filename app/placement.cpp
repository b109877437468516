// The main window at its monitor's dpi (placement.h).
#include "app/placement.h"

static void Place(PlatWindow main, int id, const PixelRect &r)
{
    if (PlatWindow control = WindowItem(main, id))
        WindowMove(control, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool MainLayOut(PlatWindow main, MainState *state, int dpi, const PixelRect *suggested)
{
    PlatFont font = ControlFontCreate(dpi);
    if (!font)
        return false;
    PlatFont statusFont = StatusFontCreate(dpi);
    UiMeasures m;
    MeasureUi(dpi, font, statusFont, &m);
    if (suggested) {
        WindowMove(main, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top);
    } else {
        int width, height;
        MainWindowExtent(m, SystemMetricAtDpi(kSmCyCaption, dpi), &width, &height);
        WindowSizeClient(main, width, height, dpi);
    }

    MainLayout layout;
    ComputeMainLayout(m, &layout);
    const int iconSize = SystemMetricAtDpi(kSmCxIcon, dpi);
    for (int i = 0; i < 5; i++) {
        Place(main, kColorOrder[i], layout.colorButtons[i]);
        if (PlatWindow button = WindowItem(main, kColorOrder[i]))
            MessageSend(button, IBM_SETICONSIZE, (uintptr_t)iconSize, 0);
    }
    Place(main, IDC_PARTS, layout.groupBox);
    for (int k = 0; k < 7; k++) {
        Place(main, kCheckOrder[k], layout.checkBoxes[k]);
        if (PlatWindow check = WindowItem(main, kCheckOrder[k]))
            WindowSetFont(check, font);
    }
    for (int k = 0; k < 5; k++) {
        Place(main, kPushOrder[k], layout.pushButtons[k]);
        if (PlatWindow push = WindowItem(main, kPushOrder[k]))
            WindowSetFont(push, font);
    }
    // The status bar writes in the status font at the dpi, and sizes itself
    // to the window's width and its font's height on WM_SIZE.
    if (PlatWindow status = WindowItem(main, IDC_STATUS)) {
        if (statusFont)
            WindowSetFont(status, statusFont);
        MessageSend(status, kWmSize, 0, 0);
    }
    if (statusFont) {
        FontDelete(state->statusFont);
        state->statusFont = statusFont;
    }
    // The controls hold the new font now: the old one can go.
    FontDelete(state->font);
    state->font = font;
    state->measures = m;
    return true;
}
