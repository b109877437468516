// Installing a theme file: what reaches the registry, the profile files and the
// running system. The same tests run on the simulated Windows and under Wine.
#include "install/installtheme.h"
#include "platform/unicode.h"
#include "theme/metrictext.h"
#include "theme/themepath.h"
#include "theme/themevalue.h"
#include "tests/testing.h"

#ifndef _WIN32
#include "platform/host/host.h"
#endif

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char *const kEvents[21] = {
    "AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\AppGPFault\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\MenuCommand\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\Minimize\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\Maximize\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\Open\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\Close\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\RestoreDown\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\RestoreUp\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\RingIn\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\RingOut\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\SystemDefault\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\SystemExclamation\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\SystemHand\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\SystemQuestion\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current",
    "AppEvents\\Schemes\\Apps\\.Default\\MailBeep\\.Current",
    "AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current",
};
const char *const kCursorNames[14] = {"Arrow", "Help", "AppStarting", "Crosshair", "IBeam", "No", "NWPen",
                                      "SizeAll", "SizeNESW", "SizeNS", "SizeWE", "SizeNWSE", "UpArrow", "Wait"};
// Both stages of an install, as the main window runs them.
ThemeInstall InstallBoth(int themeId, const ThemeParts &parts)
{
    ThemeInstall install;
    InstallTheme(themeId, parts, &install);
    FinishThemeInstall(install);
    return install;
}

const char kRecycleBin[] = "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";
const char kMyComputer[] = "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
const char kNetwork[] = "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon";
// The user's own icons, which the shell reads before the machine's.
std::string Own(const char *machineKey)
{
    return std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + machineKey;
}

// The 25 colour keys with their elements, and the theme's texts for them.
const struct {
    const char *key;
    int element;
    const char *text;
    uint32_t color;  // what the element shows afterwards; 1: unchanged
} kThemeColors[25] = {
    {"ActiveTitle", 2, "0 0 128", 0x800000},       {"Background", 1, "0  128   255", 0xFF8000},
    {"Hilight", 13, "10 20 30", 0x1E140A},          {"HilightText", 14, "255 255 255", 0xFFFFFF},
    {"TitleText", 9, "256 1 2", 0x020100},          {"Window", 5, "250 250 250", 0xFAFAFA},
    {"WindowText", 8, "0 0 0", 0x000000},           {"Scrollbar", 0, "200 200 200", 0xC8C8C8},
    {"InactiveTitle", 3, "90 90 90", 0x5A5A5A},     {"Menu", 4, "240 240 240", 0xF0F0F0},
    {"WindowFrame", 6, "1 2 3", 0x030201},          {"MenuText", 7, "5 5 5", 0x050505},
    {"ActiveBorder", 10, "7 8 9", 0x090807},        {"InactiveBorder", 11, "9 8 7", 0x070809},
    {"AppWorkspace", 12, "100 100 100", 0x646464},  {"ButtonFace", 15, "192 192 192", 0xC0C0C0},
    {"ButtonShadow", 16, "128 128 128", 0x808080},  {"GrayText", 17, "not a colour", 1},
    {"ButtonText", 18, "1 1 1", 0x010101},          {"InactiveTitleText", 19, "12 34", 1},
    {"ButtonHilight", 20, "255 255 254", 0xFEFFFF}, {"ButtonDkShadow", 21, "64 64 64", 0x404040},
    {"ButtonLight", 22, "223 223 223", 0xDFDFDF},   {"InfoText", 23, "0 0 1", 0x010000},
    {"InfoWindow", 24, "255 255 225", 0xE1FFFF},
};

std::string ByteList(const void *record, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; i++)
        text += std::to_string(((const uint8_t *)record)[i]) + " ";
    return text;
}

class Install : public MachineTest {
protected:
    std::string themes, winDir;
    IconMetricsRecord icon = {};
    NonclientMetricsRecord nonclient = {};

    void SetUp() override
    {
        MachineTest::SetUp();
        MakeTestMainWindow();
        winDir = WinDir();
        themes = NewFolder();
        SetThemeFolder(themes);
        RegistryDeleteTree(kRegCurrentUser, Own("CLSID").c_str());  // no icon of the user's own yet
        // Keys that a real system has and a fresh Wine prefix lacks: the
        // installer opens keys and never creates them.
        for (const char *event : kEvents)
            MakeKey(kRegCurrentUser, event);
        MakeKey(kRegCurrentUser, "AppEvents\\Schemes");
        MakeKey(kRegCurrentUser, "Control Panel\\Cursors");
        MakeKey(kRegCurrentUser, "Control Panel\\Appearance");
        SetRegistry(kRegCurrentUser, "Control Panel\\Appearance", "Current", "Windows Standard");
        MakeKey(kRegClassesRoot, kMyComputer);
        MakeKey(kRegClassesRoot, kNetwork);
        icon.cbSize = sizeof icon;
        SystemParameters(kSpiGetIconMetrics, sizeof icon, &icon, 0);
        nonclient.cbSize = sizeof nonclient;
        SystemParameters(kSpiGetNonclientMetrics, sizeof nonclient, &nonclient, 0);
    }

    void TearDown() override
    {
        SetThemeFolder("");
        RegistryDeleteTree(kRegCurrentUser, Own("CLSID").c_str());
        MachineTest::TearDown();
    }

    // A theme file with every part, in the colour file of the catalogue.
    std::string WriteFullTheme(const char *name)
    {
        std::string file = themes + name;
        for (auto &c : kThemeColors)
            ProfileWriteString("Control Panel\\Colors", c.key, c.text, file.c_str());
        IconMetricsRecord newIcon = icon;
        newIcon.iHorzSpacing = icon.iHorzSpacing + 2;
        NonclientMetricsRecord newNonclient = nonclient;
        newNonclient.iCaptionHeight = nonclient.iCaptionHeight + 2;
        newNonclient.lfCaptionFont.lfHeight = -13;
        ProfileWriteString("Metrics", "IconMetrics", ByteList(&newIcon, sizeof newIcon).c_str(), file.c_str());
        ProfileWriteString("Metrics", "NonclientMetrics", ByteList(&newNonclient, sizeof newNonclient).c_str(),
                           file.c_str());
        ProfileWriteString(kMyComputer, "DefaultValue", "%ThemeDir%\\computer.ico", file.c_str());
        ProfileWriteString(kNetwork, "DefaultValue", "%WinDir%network.ico,0", file.c_str());
        ProfileWriteString(kRecycleBin, "full", "%ThemeDir%bin-full.ico", file.c_str());
        ProfileWriteString(kRecycleBin, "empty", "%ThemeDir%bin-empty.ico", file.c_str());
        ProfileWriteString("MasterThemeSelector", "ThemeColorBPP", "8", file.c_str());
        for (const char *name : kCursorNames)
            if (strcmp(name, "Help"))  // one cursor left out: it is written empty
                ProfileWriteString("Control Panel\\Cursors", name, (std::string("%ThemeDir%") + name + ".cur").c_str(),
                                   file.c_str());
        ProfileWriteString("Control Panel\\Cursors", "DefaultValue", "Theme cursors", file.c_str());
        for (int i = 0; i < 21; i++)
            if (i != 3)
                ProfileWriteString(kEvents[i], "DefaultValue", (i % 2 ? "%WinDir%media\\s.wav" : "%ThemeDir%s.wav"),
                                   file.c_str());
        return file;
    }
};

TEST_F(Install, WholeThemeReachesRegistryAndSystem)
{
    std::string file = WriteFullTheme("\\Zorva The Vandrel BLUE.theme");
    SetRegistry(kRegClassesRoot, kRecycleBin, "full", "old-full.ico");  // the bin shows empty now
    std::vector<std::string> colorsBefore;
    for (auto &c : kThemeColors)
        colorsBefore.push_back(ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", c.key));
    ThemeInstall install;
    ASSERT_TRUE(InstallTheme(kThemeBlue, {0, 1, 1, 1, 1, 1, 1}, &install));  // the wallpaper has tests of its own
    EXPECT_EQ(file, install.theme.file);
    EXPECT_EQ(themes, install.theme.dir);
    FinishThemeInstall(install);

    // A text that is no colour is not stored (ColoursTheFileLacksStayAsTheyAre).
    for (size_t i = 0; i < 25; i++) {
        const auto &c = kThemeColors[i];
        EXPECT_EQ(c.color != 1 ? c.text : colorsBefore[i],
                  ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", c.key)) << c.key;
        if (c.color != 1) {
            EXPECT_EQ(c.color, SysColorGet(c.element)) << c.key;
        }
    }
    EXPECT_EQ("", ReadRegistry(kRegCurrentUser, "Control Panel\\Appearance", "Current"));

    IconMetricsRecord nowIcon = {};
    nowIcon.cbSize = sizeof nowIcon;
    SystemParameters(kSpiGetIconMetrics, sizeof nowIcon, &nowIcon, 0);
    EXPECT_EQ(icon.iHorzSpacing + 2, nowIcon.iHorzSpacing);
    NonclientMetricsRecord nowNonclient = {};
    nowNonclient.cbSize = sizeof nowNonclient;
    SystemParameters(kSpiGetNonclientMetrics, sizeof nowNonclient, &nowNonclient, 0);
    EXPECT_EQ(nonclient.iCaptionHeight + 2, nowNonclient.iCaptionHeight);
    EXPECT_EQ(-13, nowNonclient.lfCaptionFont.lfHeight);

    // The icons are the user's own; the machine's stay as they were.
    EXPECT_EQ(themes + "\\\\computer.ico", ReadRegistry(kRegCurrentUser, Own(kMyComputer).c_str(), nullptr));
    EXPECT_EQ(winDir + "\\network.ico,0", ReadRegistry(kRegCurrentUser, Own(kNetwork).c_str(), nullptr));
    EXPECT_EQ(themes + "\\bin-full.ico", ReadRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), "full"));
    EXPECT_EQ(themes + "\\bin-empty.ico", ReadRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), "empty"));
    EXPECT_EQ(themes + "\\bin-empty.ico", ReadRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), nullptr));
    EXPECT_EQ("old-full.ico", ReadRegistry(kRegClassesRoot, kRecycleBin, "full"));
    EXPECT_EQ("<missing>", ReadRegistry(kRegClassesRoot, kMyComputer, nullptr));
    EXPECT_EQ("8", ReadRegistry(kRegCurrentUser, "Control Panel\\Desktop\\WindowMetrics", "Shell Icon BPP"));

    for (const char *name : kCursorNames)
        EXPECT_EQ(strcmp(name, "Help") ? themes + "\\" + name + ".cur" : "",
                  ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", name));
    EXPECT_EQ("", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", nullptr));

    for (int i = 0; i < 21; i++)
        EXPECT_EQ(i == 3 ? "" : i % 2 ? winDir + "\\media\\s.wav" : themes + "\\s.wav",
                  ReadRegistry(kRegCurrentUser, kEvents[i], nullptr)) << kEvents[i];
    EXPECT_EQ(" ", ReadRegistry(kRegCurrentUser, "AppEvents\\Schemes", nullptr));

    EXPECT_EQ("Setting the screen saver...", MainStatusText());
#ifndef _WIN32
    // The system is never asked to tell the other programs itself, which
    // waits on a hung window without end: the install tells them once for
    // each change, with a bound.
    for (const std::string &e : HostEvents())
        if (e.compare(0, 4, "spi ") == 0)
            EXPECT_TRUE(e.find(" flags 2") == std::string::npos && e.find(" flags 3") == std::string::npos) << e;
    EXPECT_EQ((std::vector<std::string>{"46 WindowMetrics", "42 WindowMetrics", "88"}), HostLiveState().broadcasts);
#endif
}

TEST_F(Install, LongColourValueStoredWhole)
{
    std::string file = themes + "\\Zorva The Vandrel WHITE.theme";
    ProfileWriteString("Control Panel\\Colors", "ActiveTitle", "10   20   30        99999", file.c_str());
    InstallBoth(kThemeWhite, {0, 1, 0, 0, 0, 0, 0});
    EXPECT_EQ("10   20   30        99999", ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle"));
    EXPECT_EQ(0x1E140Au, SysColorGet(2));
}

TEST_F(Install, RecycleBinKeepsItsState)
{
    std::string file = WriteFullTheme("\\Zorva The Vandrel RED.theme");
    SetRegistry(kRegClassesRoot, kRecycleBin, "full", "same.ico");
    SetRegistry(kRegClassesRoot, kRecycleBin, nullptr, "same.ico");
    InstallBoth(kThemeRed, {0, 0, 0, 1, 0, 0, 0});
    EXPECT_EQ(themes + "\\bin-full.ico", ReadRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), nullptr))
        << "full stays full";
    // The state the user sees: the user's own values before the machine's.
    SetRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), nullptr, "own-empty.ico");
    SetRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), "empty", "own-empty.ico");
    InstallBoth(kThemeRed, {0, 0, 0, 1, 0, 0, 0});
    EXPECT_EQ(themes + "\\bin-empty.ico", ReadRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), nullptr))
        << "empty stays empty";
}

// A theme file that records types, as a backup does: a value comes back with
// its type, and one recorded as none is removed, so the machine's icon shows
// again.
TEST_F(Install, ValuesTakeTheirTypeOrGo)
{
    std::string file = themes + "\\Zorva The Vandrel GREEN.theme";
    WriteWholeFile(file, "\xFF\xFE");
    const std::string own = std::string("C:\\users\\") + kUserName + "\\" + kCyrillicName + "\\arrow.cur";
    ProfileWriteString("Control Panel\\Cursors", "Arrow", own.c_str(), file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Wait", "%SystemRoot%\\cursors\\busy.ani", file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Wait.Type", "REG_EXPAND_SZ", file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Help", "", file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Help.Type", "none", file.c_str());
    ProfileWriteString(kMyComputer, "DefaultValue", "machine.ico", file.c_str());
    ProfileWriteString(kMyComputer, "DefaultValue.Type", "none", file.c_str());
    ProfileWriteString(kEvents[0], "DefaultValue", "%SystemRoot%\\media\\ding.wav", file.c_str());
    ProfileWriteString(kEvents[0], "DefaultValue.Type", "REG_EXPAND_SZ", file.c_str());
    SetRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Help", "theme-help.cur");
    SetRegistry(kRegCurrentUser, Own(kMyComputer).c_str(), nullptr, "theme-computer.ico");
    InstallBoth(kThemeGreen, {0, 0, 0, 1, 1, 1, 0});
    unsigned type = 0;
    EXPECT_EQ(own, ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Arrow", &type));
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ("%SystemRoot%\\cursors\\busy.ani", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Wait", &type));
    EXPECT_EQ(kRegExpandSz, type);
    EXPECT_EQ("<missing>", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Help"));
    EXPECT_EQ("<missing>", ReadRegistry(kRegCurrentUser, Own(kMyComputer).c_str(), nullptr));
    EXPECT_EQ("%SystemRoot%\\media\\ding.wav", ReadRegistry(kRegCurrentUser, kEvents[0], nullptr, &type));
    EXPECT_EQ(kRegExpandSz, type);
}

ThemeInstall Pending;  // the first stage's install, for the second
void InstallBlue(void *result) { *(int *)result = InstallTheme(kThemeBlue, kAllParts, &Pending); }

// Both stages of an install of the blue theme that its first stage refuses;
// the refusal's box.
std::string RefusedBlueBox()
{
    int result = -1;
    std::string box = WatchBox("Zorva: The Vandrel  Theme Switcher", InstallBlue, &result);
    EXPECT_EQ(0, result);
    FinishThemeInstall(Pending);
    return box;
}

// A theme folder whose expanded paths would pass the system's limit stops the
// install before anything changes, with a box that names the folder; no value
// is ever written cut or empty for it.
TEST_F(Install, FolderTooLongChangesNothing)
{
    // 226 UTF-16 units: the theme file's path fits, a cursor's with a long name does not.
    std::string deep = themes + "\\" + std::string(226 - Utf16Units(themes.c_str()) - 1, 'd');
    ASSERT_TRUE(MakeFolder(deep));
    SetThemeFolder(deep);
    std::string file = deep + "\\Zorva The Vandrel BLUE.theme";
    ProfileWriteString("Control Panel\\Colors", "ActiveTitle", "1 2 3", file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Arrow", "%ThemeDir%\\Zorva\\arrow.cur", file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Wait", ("%ThemeDir%\\Zorva\\" + std::string(30, 'w') + ".ani").c_str(),
                       file.c_str());
    SetRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Wait", "mine.ani");
    SetRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Arrow", "mine.cur");
    SetRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle", "4 5 6");
    EXPECT_EQ("The folder\n  " + deep + "\nhas too long a path for the theme's files. Please install Desktop Quennel "
              "in a folder with a shorter path.", RefusedBlueBox());
    EXPECT_EQ("mine.ani", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Wait"));
    EXPECT_EQ("mine.cur", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Arrow"));
    EXPECT_EQ("4 5 6", ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle"));
}

ThemeInstall Reverted;
void InstallBackup(void *result) { *(int *)result = InstallTheme(kThemeBackup, kAllParts, &Reverted); }

// The backup is the user's own settings and always goes back. A path of it
// that would pass the system's limit once %WinDir% or %ThemeDir% is filled in
// (a damaged or hand-edited file) is left as the user has it, with no box; the
// rest goes back, a long path of the user's own whole, and the log names each
// value left, not its text.
TEST_F(Install, BackupPathTooLongIsLeftAndNamed)
{
    const std::string user = UserDataFolder(), file = user + "\\ZorvaBackup.theme", log = user + "\\assertFile.txt";
    FileDelete(log.c_str());
    WriteWholeFile(file, "\xFF\xFE");
    const std::string ownLong = "C:\\" + std::string(400, 'b') + "\\" + kCyrillicName + ".cur";
    const std::string waitValue = "%WinDir%" + std::string(300, 'w'), soundValue = "%ThemeDir%" + std::string(3000, 's');
    ProfileWriteString("Control Panel\\Cursors", "Arrow", ownLong.c_str(), file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Wait", waitValue.c_str(), file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "IBeam", "%WinDir%cursors\\beam.cur", file.c_str());
    ProfileWriteString(kEvents[0], "DefaultValue", soundValue.c_str(), file.c_str());
    ProfileWriteString(kEvents[1], "DefaultValue", "%ThemeDir%ding.wav", file.c_str());
    ProfileWriteString("Control Panel\\Colors", "ActiveTitle", "1 2 3", file.c_str());
    SetRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Wait", "%SystemRoot%\\mine.ani", kRegExpandSz);
    SetRegistry(kRegCurrentUser, kEvents[0], nullptr, "mine.wav");
    int result = -1;
    EXPECT_EQ("<none>", WatchBox("Zorva: The Vandrel  Theme Switcher", InstallBackup, &result));
    EXPECT_EQ(1, result);
    FinishThemeInstall(Reverted);
    unsigned type = 0;
    EXPECT_EQ("%SystemRoot%\\mine.ani", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Wait", &type));
    EXPECT_EQ(kRegExpandSz, type);
    EXPECT_EQ("mine.wav", ReadRegistry(kRegCurrentUser, kEvents[0], nullptr));
    EXPECT_EQ(ownLong, ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Arrow"));
    EXPECT_EQ(winDir + "\\cursors\\beam.cur", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "IBeam"));
    EXPECT_EQ(user + "\\ding.wav", ReadRegistry(kRegCurrentUser, kEvents[1], nullptr));
    EXPECT_EQ("1 2 3", ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle"));
    ASSERT_EQ(2u, Reverted.valuesLeft.size());
    EXPECT_EQ("Control Panel\\Cursors", Reverted.valuesLeft[0].section);
    EXPECT_EQ("Wait", Reverted.valuesLeft[0].key);
    EXPECT_EQ(kEvents[0], Reverted.valuesLeft[1].section);
    EXPECT_EQ("DefaultValue", Reverted.valuesLeft[1].key);
    std::string logged = ReadWholeFile(log);
    EXPECT_NE(std::string::npos, logged.find("Control Panel\\Cursors: Wait\r\n")) << logged;
    EXPECT_NE(std::string::npos, logged.find(std::string(kEvents[0]) + ": DefaultValue\r\n")) << logged;
    EXPECT_EQ(std::string::npos, logged.find("wwwwwwwwww")) << "the value itself is not logged";
    EXPECT_LT(logged.size(), 1000u);
}

// A colour theme is refused whole before anything changes, and its box names
// what is too long: a value that no folder would make fit, not its folder.
TEST_F(Install, ColourThemeValueTooLongIsNamed)
{
    std::string file = themes + "\\Zorva The Vandrel BLUE.theme";
    ProfileWriteString("Control Panel\\Colors", "ActiveTitle", "1 2 3", file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Arrow", ("%WinDir%" + std::string(300, 'a')).c_str(), file.c_str());
    SetRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle", "4 5 6");
    EXPECT_EQ("The theme file\n  " + file + "\nholds a path too long for the system, in Control Panel\\Cursors: "
              "Arrow. Nothing was changed.", RefusedBlueBox());
    EXPECT_EQ("4 5 6", ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle"));
}

// The user's own settings captured in a theme file bring back what a colour
// theme leaves alone: the cursor scheme's name and its source (a number), the
// sound scheme's name, and the Recycle Bin's shown icon as the user had it,
// whatever the bin's state.
TEST_F(Install, CapturedSchemeAndShownBinIconComeBack)
{
    std::string file = themes + "\\Zorva The Vandrel GREEN.theme";
    WriteWholeFile(file, "\xFF\xFE");
    const std::string scheme = std::string("Schéma ") + kJapaneseName;
    ProfileWriteString("Control Panel\\Cursors", "DefaultValue", scheme.c_str(), file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Scheme Source", "2", file.c_str());
    ProfileWriteString("Control Panel\\Cursors", "Scheme Source.Type", "REG_DWORD", file.c_str());
    ProfileWriteString(kRecycleBin, "full", "C:\\full.ico", file.c_str());
    ProfileWriteString(kRecycleBin, "empty", "C:\\empty.ico", file.c_str());
    ProfileWriteString(kRecycleBin, "DefaultValue", "%SystemRoot%\\own-bin.ico,3", file.c_str());
    ProfileWriteString(kRecycleBin, "DefaultValue.Type", "REG_EXPAND_SZ", file.c_str());
    ProfileWriteString("AppEvents\\Schemes", "DefaultValue", ".Default", file.c_str());
    SetRegistry(kRegCurrentUser, "Control Panel\\Cursors", nullptr, "Another scheme");
    InstallBoth(kThemeGreen, {0, 0, 0, 1, 1, 1, 0});
    EXPECT_EQ(scheme, ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", nullptr));
    EXPECT_EQ(".Default", ReadRegistry(kRegCurrentUser, "AppEvents\\Schemes", nullptr)) << "the sound scheme too";
    EXPECT_EQ(std::string("\x02\0\0\0", 4), RegistryBytes(kRegCurrentUser, "Control Panel\\Cursors", "Scheme Source"));
    unsigned type = 0;
    EXPECT_EQ("%SystemRoot%\\own-bin.ico,3", ReadRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), nullptr, &type));
    EXPECT_EQ(kRegExpandSz, type);

    // A capture where the user had no source: it goes again.
    ProfileWriteString("Control Panel\\Cursors", "Scheme Source.Type", "none", file.c_str());
    InstallBoth(kThemeGreen, {0, 0, 0, 0, 1, 0, 0});
    EXPECT_EQ("<missing>", RegistryBytes(kRegCurrentUser, "Control Panel\\Cursors", "Scheme Source"));
    EXPECT_EQ(scheme, ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", nullptr));

    // A colour theme: its cursors have no scheme of the user's; the name is
    // emptied and a source of the user's is left alone.
    SetRegistry(kRegCurrentUser, "Control Panel\\Cursors", nullptr, "Mine");
    uint32_t one = 1;
    PlatKey key;
    ASSERT_EQ(kErrorSuccess, RegistryOpen(kRegCurrentUser, "Control Panel\\Cursors", kKeySetValue, &key));
    RegistrySetValue(key, "Scheme Source", kRegDword, &one, 4);
    RegistryClose(key);
    std::string colour = themes + "\\Zorva The Vandrel RED.theme";
    ProfileWriteString("Control Panel\\Cursors", "DefaultValue", "Zorva The Vandrel RED", colour.c_str());
    ProfileWriteString(kRecycleBin, "full", "C:\\red-full.ico", colour.c_str());
    ProfileWriteString(kRecycleBin, "empty", "C:\\red-empty.ico", colour.c_str());
    InstallBoth(kThemeRed, {0, 0, 0, 1, 1, 0, 0});
    EXPECT_EQ("", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", nullptr));
    EXPECT_EQ(std::string("\x01\0\0\0", 4), RegistryBytes(kRegCurrentUser, "Control Panel\\Cursors", "Scheme Source"));
    EXPECT_EQ("C:\\red-empty.ico", ReadRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), nullptr))
        << "a colour theme shows its icon for the bin's state";
}

const char kPersonalize[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
const char kDwm[] = "Software\\Microsoft\\Windows\\DWM";
const char kAccent[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent";

std::string Dword(uint32_t v) { return std::string{(char)v, (char)(v >> 8), (char)(v >> 16), (char)(v >> 24)}; }

// The values of the look, in the order of kLookValues.
const std::pair<const char *, const char *> kLookNames[9] = {
    {kPersonalize, "AppsUseLightTheme"}, {kPersonalize, "SystemUsesLightTheme"}, {kDwm, "AccentColor"},
    {kDwm, "ColorizationColor"}, {kDwm, "ColorPrevalence"}, {"Control Panel\\Desktop", "AutoColorization"},
    {kAccent, "AccentPalette"}, {kAccent, "AccentColorMenu"}, {kAccent, "StartColorMenu"}};

// The registry's values of the look, each as stored.
std::vector<std::string> ReadLook()
{
    std::vector<std::string> values;
    for (auto &v : kLookNames)
        values.push_back(RegistryBytes(kRegCurrentUser, v.first, v.second));
    return values;
}

// A capture's text of the nine values: each one's text, and its type where
// it is not REG_SZ ("none" for a value the user did not have).
std::string CapturedLook(const std::vector<const char *> &texts, const std::vector<const char *> &types)
{
    std::string text;
    for (size_t i = 0; i < 9; i++) {
        if (i == 0 || strcmp(kLookNames[i].first, kLookNames[i - 1].first) != 0)
            text += std::string("[") + kLookNames[i].first + "]\r\n";
        text += std::string(kLookNames[i].second) + "=" + texts[i] + "\r\n";
        if (*types[i])
            text += std::string(kLookNames[i].second) + ".Type=" + types[i] + "\r\n";
    }
    return text;
}

// A user's own look: apps light, no system value, an accent and a palette of
// their own, title bars not in the accent.
void SetOwnLook()
{
    PlatKey key;
    auto set = [&](const char *path, const char *name, unsigned type, const std::string &bytes) {
        ASSERT_EQ(kErrorSuccess, RegistryCreate(kRegCurrentUser, path, kKeySetValue, &key));
        RegistrySetValue(key, name, type, bytes.data(), (uint32_t)bytes.size());
        RegistryClose(key);
    };
    set(kPersonalize, "AppsUseLightTheme", kRegDword, Dword(1));
    ASSERT_EQ(kErrorSuccess, RegistryCreate(kRegCurrentUser, kPersonalize, kKeySetValue, &key));
    RegistryDeleteValue(key, "SystemUsesLightTheme");
    RegistryClose(key);
    set(kDwm, "AccentColor", kRegDword, Dword(0xFF112233));
    set(kDwm, "ColorizationColor", kRegDword, Dword(0xC4332211));
    set(kDwm, "ColorPrevalence", kRegDword, Dword(0));
    set(kAccent, "AccentPalette", kRegBinary, std::string(32, '\x5A'));
    set(kAccent, "AccentColorMenu", kRegDword, Dword(0xFF5A5A5A));
}

// Window Colors and the look, from each kind of file. A colour theme's
// [VisualStyles] section gives light or dark, the accent in each of its forms, the
// palette around it and the automatic accent off, after the classic colours;
// a capture (the run's snapshot) puts back each value as it recorded it, a
// value of none removed, and makes no key for a value of none. Without Window
// Colors, from a colour theme without the section, or from a colour theme that
// holds a capture's values, none of it changes. The running programs are told
// once of a new look, and each key of the look is flushed once.
TEST_F(Install, LookOfEachKindOfFile)
{
    // From 0xA05010 by hand: tints of 6, 4 and 2 tenths toward white, the
    // accent, shades at 8, 6, 4 and 3 tenths, rounded (red: A0 + (FF - A0) * 6 / 10 = D9).
    const std::string palette("\xD9\xB9\x9F\0\xC6\x96\x70\0\xB3\x73\x40\0\xA0\x50\x10\0"
                              "\x80\x40\x0D\0\x60\x30\x0A\0\x40\x20\x06\0\x30\x18\x05\0", 32);
    const std::string snapshot = UserDataFolder() + "\\Restore.theme";
    const struct {
        const char *what;
        int themeId;
        std::string text;                 // the theme file
        ThemeParts parts;
        bool ownKeys;                     // the user has the look's keys, else none of Personalize, DWM, Accent
        const char *activeTitle;          // the classic colour after, or null
        std::vector<std::string> values;  // the nine after (ReadLook), none when they stay as they were
        int told;                         // new looks the running programs were told of
        std::vector<int> flushes;         // of Personalize, DWM, Control Panel\Desktop, Accent
    } kCases[] = {
        {"a colour theme's section", kThemeBlack,
         "[Control Panel\\Colors]\r\nActiveTitle=1 2 3\r\n"
         "[VisualStyles]\r\nSystemMode=Dark\r\nAppMode=light\r\nColorizationColor=0XC4A05010\r\n",
         {0, 1, 0, 0, 0, 0, 0}, true, "1 2 3",
         // apps light, system dark, the accent 0xAABBGGRR, the colorization colour 0xAARRGGBB,
         // title bars in the accent, no accent taken from the wallpaper, the palette with the
         // accent its fourth colour, AccentColorMenu the fourth, StartColorMenu the fifth
         {Dword(1), Dword(0), Dword(0xFF1050A0), Dword(0xC4A05010), Dword(1), Dword(0), palette, Dword(0xFF1050A0),
          Dword(0xFF0D4080)},
         1, {1, 1, 1, 1}},
        {"a section without Window Colors", kThemeWhite,
         "[VisualStyles]\r\nAppMode=Dark\r\nColorizationColor=0XC4102030\r\n", {0, 0, 1, 1, 1, 1, 1}, true, nullptr,
         {}, 0, {0, 0, 0, 0}},
        {"a colour theme without the section", kThemeRed, "[Control Panel\\Colors]\r\nActiveTitle=4 5 6\r\n",
         {0, 1, 0, 0, 0, 0, 0}, true, "4 5 6", {}, 0, {0, 0, 0, 0}},
        {"a colour theme that holds a capture's values", kThemeBlack,
         std::string("[") + kPersonalize + "]\r\nAppsUseLightTheme=0\r\nAppsUseLightTheme.Type=REG_DWORD\r\n",
         {0, 1, 0, 0, 0, 0, 0}, true, nullptr, {}, 0, {0, 0, 0, 0}},
        {"a capture", kThemeSnapshot,
         CapturedLook({"0", "", "4278190080", "", "1", "1", "01 02 0a", "7", "16"}, {"REG_DWORD", "none", "REG_DWORD",
                      "none", "REG_DWORD", "REG_DWORD", "REG_BINARY", "", "REG_DWORD"}),
         {0, 1, 0, 0, 0, 0, 0}, true, nullptr,
         {Dword(0), "<missing>", Dword(0xFF000000), "<missing>", Dword(1), Dword(1), "\x01\x02\x0a",
          Utf16Bytes("7"), Dword(16)},
         1, {1, 1, 1, 1}},
        {"a capture of a user without the look", kThemeSnapshot,
         CapturedLook(std::vector<const char *>(9, ""), std::vector<const char *>(9, "none")),
         {0, 1, 0, 0, 0, 0, 0}, false, nullptr,
         {"<no key>", "<no key>", "<no key>", "<no key>", "<no key>", "<missing>", "<no key>", "<no key>", "<no key>"},
         1, {0, 0, 1, 0}},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.what);
        SetOwnLook();
        if (!c.ownKeys)
            for (const char *path : {kPersonalize, kDwm, kAccent})
                RegistryDeleteTree(kRegCurrentUser, path);
        const std::string file = c.themeId == kThemeSnapshot ? snapshot : themes + CatalogueFile(c.themeId);
        WriteWholeFile(file, c.text);
        std::vector<std::string> before = ReadLook();
#ifndef _WIN32  // under Wine a program of the tests' own sees the broadcast
        HostClearEvents();
        size_t toldBefore = HostLiveState().broadcasts.size();
#endif
        InstallBoth(c.themeId, c.parts);
        if (c.activeTitle) {
            EXPECT_EQ(c.activeTitle, ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle"));
        }
        EXPECT_EQ(c.values.empty() ? before : c.values, ReadLook());
#ifndef _WIN32
        std::vector<std::string> broadcasts = HostLiveState().broadcasts;
        EXPECT_EQ(c.told, std::count(broadcasts.begin() + (long)toldBefore, broadcasts.end(), "0 ImmersiveColorSet"));
        std::vector<std::string> events = HostEvents();
        std::vector<int> flushes;
        for (const char *path : {kPersonalize, kDwm, "Control Panel\\Desktop", kAccent})
            flushes.push_back((int)std::count(events.begin(), events.end(), std::string("reg flush HKCU\\") + path));
        EXPECT_EQ(c.flushes, flushes);
#endif
        FileDelete(file.c_str());
    }
}

TEST_F(Install, FileWithoutSoundsOrCursorsEmptiesThem)
{
    std::string file = themes + "\\Zorva The Vandrel GREEN.theme";
    ProfileWriteString("Control Panel\\Cursors", "Arrow", "arrow.cur", file.c_str());
    SetRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Wait", "old-wait.cur");
    SetRegistry(kRegCurrentUser, kEvents[0], nullptr, "old.wav");
    InstallBoth(kThemeGreen, {0, 0, 0, 0, 1, 1, 0});
    EXPECT_EQ("arrow.cur", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Arrow"));
    EXPECT_EQ("", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Wait"));
    EXPECT_EQ("", ReadRegistry(kRegCurrentUser, kEvents[0], nullptr));
    EXPECT_EQ(" ", ReadRegistry(kRegCurrentUser, "AppEvents\\Schemes", nullptr));
}

// A colour the theme lacks stays as the user has it, in the registry and on
// the screen; an empty one (a capture of a user who had none) is stored empty
// (one that is no colour: WholeThemeReachesRegistryAndSystem).
TEST_F(Install, ColoursTheFileLacksStayAsTheyAre)
{
    std::string file = themes + "\\Zorva The Vandrel GREEN.theme";
    ProfileWriteString("Control Panel\\Colors", "Menu", "", file.c_str());
    const struct {
        const char *name;
        int element;
        const char *after;
    } kCases[] = {{"Window", 5, "7 7 7"}, {"Menu", 4, ""}};
    const uint32_t shown = 0x070707;
    for (auto &c : kCases) {
        SetRegistry(kRegCurrentUser, "Control Panel\\Colors", c.name, "7 7 7");
        SysColorsSet(1, &c.element, &shown);
    }
    InstallBoth(kThemeGreen, {0, 1, 0, 0, 0, 0, 0});
    for (auto &c : kCases) {
        EXPECT_EQ(c.after, ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", c.name)) << c.name;
        EXPECT_EQ(shown, SysColorGet(c.element)) << c.name;
    }
}

void InstallBlack(void *result) { *(int *)result = InstallTheme(kThemeBlack, kAllParts, &Pending); }

TEST_F(Install, MissingThemeFileChangesNothing)
{
    SetRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Arrow", "mine.cur");
    SetRegistry(kRegCurrentUser, kEvents[0], nullptr, "mine.wav");
    SetRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle", "1 2 3");
    int result = -1;
    std::string box = WatchBox("Zorva: The Vandrel  Theme Switcher", InstallBlack, &result);
    EXPECT_EQ(0, result);
    EXPECT_EQ("Cannot find the theme file \n  " + themes + "\\Zorva The Vandrel BLACK.theme", box);
    FinishThemeInstall(Pending);
    EXPECT_EQ("mine.cur", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Arrow"));
    EXPECT_EQ("mine.wav", ReadRegistry(kRegCurrentUser, kEvents[0], nullptr));
    EXPECT_EQ("1 2 3", ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle"));
    EXPECT_EQ("Windows Standard", ReadRegistry(kRegCurrentUser, "Control Panel\\Appearance", "Current"));
}

TEST_F(Install, ThemeFolderFallsBackToProgramFolder)
{
    SetThemeFolder("");
    char program[kPathSize];
    ProgramFolder(program, sizeof program);
    int result;
    WatchBox("Zorva: The Vandrel  Theme Switcher", InstallBlack, &result);
    EXPECT_EQ(std::string(program), Pending.theme.dir);
    FinishThemeInstall(Pending);
}

TEST_F(Install, ShortMetricsAreNotApplied)
{
    std::string file = themes + "\\Zorva The Vandrel WHITE.theme";
    IconMetricsRecord changed = icon;
    changed.iHorzSpacing += 7;
    std::string list = ByteList(&changed, sizeof changed);
    list.resize(list.size() / 2);  // half the numbers
    ProfileWriteString("Metrics", "IconMetrics", list.c_str(), file.c_str());
    InstallBoth(kThemeWhite, {0, 0, 1, 0, 0, 0, 0});
    IconMetricsRecord now = {};
    now.cbSize = sizeof now;
    SystemParameters(kSpiGetIconMetrics, sizeof now, &now, 0);
    EXPECT_EQ(icon.iHorzSpacing, now.iHorzSpacing);
}

TEST_F(Install, ThemePathExpansion)
{
    std::string themeDir = "C:\\Themes", out;
    EXPECT_TRUE(ExpandThemePath("%WinDir%media\\a.wav", themeDir, &out));
    EXPECT_EQ(winDir + "\\media\\a.wav", out);
    ExpandThemePath("%WinDir%\\x", themeDir, &out);
    EXPECT_EQ(winDir + "\\\\x", out);
    ExpandThemePath("%ThemeDir%", themeDir, &out);
    EXPECT_EQ("C:\\Themes\\", out);
    ExpandThemePath("%themedir%x", themeDir, &out);
    EXPECT_EQ("%themedir%x", out);
    ExpandThemePath("C:\\a%WinDir%", themeDir, &out);
    EXPECT_EQ("C:\\a%WinDir%", out);
    // An expanded path is refused when the system could not open it, counted
    // in UTF-16 units: 259 fit, 260 do not, whatever bytes UTF-8 takes.
    std::string fits = std::string(259 - 10, 'a');
    EXPECT_TRUE(ExpandThemePath("%ThemeDir%" + fits, themeDir, &out));
    EXPECT_EQ(259u, out.size());
    EXPECT_FALSE(ExpandThemePath("%ThemeDir%" + fits + "a", themeDir, &out));
    EXPECT_EQ("", out);
    themeDir = "C:\\\u30c6\u30fc\u30de";  // three units, nine bytes
    EXPECT_TRUE(ExpandThemePath("%ThemeDir%" + std::string(259 - 7, 'a'), themeDir, &out));
    EXPECT_FALSE(ExpandThemePath("%ThemeDir%" + std::string(259 - 6, 'a'), themeDir, &out));
    EXPECT_EQ("C:\\\u30c6\u30fc\u30de", ThemePathFolder("%ThemeDir%x", themeDir));
    // A value without a variable is the user's own, passed on whole.
    std::string own = "C:\\" + std::string(400, 'b');
    EXPECT_TRUE(ExpandThemePath(own, themeDir, &out));
    EXPECT_EQ(own, out);
}

// Texts as a capture writes them into a theme file come back whole through
// the profile functions, whose reads take blanks and quotation marks off.
TEST_F(Install, ValueTextsComeBackWhole)
{
    std::string file = themes + "\\texts.theme";
    WriteWholeFile(file, "\xFF\xFE");
    const std::string texts[] = {" ", " lead", "trail\t", "\"quoted\"", "'single'", "\"only at the start",
                                 "in \"the\" middle", "", std::string("\"") + kJapaneseName + " \""};
    for (const std::string &text : texts) {
        ASSERT_TRUE(ProfileWriteString("Texts", "Value", ThemeValueText(text).c_str(), file.c_str()));
        EXPECT_EQ(text, ReadThemeValue("Texts", "Value", "<missing>", file.c_str())) << "[" << text << "]";
    }
}

// Numbers and bytes as theme files record them: back to the same stored
// bytes, and a text of any other form refused, never read in part.
TEST(ThemeData, NumbersAndBytes)
{
    std::string bytes;
    EXPECT_EQ("4294967295", ThemeDataText(kRegDword, std::string("\xFF\xFF\xFF\xFF", 4)));
    EXPECT_EQ("258", ThemeDataText(kRegDword, std::string("\x02\x01\0\0", 4)));
    EXPECT_TRUE(ThemeDataBytes(kRegDword, "258", &bytes));
    EXPECT_EQ(std::string("\x02\x01\0\0", 4), bytes);
    EXPECT_TRUE(ThemeDataBytes(kRegDword, "4294967295", &bytes));
    EXPECT_EQ(std::string("\xFF\xFF\xFF\xFF", 4), bytes);
    for (const char *bad : {"", "4294967296", "99999999999999999999", "-1", "1 ", "0x10", "12a"})
        EXPECT_FALSE(ThemeDataBytes(kRegDword, bad, &bytes)) << bad;

    const std::string palette("\x00\x0a\xff\x10\x9B", 5);
    EXPECT_EQ("00 0a ff 10 9b", ThemeDataText(kRegBinary, palette));
    EXPECT_TRUE(ThemeDataBytes(kRegBinary, "00 0a FF 10 9b", &bytes));
    EXPECT_EQ(palette, bytes);
    EXPECT_EQ("", ThemeDataText(kRegBinary, ""));
    EXPECT_TRUE(ThemeDataBytes(kRegBinary, "", &bytes));
    EXPECT_EQ("", bytes);
    for (const char *bad : {"0", "0a ", "0a  ff", "0aff", "0g", " 0a", "0a,ff"}) {
        EXPECT_FALSE(ThemeDataBytes(kRegBinary, bad, &bytes)) << bad;
        EXPECT_EQ("", bytes) << bad;
    }
}

TEST(MetricsText, ParsesByteLists)
{
    int32_t value;
    bool complete = true;
    const char *rest = ParseMetricInt("76 0 0 0 84 1 0 0", &value, &complete);
    EXPECT_EQ(76, value);
    ParseMetricInt(rest, &value, &complete);
    EXPECT_EQ(340, value);
    ParseMetricInt("245   255 255  255", &value, &complete);
    EXPECT_EQ(-11, value);
    EXPECT_TRUE(complete);
    ParseMetricInt("1 2", &value, &complete);
    EXPECT_FALSE(complete);

    NonclientMetricsRecord m;
    memset(&m, 0x55, sizeof m);
    std::string text = "84 1 0 0 ";
    for (int i = 4; i < 340; i++)
        text += std::to_string(i % 200) + " ";
    EXPECT_TRUE(ParseNonclientMetrics(&m, text.c_str()));
    EXPECT_EQ(340u, m.cbSize);
    EXPECT_EQ(4 + 5 * 256 + 6 * 65536 + 7 * 16777216, m.iBorderWidth);
    EXPECT_EQ((uint8_t)(338 % 200), (uint8_t)m.lfMessageFont.lfFaceName[30]);
    // The record's size and each face name's end are the program's, whatever
    // the file says: a size of 4,660 and a face of 32 letters without a zero.
    std::string damaged = "52 18 0 0 " + text.substr(text.find(' ', 8) + 1);
    EXPECT_TRUE(ParseNonclientMetrics(&m, damaged.c_str()));
    EXPECT_EQ(340u, m.cbSize);
    for (const LogFontRecord *font : {&m.lfCaptionFont, &m.lfSmCaptionFont, &m.lfMenuFont, &m.lfStatusFont,
                                      &m.lfMessageFont})
        EXPECT_EQ(0, font->lfFaceName[31]);
    text.pop_back();  // a value that ends right after its last number
    EXPECT_TRUE(ParseNonclientMetrics(&m, text.c_str()));
    EXPECT_FALSE(ParseNonclientMetrics(&m, "84 1 0 0 1 2 3"));
    EXPECT_FALSE(ParseNonclientMetrics(&m, ""));
}

}  // namespace

#ifndef _WIN32
// A contrast theme is how its user reads the screen: with it on, an install of
// every part leaves the window colours, light or dark and the accent as they
// are, and installs the rest; with it off, the colours go in as always.
TEST_F(Install, ContrastThemeKeepsItsColours)
{
    for (bool contrast : {true, false}) {
        SCOPED_TRACE(contrast ? "contrast on" : "contrast off");
        std::string file = WriteFullTheme("\\Zorva The Vandrel BLUE.theme");
        ProfileWriteString("VisualStyles", "SystemMode", "Dark", file.c_str());
        ProfileWriteString("VisualStyles", "ColorizationColor", "0XC4A05010", file.c_str());
        HostSetHighContrast(contrast);
        const std::vector<std::string> lookBefore = ReadLook();
        const uint32_t backgroundBefore = SysColorGet(kColorBackground);
        const std::string colorBefore = ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "Background");
        ThemeInstall install;
        ASSERT_TRUE(InstallTheme(kThemeBlue, {0, 1, 1, 1, 1, 1, 1}, &install));
        FinishThemeInstall(install);
        EXPECT_EQ(contrast, install.contrastKept);
        // Background is "0  128   255" in the theme: red 0, green 128, blue 255.
        EXPECT_EQ(contrast ? backgroundBefore : 0xFF8000u, SysColorGet(kColorBackground));
        EXPECT_EQ(contrast ? colorBefore : "0  128   255",
                  ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "Background"));
        EXPECT_EQ(contrast, lookBefore == ReadLook()) << "light or dark and the accent";
        NonclientMetricsRecord now = {};
        now.cbSize = sizeof now;
        SystemParameters(kSpiGetNonclientMetrics, sizeof now, &now, 0);
        EXPECT_EQ(-13, now.lfCaptionFont.lfHeight) << "the fonts go in all the same";
        EXPECT_EQ(themes + "\\bin-empty.ico", ReadRegistry(kRegCurrentUser, Own(kRecycleBin).c_str(), "empty"));
        TearDown();
        SetUp();
    }
}
#endif
