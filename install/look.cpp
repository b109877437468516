// The look (light or dark and the accent colour), as part of the window
// colours: today's Windows draws its title bars, taskbar, Start and programs
// from it, not from the classic colours. A colour theme's [VisualStyles]
// section gives it; a capture of the user's settings (the backup, the run's
// snapshot) puts each value back exactly, type and absence included. A colour
// theme without the section changes none of it. The running programs are
// told once.
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

// Whether value i of kLookValues is the first of its key in the table.
static bool FirstOfItsKey(int i)
{
    for (int j = 0; j < i; j++)
        if (strcmp(kLookValues[j].key, kLookValues[i].key) == 0)
            return false;
    return true;
}

// The values of a capture, each as it was recorded, a key at a time: each key
// opened, flushed and closed once. A value recorded as none in a key that is
// not there needs no key made for it; a value the capture does not hold (one
// made before the look was kept) stays as it is. False when the capture holds
// none of them.
static bool RestoreCapturedLook(const ThemeSource &theme)
{
    const char *file = theme.file.c_str();
    bool any = false;
    for (int i = 0; i < kLookValueCount; i++) {
        if (!FirstOfItsKey(i))
            continue;
        // The key's values that the capture holds, and whether one of them
        // is a value to write rather than one to remove.
        const char *path = kLookValues[i].key;
        bool held[kLookValueCount] = {}, heldHere = false, written = false;
        for (int j = i; j < kLookValueCount; j++)
            if (strcmp(kLookValues[j].key, path) == 0 && ThemeHasValue(path, kLookValues[j].name, file)) {
                held[j] = heldHere = true;
                written = written || ReadThemeValueType(path, kLookValues[j].name, file) != kThemeNoValue;
            }
        any = any || heldHere;
        PlatKey key = nullptr;
        if (heldHere && RegistryOpen(kRegCurrentUser, path, kKeySetValue, &key) != kErrorSuccess && written)
            key = OpenLookKey(path);
        if (!key)
            continue;
        for (int j = i; j < kLookValueCount; j++)
            if (held[j])
                ApplyThemeValue(theme, key, kLookValues[j].name, path, kLookValues[j].name);
        CloseLookKey(key);
    }
    return any;
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

void ApplyLook(const ThemeSource &theme, bool captured)
{
    if (captured ? !RestoreCapturedLook(theme) : !ApplyThemeLook(theme))
        return;
    BroadcastIniChange(0, "ImmersiveColorSet");
}
