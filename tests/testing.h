// What the tests need from the machine they run on, the same on both backends.
#pragma once

#include "platform/window.h"

#include <gtest/gtest.h>

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
bool FileExists(const std::string &path);
// Makes a folder (its parent must exist); true when it exists afterwards.
bool MakeFolder(const std::string &path);
void RemoveEmptyFolder(const std::string &path);
// Removes a folder with everything in it, as far as it can.
void RemoveFolderTree(const std::string &path);

// A hidden top-level window with a status bar child (IDC_STATUS), standing in
// for the main window; stored in MainWindow.
PlatWindow MakeTestMainWindow();

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
