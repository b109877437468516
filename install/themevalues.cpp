// The registry values that a theme file names by path: each one written with
// the type the file gives it or removed where the file says there was none,
// and the check, before an install changes anything, that every path it will
// expand fits the system's paths.
#include "install/installtheme.h"

#include "theme/themekeys.h"
#include "theme/themepath.h"
#include "theme/themevalue.h"

long ApplyThemeValue(const ThemeSource &theme, PlatKey key, const char *name, const char *section,
                     const char *themeKey)
{
    unsigned type = ReadThemeValueType(section, themeKey, theme.file.c_str());
    if (type == kThemeNoValue) {
        long rc = RegistryDeleteValue(key, name);
        return rc == kErrorFileNotFound ? kErrorSuccess : rc;
    }
    std::string path;
    // A path too long was refused before the install began; one that became
    // so since (the theme file changed) is left out, never cut.
    if (!ExpandThemePath(ReadThemeValue(section, themeKey, "", theme.file.c_str()), theme.dir, &path))
        return kErrorInvalidParameter;
    return RegistrySetText(key, name, path.c_str(), type);
}

// The value's path fits, or *folder names the folder that makes it too long.
static bool ValueFits(const ThemeSource &theme, const char *section, const char *themeKey, std::string *folder)
{
    std::string value = ReadThemeValue(section, themeKey, "", theme.file.c_str()), path;
    if (ExpandThemePath(value, theme.dir, &path))
        return true;
    *folder = ThemePathFolder(value, theme.dir);
    return false;
}

bool ThemePathsFit(const ThemeInstall &install, std::string *folder)
{
    const ThemeSource &theme = install.theme;
    const ThemeParts &parts = install.parts;
    bool fits = true;
    if (parts.cursors) {
        for (const char *name : kCursorKeys)
            fits = fits && ValueFits(theme, "Control Panel\\Cursors", name, folder);
        fits = fits && ValueFits(theme, "Control Panel\\Cursors", "DefaultValue", folder);
    }
    if (parts.sounds) {
        char keyPath[kPathSize];
        for (int i = 0; i < 21; i++)
            fits = fits && SoundEventKey(i, keyPath, sizeof keyPath) && ValueFits(theme, keyPath, "DefaultValue", folder);
    }
    if (parts.icons) {
        fits = fits && ValueFits(theme, kMyComputerIcon, "DefaultValue", folder) &&
               ValueFits(theme, kNetworkIcon, "DefaultValue", folder);
        for (const char *name : {"full", "empty", "DefaultValue"})
            fits = fits && ValueFits(theme, kRecycleBinIcon, name, folder);
    }
    if (parts.screenSaver)
        fits = fits && ValueFits(theme, "boot", "SCRNSAVE.EXE", folder);
    return fits;
}
