// Desktop icons: the icons of three shell objects, the shell icons' colour
// depth, and the reload of the system's icons.
#include "install/installtheme.h"
#include "theme/themekeys.h"
#include "theme/themepath.h"

#include <string.h>

#include "base/bounded.h"


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

// A registry text as the bin's comparison sees it: a missing value (or one
// longer than the buffer) reads as empty; the text is always terminated
// inside its buffer. False when the read failed for another reason: the text
// is then unknown.
static bool QueryText(PlatKey key, const char *name, char *buf, uint32_t size)
{
    uint32_t n = size;
    long rc = RegistryQuery(key, name, buf, &n);
    if (rc != kErrorSuccess)
        n = 0;
    buf[n < size ? n : size - 1] = 0;
    return rc == kErrorSuccess || rc == kErrorFileNotFound || rc == kErrorMoreData;
}

int ApplyDesktopIcons()
{
    ApplyDefaultIcon(kMyComputerIcon);
    ApplyDefaultIcon(kNetworkIcon);

    // The bin is full when its shown icon is its "full" icon; it keeps showing
    // that state with the new theme's icon for it. Since the state is read
    // from the three values, they change together or not at all: a bin whose
    // values cannot be read is left as it is, and when a write fails, the
    // values written before it get their old texts back. Otherwise a later
    // install (a Revert) would take a full bin for an empty one.
    char full[260] = "", empty[260] = "", shown[260] = "";
    bool known = false;
    PlatKey key;
    if (RegistryOpen(kRegClassesRoot, kRecycleBinIcon, kKeyQueryValue, &key) == kErrorSuccess) {
        known = QueryText(key, "full", full, sizeof full);
        known = QueryText(key, nullptr, shown, sizeof shown) && known;
        known = QueryText(key, "empty", empty, sizeof empty) && known;
        RegistryClose(key);
    }
    bool binFull = strcmp(full, shown) == 0;
    if (known && RegistryOpen(kRegClassesRoot, kRecycleBinIcon, kKeySetValue, &key) == kErrorSuccess) {
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
        // In this order: full, the shown icon of a full bin, empty, the shown
        // icon of an empty bin. A null name is the default value.
        struct {
            const char *name, *text, *old;
        } writes[3];
        int count = 0;
        writes[count++] = {"full", fullPath, full};
        if (binFull)
            writes[count++] = {nullptr, shownPath, shown};
        writes[count++] = {"empty", emptyPath, empty};
        if (!binFull)
            writes[count++] = {nullptr, shownPath, shown};
        int done = 0;
        while (done < count && RegistrySetText(key, writes[done].name, writes[done].text) == kErrorSuccess)
            done++;
        if (done < count)
            while (done-- > 0)
                RegistrySetText(key, writes[done].name, writes[done].old);
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
