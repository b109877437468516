// The five colour theme files, "Zorva The Vandrel <COLOUR>.theme": window
// colours designed for each colour, window metrics with Tahoma fonts, the
// desktop values, and the paths of the screen saver, desktop icons, cursors
// and sounds below the theme folder (%ThemeDir%, which the installer expands
// followed by a backslash, so the rest of a path follows it directly).
#include "tools/content/emblems.h"
#include "platform/records.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

const char *const kColorKeys[25] = {
    "ActiveTitle",  "Background",     "Hilight",     "HilightText",  "TitleText",         "Window",        "WindowText",
    "Scrollbar",    "InactiveTitle",  "Menu",        "WindowFrame",  "MenuText",          "ActiveBorder",  "InactiveBorder",
    "AppWorkspace", "ButtonFace",     "ButtonShadow", "GrayText",    "ButtonText",        "InactiveTitleText",
    "ButtonHilight", "ButtonDkShadow", "ButtonLight", "InfoText",    "InfoWindow",
};

// The colours in the order of kColorKeys. Every text colour stands against its
// ground at a contrast of at least 4.5 : 1 (GrayText against ButtonFace too);
// the 3-D tones run from ButtonHilight down to ButtonDkShadow.
const Rgb8 kColors[kThemeCount][25] = {
    {  // black: graphite and violet, light text
        {92, 58, 138}, {16, 14, 22}, {112, 72, 168}, {255, 255, 255}, {255, 255, 255},
        {30, 28, 36}, {232, 228, 240}, {44, 42, 50}, {58, 54, 66}, {44, 42, 50},
        {8, 8, 10}, {232, 228, 240}, {56, 54, 62}, {56, 54, 62}, {40, 38, 46},
        {56, 54, 62}, {32, 30, 36}, {168, 164, 178}, {236, 232, 244}, {180, 176, 190},
        {112, 108, 124}, {10, 10, 12}, {76, 74, 84}, {240, 236, 250}, {62, 52, 84},
    },
    {  // red: embers on warm linen
        {164, 28, 20}, {104, 20, 12}, {176, 36, 24}, {255, 255, 255}, {255, 255, 255},
        {255, 250, 246}, {40, 12, 8}, {236, 226, 218}, {206, 172, 160}, {246, 238, 232},
        {60, 16, 8}, {48, 16, 8}, {232, 220, 212}, {232, 220, 212}, {170, 122, 106},
        {234, 222, 214}, {170, 142, 130}, {112, 80, 68}, {48, 16, 8}, {72, 30, 22},
        {255, 255, 255}, {82, 40, 32}, {246, 238, 232}, {48, 16, 8}, {255, 240, 218},
    },
    {  // white: ivory and old gold
        {132, 98, 22}, {226, 218, 198}, {128, 92, 20}, {255, 255, 255}, {255, 255, 255},
        {255, 253, 246}, {32, 28, 20}, {232, 228, 216}, {216, 206, 182}, {248, 245, 236},
        {64, 56, 40}, {40, 34, 24}, {238, 234, 222}, {238, 234, 222}, {202, 194, 174},
        {238, 234, 222}, {178, 170, 150}, {108, 98, 78}, {40, 34, 24}, {82, 74, 58},
        {255, 255, 255}, {92, 84, 68}, {248, 245, 236}, {40, 34, 24}, {255, 250, 222},
    },
    {  // blue: deep water and mist
        {24, 82, 160}, {26, 64, 116}, {30, 96, 180}, {255, 255, 255}, {255, 255, 255},
        {248, 251, 255}, {12, 24, 44}, {222, 232, 242}, {152, 174, 202}, {234, 241, 248},
        {20, 40, 70}, {16, 32, 56}, {216, 226, 238}, {216, 226, 238}, {122, 146, 178},
        {216, 226, 238}, {134, 154, 182}, {74, 90, 114}, {16, 32, 56}, {24, 40, 66},
        {255, 255, 255}, {40, 56, 84}, {234, 241, 248}, {12, 24, 44}, {238, 246, 255},
    },
    {  // green: forest and sage
        {32, 100, 42}, {22, 68, 30}, {38, 116, 50}, {255, 255, 255}, {255, 255, 255},
        {250, 253, 246}, {16, 36, 12}, {226, 236, 222}, {166, 190, 158}, {236, 244, 232},
        {16, 40, 12}, {20, 40, 16}, {220, 232, 214}, {220, 232, 214}, {128, 152, 120},
        {220, 232, 214}, {136, 160, 128}, {78, 98, 70}, {20, 40, 16}, {28, 52, 24},
        {255, 255, 255}, {40, 64, 36}, {236, 244, 232}, {16, 36, 12}, {244, 252, 232},
    },
};

// A font of the theme: Tahoma, which Windows and Wine both have, at a height
// in pixels (negative: character height) and a weight.
LogFontRecord Font(int height, int weight)
{
    LogFontRecord f = {};
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfCharSet = 0;  // ANSI
    strncpy(f.lfFaceName, "Tahoma", sizeof f.lfFaceName - 1);
    return f;
}

std::string ByteList(const void *record, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; i++) {
        if (i)
            text += ' ';
        text += std::to_string(((const uint8_t *)record)[i]);
    }
    return text;
}

std::string MetricsSection()
{
    IconMetricsRecord icon = {};
    icon.cbSize = sizeof icon;
    icon.iHorzSpacing = 75;
    icon.iVertSpacing = 75;
    icon.iTitleWrap = 1;
    icon.lfFont = Font(-11, 400);

    NonclientMetricsRecord nc = {};
    nc.cbSize = sizeof nc;
    nc.iBorderWidth = 1;
    nc.iScrollWidth = 16;
    nc.iScrollHeight = 16;
    nc.iCaptionWidth = 18;
    nc.iCaptionHeight = 18;
    nc.lfCaptionFont = Font(-12, 700);
    nc.iSmCaptionWidth = 12;
    nc.iSmCaptionHeight = 15;
    nc.lfSmCaptionFont = Font(-11, 700);
    nc.iMenuWidth = 18;
    nc.iMenuHeight = 18;
    nc.lfMenuFont = Font(-11, 400);
    nc.lfStatusFont = Font(-11, 400);
    nc.lfMessageFont = Font(-11, 400);
    return "[Metrics]\nIconMetrics=" + ByteList(&icon, sizeof icon) + "\nNonclientMetrics=" +
           ByteList(&nc, sizeof nc) + "\n\n";
}

// The relative luminance of a colour, 0 to 1, and the contrast of two, 1 to 21.
double Luminance(const Rgb8 &c)
{
    auto linear = [](int v) {
        double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double Contrast(const Rgb8 &a, const Rgb8 &b)
{
    double x = Luminance(a) + 0.05, y = Luminance(b) + 0.05;
    return x > y ? x / y : y / x;
}

const Rgb8 kWhite = {255, 255, 255}, kBlack = {0, 0, 0};

// Light when black text reads better on the ground than white text does.
bool LightGround(const Rgb8 &ground) { return Contrast(ground, kBlack) > Contrast(ground, kWhite); }

// The accent: the theme's title colour, darkened by steps of a 32nd until
// white text on it stands at a contrast of at least 4.5 : 1, as Windows
// writes white text on the accent (title bars, Start's tiles).
Rgb8 Accent(const Rgb8 &title)
{
    Rgb8 c = title;
    for (int step = 31; Contrast(c, kWhite) < 4.5 && step >= 0; step--)
        c = Rgb8{(uint8_t)(title.r * step / 32), (uint8_t)(title.g * step / 32), (uint8_t)(title.b * step / 32)};
    return c;
}

// Light or dark for the system (the taskbar and Start stand on the desktop:
// its ground) and for programs (their windows' ground), and the accent, in
// the form of Windows' own theme files. The visual style is today's, named
// as they name it: a theme opened in Explorer keeps it.
std::string VisualStylesSection(int color)
{
    const Rgb8 *c = kColors[color];
    Rgb8 accent = Accent(c[0]);
    char colorization[16];
    snprintf(colorization, sizeof colorization, "0XC4%02X%02X%02X", accent.r, accent.g, accent.b);
    return std::string("[VisualStyles]\nPath=%ResourceDir%\\Themes\\Aero\\Aero.msstyles\nColorStyle=NormalColor\n"
                       "Size=NormalSize\nSystemMode=") +
           (LightGround(c[1]) ? "Light" : "Dark") + "\nAppMode=" + (LightGround(c[5]) ? "Light" : "Dark") +
           "\nColorizationColor=" + colorization + "\n\n";
}

const char kMyComputer[] = "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
const char kNetwork[] = "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon";
const char kRecycleBin[] = "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";

std::string ThemeText(int color)
{
    std::string word = kColorWords[color];
    std::string own = "%ThemeDir%Zorva\\" + word + "\\";
    std::string t;
    t += "; Zorva The Vandrel " + word + ": a colour theme of Desktop Quennel.\n";
    t += "; Paths start with %ThemeDir%, the folder that holds this file.\n\n";

    t += "[Control Panel\\Colors]\n";
    for (int i = 0; i < 25; i++) {
        const Rgb8 &c = kColors[color][i];
        t += std::string(kColorKeys[i]) + "=" + std::to_string(c.r) + " " + std::to_string(c.g) + " " +
             std::to_string(c.b) + "\n";
    }
    t += "\n" + VisualStylesSection(color);
    t += MetricsSection();

    t += "[Control Panel\\Desktop]\nScreenSaveActive=1\nTileWallpaper=0\nWallpaperStyle=2\nPattern=(None)\n\n";
    t += "[boot]\nSCRNSAVE.EXE=%ThemeDir%Zorva\\ZORVA.SCR\n\n";

    t += std::string("[") + kMyComputer + "]\nDefaultValue=" + own + "Computer.ico,0\n\n";
    t += std::string("[") + kNetwork + "]\nDefaultValue=" + own + "Network.ico,0\n\n";
    t += std::string("[") + kRecycleBin + "]\nfull=" + own + "BinFull.ico,0\nempty=" + own + "BinEmpty.ico,0\n\n";
    t += "[MasterThemeSelector]\nThemeColorBPP=32\n\n";

    t += "[Control Panel\\Cursors]\n";
    for (int role = 0; role < 14; role++)
        t += std::string(CursorKey(role)) + "=" + own + "Cursors\\" + CursorFile(role) + "\n";
    t += "DefaultValue=Zorva The Vandrel " + word + "\n\n";

    for (int event = 0; event < 21; event++)
        t += std::string("[") + SoundSection(event) + "]\nDefaultValue=%ThemeDir%" + SoundPath(event, color) + "\n\n";
    return t;
}

}  // namespace

void MakeThemeFiles()
{
    for (int color = 0; color < kThemeCount; color++)
        SaveText(std::string("Zorva The Vandrel ") + kColorWords[color] + ".theme", WindowsLines(ThemeText(color)));
}
