// The user's choices in the main window (choices.h).
#include "app/choices.h"

int *PartFlag(ThemeParts *parts, int id)
{
    static int ThemeParts::*const flags[7] = {&ThemeParts::screenSaver, &ThemeParts::sounds, &ThemeParts::cursors,
                                              &ThemeParts::wallpaper,   &ThemeParts::icons,  &ThemeParts::colors,
                                              &ThemeParts::fonts};
    return id >= IDC_SCREENSAVER && id <= IDC_FONTS ? &(parts->*flags[id - IDC_SCREENSAVER]) : nullptr;
}

static bool IsColor(int id) { return id >= IDC_BLACK && id <= IDC_GREEN; }

void ShowChoices(PlatWindow main, const MainChoices &choices)
{
    ThemeParts parts = choices.parts;
    for (int id : kColorOrder)
        MessageSend(WindowItem(main, id), IBM_SETSTATE, id == choices.theme, 0);
    for (int id : kCheckOrder)
        ButtonSetCheck(main, id, *PartFlag(&parts, id));
}

bool ChangeChoice(PlatWindow main, MainChoices *choices, int id)
{
    if (IsColor(id)) {
        // Each button tells assistive technology of its new state: the
        // chosen colour's own button has none to tell.
        if (id != choices->theme) {
            MessageSend(WindowItem(main, choices->theme), IBM_SETSTATE, 0, 0);
            choices->theme = id;
            MessageSend(WindowItem(main, id), IBM_SETSTATE, 1, 0);
        }
    } else if (int *flag = PartFlag(&choices->parts, id)) {
        *flag = *flag == 0 ? 1 : 0;
        ButtonSetCheck(main, id, *flag);
    } else {
        return false;
    }
    choices->unchanged = false;
    WindowEnable(WindowItem(main, IDC_APPLY), true);
    return true;
}

const char *ToolTipText(const MainChoices &choices, int id)
{
    static const char *const colors[5][2] = {
        {"Black theme", "Install black theme"}, {"Red theme", "Install red theme"},
        {"White theme", "Install white theme"}, {"Blue theme", "Install blue theme"},
        {"Green theme", "Install green theme"}};
    static const char *const parts[7][2] = {
        {"Current screen saver will remain", "Use the Zorva screen saver"},
        {"Current sound scheme will remain", "Use this theme's sounds"},
        {"Current mouse pointers will remain", "Use this theme's mouse pointers"},
        {"Current wallpaper will remain", "Use this theme's wallpaper"},
        {"Current icons will remain", "Use this theme's icons"},
        {"Current color scheme will remain", "Use this theme's colors"},
        {"Current fonts will remain", "Use this theme's fonts"}};
    switch (id) {
    case kIdOk: return "Change to the theme and exit";
    case kIdCancel: return "Restore previous settings and exit";
    case IDC_APPLY: return "Change the system to use the selected theme";
    case IDC_REVERT: return "Restore settings from before Zorva was installed";
    case IDC_ABOUT: return "Display info about the application";
    default: break;
    }
    ThemeParts ticked = choices.parts;
    if (IsColor(id))
        return colors[id - IDC_BLACK][id == choices.theme];
    if (int *flag = PartFlag(&ticked, id))
        return parts[id - IDC_SCREENSAVER][*flag == 1];
    return nullptr;
}

bool ColorButtonAccessible(PlatWindow main, const MainChoices &choices, int id, ColorButtonAccess *access)
{
    static const char *const names[5] = {"Black", "Red", "White", "Blue", "Green"};  // by theme id
    if (!IsColor(id))
        return false;
    PlatWindow button = WindowItem(main, id);
    unsigned state = kStateFocusable;
    if (id == choices.theme)
        state |= kStateChecked;
    if (button && WindowFocused() == button)
        state |= kStateFocused;
    *access = ColorButtonAccess{kRoleRadioButton, names[id - IDC_BLACK], state};
    return true;
}

bool ColorButtonKey(PlatWindow main, MainChoices *choices, int id, unsigned key)
{
    int at = 0;
    while (at < 5 && kColorOrder[at] != id)
        at++;
    if (at == 5)
        return false;
    int step = key == kKeyRight || key == kKeyDown ? 1 : key == kKeyLeft || key == kKeyUp ? 4 : 0;
    if (step == 0 && key != kKeySpace)
        return false;
    int next = kColorOrder[(at + step) % 5];
    ChangeChoice(main, choices, next);
    WindowFocus(WindowItem(main, next));
    return true;
}

void ColorButtonFocused(PlatWindow main, MainChoices *choices, int id)
{
    if (IsColor(id) && id != choices->theme)
        ChangeChoice(main, choices, id);
}
