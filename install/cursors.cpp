// Mouse cursors: the theme's 14 cursor files into the user's cursor settings,
// a reload, and an empty scheme name.
#include "install/installtheme.h"
#include "theme/themekeys.h"
#include "theme/themepath.h"

static const char kCursors[] = "Control Panel\\Cursors";

int ApplyCursors()
{
    PlatKey key = nullptr;
    RegistryOpen(kRegCurrentUser, kCursors, kKeySetValue, &key);
    char value[kPathSize], path[kPathSize];
    for (const char *name : kCursorKeys) {
        ProfileGetString(kCursors, name, "", value, sizeof value, ThemeFile);
        ExpandThemePath(path, value);
        RegistrySetText(key, name, path);
    }
    ProfileGetString(kCursors, "DefaultValue", "", value, sizeof value, ThemeFile);
    ExpandThemePath(path, value);
    RegistrySetText(key, nullptr, path);
    if (key) {
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
    return 1;
}
