// The wallpaper over several monitors: where each monitor's picture lies in
// the bitmap for the span and the tile styles, the bitmap the job makes (each
// monitor's rectangle the picture made at its own size, the rest the
// desktop's colour), and the style the install sets and a Cancel takes back.
#include "wallpaper/bitmapfile.h"
#include "wallpaper/wallpaperjob.h"
#include "wallpaper/wallpaperplan.h"

#include "app/controls.h"
#include "app/windowcalls.h"
#include "base/kernels.h"
#include "backup/backup.h"
#include "install/installtheme.h"
#include "palette/palette.h"
#include "tests/art_testing.h"
#include "tests/shown_bitmap.h"
#include "tests/testart.h"
#include "tests/testing.h"


#include <algorithm>
#include <array>
#include <string>
#include <vector>

#ifndef _WIN32
#include "platform/host/host.h"
#endif

namespace {

// Which picture shows at the bitmap's pixel bx, by (from its top-left
// corner): the monitor's index, -1 for none, -2 for more than one; *x, *y the
// point of that picture.
int PictureAt(const WallpaperPlan &plan, int bx, int by, int *x, int *y)
{
    int found = -1;
    for (int i = 0; i < plan.count; i++) {
        const WallpaperPlace &p = plan.places[i];
        int dx = ((bx - p.left) % plan.width + plan.width) % plan.width;
        int dy = ((by - p.top) % plan.height + plan.height) % plan.height;
        if (dx < p.width && dy < p.height) {
            found = found == -1 ? i : -2;
            *x = dx, *y = dy;
        }
    }
    return found;
}

// Every point of every monitor, on a grid, shows its own monitor's picture at
// its own distance from the monitor's corner, where the system puts the
// bitmap: from the virtual screen's corner (span), or tiled from the
// primary's (tile).
void ExpectEveryPointShowsItsMonitor(const std::vector<PixelRect> &monitors, int primary,
                                     const WallpaperPlan &plan)
{
    int left = monitors[0].left, top = monitors[0].top;
    for (const PixelRect &m : monitors)
        left = m.left < left ? m.left : left, top = m.top < top ? m.top : top;
    int originX = plan.spread == kSpreadTile ? monitors[(size_t)primary].left : left;
    int originY = plan.spread == kSpreadTile ? monitors[(size_t)primary].top : top;
    for (size_t i = 0; i < monitors.size(); i++) {
        const PixelRect &m = monitors[i];
        for (int y = m.top; y < m.bottom; y += 37)
            for (int x = m.left; x < m.right; x += 41) {
                int bx = ((x - originX) % plan.width + plan.width) % plan.width;
                int by = ((y - originY) % plan.height + plan.height) % plan.height;
                int px = -1, py = -1;
                ASSERT_EQ((int)i, PictureAt(plan, bx, by, &px, &py)) << "desktop " << x << "," << y;
                ASSERT_EQ(x - m.left, px);
                ASSERT_EQ(y - m.top, py);
            }
    }
}

// Each plan's bitmap and places, worked by hand from the monitors' rectangles:
// with several monitors the bitmap is the virtual screen; spanned, a place is
// the monitor's corner less the virtual screen's; tiled, less the primary's,
// wrapped into the bitmap. One monitor is its own bitmap whatever the spread.
TEST(MonitorPlan, PlacesOfEachLayout)
{
    using Places = std::vector<std::array<int, 4>>;  // left, top, width, height
    const struct {
        const char *what;
        std::vector<PixelRect> monitors;
        int primary;
        WallpaperSpread asked, spread;
        int width, height;
        Places places;
    } kCases[] = {
        {"one monitor, span", {{0, 0, 1366, 768}}, 0, kSpreadSpan, kSpreadOne, 1366, 768, {{0, 0, 1366, 768}}},
        {"one monitor, tile", {{0, 0, 1366, 768}}, 0, kSpreadTile, kSpreadOne, 1366, 768, {{0, 0, 1366, 768}}},
        // The same places either way: the primary is the corner.
        {"side by side, span", {{0, 0, 1280, 800}, {1280, 0, 2304, 768}}, 0, kSpreadSpan, kSpreadSpan, 2304, 800,
         {{0, 0, 1280, 800}, {1280, 0, 1024, 768}}},
        {"side by side, tile", {{0, 0, 1280, 800}, {1280, 0, 2304, 768}}, 0, kSpreadTile, kSpreadTile, 2304, 800,
         {{0, 0, 1280, 800}, {1280, 0, 1024, 768}}},
        // The primary listed last, one monitor left of it and one above it:
        // the virtual screen runs from -1280, -1440 to 2560, 1124.
        {"left of and above the primary, span", {{-1280, 100, 0, 1124}, {0, -1440, 2560, 0}, {0, 0, 1920, 1080}}, 2,
         kSpreadSpan, kSpreadSpan, 3840, 2564, {{0, 1540, 1280, 1024}, {1280, 0, 2560, 1440}, {1280, 1440, 1920, 1080}}},
        // Tiled from the primary's corner, the left monitor shows the
        // bitmap's right part and the one above its bottom part.
        {"left of and above the primary, tile", {{-1280, 100, 0, 1124}, {0, -1440, 2560, 0}, {0, 0, 1920, 1080}}, 2,
         kSpreadTile, kSpreadTile, 3840, 2564, {{2560, 100, 1280, 1024}, {0, 1124, 2560, 1440}, {0, 0, 1920, 1080}}},
        // A monitor above the primary that reaches left of it: its picture
        // passes the bitmap's right edge and goes on at its left (-512 + 2336);
        // the one right of the primary lies as on the desktop.
        {"a tiled picture wraps past the edge", {{0, 0, 1024, 768}, {-512, -600, 512, 0}, {1024, 0, 1824, 600}}, 0,
         kSpreadTile, kSpreadTile, 2336, 1368, {{0, 0, 1024, 768}, {1824, 768, 1024, 600}, {1024, 0, 800, 600}}},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.what);
        WallpaperPlan plan;
        ASSERT_TRUE(PlanWallpaper(c.monitors.data(), (int)c.monitors.size(), c.primary, c.asked, &plan));
        EXPECT_EQ(c.spread, plan.spread);
        EXPECT_EQ(c.width, plan.width);
        EXPECT_EQ(c.height, plan.height);
        Places places;
        for (int i = 0; i < plan.count; i++)
            places.push_back({plan.places[i].left, plan.places[i].top, plan.places[i].width, plan.places[i].height});
        EXPECT_EQ(c.places, places);
        ExpectEveryPointShowsItsMonitor(c.monitors, c.primary, plan);
    }
}

// A plan that cannot be made is refused, and the plan is left as it was.
TEST(MonitorPlan, RefusesWhatCannotBeMade)
{
    std::vector<PixelRect> many(kMaxWallpaperMonitors + 1);
    for (size_t i = 0; i < many.size(); i++)
        many[i] = PixelRect{(int)i * 10, 0, (int)i * 10 + 10, 10};
    const PixelRect empty[2] = {{0, 0, 800, 600}, {800, 0, 800, 600}};
    const PixelRect far[2] = {{0, 0, 800, 600}, {-70000, 0, -69200, 600}};
    const PixelRect huge[2] = {{0, 0, 15360, 8640}, {0, 8640, 15360, 17280}};
    const struct {
        const char *what;
        const PixelRect *monitors;
        int count, primary;
        bool made;
    } kCases[] = {
        {"no monitor", many.data(), 0, 0, false},
        {"too many", many.data(), kMaxWallpaperMonitors + 1, 0, false},
        {"as many as it holds", many.data(), kMaxWallpaperMonitors, 0, true},
        {"an empty rectangle", empty, 2, 0, false},
        {"no such primary", empty, 1, 1, false},
        {"wider than a bitmap can be", far, 2, 0, false},
        {"more bytes than the job makes", huge, 2, 0, false},
    };
    for (const auto &c : kCases) {
        WallpaperPlan plan;
        plan.width = -7;
        EXPECT_EQ(c.made, PlanWallpaper(c.monitors, c.count, c.primary, kSpreadSpan, &plan)) << c.what;
        if (!c.made) {
            EXPECT_EQ(-7, plan.width) << c.what << ": a refused plan is left as it was";
        }
    }
}

#ifndef _WIN32
class Monitors : public MachineTest {
protected:
    std::string win, art, palette, bitmap, single;
    WallpaperSpread spreadMade = kSpreadOne;  // what the last RunJob's job reported
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeTestMainWindow();
        win = WinDir();
        ASSERT_TRUE(MakeFolder(win + "\\ZORVA"));
        InstallTestArt();
        art = win + "\\ZORVA\\BLUE.ART";
        palette = win + "\\ZORVA\\BLUE.tr";
        bitmap = UserDataFolder() + "\\Zorva The Vandrel.BMP";
        single = UserDataFolder() + "\\one monitor.bmp";
        DiffusionKernel = 2;
    }
    std::string RunJob()
    {
        PlatThread job = StartWallpaperJob("BLUE", bitmap.c_str(), &spreadMade);
        EXPECT_NE(nullptr, job);
        if (!job)
            return "";
        EXPECT_EQ(kWaitObject0, ThreadWait(job, 120000));
        ThreadClose(job);
        return ReadWholeFile(bitmap);
    }
    // The bitmap of one monitor of width x height, the oracle of each
    // monitor's rectangle.
    std::string OneMonitor(int width, int height, int depth)
    {
        EXPECT_TRUE(MakeWallpaperFile(art.c_str(), palette.c_str(), single.c_str(), width, height, depth, 3779, 3779));
        return ReadWholeFile(single);
    }
    // The bitmap's pixel for the desktop's colour at this depth.
    std::string BackgroundPixel(int depth)
    {
        uint32_t c = SysColorGet(kColorBackground);
        uint8_t in[3] = {(uint8_t)(c >> 16), (uint8_t)(c >> 8), (uint8_t)c}, out[4] = {};
        static IndexCache cache;
        StartIndexCache(&cache);
        LoadPalette(palette.c_str());
        ConvertWallpaperPixels(in, out, 1, BitmapDepth(depth), &cache);
        return std::string((const char *)out, (size_t)BitmapDepth(depth) / 8);
    }
    // Each monitor's rectangle, found where the system shows it (the span's
    // corner is the virtual screen's; the tiles start at the primary's), holds
    // the bitmap of that monitor alone; every other pixel is the desktop's.
    void ExpectEachMonitorsOwnPicture(const std::vector<HostMonitor> &monitors, bool tiled, int depth)
    {
        Shown made(RunJob());
        int left = 0, top = 0, right = 0, bottom = 0, originX = 0, originY = 0;
        for (const HostMonitor &m : monitors) {
            left = std::min(left, m.left), top = std::min(top, m.top);
            right = std::max(right, m.left + m.width), bottom = std::max(bottom, m.top + m.height);
        }
        if (!tiled)
            originX = left, originY = top;
        ASSERT_EQ(right - left, made.width);
        ASSERT_EQ(bottom - top, made.height);
        ASSERT_EQ(BitmapDepth(depth) / 8, made.bytes);
        EXPECT_EQ(tiled ? kSpreadTile : kSpreadSpan, spreadMade);
        std::vector<bool> covered((size_t)made.width * made.height);
        for (const HostMonitor &m : monitors) {
            SCOPED_TRACE("the monitor at " + std::to_string(m.left) + "," + std::to_string(m.top));
            Shown own(OneMonitor(m.width, m.height, depth));
            ASSERT_EQ(m.width, own.width);
            int wrong = 0;
            for (int y = 0; y < m.height; y++)
                for (int x = 0; x < m.width; x++) {
                    int bx = ((m.left + x - originX) % made.width + made.width) % made.width;
                    int by = ((m.top + y - originY) % made.height + made.height) % made.height;
                    covered[(size_t)by * made.width + bx] = true;
                    wrong += made.Pixel(bx, by) != own.Pixel(x, y);
                }
            EXPECT_EQ(0, wrong);
        }
        std::string background = BackgroundPixel(depth);
        int wrong = 0, outside = 0;
        for (int y = 0; y < made.height; y++)
            for (int x = 0; x < made.width; x++)
                if (!covered[(size_t)y * made.width + x]) {
                    outside++;
                    wrong += made.Pixel(x, y) != background;
                }
        EXPECT_EQ(0, wrong) << "of " << outside << " pixels outside the monitors";
        for (int y = 0; y < made.height; y++)
            for (size_t pad = (size_t)made.width * made.bytes; pad < made.row; pad++)
                ASSERT_EQ(0, made.file[1078 + (size_t)y * made.row + pad]) << "padding of row " << y;
    }
};

TEST_F(Monitors, SideBySideEachItsOwnPictureAtEveryDepth)
{
    std::vector<HostMonitor> monitors = {{0, 0, 320, 200, true}, {320, 0, 256, 152, false}};
    HostSetMonitors(monitors);
    for (int depth : {24, 16, 8}) {
        SCOPED_TRACE(std::to_string(depth) + " bits");
        HostSetScreen(320, 200, depth);
        HostSetMonitors(monitors);
        ExpectEachMonitorsOwnPicture(monitors, false, depth);
    }
}

TEST_F(Monitors, LeftOfAndAboveThePrimarySpanned)
{
    std::vector<HostMonitor> monitors = {{-256, 40, 256, 160, false}, {0, -120, 300, 120, false},
                                         {0, 0, 320, 200, true}};
    for (int depth : {32, 8}) {
        SCOPED_TRACE(std::to_string(depth) + " bits");
        HostSetScreen(320, 200, depth);
        HostSetMonitors(monitors);
        ExpectEachMonitorsOwnPicture(monitors, false, depth);
    }
}

// Windows 7 has no span style: its tiles start at the primary's corner.
TEST_F(Monitors, LeftOfAndAboveThePrimaryTiledOnWindows7)
{
    HostSetWindowsVersion(6, 1);
    std::vector<HostMonitor> monitors = {{0, 0, 320, 200, true}, {-160, -144, 256, 144, false},
                                         {320, 0, 200, 150, false}};
    for (int depth : {24, 16}) {
        SCOPED_TRACE(std::to_string(depth) + " bits");
        HostSetScreen(320, 200, depth);
        HostSetMonitors(monitors);
        ExpectEachMonitorsOwnPicture(monitors, true, depth);
    }
}

// The one-monitor bitmap as it always was, kept as the FNV-1a hash of the
// file's bytes, recorded once from the job: the kept art DISCS.ART (96 x 72,
// tests/golden/) as BLUE.ART with the test palette, made for a 333 x 201
// screen of 8, 16 and 32 bits with kernel 2, so bitmaps of 8, 16 and 24 bits:
// the headers and the 256-colour table (1078 bytes), then 201 rows bottom-up,
// each 333 pixels padded to a multiple of 4 bytes (336, 668 and 1000 bytes).
// Every level of the instruction set makes the same bytes.
TEST_F(Monitors, OneMonitorMakesTheSameBitmapAsBefore)
{
    WriteWholeFile(art, ReadGoldenFile("DISCS.ART"));
    const struct {
        int depth;
        size_t size;
        uint64_t hash;
    } kBitmaps[] = {
        {8, 1078 + 336 * 201, 0x608ac525357da553ull},
        {16, 1078 + 668 * 201, 0xaaaea49920a24f80ull},
        {32, 1078 + 1000 * 201, 0x2bfbe1f5c312ecfeull},
    };
    for (const auto &b : kBitmaps)
        for (int level = kKernelPlain; level <= BestKernelLevel(); level++) {
            SCOPED_TRACE(std::to_string(b.depth) + " bits, level " + std::to_string(level));
            KernelLevelInUse = (KernelLevel)level;
            HostSetScreen(333, 201, b.depth);
            std::string made = RunJob();
            EXPECT_EQ(b.size, made.size());
            EXPECT_EQ(b.hash, Fnv1a(made));
            EXPECT_EQ(kSpreadOne, spreadMade);
        }
    KernelLevelInUse = BestKernelLevel();
}

// On a scaled screen the monitors' rectangles are scaled down for this
// program; their modes are not, and they are what the pictures are made at.
// A mode that cannot be read leaves every monitor at its rectangle.
TEST_F(Monitors, ScaledMonitorsAtTheirRealSize)
{
    HostSetScreen(480, 300, 24);
    HostSetMonitors({{0, 0, 480, 300, true}, {480, 0, 300, 240, false}});
    HostSetScreenScale(150);
    Shown made(RunJob());
    EXPECT_EQ(780, made.width);
    EXPECT_EQ(300, made.height);
    EXPECT_EQ("780", ReadRegistry(kRegCurrentUser, "Software\\ZorvaTheVandrel", "PaperWidth"));
    HostSetScreenScale(150, false);
    Shown scaled(RunJob());
    EXPECT_EQ(520, scaled.width);
    EXPECT_EQ(200, scaled.height);
}

class MonitorsInstall : public Monitors {
protected:
    std::string themes;
    void SetUp() override
    {
        Monitors::SetUp();
        themes = NewAnsiFolder();
        SetThemeFolder(themes);
        WriteWholeFile(themes + "\\Zorva The Vandrel BLUE.theme",
                       "[Control Panel\\Desktop]\r\nWallpaperStyle=2\r\nTileWallpaper=0\r\n");
        // The user's own wallpaper, fitted to the screen.
        SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", "Wallpaper", "C:\\users\\mine.bmp");
        SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", "WallpaperStyle", "6");
        SetRegistry(kRegCurrentUser, "Control Panel\\Desktop", "TileWallpaper", "0");
        WriteStartupThemes();
    }
    void TearDown() override
    {
        SetThemeFolder("");
        Monitors::TearDown();
    }
    void Install(int themeId)
    {
        ThemeInstall install;
        InstallTheme(themeId, {1, 0, 0, 0, 0, 0, 0}, &install);
        if (WallpaperThread) {
            EXPECT_EQ(kWaitObject0, ThreadWait(WallpaperThread, 120000));
        }
        FinishThemeInstall(install);
        CloseWallpaperThread();
    }
    std::string Desktop(const char *name) { return ReadRegistry(kRegCurrentUser, "Control Panel\\Desktop", name); }
};

TEST_F(MonitorsInstall, SeveralMonitorsSpannedAndTheCancelGivesTheUsersStyleBack)
{
    HostSetMonitors({{0, 0, 320, 200, true}, {-200, 0, 200, 150, false}});
    Install(kThemeBlue);
    EXPECT_EQ("22", Desktop("WallpaperStyle"));
    EXPECT_EQ("0", Desktop("TileWallpaper"));
    EXPECT_EQ(bitmap, Desktop("Wallpaper"));
    EXPECT_EQ(bitmap, HostLiveState().wallpaper);
    Install(kThemeSnapshot);
    EXPECT_EQ("6", Desktop("WallpaperStyle"));
    EXPECT_EQ("0", Desktop("TileWallpaper"));
    EXPECT_EQ("C:\\users\\mine.bmp", Desktop("Wallpaper"));
    EXPECT_EQ("C:\\users\\mine.bmp", HostLiveState().wallpaper);
}

TEST_F(MonitorsInstall, SeveralMonitorsTiledOnWindows7AndTheRevertGivesTheUsersStyleBack)
{
    HostSetWindowsVersion(6, 1);
    HostSetMonitors({{0, 0, 320, 200, true}, {0, -150, 200, 150, false}});
    Install(kThemeBlue);
    EXPECT_EQ("0", Desktop("WallpaperStyle"));
    EXPECT_EQ("1", Desktop("TileWallpaper"));
    Install(kThemeBackup);
    EXPECT_EQ("6", Desktop("WallpaperStyle"));
    EXPECT_EQ("0", Desktop("TileWallpaper"));
    EXPECT_EQ("C:\\users\\mine.bmp", Desktop("Wallpaper"));
}

TEST_F(MonitorsInstall, OneMonitorKeepsTheThemesStyle)
{
    HostSetMonitors({{0, 0, 320, 200, true}});
    Install(kThemeBlue);
    EXPECT_EQ("2", Desktop("WallpaperStyle"));
    EXPECT_EQ("0", Desktop("TileWallpaper"));
    EXPECT_EQ(bitmap, Desktop("Wallpaper"));
}
#endif

}  // namespace
