// What only the simulated Windows can show: its event log, a full disk, the
// answers of message boxes, a failed thread start, and the live state.
#include "base/processvalues.h"
#include "platform/host/host.h"
#include "tests/testing.h"

#include <string.h>

#include <string>
#include <vector>

using Host = MachineTest;

TEST_F(Host, EventLogKeepsOrder)
{
    PlatKey key;
    RegistryCreate(kRegCurrentUser, "Control Panel\\Colors", kKeySetValue, &key);
    HostClearEvents();
    RegistrySetText(key, "ActiveTitle", "0 0 128");
    RegistryFlush(key);
    RegistryClose(key);
    const int element = 2;
    const uint32_t color = 0x800000;
    SysColorsSet(1, &element, &color);
    BroadcastIniChange(46, "WindowMetrics");
    ShellNotify(kShcneUpdateImage);
    EXPECT_EQ((std::vector<std::string>{
                  "reg set HKCU\\Control Panel\\Colors [ActiveTitle] = \"0 0 128\"",
                  "reg flush HKCU\\Control Panel\\Colors",
                  "reg close HKCU\\Control Panel\\Colors",
                  "syscolors 1 2=800000",
                  "broadcast WM_WININICHANGE 46 WindowMetrics",
                  "shell notify 0x00008000",
              }),
              HostEvents());
}

TEST_F(Host, LiveSettingsAreRecorded)
{
    EXPECT_TRUE(SystemParameters(kSpiSetDeskWallpaper, 0, (void *)"C:\\windows\\Zorva The Vandrel.BMP", kSpifUpdateIniFile));
    EXPECT_TRUE(SystemParameters(kSpiSetScreenSaveActive, 1, nullptr, 0));
    EXPECT_TRUE(SystemParameters(kSpiSetCursors, 0, nullptr, kSpifUpdateIniFile));
    EXPECT_TRUE(SystemParameters(kSpiSetIcons, 0, nullptr, 3));
    HostLive live = HostLiveState();
    EXPECT_EQ("C:\\windows\\Zorva The Vandrel.BMP", live.wallpaper);
    EXPECT_TRUE(live.screenSaveActive);
    EXPECT_EQ(1, live.cursorReloads);
    EXPECT_EQ(1, live.iconReloads);
    // The wallpaper with the update flag is stored in the registry, as Windows does.
    EXPECT_EQ("C:\\windows\\Zorva The Vandrel.BMP", ReadRegistry(kRegCurrentUser, "Control Panel\\Desktop", "Wallpaper"));
}

TEST_F(Host, FullDiskGivesShortWrites)
{
    std::string path = NewFolder() + "\\big.bmp";
    PlatFile *f = FileOpen(path.c_str(), "wbc");
    ASSERT_NE(nullptr, f);
    HostSetDiskSpace(100);
    EXPECT_EQ(60u, FileWrite(std::string(60, 'a').data(), 60, f));
    EXPECT_EQ(40u, FileWrite(std::string(60, 'b').data(), 60, f));
    EXPECT_EQ(0u, FileWrite("c", 1, f));
    FileClose(f);
    HostSetDiskSpace(-1);
    EXPECT_EQ(100u, ReadWholeFile(path).size());
}

TEST_F(Host, FullDiskFailsProfileWrite)
{
    std::string path = NewFolder() + "\\full.ini";
    ASSERT_TRUE(ProfileWriteString("one", "key", "value", path.c_str()));
    std::string before = ReadWholeFile(path);
    HostSetDiskSpace(4);
    EXPECT_FALSE(ProfileWriteString("two", "key", "value", path.c_str()));
    HostSetDiskSpace(-1);
    EXPECT_EQ(before + "[two", ReadWholeFile(path)) << "the rewrite stops where the disk filled up";
}

TEST_F(Host, BoxesAnswerAsScripted)
{
    HostAnswerBoxes({kIdNo, kIdCancel});
    EXPECT_EQ(kIdNo, MessageBoxShow(nullptr, "Would you?", "Desktop Quennel", kMbYesNoCancel | kMbIconQuestion));
    EXPECT_EQ(kIdCancel, MessageBoxShow(nullptr, "Again?", "Desktop Quennel", kMbYesNoCancel));
    EXPECT_EQ(kIdYes, MessageBoxShow(nullptr, "Once more?", "Desktop Quennel", kMbYesNoCancel));
    EXPECT_EQ(kIdOk, MessageBoxShow(nullptr, "Note", "Wallpaper Maker", kMbOk));
    HostLive live = HostLiveState();
    ASSERT_EQ(4u, live.boxes.size());
    EXPECT_EQ("Would you?", live.boxes[0].text);
    EXPECT_EQ(kMbYesNoCancel | kMbIconQuestion, live.boxes[0].style);
    EXPECT_EQ("Wallpaper Maker", live.boxes[3].caption);
}

static unsigned long Never(void *) { return 1; }

TEST_F(Host, ThreadStartCanFail)
{
    HostFailNextThread();
    EXPECT_EQ(nullptr, ThreadStart(Never, nullptr));
    PlatThread t = ThreadStart(Never, nullptr);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(kWaitObject0, ThreadWait(t, 10000));
    ThreadClose(t);
}

TEST_F(Host, TextReadStopsAtControlZ)
{
    std::string path = NewFolder() + "\\palette.tr";
    WriteWholeFile(path, "1 2 3 - 0\r\n\x1A" "4 5 6 - 1\r\n");
    PlatFile *f = FileOpen(path.c_str(), "r");
    char line[64];
    ASSERT_NE(nullptr, FileGets(line, sizeof line, f));
    EXPECT_STREQ("1 2 3 - 0\n", line);
    EXPECT_EQ(nullptr, FileGets(line, sizeof line, f));
    EXPECT_TRUE(FileEof(f));
    FileClose(f);
}

TEST_F(Host, ProgramFolderRule)
{
    char dir[kPathSize];
    HostSetModulePath("C:\\Program Files\\Desktop Quennel\\DesktopQuennel.exe");
    ProgramFolder(dir, sizeof dir);
    EXPECT_STREQ("C:\\Program Files\\Desktop Quennel", dir);
    HostSetModulePath("C:\\DesktopQuennel.exe");
    ProgramFolder(dir, sizeof dir);
    EXPECT_STREQ("C:", dir);
    // A folder longer than the buffer is refused, never cut.
    HostSetModulePath("C:\\Program Files\\Desktop Quennel\\DesktopQuennel.exe");
    memset(dir, '#', sizeof dir);
    EXPECT_EQ(0u, ProgramFolder(dir, 10));
    EXPECT_STREQ("", dir);
    // The user's folder is made in the profile named after the user.
    HostSetUser("Zo\u00eb");
    EXPECT_TRUE(SetProcessValues(nullptr));
    EXPECT_STREQ("C:\\users\\Zo\u00eb\\AppData\\Local\\Desktop Quennel", UserDataDir);
    EXPECT_TRUE(NameExists(UserDataDir));
    // One whose files' paths would be too long is refused.
    HostSetUser(std::string(200, 'u').c_str());
    EXPECT_FALSE(SetProcessValues(nullptr));
    EXPECT_STREQ("", UserDataDir);
}
