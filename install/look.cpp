// Light or dark and the accent colour, as part of the window colours: today's
// Windows draws its title bars, taskbar, Start and programs from these, not
// from the classic colours. A colour theme's [VisualStyles] section gives
// them; a capture of the user's settings puts each value back exactly, type
// and absence included. A theme file with neither changes none of them. The
// running programs are told once.
#include "install/installtheme.h"
#include "theme/themelook.h"
#include "theme/themevalue.h"

#include <string.h>

// The key of the user's own, made when missing (a system before these
// settings, or a fresh account), opened for writing; null when it cannot be.
static PlatKey OpenLookKey(const char *path)
{
    PlatKey key = nullptr;
    RegistryCreate(kRegCurrentUser, path, kKeySetValue, &key);
    return key;
}

static void CloseLookKey(PlatKey key)
{
    if (!key)
        return;
    RegistryFlush(key);
    RegistryClose(key);
}

static void SetNumber(PlatKey key, const char *name, uint32_t value)
{
    uint8_t bytes[4] = {(uint8_t)value, (uint8_t)(value >> 8), (uint8_t)(value >> 16), (uint8_t)(value >> 24)};
    if (key)
        RegistrySetValue(key, name, kRegDword, bytes, 4);
}

// The values of a capture, each as it was recorded. A value recorded as none
// in a key that is not there needs no key made for it.
static void RestoreCapturedLook(const ThemeSource &theme)
{
    for (int i = 0; i < kLookValueCount; i++) {
        const LookValue &v = kLookValues[i];
        PlatKey key = nullptr;
        if (RegistryOpen(kRegCurrentUser, v.key, kKeySetValue, &key) != kErrorSuccess &&
            ReadThemeValueType(v.key, v.name, theme.file.c_str()) != kThemeNoValue)
            key = OpenLookKey(v.key);
        if (!key)
            continue;
        ApplyThemeValue(theme, key, v.name, v.key, v.name);
        CloseLookKey(key);
    }
}

// The look that a [VisualStyles] section asks for; false when it asks for none.
static bool ApplyThemeLook(const ThemeSource &theme)
{
    ThemeLook look = ReadThemeLook(theme.file.c_str());
    if (!look.hasSystemMode && !look.hasAppMode && !look.hasColor)
        return false;
    if (look.hasSystemMode || look.hasAppMode) {
        PlatKey key = OpenLookKey(kPersonalizeKey);
        if (look.hasAppMode)
            SetNumber(key, "AppsUseLightTheme", look.appsLight);
        if (look.hasSystemMode)
            SetNumber(key, "SystemUsesLightTheme", look.systemLight);
        CloseLookKey(key);
    }
    if (!look.hasColor)
        return true;
    uint32_t accent = look.colorization & 0xFFFFFF;  // 0xRRGGBB
    uint8_t palette[kAccentPaletteBytes];
    MakeAccentPalette(accent, palette);
    // The accent, opaque, 0xAABBGGRR; the colorization colour as the file
    // gives it, 0xAARRGGBB; title bars and borders in the accent.
    PlatKey key = OpenLookKey(kDwmKey);
    SetNumber(key, "AccentColor", PaletteColorRef(palette, 3));
    SetNumber(key, "ColorizationColor", look.colorization);
    SetNumber(key, "ColorPrevalence", 1);
    CloseLookKey(key);
    // Windows would otherwise take an accent from the wallpaper over it.
    key = OpenLookKey("Control Panel\\Desktop");
    SetNumber(key, "AutoColorization", 0);
    CloseLookKey(key);
    key = OpenLookKey(kAccentKey);
    if (key)
        RegistrySetValue(key, "AccentPalette", kRegBinary, palette, sizeof palette);
    SetNumber(key, "AccentColorMenu", PaletteColorRef(palette, 3));
    SetNumber(key, "StartColorMenu", PaletteColorRef(palette, 4));
    CloseLookKey(key);
    return true;
}

void ApplyLook(const ThemeSource &theme)
{
    // A capture records the first of the values always, as none where the
    // user had none.
    bool captured = ThemeHasValue(kLookValues[0].key, kLookValues[0].name, theme.file.c_str());
    if (captured)
        RestoreCapturedLook(theme);
    else if (!ApplyThemeLook(theme))
        return;
    BroadcastIniChange(0, "ImmersiveColorSet");
}
