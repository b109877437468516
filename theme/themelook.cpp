#include "theme/themelook.h"

#include "theme/themevalue.h"

#include <strings.h>

const char kPersonalizeKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
const char kDwmKey[] = "Software\\Microsoft\\Windows\\DWM";
const char kAccentKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent";

const LookValue kLookValues[kLookValueCount] = {
    {kPersonalizeKey, "AppsUseLightTheme"}, {kPersonalizeKey, "SystemUsesLightTheme"},
    {kDwmKey, "AccentColor"},               {kDwmKey, "ColorizationColor"},
    {kDwmKey, "ColorPrevalence"},           {"Control Panel\\Desktop", "AutoColorization"},
    {kAccentKey, "AccentPalette"},          {kAccentKey, "AccentColorMenu"},
    {kAccentKey, "StartColorMenu"},
};

static bool ReadMode(const char *file, const char *key, bool *light)
{
    std::string mode = ReadThemeValue("VisualStyles", key, "", file);
    *light = strcasecmp(mode.c_str(), "Light") == 0;
    return *light || strcasecmp(mode.c_str(), "Dark") == 0;
}

static bool ParseColorization(const std::string &text, uint32_t *color)
{
    if (text.size() != 10 || text[0] != '0' || (text[1] != 'X' && text[1] != 'x'))
        return false;
    uint32_t value = 0;
    for (size_t i = 2; i < 10; i++) {
        char c = text[i];
        int digit = c >= '0' && c <= '9' ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0)
            return false;
        value = value << 4 | (uint32_t)digit;
    }
    *color = value;
    return true;
}

ThemeLook ReadThemeLook(const char *file)
{
    ThemeLook look = {};
    look.hasSystemMode = ReadMode(file, "SystemMode", &look.systemLight);
    look.hasAppMode = ReadMode(file, "AppMode", &look.appsLight);
    look.hasColor = ParseColorization(ReadThemeValue("VisualStyles", "ColorizationColor", "", file), &look.colorization);
    return look;
}

void MakeAccentPalette(uint32_t accent, uint8_t palette[kAccentPaletteBytes])
{
    // Tints toward white by 6, 4 and 2 tenths, the accent, then shades
    // toward black at 8, 6, 4 and 3 tenths of its light; rounded.
    static const int kTints[3] = {6, 4, 2}, kShades[4] = {8, 6, 4, 3};
    for (int channel = 0; channel < 3; channel++) {
        int c = (int)(accent >> (16 - 8 * channel) & 0xFF);
        for (int i = 0; i < 3; i++)
            palette[4 * i + channel] = (uint8_t)(c + ((255 - c) * kTints[i] + 5) / 10);
        palette[12 + channel] = (uint8_t)c;
        for (int i = 0; i < 4; i++)
            palette[4 * (4 + i) + channel] = (uint8_t)((c * kShades[i] + 5) / 10);
    }
    for (int i = 0; i < 8; i++)
        palette[4 * i + 3] = 0;
}

uint32_t PaletteColorRef(const uint8_t palette[kAccentPaletteBytes], int i)
{
    const uint8_t *c = palette + 4 * i;
    return 0xFF000000u | (uint32_t)c[2] << 16 | (uint32_t)c[1] << 8 | c[0];
}
