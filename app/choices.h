// The user's choices in the main window: the colour and the parts of the
// theme, the buttons that show them, and the tooltips that name them.
#pragma once

#include "app/controls.h"
#include "install/installtheme.h"

struct MainChoices {
    int theme = IDC_WHITE;         // 100-104, the pressed colour button
    ThemeParts parts = kAllParts;  // the ticked check boxes
    bool unchanged = true;         // nothing chosen since start or the last finished install
};

// The buttons as the choices are: the chosen colour's pressed, the others
// flat; each part's check box ticked or not.
void ShowChoices(PlatWindow main, const MainChoices &choices);
// A click on a colour button or a check box, by its identifier: the choice
// changed, shown, and Apply enabled. False, nothing changed, for any other
// control.
bool ChangeChoice(PlatWindow main, MainChoices *choices, int id);
// The flag in parts of the check box with this identifier (IDC_SCREENSAVER
// ... IDC_FONTS); null for another control.
int *PartFlag(ThemeParts *parts, int id);
// The tooltip of the control with this identifier, or null.
const char *ToolTipText(const MainChoices &choices, int id);

// The colour buttons are one group of radio buttons to assistive technology:
// each has its colour's name in words and is checked when it is the chosen
// colour. Role and state bits are Microsoft Active Accessibility's
// (ROLE_SYSTEM_RADIOBUTTON, STATE_SYSTEM_FOCUSED, _CHECKED, _FOCUSABLE).
constexpr int kRoleRadioButton = 0x2D;
constexpr unsigned kStateFocused = 0x4, kStateChecked = 0x10, kStateFocusable = 0x100000;
struct ColorButtonAccess {
    int role;
    const char *name;  // "Black", ...
    unsigned state;
};
// The colour button id of the window main as assistive technology reads it;
// false, *access untouched, for another control.
bool ColorButtonAccessible(PlatWindow main, const MainChoices &choices, int id, ColorButtonAccess *access);
// A key pressed on the colour button id. An arrow moves the choice and the
// focus to the colour before it (Left, Up) or after it (Right, Down) in the
// window's order, kColorOrder, round from one end to the other; Space chooses
// id. False, nothing changed, for any other key.
bool ColorButtonKey(PlatWindow main, MainChoices *choices, int id, unsigned key);
// The keyboard focus came to the colour button id (the Tab key, a click): it
// becomes the choice. The chosen colour's own button changes nothing.
void ColorButtonFocused(PlatWindow main, MainChoices *choices, int id);
