// Sounds: the theme's sound file for each of 21 system events, and a blank
// scheme name.
#include "install/installtheme.h"
#include "theme/themekeys.h"

void ApplySoundEvent(const ThemeSource &theme, const char *keyPath)
{
    PlatKey key = nullptr;
    if (RegistryOpen(kRegCurrentUser, keyPath, kKeySetValue, &key) == kErrorSuccess) {
        ApplyThemeValue(theme, key, nullptr, keyPath, "DefaultValue");
        RegistryFlush(key);
        RegistryClose(key);
    }
}

void ApplySounds(const ThemeSource &theme)
{
    char keyPath[kPathSize];
    for (int i = 0; i < 21; i++)
        if (SoundEventKey(i, keyPath, sizeof keyPath))
            ApplySoundEvent(theme, keyPath);

    PlatKey key;
    if (RegistryOpen(kRegCurrentUser, "AppEvents\\Schemes", kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, nullptr, " ");
        RegistryFlush(key);
        RegistryClose(key);
    }
}
