// Desktop icons: the icons of three shell objects, the shell icons' colour
// depth, and the reload of the system's icons.
#include "install/installtheme.h"
#include "install/themekeys.h"
#include "install/themepath.h"

#include <string.h>

#include "app/bounded.h"


// Reads a path value from the theme file's section of the same name as the
// key, expanded.
static void ReadIconPath(const char *section, const char *name, char *expanded)
{
    char value[kPathSize];
    ProfileGetString(section, name, "", value, sizeof value, ThemeFile);
    ExpandThemePath(expanded, value);
}

static void ApplyDefaultIcon(const char *section)
{
    char path[kPathSize];
    ReadIconPath(section, "DefaultValue", path);
    PlatKey key;
    if (RegistryOpen(kRegClassesRoot, section, kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, nullptr, path);
        RegistryFlush(key);
        RegistryClose(key);
    }
}

// A registry text as the bin's comparison sees it: a missing value reads as
// empty; the text is always terminated inside its buffer.
static void QueryText(PlatKey key, const char *name, char *buf, uint32_t size)
{
    uint32_t n = size;
    if (RegistryQuery(key, name, buf, &n) != kErrorSuccess)
        n = 0;
    buf[n < size ? n : size - 1] = 0;
}

int ApplyDesktopIcons()
{
    ApplyDefaultIcon(kMyComputerIcon);
    ApplyDefaultIcon(kNetworkIcon);

    // The bin is full when its shown icon is its "full" icon; it keeps showing
    // that state with the new theme's icon for it.
    char full[260] = "", shown[260] = "";
    PlatKey key;
    if (RegistryOpen(kRegClassesRoot, kRecycleBinIcon, kKeyQueryValue, &key) == kErrorSuccess) {
        QueryText(key, "full", full, sizeof full);
        QueryText(key, nullptr, shown, sizeof shown);
        RegistryClose(key);
    }
    bool binFull = strcmp(full, shown) == 0;
    if (RegistryOpen(kRegClassesRoot, kRecycleBinIcon, kKeySetValue, &key) == kErrorSuccess) {
        char fullPath[kPathSize], emptyPath[kPathSize];
        ReadIconPath(kRecycleBinIcon, "full", fullPath);
        ReadIconPath(kRecycleBinIcon, "empty", emptyPath);
        // A theme file with no icon for the bin's state, but with the icon
        // that was shown (a captured snapshot of a system whose bin had no
        // "full" or "empty" values), gives that icon back instead of none.
        char shownPath[kPathSize];
        CopyText(shownPath, sizeof shownPath, binFull ? fullPath : emptyPath);
        if (!shownPath[0])
            ReadIconPath(kRecycleBinIcon, "DefaultValue", shownPath);
        RegistrySetText(key, "full", fullPath);
        if (binFull)
            RegistrySetText(key, nullptr, shownPath);
        RegistrySetText(key, "empty", emptyPath);
        if (!binFull)
            RegistrySetText(key, nullptr, shownPath);
        RegistryFlush(key);
        RegistryClose(key);
    }

    char depth[kPathSize];
    ProfileGetString("MasterThemeSelector", "ThemeColorBPP", "16", depth, sizeof depth, ThemeFile);
    if (RegistryOpen(kRegCurrentUser, "Control Panel\\Desktop\\WindowMetrics", kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, "Shell Icon BPP", depth);
        RegistryFlush(key);
        RegistryClose(key);
    }

    ShellNotify(kShcneAssocChanged);
    SystemParameters(kSpiSetIcons, 0, nullptr, kSpifUpdateIniFile | kSpifSendWinIniChange);
    return 1;
}
