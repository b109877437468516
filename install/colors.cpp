// Window colours: the 25 colours of a theme file into the registry and, in one
// call, into the running system.
#include "install/installtheme.h"

#include <ctype.h>
#include <stdio.h>

constexpr int kColorCount = 25;
constexpr unsigned kColorTextSize = 20;  // a colour value counts up to 19 characters

// Theme-file keys with the system colour element each one sets, in the order
// read, written and passed to the system.
static const struct {
    const char *key;
    int element;
} kColors[kColorCount] = {
    {"ActiveTitle", 2},     {"Background", 1},        {"Hilight", 13},         {"HilightText", 14},
    {"TitleText", 9},       {"Window", 5},            {"WindowText", 8},       {"Scrollbar", 0},
    {"InactiveTitle", 3},   {"Menu", 4},              {"WindowFrame", 6},      {"MenuText", 7},
    {"ActiveBorder", 10},   {"InactiveBorder", 11},   {"AppWorkspace", 12},    {"ButtonFace", 15},
    {"ButtonShadow", 16},   {"GrayText", 17},         {"ButtonText", 18},      {"InactiveTitleText", 19},
    {"ButtonHilight", 20},  {"ButtonDkShadow", 21},   {"ButtonLight", 22},     {"InfoText", 23},
    {"InfoWindow", 24},
};

// "%d %d %d" into a COLORREF, each component cut to its low 8 bits. False when
// the text does not start with three numbers.
static bool ParseColor(const char *text, uint32_t *color)
{
    unsigned parts[3];
    const char *p = text;
    for (unsigned &part : parts) {
        while (isspace((unsigned char)*p))
            p++;
        bool negative = *p == '-';
        if (*p == '-' || *p == '+')
            p++;
        if (!isdigit((unsigned char)*p))
            return false;
        unsigned v = 0;
        while (isdigit((unsigned char)*p))
            v = v * 10 + (unsigned)(*p++ - '0');
        part = (negative ? 0u - v : v) & 0xFF;
    }
    *color = parts[0] | parts[1] << 8 | parts[2] << 16;
    return true;
}

int ApplyWindowColors()
{
    int elements[kColorCount];
    uint32_t colors[kColorCount];
    PlatKey key = nullptr;
    RegistryOpen(kRegCurrentUser, "Control Panel\\Colors", kKeySetValue, &key);
    for (int i = 0; i < kColorCount; i++) {
        char text[kColorTextSize];
        ProfileGetString("Control Panel\\Colors", kColors[i].key, "", text, sizeof text, ThemeFile);
        RegistrySetText(key, kColors[i].key, text);
        elements[i] = kColors[i].element;
        // A value that is missing or not three numbers leaves its element as
        // the system shows it now, instead of turning it black.
        if (!ParseColor(text, &colors[i]))
            colors[i] = SysColorGet(kColors[i].element);
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
    return 1;
}
