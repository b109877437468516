// Window colours: the 25 colours of a theme file into the registry and, in one
// call, into the running system.
#include "install/installtheme.h"
#include "theme/themekeys.h"
#include "theme/themevalue.h"

// "%d %d %d" into a COLORREF, each component cut to its low 8 bits. False when
// the text does not start with three numbers.
static bool ParseColor(const char *text, uint32_t *color)
{
    uint32_t parts[3];
    for (uint32_t &part : parts) {
        text = ScanDecimal(text, &part);
        if (!text)
            return false;
        part &= 0xFF;
    }
    *color = parts[0] | parts[1] << 8 | parts[2] << 16;
    return true;
}

// What a missing colour reads as: no colour's text.
static const char kNoColor[] = "none";

void ApplyWindowColors(const ThemeSource &theme, int themeId)
{
    int elements[kColorCount];
    uint32_t colors[kColorCount];
    PlatKey key = nullptr;
    RegistryOpen(kRegCurrentUser, "Control Panel\\Colors", kKeySetValue, &key);
    for (int i = 0; i < kColorCount; i++) {
        // A value that is missing or not three numbers leaves its element as
        // it is, in the registry and on the screen, instead of turning it
        // black or storing a colour that the screen does not show. An empty
        // value stays empty: a capture of a user who had none.
        std::string text = ReadThemeValue("Control Panel\\Colors", kColorKeys[i], kNoColor, theme.file.c_str());
        elements[i] = kColorElements[i];
        bool color = ParseColor(text.c_str(), &colors[i]);
        if (color || text.empty())
            RegistrySetText(key, kColorKeys[i], text.c_str());
        if (!color)
            colors[i] = SysColorGet(kColorElements[i]);
    }
    if (key) {
        RegistryFlush(key);
        RegistryClose(key);
    }
    SysColorsSet(kColorCount, elements, colors);

    if (RegistryOpen(kRegCurrentUser, "Control Panel\\Appearance", kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, "Current", "");
        RegistryFlush(key);
        RegistryClose(key);
    }
    ApplyLook(theme, themeId == kThemeBackup || themeId == kThemeSnapshot);
}
