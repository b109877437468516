// Sounds: the theme's sound file for each of 21 system events, and the
// scheme's name: blank for a colour theme, the user's own from a capture.
#include "install/installtheme.h"
#include "theme/themekeys.h"
#include "theme/themevalue.h"

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

    // A colour theme's sounds belong to no scheme of the user's: the scheme's
    // name is blank. A capture of the user's settings brings their scheme's
    // name back as it was.
    PlatKey key;
    if (RegistryOpen(kRegCurrentUser, kSoundSchemes, kKeySetValue, &key) == kErrorSuccess) {
        if (ThemeHasValue(kSoundSchemes, "DefaultValue", theme.file.c_str()))
            ApplyThemeValue(theme, key, nullptr, kSoundSchemes, "DefaultValue");
        else
            RegistrySetText(key, nullptr, " ");
        RegistryFlush(key);
        RegistryClose(key);
    }
}
