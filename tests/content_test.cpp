// The five colour theme files as the installer reads them: every section and
// key present, colours that parse and keep text legible, metric records of the
// right length with legible fonts, and paths that lead to files of the
// content folder once expanded.
#include "base/bounded.h"
#include "install/installtheme.h"
#include "theme/metrictext.h"
#include "theme/themekeys.h"
#include "theme/themepath.h"
#include "tests/content_testing.h"

#include <math.h>
#include <stdlib.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif

const char *const kContentColors[5] = {"BLACK", "RED", "WHITE", "BLUE", "GREEN"};


void ContentTest::SetUp()
{
    MachineTest::SetUp();
    dir = ContentFolder(QUENNEL_CONTENT_FOLDER);
    ASSERT_TRUE(FileExists(ThemePath(dir, "BLUE"))) << "generated content missing in " << QUENNEL_CONTENT_FOLDER;
}

std::vector<std::string> SoundSections()
{
    std::vector<std::string> sections;
    char key[200];
    for (int i = 0; i < 21; i++) {
        SoundEventKey(i, key, sizeof key);
        sections.push_back(key);
    }
    return sections;
}

std::string ThemePath(const std::string &dir, const char *color)
{
    return dir + "\\Zorva The Vandrel " + color + ".theme";
}

namespace {

const char kColors[] = "Control Panel\\Colors";
const char kDesktop[] = "Control Panel\\Desktop";
const char kCursors[] = "Control Panel\\Cursors";
const char *const kMyComputer = kMyComputerIcon;
const char *const kNetwork = kNetworkIcon;
const char *const kRecycleBin = kRecycleBinIcon;

struct Key {
    const char *section, *key;
};

// Every key the installer reads from a colour theme, but the cursors and sounds.
std::vector<Key> PlainKeys()
{
    std::vector<Key> keys;
    for (const char *k : kColorKeys)
        keys.push_back({kColors, k});
    for (const char *k : {"IconMetrics", "NonclientMetrics"})
        keys.push_back({"Metrics", k});
    for (const char *k : {"ScreenSaveActive", "TileWallpaper", "WallpaperStyle", "Pattern"})
        keys.push_back({kDesktop, k});
    keys.push_back({"boot", "SCRNSAVE.EXE"});
    keys.push_back({kMyComputer, "DefaultValue"});
    keys.push_back({kNetwork, "DefaultValue"});
    keys.push_back({kRecycleBin, "full"});
    keys.push_back({kRecycleBin, "empty"});
    keys.push_back({"MasterThemeSelector", "ThemeColorBPP"});
    keys.push_back({kCursors, "DefaultValue"});
    return keys;
}

// The keys whose values name files that the content folder must hold.
std::vector<Key> FileKeys()
{
    std::vector<Key> keys = {{kMyComputer, "DefaultValue"}, {kNetwork, "DefaultValue"},
                             {kRecycleBin, "full"},         {kRecycleBin, "empty"}};
    for (const char *k : kCursorKeys)
        keys.push_back({kCursors, k});
    static const std::vector<std::string> sounds = SoundSections();
    for (const std::string &s : sounds)
        keys.push_back({s.c_str(), "DefaultValue"});
    return keys;
}

bool ParseColor(const std::string &text, int rgb[3])
{
    char tail = 0;
    return sscanf(text.c_str(), "%d %d %d%c", &rgb[0], &rgb[1], &rgb[2], &tail) == 3 && rgb[0] >= 0 &&
           rgb[0] <= 255 && rgb[1] >= 0 && rgb[1] <= 255 && rgb[2] >= 0 && rgb[2] <= 255;
}

// Relative luminance of an sRGB colour, 0..1.
double Luminance(const int rgb[3])
{
    double sum = 0;
    static const double weight[3] = {0.2126, 0.7152, 0.0722};
    for (int i = 0; i < 3; i++) {
        double c = rgb[i] / 255.0;
        c = c <= 0.04045 ? c / 12.92 : pow((c + 0.055) / 1.055, 2.4);
        sum += weight[i] * c;
    }
    return sum;
}

double Contrast(const int a[3], const int b[3])
{
    double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The runs of digits: the numbers of a list, whatever stands between them.
int CountDigitRuns(const std::string &text)
{
    int count = 0;
    bool inNumber = false;
    for (char c : text) {
        bool digit = c >= '0' && c <= '9';
        if (digit && !inNumber)
            count++;
        inNumber = digit;
    }
    return count;
}

#ifdef _WIN32
int CALLBACK FoundFont(const LOGFONTA *, const TEXTMETRICA *, DWORD, LPARAM found)
{
    *(bool *)found = true;
    return 0;
}
#endif

// A face name that Windows and Wine both have (under Wine: installed now).
bool FontAvailable(const char *face)
{
    bool known = false;
    for (const char *f : {"Tahoma", "MS Sans Serif", "Marlett"})
        known |= strcmp(face, f) == 0;
#ifdef _WIN32
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &lf, FoundFont, (LPARAM)&found, 0);
    ReleaseDC(nullptr, dc);
    return known && found;
#else
    return known;
#endif
}

void ExpectLegible(const LogFontRecord &f, const char *what, const char *color)
{
    EXPECT_LE(f.lfHeight, -9) << color << " " << what;
    EXPECT_GE(f.lfHeight, -20) << color << " " << what;
    EXPECT_TRUE(f.lfWeight == 400 || f.lfWeight == 700) << color << " " << what;
    char face[33] = {};
    memcpy(face, f.lfFaceName, 32);
    EXPECT_TRUE(FontAvailable(face)) << color << " " << what << ": " << face;
}

}  // namespace

TEST_F(ContentTest, ThemeFilesHoldEveryKeyTheInstallerReads)
{
    for (const char *color : kContentColors) {
        std::string file = ThemePath(dir, color);
        std::vector<Key> keys = PlainKeys(), files = FileKeys();
        keys.insert(keys.end(), files.begin(), files.end());
        for (const Key &k : keys) {
            std::string value = ReadProfile(file, k.section, k.key);
            EXPECT_NE("<missing>", value) << color << " [" << k.section << "] " << k.key;
            EXPECT_FALSE(value.empty()) << color << " [" << k.section << "] " << k.key;
        }
    }
}

TEST_F(ContentTest, DesktopValuesAndScreenSaver)
{
    for (const char *color : kContentColors) {
        std::string file = ThemePath(dir, color);
        EXPECT_EQ("1", ReadProfile(file, kDesktop, "ScreenSaveActive")) << color;
        EXPECT_EQ("0", ReadProfile(file, kDesktop, "TileWallpaper")) << color;
        EXPECT_EQ("2", ReadProfile(file, kDesktop, "WallpaperStyle")) << color;
        EXPECT_EQ("(None)", ReadProfile(file, kDesktop, "Pattern")) << color;
        EXPECT_EQ("32", ReadProfile(file, "MasterThemeSelector", "ThemeColorBPP")) << color;
        EXPECT_EQ(std::string("Zorva The Vandrel ") + color, ReadProfile(file, kCursors, "DefaultValue"));
        // The screen saver is built apart from this content; the themes share one.
        EXPECT_EQ("%ThemeDir%Zorva\\ZORVA.SCR", ReadProfile(file, "boot", "SCRNSAVE.EXE")) << color;
    }
}

TEST_F(ContentTest, EveryPathLeadsToAFileOfTheContentFolder)
{
    for (const char *color : kContentColors) {
        std::string file = ThemePath(dir, color);
        for (const Key &k : FileKeys()) {
            std::string value = ReadProfile(file, k.section, k.key);
            // Relative to the theme folder, so the theme works wherever it is installed.
            EXPECT_EQ(0u, value.find("%ThemeDir%")) << color << " " << k.key << ": " << value;
            std::string expanded;
            EXPECT_TRUE(ExpandThemePath(value, dir, &expanded)) << value;
            EXPECT_EQ(dir + "\\", expanded.substr(0, dir.size() + 1)) << value;
            // Icon locations end in ",index".
            size_t comma = expanded.rfind(',');
            if (strncmp(k.section, "CLSID", 5) == 0) {
                ASSERT_NE(std::string::npos, comma) << expanded;
                EXPECT_EQ(",0", expanded.substr(comma));
                expanded.resize(comma);
            }
            EXPECT_TRUE(FileExists(expanded)) << color << " [" << k.section << "] " << k.key << ": " << expanded;
        }
    }
}

// Installed in the longest folder the installer takes, every path of every
// theme still fits the system's paths; one character more and the longest
// would not, so the installer's limit is no lower than it need be.
TEST_F(ContentTest, EveryPathFitsFromTheLongestInstallFolder)
{
    const std::string longest = "C:\\" + std::string(QUENNEL_MAX_INSTALL_FOLDER - 3, 'q') + "\\Themes";
    size_t widest = 0;
    for (const char *color : kContentColors)
        for (const Key &k : FileKeys()) {
            std::string expanded;
            EXPECT_TRUE(ExpandThemePath(ReadProfile(ThemePath(dir, color), k.section, k.key), longest, &expanded))
                << color << " [" << k.section << "] " << k.key;
            widest = std::max(widest, expanded.size());
        }
    EXPECT_EQ(259u, widest);
}

// Today's Windows draws each theme as its colours say: BLACK dark throughout,
// WHITE light throughout, the others with a dark taskbar on their deep desktop
// and light programs; the accent is the title colour, or a darker tone of its
// hue, under white text at a contrast of at least 4.5, with Windows' usual
// alpha. The visual style is named as Windows' own theme files name it.
TEST_F(ContentTest, VisualStylesGiveTheModesAndAReadableAccent)
{
    static const struct {
        const char *color, *system, *apps;
    } kModes[] = {{"BLACK", "Dark", "Dark"},  {"RED", "Dark", "Light"},   {"WHITE", "Light", "Light"},
                  {"BLUE", "Dark", "Light"},  {"GREEN", "Dark", "Light"}};
    const int white[3] = {255, 255, 255};
    for (const auto &m : kModes) {
        std::string file = ThemePath(dir, m.color);
        EXPECT_EQ("%ResourceDir%\\Themes\\Aero\\Aero.msstyles", ReadProfile(file, "VisualStyles", "Path")) << m.color;
        EXPECT_EQ("NormalColor", ReadProfile(file, "VisualStyles", "ColorStyle")) << m.color;
        EXPECT_EQ("NormalSize", ReadProfile(file, "VisualStyles", "Size")) << m.color;
        EXPECT_EQ(m.system, ReadProfile(file, "VisualStyles", "SystemMode")) << m.color;
        EXPECT_EQ(m.apps, ReadProfile(file, "VisualStyles", "AppMode")) << m.color;
        std::string colorization = ReadProfile(file, "VisualStyles", "ColorizationColor");
        ASSERT_EQ(10u, colorization.size()) << m.color;
        EXPECT_EQ("0XC4", colorization.substr(0, 4)) << m.color;
        unsigned long rgb = strtoul(colorization.substr(4).c_str(), nullptr, 16);
        int accent[3] = {(int)(rgb >> 16 & 0xFF), (int)(rgb >> 8 & 0xFF), (int)(rgb & 0xFF)}, title[3];
        ASSERT_TRUE(ParseColor(ReadProfile(file, kColors, "ActiveTitle"), title));
        EXPECT_GE(Contrast(accent, white), 4.5) << m.color;
        // The title's hue: each channel the same fraction of the title's.
        for (int i = 0; i < 3; i++) {
            EXPECT_LE(accent[i], title[i]) << m.color;
            EXPECT_NEAR(accent[i] * 1.0 * (title[0] + title[1] + title[2]),
                        title[i] * 1.0 * (accent[0] + accent[1] + accent[2]), 3.0 * (title[0] + title[1] + title[2]))
                << m.color;
        }
    }
}

// What each shipped theme sets on today's Windows with Window Colors, byte for
// byte: the looks of the README's table.
TEST_F(ContentTest, EachThemeSetsItsModesAndAccent)
{
    static const struct {
        int id;
        uint32_t appsLight, systemLight, accent;  // accent 0xRRGGBB
    } kLooks[] = {{kThemeBlack, 0, 0, 0x5C3A8A},
                  {kThemeRed, 1, 0, 0xA41C14},
                  {kThemeWhite, 1, 1, 0x846216},
                  {kThemeBlue, 1, 0, 0x1852A0},
                  {kThemeGreen, 1, 0, 0x20642A}};
    const char *personalize = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    const char *dwm = "Software\\Microsoft\\Windows\\DWM";
    const char *accentKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent";
    auto dword = [](uint32_t v) { return std::string{(char)v, (char)(v >> 8), (char)(v >> 16), (char)(v >> 24)}; };
    SetThemeFolder(dir);
    for (const auto &look : kLooks) {
        ThemeInstall install;
        ASSERT_TRUE(InstallTheme(look.id, {0, 1, 0, 0, 0, 0, 0}, &install));
        FinishThemeInstall(install);
        uint32_t r = look.accent >> 16, g = look.accent >> 8 & 0xFF, b = look.accent & 0xFF;
        EXPECT_EQ(dword(look.appsLight), RegistryBytes(kRegCurrentUser, personalize, "AppsUseLightTheme")) << look.id;
        EXPECT_EQ(dword(look.systemLight), RegistryBytes(kRegCurrentUser, personalize, "SystemUsesLightTheme")) << look.id;
        EXPECT_EQ(dword(0xFF000000 | b << 16 | g << 8 | r), RegistryBytes(kRegCurrentUser, dwm, "AccentColor")) << look.id;
        EXPECT_EQ(dword(0xC4000000 | look.accent), RegistryBytes(kRegCurrentUser, dwm, "ColorizationColor")) << look.id;
        EXPECT_EQ(dword(0xFF000000 | b << 16 | g << 8 | r), RegistryBytes(kRegCurrentUser, accentKey, "AccentColorMenu"))
            << look.id;
        EXPECT_EQ(std::string({(char)r, (char)g, (char)b, 0}),
                  RegistryBytes(kRegCurrentUser, accentKey, "AccentPalette").substr(12, 4))
            << look.id;
    }
    SetThemeFolder("");
    for (const char *name : {"AppsUseLightTheme", "SystemUsesLightTheme"}) {
        PlatKey key;
        if (RegistryOpen(kRegCurrentUser, personalize, kKeySetValue, &key) == kErrorSuccess) {
            RegistryDeleteValue(key, name);
            RegistryClose(key);
        }
    }
}

TEST_F(ContentTest, ColoursParseAndTextStandsOutFromItsGround)
{
    static const struct {
        const char *text, *ground;
    } kPairs[] = {
        {"WindowText", "Window"},   {"MenuText", "Menu"},         {"TitleText", "ActiveTitle"},
        {"InactiveTitleText", "InactiveTitle"}, {"HilightText", "Hilight"}, {"ButtonText", "ButtonFace"},
        {"InfoText", "InfoWindow"}, {"GrayText", "ButtonFace"},
    };
    for (const char *color : kContentColors) {
        std::string file = ThemePath(dir, color);
        for (const char *key : kColorKeys) {
            int rgb[3];
            std::string text = ReadProfile(file, kColors, key);
            EXPECT_TRUE(ParseColor(text, rgb)) << color << " " << key << "=" << text;
            EXPECT_LT(text.size(), 20u) << "the installer reads colours into 20 bytes";
        }
        for (const auto &pair : kPairs) {
            int fore[3], back[3];
            ASSERT_TRUE(ParseColor(ReadProfile(file, kColors, pair.text), fore));
            ASSERT_TRUE(ParseColor(ReadProfile(file, kColors, pair.ground), back));
            EXPECT_GE(Contrast(fore, back), 4.5) << color << " " << pair.text << " on " << pair.ground;
        }
        // The 3-D tones run from light to dark.
        double last = 2;
        for (const char *key : {"ButtonHilight", "ButtonLight", "ButtonFace", "ButtonShadow", "ButtonDkShadow"}) {
            int rgb[3];
            ASSERT_TRUE(ParseColor(ReadProfile(file, kColors, key), rgb));
            EXPECT_LT(Luminance(rgb), last) << color << " " << key;
            last = Luminance(rgb);
        }
    }
}

TEST_F(ContentTest, MetricsAreWholeRecordsWithLegibleFonts)
{
    for (const char *color : kContentColors) {
        std::string file = ThemePath(dir, color);
        std::string icon = ReadProfile(file, "Metrics", "IconMetrics");
        std::string nonclient = ReadProfile(file, "Metrics", "NonclientMetrics");
        EXPECT_EQ(76, CountDigitRuns(icon)) << color;
        EXPECT_EQ(340, CountDigitRuns(nonclient)) << color;
        EXPECT_EQ(std::string::npos, icon.find_first_not_of("0123456789 "));
        EXPECT_EQ(std::string::npos, nonclient.find_first_not_of("0123456789 "));

        IconMetricsRecord im;
        bool complete = true;
        ParseIconMetrics(&im, icon.c_str(), &complete);
        EXPECT_TRUE(complete);
        EXPECT_EQ(76u, im.cbSize);
        EXPECT_GE(im.iHorzSpacing, 43);
        EXPECT_GE(im.iVertSpacing, 43);
        ExpectLegible(im.lfFont, "icon font", color);

        NonclientMetricsRecord nm;
        EXPECT_TRUE(ParseNonclientMetrics(&nm, nonclient.c_str()));
        EXPECT_EQ(340u, nm.cbSize);
        EXPECT_GE(nm.iBorderWidth, 1);
        EXPECT_GE(nm.iCaptionHeight, 2 - nm.lfCaptionFont.lfHeight) << "caption text must fit its bar";
        EXPECT_GE(nm.iMenuHeight, 2 - nm.lfMenuFont.lfHeight);
        EXPECT_GE(nm.iScrollWidth, 12);
        ExpectLegible(nm.lfCaptionFont, "caption", color);
        ExpectLegible(nm.lfSmCaptionFont, "small caption", color);
        ExpectLegible(nm.lfMenuFont, "menu", color);
        ExpectLegible(nm.lfStatusFont, "status", color);
        ExpectLegible(nm.lfMessageFont, "message", color);
    }
}
