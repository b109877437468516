// The registry values that a theme file names by path: each one written with
// the type the file gives it or removed where the file says there was none,
// and the check, before an install changes anything, that every path it will
// expand fits the system's paths.
#include "install/installtheme.h"

#include "theme/themekeys.h"
#include "theme/themepath.h"
#include "theme/themevalue.h"

long ApplyThemeValue(PlatKey key, const char *name, const char *section, const char *themeKey)
{
    unsigned type = ReadThemeValueType(section, themeKey, ThemeFile);
    if (type == kThemeNoValue) {
        long rc = RegistryDeleteValue(key, name);
        return rc == kErrorFileNotFound ? kErrorSuccess : rc;
    }
    std::string path;
    // A path too long was refused before the install began; one that became
    // so since (the theme file changed) is left out, never cut.
    if (!ExpandThemePath(ReadThemeValue(section, themeKey, "", ThemeFile), &path))
        return kErrorInvalidParameter;
    return RegistrySetText(key, name, path.c_str(), type);
}

// The value's path fits, or *folder names the folder that makes it too long.
static bool ValueFits(const char *section, const char *themeKey, std::string *folder)
{
    std::string value = ReadThemeValue(section, themeKey, "", ThemeFile), path;
    if (ExpandThemePath(value, &path))
        return true;
    *folder = ThemePathFolder(value);
    return false;
}

bool ThemePathsFit(std::string *folder)
{
    bool fits = true;
    if (PartCursors) {
        for (const char *name : kCursorKeys)
            fits = fits && ValueFits("Control Panel\\Cursors", name, folder);
        fits = fits && ValueFits("Control Panel\\Cursors", "DefaultValue", folder);
    }
    if (PartSounds) {
        char keyPath[kPathSize];
        for (int i = 0; i < 21; i++)
            fits = fits && SoundEventKey(i, keyPath, sizeof keyPath) && ValueFits(keyPath, "DefaultValue", folder);
    }
    if (PartIcons) {
        fits = fits && ValueFits(kMyComputerIcon, "DefaultValue", folder) &&
               ValueFits(kNetworkIcon, "DefaultValue", folder);
        for (const char *name : {"full", "empty", "DefaultValue"})
            fits = fits && ValueFits(kRecycleBinIcon, name, folder);
    }
    if (PartScreenSaver)
        fits = fits && ValueFits("boot", "SCRNSAVE.EXE", folder);
    return fits;
}
