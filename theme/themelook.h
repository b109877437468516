// The look of today's Windows that a theme gives beside its classic colours:
// light or dark for the system (taskbar, Start) and for programs, and the
// accent colour of title bars, borders and Start. A theme file holds it in its
// [VisualStyles] section as Windows' own theme files do; the registry keeps
// it in the values of kLookValues.
#pragma once

#include <stdint.h>

// The registry values of the look, each under HKEY_CURRENT_USER: the key,
// which also names the section of a captured theme file, and the value.
struct LookValue {
    const char *key;
    const char *name;
};
constexpr int kLookValueCount = 9;
extern const LookValue kLookValues[kLookValueCount];
extern const char kPersonalizeKey[];  // AppsUseLightTheme, SystemUsesLightTheme
extern const char kDwmKey[];          // AccentColor, ColorizationColor, ColorPrevalence
extern const char kAccentKey[];       // AccentPalette, AccentColorMenu, StartColorMenu

// What a [VisualStyles] section asks for. Each part is there only when its
// value is of its form: "Dark" or "Light" (any case) for the modes,
// "0XAARRGGBB" (eight hex digits after 0X or 0x) for the colorization colour.
struct ThemeLook {
    bool hasSystemMode, systemLight;
    bool hasAppMode, appsLight;
    bool hasColor;
    uint32_t colorization;  // 0xAARRGGBB, as the file gives it
};
ThemeLook ReadThemeLook(const char *file);

// The accent palette as Windows keeps it (AccentPalette, REG_BINARY): eight
// colours from light to dark, four bytes each, red, green, blue and a zero;
// the accent itself (0xRRGGBB) is the fourth, three tints before it, four
// shades after.
constexpr int kAccentPaletteBytes = 32;
void MakeAccentPalette(uint32_t accent, uint8_t palette[kAccentPaletteBytes]);
// Colour i of the palette as the registry's DWORD colours hold one:
// 0xAABBGGRR, opaque (AccentColorMenu is colour 3, StartColorMenu colour 4).
uint32_t PaletteColorRef(const uint8_t palette[kAccentPaletteBytes], int i);
