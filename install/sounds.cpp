// Sounds: the theme's sound file for each of 21 system events, and a blank
// scheme name.
#include "install/installtheme.h"
#include "install/themepath.h"

#include "app/bounded.h"

static const char *const kDefaultEvents[20] = {
    ".Default",       "AppGPFault",    "MenuCommand", "MenuPopup",      "Minimize",
    "Maximize",       "Open",          "Close",       "RestoreDown",    "RestoreUp",
    "RingIn",         "RingOut",       "SystemAsterisk", "SystemDefault", "SystemExclamation",
    "SystemExit",     "SystemHand",    "SystemQuestion", "SystemStart",  "MailBeep"};

void ApplySoundEvent(const char *keyPath)
{
    PlatKey key = nullptr;
    RegistryOpen(kRegCurrentUser, keyPath, kKeySetValue, &key);
    char value[kPathSize], path[kPathSize];
    ProfileGetString(keyPath, "DefaultValue", "", value, sizeof value, ThemeFile);
    ExpandThemePath(path, value);
    if (key) {
        RegistrySetText(key, nullptr, path);
        RegistryFlush(key);
        RegistryClose(key);
    }
}

int ApplySounds()
{
    char keyPath[kPathSize];
    for (const char *event : kDefaultEvents) {
        CopyText(keyPath, sizeof keyPath, "AppEvents\\Schemes\\Apps\\.Default\\");
        AppendText(keyPath, sizeof keyPath, event);
        AppendText(keyPath, sizeof keyPath, "\\.Current");
        ApplySoundEvent(keyPath);
    }
    ApplySoundEvent("AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current");

    PlatKey key;
    if (RegistryOpen(kRegCurrentUser, "AppEvents\\Schemes", kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, nullptr, " ");
        RegistryFlush(key);
        RegistryClose(key);
    }
    return 1;
}
