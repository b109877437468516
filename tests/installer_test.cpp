// The installer under Wine: a silent install into a fresh prefix, every theme
// installed by the installed program, and the uninstaller's revert and clean-up.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/testing.h"
#include "tests/wintesting.h"

namespace {

const char kUninstallEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DesktopQuennel";

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD RunCommand(const std::string &command, DWORD ms = 120000)
{
    std::string line = command;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 9998;
    DWORD code = 9999;
    if (WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 9999);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
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
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
                total += FolderBytes(folder + "\\" + found.cFileName);
        } else {
            total += (unsigned long long)found.nFileSizeHigh << 32 | found.nFileSizeLow;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return total;
}

std::string SetupProgram()
{
    return TestFolder() + "\\..\\installer\\DesktopQuennel-Setup.exe";
}

// Runs the installed program, picks a colour with its button and presses OK:
// the theme is installed with every part and the program ends.
DWORD InstallColour(const std::string &program, int colourId)
{
    std::string line = "\"" + program + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 9998;
    HWND main = nullptr;
    WaitFor([&] { return (main = ProcessWindow(pi.dwProcessId, "ZORVATHEME_MainClass")) != nullptr; }, kPatience);
    PostMessageA(main, WM_COMMAND, colourId, (LPARAM)GetDlgItem(main, colourId));
    PostMessageA(main, WM_COMMAND, IDOK, (LPARAM)GetDlgItem(main, IDOK));
    DWORD code = 9999;
    if (WaitForSingleObject(pi.hProcess, 2 * kPatience) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 9999);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

class Installer : public MachineTest {};

TEST_F(Installer, InstallEveryThemeAndUninstall)
{
    // A folder of this run's own, with a blank in its name as a user's may have.
    const std::string dir = "C:\\Quennel Install " + std::to_string(GetCurrentProcessId()),
                      themes = dir + "\\Themes", win = WinDir();
    const std::string before = ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle");
    ASSERT_EQ(0u, RunCommand("\"" + SetupProgram() + "\" /S /D=" + dir));

    for (const char *file : {"\\DesktopQuennel.exe", "\\WALLART\\PALALL9.TR", "\\Uninstall.exe",
                             "\\Themes\\Zorva The Vandrel BLUE.theme", "\\Themes\\Zorva\\ZORVA.SCR",
                             "\\Themes\\Zorva\\BLUE\\Cursors\\Arrow.cur"})
        EXPECT_TRUE(Exists(dir + file)) << file;
    for (const char *colour : {"BLACK", "RED", "WHITE", "BLUE", "GREEN"}) {
        EXPECT_TRUE(Exists(win + "\\ZORVA\\" + colour + ".ART")) << colour;
        EXPECT_TRUE(Exists(win + "\\ZORVA\\" + colour + ".tr")) << colour;
    }
    EXPECT_EQ(themes, ReadProfile("control.ini", "Zorva", "switcher", ""));
    EXPECT_NE("<no key>", ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Arrow"));

    // The entry in the list of installed programs: icon, version, publisher and
    // the size of what was installed, in KB.
    EXPECT_EQ(dir + "\\DesktopQuennel.exe", ReadRegistry(kRegLocalMachine, kUninstallEntry, "DisplayIcon"));
    EXPECT_EQ(QUENNEL_VERSION, ReadRegistry(kRegLocalMachine, kUninstallEntry, "DisplayVersion"));
    EXPECT_EQ(QUENNEL_VERSION_MAJOR, EntryNumber("VersionMajor"));
    EXPECT_EQ(QUENNEL_VERSION_MINOR, EntryNumber("VersionMinor"));
    EXPECT_EQ("Desktop Quennel", ReadRegistry(kRegLocalMachine, kUninstallEntry, "Publisher"));
    const double installedKb = (FolderBytes(dir) + FolderBytes(win + "\\ZORVA")) / 1024.0;
    EXPECT_GT(installedKb, 1000.0);
    EXPECT_NEAR(installedKb, (double)EntryNumber("EstimatedSize"), 2.0);

    // Each theme, installed by the program with every part.
    const struct {
        int id;
        const char *word;
    } colours[5] = {{100, "BLACK"}, {101, "RED"}, {102, "WHITE"}, {103, "BLUE"}, {104, "GREEN"}};
    for (auto &c : colours) {
        ASSERT_EQ(0u, InstallColour(dir + "\\DesktopQuennel.exe", c.id)) << c.word;
        std::string theme = themes + "\\Zorva The Vandrel " + c.word + ".theme";
        std::string title = ReadProfile(theme, "Control Panel\\Colors", "ActiveTitle", "");
        EXPECT_EQ(title, ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle")) << c.word;
        EXPECT_EQ(themes + "\\Zorva\\" + c.word + "\\Cursors\\Arrow.cur",
                  ReadRegistry(kRegCurrentUser, "Control Panel\\Cursors", "Arrow"))
            << c.word;
        EXPECT_EQ(c.word, ReadRegistry(kRegCurrentUser, "Software\\ZorvaTheVandrel", "PaperArtFile"));
        EXPECT_EQ(win + "\\Zorva The Vandrel.BMP",
                  ReadRegistry(kRegCurrentUser, "Control Panel\\Desktop", "Wallpaper"));
    }
    std::string saver = ReadProfile("system.ini", "boot", "SCRNSAVE.EXE", "");
    EXPECT_NE(std::string::npos, saver.find("ZORVA.SCR")) << saver;

    // The uninstaller puts the settings from before the first install back
    // and removes what was installed, and only that.
    ASSERT_EQ(0u, RunCommand("\"" + dir + "\\Uninstall.exe\" /S /REVERT"));
    EXPECT_TRUE(WaitFor([&] { return !Exists(dir + "\\Uninstall.exe"); }, 2 * kPatience));
    EXPECT_EQ(before, ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle"));
    EXPECT_FALSE(Exists(dir + "\\DesktopQuennel.exe"));
    EXPECT_FALSE(Exists(themes));
    EXPECT_FALSE(Exists(win + "\\ZORVA"));
    EXPECT_EQ("<none>", ReadProfile("control.ini", "Zorva", "switcher", "<none>"));
    EXPECT_TRUE(Exists(dir + "\\ZorvaBackup.theme")) << "the program's own backup stays for a later install";
    EXPECT_EQ("<no key>", ReadRegistry(kRegLocalMachine, kUninstallEntry, "DisplayName"));
    RemoveFolderTree(dir);
}

}  // namespace
