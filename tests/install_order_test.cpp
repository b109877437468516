// The order in which an install talks to the system, read from the simulated
// Windows' event log.
#include "install/installtheme.h"
#include "platform/host/host.h"
#include "tests/testing.h"

#include <string>
#include <vector>

namespace {

// The events that start with any of the given beginnings, in order; the
// colour list of a SetSysColors call is left out.
std::vector<std::string> EventsWith(const std::vector<std::string> &beginnings)
{
    std::vector<std::string> picked;
    for (const std::string &e : HostEvents())
        for (const std::string &b : beginnings)
            if (e.compare(0, b.size(), b) == 0) {
                picked.push_back(e.compare(0, 10, "syscolors ") ? e : e.substr(0, e.find(' ', 10)));
                break;
            }
    return picked;
}

class InstallOrder : public MachineTest {
protected:
    std::string themes;
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeTestMainWindow();
        themes = NewFolder();
        ProfileWriteString("Zorva", "switcher", themes.c_str(), "control.ini");
        PlatKey key;
        for (const char *path : {"Control Panel\\Cursors", "Control Panel\\Appearance", "AppEvents\\Schemes",
                                 "AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current"}) {
            RegistryCreate(kRegCurrentUser, path, kKeySetValue, &key);
            RegistryClose(key);
        }
        std::string file = themes + "\\Zorva The Vandrel WHITE.theme";
        std::string icon = "76 0 0 0 ", nonclient = "84 1 0 0 ";
        for (int i = 4; i < 76; i++)
            icon += "1 ";
        for (int i = 4; i < 340; i++)
            nonclient += "2 ";
        ProfileWriteString("Metrics", "IconMetrics", icon.c_str(), file.c_str());
        ProfileWriteString("Metrics", "NonclientMetrics", nonclient.c_str(), file.c_str());
        ProfileWriteString("Control Panel\\Colors", "ActiveTitle", "0 0 128", file.c_str());
        ProfileWriteString("Control Panel\\Cursors", "Arrow", "%ThemeDir%a.cur", file.c_str());
        ProfileWriteString("Control Panel\\Cursors", "DefaultValue", "Scheme", file.c_str());
        HostClearEvents();
    }
};

TEST_F(InstallOrder, FirstStage)
{
    InstallTheme(kThemeWhite, 0, 1, 1, 1, 1, 1, 1);
    EXPECT_EQ((std::vector<std::string>{
                  "capture #0",
                  "cursor wait",
                  "timer start #0 1 100",
                  "window text #113 = \"Setting desktop colors...\"",
                  "reg set HKCU\\Control Panel\\Colors [ActiveTitle] = \"0 0 128\"",
                  "reg set HKCU\\Control Panel\\Colors [InfoWindow] = \"\"",
                  "reg flush HKCU\\Control Panel\\Colors",
                  "reg close HKCU\\Control Panel\\Colors",
                  "syscolors 25",
                  "reg set HKCU\\Control Panel\\Appearance [Current] = \"\"",
                  "window update #0",
                  "window text #113 = \"Setting desktop fonts...\"",
                  "window update #113",
                  "spi 46 param 0 flags 3",
                  "broadcast WM_WININICHANGE 46 WindowMetrics",
                  "spi 42 param 0 flags 3",
                  "broadcast WM_WININICHANGE 42 WindowMetrics",
                  "window update #0",
              }),
              EventsWith({"capture", "cursor", "timer", "window", "reg set HKCU\\Control Panel\\Colors [ActiveTitle]",
                          "reg set HKCU\\Control Panel\\Colors [InfoWindow]", "reg flush HKCU\\Control Panel\\Colors",
                          "reg close HKCU\\Control Panel\\Colors", "syscolors", "reg set HKCU\\Control Panel\\Appearance",
                          "spi", "broadcast"}));
}

TEST_F(InstallOrder, SecondStage)
{
    InstallTheme(kThemeWhite, 0, 0, 0, 1, 1, 1, 1);
    HostClearEvents();
    FinishThemeInstall();
    EXPECT_EQ((std::vector<std::string>{
                  "window text #113 = \"Changing the desktop icons...\"",
                  "shell notify 0x08000000",
                  "spi 88 param 0 flags 3",
                  "reg set HKCU\\Control Panel\\Cursors [Arrow] = \"" + themes + "\\a.cur\"",
                  "reg set HKCU\\Control Panel\\Cursors [] = \"Scheme\"",
                  "spi 87 param 0 flags 1",
                  "reg set HKCU\\Control Panel\\Cursors [] = \"\"",
                  "window text #113 = \"Changing the cursors...\"",
                  "window text #113 = \"Setting the sounds...\"",
                  "reg set HKCU\\AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current [] = \"\"",
                  "reg set HKCU\\AppEvents\\Schemes [] = \" \"",
                  "window text #113 = \"Setting the screen saver...\"",
                  "spi 17 param 1 flags 0",
                  "release capture",
                  "cursor arrow",
                  "shell notify 0x00008000",
              }),
              EventsWith({"window text", "shell", "spi", "reg set HKCU\\Control Panel\\Cursors [Arrow]",
                          "reg set HKCU\\Control Panel\\Cursors []", "reg set HKCU\\AppEvents", "release", "cursor"}));
    HostLive live = HostLiveState();
    EXPECT_EQ(nullptr, live.capture);
    EXPECT_EQ(kCursorArrow, live.cursor);
}

}  // namespace
