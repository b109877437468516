// The run of an install from the main window (installrun.h).
#include "app/installrun.h"

#include "app/scheduledialoglogic.h"
#include "app/windowcalls.h"
#include "backup/backup.h"
#include "base/apperror.h"
#include "base/bounded.h"
#include "wallpaper/wallpaperjob.h"

#include <string.h>

#include <string>

const char kWallpaperFailedCaption[] = "Wallpaper Creation Failed";

// An install under way: no command button takes a click.
static void SetBusy(PlatWindow main)
{
    for (int id : kPushOrder)
        WindowEnable(WindowItem(main, id), false);
}

// The install ended: every command button again but Apply, since nothing new
// is chosen yet; the keyboard focus goes to OK, as a disabled Apply would take
// no keys and leave the keyboard dead.
static void SetNotBusy(PlatWindow main)
{
    for (int id : kPushOrder)
        WindowEnable(WindowItem(main, id), id != IDC_APPLY);
    WindowFocus(WindowItem(main, kIdOk));
}

bool SavedThemeFileWhole(int themeId, char *path)
{
    return JoinPath(path, kPathSize, UserDataDir, CatalogueFile(themeId)) && SavedThemeWhole(path);
}

// Whether the saved theme (the backup or the run's snapshot) is whole and may
// be installed. When it is not, nothing is changed: an install under way (the
// wallpaper job's Cancel comes in the middle of one) ends with nothing more
// applied, the user is told in one box, or a run that no one watches logs it
// and ends, and the window waits for the user's next command.
static bool SavedThemeReady(PlatWindow main, MainState *state, int themeId)
{
    char path[kPathSize];
    if (SavedThemeFileWhole(themeId, path))
        return true;
    if (state->installUnderWay) {
        TimerStop(main, kInstallTimer);
        CloseWallpaperThread();
        state->running = ThemeInstall{};
        if (InstallWindow.ended)
            InstallWindow.ended();
        state->installUnderWay = false;
    }
    std::string text = themeId == kThemeBackup
                           ? std::string("The backup of your settings from before the first theme is damaged, so they "
                                         "cannot be put back. Nothing was changed.\n  ")
                           : std::string("The settings saved when Desktop Quennel started are damaged, so they cannot "
                                         "be put back. Nothing was changed.\n  ");
    text += path;
    if (Unattended) {
        AppLogReport(text.c_str());
        state->damagedTheme = themeId;
        WindowDestroy(main);
        return false;
    }
    state->installOnHold = true;
    MessageBoxShow(main, text.c_str(), "Desktop Quennel", kMbIconWarning);
    state->installOnHold = false;
    SetNotBusy(main);
    return false;
}

bool StartInstall(PlatWindow main, MainState *state, int themeId, bool exitAfter)
{
    bool saved = themeId == kThemeBackup || themeId == kThemeSnapshot, whole;
    state->schedulePeriod = 0;  // only the install that MainScheduleStarted begins records it
    if (saved && !SavedThemeReady(main, state, themeId))
        return false;
    SetBusy(main);
    state->exitAfterInstall = exitAfter;
    state->installUnderWay = true;
    // The timer runs from the start of the first stage; its boxes (a missing
    // theme file, a job that cannot start) must not see the second stage run
    // under them.
    state->installOnHold = true;
    ConnectWindowCalls();
    if (saved) {
        whole = InstallTheme(themeId, kAllParts, &state->running);
    } else {
        // The run counts as changed from the first write of this install on,
        // whatever ends it (a full disk, the job's report): Cancel and the
        // job's own Cancel then put the snapshot back. An install refused
        // before it wrote anything changes nothing.
        bool before = state->installedThisRun;
        state->installedThisRun = true;
        whole = InstallTheme(themeId, state->choices.parts, &state->running);
        if (!whole)
            state->installedThisRun = before;
    }
    state->installOnHold = false;
    return whole;
}

// An unattended run that failed puts back the settings from before it, the
// run's snapshot, and then ends.
static void RestoreAfterFailure(PlatWindow main, MainState *state)
{
    state->restoringAfterFailure = true;
    StartInstall(main, state, kThemeSnapshot, true);
}

void SlideStatusText(const char *now, int step, char *out)
{
    char text[200];
    if (!CopyText(text, sizeof text, now))
        text[0] = 0;  // longer than any status text: the slide starts from none
    if (step < 20) {
        out[0] = ' ';
        (void)CopyText(out + 1, 200, text);  // fits: 199 characters at most
    } else {
        (void)CopyText(out, 201, text[0] ? text + 1 : text);
    }
}

bool StatusTextNews(const char *before, const char *after)
{
    while (*before == ' ')
        before++;
    while (*after == ' ')
        after++;
    return strcmp(before, after) != 0;
}

bool WaitWallpaperDone() { return !WallpaperThread || ThreadWait(WallpaperThread, 10) == kWaitObject0; }

void MainTimerTick(PlatWindow main, MainState *state)
{
    PlatWindow status = WindowItem(main, IDC_STATUS);
    char now[200], next[201];
    WindowGetText(status, now, sizeof now);
    SlideStatusText(now, state->statusSlideStep, next);
    state->statusSlideStep = (state->statusSlideStep + 1) % 40;
    WindowSetText(status, next);
    // A job that ended with a report has posted it before it ended: the
    // report's Cancel, not the second stage, ends this install.
    if (!state->installOnHold && WaitWallpaperDone() && !WallpaperReport[0])
        MessageSend(main, WM_FINISHINSTALL, 0, 0);
}

void MainFinishInstall(PlatWindow main, MainState *state)
{
    TimerStop(main, kInstallTimer);
    state->statusSlideStep = 0;
    FinishThemeInstall(state->running);
    CloseWallpaperThread();  // it has ended
    state->installUnderWay = false;
    if (!state->running.valuesLeft.empty()) {
        // A Cancel or a Revert put the user's settings back but for these,
        // which the install's log record names too.
        state->partlyInstalled = true;
        if (!Unattended)
            MessageBoxShow(main, ValuesLeftText(state->running).c_str(), "Desktop Quennel", kMbIconWarning);
    }
    if (state->running.contrastKept && Unattended)
        AppLogReport(kContrastKept);
    if (UnattendedFailed && !state->restoringAfterFailure) {
        RestoreAfterFailure(main, state);
        return;
    }
    if (state->exitAfterInstall) {
        WindowDestroy(main);
        return;
    }
    SetNotBusy(main);
    state->choices.unchanged = true;
    state->installedThisRun = true;
    WindowSetText(WindowItem(main, IDC_STATUS), state->running.contrastKept ? kContrastKept : kStatusPrompt);
    if (state->schedulePeriod)
        MainScheduleApplied(main, state);
}

void MainWallpaperFailed(PlatWindow main, MainState *state)
{
    if (!WallpaperReport[0])
        return;  // already shown, at shutdown
    char text[sizeof WallpaperReport];
    (void)CopyText(text, sizeof text, WallpaperReport);  // the same size
    WallpaperReport[0] = 0;
    state->installOnHold = true;
    MainReport(main, text, kWallpaperFailedCaption, kMbIconWarning);
    state->installOnHold = false;
    if (Unattended) {
        if (!state->restoringAfterFailure)
            RestoreAfterFailure(main, state);
        return;
    }
    // Sent, not posted: no timer tick comes between the box and the Cancel.
    MessageSend(main, kWmCommand, kIdCancel, 0);
}
