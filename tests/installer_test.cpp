// The installer under Wine: a silent install into a folder named outside the
// ANSI code page, by a user whose name is too; every theme installed by the
// installed program, Cancel, Revert and "/r"; and the uninstaller's revert and
// clean-up. The user's own settings, in every letter and with their types,
// come back each time.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <initializer_list>
#include <algorithm>
#include <string>
#include <vector>

#include "tests/testing.h"
#include "tests/wintesting.h"

namespace {

const char kUninstallEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DesktopQuennel";

bool Exists(const std::string &path) { return NameExists(path); }

DWORD RunCommand(const std::string &command, DWORD ms = 120000)
{
    std::wstring line = Wide(command);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 9998;
    return ProcessEnd(pi, ms);
}

// A number of the uninstall entry, or -1 when it is missing or not a number.
long long EntryNumber(const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallEntry, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0, type = 0, size = sizeof value;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, (BYTE *)&value, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? value : -1;
}

// The bytes of every file below a folder.
unsigned long long FolderBytes(const std::string &folder)
{
    unsigned long long total = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string name = Narrow(found.cFileName);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != "..")
                total += FolderBytes(folder + "\\" + name);
        } else {
            total += (unsigned long long)found.nFileSizeHigh << 32 | found.nFileSizeLow;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return total;
}

std::string SetupProgram()
{
    return TestFolder() + "\\..\\installer\\DesktopQuennel-Setup.exe";
}

// Runs the installed program and presses its controls in turn (a colour, then
// OK: the theme is installed with every part and the program ends); with
// waitIdle, the last one once the first ones' install has ended. A box would
// hold the program: its end is the sign that none showed.
DWORD Press(const std::string &program, std::initializer_list<int> ids, bool waitIdle = false)
{
    std::wstring line = Wide("\"" + program + "\"");
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 9998;
    HWND main = nullptr;
    WaitFor([&] { return (main = ProcessWindow(pi.dwProcessId, "ZORVATHEME_MainClass")) != nullptr; }, kPatience);
    size_t n = 0;
    for (int id : ids) {
        if (waitIdle && ++n < ids.size()) {
            // Sent: the first stage has run when the send returns, so the
            // prompt that comes back afterwards is the install's end.
            DWORD_PTR result;
            SendMessageTimeoutA(main, WM_COMMAND, id, (LPARAM)GetDlgItem(main, id), 0, 2 * kPatience, &result);
            continue;
        }
        if (waitIdle)
            WaitFor([&] { return Text(GetDlgItem(main, 113)).find("Choose the Zorva color") == 0; }, 2 * kPatience);
        PostMessageA(main, WM_COMMAND, id, (LPARAM)GetDlgItem(main, id));
    }
    return ProcessEnd(pi, 2 * kPatience);
}

class Installer : public MachineTest {};

const char kCursors[] = "Control Panel\\Cursors";
const char kDefaultSound[] = "AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current";

// The user's own settings before any install: paths with the user's letters,
// and values the system expands, as today's Windows stores them.
struct UserSettings {
    std::string arrow, wait, sound, title;
};

UserSettings SetUserSettings()
{
    UserSettings u;
    u.arrow = std::string("C:\\users\\") + kUserName + "\\Cursors\\arrow.cur";
    u.wait = "%SystemRoot%\\cursors\\busy_l.ani";
    u.sound = std::string("%SystemRoot%\\Media\\") + kCyrillicName + ".wav";
    u.title = "7 8 9";
    SetRegistry(kRegCurrentUser, kCursors, "Arrow", u.arrow.c_str());
    SetRegistry(kRegCurrentUser, kCursors, "Wait", u.wait.c_str(), kRegExpandSz);
    SetRegistry(kRegCurrentUser, kDefaultSound, nullptr, u.sound.c_str(), kRegExpandSz);
    SetRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle", u.title.c_str());
    return u;
}

// What differs from the user's own settings, "" when nothing does.
std::string Differences(const UserSettings &u)
{
    std::string out;
    unsigned type = 0;
    if (ReadRegistry(kRegCurrentUser, kCursors, "Arrow", &type) != u.arrow || type != kRegSz)
        out += "Arrow: " + ReadRegistry(kRegCurrentUser, kCursors, "Arrow") + "\n";
    if (ReadRegistry(kRegCurrentUser, kCursors, "Wait", &type) != u.wait || type != kRegExpandSz)
        out += "Wait: " + ReadRegistry(kRegCurrentUser, kCursors, "Wait") + " type " + std::to_string(type) + "\n";
    if (ReadRegistry(kRegCurrentUser, kDefaultSound, nullptr, &type) != u.sound || type != kRegExpandSz)
        out += "sound: " + ReadRegistry(kRegCurrentUser, kDefaultSound, nullptr) + " type " + std::to_string(type) + "\n";
    if (ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle") != u.title)
        out += "ActiveTitle: " + ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle") + "\n";
    return out;
}

// What an install of a theme sets, as one text: the registry's values of every
// part, the profile files' entries, the metrics and the wallpaper's bytes.
std::string State(const std::string &user)
{
    const char kOwnIcons[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\";
    const struct {
        std::string key;
        const char *name;
    } values[] = {{"Control Panel\\Colors", "ActiveTitle"}, {"Control Panel\\Colors", "Window"},
                  {"Control Panel\\Colors", "ButtonFace"},  {"Control Panel\\Cursors", "Arrow"},
                  {"Control Panel\\Cursors", "Wait"},       {"Control Panel\\Cursors", nullptr},
                  {kDefaultSound, nullptr},
                  {"AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current", nullptr},
                  {"Control Panel\\Desktop", "Wallpaper"},   {"Control Panel\\Desktop", "WallpaperStyle"},
                  {"Control Panel\\Desktop", "Pattern"},     {"Control Panel\\Desktop\\WindowMetrics", "Shell Icon BPP"},
                  {std::string(kOwnIcons) + "{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon", nullptr},
                  {std::string(kOwnIcons) + "{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon", "full"},
                  {std::string(kOwnIcons) + "{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon", nullptr}};
    std::string state;
    for (auto &v : values) {
        unsigned type = 0;
        state += v.key + " [" + (v.name ? v.name : "") + "] " + ReadRegistry(kRegCurrentUser, v.key.c_str(), v.name, &type) +
                 " " + std::to_string(type) + "\n";
    }
    state += "SCRNSAVE.EXE " + ReadProfile("system.ini", "boot", "SCRNSAVE.EXE", "") + "\n";
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = 340;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0);
    state += "caption font " + std::string(metrics.lfCaptionFont.lfFaceName) + " " +
             std::to_string(metrics.lfCaptionFont.lfHeight) + "\n";
    state += "bitmap " + std::to_string(Fnv1a(ReadWholeFile(user + "\\Zorva The Vandrel.BMP"))) + "\n";
    return state;
}

TEST_F(Installer, InstallEveryThemeAndUninstall)
{
    // A folder of this run's own, named as a user's may be.
    const std::string dir = std::string("C:\\") + kJapaneseName + " " + std::to_string(GetCurrentProcessId()) + "\\" +
                            kCyrillicName,
                      themes = dir + "\\Themes", win = WinDir(), user = UserDataFolder(),
                      program = dir + "\\DesktopQuennel.exe";
    for (const char *name : {"\\ZorvaBackup.theme", "\\assertFile.txt"})
        FileDelete((user + name).c_str());
    const UserSettings own = SetUserSettings();
    ASSERT_EQ(0u, RunCommand("\"" + SetupProgram() + "\" /S /D=" + dir));

    for (const char *file : {"\\DesktopQuennel.exe", "\\WALLART\\PALALL9.TR", "\\Uninstall.exe",
                             "\\Themes\\Zorva The Vandrel BLUE.theme", "\\Themes\\Zorva\\ZORVA.SCR",
                             "\\Themes\\Zorva\\BLUE\\Cursors\\Arrow.cur"})
        EXPECT_TRUE(Exists(dir + file)) << file;
    for (const char *colour : {"BLACK", "RED", "WHITE", "BLUE", "GREEN"}) {
        EXPECT_TRUE(Exists(win + "\\ZORVA\\" + colour + ".ART")) << colour;
        EXPECT_TRUE(Exists(win + "\\ZORVA\\" + colour + ".tr")) << colour;
    }
    EXPECT_EQ(themes, ReadProfile("control.ini", "Zorva", "switcher", "")) << "every letter of the folder";

    // The entry in the list of installed programs: icon, version, publisher and
    // the size of what was installed, in KB.
    EXPECT_EQ(program, ReadRegistry(kRegLocalMachine, kUninstallEntry, "DisplayIcon"));
    EXPECT_EQ(QUENNEL_VERSION, ReadRegistry(kRegLocalMachine, kUninstallEntry, "DisplayVersion"));
    EXPECT_EQ(QUENNEL_VERSION_MAJOR, EntryNumber("VersionMajor"));
    EXPECT_EQ(QUENNEL_VERSION_MINOR, EntryNumber("VersionMinor"));
    EXPECT_EQ("Desktop Quennel", ReadRegistry(kRegLocalMachine, kUninstallEntry, "Publisher"));
    const double installedKb = (FolderBytes(dir) + FolderBytes(win + "\\ZORVA")) / 1024.0;
    EXPECT_GT(installedKb, 1000.0);
    EXPECT_NEAR(installedKb, (double)EntryNumber("EstimatedSize"), 2.0);

    // Each theme, installed by the program with every part, and named in the
    // registry by its exact paths.
    const struct {
        int id;
        const char *word;
    } colours[5] = {{100, "BLACK"}, {101, "RED"}, {102, "WHITE"}, {103, "BLUE"}, {104, "GREEN"}};
    for (auto &c : colours) {
        ASSERT_EQ(0u, Press(program, {c.id, IDOK})) << c.word;
        std::string theme = themes + "\\Zorva The Vandrel " + c.word + ".theme";
        std::string title = ReadProfile(theme, "Control Panel\\Colors", "ActiveTitle", "");
        EXPECT_EQ(title, ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle")) << c.word;
        EXPECT_EQ(themes + "\\Zorva\\" + c.word + "\\Cursors\\Arrow.cur", ReadRegistry(kRegCurrentUser, kCursors, "Arrow"))
            << c.word;
        EXPECT_EQ(c.word, ReadRegistry(kRegCurrentUser, "Software\\ZorvaTheVandrel", "PaperArtFile"));
        EXPECT_EQ(user + "\\Zorva The Vandrel.BMP", ReadRegistry(kRegCurrentUser, "Control Panel\\Desktop", "Wallpaper"));
    }
    std::string saver = ReadProfile("system.ini", "boot", "SCRNSAVE.EXE", "");
    EXPECT_NE(std::string::npos, saver.find("ZORVA.SCR")) << saver;
    EXPECT_TRUE(Exists(saver)) << saver;

    // "/apply" leaves the registry, the ini files and the wallpaper as the
    // window's Apply and OK leave them.
    for (auto &c : colours) {
        ASSERT_EQ(0u, Press(program, {c.id, IDOK})) << c.word;
        const std::string byWindow = State(user);
        ASSERT_EQ(0u, Press(program, {121}));  // Revert: the user's own settings again
        ASSERT_NE(byWindow, State(user));
        std::string word = c.word;
        for (char &ch : word)
            ch = (char)tolower((unsigned char)ch);
        EXPECT_EQ(0u, RunCommand("\"" + program + "\" /apply " + word)) << c.word;
        EXPECT_EQ(byWindow, State(user)) << c.word;
    }

    // Revert: the user's own settings from before the first install, every
    // letter and every type.
    EXPECT_EQ(0u, Press(program, {121}));
    EXPECT_EQ("", Differences(own));
    // Cancel after an Apply: the settings of the run's start, the user's again.
    EXPECT_EQ(0u, Press(program, {101, 112, IDCANCEL}, true));
    EXPECT_EQ("", Differences(own));
    // "/r" after another theme, given from the command line: the same.
    EXPECT_EQ(0u, RunCommand("\"" + program + "\" /apply BLUE"));
    EXPECT_NE("", Differences(own));
    EXPECT_EQ(1u, RunCommand("\"" + program + "\" /r"));
    EXPECT_EQ("", Differences(own));
    EXPECT_FALSE(Exists(dir + "\\ZorvaBackup.theme")) << "the user's backup is the user's own";

    // The uninstaller puts the settings from before the first install back
    // and removes what was installed, and only that; every user's schedule
    // task too (another user's registered here by hand).
    ASSERT_EQ(0u, Press(program, {104, IDOK}));
    ASSERT_EQ(0u, RunCommand("\"" + program + "\" /schedule white black 07:00 20:00"));
    SetRegistry(kRegLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-1-2-3-1009",
                "ProfileImagePath", "C:\\users\\other");
    ASSERT_TRUE(TaskRegister("\\Desktop Quennel\\Day and night S-1-5-21-1-2-3-1009",
                             "<?xml version=\"1.0\"?><Task version=\"1.2\" "
                             "xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\"><Actions><Exec>"
                             "<Command>C:\\other.exe</Command></Exec></Actions></Task>"));
    const std::string tasks = win + "\\system32\\tasks\\Desktop Quennel";
    ASSERT_TRUE(Exists(tasks + "\\Day and night S-1-5-21-1-2-3-1009"));
    ASSERT_EQ(0u, RunCommand("\"" + dir + "\\Uninstall.exe\" /S /REVERT"));
    EXPECT_TRUE(WaitFor([&] { return !Exists(dir + "\\Uninstall.exe"); }, 2 * kPatience));
    EXPECT_EQ("", Differences(own));
    EXPECT_FALSE(Exists(program));
    EXPECT_FALSE(Exists(themes));
    EXPECT_FALSE(Exists(win + "\\ZORVA"));
    EXPECT_FALSE(Exists(tasks));
    EXPECT_EQ("<none>", ReadProfile("control.ini", "Zorva", "switcher", "<none>"));
    EXPECT_TRUE(Exists(user + "\\ZorvaBackup.theme")) << "the user's backup stays for a later install";
    const std::string log = ReadWholeFile(user + "\\assertFile.txt");
    EXPECT_EQ(log.find('\n') + 1, log.find("Your day-and-night schedule has ended too")) << log;
    EXPECT_EQ(2, std::count(log.begin(), log.end(), '\n')) << "the revert's note, and no error report";
    EXPECT_EQ("<no key>", ReadRegistry(kRegLocalMachine, kUninstallEntry, "DisplayName"));
    RemoveFolderTree(dir.substr(0, dir.rfind('\\')));
}

// A folder whose files' paths would pass the system's limit is refused
// before anything is installed.
TEST_F(Installer, FolderTooLongIsRefused)
{
    const std::string dir = "C:\\" + std::string(QUENNEL_MAX_INSTALL_FOLDER + 1 - 3, 'q');
    EXPECT_EQ(2u, RunCommand("\"" + SetupProgram() + "\" /S /D=" + dir));
    EXPECT_FALSE(Exists(dir + "\\DesktopQuennel.exe"));
    EXPECT_EQ("<no key>", ReadRegistry(kRegLocalMachine, kUninstallEntry, "DisplayName"));
    RemoveFolderTree(dir);
}

// A folder of this run's own, named outside the ANSI code page, not there yet.
std::string FreshFolder(const char *what)
{
    static int counter;
    return std::string("C:\\") + kJapaneseName + " " + what + " " + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter);
}

// Removes an install the test made, once the uninstaller's second stage is done.
void Uninstall(const std::string &dir)
{
    if (Exists(dir + "\\Uninstall.exe")) {
        RunCommand("\"" + dir + "\\Uninstall.exe\" /S");
        WaitFor([&] { return !Exists(dir + "\\Uninstall.exe"); }, 2 * kPatience);
    }
    RemoveFolderTree(dir);
}

// For a test's length the recorder stands in the place of Wine's icacls (which
// changes nothing, and Wine reads no permissions back): the installer's
// commands land in log, and the one holding failOn fails.
struct IcaclsRecorder {
    const std::string system = SystemFolder() + "\\icacls.exe", kept = system + ".kept",
                      log = TestFolder() + "\\icacls-" + std::to_string(GetCurrentProcessId()) + ".log";
    bool ready;
    explicit IcaclsRecorder(const char *failOn)
    {
        DeleteFileW(Wide(log).c_str());
        ready = MoveFileExW(Wide(system).c_str(), Wide(kept).c_str(), MOVEFILE_REPLACE_EXISTING) &&
                CopyFileW(Wide(TestFolder() + "\\icacls_recorder.exe").c_str(), Wide(system).c_str(), FALSE);
        SetRegistry(kRegCurrentUser, "Software\\Wine\\DllOverrides", "icacls.exe", "native");  // not Wine's own
        SetEnvironmentVariableW(L"QUENNEL_ICACLS_LOG", Wide(log).c_str());
        SetEnvironmentVariableW(L"QUENNEL_ICACLS_FAIL", failOn ? Wide(failOn).c_str() : nullptr);
    }
    ~IcaclsRecorder()
    {
        SetEnvironmentVariableW(L"QUENNEL_ICACLS_LOG", nullptr);
        SetEnvironmentVariableW(L"QUENNEL_ICACLS_FAIL", nullptr);
        SetRegistry(kRegCurrentUser, "Software\\Wine\\DllOverrides", "icacls.exe", "builtin");
        MoveFileExW(Wide(kept).c_str(), Wide(system).c_str(), MOVEFILE_REPLACE_EXISTING);
        DeleteFileW(Wide(log).c_str());
    }
    static std::string SystemFolder()
    {
        wchar_t dir[MAX_PATH];
        GetSystemDirectoryW(dir, MAX_PATH);
        return Narrow(dir);
    }
};

// The program's folder gets the permissions of Program Files with the
// well-known SIDs, owner first (a folder a user made beforehand, and the files
// in it); a failing step, or a library planted beside the program, refuses
// the install.
TEST_F(Installer, ProgramFolderMadeAdministratorsOnly)
{
    const struct {
        const char *what, *planted;  // a file in a folder a user made beforehand
        const char *failOn;          // the icacls command that fails
        DWORD exitCode;
        size_t commands;  // how many the installer ran
    } cases[] = {
        {"a new folder", nullptr, nullptr, 0, 3},
        {"a folder made before, a file in it", "notes.txt", nullptr, 0, 3},
        {"a library planted beside the program", "version.dll", nullptr, 2, 0},
        {"the owner cannot be changed", "notes.txt", "/setowner", 2, 1},
        {"the folder's own permissions cannot be set", nullptr, "/inheritance:r", 2, 3},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string dir = FreshFolder("icacls"), planted = dir + "\\" + (c.planted ? c.planted : "");
        if (c.planted) {
            ASSERT_TRUE(MakeFolder(dir));
            WriteWholeFile(planted, "planted");
        }
        IcaclsRecorder icacls(c.failOn);
        ASSERT_TRUE(icacls.ready);
        EXPECT_EQ(c.exitCode, RunCommand("\"" + SetupProgram() + "\" /S /D=" + dir));

        const std::string exe = "\"" + IcaclsRecorder::SystemFolder() + "\\icacls.exe\" \"" + dir + "\" ";
        const std::string all[] = {
            exe + "/setowner *S-1-5-32-544 /T /L /Q\n", exe + "/reset /T /L /Q\n",
            exe + "/inheritance:r /grant:r *S-1-5-32-544:(OI)(CI)F *S-1-5-18:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX /L /Q\n"};
        std::string ran;
        for (size_t i = 0; i < c.commands; ++i)
            ran += all[i];
        EXPECT_EQ(c.commands ? ran : "<missing>", ReadWholeFile(icacls.log));
        EXPECT_EQ(c.exitCode == 0, Exists(dir + "\\DesktopQuennel.exe"));
        if (c.exitCode != 0) {
            EXPECT_EQ("<no key>", ReadRegistry(kRegLocalMachine, kUninstallEntry, "DisplayName"));
            EXPECT_EQ("<none>", ReadProfile("control.ini", "Zorva", "switcher", "<none>"));
            EXPECT_EQ(c.planted != nullptr, Exists(dir)) << "a folder the installer made goes again";
        }
        if (c.planted) {
            EXPECT_EQ("planted", ReadWholeFile(planted)) << "a user's file is secured, never changed";
        }
        Uninstall(dir);
    }
}

// control.ini: an ANSI file stays ANSI for a path it holds and becomes UTF-16,
// its lines kept, for one it cannot; when the UTF-16 copy cannot be written
// (a folder in its place) the original stays byte for byte and nothing is
// installed.
TEST_F(Installer, ControlIniTakesTheThemeFolder)
{
    const std::string ini = WinDir() + "\\control.ini", copy = ini + ".new", before = ReadWholeFile(ini);
    const std::string original = "[Current]\r\nColor Schemes=Windows Standard\r\n";
    const struct {
        const char *what;
        bool ansiPath, copyBlocked;
        DWORD exitCode;
        bool utf16;
    } cases[] = {
        {"a path the ANSI code page holds", true, false, 0, false},
        {"a path outside the ANSI code page", false, false, 0, true},
        {"the copy cannot be written", false, true, 2, false},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string dir = c.ansiPath ? "C:\\Quennel ini " + std::to_string(GetCurrentProcessId())
                                           : FreshFolder("ini") + "\\" + kCyrillicName;
        WriteWholeFile(ini, original);
        if (c.copyBlocked) {
            ASSERT_TRUE(MakeFolder(copy));
        }
        EXPECT_EQ(c.exitCode, RunCommand("\"" + SetupProgram() + "\" /S /D=" + dir));
        EXPECT_EQ(c.utf16, ReadWholeFile(ini).compare(0, 2, "\xff\xfe") == 0);
        if (c.exitCode == 0) {
            EXPECT_EQ(dir + "\\Themes", ReadProfile("control.ini", "Zorva", "switcher", "")) << "every letter";
            EXPECT_EQ("Windows Standard", ReadProfile("control.ini", "Current", "Color Schemes", ""));
            EXPECT_FALSE(Exists(copy));
        } else {
            EXPECT_EQ(original, ReadWholeFile(ini)) << "the original, byte for byte";
            EXPECT_FALSE(Exists(dir)) << "nothing installed";
        }
        RemoveEmptyFolder(copy);
        Uninstall(dir);
        if (!c.ansiPath)
            RemoveFolderTree(dir.substr(0, dir.rfind('\\')));  // the folder above, FreshFolder's
    }
    if (before == "<missing>")
        FileDelete(ini.c_str());
    else
        WriteWholeFile(ini, before);
}

// The uninstaller's first stage runs "/r" for the user and reads its code:
// run in place ("_?="), its exit code says what the revert did (100 and the
// program's code when the settings did not come back); the second stage
// removes everything either way.
TEST_F(Installer, UninstallerReportsTheRevert)
{
    const std::string backup = UserDataFolder() + "\\ZorvaBackup.theme";
    const struct {
        const char *what;
        bool backup;
        const char *how;
        DWORD exitCode;
        bool settingsBack;
    } cases[] = {
        {"put back", true, "/S /REVERT", 0, true},
        {"no backup of the user's own", false, "/S /REVERT", 102, false},
        {"not asked for", true, "/S", 0, false},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string dir = FreshFolder("revert");
        FileDelete(backup.c_str());
        const UserSettings own = SetUserSettings();
        ASSERT_EQ(0u, RunCommand("\"" + SetupProgram() + "\" /S /D=" + dir));
        ASSERT_EQ(0u, RunCommand("\"" + dir + "\\DesktopQuennel.exe\" /apply blue"));  // the backup first
        if (!c.backup) {
            ASSERT_TRUE(FileDelete(backup.c_str()));
        }
        EXPECT_EQ(c.exitCode, RunCommand("\"" + dir + "\\Uninstall.exe\" " + c.how + " _?=" + dir));
        EXPECT_EQ(c.settingsBack, Differences(own).empty()) << Differences(own);
        EXPECT_TRUE(WaitFor([&] { return !Exists(dir); }, 2 * kPatience)) << "every file and the folder go";
        EXPECT_FALSE(Exists(WinDir() + "\\ZORVA"));
        EXPECT_EQ("<no key>", ReadRegistry(kRegLocalMachine, kUninstallEntry, "DisplayName"));
        RemoveFolderTree(dir);
    }
    SetUserSettings();
}

}  // namespace
