// The real program under Wine on the monitors that scripts/run-on-monitors.sh
// makes (Wine without its virtual desktop, which is always one monitor): the
// wallpaper bitmap holds, in each monitor's rectangle, the bitmap that
// `quennel-art render` makes for that monitor's size and the screen's depth;
// the style shows it across the monitors; a Cancel gives the user's wallpaper
// and style back. The ordinary run, on one virtual desktop, leaves these out.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/controls.h"
#include "tests/testart.h"
#include "tests/testing.h"
#include "tests/shown_bitmap.h"
#include "tests/wintesting.h"

namespace {

const char kMainClass[] = "ZORVATHEME_MainClass";

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        ((std::vector<MONITORINFO> *)list)->push_back(info);
    return TRUE;
}

class ProgramOnMonitors : public MachineTest {
protected:
    std::string folder, user, bitmap;
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;
    std::vector<MONITORINFO> monitors;
    int depth = 0;

    void SetUp() override
    {
        MachineTest::SetUp();
        EnumDisplayMonitors(nullptr, nullptr, AddMonitor, (LPARAM)&monitors);
        HDC dc = GetDC(nullptr);
        depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
        ReleaseDC(nullptr, dc);
        folder = "C:\\QuennelMonitors" + std::to_string(GetCurrentProcessId()) + " " + kCyrillicName;
        ASSERT_TRUE(MakeFolder(folder));
        ASSERT_TRUE(CopyFileW(Wide(TestFolder() + "\\..\\app\\DesktopQuennel.exe").c_str(),
                              Wide(folder + "\\DesktopQuennel.exe").c_str(), FALSE));
        for (const char *color : {"BLACK", "RED", "WHITE", "BLUE", "GREEN"})
            WriteWholeFile(folder + "\\Zorva The Vandrel " + color + ".theme",
                           "[Control Panel\\Colors]\r\nActiveTitle=1 2 3\r\n");
        SetThemeFolder(folder);
        InstallTestArt();
        user = UserDataFolder();
        bitmap = user + "\\Zorva The Vandrel.BMP";
        ForgetUsersFiles();
        // The user's own wallpaper, fitted to each monitor.
        SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", "Wallpaper", "C:\\users\\mine.bmp");
        SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", "WallpaperStyle", "6");
        SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", "TileWallpaper", "0");
    }
    void ForgetUsersFiles()
    {
        for (const char *name : {"\\ZorvaBackup.theme", "\\Restore.theme", "\\Zorva The Vandrel.BMP",
                                 "\\Zorva The Vandrel.SAV"})
            FileDelete((user + name).c_str());
    }
    void TearDown() override
    {
        if (pi.hProcess)
            ProcessEnd(pi, kPatience);
        SetThemeFolder("");
        RemoveFolderTree(folder);
        ForgetUsersFiles();
        MachineTest::TearDown();
    }
    bool StartWithWindow()
    {
        std::wstring command = Wide("\"" + folder + "\\DesktopQuennel.exe\"");
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, Wide(folder).c_str(), &si,
                            &pi))
            return false;
        WaitForInputIdle(pi.hProcess, kPatience);
        return WaitFor([&] { return (main = ProcessWindow(pi.dwProcessId, kMainClass)) != nullptr; }, kPatience);
    }
    void Command(int id)
    {
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(main, id));
    }
    DWORD ExitCode() { return ProcessEnd(pi, kPatience); }
    bool Idle()
    {
        return WaitFor([&] { return Text(GetDlgItem(main, IDC_STATUS)).find("Choose the Zorva color") == 0; },
                       kPatience);
    }
    // Whether the system has the span style: Windows 8 (6.2) and later.
    static bool SpanSystem()
    {
        OSVERSIONINFOEXW eight = {};
        eight.dwOSVersionInfoSize = sizeof eight;
        eight.dwMajorVersion = 6;
        eight.dwMinorVersion = 2;
        DWORDLONG condition = VerSetConditionMask(VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL),
                                                  VER_MINORVERSION, VER_GREATER_EQUAL);
        return VerifyVersionInfoW(&eight, VER_MAJORVERSION | VER_MINORVERSION, condition) != FALSE;
    }
    // The style of a bitmap across several monitors on this system.
    static std::string SeveralStyle() { return SpanSystem() ? "22" : "0"; }
    std::string Desktop(const char *name) { return ReadRegistry(kRegCurrentUser, "Control Panel\\Desktop", name); }

    // `quennel-art render` of the red art at width x height and the screen's
    // depth: the bitmap of one monitor of that size.
    std::string Render(int width, int height)
    {
        static int counter;
        std::string out = "C:\\quennel-monitor-" + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(++counter) + ".bmp";
        std::string art = WinDir() + "\\ZORVA\\RED";
        std::wstring command = Wide("\"" + TestFolder() + "\\..\\tools\\quennel-art.exe\" render \"" + art +
                                    ".ART\" \"" + art + ".tr\" --size " + std::to_string(width) + "x" +
                                    std::to_string(height) + " --depth " + std::to_string(depth) + " -o " + out);
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION tool{};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &tool))
            return "<no tool>";
        DWORD code = ProcessEnd(tool, kPatience);
        std::string made = ReadWholeFile(out);
        FileDelete(out.c_str());
        return code == 0 ? made : "<exit " + std::to_string(code) + ">";
    }
};

TEST_F(ProgramOnMonitors, DISABLED_EachMonitorItsOwnPicture)
{
    ASSERT_FALSE(monitors.empty());
    ASSERT_TRUE(StartWithWindow());
    Command(IDC_RED);
    Command(IDOK);
    ASSERT_EQ(0u, ExitCode());
    Shown made(ReadWholeFile(bitmap));
    EXPECT_EQ(bitmap, Desktop("Wallpaper"));

    if (monitors.size() == 1) {
        // One monitor: the bitmap as it always was, in the theme's style.
        // The tool writes the pixels per metre of a 96 dpi screen, the
        // program the screen's own (bytes 38 to 45 of the header).
        const RECT &r = monitors[0].rcMonitor;
        std::string own = Render(r.right - r.left, r.bottom - r.top);
        ASSERT_EQ(own.size(), made.file.size());
        EXPECT_EQ(own.substr(0, 38), made.file.substr(0, 38));
        EXPECT_TRUE(own.substr(46) == made.file.substr(46)) << "one monitor, byte for byte";
        EXPECT_EQ("2", Desktop("WallpaperStyle"));
        EXPECT_EQ("0", Desktop("TileWallpaper"));
        return;
    }
    // Spanned from the virtual screen's corner; this bed's monitors are
    // side by side from the primary's corner, where Windows 7's tiles
    // would start too.
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    ASSERT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), made.width);
    ASSERT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), made.height);
    EXPECT_EQ(depth == 8 || depth == 16 ? depth / 8 : 3, made.bytes);
    for (const MONITORINFO &m : monitors) {
        const RECT &r = m.rcMonitor;
        SCOPED_TRACE("the monitor at " + std::to_string(r.left) + "," + std::to_string(r.top));
        Shown own(Render(r.right - r.left, r.bottom - r.top));
        ASSERT_EQ(r.right - r.left, own.width) << own.file.substr(0, 40);
        int wrong = 0;
        for (int y = 0; y < own.height; y++)
            for (int x = 0; x < own.width; x++)
                wrong += memcmp(made.At(r.left - left + x, r.top - top + y), own.At(x, y), (size_t)made.bytes) != 0;
        EXPECT_EQ(0, wrong) << "pixels unlike the monitor's own picture";
    }
    EXPECT_EQ(SeveralStyle(), Desktop("WallpaperStyle"));
    EXPECT_EQ(SpanSystem() ? "0" : "1", Desktop("TileWallpaper"));
}

TEST_F(ProgramOnMonitors, DISABLED_CancelGivesTheUsersWallpaperAndStyleBack)
{
    ASSERT_TRUE(StartWithWindow());
    Command(IDC_BLUE);
    Command(IDC_APPLY);
    ASSERT_TRUE(WaitFor([&] { return Desktop("Wallpaper") == bitmap; }, kPatience));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(monitors.size() > 1 ? SeveralStyle() : "2", Desktop("WallpaperStyle"));
    Command(IDCANCEL);
    EXPECT_EQ(0u, ExitCode());
    EXPECT_EQ("C:\\users\\mine.bmp", Desktop("Wallpaper"));
    EXPECT_EQ("6", Desktop("WallpaperStyle"));
    EXPECT_EQ("0", Desktop("TileWallpaper"));
}

}  // namespace
