// Mouse cursors: the theme's 14 cursor files into the user's cursor settings,
// a reload, and an empty scheme name.
#include "install/installtheme.h"
#include "theme/themekeys.h"

static const char kCursors[] = "Control Panel\\Cursors";

void ApplyCursors(const ThemeSource &theme)
{
    PlatKey key = nullptr;
    if (RegistryOpen(kRegCurrentUser, kCursors, kKeySetValue, &key) == kErrorSuccess) {
        for (const char *name : kCursorKeys)
            ApplyThemeValue(theme, key, name, kCursors, name);
        ApplyThemeValue(theme, key, nullptr, kCursors, "DefaultValue");
        RegistryFlush(key);
        RegistryClose(key);
    }

    SystemParameters(kSpiSetCursors, 0, nullptr, kSpifUpdateIniFile);

    // The scheme's name holds the theme's default only while the cursors reload.
    if (RegistryOpen(kRegCurrentUser, kCursors, kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, nullptr, "");
        RegistryFlush(key);
        RegistryClose(key);
    }
}
