// The wallpaper maker: the bitmap writer's bytes, the job on its thread, its
// disk-full path, and the wallpaper and screen-saver steps of an install.
#include "wallpaper/bitmapfile.h"
#include "wallpaper/wallpaperjob.h"

#include "base/apperror.h"
#include "app/controls.h"
#include "app/windowcalls.h"
#include "backup/backup.h"
#include "decoder/art.h"
#include "install/installtheme.h"
#include "palette/palette.h"
#include "tests/testing.h"
#include "tests/testart.h"

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include "platform/host/host.h"
#endif

namespace {

uint32_t U32(const std::string &b, size_t at)
{
    return (uint8_t)b[at] | (uint8_t)b[at + 1] << 8 | (uint8_t)b[at + 2] << 16 | (uint32_t)(uint8_t)b[at + 3] << 24;
}
uint16_t U16(const std::string &b, size_t at) { return (uint16_t)((uint8_t)b[at] | (uint8_t)b[at + 1] << 8); }

class Wallpaper : public MachineTest {
protected:
    std::string win, art, palette, bitmap, saved;
    void SetUp() override
    {
        MachineTest::SetUp();
        MakeTestMainWindow();
        win = WinDir();
        ASSERT_TRUE(MakeFolder(win + "\\ZORVA"));
        art = win + "\\ZORVA\\RED.ART";
        palette = win + "\\ZORVA\\RED.tr";
        bitmap = UserDataFolder() + "\\Zorva The Vandrel.BMP";
        saved = UserDataFolder() + "\\Zorva The Vandrel.SAV";
        ASSERT_FALSE(TestArtBytes().empty());
        InstallTestArt();
        FileDelete(bitmap.c_str());
        FileDelete(saved.c_str());
        DiffusionKernel = 2;
    }
    void TearDown() override
    {
        FileDelete(bitmap.c_str());
        FileDelete(saved.c_str());
        MachineTest::TearDown();
    }
    std::string Make(int width, int height, int depth)
    {
        EXPECT_TRUE(MakeWallpaperFile(art.c_str(), palette.c_str(), bitmap.c_str(), width, height, depth, 3779, 3779));
        return ReadWholeFile(bitmap);
    }
};

TEST_F(Wallpaper, EightBitScreenFile)
{
    std::string file = Make(800, 600, 8);
    ASSERT_EQ(1078u + 480000u, file.size());
    EXPECT_EQ("BM", file.substr(0, 2));
    EXPECT_EQ(1078u + 480000u, U32(file, 2));
    EXPECT_EQ(1078u, U32(file, 10));
    EXPECT_EQ(40u, U32(file, 14));
    EXPECT_EQ(800u, U32(file, 18));
    EXPECT_EQ(600u, U32(file, 22));
    EXPECT_EQ(1, U16(file, 26));
    EXPECT_EQ(8, U16(file, 28));
    EXPECT_EQ(0u, U32(file, 30));
    EXPECT_EQ(480000u, U32(file, 34));
    EXPECT_EQ(256u, U32(file, 46));
    EXPECT_EQ(236u, U32(file, 50));
    EXPECT_EQ(0u, U32(file, 54)) << "entry 0 is black";
    EXPECT_EQ(0xFFFFFFFFu, U32(file, 54 + 4 * 235)) << "entry 235 is white with its reserved byte";
    EXPECT_EQ(0x00555555u, U32(file, 54 + 4 * 22)) << "entry 22 is palette entry 21: 85 85 85";
    for (size_t i = 1078; i < file.size(); i++) {
        uint8_t index = (uint8_t)file[i];
        ASSERT_TRUE(index >= 1 && index <= 64) << i;  // a palette index plus one
    }
}

TEST_F(Wallpaper, DepthsAndPadding)
{
    for (int depth : {16, 24, 32}) {
        for (int width : {640, 1366}) {
            std::string file = Make(width, 48, depth);
            int bits = depth == 16 ? 16 : 24;
            size_t row = ((size_t)width * bits / 8 + 3) & ~(size_t)3;
            EXPECT_EQ(1078 + row * 48, file.size()) << depth << " " << width;
            EXPECT_EQ(bits, U16(file, 28));
            EXPECT_EQ(row * 48, U32(file, 34));
            EXPECT_EQ(0xFFFFFFFFu, U32(file, 54 + 4 * 235)) << "the colour table is written at every depth";
            for (size_t y = 0; y < 48; y++)
                for (size_t pad = (size_t)width * bits / 8; pad < row; pad++)
                    ASSERT_EQ(0, file[1078 + y * row + pad]) << "padding of row " << y;
        }
    }
}

TEST_F(Wallpaper, PixelFormats)
{
    // One row of three pixels at 16 bits: white, (24, 16, 8), black.
    const uint8_t pixels[9] = {255, 255, 255, 8, 16, 24, 0, 0, 0};
    uint8_t out[9];
    memset(out, 0xA5, sizeof out);
    static IndexCache cache;
    StartIndexCache(&cache);
    ConvertWallpaperRow(pixels, out, 3, 16, &cache);
    EXPECT_EQ(0x7FFF, out[0] | out[1] << 8);
    EXPECT_EQ(0x0C41, out[2] | out[3] << 8);
    EXPECT_EQ(0, out[4] | out[5] << 8);
    EXPECT_EQ(0, out[6] | out[7] << 8) << "padding";
    EXPECT_EQ(0xA5, out[8]) << "nothing past the row's 8 bytes";

    // At 8 bits an exact palette colour gets its index plus one.
    LoadPalette(palette.c_str());
    const uint8_t eight[6] = {170, 85, 255, 0, 0, 0};  // blue 170, green 85, red 255
    ConvertWallpaperRow(eight, out, 2, 8, &cache);
    EXPECT_EQ(3 * 16 + 1 * 4 + 2 + 1, out[0]);
    EXPECT_EQ(1, out[1]) << "black is entry 0 of the palette, plus one";
}

TEST_F(Wallpaper, LooksLikeTheArt)
{
    ArtFile *a = OpenArt(art.c_str());
    uint8_t *decoded = RenderArt(a, 256, 192, 16, DiffusionKernel);  // the art's own size: the decoded picture
    CloseArt(a);
    std::string file = Make(256, 192, 24);
    double error = 0;
    for (int y = 0; y < 191; y++) {
        int fileRow = 190 - y;  // rows 0-190 are stored in reverse
        for (int i = 0; i < 256 * 3; i++)
            error += abs((int)(uint8_t)file[1078 + (size_t)fileRow * 768 + i] - decoded[(size_t)y * 768 + i]);
    }
    free(decoded);
    EXPECT_EQ(0, error) << "at the art's own size the 24-bit file holds the decoded picture";
}

// At the art's own size an 8-bit file holds each decoded colour's nearest
// palette entry. Both threads look colours up, in a search that the palette's
// load left unbuilt: it is built once, before either starts.
TEST_F(Wallpaper, OwnSizeEightBitFileHoldsTheNearestEntries)
{
    ArtFile *a = OpenArt(art.c_str());
    uint8_t *decoded = RenderArt(a, 256, 192, 24, DiffusionKernel);
    CloseArt(a);
    std::string file = Make(256, 192, 8);
    ASSERT_EQ(1078u + 256u * 192u, file.size());
    int wrong = 0;
    for (int y = 0; y < 192; y++) {
        int fileRow = y < 191 ? 190 - y : 191;
        for (int x = 0; x < 256; x++) {
            const uint8_t *p = decoded + ((size_t)y * 256 + x) * 3;
            int expected = NearestPaletteIndex((PackedColor)(p[0] | p[1] << 8 | p[2] << 16)) + 1;
            wrong += (uint8_t)file[1078 + (size_t)fileRow * 256 + x] != expected;
        }
    }
    free(decoded);
    EXPECT_EQ(0, wrong);
}

#ifndef _WIN32
TEST_F(Wallpaper, FullDiskKeepsTheOldBitmap)
{
    WriteWholeFile(bitmap, "the bitmap of the start of the run");
    HostSetDiskSpace(20000);
    EXPECT_FALSE(MakeWallpaperFile(art.c_str(), palette.c_str(), bitmap.c_str(), 800, 600, 8, 3779, 3779));
    HostSetDiskSpace(-1);
    EXPECT_EQ("the bitmap of the start of the run", ReadWholeFile(bitmap));
    EXPECT_FALSE(FileExists(win + "\\Zorva The Vandrel.new"));
}

TEST_F(Wallpaper, JobReportsFullDiskAndCancelRestoresTheRunsBitmap)
{
    HostSetScreen(320, 200, 16);
    WriteWholeFile(bitmap, "start of run");
    WriteStartupThemes();  // the snapshot and the saved copy
    // A first install makes a new bitmap; a second runs out of disk space.
    WallpaperSpread spread;
    PlatThread job = StartWallpaperJob("BLUE", bitmap.c_str(), &spread);
    ASSERT_EQ(kWaitObject0, ThreadWait(job, 30000));
    ThreadClose(job);
    EXPECT_NE("start of run", ReadWholeFile(bitmap));
    std::string first = ReadWholeFile(bitmap);
    HostSetDiskSpace(5000);
    job = StartWallpaperJob("RED", bitmap.c_str(), &spread);
    ASSERT_EQ(kWaitObject0, ThreadWait(job, 30000));
    ThreadClose(job);
    HostSetDiskSpace(-1);
    EXPECT_EQ(first, ReadWholeFile(bitmap));

    // The job shows nothing itself: it leaves its report for the window's
    // thread and posts to the window.
    EXPECT_TRUE(HostLiveState().boxes.empty());
    EXPECT_EQ(std::string("Out of disk space on drive C: creating new Wallpaper !\nPlease free some disk space and "
                          "try again\nKTB Customer Support ") + kSupportPhone + "\n",
              WallpaperReport);
    std::vector<HostMessage> messages = HostMessages();
    ASSERT_FALSE(messages.empty());
    EXPECT_TRUE(messages.back().posted);
    EXPECT_EQ(MainWindow, messages.back().window);
    EXPECT_EQ(WM_WALLPAPERFAILED, messages.back().message);

    EXPECT_EQ("RED", ReadRegistry(kRegCurrentUser, "Software\\ZorvaTheVandrel", "PaperArtFile"));
    EXPECT_EQ("320", ReadRegistry(kRegCurrentUser, "Software\\ZorvaTheVandrel", "PaperWidth"));

    // The Cancel then restores the run's snapshot: the bitmap of the start.
    ThemeInstall install;
    InstallTheme(kThemeSnapshot, {1, 0, 0, 0, 0, 0, 0}, &install);
    FinishThemeInstall(install);
    EXPECT_EQ("start of run", ReadWholeFile(bitmap));
}

// On a scaled screen the metrics tell this program a scaled-down size; the
// wallpaper is made at the real one, from the display mode, and only when the
// mode cannot be read at the size the metrics tell.
TEST_F(Wallpaper, JobMakesTheScreensRealSizeWhateverTheScaling)
{
    struct {
        int width, height, percent;
        bool modeKnown;
        int madeWidth, madeHeight;
    } const cases[] = {
        {3840, 2160, 200, true, 3840, 2160},
        {1366, 768, 125, true, 1366, 768},
        {640, 480, 100, true, 640, 480},
        {1280, 720, 150, false, 853, 480},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.percent));
        HostSetScreen(c.width, c.height, 32);
        HostSetScreenScale(c.percent, c.modeKnown);
        WallpaperSpread spread;
        PlatThread job = StartWallpaperJob("RED", bitmap.c_str(), &spread);
        ASSERT_EQ(kWaitObject0, ThreadWait(job, 120000));
        ThreadClose(job);
        std::string made = ReadWholeFile(bitmap);
        ASSERT_GT(made.size(), 54u);
        EXPECT_EQ((uint32_t)c.madeWidth, U32(made, 18));
        EXPECT_EQ((uint32_t)c.madeHeight, U32(made, 22));
        EXPECT_EQ(1078u + (((size_t)c.madeWidth * 3 + 3) & ~(size_t)3) * c.madeHeight, made.size());

        const char record[] = "Software\\ZorvaTheVandrel";
        EXPECT_EQ(std::to_string(c.madeWidth), ReadRegistry(kRegCurrentUser, record, "PaperWidth"));
        EXPECT_EQ(std::to_string(c.madeHeight), ReadRegistry(kRegCurrentUser, record, "PaperHeight"));
    }
}

TEST_F(Wallpaper, JobThatCannotStart)
{
    HostFailNextThread();
    WallpaperSpread spread = kSpreadSpan;
    EXPECT_EQ(nullptr, StartWallpaperJob("RED", bitmap.c_str(), &spread));
    EXPECT_EQ(kSpreadOne, spread) << "whatever bitmap is there keeps the theme's style";
    HostLive live = HostLiveState();
    ASSERT_EQ(1u, live.boxes.size());
    EXPECT_EQ("Not enough system resources to make the wallpaper (CreateThread).\n", live.boxes[0].text);
    EXPECT_EQ("Wallpaper Maker", live.boxes[0].caption);
    EXPECT_EQ("<no key>", ReadRegistry(kRegCurrentUser, "Software\\ZorvaTheVandrel", "PaperArtFile"));
}
#endif

class WallpaperInstall : public Wallpaper {
protected:
    std::string themes;
    void SetUp() override
    {
        Wallpaper::SetUp();
        // The screen saver's path goes through system.ini, a file of the
        // ANSI code page under Wine (Windows keeps that value in the
        // registry), when the system gives it no short form.
        themes = NewAnsiFolder();
        SetThemeFolder(themes);
    }
    void TearDown() override
    {
        SetThemeFolder("");
        Wallpaper::TearDown();
    }
    // What the install writes for a screen saver: its short form when the
    // system gives one, else the path as it is.
    static std::string ShortOrLong(const std::string &path)
    {
        char shortPath[kPathSize];
        unsigned length = ShortPathName(path.c_str(), shortPath, sizeof shortPath);
        return length > 0 && length < sizeof shortPath ? std::string(shortPath) : path;
    }
    std::string Desktop(const char *name) { return ReadRegistry(kRegCurrentUser, "Control Panel\\Desktop", name); }
};

TEST_F(WallpaperInstall, ColourThemeMakesAndInstallsTheBitmap)
{
    std::string file = themes + "\\Zorva The Vandrel RED.theme";
    std::string saver = themes + "\\saver.scr";
    WriteWholeFile(saver, "screen saver");
    ProfileWriteString("boot", "SCRNSAVE.EXE", "%ThemeDir%saver.scr", file.c_str());
    ProfileWriteString("Control Panel\\Desktop", "Pattern", "1 2 3", file.c_str());
    ThemeInstall install;
    ASSERT_TRUE(InstallTheme(kThemeRed, {1, 0, 0, 0, 0, 0, 1}, &install));
    ASSERT_NE(nullptr, WallpaperThread);
    EXPECT_EQ(1, WallpaperPending);
    EXPECT_EQ(bitmap, WallpaperFile) << "the user's own bitmap";
    ASSERT_EQ(kWaitObject0, ThreadWait(WallpaperThread, 60000));
    FinishThemeInstall(install);
    CloseWallpaperThread();
    EXPECT_EQ(nullptr, WallpaperThread);

    std::string made = ReadWholeFile(bitmap);
    int width, height;
    ScreenSize(&width, &height);
    ASSERT_GT(made.size(), 1078u);
    EXPECT_EQ((uint32_t)width, U32(made, 18));
    EXPECT_EQ((uint32_t)height, U32(made, 22));
    EXPECT_EQ("1", Desktop("ScreenSaveActive"));
    EXPECT_EQ("0", Desktop("TileWallpaper"));
    EXPECT_EQ("2", Desktop("WallpaperStyle"));
    EXPECT_EQ("1 2 3", Desktop("Pattern"));
    EXPECT_EQ(bitmap, Desktop("Wallpaper"));
    EXPECT_EQ(ShortOrLong(saver), ReadProfile("system.ini", "boot", "SCRNSAVE.EXE", ""));
}

TEST_F(WallpaperInstall, ScreenSaverPathKeptWhenItHasNoShortForm)
{
    // A short form exists only for a file that is there; the same holds when
    // the system cannot resolve a folder's short name.
    std::string file = themes + "\\Zorva The Vandrel RED.theme";
    ProfileWriteString("boot", "SCRNSAVE.EXE", "%ThemeDir%not there.scr", file.c_str());
    ThemeInstall install;
    ASSERT_TRUE(InstallTheme(kThemeRed, {0, 0, 0, 0, 0, 0, 1}, &install));
    FinishThemeInstall(install);
    EXPECT_EQ(themes + "\\not there.scr", ReadProfile("system.ini", "boot", "SCRNSAVE.EXE", ""));
}

TEST_F(WallpaperInstall, BackupInstallsItsWallpaperAsWritten)
{
    std::string file = UserDataFolder() + "\\ZorvaBackup.theme";
    ProfileWriteString("Control Panel\\Desktop", "Wallpaper", "%WinDir%not expanded.bmp", file.c_str());
    ThemeInstall install;
    InstallTheme(kThemeBackup, {1, 0, 0, 0, 0, 0, 0}, &install);
    EXPECT_EQ(nullptr, WallpaperThread) << "no job for a backup";
    EXPECT_EQ(0, WallpaperPending);
    FinishThemeInstall(install);
    EXPECT_EQ("%WinDir%not expanded.bmp", Desktop("Wallpaper"));
    FileDelete(file.c_str());
}

}  // namespace
