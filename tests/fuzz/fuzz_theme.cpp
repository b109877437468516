// Theme text to a whole install on the simulated machine: the bytes become the
// blue theme's file, every part of it is installed as the main window drives
// it (first stage, the wallpaper job on its thread, second stage), and then
// the backup taken before is installed again (Revert). The screen is tiny and
// the art small, so that the wallpaper job is quick. The screen's depth, 8,
// 16 or 24 bits, is the input's length mod 3.
#include "tests/fuzz/fuzz_support.h"

#include "app/controls.h"
#include "app/windowcalls.h"
#include "app/controls.h"
#include "app/windowcalls.h"
#include "backup/backup.h"
#include "install/installtheme.h"
#include "theme/themekeys.h"
#include "platform/host/host.h"
#include "tools/art/artencode.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

static const char kThemes[] = "C:\\themes";
static const char kBlueTheme[] = "C:\\themes\\Zorva The Vandrel BLUE.theme";

// The keys that a real system has and a fresh simulated one lacks: the
// installer opens keys, never creates them.
static void MakeKey(RegRoot root, const char *path)
{
    PlatKey key;
    if (RegistryCreate(root, path, kKeySetValue, &key) == kErrorSuccess)
        RegistryClose(key);
}

static void PrepareMachine()
{
    FuzzResetMachine();
    MainWindow = HostMakeWindow(nullptr, 0, "Desktop Quennel");
    HostMakeWindow(MainWindow, IDC_STATUS, "");
    ConnectWindowCalls();
    for (int i = 0; i < 21; i++) {
        char key[200];
        SoundEventKey(i, key, sizeof key);
        MakeKey(kRegCurrentUser, key);
    }
    MakeKey(kRegCurrentUser, "Control Panel\\Cursors");
    MakeKey(kRegClassesRoot, kMyComputerIcon);
    MakeKey(kRegClassesRoot, kNetworkIcon);
    MakeKey(kRegClassesRoot, kRecycleBinIcon);
}

// Both stages, with the wait between them that the main window's timer does.
static void Install(int themeId)
{
    ThemeInstall install;
    InstallTheme(themeId, kAllParts, &install);
    if (WallpaperThread) {
        if (ThreadWait(WallpaperThread, 60000) != kWaitObject0) {
            fprintf(stderr, "fuzz_theme: the wallpaper job did not end within a minute\n");
            abort();
        }
        ThreadClose(WallpaperThread);
        WallpaperThread = nullptr;
    }
    FinishThemeInstall(install);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzMachineSetUp();
    PrepareMachine();
    FuzzMakeFolder(kThemes);
    ProfileWriteString("Zorva", "switcher", kThemes, "control.ini");

    // The blue art and its palette, small.
    const int width = 32, height = 24;
    std::vector<uint8_t> bgr((size_t)width * height * 3);
    for (size_t i = 0; i < bgr.size(); i++)
        bgr[i] = (uint8_t)(i * 13 + i / 96 * 7);
    std::vector<uint8_t> art;
    std::string error;
    if (!EncodeArt(bgr.data(), width, height, ArtEncodeOptions(), &art, &error)) {
        fprintf(stderr, "fuzz_theme: the art cannot be made: %s\n", error.c_str());
        abort();
    }
    FuzzMakeFolder("C:\\windows\\ZORVA");
    FuzzWriteFile("C:\\windows\\ZORVA\\BLUE.ART", art.data(), art.size());
    std::string palette;
    for (int i = 0; i < 27; i++)
        palette += std::to_string(i / 9 * 127) + " " + std::to_string(i / 3 % 3 * 127) + " " +
                   std::to_string(i % 3 * 127) + " - " + std::to_string(i % 8) + " " + std::to_string(i / 8) + "\n";
    FuzzWriteFile("C:\\windows\\ZORVA\\BLUE.tr", (const uint8_t *)palette.data(), palette.size());

    // The settings before the first install, as Revert puts them back.
    WriteBackupTheme();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const int depths[3] = {8, 16, 24};
    HostSetScreen(16, 12, depths[size % 3]);
    FuzzWriteFile(kBlueTheme, data, size);
    Install(kThemeBlue);
    Install(kThemeBackup);
    // The next input's machine; made here, so that an input frees what it made.
    PrepareMachine();
    return 0;
}
