// A damaged backup through the revert path: the bytes become the user's
// backup, and the revert runs as "/r" runs it through the main window (no
// box, the run's end and its code). A backup that is not whole must change
// nothing and end with the damaged backup's code; a whole one is installed
// and ends as a revert does. Any other end, or a change made from a backup
// that was refused, aborts.
#include "tests/fuzz/fuzz_support.h"

#include "app/windowcalls.h"
#include "app/commandline.h"
#include "app/installrun.h"
#include "app/unattended.h"
#include "backup/backup.h"
#include "base/apperror.h"
#include "install/installtheme.h"
#include "platform/host/host.h"
#include "tests/host_main_window.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

static bool ChangesSomething(const std::string &event)
{
    for (const char *change : {"reg set ", "reg delete ", "spi ", "syscolors ", "profile write "})
        if (event.compare(0, strlen(change), change) == 0)
            return true;
    return false;
}

static std::string BackupPath() { return std::string(UserDataDir) + "\\ZorvaBackup.theme"; }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzMachineSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzResetMachine();
    MainState state;
    PlatWindow main = MakeHostMainWindow(&state);
    FuzzWriteFile(BackupPath().c_str(), data, size);
    bool whole = SavedThemeWhole(BackupPath().c_str());
    Unattended = 1;
    UnattendedFailed = 0;
    HostClearEvents();
    MainRevertUnattended(main, &state);
    // A backup starts no wallpaper job: the second stage comes at the first tick.
    for (int tick = 0; tick < 3 && state.installUnderWay && !HostWindowInfo(main).destroyed; tick++) {
        HostDispatchPosted();
        MainTimerTick(main, &state);
    }
    int code = HostLiveState().quitCode;
    if (!HostWindowInfo(main).destroyed || state.installUnderWay) {
        fprintf(stderr, "fuzz_revert: the revert never ended\n");
        abort();
    }
    if (!whole) {
        for (const std::string &e : HostEvents())
            if (ChangesSomething(e)) {
                fprintf(stderr, "fuzz_revert: a damaged backup changed a setting: %s\n", e.c_str());
                abort();
            }
        if (code != kExitBackupDamaged) {
            fprintf(stderr, "fuzz_revert: a damaged backup ended with %d\n", code);
            abort();
        }
    } else if (code != kExitClosed && code != kExitPartlyReverted) {
        fprintf(stderr, "fuzz_revert: a whole backup ended with %d\n", code);
        abort();
    }
    Unattended = 0;
    UnattendedFailed = 0;
    return 0;
}
