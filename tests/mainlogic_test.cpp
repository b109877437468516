// The main window's command logic, driven through the simulated windows the
// way the real window procedure drives it.
#include "app/mainlogic.h"

#include "app/commandline.h"
#include "app/installrun.h"
#include "app/scheduledialoglogic.h"
#include "app/schedulerun.h"
#include "app/startup.h"
#include "app/unattended.h"

#include "base/apperror.h"
#include "app/windowcalls.h"
#include "app/windowcalls.h"
#include "backup/backup.h"
#include "install/installtheme.h"
#include "wallpaper/wallpaperjob.h"
#include "platform/host/host.h"
#include "platform/host/host_exit.h"
#include "tests/testart.h"
#include "tests/testing.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

int AboutBoxRuns;

class MainLogic : public MachineTest {
protected:
    PlatWindow main;
    MainState state;
    std::string program, user;

    void SetUp() override
    {
        MachineTest::SetUp();
        state = MainState{};
        main = MakeHostMainWindow(&state);
        AppWindow.aboutBox = [](PlatWindow) { AboutBoxRuns++; };
        char dir[kPathSize];
        ProgramFolder(dir, sizeof dir);
        program = dir;
        user = UserDataFolder();
        for (const char *color : {"BLACK", "RED", "WHITE", "BLUE", "GREEN"})
            WriteWholeFile(program + "\\Zorva The Vandrel " + color + ".theme", "[Control Panel\\Colors]\r\n");
        InstallTestArt();
        WallpaperThread = nullptr;
        AboutBoxRuns = 0;
        // Window creation, as the real window procedure runs it.
        MainTakeSnapshots(&state);
        WindowSetText(Item(IDC_STATUS), kStatusPrompt);
        ShowChoices(main, state.choices);
        WindowFocus(Item(IDC_APPLY));
        HostClearEvents();
    }
    void TearDown() override
    {
        AppWindow = {};
        MachineTest::TearDown();
    }

    PlatWindow Item(int id) { return WindowItem(main, id); }
    void Command(int id) { MainCommand(main, &state, id, (intptr_t)Item(id)); }  // as from the control
    // A timer tick once the wallpaper job, if any, has ended.
    void Tick()
    {
        if (WallpaperThread)
            ThreadWait(WallpaperThread, 30000);
        MainTimerTick(main, &state);
    }
    std::string Status() { return HostWindowText(Item(IDC_STATUS)); }
    bool Destroyed() { return HostWindowInfo(main).destroyed; }
    // The message loop during an install: posted messages, and timer ticks
    // that poll the job while it runs on its thread; until the install has
    // ended or the window is gone.
    bool RunInstall()
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (state.installUnderWay && !Destroyed()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            HostDispatchPosted();
            if (state.installUnderWay && !Destroyed())
                MainTimerTick(main, &state);
        }
        return true;
    }
};

const std::string kFullDiskReport = std::string("Out of disk space on drive C: creating new Wallpaper !\n"
                                                "Please free some disk space and try again\nKTB Customer Support ") +
                                    kSupportPhone + "\n";

TEST_F(MainLogic, StartsWithWhiteAndEveryPart)
{
    EXPECT_EQ(IDC_WHITE, state.choices.theme);
    for (int id = IDC_BLACK; id <= IDC_GREEN; id++)
        EXPECT_EQ(id == IDC_WHITE ? 1u : 0u, HostWindowInfo(Item(id)).state) << id;
    for (int id = IDC_SCREENSAVER; id <= IDC_FONTS; id++)
        EXPECT_EQ(1, HostWindowInfo(Item(id)).check) << id;
    EXPECT_EQ(1, state.choices.parts.screenSaver + state.choices.parts.sounds + state.choices.parts.cursors + state.choices.parts.wallpaper + state.choices.parts.icons + state.choices.parts.colors + state.choices.parts.fonts - 6);
    EXPECT_TRUE(FileExists(user + "\\ZorvaBackup.theme"));
    EXPECT_TRUE(FileExists(user + "\\Restore.theme"));
}

TEST_F(MainLogic, OkRightAfterStartInstallsWhiteAndEnds)
{
    Command(kIdOk);
    EXPECT_FALSE(WindowIsEnabled(Item(kIdOk)));
    EXPECT_FALSE(WindowIsEnabled(Item(IDC_ABOUT)));
    EXPECT_EQ(program + "\\Zorva The Vandrel WHITE.theme", state.running.theme.file);
    EXPECT_EQ(1, state.running.parts.wallpaper + state.running.parts.colors + state.running.parts.fonts +
                         state.running.parts.icons + state.running.parts.cursors + state.running.parts.sounds +
                         state.running.parts.screenSaver - 6);
    EXPECT_FALSE(Destroyed());
    Tick();  // the first tick after the job ends the install
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(0, HostLiveState().quitCode);
    EXPECT_FALSE(FileExists(user + "\\Restore.theme")) << "the run's snapshot goes at shutdown";
    EXPECT_TRUE(FileExists(user + "\\ZorvaBackup.theme"));
}

TEST_F(MainLogic, ApplyThenOkEndsWithoutInstalling)
{
    Command(IDC_APPLY);
    Tick();
    EXPECT_FALSE(Destroyed());
    EXPECT_FALSE(WindowIsEnabled(Item(IDC_APPLY)));
    EXPECT_TRUE(WindowIsEnabled(Item(kIdOk)));
    EXPECT_EQ(Item(kIdOk), HostLiveState().focus) << "the focus goes to an enabled control";
    EXPECT_EQ(kStatusPrompt, Status());
    EXPECT_EQ(1, state.installedThisRun);
    HostClearEvents();
    Command(kIdOk);
    EXPECT_TRUE(Destroyed());
    for (const std::string &e : HostEvents())
        EXPECT_NE("capture #0", e) << "no second install";
}

TEST_F(MainLogic, CancelAfterApplyRestoresSnapshot)
{
    Command(IDC_BLUE);
    Command(IDC_APPLY);
    Tick();
    EXPECT_EQ(program + "\\Zorva The Vandrel BLUE.theme", state.running.theme.file);
    Command(kIdCancel);
    EXPECT_EQ(user + "\\Restore.theme", state.running.theme.file);
    Tick();
    EXPECT_TRUE(Destroyed());
}

TEST_F(MainLogic, CancelBeforeInstallEndsAtOnce)
{
    Command(kIdCancel);
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(0, HostLiveState().quitCode);
}

TEST_F(MainLogic, RevertInstallsBackupAndEnds)
{
    MainCommand(main, &state, IDC_REVERT, 0);  // as "/r" sends it
    EXPECT_EQ(user + "\\ZorvaBackup.theme", state.running.theme.file);
    Tick();
    EXPECT_TRUE(Destroyed());
}

TEST_F(MainLogic, KeyboardCannotInterruptAnInstall)
{
    Command(IDC_APPLY);
    Command(IDC_BLUE);
    Command(IDC_SOUNDS);
    Command(IDC_APPLY);
    Command(kIdOk);
    Command(IDC_ABOUT);
    EXPECT_FALSE(MainClose(main, &state)) << "Alt+F4 waits for the install";
    EXPECT_EQ(IDC_WHITE, state.choices.theme);
    EXPECT_EQ(1, state.choices.parts.sounds);
    EXPECT_EQ(0, AboutBoxRuns);
    EXPECT_EQ(0, state.exitAfterInstall);
    // The wallpaper job's own Cancel (posted with no control) still counts:
    // the Apply's first stage has changed the settings, so the snapshot goes
    // back before the run ends.
    MessagePost(main, kWmCommand, kIdCancel, 0);
    HostDispatchPosted();
    EXPECT_EQ(user + "\\Restore.theme", state.running.theme.file);
    ASSERT_TRUE(RunInstall());
    EXPECT_TRUE(Destroyed());
}

TEST_F(MainLogic, ChoicesAndTooltips)
{
    EXPECT_STREQ("Install white theme", ToolTipText(state.choices, IDC_WHITE));
    EXPECT_STREQ("Blue theme", ToolTipText(state.choices, IDC_BLUE));
    EXPECT_STREQ("Use this theme's sounds", ToolTipText(state.choices, IDC_SOUNDS));
    EXPECT_STREQ("Restore settings from before Zorva was installed", ToolTipText(state.choices, IDC_REVERT));
    EXPECT_EQ(nullptr, ToolTipText(state.choices, IDC_STATUS));
    Command(IDC_APPLY);
    Tick();
    EXPECT_FALSE(WindowIsEnabled(Item(IDC_APPLY)));

    Command(IDC_BLUE);
    EXPECT_EQ(0u, HostWindowInfo(Item(IDC_WHITE)).state);
    EXPECT_EQ(1u, HostWindowInfo(Item(IDC_BLUE)).state);
    EXPECT_TRUE(WindowIsEnabled(Item(IDC_APPLY)));
    EXPECT_EQ(0, state.choices.unchanged);
    EXPECT_STREQ("Install blue theme", ToolTipText(state.choices, IDC_BLUE));
    EXPECT_STREQ("White theme", ToolTipText(state.choices, IDC_WHITE));

    Command(IDC_SOUNDS);
    EXPECT_EQ(0, state.choices.parts.sounds);
    EXPECT_EQ(0, HostWindowInfo(Item(IDC_SOUNDS)).check);
    EXPECT_STREQ("Current sound scheme will remain", ToolTipText(state.choices, IDC_SOUNDS));
    Command(IDC_SOUNDS);
    EXPECT_EQ(1, state.choices.parts.sounds);

    Command(IDC_APPLY);
    Tick();
    Command(IDC_BLUE);  // the selected colour again still counts as a change
    EXPECT_EQ(0, state.choices.unchanged);
    EXPECT_TRUE(WindowIsEnabled(Item(IDC_APPLY)));

    Command(IDC_ABOUT);
    EXPECT_EQ(1, AboutBoxRuns);
    EXPECT_EQ(Item(IDC_ABOUT), HostLiveState().focus);
}

// The colour buttons as a screen reader reads them through the window
// procedure, and the group's keys: role 0x2D is ROLE_SYSTEM_RADIOBUTTON, the
// state bits STATE_SYSTEM_FOCUSABLE 0x100000, _CHECKED 0x10 and _FOCUSED 0x4
// (oleacc.h); the window shows white, blue, black, red, green in that order.
TEST_F(MainLogic, ColourGroupReadAndWalkedByKeys)
{
    const struct {
        int id;
        const char *name;
    } buttons[] = {{IDC_BLACK, "Black"}, {IDC_RED, "Red"}, {IDC_WHITE, "White"}, {IDC_BLUE, "Blue"}, {IDC_GREEN, "Green"}};
    auto read = [&](int id) {
        ColorButtonAccess access = {0, "", 0};
        EXPECT_EQ(1, MessageSend(main, WM_COLORACCESS, id, (intptr_t)&access)) << id;
        return access;
    };
    auto expectGroup = [&](int chosen, int focused, const char *after) {
        for (auto &b : buttons) {
            ColorButtonAccess access = read(b.id);
            EXPECT_EQ(0x2D, access.role) << after;
            EXPECT_STREQ(b.name, access.name) << after;
            EXPECT_EQ(0x100000u | (b.id == chosen ? 0x10u : 0u) | (b.id == focused ? 0x4u : 0u), access.state)
                << b.name << " after " << after;
            EXPECT_EQ(b.id == chosen ? 1u : 0u, HostWindowInfo(Item(b.id)).state) << b.name << " after " << after;
        }
    };
    expectGroup(IDC_WHITE, 0, "start");
    ColorButtonAccess untouched = {7, "x", 7};
    EXPECT_EQ(0, MessageSend(main, WM_COLORACCESS, IDC_APPLY, (intptr_t)&untouched));
    EXPECT_EQ(7, untouched.role);

    // Tab enters the group on the chosen colour, which changes nothing.
    WindowFocus(Item(IDC_WHITE));
    MessageSend(main, WM_COLORFOCUS, IDC_WHITE, 0);
    EXPECT_TRUE(state.choices.unchanged);
    expectGroup(IDC_WHITE, IDC_WHITE, "the focus");
    const struct {
        unsigned key;
        const char *name;
        int then;
    } walk[] = {{0x27, "Right", IDC_BLUE}, {0x28, "Down", IDC_BLACK}, {0x28, "Down", IDC_RED},
                {0x27, "Right", IDC_GREEN}, {0x27, "Right", IDC_WHITE}, {0x25, "Left", IDC_GREEN},
                {0x26, "Up", IDC_RED},      {0x20, "Space", IDC_RED}};
    int on = IDC_WHITE;
    for (auto &step : walk) {
        EXPECT_EQ(1, MessageSend(main, WM_COLORKEY, step.key, on)) << step.name;
        on = step.then;
        EXPECT_EQ(step.then, state.choices.theme) << step.name;
        EXPECT_EQ(Item(step.then), HostLiveState().focus) << step.name;
        expectGroup(step.then, step.then, step.name);
    }
    EXPECT_FALSE(state.choices.unchanged);
    EXPECT_TRUE(WindowIsEnabled(Item(IDC_APPLY)));
    EXPECT_EQ(0, MessageSend(main, WM_COLORKEY, 'A', on)) << "other keys are the window's";
    // A click's focus on another colour chooses it.
    MessageSend(main, WM_COLORFOCUS, IDC_BLUE, 0);
    EXPECT_EQ(IDC_BLUE, state.choices.theme);

    // While an install runs, the keys leave the choice and the focus.
    WindowFocus(Item(IDC_BLUE));
    Command(IDC_APPLY);
    ASSERT_TRUE(state.installUnderWay);
    EXPECT_EQ(1, MessageSend(main, WM_COLORKEY, 0x27, IDC_BLUE));
    MessageSend(main, WM_COLORFOCUS, IDC_RED, 0);
    EXPECT_EQ(IDC_BLUE, state.choices.theme);
    EXPECT_EQ(Item(IDC_BLUE), HostLiveState().focus);
    ASSERT_TRUE(RunInstall());
}

TEST_F(MainLogic, ClosingAsks)
{
    EXPECT_TRUE(MainClose(main, &state)) << "nothing changed: no question";
    Command(IDC_RED);
    HostAnswerBoxes({kIdCancel, kIdNo});
    EXPECT_FALSE(MainClose(main, &state));
    EXPECT_FALSE(Destroyed());
    HostLive live = HostLiveState();
    ASSERT_EQ(1u, live.boxes.size());
    EXPECT_EQ("Would you like the new settings applied?", live.boxes[0].text);
    EXPECT_EQ(kMbYesNoCancel | kMbIconQuestion, live.boxes[0].style);
    EXPECT_FALSE(MainClose(main, &state));
    EXPECT_TRUE(Destroyed());
}

TEST_F(MainLogic, ClosingWithYesInstallsAndEnds)
{
    Command(IDC_GREEN);
    HostAnswerBoxes({kIdYes});
    EXPECT_FALSE(MainClose(main, &state));
    EXPECT_NE(std::string::npos, std::string(state.running.theme.file).find("GREEN"));
    Tick();
    EXPECT_TRUE(Destroyed());
}

// The install's order where it matters, each part found by its first event
// in the log: the colours are set before the wallpaper job starts, the second
// stage waits for the job's end (the ticks poll the job meanwhile), and then
// icons, cursors, sounds and the screen saver follow in that order.
TEST_F(MainLogic, InstallOrder)
{
    Command(IDC_APPLY);
    ASSERT_TRUE(RunInstall());
    const std::vector<std::string> events = HostEvents();
    auto first = [&](std::initializer_list<const char *> marks) {
        for (size_t i = 0; i < events.size(); i++)
            for (const char *mark : marks)
                if (events[i].find(mark) != std::string::npos)
                    return (long)i;
        return -1L;
    };
    const long colours = first({"syscolors"}), jobStart = first({"thread start"}), jobEnd = first({"thread end"});
    const long wallpaper = first({"spi 20 "}), icons = first({"HKCR\\", "spi 88 "}),
               cursors = first({"Control Panel\\Cursors", "spi 87 "}), sounds = first({"AppEvents"}),
               saver = first({"system.ini", "spi 17 "});
    for (long at : {colours, jobStart, jobEnd, wallpaper, icons, cursors, sounds, saver})
        ASSERT_NE(-1, at);
    EXPECT_LT(colours, jobStart);
    EXPECT_LT(jobEnd, std::min({wallpaper, icons, cursors, sounds, saver}));
    EXPECT_LT(icons, cursors);
    EXPECT_LT(cursors, sounds);
    EXPECT_LT(sounds, saver);
}

std::atomic<int> JobGate, JobDone;

unsigned long SlowJob(void *)
{
    while (!JobGate)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    JobDone = 1;
    return 1;
}

TEST_F(MainLogic, StatusSlidesWhileTheJobRuns)
{
    state.choices.parts.wallpaper = 0;  // the job below stands in for the wallpaper job
    Command(IDC_APPLY);
    JobGate = 0;
    WallpaperThread = ThreadStart(SlowJob, nullptr);
    WindowSetText(Item(IDC_STATUS), "Creating the wallpaper...");
    for (int tick = 1; tick <= 20; tick++)
        MainTimerTick(main, &state);
    EXPECT_EQ(std::string(20, ' ') + "Creating the wallpaper...", Status());
    for (int tick = 1; tick <= 25; tick++)
        MainTimerTick(main, &state);
    EXPECT_EQ(std::string(5, ' ') + "Creating the wallpaper...", Status()) << "40 ticks later, one place further";
    EXPECT_FALSE(WindowIsEnabled(Item(kIdOk))) << "still installing";
    JobGate = 1;
    Tick();
    EXPECT_EQ(kStatusPrompt, Status());
    EXPECT_EQ(0, state.statusSlideStep);
    EXPECT_EQ(nullptr, WallpaperThread);
}

TEST_F(MainLogic, ClosingWaitsForARunningJob)
{
    JobGate = 0;
    JobDone = 0;
    WallpaperThread = ThreadStart(SlowJob, nullptr);
    HostOnUnboundedWait([] { JobGate = 1; });  // the job ends only once the window waits for it
    Command(kIdCancel);
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(1, JobDone) << "the job ended before the window's shutdown went on";
    JobGate = 1;
}

TEST_F(MainLogic, ApplyWhileTheJobRuns)
{
    HostSetScreen(320, 200, 16);
    Command(IDC_APPLY);
    ASSERT_NE(nullptr, WallpaperThread);
    Command(kIdCancel);                // Esc
    MainCommand(main, &state, IDC_REVERT, 0);  // as "/r" sends it
    EXPECT_EQ(program + "\\Zorva The Vandrel WHITE.theme", state.running.theme.file) << "no second install during the job";
    ASSERT_TRUE(RunInstall());
    EXPECT_FALSE(Destroyed());
    EXPECT_EQ(nullptr, WallpaperThread);
    EXPECT_EQ(kStatusPrompt, Status());
    EXPECT_EQ(user + "\\Zorva The Vandrel.BMP", HostLiveState().wallpaper);
    EXPECT_TRUE(HostLiveState().boxes.empty());
}

// An Apply without the wallpaper leaves the wallpaper as it is, whatever an
// Apply before it made.
TEST_F(MainLogic, ApplyWithoutTheWallpaperLeavesIt)
{
    HostSetScreen(320, 200, 16);
    Command(IDC_APPLY);
    ASSERT_TRUE(RunInstall());
    char other[] = "C:\\mine.bmp";
    SystemParameters(kSpiSetDeskWallpaper, 0, other, 0);
    Command(IDC_WALLPAPER);
    Command(IDC_APPLY);
    ASSERT_TRUE(RunInstall());
    EXPECT_EQ("C:\\mine.bmp", HostLiveState().wallpaper);
}

TEST_F(MainLogic, FullDiskOnTheRunsFirstInstall)
{
    HostSetScreen(320, 200, 16);
    HostSetDiskSpace(5000);
    Command(IDC_APPLY);
    ASSERT_EQ(kWaitObject0, ThreadWait(WallpaperThread, 60000));
    EXPECT_TRUE(HostLiveState().boxes.empty()) << "no box from the job's thread";
    MainTimerTick(main, &state);
    EXPECT_EQ(1, state.installUnderWay) << "the job's report, not the second stage, ends this install";
    HostDispatchPosted();
    HostLive live = HostLiveState();
    ASSERT_EQ(1u, live.boxes.size());
    EXPECT_EQ(main, live.boxes[0].owner);
    EXPECT_EQ("Wallpaper Creation Failed", live.boxes[0].caption);
    EXPECT_EQ(kFullDiskReport, live.boxes[0].text);
    EXPECT_EQ(kMbIconWarning, live.boxes[0].style);
    // The first stage set the theme's colours: the Cancel puts the snapshot
    // back before it ends the program.
    EXPECT_EQ(user + "\\Restore.theme", state.running.theme.file);
    ASSERT_TRUE(RunInstall());
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(0, HostLiveState().quitCode);
    EXPECT_EQ(nullptr, WallpaperThread);
}

TEST_F(MainLogic, FullDiskAfterAnApplyRestoresTheSnapshot)
{
    HostSetScreen(320, 200, 16);
    std::string bitmap = user + "\\Zorva The Vandrel.BMP";
    WriteWholeFile(bitmap, "start of run");
    MainTakeSnapshots(&state);  // again, now with a bitmap to keep
    Command(IDC_APPLY);
    ASSERT_TRUE(RunInstall());
    ASSERT_EQ(1, state.installedThisRun);
    HostSetDiskSpace(5000);
    Command(IDC_APPLY);
    ASSERT_TRUE(RunInstall());  // the job's report, its box, the Cancel, the snapshot's install
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(user + "\\Restore.theme", state.running.theme.file);
    EXPECT_EQ(1u, HostLiveState().boxes.size());
    EXPECT_EQ("start of run", ReadWholeFile(bitmap));
    EXPECT_EQ(nullptr, WallpaperThread);
}

TEST_F(MainLogic, TheJobsCancelWaitsForTheJob)
{
    state.choices.parts.wallpaper = 0;
    Command(IDC_APPLY);
    Tick();
    JobGate = 0;
    JobDone = 0;
    WallpaperThread = ThreadStart(SlowJob, nullptr);  // a job still writing its record after its report
    HostOnUnboundedWait([] { JobGate = 1; });
    MainCommand(main, &state, kIdCancel, 0);
    EXPECT_EQ(1, JobDone) << "the snapshot's install began once the job had ended";
    EXPECT_EQ(user + "\\Restore.theme", state.running.theme.file);
    JobGate = 1;
    Tick();
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(nullptr, WallpaperThread);
}

TEST_F(MainLogic, ClosingWhileTheDiskFills)
{
    HostSetScreen(320, 200, 16);
    HostSetDiskSpace(5000);
    Command(IDC_APPLY);
    ASSERT_NE(nullptr, WallpaperThread);
    WindowDestroy(main);  // the program ends while the job works
    EXPECT_EQ(nullptr, WallpaperThread) << "the job was waited for";
    HostLive live = HostLiveState();
    EXPECT_EQ(0, live.quitCode);
    ASSERT_EQ(1u, live.boxes.size()) << "the report is still shown";
    EXPECT_EQ(nullptr, live.boxes[0].owner);
    EXPECT_EQ("Wallpaper Creation Failed", live.boxes[0].caption);
    EXPECT_EQ(kFullDiskReport, live.boxes[0].text);
    EXPECT_EQ("WHITE", ReadRegistry(kRegCurrentUser, "Software\\ZorvaTheVandrel", "PaperArtFile"))
        << "the job's record was written before the end";
    HostDispatchPosted();  // the report posted to the window that is gone
    EXPECT_EQ(1u, HostLiveState().boxes.size());
}

// Start-up refuses, before anything changes, a folder whose paths would pass
// the system's limit, and names it: the program's own, or the user's.
TEST_F(MainLogic, FoldersTooLongAreNamed)
{
    std::string report;
    ASSERT_NE(0u, ProgramFolder(ProgramDir, sizeof ProgramDir));
    EXPECT_TRUE(MainFoldersUsable(&report)) << report;

    const std::string deep = "C:\\" + std::string(238, 'p');  // the program's own path is 260 units long
    HostSetModulePath((deep + "\\DesktopQuennel.exe").c_str());
    EXPECT_EQ(0u, ProgramFolder(ProgramDir, sizeof ProgramDir));
    EXPECT_FALSE(MainFoldersUsable(&report));
    EXPECT_EQ("The folder\n  " + deep + "\nhas too long a path for the theme's files. Please install Desktop Quennel in "
              "a folder with a shorter path.", report);

    const std::string name(240, 'u');
    HostSetUser(name.c_str());
    EXPECT_FALSE(MakeUserDataFolder(UserDataDir, sizeof UserDataDir));
    EXPECT_FALSE(MainFoldersUsable(&report));
    EXPECT_EQ("Desktop Quennel cannot keep your settings in the folder\n  C:\\users\\" + name +
              "\\AppData\\Local\\Desktop Quennel\nIts path is too long, or the folder cannot be made.", report);
    ProgramDir[0] = 0;
}

// "/apply": the install of Apply and OK, with no box. A failure goes to the
// user's log instead, the run's snapshot puts back the settings from before,
// and the exit code says the theme could not be applied.
class ApplyFromCommandLine : public MainLogic {
protected:
    void SetUp() override
    {
        MainLogic::SetUp();
        HostSetScreen(320, 200, 16);
        WriteWholeFile(program + "\\Zorva The Vandrel BLUE.theme", "[Control Panel\\Colors]\r\nActiveTitle=1 2 3\r\n");
        SetRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle", "9 9 9");
        MainTakeSnapshots(&state);  // again, with the colour of the run's start
        Unattended = 1;
        UnattendedFailed = 0;
    }
    void TearDown() override
    {
        Unattended = 0;
        UnattendedFailed = 0;
        UnattendedExitCode = 0;
        UnattendedRestore = nullptr;
        MainLogic::TearDown();
    }
    std::string Colour() { return ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle"); }
    std::string Log() { return ReadWholeFile(user + "\\assertFile.txt"); }
};

// A damaged backup or snapshot is never installed: the settings stay as they
// are now. Revert and Cancel in the window say so in one box and keep the
// window for the user's next command; "/r" shows nothing and ends with its
// own code.
TEST_F(ApplyFromCommandLine, DamagedSavedThemesChangeNothing)
{
    Unattended = 0;
    const std::string backup = user + "\\ZorvaBackup.theme", snapshot = user + "\\Restore.theme";
    // A capture cut before its cursors; the other damages are the check's own test's.
    const std::string whole = ReadWholeFile(backup);
    const std::string damaged = whole.substr(0, whole.find(Utf16Bytes("[Control Panel\\Cursors]").substr(0, 40)));
    ASSERT_LT(damaged.size(), whole.size());
    enum Way { kRevert, kCancel, kSilentRevert };
    for (Way way : {kRevert, kCancel, kSilentRevert}) {
        SCOPED_TRACE(way == kRevert ? "Revert" : way == kCancel ? "Cancel" : "/r");
        SetUp();
        Unattended = 0;
        if (way == kCancel) {
            Command(IDC_BLUE);
            Command(IDC_APPLY);
            ASSERT_TRUE(RunInstall());
            ASSERT_EQ("1 2 3", Colour());
        } else {
            SetRegistry(kRegCurrentUser, "Control Panel\\Colors", "ActiveTitle", "1 2 3");
        }
        WriteWholeFile(way == kCancel ? snapshot : backup, damaged);
        HostClearEvents();
        if (way == kSilentRevert) {
            Unattended = 1;
            UnattendedExitCode = kExitCannotApply;
            MainRevertUnattended(main, &state);
        } else {
            Command(way == kRevert ? IDC_REVERT : kIdCancel);
        }
        ASSERT_TRUE(RunInstall());
        EXPECT_EQ("1 2 3", Colour()) << "nothing changed";
        for (const std::string &e : HostEvents())
            for (const char *change : {"reg set ", "reg delete ", "spi ", "syscolors ", "profile write "})
                EXPECT_NE(0, e.compare(0, strlen(change), change)) << e;
        EXPECT_EQ(damaged, ReadWholeFile(way == kCancel ? snapshot : backup)) << "kept as it was";
        std::vector<HostBox> boxes = HostLiveState().boxes;
        if (way == kSilentRevert) {
            EXPECT_TRUE(Destroyed());
            EXPECT_EQ(kExitBackupDamaged, HostLiveState().quitCode);
            EXPECT_TRUE(boxes.empty());
            EXPECT_NE(std::string::npos, Log().find("is damaged")) << Log();
        } else {
            EXPECT_FALSE(Destroyed()) << "the window waits for the user";
            ASSERT_EQ(1u, boxes.size());
            EXPECT_EQ("Desktop Quennel", boxes[0].caption);
            EXPECT_NE(std::string::npos, boxes[0].text.find("Nothing was changed.")) << boxes[0].text;
            EXPECT_NE(std::string::npos, boxes[0].text.find(way == kCancel ? snapshot : backup)) << boxes[0].text;
            for (int id : {kIdOk, kIdCancel, IDC_REVERT, IDC_ABOUT})
                EXPECT_TRUE(HostWindowInfo(Item(id)).enabled) << id;
            EXPECT_EQ(0, state.installUnderWay);
        }
        TearDown();
    }
    SetUp();
}

// The job's report of a full disk on the run's first Apply: its Cancel finds
// the snapshot damaged, says so, and no second stage of the Apply follows.
TEST_F(ApplyFromCommandLine, DamagedSnapshotAfterAFailedApply)
{
    Unattended = 0;
    WriteWholeFile(user + "\\Restore.theme", "\xFF\xFE");
    HostSetDiskSpace(3000);
    Command(IDC_BLUE);
    Command(IDC_APPLY);
    ASSERT_TRUE(RunInstall());
    HostSetDiskSpace(-1);
    for (int i = 0; i < 3; i++)
        MainTimerTick(main, &state);
    std::vector<HostBox> boxes = HostLiveState().boxes;
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Wallpaper Creation Failed", boxes[0].caption);
    EXPECT_NE(std::string::npos, boxes[1].text.find("Nothing was changed.")) << boxes[1].text;
    EXPECT_FALSE(Destroyed());
    EXPECT_TRUE(HostLiveState().timers.empty());
    EXPECT_EQ(nullptr, HostLiveState().capture);
    EXPECT_EQ(0, state.installUnderWay);
}

const char kWaitCursor[] = "Control Panel\\Cursors";
const char kDefaultSound[] = "AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current";

// A backup whose wait cursor and default sound would pass the system's limit
// once their folder is filled in (a damaged or hand-edited file), the rest
// ordinary; the user has changed the colour since.
class RevertWithLongPaths : public ApplyFromCommandLine {
protected:
    void SetUp() override
    {
        ApplyFromCommandLine::SetUp();
        Unattended = 0;
        MakeKey(kRegCurrentUser, kWaitCursor);
        MakeKey(kRegCurrentUser, kDefaultSound);
        SetRegistry(kRegCurrentUser, kWaitCursor, "Wait", "C:\\mine.ani");
        SetRegistry(kRegCurrentUser, kDefaultSound, nullptr, "C:\\mine.wav");
        // A whole capture, then the values as damaged.
        std::string backup = user + "\\ZorvaBackup.theme";
        WriteWholeFile(backup, "\xFF\xFE");
        ASSERT_TRUE(CaptureAllSettings(backup.c_str()));
        ProfileWriteString(kWaitCursor, "Wait", ("%WinDir%" + std::string(300, 'w')).c_str(), backup.c_str());
        ProfileWriteString(kDefaultSound, "DefaultValue", ("%ThemeDir%" + std::string(3000, 's')).c_str(),
                           backup.c_str());
        ProfileWriteString("Control Panel\\Colors", "ActiveTitle", "4 5 6", backup.c_str());
        FileDelete((user + "\\assertFile.txt").c_str());
    }
    void ExpectPartlyReverted()
    {
        EXPECT_TRUE(Destroyed());
        EXPECT_EQ("4 5 6", Colour());
        EXPECT_EQ("C:\\mine.ani", ReadRegistry(kRegCurrentUser, kWaitCursor, "Wait"));
        EXPECT_EQ("C:\\mine.wav", ReadRegistry(kRegCurrentUser, kDefaultSound, nullptr));
        EXPECT_NE(std::string::npos, Log().find("Control Panel\\Cursors: Wait\r\n")) << Log();
        EXPECT_NE(std::string::npos, Log().find(std::string(kDefaultSound) + ": DefaultValue\r\n")) << Log();
    }
};

// Revert in the window: the rest goes back, and one box names the two.
TEST_F(RevertWithLongPaths, TheWindowNamesWhatItLeft)
{
    Command(IDC_REVERT);
    ASSERT_TRUE(RunInstall());
    ExpectPartlyReverted();
    EXPECT_EQ(kExitClosed, HostLiveState().quitCode);
    ASSERT_EQ(1u, HostLiveState().boxes.size());
    const HostBox box = HostLiveState().boxes[0];
    EXPECT_EQ("Desktop Quennel", box.caption);
    EXPECT_NE(std::string::npos, box.text.find("\n  Control Panel\\Cursors: Wait")) << box.text;
    EXPECT_NE(std::string::npos, box.text.find(std::string("\n  ") + kDefaultSound + ": DefaultValue")) << box.text;
    EXPECT_EQ(std::string::npos, box.text.find("shorter path")) << "no folder is too long";
}

// "/r": nothing shows, the run ends by itself, and its code says that some
// values were left as they were.
TEST_F(RevertWithLongPaths, SilentRevertShowsNothingAndSaysSo)
{
    Unattended = 1;
    UnattendedExitCode = kExitCannotApply;
    MainRevertUnattended(main, &state);
    ASSERT_TRUE(RunInstall());
    ExpectPartlyReverted();
    EXPECT_EQ(kExitPartlyReverted, HostLiveState().quitCode);
    EXPECT_TRUE(HostLiveState().boxes.empty());
}

// A failed check once the pre-check has passed, here on the window's thread:
// the run's snapshot goes back before the process ends with its code.
TEST_F(ApplyFromCommandLine, FailedCheckPutsTheSettingsBack)
{
    UnattendedExitCode = kExitCannotApply;
    MainApplyUnattended(main, &state, IDC_BLUE, ThemeParts{0, 1, 0, 0, 0, 0, 0});
    EXPECT_EQ("1 2 3", Colour());
    int code = -1;
    HostThrowOnExit(true);
    try {
        AppAssert(0, "probe", 7, "A check fails");
    } catch (const HostProcessExit &exit) {
        code = exit.code;
    }
    HostThrowOnExit(false);
    EXPECT_EQ(kExitCannotApply, code);
    EXPECT_EQ("9 9 9", Colour());
    size_t failed = Log().find("A check fails"), back = Log().find("The settings from before this run were put back.");
    EXPECT_NE(std::string::npos, failed) << Log();
    EXPECT_TRUE(back != std::string::npos && back > failed) << Log();
}

// The same on the wallpaper job's thread: a screen wider than any picture
// that the job makes, which only the job finds out.
TEST_F(ApplyFromCommandLine, FailedCheckOfTheJobPutsTheSettingsBack)
{
    UnattendedExitCode = kExitCannotApply;
    HostSetScreen(40000, 16, 16);
    EXPECT_EXIT(
        {
            MainApplyUnattended(main, &state, IDC_BLUE, ThemeParts{1, 1, 0, 0, 0, 0, 0});
            ThreadWait(WallpaperThread, 60000);  // the job ends the process
        },
        ::testing::ExitedWithCode(kExitCannotApply), "");
    EXPECT_NE(std::string::npos, Log().find("The settings from before this run were put back.")) << Log();
}

TEST_F(ApplyFromCommandLine, TheChosenPartsAndNothingElse)
{
    MainApplyUnattended(main, &state, IDC_BLUE, ThemeParts{1, 1, 0, 0, 0, 0, 0});
    ASSERT_TRUE(RunInstall());
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(kExitClosed, HostLiveState().quitCode);
    EXPECT_TRUE(HostLiveState().boxes.empty());
    EXPECT_EQ("1 2 3", Colour());
    EXPECT_EQ(user + "\\Zorva The Vandrel.BMP", HostLiveState().wallpaper);
    const ThemeParts &parts = state.running.parts;
    EXPECT_EQ(0, parts.fonts + parts.icons + parts.cursors + parts.sounds + parts.screenSaver);
    EXPECT_EQ("<missing>", Log());
}

TEST_F(ApplyFromCommandLine, MissingThemeFileIsLoggedAndChangesNothing)
{
    FileDelete((program + "\\Zorva The Vandrel BLUE.theme").c_str());
    MainApplyUnattended(main, &state, IDC_BLUE, ThemeParts{0, 1, 1, 1, 1, 1, 1});
    ASSERT_TRUE(RunInstall());
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(kExitCannotApply, HostLiveState().quitCode);
    EXPECT_TRUE(HostLiveState().boxes.empty());
    EXPECT_NE(std::string::npos, Log().find("Cannot find the theme file")) << Log();
    EXPECT_EQ("9 9 9", Colour());
}

// With a contrast theme on, an Apply of every part keeps the colours and
// says so once: in the window's status line after the install, in the log of
// "/apply", which still ends as applied.
TEST_F(ApplyFromCommandLine, ContrastThemeSaidOnce)
{
    for (bool unattended : {false, true}) {
        SCOPED_TRACE(unattended ? "/apply" : "the window");
        SetUp();
        HostSetHighContrast(true);
        Unattended = unattended;
        if (unattended) {
            MainApplyUnattended(main, &state, IDC_BLUE, kAllParts);
        } else {
            Command(IDC_BLUE);
            Command(IDC_APPLY);
        }
        ASSERT_TRUE(RunInstall());
        EXPECT_EQ("9 9 9", Colour()) << "the contrast theme's colours kept";
        const std::string log = Log(), said = kContrastKept;
        size_t first = log.find(said);
        EXPECT_EQ(unattended, first != std::string::npos) << log;
        EXPECT_EQ(std::string::npos, first == std::string::npos ? first : log.find(said, first + 1)) << "once";
        if (unattended) {
            EXPECT_EQ(kExitClosed, HostLiveState().quitCode);
        } else {
            EXPECT_EQ(said, Status());
        }
        TearDown();
    }
    SetUp();
}

TEST_F(ApplyFromCommandLine, FullDiskPutsTheSettingsBack)
{
    HostSetDiskSpace(5000);
    MainApplyUnattended(main, &state, IDC_BLUE, ThemeParts{1, 1, 1, 1, 1, 1, 1});
    ASSERT_TRUE(RunInstall());  // the colours, the job's report, the snapshot's install
    HostSetDiskSpace(-1);
    EXPECT_TRUE(Destroyed());
    EXPECT_EQ(kExitCannotApply, HostLiveState().quitCode);
    EXPECT_TRUE(HostLiveState().boxes.empty()) << "the report goes to the log, which the full disk cannot take";
    EXPECT_EQ("9 9 9", Colour()) << "the settings of the run's start";
}

// A missing art file is found before anything changes: its report goes to the
// log and the run ends with its own code.
TEST_F(ApplyFromCommandLine, MissingArtEndsBeforeAnythingChanges)
{
    FileDelete((WinDir() + "\\ZORVA\\BLUE.ART").c_str());
    UnattendedExitCode = kExitCannotApply;
    EXPECT_EXIT(MainApplyUnattended(main, &state, IDC_BLUE, ThemeParts{1, 1, 1, 1, 1, 1, 1}),
                ::testing::ExitedWithCode(kExitCannotApply), "");
    EXPECT_NE(std::string::npos, Log().find("BLUE.ART could not be opened")) << Log();
    EXPECT_EQ("9 9 9", Colour());
}

TEST(CommandLine, WordsAndTheirProblems)
{
    auto parse = [](std::vector<std::string> words, const char *raw = "") { return ParseCommandLine(raw, words); };
    EXPECT_EQ(kRunWindow, parse({}).kind);
    EXPECT_EQ(kRunRevert, parse({"/r"}, "/r").kind);
    EXPECT_EQ(kRunWindow, parse({"/R"}, "/R").kind) << "only the exact switch";
    EXPECT_EQ(kRunWindow, parse({"/other"}).kind);
    EXPECT_EQ(kRunUsage, parse({"/?"}).kind);

    ProgramCommand c = parse({"/Apply", "gReEn"});
    EXPECT_EQ(kRunApply, c.kind);
    EXPECT_EQ(IDC_GREEN, c.themeId);
    EXPECT_EQ(7, c.parts.wallpaper + c.parts.colors + c.parts.fonts + c.parts.icons + c.parts.cursors +
                     c.parts.sounds + c.parts.screenSaver);
    c = parse({"/apply", "red", "/parts", "wallpaper,COLORS"});
    EXPECT_EQ(kRunApply, c.kind);
    EXPECT_EQ(IDC_RED, c.themeId);
    EXPECT_TRUE(c.parts.wallpaper && c.parts.colors);
    EXPECT_EQ(0, c.parts.fonts + c.parts.icons + c.parts.cursors + c.parts.sounds + c.parts.screenSaver);

    const struct {
        std::vector<std::string> words;
        const char *problem;
    } bad[] = {{{"/apply"}, "/apply needs a colour"},
               {{"/apply", "purple"}, "\"purple\" is not one of the colours"},
               {{"/apply", "red", "wallpaper"}, "\"wallpaper\" is not /parts"},
               {{"/apply", "red", "/parts"}, "/parts needs a list of parts"},
               {{"/apply", "red", "/parts", "wallpaper,,fonts"}, "an empty part in the list \"wallpaper,,fonts\""},
               {{"/apply", "red", "/parts", "cursor"}, "\"cursor\" is not a part of a theme"},
               {{"/apply", "red", "/parts", "fonts", "now"}, "\"now\" after the list"},
               {{"/?", "x"}, "/? takes nothing after it"},
               {{"/apply", "scheduled", "x"}, "/apply scheduled takes nothing after it"},
               {{"/schedule", "white", "black", "07:00"},
                "/schedule needs a day colour, a night colour and two times, or sun and a place"},
               {{"/schedule", "white", "purple", "07:00", "20:00"}, "\"purple\" is not one of the colours"},
               {{"/schedule", "white", "black", "25:00", "20:00"}, "\"25:00\" is not a time from 00:00 to 23:59"},
               {{"/schedule", "white", "black", "7:00", "20:00"}, "\"7:00\" is not a time from 00:00 to 23:59"},
               {{"/schedule", "white", "black", "07:00", "07:00"}, "the day and the night cannot begin at the same time"},
               {{"/schedule", "white", "black", "sun", "51.5"}, "sun needs a latitude and a longitude"},
               {{"/schedule", "white", "black", "sun", "90.01", "0"}, "\"90.01\" is not a latitude in degrees, from -90 to 90"},
               {{"/schedule", "white", "black", "sun", "0", "-180.5"},
                "\"-180.5\" is not a longitude in degrees, from -180 to 180"},
               {{"/schedule", "white", "black", "sun", "0", "0", "/parts"}, "/parts needs a list of parts"},
               {{"/schedule", "off", "now"}, "\"now\" after /schedule off"}};
    const struct {
        std::vector<std::string> words;
        CommandKind kind;
    } schedules[] = {{{"/schedule"}, kRunScheduleShow},
                     {{"/SCHEDULE", "Off"}, kRunScheduleOff},
                     {{"/schedule", "off", "ALL"}, kRunScheduleOffAll},
                     {{"/apply", "Scheduled"}, kRunApplyScheduled}};
    for (auto &g : schedules)
        EXPECT_EQ(g.kind, parse(g.words).kind) << g.words[0];
    c = parse({"/schedule", "Blue", "red", "sun", "-33.9", "151.2", "/parts", "wallpaper"});
    ASSERT_EQ(kRunSchedule, c.kind) << c.problem;
    EXPECT_EQ(IDC_BLUE, c.schedule.dayTheme);
    EXPECT_EQ(IDC_RED, c.schedule.nightTheme);
    EXPECT_EQ(kScheduleAtSun, c.schedule.mode);
    EXPECT_DOUBLE_EQ(-33.9, c.schedule.latitude);
    EXPECT_DOUBLE_EQ(151.2, c.schedule.longitude);
    EXPECT_EQ("wallpaper", FormatPartList(c.schedule.parts));
    c = parse({"/schedule", "white", "black", "23:59", "00:00"});
    ASSERT_EQ(kRunSchedule, c.kind) << c.problem;
    EXPECT_EQ(1439, c.schedule.dayMinute);
    EXPECT_EQ(0, c.schedule.nightMinute);

    for (auto &b : bad) {
        c = parse(b.words);
        EXPECT_EQ(kRunBadArguments, c.kind) << b.problem;
        EXPECT_EQ(b.problem, c.problem);
    }
}

TEST(StatusSlide, Steps)
{
    char out[201];
    SlideStatusText("abc", 0, out);
    EXPECT_STREQ(" abc", out);
    SlideStatusText(" abc", 20, out);
    EXPECT_STREQ("abc", out);
    SlideStatusText("", 39, out);
    EXPECT_STREQ("", out);
    std::string full(199, 'x');
    SlideStatusText(full.c_str(), 5, out);
    EXPECT_EQ(200u, strlen(out));
}

// What a screen reader is told: a new text, never a step of the slide.
TEST(StatusSlide, OnlyNewTextsAreNews)
{
    const struct {
        const char *before, *after;
        bool news;
    } cases[] = {{"Applying", " Applying", false},     {"     Applying", "    Applying", false},
                 {"Applying", "Applying", false},      {"", "   ", false},
                 {" Applying", "Applied", true},       {"Applying", "Applying the wallpaper", true},
                 {"Applying the wallpaper", "Applying", true}, {"", "Ready", true}, {"Ready", "", true}};
    for (auto &c : cases)
        EXPECT_EQ(c.news, StatusTextNews(c.before, c.after)) << "\"" << c.before << "\" to \"" << c.after << "\"";
}

// The Schedule dialog's fields: what each makes, or the control to correct
// and the words that name the problem.
TEST(ScheduleDialog, FieldsMakeAScheduleOrNameTheProblem)
{
    const ThemeParts colors = {0, 1, 0, 0, 0, 0, 0};
    auto times = [&](const char *day, const char *night) {
        return ScheduleFields{kThemeWhite, kThemeBlack, false, day, night, "x", "y", colors};
    };
    auto sun = [&](const char *latitude, const char *longitude) {
        return ScheduleFields{kThemeBlue, kThemeRed, true, "x", "x", latitude, longitude, colors};
    };
    const struct {
        ScheduleFields fields;
        ScheduleMode mode;
        int dayMinute, nightMinute;
        double latitude, longitude;
    } good[] = {
        {times("07:00", "20:00"), kScheduleAtTimes, 420, 1200, 0, 0},
        {times(" 7:05 ", "19:30"), kScheduleAtTimes, 425, 1170, 0, 0},  // spaces, a one-digit hour
        {times("23:59", "00:00"), kScheduleAtTimes, 1439, 0, 0, 0},
        {sun("51.4779", "-0.0015"), kScheduleAtSun, 0, 0, 51.4779, -0.0015},  // the times not read
        {sun("-90", "180"), kScheduleAtSun, 0, 0, -90, 180},
        {sun(" +69.65", "18.96 "), kScheduleAtSun, 0, 0, 69.65, 18.96},
    };
    for (const auto &g : good) {
        Schedule s;
        std::string problem;
        int control = -1;
        ASSERT_TRUE(ScheduleFromFields(g.fields, &s, &problem, &control)) << problem;
        EXPECT_EQ(g.fields.dayTheme, s.dayTheme);
        EXPECT_EQ(g.fields.nightTheme, s.nightTheme);
        EXPECT_EQ(g.mode, s.mode);
        if (g.mode == kScheduleAtTimes) {
            EXPECT_EQ(g.dayMinute, s.dayMinute) << g.fields.dayTime;
            EXPECT_EQ(g.nightMinute, s.nightMinute) << g.fields.nightTime;
        } else {
            EXPECT_DOUBLE_EQ(g.latitude, s.latitude) << g.fields.latitude;
            EXPECT_DOUBLE_EQ(g.longitude, s.longitude) << g.fields.longitude;
        }
        EXPECT_EQ(1, s.parts.colors);
        EXPECT_EQ(0, s.parts.wallpaper + s.parts.fonts + s.parts.icons + s.parts.cursors + s.parts.sounds +
                         s.parts.screenSaver);
        EXPECT_EQ(0, s.appliedFrom);
    }

    ScheduleFields noParts = times("07:00", "20:00"), noDay = noParts, noNight = noParts;
    noParts.parts = ThemeParts{0, 0, 0, 0, 0, 0, 0};
    noDay.dayTheme = 0;
    noNight.nightTheme = kThemeSnapshot;
    const struct {
        ScheduleFields fields;
        int control;
        const char *problem;
    } bad[] = {
        {times("25:00", "20:00"), IDC_SCHEDULE_DAYTIME,
         "The day's time \"25:00\" is not a time from 00:00 to 23:59 (HH:MM)."},
        {times("07:00", "20:00:00"), IDC_SCHEDULE_NIGHTTIME, "The night's time \"20:00:00\" is not"},
        {times("07:00", "  "), IDC_SCHEDULE_NIGHTTIME, "The night's time is empty: type a time"},
        {times("07:00", "7:00"), IDC_SCHEDULE_NIGHTTIME, "The day and the night cannot begin at the same time."},
        {sun("90.5", "0"), IDC_SCHEDULE_LATITUDE,
         "The latitude \"90.5\" is not a latitude in degrees from -90 to 90, north positive."},
        {sun("0", "-180.01"), IDC_SCHEDULE_LONGITUDE, "The longitude \"-180.01\" is not"},
        {sun("0", ""), IDC_SCHEDULE_LONGITUDE, "The longitude is empty"},
        {noParts, IDC_SCREENSAVER, "Tick at least one part of the theme."},
        {noDay, IDC_SCHEDULE_DAY, "Choose a theme for the day and one for the night."},
        {noNight, IDC_SCHEDULE_NIGHT, "Choose a theme"},
    };
    for (const auto &b : bad) {
        Schedule s = {};
        s.appliedFrom = 77;  // a sentinel: a refused field leaves the schedule alone
        std::string problem;
        int control = 0;
        EXPECT_FALSE(ScheduleFromFields(b.fields, &s, &problem, &control)) << b.problem;
        EXPECT_EQ(b.control, control) << b.problem;
        EXPECT_NE(std::string::npos, problem.find(b.problem)) << problem;
        EXPECT_EQ(77, s.appliedFrom);
    }
}

// A schedule made in the dialog at 12:00 UTC, blue from 07:00 and red from
// 20:00: one task; the window applies blue with the schedule's parts at once
// and, once that install has ended, records the period begun at 07:00, so
// that the schedule's own run at 12:00 has nothing to do. The dialog opens with the schedule; a Task Scheduler out
// of reach and a bad field change nothing; "Turn off" ends it.
TEST_F(MainLogic, ScheduleFromTheDialog)
{
    const long long noon = 1780315200;  // 2026-06-01 12:00 UTC, the host's zone
    ScheduleFields fields;
    bool exists = true;
    state.choices.parts.sounds = 0;
    ScheduleDialogFields(state.choices, &fields, &exists);
    EXPECT_FALSE(exists);
    EXPECT_EQ(kThemeWhite, fields.dayTheme);
    EXPECT_EQ(kThemeBlack, fields.nightTheme);
    EXPECT_FALSE(fields.atSun);
    EXPECT_EQ("07:00", fields.dayTime);
    EXPECT_EQ("20:00", fields.nightTime);
    EXPECT_EQ(0, fields.parts.sounds) << "the window's ticks";
    EXPECT_EQ(1, fields.parts.wallpaper);

    fields.dayTheme = kThemeBlue;
    fields.nightTheme = kThemeRed;
    fields.parts = ThemeParts{0, 1, 1, 0, 0, 0, 0};  // colours and fonts
    Schedule made;
    int control = -1;
    ASSERT_TRUE(ScheduleDialogSchedule(main, fields, noon, &made, &control));
    EXPECT_EQ(1u, HostTasks().size());
    MainScheduleStarted(main, &state, made, noon);
    EXPECT_EQ(program + "\\Zorva The Vandrel BLUE.theme", state.running.theme.file);
    EXPECT_EQ(1u, HostWindowInfo(Item(IDC_BLUE)).state);
    EXPECT_EQ(0u, HostWindowInfo(Item(IDC_WHITE)).state);
    for (int id : kCheckOrder)
        EXPECT_EQ(id == IDC_COLORS || id == IDC_FONTS ? 1 : 0, HostWindowInfo(Item(id)).check) << id;
    Schedule s;
    ASSERT_EQ(kScheduleHere, ReadSchedule(&s));
    EXPECT_EQ(0, s.appliedFrom) << "not before the install has ended";
    ASSERT_TRUE(RunInstall());
    ASSERT_EQ(kScheduleHere, ReadSchedule(&s));
    EXPECT_EQ(noon - 5 * 3600, s.appliedFrom);
    EXPECT_EQ("Scheduled: blue from 07:00, red from 20:00.", Status());
    EXPECT_FALSE(WindowIsEnabled(Item(IDC_APPLY)));
    int theme = 0;
    ThemeParts parts;
    long long periodStart = 0;
    EXPECT_EQ(kExitClosed, MainScheduledDue(noon + 60, &theme, &parts, &periodStart));

    ScheduleDialogFields(state.choices, &fields, &exists);
    EXPECT_TRUE(exists);
    EXPECT_EQ(kThemeBlue, fields.dayTheme);
    EXPECT_EQ(kThemeRed, fields.nightTheme);
    EXPECT_EQ(1, fields.parts.fonts);
    EXPECT_EQ(0, fields.parts.wallpaper);

    // Refused: nothing registered or written, the box says why.
    HostClearEvents();
    const std::string schedule = ReadWholeFile(user + "\\Schedule.txt");
    ScheduleFields late = fields;
    late.nightTime = "24:00";
    EXPECT_FALSE(ScheduleDialogSchedule(main, late, noon, &made, &control));
    EXPECT_EQ(IDC_SCHEDULE_NIGHTTIME, control);
    HostSetTaskSchedulerReachable(false);
    fields.dayTheme = kThemeGreen;
    EXPECT_FALSE(ScheduleDialogSchedule(main, fields, noon, &made, &control));
    EXPECT_EQ(0, control);
    EXPECT_FALSE(ScheduleDialogTurnOff(main));
    std::vector<HostBox> boxes = HostLiveState().boxes;
    ASSERT_EQ(3u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("\"24:00\""));
    EXPECT_EQ("The Task Scheduler cannot be reached: nothing changed.", boxes[1].text);
    EXPECT_EQ(boxes[1].text, boxes[2].text);
    EXPECT_EQ(schedule, ReadWholeFile(user + "\\Schedule.txt"));
    EXPECT_EQ(1u, HostTasks().size());

    HostSetTaskSchedulerReachable(true);
    EXPECT_TRUE(ScheduleDialogTurnOff(main));
    EXPECT_TRUE(HostTasks().empty());
    EXPECT_EQ(kScheduleNone, ReadSchedule(&s));
}

// A schedule whose theme cannot be installed (its file gone) is registered,
// but its period is not recorded as applied: its own run tries again.
TEST_F(MainLogic, ScheduledThemeThatFailsIsNotRecorded)
{
    const long long noon = 1780315200;
    ASSERT_TRUE(FileDelete((program + "\\Zorva The Vandrel GREEN.theme").c_str()));
    ScheduleFields fields = {kThemeGreen, kThemeBlack, false, "06:00", "18:00", "", "", kAllParts};
    Schedule made, s;
    int control;
    ASSERT_TRUE(ScheduleDialogSchedule(main, fields, noon, &made, &control));
    MainScheduleStarted(main, &state, made, noon);
    ASSERT_TRUE(RunInstall());
    ASSERT_EQ(1u, HostLiveState().boxes.size());
    EXPECT_EQ(0u, HostLiveState().boxes[0].text.find("Cannot find the theme file"));
    ASSERT_EQ(kScheduleHere, ReadSchedule(&s));
    EXPECT_EQ(0, s.appliedFrom);
    EXPECT_EQ(kStatusPrompt, Status());
}

}  // namespace
