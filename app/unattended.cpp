// The runs that no one watches (unattended.h).
#include "app/unattended.h"

#include "app/commandline.h"
#include "app/installrun.h"
#include "app/mainlogic.h"
#include "app/windowcalls.h"
#include "backup/backup.h"
#include "base/apperror.h"
#include "base/bounded.h"
#include "wallpaper/wallpaperjob.h"

// A failed check of an unattended run, on the thread that failed: the run's
// snapshot goes back at once, since nothing of the run goes on after it.
static void RestoreSnapshotAtOnce()
{
    char path[kPathSize];
    if (!SavedThemeFileWhole(kThemeSnapshot, path)) {
        AppLogReport("The settings saved when this run started are damaged: nothing was put back.");
        return;
    }
    InstallSavedThemeAtOnce(kThemeSnapshot);
    AppLogReport("The settings from before this run were put back.");
}

static void BeginUnattended(MainState *state)
{
    UnattendedFailed = 0;
    state->restoringAfterFailure = false;
    state->damagedTheme = 0;
}

void MainApplyUnattended(PlatWindow main, MainState *state, int themeId, const ThemeParts &parts)
{
    BeginUnattended(state);
    char bitmap[kPathSize];
    if (parts.wallpaper && JoinPath(bitmap, sizeof bitmap, UserDataDir, kWallpaperBitmapName))
        CheckWallpaperJob(CatalogueColorWord(themeId), bitmap);
    UnattendedRestore = RestoreSnapshotAtOnce;
    MainCommand(main, state, themeId, 0);
    state->choices.parts = parts;
    ShowChoices(main, state->choices);
    StartInstall(main, state, state->choices.theme, true);
}

void MainRevertUnattended(PlatWindow main, MainState *state)
{
    BeginUnattended(state);
    UnattendedRestore = RestoreSnapshotAtOnce;
    MainCommand(main, state, IDC_REVERT, 0);
}

int MainExitCode(const MainState &state)
{
    if (state.damagedTheme == kThemeBackup)
        return kExitBackupDamaged;
    if (UnattendedFailed || state.damagedTheme)
        return kExitCannotApply;
    return Unattended && state.partlyInstalled ? kExitPartlyReverted : kExitClosed;
}
