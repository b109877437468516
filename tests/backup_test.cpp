// Capturing the current settings into theme files, and the round trip back
// through the installer that Cancel and Revert rely on.
#include "backup/backup.h"
#include "install/installtheme.h"
#include "tests/testing.h"

#ifndef _WIN32
#include "platform/host/host.h"
#endif

#include <string.h>

#include <string>
#include <vector>

namespace {

const char kColors[] = "Control Panel\\Colors";
const char kCursors[] = "Control Panel\\Cursors";
const char kRecycleBin[] = "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";
const char kMyComputer[] = "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
const char kSoundEvent[] = "AppEvents\\Schemes\\Apps\\.Default\\MailBeep\\.Current";
const char kBinEvent[] = "AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current";

std::string Read(RegRoot root, const char *path, const char *name)
{
    PlatKey key;
    if (RegistryOpen(root, path, kKeyQueryValue, &key) != kErrorSuccess)
        return "<no key>";
    char buf[1024];
    uint32_t size = sizeof buf;
    long rc = RegistryQuery(key, name, buf, &size);
    RegistryClose(key);
    return rc != kErrorSuccess ? "<missing>" : std::string(buf, size && !buf[size - 1] ? size - 1 : size);
}

void Set(RegRoot root, const char *path, const char *name, const char *text)
{
    PlatKey key;
    ASSERT_EQ(kErrorSuccess, RegistryCreate(root, path, kKeySetValue, &key)) << path;
    RegistrySetText(key, name, text);
    RegistryClose(key);
}

std::string FromTheme(const char *section, const char *key)
{
    char buf[2048];
    ProfileGetString(section, key, "<absent>", buf, sizeof buf, ThemeFile);
    return buf;
}

int CountNumbers(const std::string &text)
{
    int n = 0;
    for (size_t i = 0; i < text.size(); i++)
        n += text[i] == ' ';
    return n;
}

using Capture = MachineTest;

TEST_F(Capture, MetricsAsByteLists)
{
    IconMetricsRecord icon = {};
    icon.cbSize = 76;
    icon.lfFont.lfHeight = -11;
    strcpy(icon.lfFont.lfFaceName, "Tahoma");
    char text[340 * 4 + 1] = "";
    char *end = FormatIconMetrics(&icon, text);
    EXPECT_EQ(end, text + strlen(text));
    std::string s = text;
    EXPECT_EQ(76, CountNumbers(s));
    EXPECT_EQ("76 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 245 255 255 255 ", s.substr(0, 49));
    EXPECT_EQ(' ', s.back());
    EXPECT_NE(std::string::npos, s.find("84 97 104 111 109 97 0 0 0 ")) << "the face name and its zeros";

    NonclientMetricsRecord nc;
    memset(&nc, 0xFF, sizeof nc);
    nc.cbSize = 340;
    text[0] = 0;
    FormatNonclientMetrics(&nc, text);
    s = text;
    EXPECT_EQ(340, CountNumbers(s));
    EXPECT_LE(s.size(), 340u * 4) << "the longest text fits its buffer";
    EXPECT_EQ("84 1 0 0 255 ", s.substr(0, 13));
}

TEST_F(Capture, MissingOrOverlongValuesAreWrittenEmpty)
{
    ThemeDir[0] = 0;
    strcpy(ThemeFile, (NewFolder() + "\\capture.theme").c_str());
    Set(kRegCurrentUser, kColors, "ActiveTitle", "1 2 3");
    Set(kRegCurrentUser, kColors, "Background", "1234567890 1234567890 12");  // more than 19 characters
    Set(kRegCurrentUser, kColors, "Hilight", "");
    PlatKey key;
    RegistryCreate(kRegCurrentUser, kCursors, kKeySetValue, &key);
    RegistryClose(key);
    Set(kRegCurrentUser, kCursors, "Arrow", "C:\\arrow.cur");
    CaptureWindowColors();
    CaptureCursors();
    CaptureSoundEvent("AppEvents\\No Such Key");
    EXPECT_EQ("1 2 3", FromTheme(kColors, "ActiveTitle"));
    EXPECT_EQ("", FromTheme(kColors, "Background")) << "not the previous value's text";
    EXPECT_EQ("", FromTheme(kColors, "Hilight"));
    EXPECT_EQ("C:\\arrow.cur", FromTheme(kCursors, "Arrow"));
    EXPECT_EQ("", FromTheme(kCursors, "Help")) << "a missing value after a present one";
    EXPECT_EQ("", FromTheme(kCursors, "DefaultValue"));
    EXPECT_EQ("", FromTheme("AppEvents\\No Such Key", "DefaultValue"));
}

class StartupThemes : public MachineTest {
protected:
    std::string program, bitmap, saved;
    void SetUp() override
    {
        MachineTest::SetUp();
        char dir[kPathSize];
        ProgramFolder(dir, sizeof dir);
        program = dir;
        bitmap = WinDir() + "\\Zorva The Vandrel.BMP";
        saved = WinDir() + "\\Zorva The Vandrel.SAV";
        FileDelete((program + "\\ZorvaBackup.theme").c_str());
        FileDelete((program + "\\Restore.theme").c_str());
        FileDelete(bitmap.c_str());
        FileDelete(saved.c_str());
    }
    void TearDown() override
    {
        FileDelete((program + "\\ZorvaBackup.theme").c_str());
        FileDelete((program + "\\Restore.theme").c_str());
        FileDelete(bitmap.c_str());
        FileDelete(saved.c_str());
        MachineTest::TearDown();
    }
};

TEST_F(StartupThemes, BackupOnceSnapshotEveryStart)
{
    Set(kRegCurrentUser, kColors, "ActiveTitle", "1 2 3");
    WriteStartupThemes();
    std::string backup = ReadWholeFile(program + "\\ZorvaBackup.theme");
    EXPECT_EQ(backup, ReadWholeFile(program + "\\Restore.theme"));
    EXPECT_EQ(program + "\\Restore.theme", ThemeFile);
    EXPECT_LT(backup.find("[Control Panel\\Colors]"), backup.find("[Metrics]"));
    EXPECT_LT(backup.find("[Metrics]"), backup.find("[Control Panel\\Desktop]"));
    EXPECT_LT(backup.find("[Control Panel\\Cursors]"), backup.find("[boot]"));
    EXPECT_FALSE(FileExists(saved)) << "no bitmap, no copy";

    Set(kRegCurrentUser, kColors, "ActiveTitle", "4 5 6");
    WriteStartupThemes();
    EXPECT_EQ(backup, ReadWholeFile(program + "\\ZorvaBackup.theme")) << "the backup is never rewritten";
    EXPECT_NE(std::string::npos, ReadWholeFile(program + "\\Restore.theme").find("ActiveTitle=4 5 6"));

    FileDelete((program + "\\ZorvaBackup.theme").c_str());
    WriteStartupThemes();
    EXPECT_NE(std::string::npos, ReadWholeFile(program + "\\ZorvaBackup.theme").find("ActiveTitle=4 5 6"));
}

TEST_F(StartupThemes, WallpaperCopiedWhole)
{
    std::string bytes;
    for (int i = 0; i < 3 * 4096; i++)
        bytes += (char)(i * 7);
    WriteWholeFile(bitmap, bytes);
    WriteStartupThemes();
    EXPECT_EQ(bytes, ReadWholeFile(saved));
    WriteWholeFile(bitmap, "short");
    WriteRestoreTheme();
    EXPECT_EQ("short", ReadWholeFile(saved)) << "the copy is truncated first";
}

TEST_F(StartupThemes, CopyThatCannotBeMadeIsSkipped)
{
    WriteWholeFile(bitmap, "bitmap");
    ASSERT_TRUE(MakeFolder(saved)) << "a folder where the copy would go";
    WriteStartupThemes();
    EXPECT_TRUE(FileExists(program + "\\Restore.theme"));
    EXPECT_EQ("bitmap", ReadWholeFile(bitmap));
    RemoveEmptyFolder(saved);
}

#ifndef _WIN32
TEST_F(StartupThemes, FullDiskDuringCopyIsFatal)
{
    WriteWholeFile(bitmap, std::string(3 * 4096, 'b'));
    EXPECT_EXIT(
        {
            HostSetDiskSpace(5000);
            WriteRestoreTheme();
        },
        ::testing::ExitedWithCode(255), "Out of room on drive C: for backup file\nPlease free some space");
}
#endif

// The settings that a round trip must bring back.
struct Settings {
    std::vector<std::string> registry;
    IconMetricsRecord icon;
    NonclientMetricsRecord nonclient;
    uint32_t colors[25];
};

const char *const kColorNames[25] = {
    "ActiveTitle", "Background", "Hilight", "HilightText", "TitleText", "Window", "WindowText", "Scrollbar",
    "InactiveTitle", "Menu", "WindowFrame", "MenuText", "ActiveBorder", "InactiveBorder", "AppWorkspace",
    "ButtonFace", "ButtonShadow", "GrayText", "ButtonText", "InactiveTitleText", "ButtonHilight",
    "ButtonDkShadow", "ButtonLight", "InfoText", "InfoWindow"};
const int kElements[25] = {2, 1, 13, 14, 9, 5, 8, 0, 3, 4, 6, 7, 10, 11, 12, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};

// A missing value and an empty one mean the same for these settings (no
// cursor, no sound, no icon); a snapshot writes a missing value as empty.
std::string ReadSetting(RegRoot root, const char *path, const char *name)
{
    std::string value = Read(root, path, name);
    return value == "<missing>" ? "" : value;
}

Settings Snapshot()
{
    Settings s;
    for (const char *name : kColorNames)
        s.registry.push_back(ReadSetting(kRegCurrentUser, kColors, name));
    for (const char *name : {"Arrow", "Wait", "IBeam"})
        s.registry.push_back(ReadSetting(kRegCurrentUser, kCursors, name));
    for (const char *name : {"full", "empty"})
        s.registry.push_back(ReadSetting(kRegClassesRoot, kRecycleBin, name));
    s.registry.push_back(ReadSetting(kRegClassesRoot, kRecycleBin, nullptr));
    s.registry.push_back(ReadSetting(kRegClassesRoot, kMyComputer, nullptr));
    s.registry.push_back(ReadSetting(kRegCurrentUser, kSoundEvent, nullptr));
    s.registry.push_back(ReadSetting(kRegCurrentUser, kBinEvent, nullptr));
    for (const char *name : {"ScreenSaveActive", "TileWallpaper", "WallpaperStyle", "Pattern", "Wallpaper"})
        s.registry.push_back(ReadSetting(kRegCurrentUser, "Control Panel\\Desktop", name));
    char saver[261];
    ProfileGetString("boot", "SCRNSAVE.EXE", "", saver, sizeof saver, "system.ini");  // missing or empty: none
    s.registry.push_back(saver);
    memset(&s.icon, 0, sizeof s.icon);
    s.icon.cbSize = sizeof s.icon;
    SystemParameters(kSpiGetIconMetrics, sizeof s.icon, &s.icon, 0);
    memset(&s.nonclient, 0, sizeof s.nonclient);
    s.nonclient.cbSize = sizeof s.nonclient;
    SystemParameters(kSpiGetNonclientMetrics, sizeof s.nonclient, &s.nonclient, 0);
    for (int i = 0; i < 25; i++)
        s.colors[i] = SysColorGet(kElements[i]);
    return s;
}

// Changes every group that the round trip covers.
void ChangeEverything()
{
    for (const char *name : {"ScreenSaveActive", "TileWallpaper", "WallpaperStyle", "Pattern", "Wallpaper"})
        Set(kRegCurrentUser, "Control Panel\\Desktop", name, "changed");
    ProfileWriteString("boot", "SCRNSAVE.EXE", "C:\\changed.scr", "system.ini");
    for (const char *name : kColorNames)
        Set(kRegCurrentUser, kColors, name, "9 9 9");
    uint32_t nine[25];
    for (uint32_t &c : nine)
        c = 0x090909;
    SysColorsSet(25, kElements, nine);
    for (const char *name : {"Arrow", "Wait", "IBeam"})
        Set(kRegCurrentUser, kCursors, name, "C:\\changed.cur");
    Set(kRegClassesRoot, kRecycleBin, "full", "changed-full.ico");
    Set(kRegClassesRoot, kRecycleBin, "empty", "changed-empty.ico");
    Set(kRegClassesRoot, kRecycleBin, nullptr, "changed-full.ico");
    Set(kRegClassesRoot, kMyComputer, nullptr, "changed.ico");
    Set(kRegCurrentUser, kSoundEvent, nullptr, "C:\\changed.wav");
    Set(kRegCurrentUser, kBinEvent, nullptr, "C:\\changed.wav");
    IconMetricsRecord icon = {};
    icon.cbSize = sizeof icon;
    SystemParameters(kSpiGetIconMetrics, sizeof icon, &icon, 0);
    icon.iHorzSpacing += 11;
    SystemParameters(kSpiSetIconMetrics, 0, &icon, kSpifUpdateIniFile);
    NonclientMetricsRecord nc = {};
    nc.cbSize = sizeof nc;
    SystemParameters(kSpiGetNonclientMetrics, sizeof nc, &nc, 0);
    nc.iScrollWidth += 3;
    nc.lfMenuFont.lfHeight = -15;
    SystemParameters(kSpiSetNonclientMetrics, 0, &nc, kSpifUpdateIniFile);
}

void ExpectSame(const Settings &a, const Settings &b)
{
    EXPECT_EQ(a.registry, b.registry);
    EXPECT_EQ(0, memcmp(&a.icon, &b.icon, sizeof a.icon)) << a.icon.iHorzSpacing << " " << b.icon.iHorzSpacing;
    EXPECT_EQ(a.nonclient.iScrollWidth, b.nonclient.iScrollWidth);
    EXPECT_EQ(a.nonclient.lfMenuFont.lfHeight, b.nonclient.lfMenuFont.lfHeight);
    EXPECT_EQ(0, memcmp(&a.nonclient, &b.nonclient, sizeof a.nonclient));
    for (int i = 0; i < 25; i++)
        EXPECT_EQ(a.colors[i], b.colors[i]) << kColorNames[i];
}

class RoundTrip : public StartupThemes {
protected:
    void SetUp() override
    {
        StartupThemes::SetUp();
        MakeTestMainWindow();
        // Keys that a real system has and a fresh Wine prefix lacks.
        for (const char *path : {kCursors, kSoundEvent, kBinEvent}) {
            PlatKey key;
            RegistryCreate(kRegCurrentUser, path, kKeySetValue, &key);
            RegistryClose(key);
        }
        PlatKey key;
        RegistryCreate(kRegClassesRoot, kMyComputer, kKeySetValue, &key);
        RegistryClose(key);
    }

    void RunRoundTrip()
    {
        Settings before = Snapshot();
        WriteStartupThemes();
        ChangeEverything();
        Settings changed = Snapshot();
        EXPECT_NE(before.registry, changed.registry);
        // Cancel: the run's snapshot with every part that it holds.
        InstallTheme(kThemeSnapshot, 1, 1, 1, 1, 1, 1, 1);
        FinishThemeInstall();
        ExpectSame(before, Snapshot());
    }
};

TEST_F(RoundTrip, FreshMachineSettings) { RunRoundTrip(); }

TEST_F(RoundTrip, UnusualValues)
{
    // A screen saver with a name that is its own short form, and desktop values.
    std::string saver = WinDir() + "\\QSAVER.SCR";
    WriteWholeFile(saver, "screen saver");
    ProfileWriteString("boot", "SCRNSAVE.EXE", saver.c_str(), "system.ini");
    Set(kRegCurrentUser, "Control Panel\\Desktop", "Pattern", "(None)");
    Set(kRegCurrentUser, "Control Panel\\Desktop", "TileWallpaper", "0");
    Set(kRegCurrentUser, "Control Panel\\Desktop", "Wallpaper", "");
    // A colour text with extra blanks, and the colour the system shows for it.
    Set(kRegCurrentUser, kColors, "Background", "0   0  0");
    const int background = 1;
    const uint32_t black = 0;
    SysColorsSet(1, &background, &black);
    std::string longPath = "C:\\" + std::string(240, 'p') + "\\arrow.cur";
    Set(kRegCurrentUser, kCursors, "Arrow", longPath.c_str());
    Set(kRegCurrentUser, kCursors, "Wait", "");
    Set(kRegCurrentUser, kCursors, "IBeam", "C:\\beam.cur");
    Set(kRegClassesRoot, kRecycleBin, "full", "");
    Set(kRegClassesRoot, kRecycleBin, "empty", "C:\\empty.ico,0");
    Set(kRegClassesRoot, kRecycleBin, nullptr, "");
    Set(kRegClassesRoot, kMyComputer, nullptr, "C:\\computer.ico,-3");
    Set(kRegCurrentUser, kSoundEvent, nullptr, "");
    Set(kRegCurrentUser, kBinEvent, nullptr, "C:\\Media\\bin.wav");
    NonclientMetricsRecord nc = {};
    nc.cbSize = sizeof nc;
    SystemParameters(kSpiGetNonclientMetrics, sizeof nc, &nc, 0);
    nc.lfMessageFont.lfHeight = -17;
    nc.lfCaptionFont.lfItalic = 1;
    SystemParameters(kSpiSetNonclientMetrics, 0, &nc, kSpifUpdateIniFile);
    RunRoundTrip();
}

}  // namespace
