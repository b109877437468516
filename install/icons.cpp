// Desktop icons: the icons of three shell objects, the shell icons' colour
// depth, and the reload of the system's icons. The icons are this user's own:
// they go under HKEY_CURRENT_USER, into the key that the shell reads before
// the machine's (which a standard account may not change), made when missing.
#include "install/installtheme.h"
#include "theme/themekeys.h"
#include "theme/themevalue.h"

#include "base/registrytext.h"

static void ApplyDefaultIcon(const ThemeSource &theme, const char *section)
{
    PlatKey key;
    if (RegistryCreate(kRegCurrentUser, UserIconKey(section).c_str(), kKeySetValue, &key) == kErrorSuccess) {
        ApplyThemeValue(theme, key, nullptr, section, "DefaultValue");
        RegistryFlush(key);
        RegistryClose(key);
    }
}

// One of the bin's values as the user sees it: the user's own where there is
// one, otherwise the machine's; a value missing in both reads as empty.
struct SeenValue {
    std::string text;
    unsigned ownType;  // the type of the user's own value, kThemeNoValue when there is none
    bool known;        // false when a read failed for another reason than a missing value
};

static SeenValue ReadSeenValue(PlatKey own, PlatKey machine, const char *name)
{
    SeenValue seen{"", kThemeNoValue, true};
    if (own) {
        long rc = ReadRegistryText(own, name, &seen.text, &seen.ownType);
        if (rc == kErrorSuccess)
            return seen;
        seen.ownType = kThemeNoValue;
        seen.known = rc == kErrorFileNotFound;
    }
    unsigned type;
    long rc = machine ? ReadRegistryText(machine, name, &seen.text, &type) : kErrorFileNotFound;
    seen.known = seen.known && (rc == kErrorSuccess || rc == kErrorFileNotFound);
    return seen;
}

// Puts a value of the user's own back as it was, or removes it where there
// was none.
static void RestoreOwnValue(PlatKey key, const char *name, const SeenValue &old)
{
    if (old.ownType == kThemeNoValue)
        RegistryDeleteValue(key, name);
    else
        RegistrySetText(key, name, old.text.c_str(), old.ownType);
}

// The bin is full when its shown icon is its "full" icon; it keeps showing
// that state with the new theme's icon for it. Since the state is read from
// the three values, they change together or not at all: a bin whose values
// cannot be read is left as it is, and when a write fails, the values written
// before it get their old state back. Otherwise a later install (a Revert)
// would take a full bin for an empty one.
static void ApplyRecycleBinIcons(const ThemeSource &theme)
{
    std::string ownKey = UserIconKey(kRecycleBinIcon);
    PlatKey own = nullptr, machine = nullptr;
    RegistryOpen(kRegCurrentUser, ownKey.c_str(), kKeyQueryValue, &own);  // missing: the user has none
    RegistryOpen(kRegClassesRoot, kRecycleBinIcon, kKeyQueryValue, &machine);
    SeenValue full = ReadSeenValue(own, machine, "full");
    SeenValue shown = ReadSeenValue(own, machine, nullptr);
    SeenValue empty = ReadSeenValue(own, machine, "empty");
    if (own)
        RegistryClose(own);
    if (machine)
        RegistryClose(machine);
    PlatKey key;
    if (!full.known || !shown.known || !empty.known ||
        RegistryCreate(kRegCurrentUser, ownKey.c_str(), kKeySetValue, &key) != kErrorSuccess)
        return;

    bool binFull = full.text == shown.text;
    // The shown icon is the theme's icon for the bin's state, or, in a file
    // that holds the icon that was shown (a capture of the user's settings),
    // that one as it was: the user's own, or none of theirs.
    const char *shownKey = binFull ? "full" : "empty";
    if (ThemeHasValue(kRecycleBinIcon, "DefaultValue", theme.file.c_str()))
        shownKey = "DefaultValue";
    // In this order: full, the shown icon of a full bin, empty, the shown
    // icon of an empty bin. A null name is the default value.
    struct {
        const char *name, *themeKey;
        const SeenValue *old;
    } writes[3];
    int count = 0;
    writes[count++] = {"full", "full", &full};
    if (binFull)
        writes[count++] = {nullptr, shownKey, &shown};
    writes[count++] = {"empty", "empty", &empty};
    if (!binFull)
        writes[count++] = {nullptr, shownKey, &shown};
    int done = 0;
    while (done < count && ApplyThemeValue(theme, key, writes[done].name, kRecycleBinIcon, writes[done].themeKey) == kErrorSuccess)
        done++;
    if (done < count)
        while (done-- > 0)
            RestoreOwnValue(key, writes[done].name, *writes[done].old);
    RegistryFlush(key);
    RegistryClose(key);
}

void ApplyDesktopIcons(const ThemeSource &theme)
{
    ApplyDefaultIcon(theme, kMyComputerIcon);
    ApplyDefaultIcon(theme, kNetworkIcon);
    ApplyRecycleBinIcons(theme);

    PlatKey key;
    std::string depth = ReadThemeValue("MasterThemeSelector", "ThemeColorBPP", "16", theme.file.c_str());
    if (RegistryOpen(kRegCurrentUser, "Control Panel\\Desktop\\WindowMetrics", kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, "Shell Icon BPP", depth.c_str());
        RegistryFlush(key);
        RegistryClose(key);
    }

    ShellNotify(kShcneAssocChanged);
    SystemParameters(kSpiSetIcons, 0, nullptr, kSpifUpdateIniFile);
    BroadcastIniChange(kSpiSetIcons, nullptr);
}
