#include "app/mainlogic.h"

#include "app/dpiscale.h"

#include "app/appglobals.h"
#include "app/windowcalls.h"
#include "base/apperror.h"
#include "base/bounded.h"
#include "backup/backup.h"
#include "install/installtheme.h"
#include "wallpaper/wallpaperjob.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <initializer_list>

const char kStatusPrompt[] = "Choose the Zorva color (by mana symbol) and the parts of the theme to use.";

int SelectedTheme;
int UseScreenSaver, UseSounds, UseCursors, UseWallpaper, UseIcons, UseColors, UseFonts;
int ChoicesUnchanged;
int InstalledThisRun;
int ExitAfterInstall;
int StatusSlideStep;
int InstallUnderWay;
int InstallOnHold;
ThemeInstall RunningInstall;
static int RestoringAfterFailure;  // the window's thread: an unattended run puts its snapshot back
static int PartlyInstalled;        // the window's thread: an install left values of the user's as they were
static int DamagedTheme;           // the window's thread: the saved theme (kThemeBackup or kThemeSnapshot)
                                   // that an unattended run found damaged, else 0

static const char kWallpaperFailedCaption[] = "Wallpaper Creation Failed";

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

void MainTakeSnapshots()
{
    WriteStartupThemes();
    ChoicesUnchanged = 1;
    InstalledThisRun = 0;
    PartlyInstalled = 0;
    DamagedTheme = 0;
}

void MainSelectInitialColor(PlatWindow main)
{
    SelectedTheme = IDC_WHITE;
    for (int id : {IDC_BLACK, IDC_BLUE, IDC_GREEN, IDC_RED, IDC_WHITE})
        MessageSend(WindowItem(main, id), IBM_SETSTATE, id == SelectedTheme, 0);
}

// The flag of each check box.
static int *ChoiceFlag(int id)
{
    switch (id) {
    case IDC_SCREENSAVER: return &UseScreenSaver;
    case IDC_SOUNDS: return &UseSounds;
    case IDC_CURSORS: return &UseCursors;
    case IDC_WALLPAPER: return &UseWallpaper;
    case IDC_ICONS: return &UseIcons;
    case IDC_COLORS: return &UseColors;
    case IDC_FONTS: return &UseFonts;
    default: return nullptr;
    }
}

void MainTickAllParts(PlatWindow main)
{
    for (int id : {IDC_ICONS, IDC_COLORS, IDC_FONTS, IDC_SCREENSAVER, IDC_WALLPAPER, IDC_CURSORS, IDC_SOUNDS}) {
        *ChoiceFlag(id) = 1;
        ButtonSetCheck(main, id, 1);
    }
}

// An install under way: no command button takes a click.
static void SetBusy(PlatWindow main)
{
    for (int id : {kIdOk, kIdCancel, IDC_APPLY, IDC_REVERT, IDC_ABOUT})
        WindowEnable(WindowItem(main, id), false);
}

// The install ended: every command button again but Apply, since nothing new
// is chosen yet; the keyboard focus goes to OK, as a disabled Apply would take
// no keys and leave the keyboard dead.
static void SetNotBusy(PlatWindow main)
{
    for (int id : {kIdOk, kIdCancel, IDC_REVERT, IDC_ABOUT})
        WindowEnable(WindowItem(main, id), true);
    WindowEnable(WindowItem(main, IDC_APPLY), false);
    WindowFocus(WindowItem(main, kIdOk));
}

// Whether the saved theme (the backup or the run's snapshot) is whole and may
// be installed. When it is not, nothing is changed: an install under way (the
// wallpaper job's Cancel comes in the middle of one) ends with nothing more
// applied, the user is told in one box, or a run that no one watches logs it
// and ends, and the window waits for the user's next command.
// Whether the backup or the snapshot is whole; *path gets its path.
static bool SavedThemeFileWhole(int themeId, char *path)
{
    return JoinPath(path, kPathSize, UserDataDir, CatalogueFile(themeId)) && SavedThemeWhole(path);
}

static bool SavedThemeReady(PlatWindow main, int themeId)
{
    char path[kPathSize];
    if (SavedThemeFileWhole(themeId, path))
        return true;
    if (InstallUnderWay) {
        TimerStop(main, kInstallTimer);
        CloseWallpaperThread();
        RunningInstall = ThemeInstall{};
        if (InstallWindow.ended)
            InstallWindow.ended();
        InstallUnderWay = 0;
    }
    std::string text = themeId == kThemeBackup
                           ? std::string("The backup of your settings from before the first theme is damaged, so they "
                                         "cannot be put back. Nothing was changed.\n  ")
                           : std::string("The settings saved when Desktop Quennel started are damaged, so they cannot "
                                         "be put back. Nothing was changed.\n  ");
    text += path;
    if (Unattended) {
        AppLogReport(text.c_str());
        DamagedTheme = themeId;
        WindowDestroy(main);
        return false;
    }
    InstallOnHold = 1;
    MessageBoxShow(main, text.c_str(), "Desktop Quennel", kMbIconWarning);
    InstallOnHold = 0;
    SetNotBusy(main);
    return false;
}

// Disables the command buttons and runs the first stage of an install. The
// backup and the snapshot are checked first: a damaged one starts nothing.
static void StartInstall(PlatWindow main, int themeId, bool exitAfter)
{
    bool saved = themeId == kThemeBackup || themeId == kThemeSnapshot;
    if (saved && !SavedThemeReady(main, themeId))
        return;
    SetBusy(main);
    ExitAfterInstall = exitAfter;
    InstallUnderWay = 1;
    // The timer runs from the start of the first stage; its boxes (a missing
    // theme file, a job that cannot start) must not see the second stage run
    // under them.
    InstallOnHold = 1;
    ConnectWindowCalls();
    if (saved) {
        InstallTheme(themeId, kAllParts, &RunningInstall);
    } else {
        // The run counts as changed from the first write of this install on,
        // whatever ends it (a full disk, the job's report): Cancel and the
        // job's own Cancel then put the snapshot back. An install refused
        // before it wrote anything changes nothing.
        int before = InstalledThisRun;
        InstalledThisRun = 1;
        if (!InstallTheme(themeId, {UseWallpaper, UseColors, UseFonts, UseIcons, UseCursors, UseSounds, UseScreenSaver},
                          &RunningInstall))
            InstalledThisRun = before;
    }
    InstallOnHold = 0;
}

// An unattended run that failed puts back the settings from before it, the
// run's snapshot, and then ends.
static void RestoreAfterFailure(PlatWindow main)
{
    RestoringAfterFailure = 1;
    StartInstall(main, kThemeSnapshot, true);
}

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

void MainApplyUnattended(PlatWindow main, int themeId, const ThemeParts &parts)
{
    UnattendedFailed = 0;
    RestoringAfterFailure = 0;
    DamagedTheme = 0;
    char bitmap[kPathSize];
    if (parts.wallpaper && JoinPath(bitmap, sizeof bitmap, UserDataDir, kWallpaperBitmapName))
        CheckWallpaperJob(CatalogueColorWord(themeId), bitmap);
    UnattendedRestore = RestoreSnapshotAtOnce;
    MainCommand(main, themeId, 0);
    const struct {
        int id, value;
    } ticks[7] = {{IDC_SCREENSAVER, parts.screenSaver}, {IDC_SOUNDS, parts.sounds}, {IDC_CURSORS, parts.cursors},
                  {IDC_WALLPAPER, parts.wallpaper},     {IDC_ICONS, parts.icons},   {IDC_COLORS, parts.colors},
                  {IDC_FONTS, parts.fonts}};
    for (auto &t : ticks) {
        *ChoiceFlag(t.id) = t.value;
        ButtonSetCheck(main, t.id, t.value);
    }
    StartInstall(main, SelectedTheme, true);
}

void MainRevertUnattended(PlatWindow main)
{
    UnattendedFailed = 0;
    RestoringAfterFailure = 0;
    DamagedTheme = 0;
    UnattendedRestore = RestoreSnapshotAtOnce;
    MainCommand(main, IDC_REVERT, 0);
}

void MainCommand(PlatWindow main, int id, intptr_t lParam)
{
    // While an install runs, the mouse is captured but the keyboard still
    // reaches the window (mnemonics, space, Enter, Esc): such commands must not
    // change a choice or start a second install. The one command that counts
    // then is the Cancel that follows the wallpaper job's report of a full disk.
    if (InstallUnderWay && !(id == kIdCancel && lParam == 0))
        return;
    switch (id) {
    case kIdOk:
        if (ChoicesUnchanged == 1 && !WindowIsEnabled(WindowItem(main, IDC_APPLY)))
            WindowDestroy(main);
        else
            StartInstall(main, SelectedTheme, true);
        return;
    case kIdCancel:
        if (InstalledThisRun == 1)
            StartInstall(main, kThemeSnapshot, true);
        else
            WindowDestroy(main);
        return;
    case IDC_APPLY:
        StartInstall(main, SelectedTheme, false);
        return;
    case IDC_REVERT:
        StartInstall(main, kThemeBackup, true);
        return;
    case IDC_ABOUT:
        RunAboutBox(main);
        WindowFocus(WindowItem(main, IDC_ABOUT));
        return;
    default:
        break;
    }
    if (id >= IDC_BLACK && id <= IDC_GREEN) {
        MessageSend(WindowItem(main, SelectedTheme), IBM_SETSTATE, 0, 0);
        SelectedTheme = id;
        MessageSend(WindowItem(main, id), IBM_SETSTATE, 1, 0);
    } else if (int *flag = ChoiceFlag(id)) {
        *flag = *flag == 0 ? 1 : 0;
        ButtonSetCheck(main, id, *flag);
    } else {
        return;
    }
    ChoicesUnchanged = 0;
    WindowEnable(WindowItem(main, IDC_APPLY), true);
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

int WaitWallpaperDone()
{
    return !WallpaperThread || ThreadWait(WallpaperThread, 10) == kWaitObject0;
}

void MainTimerTick(PlatWindow main)
{
    PlatWindow status = WindowItem(main, IDC_STATUS);
    char now[200], next[201];
    WindowGetText(status, now, sizeof now);
    SlideStatusText(now, StatusSlideStep, next);
    StatusSlideStep = (StatusSlideStep + 1) % 40;
    WindowSetText(status, next);
    // A job that ended with a report has posted it before it ended: the
    // report's Cancel, not the second stage, ends this install.
    if (!InstallOnHold && WaitWallpaperDone() && !WallpaperReport[0])
        MessageSend(main, WM_FINISHINSTALL, 0, 0);
}

void MainFinishInstall(PlatWindow main)
{
    TimerStop(main, kInstallTimer);
    StatusSlideStep = 0;
    FinishThemeInstall(RunningInstall);
    CloseWallpaperThread();  // it has ended
    InstallUnderWay = 0;
    if (!RunningInstall.valuesLeft.empty()) {
        // A Cancel or a Revert put the user's settings back but for these,
        // which the install's log record names too.
        PartlyInstalled = 1;
        if (!Unattended)
            MessageBoxShow(main, ValuesLeftText(RunningInstall).c_str(), "Desktop Quennel", kMbIconWarning);
    }
    if (UnattendedFailed && !RestoringAfterFailure) {
        RestoreAfterFailure(main);
        return;
    }
    if (ExitAfterInstall == 1) {
        WindowDestroy(main);
        return;
    }
    SetNotBusy(main);
    ChoicesUnchanged = 1;
    InstalledThisRun = 1;
    WindowSetText(WindowItem(main, IDC_STATUS), kStatusPrompt);
}

void MainWallpaperFailed(PlatWindow main)
{
    if (!WallpaperReport[0])
        return;  // already shown, at shutdown
    char text[sizeof WallpaperReport];
    (void)CopyText(text, sizeof text, WallpaperReport);  // the same size
    WallpaperReport[0] = 0;
    InstallOnHold = 1;
    MainReport(main, text, kWallpaperFailedCaption, kMbIconWarning);
    InstallOnHold = 0;
    if (Unattended) {
        if (!RestoringAfterFailure)
            RestoreAfterFailure(main);
        return;
    }
    // Sent, not posted: no timer tick comes between the box and the Cancel.
    MessageSend(main, kWmCommand, kIdCancel, 0);
}

bool MainClose(PlatWindow main)
{
    if (InstallUnderWay)
        return false;  // Alt+F4 during an install: the install ends the program or the window stays
    if (ChoicesUnchanged == 1)
        return true;
    switch (MessageBoxShow(main, "Would you like the new settings applied?", "Desktop Quennel",
                           kMbYesNoCancel | kMbIconQuestion)) {
    case kIdYes:
        MainCommand(main, kIdOk, 0);
        break;
    case kIdNo:
        WindowDestroy(main);
        break;
    default:
        break;
    }
    return false;
}

void MainDestroy(PlatWindow main)
{
    // A wallpaper job still running (the run is ending after the job's own
    // Cancel) finishes its file work and its registry record first: the
    // program never ends under it.
    CloseWallpaperThread();
    if (WallpaperReport[0]) {
        // The disk filled up while the window was closing: the report posted
        // to it will never be handled, so it is shown here, with no owner,
        // and no Cancel follows. Nothing may tick under this box.
        char text[sizeof WallpaperReport];
        (void)CopyText(text, sizeof text, WallpaperReport);  // the same size
        WallpaperReport[0] = 0;
        TimerStop(main, kInstallTimer);
        InstallOnHold = 1;
        MainReport(nullptr, text, kWallpaperFailedCaption, kMbIconWarning);
    }
    UnattendedRestore = nullptr;  // the snapshot goes now
    char path[kPathSize];
    if (JoinPath(path, sizeof path, UserDataDir, kWallpaperCopyName))
        FileDelete(path);
    if (JoinPath(path, sizeof path, UserDataDir, "\\Restore.theme"))
        FileDelete(path);
    MessageLoopQuit(DamagedTheme == kThemeBackup     ? kExitBackupDamaged
                    : UnattendedFailed || DamagedTheme ? kExitCannotApply
                    : Unattended && PartlyInstalled  ? kExitPartlyReverted
                                                     : kExitClosed);
}

const char *ToolTipText(int id)
{
    static const char *const colors[5][2] = {
        {"Black theme", "Install black theme"}, {"Red theme", "Install red theme"},
        {"White theme", "Install white theme"}, {"Blue theme", "Install blue theme"},
        {"Green theme", "Install green theme"}};
    static const char *const parts[7][2] = {
        {"Current screen saver will remain", "Use the Zorva screen saver"},
        {"Current sound scheme will remain", "Use this theme's sounds"},
        {"Current mouse pointers will remain", "Use this theme's mouse pointers"},
        {"Current wallpaper will remain", "Use this theme's wallpaper"},
        {"Current icons will remain", "Use this theme's icons"},
        {"Current color scheme will remain", "Use this theme's colors"},
        {"Current fonts will remain", "Use this theme's fonts"}};
    switch (id) {
    case kIdOk: return "Change to the theme and exit";
    case kIdCancel: return "Restore previous settings and exit";
    case IDC_APPLY: return "Change the system to use the selected theme";
    case IDC_REVERT: return "Restore settings from before Zorva was installed";
    case IDC_ABOUT: return "Display info about the application";
    default: break;
    }
    if (id >= IDC_BLACK && id <= IDC_GREEN)
        return colors[id - IDC_BLACK][id == SelectedTheme];
    if (int *flag = ChoiceFlag(id))
        return parts[id - IDC_SCREENSAVER][*flag == 1];
    return nullptr;
}

intptr_t MainWindowMessage(PlatWindow main, unsigned message, uintptr_t wParam, intptr_t lParam, bool *handled)
{
    *handled = true;
    switch (message) {
    case kWmCommand:
        MainCommand(main, (int)(wParam & 0xFFFF), lParam);
        return 0;
    case kWmTimer:
        MainTimerTick(main);
        return 0;
    case WM_FINISHINSTALL:
        MainFinishInstall(main);
        return 0;
    case WM_WALLPAPERFAILED:
        MainWallpaperFailed(main);
        return 0;
    case kWmClose:
        *handled = !MainClose(main);
        return 0;
    case kWmDestroy:
        MainDestroy(main);
        return 0;
    case kWmDpiChanged: {
        // The suggested rectangle, a RECT: four 32-bit coordinates.
        const int32_t *r = (const int32_t *)lParam;
        MainDpiChanged(main, (int)(wParam & 0xFFFF), PixelRect{r[0], r[1], r[2], r[3]});
        return 0;
    }
    default:
        *handled = false;
        return 0;
    }
}
