// Start-up's checks and snapshots (startup.h).
#include "app/startup.h"

#include "backup/backup.h"
#include "base/bounded.h"

#include <ctype.h>
#include <stdio.h>

bool MainIsOnlyCopy()
{
    // The user's own folder names the user: a program run as another account
    // in the same session is another user's copy, with files of its own.
    char folder[kPathSize];
    if (!LocalAppDataFolder(folder, sizeof folder))
        folder[0] = 0;
    uint32_t hash = 2166136261u;  // FNV-1a, the folder's letters in one case
    for (const char *p = folder; *p; p++)
        hash = (hash ^ (uint8_t)tolower((unsigned char)*p)) * 16777619u;
    char name[64];
    snprintf(name, sizeof name, "Local\\Desktop Quennel %08x", (unsigned)hash);
    return SessionMutexCreate(name);
}

bool MainFoldersUsable(std::string *report)
{
    char path[kPathSize], windows[kPathSize];
    std::string folder;
    if (!UserDataDir[0]) {
        folder = LocalAppDataFolder(path, sizeof path) ? path : "(your local application-data folder)";
        *report = "Desktop Quennel cannot keep your settings in the folder\n  " + folder +
                  "\\Desktop Quennel\nIts path is too long, or the folder cannot be made.";
        return false;
    }
    if (!ProgramDir[0] || !JoinPath(path, sizeof path, ProgramDir, "\\WALLART\\PALALL9.TR")) {
        // The program's own path is too long to be used: the folder it is in.
        folder = ModuleFileName(path, sizeof path) ? path : "(the program's folder)";
        folder = folder.substr(0, folder.rfind('\\'));
    } else if (WindowsFolder(windows, sizeof windows) >= sizeof windows ||
               !JoinPath(path, sizeof path, windows, "\\ZORVA\\GREEN.ART")) {
        folder = windows;
    } else {
        return true;
    }
    *report = "The folder\n  " + folder + "\n" + kFolderTooLong;
    return false;
}

void MainTakeSnapshots(MainState *state)
{
    WriteStartupThemes();
    state->choices.unchanged = true;
    state->installedThisRun = false;
    state->partlyInstalled = false;
    state->damagedTheme = 0;
}
