// Mouse cursors: the theme's 14 cursor files into the user's cursor settings,
// a reload, and the scheme: a colour theme's cursors belong to no scheme of
// the user's, so its name is emptied; the user's own settings captured in a
// backup or a snapshot bring their scheme's name and source back with them.
#include "install/installtheme.h"
#include "theme/themekeys.h"
#include "theme/themevalue.h"

static const char kCursors[] = "Control Panel\\Cursors";

void ApplyCursors(const ThemeSource &theme)
{
    // A capture records the scheme's source beside its name, also where there
    // was none; a colour theme has neither.
    bool ownScheme = ThemeHasValue(kCursors, kCursorSchemeSource, theme.file.c_str());
    PlatKey key = nullptr;
    if (RegistryOpen(kRegCurrentUser, kCursors, kKeySetValue, &key) == kErrorSuccess) {
        for (const char *name : kCursorKeys)
            ApplyThemeValue(theme, key, name, kCursors, name);
        ApplyThemeValue(theme, key, nullptr, kCursors, "DefaultValue");
        if (ownScheme)
            ApplyThemeValue(theme, key, kCursorSchemeSource, kCursors, kCursorSchemeSource);
        RegistryFlush(key);
        RegistryClose(key);
    }

    SystemParameters(kSpiSetCursors, 0, nullptr, kSpifUpdateIniFile);

    // A colour theme's name holds only while the cursors reload.
    if (!ownScheme && RegistryOpen(kRegCurrentUser, kCursors, kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, nullptr, "");
        RegistryFlush(key);
        RegistryClose(key);
    }
}
