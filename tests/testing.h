// What the tests need from the machine they run on, the same on both backends.
#pragma once

#include "platform/window.h"

#include <gtest/gtest.h>

#include <stddef.h>
#include <stdint.h>

#include <string>

// A fixture with a clean machine: on the host backend a new simulated Windows
// in a new temporary folder; under Wine the prefix copy of this run.
// The simulated drive is removed when the fixture goes, also when a test's own
// TearDown does not call this one's.
class MachineTest : public ::testing::Test {
protected:
    ~MachineTest() override;
    void SetUp() override;
    void TearDown() override;

private:
    std::string drive;  // host backend: the Linux folder standing for C:
};

// Names outside any one ANSI code page, for folders, files, users and values:
// Japanese, Cyrillic and accented Latin.
extern const char kJapaneseName[];  // テーマ 田中
extern const char kCyrillicName[];  // Тема Zoë
extern const char kUserName[];      // Łukasz 田中, the user of the tests' machines

// A new, empty folder, as a Windows path without a trailing backslash; its
// name ends in kJapaneseName, so every path built in it goes past the ANSI
// code page.
std::string NewFolder();
// The same with a name in the ANSI code page (accented Latin), for a path that
// must pass a file of that code page whole, such as system.ini under Wine.
std::string NewAnsiFolder();
// The folder of the user's own files that the program keeps (the backup, the
// snapshot, the wallpaper bitmap, the log): "Desktop Quennel" in the local
// application-data folder. Made when missing.
std::string UserDataFolder();
// A profile file's text in UTF-8: decoded from UTF-16 when it starts with
// the UTF-16 mark, its bytes as they are otherwise; "<missing>" when it cannot
// be opened.
std::string ProfileText(const std::string &path);
// Names the theme folder in control.ini ("Zorva", "switcher") as the
// installer does: when the file would lose a letter of it, the file is first
// made UTF-16. An empty folder removes the entry.
void SetThemeFolder(const std::string &folder);
// The bytes the system stores a text as: UTF-16, little-endian, with its zero.
std::string Utf16Bytes(const std::string &utf8);
// Whether a file or folder exists under exactly this name, as the system
// itself tells it (on Windows through the wide function, never the seam).
bool NameExists(const std::string &path);
// The Windows folder, without a trailing backslash.
std::string WinDir();
// The whole content of a file, read in binary; "<missing>" when it cannot be opened.
std::string ReadWholeFile(const std::string &path);
void WriteWholeFile(const std::string &path, const std::string &bytes);
// The 64-bit FNV-1a hash of bytes: golden outputs kept as one number.
uint64_t Fnv1a(const void *bytes, size_t n);
inline uint64_t Fnv1a(const std::string &bytes) { return Fnv1a(bytes.data(), bytes.size()); }

// A registry value's bytes as stored (a text in UTF-16 with its terminating
// zero); "<no key>", or "<missing>" for a missing value or one over 16 KB. rc,
// when given, gets the error code of the open or the query. A null name is
// the default value.
std::string RegistryBytes(RegRoot root, const char *path, const char *name, long *rc = nullptr);
// A registry text in UTF-8; "<no key>" or "<missing>" (also for a value that
// is no text). type, when given, gets its type.
std::string ReadRegistry(RegRoot root, const char *path, const char *name, unsigned *type = nullptr);
// Stores a text, creating the key and its parents when missing.
void SetRegistry(RegRoot root, const char *path, const char *name, const char *text, unsigned type = kRegSz);
// Creates a key and its parents.
void MakeKey(RegRoot root, const char *path);
// A profile string of a file (a bare name is a file in the Windows folder), up
// to 16 KB; absent when the file, the section or the key is missing.
std::string ReadProfile(const std::string &file, const char *section, const char *key,
                        const char *absent = "<missing>");
bool FileExists(const std::string &path);
// Makes a folder (its parent must exist); true when it exists afterwards.
bool MakeFolder(const std::string &path);
void RemoveEmptyFolder(const std::string &path);
// Removes a folder with everything in it, as far as it can.
void RemoveFolderTree(const std::string &path);

// A hidden top-level window with a status bar child (IDC_STATUS), standing in
// for the main window; stored in MainWindow.
PlatWindow MakeTestMainWindow();
// The text of its status bar.
std::string MainStatusText();
#ifndef _WIN32
#include "tests/host_main_window.h"
#endif

// Runs action while watching for a message box with the given caption, which
// it answers with OK (on Windows, from another thread). Returns the box's text,
// or "<none>".
std::string WatchBox(const char *caption, void (*action)(void *), void *context);

// Runs a helper program of the tests (built beside the test program) with the
// given arguments from a copy placed in folder, answering the "Assertion
// Error" box if one shows. Returns the exit code; box gets the box's text
// ("" when none showed).
int RunProbe(const std::string &program, const std::string &folder, const std::string &args,
             std::string *box);
