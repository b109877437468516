// Sounds: the theme's sound file for each of 21 system events, and a blank
// scheme name.
#include "install/installtheme.h"
#include "theme/themekeys.h"

void ApplySoundEvent(const char *keyPath)
{
    PlatKey key = nullptr;
    if (RegistryOpen(kRegCurrentUser, keyPath, kKeySetValue, &key) == kErrorSuccess) {
        ApplyThemeValue(key, nullptr, keyPath, "DefaultValue");
        RegistryFlush(key);
        RegistryClose(key);
    }
}

int ApplySounds()
{
    char keyPath[kPathSize];
    for (int i = 0; i < 21; i++)
        if (SoundEventKey(i, keyPath, sizeof keyPath))
            ApplySoundEvent(keyPath);

    PlatKey key;
    if (RegistryOpen(kRegCurrentUser, "AppEvents\\Schemes", kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, nullptr, " ");
        RegistryFlush(key);
        RegistryClose(key);
    }
    return 1;
}
