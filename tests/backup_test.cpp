// Capturing the current settings into theme files, and the round trip back
// through the installer that Cancel and Revert rely on.
#include "backup/backup.h"
#include "install/installtheme.h"
#include "theme/metrictext.h"
#include "tests/testing.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "app/windowcalls.h"
#include "app/mainlogic.h"
#include "app/installrun.h"
#include "app/startup.h"
#include "platform/host/host.h"
#include "tests/testart.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#endif

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char kColors[] = "Control Panel\\Colors";
const char kCursors[] = "Control Panel\\Cursors";
const char kRecycleBin[] = "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";
const char kMyComputer[] = "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
const char kSoundEvent[] = "AppEvents\\Schemes\\Apps\\.Default\\MailBeep\\.Current";
// The keys of the user's own icons, which the shell reads before the machine's.
const std::string kOwnRecycleBin = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\" + std::string(kRecycleBin);
const std::string kOwnMyComputer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\" + std::string(kMyComputer);
const char kBinEvent[] = "AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current";

// Removes a value of HKEY_CURRENT_USER, as a user who never had it.
void DeleteValue(const char *path, const char *name)
{
    PlatKey key;
    if (RegistryOpen(kRegCurrentUser, path, kKeySetValue, &key) == kErrorSuccess) {
        RegistryDeleteValue(key, name);
        RegistryClose(key);
    }
}

// A byte list writes each number with a space after it.
int CountSpaces(const std::string &text) { return (int)std::count(text.begin(), text.end(), ' '); }

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
    EXPECT_EQ(76, CountSpaces(s));
    EXPECT_EQ("76 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 245 255 255 255 ", s.substr(0, 49));
    EXPECT_EQ(' ', s.back());
    EXPECT_NE(std::string::npos, s.find("84 97 104 111 109 97 0 0 0 ")) << "the face name and its zeros";

    NonclientMetricsRecord nc;
    memset(&nc, 0xFF, sizeof nc);
    nc.cbSize = 340;
    text[0] = 0;
    FormatNonclientMetrics(&nc, text);
    s = text;
    EXPECT_EQ(340, CountSpaces(s));
    EXPECT_LE(s.size(), 340u * 4) << "the longest text fits its buffer";
    EXPECT_EQ("84 1 0 0 255 ", s.substr(0, 13));
}

// Every value is captured whole, in every letter, however long; the cursors,
// sounds and icons with their type, and with "none" where there was no value.
TEST_F(Capture, ValuesWholeWithTheirTypes)
{
    const std::string file = NewFolder() + "\\capture.theme";
    WriteWholeFile(file, "\xFF\xFE");
    const std::string own = std::string("C:\\users\\") + kUserName + "\\" + kCyrillicName + "\\arrow.cur";
    const std::string longValue = "C:\\" + std::string(600, 'x') + ".cur";
    SetRegistry(kRegCurrentUser, kColors, "ActiveTitle", "1 2 3");
    SetRegistry(kRegCurrentUser, kColors, "Background", "1234567890 1234567890 12");  // more than 19 characters
    SetRegistry(kRegCurrentUser, kColors, "Hilight", "");
    SetRegistry(kRegCurrentUser, kCursors, "Arrow", own.c_str());
    SetRegistry(kRegCurrentUser, kCursors, "Wait", "%SystemRoot%\\cursors\\busy.ani", kRegExpandSz);
    SetRegistry(kRegCurrentUser, kCursors, "IBeam", longValue.c_str());
    SetRegistry(kRegCurrentUser, kCursors, "No", "");
    DeleteValue(kCursors, "Help");
    DeleteValue(kCursors, nullptr);
    RegistryDeleteTree(kRegCurrentUser, kOwnMyComputer.c_str());
    SetRegistry(kRegClassesRoot, kMyComputer, nullptr, "%SystemRoot%\\machine.ico", kRegExpandSz);
    SetRegistry(kRegClassesRoot, kRecycleBin, "full", "machine-full.ico");
    SetRegistry(kRegCurrentUser, kOwnRecycleBin.c_str(), "full", "%USERPROFILE%\\own-full.ico", kRegExpandSz);
    SetRegistry(kRegCurrentUser, kOwnRecycleBin.c_str(), nullptr, "own-shown.ico");
    ThemeWriter out = {file.c_str(), false};
    CaptureWindowColors(&out);
    CaptureCursors(&out);
    CaptureDesktopIcons(&out);
    CaptureSoundEvent(&out, "AppEvents\\No Such Key");
    EXPECT_FALSE(out.failed);
    EXPECT_EQ("1 2 3", ReadProfile(file, kColors, "ActiveTitle"));
    EXPECT_EQ("1234567890 1234567890 12", ReadProfile(file, kColors, "Background"));
    EXPECT_EQ("", ReadProfile(file, kColors, "Hilight"));
    EXPECT_EQ("<missing>", ReadProfile(file, kColors, "Hilight.Type")) << "colours are texts alone";
    EXPECT_EQ(own, ReadProfile(file, kCursors, "Arrow"));
    EXPECT_EQ("<missing>", ReadProfile(file, kCursors, "Arrow.Type")) << "REG_SZ needs no type";
    EXPECT_EQ("%SystemRoot%\\cursors\\busy.ani", ReadProfile(file, kCursors, "Wait"));
    EXPECT_EQ("REG_EXPAND_SZ", ReadProfile(file, kCursors, "Wait.Type"));
    EXPECT_EQ(longValue, ReadProfile(file, kCursors, "IBeam")) << "never emptied for its length";
    EXPECT_EQ("", ReadProfile(file, kCursors, "No"));
    EXPECT_EQ("<missing>", ReadProfile(file, kCursors, "No.Type")) << "empty is a value";
    EXPECT_EQ("", ReadProfile(file, kCursors, "Help"));
    EXPECT_EQ("none", ReadProfile(file, kCursors, "Help.Type")) << "a missing value after a present one";
    EXPECT_EQ("none", ReadProfile(file, kCursors, "DefaultValue.Type"));
    EXPECT_EQ("none", ReadProfile(file, "AppEvents\\No Such Key", "DefaultValue.Type"));
    // The icons as the user sees them: the machine's where the user has none.
    EXPECT_EQ("%SystemRoot%\\machine.ico", ReadProfile(file, kMyComputer, "DefaultValue"));
    EXPECT_EQ("none", ReadProfile(file, kMyComputer, "DefaultValue.Type"));
    EXPECT_EQ("%USERPROFILE%\\own-full.ico", ReadProfile(file, kRecycleBin, "full"));
    EXPECT_EQ("REG_EXPAND_SZ", ReadProfile(file, kRecycleBin, "full.Type"));
    EXPECT_EQ("own-shown.ico", ReadProfile(file, kRecycleBin, "DefaultValue"));
    EXPECT_EQ("<missing>", ReadProfile(file, kRecycleBin, "DefaultValue.Type"));
    RegistryDeleteTree(kRegCurrentUser, kOwnRecycleBin.c_str());
}

#ifdef _WIN32
std::filesystem::path NativePath(const std::string &path) { return std::filesystem::u8path(path); }
#else
std::filesystem::path NativePath(const std::string &path) { return HostPath(path.c_str()); }
#endif

// The partial files left in a folder: a run's own files that never took
// their names.
std::vector<std::string> PartialFiles(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(NativePath(folder)))
        if (entry.path().filename().string().compare(0, 3, "~dq") == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

// The theme files and the bitmap are the user's, in the user's own folder;
// the program's folder holds none of them.
class StartupThemes : public MachineTest {
protected:
    std::string program, user, backup, snapshot, bitmap, saved;
    void SetUp() override
    {
        MachineTest::SetUp();
        char dir[kPathSize];
        ProgramFolder(dir, sizeof dir);
        program = dir;
        user = UserDataFolder();
        backup = user + "\\ZorvaBackup.theme";
        snapshot = user + "\\Restore.theme";
        bitmap = user + "\\Zorva The Vandrel.BMP";
        saved = user + "\\Zorva The Vandrel.SAV";
        Clean();
    }
    void TearDown() override
    {
        Clean();
        MachineTest::TearDown();
    }
    void Clean()
    {
        for (const std::string &f : {backup, snapshot, bitmap, saved})
            FileDelete(f.c_str());
    }
};

TEST_F(StartupThemes, BackupOnceSnapshotEveryStart)
{
    SetRegistry(kRegCurrentUser, kColors, "ActiveTitle", "1 2 3");
    EXPECT_FALSE(UserHasBackup());
    WriteStartupThemes();
    EXPECT_TRUE(UserHasBackup());
    std::string whole = ReadWholeFile(backup);
    EXPECT_EQ(whole, ReadWholeFile(snapshot));
    std::string text = ProfileText(backup);
    EXPECT_EQ("\xFF\xFE", whole.substr(0, 2)) << "UTF-16, for every letter of the user's paths";
    EXPECT_LT(text.find("[Control Panel\\Colors]"), text.find("[Metrics]"));
    EXPECT_LT(text.find("[Metrics]"), text.find("[Control Panel\\Desktop]"));
    EXPECT_LT(text.find("[Control Panel\\Cursors]"), text.find("[boot]"));
    EXPECT_FALSE(FileExists(saved)) << "no bitmap, no copy";
    EXPECT_FALSE(FileExists(program + "\\ZorvaBackup.theme") || FileExists(program + "\\Restore.theme"));

    SetRegistry(kRegCurrentUser, kColors, "ActiveTitle", "4 5 6");
    WriteStartupThemes();
    EXPECT_EQ(whole, ReadWholeFile(backup)) << "the backup is never rewritten";
    EXPECT_EQ("4 5 6", ReadProfile(snapshot, kColors, "ActiveTitle"));

    FileDelete(backup.c_str());
    WriteStartupThemes();
    EXPECT_EQ("4 5 6", ReadProfile(backup, kColors, "ActiveTitle"));
}

// A saved theme file as the capture writes it: the mark, then the text in
// UTF-16.
std::string SavedBytes(const std::string &text)
{
    std::string bytes = Utf16Bytes(text);
    return "\xFF\xFE" + bytes.substr(0, bytes.size() - 2);
}

// A saved theme is trusted only whole: the capture as written is, and a copy
// of it cut after any line, without any one section, or damaged another way
// is not.
TEST_F(StartupThemes, SavedThemeTrustedOnlyWhole)
{
    WriteStartupThemes();
    ASSERT_TRUE(SavedThemeWhole(backup.c_str()));
    const std::string text = ProfileText(backup);
    const std::string probe = user + "\\probe.theme";
    auto trusted = [&](const std::string &bytes) {
        WriteWholeFile(probe, bytes);
        return SavedThemeWhole(probe.c_str());
    };
    ASSERT_TRUE(trusted(SavedBytes(text)));

    int lines = 0;
    for (size_t end = text.find('\n'); end + 1 < text.size(); end = text.find('\n', end + 1), lines++)
        EXPECT_FALSE(trusted(SavedBytes(text.substr(0, end + 1)))) << "cut after line " << lines + 1;
    EXPECT_GT(lines, 100);

    int sections = 0;
    for (size_t start = text.find("\n["); start != std::string::npos; start = text.find("\n[", start + 1), sections++) {
        size_t next = text.find("\n[", start + 1);
        std::string without = text.substr(0, start + 1) + (next == std::string::npos ? "" : text.substr(next + 1));
        EXPECT_FALSE(trusted(SavedBytes(without))) << "without " << text.substr(start + 1, text.find('\n', start + 1) - start);
    }
    EXPECT_GT(sections, 30);
    std::string first = text.substr(0, text.find('\n') + 1);
    EXPECT_FALSE(trusted(SavedBytes(text.substr(first.size())))) << "without the first section's name";

    size_t cursors = text.find("[Control Panel\\Cursors]\r\n");
    ASSERT_NE(std::string::npos, cursors);
    size_t arrow = text.find("Arrow=", cursors);
    const struct {
        const char *damage;
        std::string bytes;
    } kDamaged[] = {
        {"only its mark", "\xFF\xFE"},
        {"empty", ""},
        {"in the ANSI code page", text},
        {"an odd byte at its end", SavedBytes(text) + "x"},
        {"its last line cut", SavedBytes(text.substr(0, text.size() - 3))},
        {"a line that is no key", SavedBytes(text.substr(0, cursors) + "garbled\r\n" + text.substr(cursors))},
        {"a key without its name", SavedBytes(text.substr(0, arrow) + "=x\r\n" + text.substr(arrow))},
        {"a section's name unclosed", SavedBytes(text.substr(0, cursors) + "[Control Panel\\Cursors\r\n" +
                                                 text.substr(cursors + 25))},
        {"a lone half of a surrogate pair", SavedBytes(text.substr(0, 20)) + std::string("\x00\xD8", 2) + SavedBytes(text.substr(20)).substr(2)},
        {"the screen saver not last", SavedBytes(text + "[Metrics]\r\nIconMetrics=1\r\n")},
        {"larger than any capture", SavedBytes(text + "[Pad]\r\n" + std::string(1 << 20, 'x') + "=1\r\n")},
    };
    for (auto &d : kDamaged)
        EXPECT_FALSE(trusted(d.bytes)) << d.damage;
    // What the profile functions allow beside what the capture writes.
    EXPECT_TRUE(trusted(SavedBytes("; kept by hand\r\n" + text))) << "a comment";
    EXPECT_TRUE(trusted(SavedBytes("\r\n" + text))) << "a blank line";
    FileDelete(probe.c_str());
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
    EXPECT_TRUE(FileExists(snapshot));
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

// The bytes that each profile write into a partial theme file took from the
// drive, in order, from the event log ("... +N bytes").
std::vector<long long> ThemeWriteCharges()
{
    std::vector<long long> charges;
    for (const std::string &e : HostEvents())
        if (e.compare(0, 14, "profile write ") == 0 && e.find(".tmp [") != std::string::npos)
            charges.push_back(atoll(e.c_str() + e.rfind(" +") + 2));
    return charges;
}


// The keys a capture writes on a fresh machine: 86 values, and the type
// "none" of each of the 52 cursors, cursor and sound scheme values, sounds,
// icons and values of light or dark and the accent of the user's own, which
// such a machine lacks.
const size_t kCapturedKeys = 86 + 52;

// The disk fills up at each write of a first start in turn: every theme file
// is whole or absent, never partial, and the start ends with the report.
TEST_F(StartupThemes, FullDiskAtEveryWriteLeavesNoPartialTheme)
{
    HostClearEvents();
    WriteStartupThemes();
    std::vector<long long> charges = ThemeWriteCharges();
    const std::string wholeBackup = ReadWholeFile(backup), wholeSnapshot = ReadWholeFile(snapshot);
    ASSERT_EQ(wholeBackup, wholeSnapshot);
    ASSERT_EQ(2 * kCapturedKeys, charges.size()) << "the same keys in each file";
    long long used = 0;
    for (size_t n = 0; n < charges.size(); n++) {
        FileDelete(backup.c_str());
        FileDelete(snapshot.c_str());
        ASSERT_GT(charges[n], 0);
        const long long space = used + charges[n] - 1;  // write n is the first that does not fit
        used += charges[n];
        EXPECT_EXIT(
            {
                HostSetDiskSpace(space);
                WriteStartupThemes();
                ProcessExit(0);
            },
            ::testing::ExitedWithCode(255), "Out of room on drive C: for backup file")
            << "write " << n;
        // The backup is written first, then the snapshot.
        EXPECT_EQ(n < kCapturedKeys ? "<missing>" : wholeBackup, ReadWholeFile(backup)) << "write " << n;
        EXPECT_EQ("<missing>", ReadWholeFile(snapshot)) << "write " << n;
        EXPECT_TRUE(PartialFiles(user).empty()) << "write " << n;
    }
    // With room again, the next start writes both.
    FileDelete(backup.c_str());
    WriteStartupThemes();
    EXPECT_EQ(wholeBackup, ReadWholeFile(backup));
    EXPECT_EQ(wholeSnapshot, ReadWholeFile(snapshot));
}

// Starts tests/copy_probe with the drive of this test's machine; its pid.
pid_t StartCopyProbe(const std::string &go)
{
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return -1;
    self[n] = 0;
    *strrchr(self, '/') = 0;
    char program[kPathSize];
    ProgramFolder(program, sizeof program);
    std::string probe = std::string(self) + "/copy_probe", root = "QUENNEL_HOST_ROOT=" + HostPath("C:\\"),
                module = "QUENNEL_HOST_MODULE=" + std::string(program) + "\\DesktopQuennel.exe";
    char *argv[] = {(char *)probe.c_str(), (char *)go.c_str(), nullptr};
    char *envp[] = {(char *)root.c_str(), (char *)module.c_str(), nullptr};
    pid_t pid = -1;
    return posix_spawn(&pid, probe.c_str(), nullptr, nullptr, argv, envp) == 0 ? pid : -1;
}

// Two starts of the program at the same moment, a hundred times, on a user's
// first start: one of them goes on, or both one after the other, never both
// at once; the backup and the snapshot are whole, the same as one start
// alone writes them, and no partial file or error report is left.
TEST_F(StartupThemes, TwoStartsAtOnce)
{
    WriteStartupThemes();
    const std::string whole = ReadWholeFile(backup);
    ASSERT_EQ(whole, ReadWholeFile(snapshot));
    const std::string go = "C:\\go-" + std::to_string(getpid());
    int refused = 0;
    for (int round = 0; round < 100; round++) {
        SCOPED_TRACE("round " + std::to_string(round));
        Clean();
        FileDelete(go.c_str());
        pid_t a = StartCopyProbe(go), b = StartCopyProbe(go);
        ASSERT_TRUE(a > 0 && b > 0);
        WriteWholeFile(go, "");
        int codes[2] = {-1, -1};
        for (int i = 0; i < 2; i++) {
            int status = 0;
            waitpid(i == 0 ? a : b, &status, 0);
            codes[i] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        refused += (codes[0] == 1) + (codes[1] == 1);
        EXPECT_TRUE((codes[0] == 0 || codes[0] == 1) && (codes[1] == 0 || codes[1] == 1) && codes[0] + codes[1] <= 1)
            << codes[0] << " " << codes[1];
        EXPECT_EQ(whole, ReadWholeFile(backup));
        EXPECT_EQ(whole, ReadWholeFile(snapshot));
        EXPECT_TRUE(PartialFiles(user).empty());
        EXPECT_EQ("<missing>", ReadWholeFile(user + "\\assertFile.txt"));
        if (HasFailure())
            break;
    }
    FileDelete(go.c_str());
    printf("%d of 200 starts found the other copy running\n", refused);
}

TEST_F(StartupThemes, BackupThatCannotBeOpenedIsNotReplaced)
{
    WriteWholeFile(backup, "[Control Panel\\Colors]\r\nActiveTitle=1 2 3\r\n");
    HostFailCall(1);  // the start's open of the backup fails: it is taken as missing
    WriteStartupThemes();
    HostFailCall(0);
    EXPECT_EQ("[Control Panel\\Colors]\r\nActiveTitle=1 2 3\r\n", ReadWholeFile(backup));
    EXPECT_TRUE(PartialFiles(user).empty());
    EXPECT_TRUE(FileExists(snapshot));
}
#endif

#ifdef _WIN32
// Fills the drive of path with that file until only room bytes are free.
bool FillDrive(const std::string &path, long long room)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    static char block[65536];
    for (DWORD size = sizeof block; size >= 512; size /= 2) {
        DWORD put = size;
        while (put == size && WriteFile(h, block, size, &put, nullptr))
            ;
    }
    LARGE_INTEGER end;
    bool ok = GetFileSizeEx(h, &end);
    end.QuadPart = end.QuadPart > room ? end.QuadPart - room : 0;
    if (ok && room > 0)
        ok = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    if (!ok)
        printf("filling the drive: error %lu\n", GetLastError());
    CloseHandle(h);
    return ok;
}

// On a drive that is really full, a small file system made for the run and
// named by QUENNEL_FULL_DISK (a folder of its own, on the drive that holds the
// user's local application-data folder): a start writes each theme file whole
// or leaves none and ends with the report.
TEST_F(StartupThemes, ReallyFullDiskLeavesNoPartialTheme)
{
    const char *folder = getenv("QUENNEL_FULL_DISK");
    if (!folder || !*folder)
        GTEST_SKIP() << "QUENNEL_FULL_DISK names no small drive";
    const std::string dir = folder;
    std::string box;
    ASSERT_EQ(0, RunProbe("backup_probe", dir, "", &box)) << box;
    const std::string whole = ReadWholeFile(backup);
    ASSERT_EQ(whole, ReadWholeFile(snapshot));
    ASSERT_TRUE(FillDrive(dir + "\\filler.bin", 0));
    EXPECT_FALSE(ProfileWriteString("one", "key", "value", (dir + "\\full.ini").c_str()))
        << "a profile write on the full disk reports its failure";
    FileDelete((dir + "\\filler.bin").c_str());
    FileDelete((dir + "\\full.ini").c_str());
    int reports = 0;
    for (long long room : {0LL, 2048LL, 6144LL, 10240LL, 14336LL, 1LL << 20}) {
        FileDelete(backup.c_str());
        FileDelete(snapshot.c_str());
        ASSERT_TRUE(FillDrive(dir + "\\filler.bin", room));
        int code = RunProbe("backup_probe", dir, "", &box);
        FileDelete((dir + "\\filler.bin").c_str());
        FileDelete((user + "\\assertFile.txt").c_str());
        std::string backupNow = ReadWholeFile(backup), snapshotNow = ReadWholeFile(snapshot);
        if (code == 255) {
            reports++;
            EXPECT_NE(std::string::npos, box.find("Out of room on drive Z: for backup file")) << box;
            EXPECT_TRUE(backupNow == "<missing>" || backupNow == whole) << room << ": " << backupNow;
            EXPECT_EQ("<missing>", snapshotNow) << room;
        } else {
            EXPECT_EQ(0, code) << room;
            EXPECT_EQ(whole, backupNow) << room;
            EXPECT_EQ(whole, snapshotNow) << room;
        }
        EXPECT_TRUE(PartialFiles(user).empty()) << room;
        printf("%lld bytes free: exit %d, backup %s, snapshot %s\n", room, code,
               backupNow == whole ? "whole" : backupNow == "<missing>" ? "none" : "PARTIAL",
               snapshotNow == whole ? "whole" : snapshotNow == "<missing>" ? "none" : "PARTIAL");
    }
    EXPECT_GT(reports, 0);
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

// A setting as the user has it. The cursors, sounds and icons come back
// exactly: missing or there, with their type. For the colours and the desktop
// values a missing value and an empty one mean the same, and a snapshot writes
// a missing one as empty.
std::string ReadSetting(RegRoot root, const char *path, const char *name, bool exact = true)
{
    unsigned type = kRegSz;
    std::string value = ReadRegistry(root, path, name, &type);
    if (!exact)
        return value == "<missing>" ? "" : value;
    return type == kRegExpandSz ? value + " (REG_EXPAND_SZ)" : value;
}

// An icon as the user sees it: the user's own value where there is one,
// otherwise the machine's; with whether it is the user's own.
std::string SeenIcon(const std::string &own, const char *machine, const char *name)
{
    std::string value = ReadSetting(kRegCurrentUser, own.c_str(), name);
    if (value != "<missing>" && value != "<no key>")
        return "own " + value;
    return ReadSetting(kRegClassesRoot, machine, name);
}

// A value of any type: its type and its stored bytes in hex; "<missing>"
// without it.
std::string TypedValue(RegRoot root, const char *path, const char *name)
{
    PlatKey key;
    if (RegistryOpen(root, path, kKeyQueryValue, &key) != kErrorSuccess)
        return "<no key>";
    unsigned char data[256];
    uint32_t size = sizeof data;
    unsigned type = 0;
    long rc = RegistryQuery(key, name, data, &size, &type);
    RegistryClose(key);
    if (rc != kErrorSuccess)
        return "<missing>";
    std::string text = "type " + std::to_string(type) + ":";
    for (uint32_t i = 0; i < size; i++)
        text += " " + std::to_string(data[i]);
    return text;
}

Settings Snapshot()
{
    Settings s;
    for (const char *name : kColorNames)
        s.registry.push_back(ReadSetting(kRegCurrentUser, kColors, name, false));
    for (const char *name : {"Arrow", "Wait", "IBeam", "Help"})
        s.registry.push_back(ReadSetting(kRegCurrentUser, kCursors, name));
    s.registry.push_back(ReadSetting(kRegCurrentUser, kCursors, nullptr));  // the scheme's name
    s.registry.push_back(TypedValue(kRegCurrentUser, kCursors, "Scheme Source"));
    for (const char *name : {"full", "empty", (const char *)nullptr})
        s.registry.push_back(SeenIcon(kOwnRecycleBin, kRecycleBin, name));
    s.registry.push_back(SeenIcon(kOwnMyComputer, kMyComputer, nullptr));
    s.registry.push_back(ReadSetting(kRegCurrentUser, kSoundEvent, nullptr));
    s.registry.push_back(ReadSetting(kRegCurrentUser, kBinEvent, nullptr));
    s.registry.push_back(ReadSetting(kRegCurrentUser, "AppEvents\\Schemes", nullptr));  // the sound scheme's name
    for (const char *name : {"ScreenSaveActive", "TileWallpaper", "WallpaperStyle", "Pattern", "Wallpaper"})
        s.registry.push_back(ReadSetting(kRegCurrentUser, "Control Panel\\Desktop", name, false));
    s.registry.push_back(ReadProfile("system.ini", "boot", "SCRNSAVE.EXE", ""));  // missing or empty: none
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
        SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", name, "changed");
    ProfileWriteString("boot", "SCRNSAVE.EXE", "C:\\changed.scr", "system.ini");
    for (const char *name : kColorNames)
        SetRegistry(kRegCurrentUser, kColors, name, "9 9 9");
    uint32_t nine[25];
    for (uint32_t &c : nine)
        c = 0x090909;
    SysColorsSet(25, kElements, nine);
    for (const char *name : {"Arrow", "Wait", "IBeam", "Help"})
        SetRegistry(kRegCurrentUser, kCursors, name, "C:\\changed.cur");
    SetRegistry(kRegCurrentUser, kCursors, nullptr, "Changed scheme");
    SetRegistry(kRegCurrentUser, kCursors, "Scheme Source", "changed, and a text now");
    // The icons change where an install changes them, in the user's own key.
    // The bin keeps its state (full when it shows its full icon): an install
    // keeps the state it finds, so a change of state would not come back.
    bool binFull = SeenIcon(kOwnRecycleBin, kRecycleBin, "full") == SeenIcon(kOwnRecycleBin, kRecycleBin, nullptr);
    SetRegistry(kRegCurrentUser, kOwnRecycleBin.c_str(), "full", "changed-full.ico");
    SetRegistry(kRegCurrentUser, kOwnRecycleBin.c_str(), "empty", "changed-empty.ico");
    SetRegistry(kRegCurrentUser, kOwnRecycleBin.c_str(), nullptr, binFull ? "changed-full.ico" : "changed-empty.ico");
    SetRegistry(kRegCurrentUser, kOwnMyComputer.c_str(), nullptr, "changed.ico");
    SetRegistry(kRegCurrentUser, kSoundEvent, nullptr, "C:\\changed.wav");
    SetRegistry(kRegCurrentUser, kBinEvent, nullptr, "C:\\changed.wav");
    SetRegistry(kRegCurrentUser, "AppEvents\\Schemes", nullptr, "Changed sounds");
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

// What differs between two snapshots, "" when nothing does.
std::string Differences(const Settings &a, const Settings &b)
{
    std::string out;
    for (size_t i = 0; i < a.registry.size() && i < b.registry.size(); i++)
        if (a.registry[i] != b.registry[i])
            out += "setting " + std::to_string(i) + ": \"" + a.registry[i] + "\" then \"" + b.registry[i] + "\"\n";
    if (memcmp(&a.icon, &b.icon, sizeof a.icon))
        out += "icon metrics\n";
    if (memcmp(&a.nonclient, &b.nonclient, sizeof a.nonclient))
        out += "non-client metrics\n";
    for (int i = 0; i < 25; i++)
        if (a.colors[i] != b.colors[i])
            out += std::string("colour ") + kColorNames[i] + "\n";
    return out;
}

void ExpectSame(const Settings &a, const Settings &b) { EXPECT_EQ("", Differences(a, b)); }

class RoundTrip : public StartupThemes {
protected:
    void SetUp() override
    {
        StartupThemes::SetUp();
        MakeTestMainWindow();
        // Keys that a real system has and a fresh Wine prefix lacks; no icon
        // of the user's own yet.
        for (const char *path : {kCursors, kSoundEvent, kBinEvent, "AppEvents\\Schemes"})
            MakeKey(kRegCurrentUser, path);
        MakeKey(kRegClassesRoot, kMyComputer);
        for (const std::string &own : {kOwnRecycleBin, kOwnMyComputer})
            RegistryDeleteTree(kRegCurrentUser, own.c_str());
    }

    void RunRoundTrip()
    {
        Settings before = Snapshot();
        WriteStartupThemes();
        ChangeEverything();
        Settings changed = Snapshot();
        EXPECT_NE(before.registry, changed.registry);
        // Cancel: the run's snapshot with every part that it holds.
        ThemeInstall install;
        InstallTheme(kThemeSnapshot, kAllParts, &install);
        FinishThemeInstall(install);
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
    SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", "Pattern", "(None)");
    SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", "TileWallpaper", "0");
    SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", "Wallpaper", "");
    // A colour text with extra blanks, and the colour the system shows for it.
    SetRegistry(kRegCurrentUser, kColors, "Background", "0   0  0");
    const int background = 1;
    const uint32_t black = 0;
    SysColorsSet(1, &background, &black);
    // Long paths, paths outside the ANSI code page, values the system expands,
    // empty ones and missing ones: each comes back as it was.
    std::string longPath = "C:\\" + std::string(240, 'p') + "\\arrow.cur";
    std::string ownPath = std::string("C:\\users\\") + kUserName + "\\" + kCyrillicName + "\\beam.cur";
    SetRegistry(kRegCurrentUser, kCursors, "Arrow", longPath.c_str());
    SetRegistry(kRegCurrentUser, kCursors, "Wait", "%SystemRoot%\\cursors\\busy.ani", kRegExpandSz);
    SetRegistry(kRegCurrentUser, kCursors, "IBeam", ownPath.c_str());
    SetRegistry(kRegCurrentUser, kCursors, "Help", "");
    // A cursor scheme of the user's own, by name, and where it is kept.
    SetRegistry(kRegCurrentUser, kCursors, nullptr, (std::string("Mon schéma ") + kJapaneseName).c_str());
    PlatKey cursors;
    ASSERT_EQ(kErrorSuccess, RegistryOpen(kRegCurrentUser, kCursors, kKeySetValue, &cursors));
    const uint32_t userScheme = 1;
    RegistrySetValue(cursors, "Scheme Source", kRegDword, &userScheme, 4);
    RegistryClose(cursors);
    SetRegistry(kRegClassesRoot, kRecycleBin, "full", "");
    SetRegistry(kRegClassesRoot, kRecycleBin, "empty", "C:\\empty.ico,0");
    SetRegistry(kRegClassesRoot, kRecycleBin, nullptr, "");
    SetRegistry(kRegCurrentUser, kOwnRecycleBin.c_str(), "empty", "%SystemRoot%\\own-empty.ico,1", kRegExpandSz);
    // A shown icon of the user's own, neither the full one nor the empty one.
    SetRegistry(kRegCurrentUser, kOwnRecycleBin.c_str(), nullptr, "C:\\own-shown.ico,2");
    SetRegistry(kRegClassesRoot, kMyComputer, nullptr, "C:\\computer.ico,-3");
    SetRegistry(kRegCurrentUser, kSoundEvent, nullptr, "%SystemRoot%\\Media\\\u0141.wav", kRegExpandSz);
    // The blank scheme name that a colour theme leaves, and a path in
    // quotation marks: the theme file keeps their blanks and marks.
    SetRegistry(kRegCurrentUser, "AppEvents\\Schemes", nullptr, " ");
    SetRegistry(kRegCurrentUser, kBinEvent, nullptr, "\"C:\\Media\\bin.wav\"");
    NonclientMetricsRecord nc = {};
    nc.cbSize = sizeof nc;
    SystemParameters(kSpiGetNonclientMetrics, sizeof nc, &nc, 0);
    nc.lfMessageFont.lfHeight = -17;
    nc.lfCaptionFont.lfItalic = 1;
    SystemParameters(kSpiSetNonclientMetrics, 0, &nc, kSpifUpdateIniFile);
    RunRoundTrip();
}

// Light or dark and the accent, of the user's own: a colour theme's look
// replaces them, and the run's snapshot gives each back exactly, its type and
// its bytes, a missing one missing again.
TEST_F(RoundTrip, LookComesBackExactly)
{
    const char *personalize = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    const char *dwm = "Software\\Microsoft\\Windows\\DWM";
    const char *accent = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent";
    const std::pair<const char *, const char *> values[9] = {
        {personalize, "AppsUseLightTheme"}, {personalize, "SystemUsesLightTheme"}, {dwm, "AccentColor"},
        {dwm, "ColorizationColor"},         {dwm, "ColorPrevalence"},              {"Control Panel\\Desktop", "AutoColorization"},
        {accent, "AccentPalette"},          {accent, "AccentColorMenu"},           {accent, "StartColorMenu"}};
    auto look = [&] {
        std::vector<std::string> now;
        for (auto &v : values)
            now.push_back(TypedValue(kRegCurrentUser, v.first, v.second));
        return now;
    };
    auto set = [](const char *path, const char *name, unsigned type, const void *data, uint32_t size) {
        PlatKey key;
        ASSERT_EQ(kErrorSuccess, RegistryCreate(kRegCurrentUser, path, kKeySetValue, &key));
        RegistrySetValue(key, name, type, data, size);
        RegistryClose(key);
    };
    for (auto &v : values) {  // what an earlier test may have left
        PlatKey key;
        if (RegistryOpen(kRegCurrentUser, v.first, kKeySetValue, &key) == kErrorSuccess) {
            RegistryDeleteValue(key, v.second);
            RegistryClose(key);
        }
    }
    const uint32_t light = 1, noPrevalence = 0, accentColor = 0xFF203040;
    const uint8_t palette[24] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    set(personalize, "AppsUseLightTheme", kRegDword, &light, 4);
    set(dwm, "AccentColor", kRegDword, &accentColor, 4);
    set(dwm, "ColorizationColor", kRegSz, "\x31\0\0", 4);  // a text, "1": its type comes back too
    set(dwm, "ColorPrevalence", kRegDword, &noPrevalence, 4);
    set(accent, "AccentPalette", kRegBinary, palette, sizeof palette);  // shorter than Windows' own
    set(accent, "StartColorMenu", kRegBinary, "\x01\x02", 2);           // a number of another type
    std::vector<std::string> before = look();
    ASSERT_EQ("<missing>", before[1]);
    ASSERT_EQ("<missing>", before[5]);

    WriteStartupThemes();
    WriteWholeFile(program + "\\Zorva The Vandrel BLACK.theme",
                   "[VisualStyles]\r\nSystemMode=Dark\r\nAppMode=Dark\r\nColorizationColor=0XC45C3A8A\r\n");
    ThemeInstall install;
    InstallTheme(kThemeBlack, {0, 1, 0, 0, 0, 0, 0}, &install);
    FinishThemeInstall(install);
    std::vector<std::string> changed = look();
    for (int i = 0; i < 9; i++)
        EXPECT_NE(before[i], changed[i]) << values[i].second;
    InstallTheme(kThemeSnapshot, kAllParts, &install);
    FinishThemeInstall(install);
    EXPECT_EQ(before, look());
}

#ifndef _WIN32
// Every fallible system call of an Apply (the blue theme, all parts, with the
// wallpaper job), a Cancel after an Apply (the run's snapshot) and a Revert
// after an Apply (the backup) fails in turn, in a child process each. No run
// crashes or ends with a report that its failure does not call for, the backup
// stays as it was, and a Revert without faults afterwards brings back the
// settings of the start exactly.
// FailedApply: the run's first Apply, on a disk with no room for the bitmap,
// with each call of its first stage failing in turn; the job's Cancel, or the
// user's Cancel where the window stays, brings back the settings of the start
// exactly, with no Revert.
enum class Run { Apply, Cancel, Revert, FailedApply };

// Runs body in a child process that ends with body's result; returns the
// wait status, and in *err what the child wrote to standard error.
int InChild(const std::function<int()> &body, std::string *err)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        close(pipeEnds[0]);
        dup2(pipeEnds[1], 2);
        int code = body();
        fflush(nullptr);
        _exit(code);
    }
    close(pipeEnds[1]);
    char chunk[4096];
    ssize_t got;
    while ((got = read(pipeEnds[0], chunk, sizeof chunk)) > 0)
        err->append(chunk, (size_t)got);
    close(pipeEnds[0]);
    int status = -1;
    waitpid(pid, &status, 0);
    return status;
}

// The failures for which a report is the documented end: the art, the palette
// or the bitmap of the wallpaper job that cannot be opened.
bool ReportExpected(const std::string &fault)
{
    return fault.compare(0, 9, "FileOpen ") == 0 &&
           (fault.find("\\ZORVA\\BLUE.") != std::string::npos ||
            fault.find("\\~dq") != std::string::npos);
}

class FaultSweep : public StartupThemes, public ::testing::WithParamInterface<Run> {
protected:
    PlatWindow main;
    MainState state;
    std::string pristine;  // the drive as the sweep's runs begin

    void SetUp() override
    {
        StartupThemes::SetUp();
        HostSetScreen(64, 48, 16);
        main = MakeHostMainWindow(&state);
        for (const char *path : {kCursors, kSoundEvent, kBinEvent, "AppEvents\\Schemes"})
            MakeKey(kRegCurrentUser, path);
        ChangeEverything();  // the user's own settings, unlike the theme's
        WriteWholeFile(program + "\\Zorva The Vandrel BLUE.theme",
                       "[Control Panel\\Colors]\r\nActiveTitle=1 2 3\r\nBackground=4 5 6\r\n"
                       "[Control Panel\\Cursors]\r\nArrow=%WinDir%\\blue.cur\r\n"
                       "[" + std::string(kRecycleBin) + "]\r\nfull=%WinDir%\\full.ico\r\nempty=%WinDir%\\empty.ico\r\n"
                       "[" + std::string(kSoundEvent) + "]\r\nDefaultValue=%WinDir%\\beep.wav\r\n"
                       "[boot]\r\nSCRNSAVE.EXE=%WinDir%\\blue.scr\r\n");
        InstallTestArt();
        WallpaperThread = nullptr;
        MainTakeSnapshots(&state);
        ShowChoices(main, state.choices);
        before = Snapshot();
        backupBytes = ReadWholeFile(backup);
        if (GetParam() == Run::Cancel || GetParam() == Run::Revert)
            ApplyBlue();
        pristine = HostPath("C:\\") + "-pristine";
        std::filesystem::copy(HostPath("C:\\"), pristine, std::filesystem::copy_options::recursive);
    }

    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(pristine, ignored);
        StartupThemes::TearDown();
    }

    // The drive again as the sweep began, after a child changed it.
    void RestoreDrive()
    {
        std::string root = HostPath("C:\\");
        std::filesystem::remove_all(root);
        std::filesystem::copy(pristine, root, std::filesystem::copy_options::recursive);
    }

    // The window's message loop until the install, and the Cancel that the
    // wallpaper job may post, have ended or the window is gone. Posted
    // messages come before the timer's, as in a real message loop.
    void RunInstall()
    {
        for (int ticks = 0; ticks < 20; ticks++) {
            if (WallpaperThread)
                ThreadWait(WallpaperThread, 30000);
            HostDispatchPosted();
            if (!state.installUnderWay || HostWindowInfo(main).destroyed)
                return;
            MainTimerTick(main, &state);
        }
    }

    void ApplyBlue()
    {
        MainCommand(main, &state, IDC_BLUE, (intptr_t)WindowItem(main, IDC_BLUE));
        MainCommand(main, &state, IDC_APPLY, (intptr_t)WindowItem(main, IDC_APPLY));
        RunInstall();
    }

    // In the child: the run with the nth call failing, then a Revert without
    // faults. Exit code 0 when all is well, 1 with the differences on standard
    // error, 3 when the run made fewer than n fallible calls.
    int FaultyRun(long n)
    {
        const bool firstStage = GetParam() == Run::FailedApply;
        if (firstStage)
            HostSetDiskSpace(3000);  // the theme files and the settings, not a bitmap of 64 x 48
        HostFailCall(n);
        switch (GetParam()) {
        case Run::Apply: ApplyBlue(); break;
        case Run::Cancel: MainCommand(main, &state, kIdCancel, (intptr_t)WindowItem(main, kIdCancel)); break;
        case Run::Revert: MainCommand(main, &state, IDC_REVERT, (intptr_t)WindowItem(main, IDC_REVERT)); break;
        case Run::FailedApply:
            MainCommand(main, &state, IDC_BLUE, (intptr_t)WindowItem(main, IDC_BLUE));
            MainCommand(main, &state, IDC_APPLY, (intptr_t)WindowItem(main, IDC_APPLY));
            break;
        }
        if (!firstStage)
            RunInstall();
        // FailedApply: its first stage alone, the job not started yet (a fault arms it late).
        bool faulted = !HostInjectedFault().empty();
        HostFailCall(0);
        if (!faulted)
            return 3;
        if (firstStage) {
            RunInstall();  // the job's report and its Cancel, or the user's where the window stays
            if (!HostWindowInfo(main).destroyed) {
                MainCommand(main, &state, kIdCancel, (intptr_t)WindowItem(main, kIdCancel));
                RunInstall();
            }
        }
        std::string problems;
        if ((firstStage || state.installUnderWay) && !HostWindowInfo(main).destroyed)
            problems += "the run never ended\n";
        if (ReadWholeFile(backup) != backupBytes)
            problems += "the backup changed\n";
        if (!firstStage) {  // a Revert without faults must bring the start back
            ThemeInstall install;
            InstallTheme(kThemeBackup, kAllParts, &install);
            FinishThemeInstall(install);
        }
        problems += Differences(before, Snapshot());
        fputs(problems.c_str(), stderr);
        return problems.empty() ? 0 : 1;
    }

    Settings before;
    std::string backupBytes;
};

TEST_P(FaultSweep, EveryFailureLeavesTheBackupRecoverable)
{
    long points = 0, reports = 0;
    for (long n = 1; n < 2000; n++) {
        std::string err;
        int status = InChild([&] { return FaultyRun(n); }, &err);
        std::string backupNow = ReadWholeFile(backup);
        RestoreDrive();
        ASSERT_TRUE(WIFEXITED(status)) << "call " << n << " crashed:\n" << err;
        int code = WEXITSTATUS(status);
        if (code == 3)
            break;
        points++;
        size_t at = err.find("[fault] ");
        std::string fault = at == std::string::npos ? "?" : err.substr(at + 8, err.find('\n', at) - at - 8);
        reports += code == 255;
        if (code == 255)
            EXPECT_TRUE(ReportExpected(fault)) << fault << ":\n" << err;
        else
            EXPECT_EQ(0, code) << "call " << n << ", " << fault << ":\n" << err;
        EXPECT_EQ(backupBytes, backupNow) << fault;
    }
    EXPECT_GT(points, GetParam() == Run::FailedApply ? 10 : 100);
    printf("%ld fault points, %ld of them ended by the error report\n", points, reports);
}

std::string RunName(const ::testing::TestParamInfo<Run> &info)
{
    const char *const names[] = {"Apply", "Cancel", "Revert", "FailedApply"};
    return names[(int)info.param];
}

INSTANTIATE_TEST_SUITE_P(Runs, FaultSweep, ::testing::Values(Run::Apply, Run::Cancel, Run::Revert, Run::FailedApply),
                         RunName);
#endif

}  // namespace
