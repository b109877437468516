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

// A new, empty folder, as a Windows path without a trailing backslash.
std::string NewFolder();
// The Windows folder, without a trailing backslash.
std::string WinDir();
// The whole content of a file, read in binary; "<missing>" when it cannot be opened.
std::string ReadWholeFile(const std::string &path);
void WriteWholeFile(const std::string &path, const std::string &bytes);
// The 64-bit FNV-1a hash of bytes: golden outputs kept as one number.
uint64_t Fnv1a(const void *bytes, size_t n);
inline uint64_t Fnv1a(const std::string &bytes) { return Fnv1a(bytes.data(), bytes.size()); }

// A registry value as stored (a text with its terminating zero); "<no key>",
// or "<missing>" for a missing value or one over 16 KB. rc, when given, gets
// the error code of the open or the query. A null name is the default value.
std::string RegistryBytes(RegRoot root, const char *path, const char *name, long *rc = nullptr);
// A registry text without its terminating zero; "<no key>" or "<missing>".
std::string ReadRegistry(RegRoot root, const char *path, const char *name);
// Stores a text, creating the key and its parents when missing.
void SetRegistry(RegRoot root, const char *path, const char *name, const char *text);
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
