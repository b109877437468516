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
