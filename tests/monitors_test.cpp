// The wallpaper over several monitors: where each monitor's picture lies in
// the bitmap for the span and the tile styles, the bitmap the job makes (each
// monitor's rectangle the picture made at its own size, the rest the
// desktop's colour), and the style the install sets and a Cancel takes back.
#include "wallpaper/bitmapfile.h"
#include "wallpaper/wallpaperjob.h"
#include "wallpaper/wallpaperplan.h"

#include "app/appglobals.h"
#include "decoder/art.h"
#include "backup/backup.h"
#include "install/installtheme.h"
#include "palette/palette.h"
#include "tests/shown_bitmap.h"
#include "tests/testart.h"
#include "tests/testing.h"

#include <stdlib.h>

#include <algorithm>
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

TEST(MonitorPlan, OneMonitorIsTheBitmapWhateverTheSpread)
{
    PixelRect one[1] = {{0, 0, 1366, 768}};
    for (WallpaperSpread spread : {kSpreadSpan, kSpreadTile}) {
        WallpaperPlan plan;
        ASSERT_TRUE(PlanWallpaper(one, 1, 0, spread, &plan));
        EXPECT_EQ(kSpreadOne, plan.spread);
        EXPECT_EQ(1366, plan.width);
        EXPECT_EQ(768, plan.height);
        ASSERT_EQ(1, plan.count);
        EXPECT_EQ(0, plan.places[0].left);
        EXPECT_EQ(0, plan.places[0].top);
        EXPECT_EQ(1366, plan.places[0].width);
        EXPECT_EQ(768, plan.places[0].height);
    }
}

TEST(MonitorPlan, SideBySide)
{
    std::vector<PixelRect> monitors = {{0, 0, 1280, 800}, {1280, 0, 2304, 768}};
    for (WallpaperSpread spread : {kSpreadSpan, kSpreadTile}) {
        WallpaperPlan plan;
        ASSERT_TRUE(PlanWallpaper(monitors.data(), 2, 0, spread, &plan));
        EXPECT_EQ(spread, plan.spread);
        EXPECT_EQ(2304, plan.width);
        EXPECT_EQ(800, plan.height);
        EXPECT_EQ(1280, plan.places[1].left) << "the same place either way: the primary is the corner";
        EXPECT_EQ(0, plan.places[1].top);
        EXPECT_EQ(1024, plan.places[1].width);
        EXPECT_EQ(768, plan.places[1].height);
        ExpectEveryPointShowsItsMonitor(monitors, 0, plan);
    }
}

// The primary listed last, one monitor left of it and one above it: the
// virtual screen runs from -1280, -1440 to 2560, 1124.
TEST(MonitorPlan, LeftOfAndAboveThePrimary)
{
    std::vector<PixelRect> monitors = {{-1280, 100, 0, 1124}, {0, -1440, 2560, 0}, {0, 0, 1920, 1080}};
    WallpaperPlan span, tile;
    ASSERT_TRUE(PlanWallpaper(monitors.data(), 3, 2, kSpreadSpan, &span));
    EXPECT_EQ(3840, span.width);
    EXPECT_EQ(2564, span.height);
    const int spanPlaces[3][2] = {{0, 1540}, {1280, 0}, {1280, 1440}};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(spanPlaces[i][0], span.places[i].left) << i;
        EXPECT_EQ(spanPlaces[i][1], span.places[i].top) << i;
    }
    ExpectEveryPointShowsItsMonitor(monitors, 2, span);

    // Tiled from the primary's corner, the left monitor shows the bitmap's
    // right part and the one above its bottom part.
    ASSERT_TRUE(PlanWallpaper(monitors.data(), 3, 2, kSpreadTile, &tile));
    EXPECT_EQ(3840, tile.width);
    EXPECT_EQ(2564, tile.height);
    const int tilePlaces[3][2] = {{2560, 100}, {0, 1124}, {0, 0}};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(tilePlaces[i][0], tile.places[i].left) << i;
        EXPECT_EQ(tilePlaces[i][1], tile.places[i].top) << i;
    }
    ExpectEveryPointShowsItsMonitor(monitors, 2, tile);
}

// A monitor above the primary that reaches left of it: tiled, its picture
// passes the bitmap's right edge and goes on at its left.
TEST(MonitorPlan, TiledPictureWrapsPastTheEdge)
{
    std::vector<PixelRect> monitors = {{0, 0, 1024, 768}, {-512, -600, 512, 0}, {1024, 0, 1824, 600}};
    WallpaperPlan plan;
    ASSERT_TRUE(PlanWallpaper(monitors.data(), 3, 0, kSpreadTile, &plan));
    EXPECT_EQ(2336, plan.width);
    EXPECT_EQ(1368, plan.height);
    EXPECT_EQ(2336 - 512, plan.places[1].left);
    EXPECT_EQ(768, plan.places[1].top);
    EXPECT_EQ(1024, plan.places[2].left) << "right of the primary, as on the desktop";
    ExpectEveryPointShowsItsMonitor(monitors, 0, plan);
}

TEST(MonitorPlan, RefusesWhatCannotBeMade)
{
    WallpaperPlan plan;
    plan.width = -7;
    std::vector<PixelRect> many(kMaxWallpaperMonitors + 1);
    for (size_t i = 0; i < many.size(); i++)
        many[i] = PixelRect{(int)i * 10, 0, (int)i * 10 + 10, 10};
    EXPECT_FALSE(PlanWallpaper(many.data(), 0, 0, kSpreadSpan, &plan)) << "no monitor";
    EXPECT_FALSE(PlanWallpaper(many.data(), (int)many.size(), 0, kSpreadSpan, &plan)) << "too many";
    EXPECT_TRUE(PlanWallpaper(many.data(), kMaxWallpaperMonitors, 0, kSpreadSpan, &plan)) << "as many as it holds";
    plan.width = -7;
    PixelRect empty[2] = {{0, 0, 800, 600}, {800, 0, 800, 600}};
    EXPECT_FALSE(PlanWallpaper(empty, 2, 0, kSpreadSpan, &plan)) << "an empty rectangle";
    EXPECT_FALSE(PlanWallpaper(empty, 1, 1, kSpreadSpan, &plan)) << "no such primary";
    PixelRect far[2] = {{0, 0, 800, 600}, {-70000, 0, -69200, 600}};
    EXPECT_FALSE(PlanWallpaper(far, 2, 0, kSpreadSpan, &plan)) << "wider than a bitmap can be";
    PixelRect huge[2] = {{0, 0, 15360, 8640}, {0, 8640, 15360, 17280}};
    EXPECT_FALSE(PlanWallpaper(huge, 2, 0, kSpreadSpan, &plan)) << "more bytes than the job makes";
    EXPECT_EQ(-7, plan.width) << "a refused plan is left as it was";
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

// The one-monitor bitmap as it always was, put together from the rendered
// picture: the headers, the palette's colour table, and each rendered row
// converted into the file row that WallpaperFileRow gives it.
std::string BitmapOfTheRendering(const std::string &art, const std::string &palette, int width, int height,
                                 int depth)
{
    LoadPalette(palette.c_str());
    ArtFile *a = OpenArt(art.c_str());
    uint8_t *picture = RenderArt(a, width, height, depth, DiffusionKernel);
    CloseArt(a);
    int bits = BitmapDepth(depth);
    BitmapFileHeader fileHeader;
    BitmapInfoHeader infoHeader;
    FillBitmapHeaders(width, height, bits, 3779, 3779, &fileHeader, &infoHeader);
    RgbQuad table[256];
    FillColorTable(table, LoadPalette(palette.c_str()));
    std::string file((const char *)&fileHeader, sizeof fileHeader);
    file.append((const char *)&infoHeader, sizeof infoHeader);
    file.append((const char *)table, sizeof table);
    size_t row = BitmapRowBytes(width, bits), stride = ((size_t)width * 3 + 3) & ~(size_t)3;
    std::vector<uint8_t> rows(row * (size_t)height);
    static IndexCache cache;
    StartIndexCache(&cache);
    for (int y = 0; y < height; y++)
        ConvertWallpaperRow(picture + (size_t)y * stride, &rows[WallpaperFileRow(y, height) * row], width, bits,
                            &cache);
    free(picture);
    return file + std::string(rows.begin(), rows.end());
}

TEST_F(Monitors, OneMonitorMakesTheSameBitmapAsBefore)
{
    for (int depth : {8, 16, 32}) {
        HostSetScreen(333, 201, depth);
        EXPECT_TRUE(RunJob() == BitmapOfTheRendering(art, palette, 333, 201, depth)) << depth << " bits";
        EXPECT_EQ(kSpreadOne, spreadMade);
    }
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
