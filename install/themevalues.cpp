// The registry values that a theme file names by path: each one written with
// the type the file gives it or removed where the file says there was none,
// and the search, before an install changes anything, for the paths that would
// not fit the system's once their folder is filled in.
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
    if (type == kRegDword || type == kRegBinary) {
        // A number or bytes as the capture recorded them; a text not of that
        // form (a damaged file) leaves the value as it is.
        std::string bytes;
        if (!ThemeDataBytes(type, ReadThemeValue(section, themeKey, "", theme.file.c_str()), &bytes))
            return kErrorInvalidParameter;
        return RegistrySetValue(key, name, type, bytes.data(), (uint32_t)bytes.size());
    }
    std::string path;
    // A path too long is left as the user has it, never cut: the install
    // found it before it began (LongThemeValues) and names it.
    if (!ExpandThemePath(ReadThemeValue(section, themeKey, "", theme.file.c_str()), theme.dir, &path))
        return kErrorInvalidParameter;
    return RegistrySetText(key, name, path.c_str(), type);
}

// Adds the value to *found when it is a path that does not fit.
static void CheckValue(const ThemeSource &theme, const char *section, const char *themeKey,
                       std::vector<LongThemeValue> *found)
{
    unsigned type = ReadThemeValueType(section, themeKey, theme.file.c_str());
    if (type != kRegSz && type != kRegExpandSz)
        return;  // removed, or a number or bytes: no path
    std::string value = ReadThemeValue(section, themeKey, "", theme.file.c_str()), path;
    if (ExpandThemePath(value, theme.dir, &path))
        return;
    // Only the theme's own folder can be moved to a shorter one.
    bool ownFolder = value.compare(0, 10, "%ThemeDir%") == 0;
    found->push_back({{section, themeKey}, ThemePathFolder(value, theme.dir), ownFolder && ThemePathFitsBelowRoot(value)});
}

std::vector<LongThemeValue> LongThemeValues(const ThemeInstall &install)
{
    const ThemeSource &theme = install.theme;
    const ThemeParts &parts = install.parts;
    std::vector<LongThemeValue> found;
    if (parts.cursors) {
        for (const char *name : kCursorKeys)
            CheckValue(theme, "Control Panel\\Cursors", name, &found);
        CheckValue(theme, "Control Panel\\Cursors", "DefaultValue", &found);
    }
    if (parts.sounds) {
        char keyPath[kPathSize];
        for (int i = 0; i < 21; i++)
            if (SoundEventKey(i, keyPath, sizeof keyPath))
                CheckValue(theme, keyPath, "DefaultValue", &found);
    }
    if (parts.icons) {
        CheckValue(theme, kMyComputerIcon, "DefaultValue", &found);
        CheckValue(theme, kNetworkIcon, "DefaultValue", &found);
        for (const char *name : {"full", "empty", "DefaultValue"})
            CheckValue(theme, kRecycleBinIcon, name, &found);
    }
    if (parts.screenSaver)
        CheckValue(theme, "boot", "SCRNSAVE.EXE", &found);
    return found;
}

std::string ValuesLeftText(const ThemeInstall &install)
{
    std::string text = "These settings were left as they are: the paths that the file\n  " + install.theme.file +
                       "\nholds for them would be too long for the system once their folder is filled in.";
    for (const ThemeValueName &v : install.valuesLeft)
        text += "\n  " + v.section + ": " + v.key;
    return text;
}
