// The screen saver: its command line, its motion and picture in this process,
// and the real ZORVA.SCR under Wine, started as the system starts a screen
// saver and ended as a user ends one.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/processvalues.h"
#include "saver/motion.h"
#include "saver/saverargs.h"
#include "saver/saverart.h"
#include "tests/testart.h"
#include "tests/testing.h"
#include "tests/wintesting.h"

namespace {

const char kSaverClass[] = "ZORVATHEME_SaverClass";
const char kBoxCaption[] = "Desktop Quennel screen saver";
const char kRecordKey[] = "Software\\ZorvaTheVandrel";

// The screen's mean colour over the 8 x 8 pixels from x, y on, as another
// program sees it.
COLORREF ScreenMean(int x, int y)
{
    HDC screen = GetDC(nullptr);
    int sum[3] = {};
    for (int dy = 0; dy < 8; dy++)
        for (int dx = 0; dx < 8; dx++) {
            COLORREF c = GetPixel(screen, x + dx, y + dy);
            sum[0] += GetRValue(c), sum[1] += GetGValue(c), sum[2] += GetBValue(c);
        }
    ReleaseDC(nullptr, screen);
    return RGB(sum[0] / 64, sum[1] / 64, sum[2] / 64);
}

// How far, in levels a component, the screen's mean over 8 x 8 pixels may be
// from the colour a picture has there. A screen of 16 bits keeps 5 or 6 bits
// a component. On a screen of 8 bits the saver shows the picture in the
// colours of a palette (checked exactly in this process, above), error
// diffused, and Wine 8 draws a window in its own fixed colours, whatever
// palette the window realises: only the rough colour of a part can be seen.
int ScreenTolerance(int tolerance)
{
    HDC screen = GetDC(nullptr);
    int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return depth <= 8 ? 64 : tolerance;
}

// Within tolerance of red, green, blue on every channel.
bool Near(COLORREF c, int red, int green, int blue, int tolerance)
{
    return abs(GetRValue(c) - red) <= tolerance && abs(GetGValue(c) - green) <= tolerance &&
           abs(GetBValue(c) - blue) <= tolerance;
}

std::string Rgb(COLORREF c)
{
    return std::to_string(GetRValue(c)) + " " + std::to_string(GetGValue(c)) + " " + std::to_string(GetBValue(c));
}

// The test art's disc, red, green, blue, in the middle of every picture made
// from it.
const int kDisc[3] = {230, 200, 40};

// ------------------------------------------------------------ command line

TEST(SaverArgs, EveryFormTheSystemUses)
{
    struct Case {
        const char *line;
        SaverMode mode;
        uintptr_t window;
    } cases[] = {
        {"/s", kSaverFullScreen, 0},      {"/S", kSaverFullScreen, 0},       {"-s", kSaverFullScreen, 0},
        {"  -S  ", kSaverFullScreen, 0},  {"/p 1234", kSaverPreview, 1234},  {"/P:1234", kSaverPreview, 1234},
        {"-p\t987654", kSaverPreview, 987654}, {"/p1234", kSaverPreview, 1234}, {"/c", kSaverConfigure, 0},
        {"/c:5678", kSaverConfigure, 5678}, {"/C 42", kSaverConfigure, 42}, {"", kSaverConfigure, 0},
        {"/a", kSaverIgnore, 0},          {"/A 77", kSaverIgnore, 0},
    };
    for (const Case &c : cases) {
        SaverArgs args = ParseSaverArgs(c.line);
        EXPECT_EQ(c.mode, args.mode) << c.line;
        EXPECT_EQ(c.window, args.window) << c.line;
    }
    EXPECT_EQ(kSaverConfigure, ParseSaverArgs(nullptr).mode);
}

TEST(SaverArgs, UnknownOrBrokenArgumentsAskNothingOfTheWindow)
{
    for (const char *line : {"/x", "s", "hello", "/", "--s"}) {
        SaverArgs args = ParseSaverArgs(line);
        EXPECT_EQ(kSaverConfigure, args.mode) << line;
        EXPECT_EQ(0u, args.window) << line;
    }
    // A preview without a usable handle has none, rather than a wrong one.
    for (const char *line : {"/p", "/p:", "/p abc", "/p 99999999999999999999999"})
        EXPECT_EQ(0u, ParseSaverArgs(line).window) << line;
}

// ------------------------------------------------------------------ motion

TEST(SaverMotion, DriftsSlowlyOverTheWholePicture)
{
    int width, height;
    SaverPictureSize(640, 480, &width, &height);
    EXPECT_EQ(800, width);
    EXPECT_EQ(600, height);
    const int spareX = width - 640, spareY = height - 480;
    int x, y;
    SaverViewOrigin(0, spareX, spareY, &x, &y);
    EXPECT_EQ(spareX / 2, x);
    EXPECT_EQ(spareY / 2, y);

    int lastX = x, lastY = y, leastX = x, mostX = x, leastY = y, mostY = y;
    for (unsigned long ms = 33; ms < 2 * kDriftPeriodX; ms += 33) {
        SaverViewOrigin(ms, spareX, spareY, &x, &y);
        ASSERT_TRUE(x >= 0 && x <= spareX && y >= 0 && y <= spareY) << ms;
        ASSERT_LE(abs(x - lastX), 1) << "at most one pixel a frame, at " << ms;
        ASSERT_LE(abs(y - lastY), 1) << ms;
        lastX = x, lastY = y;
        leastX = std::min(leastX, x), mostX = std::max(mostX, x);
        leastY = std::min(leastY, y), mostY = std::max(mostY, y);
    }
    EXPECT_EQ(0, leastX);
    EXPECT_EQ(spareX, mostX);
    EXPECT_EQ(0, leastY);
    EXPECT_EQ(spareY, mostY);
    // The clock wraps after 49 days; the view does not jump out of the picture.
    SaverViewOrigin(0xFFFFFFFFul, spareX, spareY, &x, &y);
    EXPECT_TRUE(x >= 0 && x <= spareX && y >= 0 && y <= spareY);
    SaverViewOrigin(12345, 0, 0, &x, &y);
    EXPECT_EQ(0, x);
    EXPECT_EQ(0, y);
}

// ---------------------------------------------------------------- picture

// Keeps the wallpaper maker's record as it was.
class SaverMachine : public MachineTest {
protected:
    std::string savedWord;
    bool hadWord = false;

    void SetUp() override
    {
        MachineTest::SetUp();
        savedWord = ReadRegistry(kRegCurrentUser, kRecordKey, "PaperArtFile");
        hadWord = savedWord != "<no key>" && savedWord != "<missing>";
        InstallTestArt();
    }
    void TearDown() override
    {
        if (hadWord)
            SetWord(savedWord.c_str());
        else
            SetWord(nullptr);
        MachineTest::TearDown();
    }
    // Writes the record's colour word; null removes it.
    static void SetWord(const char *word)
    {
        if (word) {
            SetRegistry(kRegCurrentUser, kRecordKey, "PaperArtFile", word);
        } else {
            HKEY key;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                RegDeleteValueA(key, "PaperArtFile");
                RegCloseKey(key);
            }
        }
    }
    static std::string Word()
    {
        char word[kArtWordSize];
        memset(word, '#', sizeof word);
        SaverArtWord(word);
        return word;
    }
};

TEST_F(SaverMachine, ArtWordComesFromTheWallpaperRecord)
{
    SetWord(nullptr);
    EXPECT_EQ("WHITE", Word());
    SetWord("BLUE");
    EXPECT_EQ("BLUE", Word());
    SetWord("green");
    EXPECT_EQ("green", Word());
    // Nothing that could lead the file name out of the art's folder, and
    // nothing longer than a word.
    for (const char *bad : {"", "..\\..\\boot", "RED.ART", "C:\\x", "A VERY LONG WORD", "BLUEBLUEBLUEBLUE"}) {
        SetWord(bad);
        EXPECT_EQ("WHITE", Word()) << bad;
    }

    char path[MAX_PATH];
    SaverArtPath("BLUE", path, sizeof path);
    EXPECT_EQ(WinDir() + "\\ZORVA\\BLUE.ART", path);
    char small[12];
    SaverArtPath("BLUE", small, sizeof small);
    EXPECT_STREQ("", small) << "refused, never cut";
}

TEST_F(SaverMachine, PictureOfTheArtHasNoDarkEdges)
{
    // {254, 189} renders at the art's own 256 x 192, unscaled.
    for (auto size : {std::pair<int, int>{800, 600}, {1280, 300}, {200, 900}, {254, 189}, {190, 140}, {3, 2}, {1, 1}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        SaverPicture p = MakeSaverPicture("BLUE", size.first, size.second, 24);
        ASSERT_NE(nullptr, p.pixels);
        EXPECT_TRUE(p.fromArt);
        EXPECT_EQ(size.first, p.width);
        EXPECT_EQ(size.second, p.height);
        EXPECT_EQ(0u, p.stride % 4);
        EXPECT_GE(p.stride, (size_t)p.width * 3);
        auto at = [&](int x, int y) { return p.pixels + (size_t)y * p.stride + (size_t)x * 3; };
        if (p.width < 16) {
            FreeSaverPicture(&p);
            continue;
        }
        const uint8_t *middle = at(p.width / 2, p.height / 2);
        EXPECT_TRUE(Near(RGB(middle[2], middle[1], middle[0]), kDisc[0], kDisc[1], kDisc[2], 24))
            << Rgb(RGB(middle[2], middle[1], middle[0]));
        // The art's corners are bright (blue 255 at the bottom, red at the
        // right); the scaler's black last row and column were cut away.
        const uint8_t *bottomRight = at(p.width - 1, p.height - 1);
        EXPECT_GT(bottomRight[0], 200) << "blue at the bottom right";
        EXPECT_GT(bottomRight[2], 200) << "red at the bottom right";
        FreeSaverPicture(&p);
        EXPECT_EQ(nullptr, p.pixels);
    }
}

// A picture's mean colour over the square of side pixels about x, y, red,
// green, blue.
COLORREF MeanColor(const SaverPicture &p, int x, int y, int side)
{
    int sum[3] = {};
    for (int dy = 0; dy < side; dy++)
        for (int dx = 0; dx < side; dx++) {
            const uint8_t *px = p.pixels + (size_t)(y + dy) * p.stride + (size_t)(x + dx) * 3;
            for (int c = 0; c < 3; c++)
                sum[c] += px[2 - c];
        }
    return RGB(sum[0] / (side * side), sum[1] / (side * side), sum[2] / (side * side));
}

// The test art's palette (TestPaletteText): two bits a channel, 0, 85, 170, 255.
bool InTestPalette(int red, int green, int blue)
{
    return red % 85 == 0 && green % 85 == 0 && blue % 85 == 0;
}

// For a screen of 8 bits: the art reduced onto its own palette, which comes
// with the picture for the window to realise, and still the art's colours on
// average, with no dark edges.
TEST_F(SaverMachine, ArtOnAnEightBitScreenIsMadeOfItsOwnPalette)
{
    DiffusionKernel = 2;  // as start-up sets it
    // {254, 189} would render at the art's own 256 x 192, which is not reduced.
    for (auto size : {std::pair<int, int>{800, 600}, {254, 189}, {190, 140}, {3, 2}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        SaverPicture p = MakeSaverPicture("BLUE", size.first, size.second, 8);
        ASSERT_NE(nullptr, p.pixels);
        EXPECT_TRUE(p.fromArt);
        ASSERT_EQ(64, p.palette.palNumEntries) << "the art's own palette file";
        EXPECT_EQ(0x300, p.palette.palVersion);
        for (int i = 0; i < 64; i++) {
            const PaletteEntry &e = p.palette.palPalEntry[i];
            EXPECT_EQ((i >> 4) * 85, e.peRed) << i;
            EXPECT_EQ((i >> 2 & 3) * 85, e.peGreen) << i;
            EXPECT_EQ((i & 3) * 85, e.peBlue) << i;
            EXPECT_EQ(0, e.peFlags) << i;
        }
        int outside = 0;
        for (int y = 0; y < p.height; y++)
            for (int x = 0; x < p.width; x++) {
                const uint8_t *px = p.pixels + (size_t)y * p.stride + (size_t)x * 3;
                outside += !InTestPalette(px[2], px[1], px[0]);
            }
        EXPECT_EQ(0, outside) << "pixels that are none of the palette's colours";
        if (p.width >= 16) {
            COLORREF mean = MeanColor(p, p.width / 2 - 4, p.height / 2 - 4, 8);
            EXPECT_TRUE(Near(mean, kDisc[0], kDisc[1], kDisc[2], 16)) << Rgb(mean);
            const uint8_t *bottomRight = p.pixels + (size_t)(p.height - 1) * p.stride + (size_t)(p.width - 1) * 3;
            EXPECT_GT(bottomRight[0], 200) << "blue at the bottom right";
            EXPECT_GT(bottomRight[2], 200) << "red at the bottom right";
        }
        FreeSaverPicture(&p);
    }
    SaverPicture p = MakeSaverPicture("BLUE", 320, 240, 24);
    EXPECT_EQ(0, p.palette.palNumEntries) << "no palette for a screen of more colours";
    FreeSaverPicture(&p);
}

// Art without a usable palette file still shows, in its own colours, with a
// palette that holds every colour within 26 levels a component.
TEST_F(SaverMachine, ArtWithoutItsPaletteShowsWithAnEvenOne)
{
    DiffusionKernel = 2;
    const std::string palette = WinDir() + "\\ZORVA\\BLUE.tr";
    for (const char *damage : {"<missing>", "255 0 0 - 9\r\n", ""}) {
        SCOPED_TRACE(damage);
        DeleteFileA(palette.c_str());
        if (std::string(damage) != "<missing>")
            WriteWholeFile(palette, damage);
        // A fatal report of the palette would end this test program here.
        SaverPicture p = MakeSaverPicture("BLUE", 320, 240, 8);
        ASSERT_NE(nullptr, p.pixels);
        EXPECT_TRUE(p.fromArt);
        const uint8_t *middle = p.pixels + (size_t)120 * p.stride + (size_t)160 * 3;
        EXPECT_TRUE(Near(RGB(middle[2], middle[1], middle[0]), kDisc[0], kDisc[1], kDisc[2], 24))
            << Rgb(RGB(middle[2], middle[1], middle[0]));
        ASSERT_GT(p.palette.palNumEntries, 0);
        EXPECT_LE(p.palette.palNumEntries, 236);
        int uncovered = 0;
        for (int r = 0; r < 256; r += 15)
            for (int g = 0; g < 256; g += 15)
                for (int b = 0; b < 256; b += 15) {
                    bool covered = false;
                    for (int i = 0; i < p.palette.palNumEntries && !covered; i++) {
                        const PaletteEntry &e = p.palette.palPalEntry[i];
                        covered = abs(e.peRed - r) <= 26 && abs(e.peGreen - g) <= 26 && abs(e.peBlue - b) <= 26;
                    }
                    uncovered += !covered;
                }
        EXPECT_EQ(0, uncovered) << "colours with no palette entry near them";
        FreeSaverPicture(&p);
    }
}

// The gradient on a screen of 8 bits brings a palette of its own tones: every
// pixel has an entry within a few levels of it.
TEST_F(SaverMachine, GradientOnAnEightBitScreenHasAPaletteOfItsTones)
{
    for (const char *word : {"BLACK", "RED", "WHITE", "BLUE", "GREEN", "NOSUCH"}) {
        SCOPED_TRACE(word);
        DeleteFileA((WinDir() + "\\ZORVA\\" + word + ".ART").c_str());
        SaverPicture p = MakeSaverPicture(word, 160, 120, 8);
        ASSERT_NE(nullptr, p.pixels);
        EXPECT_FALSE(p.fromArt);
        ASSERT_GT(p.palette.palNumEntries, 0);
        EXPECT_LE(p.palette.palNumEntries, 236) << "the 20 static colours keep their places";
        int worst = 0;
        for (int y = 0; y < p.height; y++)
            for (int x = 0; x < p.width; x++) {
                const uint8_t *px = p.pixels + (size_t)y * p.stride + (size_t)x * 3;
                int best = 256;
                for (int i = 0; i < p.palette.palNumEntries; i++) {
                    const PaletteEntry &e = p.palette.palPalEntry[i];
                    int d = std::max({abs(e.peRed - px[2]), abs(e.peGreen - px[1]), abs(e.peBlue - px[0])});
                    best = std::min(best, d);
                }
                worst = std::max(worst, best);
            }
        EXPECT_LE(worst, 6) << "levels between a pixel and the palette";
        FreeSaverPicture(&p);
    }
}

TEST_F(SaverMachine, MissingArtGivesTheGradientWithoutTheDecoder)
{
    // Were the decoder asked, its fatal report would end this test program.
    SaverPicture p = MakeSaverPicture("NOSUCH", 320, 240, 24);
    ASSERT_NE(nullptr, p.pixels);
    EXPECT_FALSE(p.fromArt);
    std::vector<uint8_t> expected(p.stride * p.height);
    PaintSaverGradient("WHITE", expected.data(), 320, 240, p.stride);
    EXPECT_EQ(0, memcmp(expected.data(), p.pixels, expected.size())) << "unknown words look like white";
    FreeSaverPicture(&p);

    auto brightness = [](const uint8_t *px) { return px[0] + px[1] + px[2]; };
    std::vector<std::vector<uint8_t>> pictures;
    for (const char *word : {"BLACK", "RED", "WHITE", "BLUE", "GREEN"}) {
        SCOPED_TRACE(word);
        const int width = 64, height = 48;
        const size_t stride = 196;  // 192 and 4 bytes that must stay untouched
        std::vector<uint8_t> pixels(stride * height, 0xA5);
        PaintSaverGradient(word, pixels.data(), width, height, stride);
        for (int y = 0; y < height; y++)
            for (size_t i = width * 3; i < stride; i++)
                ASSERT_EQ(0xA5, pixels[y * stride + i]) << "fill byte of row " << y;
        EXPECT_LT(brightness(&pixels[0]), brightness(&pixels[(height - 1) * stride + (width - 1) * 3]))
            << "dark at the top left, light at the bottom right";
        for (auto &other : pictures)
            EXPECT_NE(other, pixels) << "each colour has its own tones";
        pictures.push_back(pixels);
    }
    std::vector<uint8_t> one(4, 0xA5);
    PaintSaverGradient("RED", one.data(), 1, 1, 4);
    EXPECT_EQ(0xA5, one[3]);
}

// ---------------------------------------------------------- the real saver

// One run of ZORVA.SCR with a command line, from the build's folder.
class Saver : public SaverMachine {
protected:
    PROCESS_INFORMATION pi{};
    HWND window = nullptr;

    void TearDown() override
    {
        EndRun();
        SaverMachine::TearDown();
    }
    // Ends the run if it still goes and forgets it: its windows are gone
    // before the next run or test looks.
    void EndRun()
    {
        if (!pi.hProcess)
            return;
        if (Running())
            TerminateProcess(pi.hProcess, 77);
        WaitForSingleObject(pi.hProcess, kPatience);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        pi = {};
    }
    bool Start(const std::string &args)
    {
        std::string program = TestFolder() + "\\..\\saver\\ZORVA.SCR";
        std::string command = "\"" + program + "\" " + args;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        return CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    }
    DWORD ExitCode(DWORD ms = kPatience)
    {
        DWORD code = 9999;
        if (WaitFor([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, ms))
            GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    bool Running() { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    // Full screen: the saver's top-level window, once it shows.
    bool WaitWindow()
    {
        return WaitFor([&] {
            window = ProcessWindow(pi.dwProcessId, kSaverClass);
            return window && IsWindowVisible(window);
        }, kPatience);
    }
    // The middle of the screen shows the test art's disc once the picture is made.
    bool ShowsTheDisc(int x, int y)
    {
        const int tolerance = ScreenTolerance(28);
        return WaitFor([&] { return Near(ScreenMean(x - 4, y - 4), kDisc[0], kDisc[1], kDisc[2], tolerance); },
                       kPatience);
    }
    void MouseTo(int x, int y)
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = (x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = (y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
    }
};

TEST_F(Saver, FullScreenShowsTheArtAboveEverythingAndEndsOnAKey)
{
    SetWord("BLUE");
    ASSERT_TRUE(Start("/s"));
    ASSERT_TRUE(WaitWindow());
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(width, r.right);
    EXPECT_EQ(height, r.bottom);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_TRUE(ShowsTheDisc(width / 2, height / 2)) << Rgb(ScreenMean(width / 2 - 4, height / 2 - 4));

    // A second full-screen start leaves the first alone.
    PROCESS_INFORMATION first = pi;
    pi = {};
    ASSERT_TRUE(Start("/S"));
    EXPECT_EQ(0u, ExitCode());
    EndRun();
    pi = first;
    EXPECT_TRUE(Running());

    PostMessageA(window, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_EQ(0u, ExitCode());
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Saver, FullScreenEndsOnAMouseThatMovesAway)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    POINT at;
    MouseTo(width / 3, height / 3);
    ASSERT_TRUE(WaitFor([&] { GetCursorPos(&at); return abs(at.x - width / 3) <= 1 && abs(at.y - height / 3) <= 1; },
                        kPatience));
    ASSERT_TRUE(Start("-s"));
    ASSERT_TRUE(WaitWindow());
    ASSERT_TRUE(ShowsTheDisc(width / 2, height / 2));
    // A nudge of a pixel or two, as a desk's tremor gives, is not the user:
    // the window stays once the saver has handled it (the send returns).
    DWORD_PTR answer;
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x + 2, at.y - 1), SMTO_ABORTIFHUNG,
                                    kPatience, &answer));
    EXPECT_TRUE(IsWindow(window));
    MouseTo(at.x + 40, at.y + 10);
    EXPECT_EQ(0u, ExitCode());
}

TEST_F(Saver, FullScreenEndsOnAMouseButton)
{
    ASSERT_TRUE(Start("/s"));
    ASSERT_TRUE(WaitWindow());
    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(0u, ExitCode());
}

TEST_F(Saver, MissingArtShowsTheGradientAndNoError)
{
    SetWord("NOSUCH");
    ASSERT_TRUE(Start("/s"));
    ASSERT_TRUE(WaitWindow());
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    // White's tones: a light, nearly neutral grey.
    const int tolerance = ScreenTolerance(24);
    EXPECT_TRUE(WaitFor([&] { return Near(ScreenMean(x - 4, y - 4), 220, 220, 220, tolerance); }, kPatience))
        << Rgb(ScreenMean(x - 4, y - 4));
    EXPECT_EQ(nullptr, ProcessWindow(pi.dwProcessId, "#32770", "Assertion Error"));
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
    EXPECT_EQ(0u, ExitCode());
}

// A window of this test standing in for the display settings' preview.
HWND MakePreviewParent(int width, int height)
{
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND parent = CreateWindowA("STATIC", "Preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 300, 200,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(parent);
    return parent;
}

TEST_F(Saver, PreviewFillsTheGivenWindowUntilItGoes)
{
    HWND parent = MakePreviewParent(152, 112);
    ASSERT_NE(nullptr, parent);
    ASSERT_TRUE(Start("/p " + std::to_string((uintptr_t)parent)));
    HWND child = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (child = FindWindowExA(parent, nullptr, kSaverClass, nullptr)) != nullptr; },
                        kPatience));
    DWORD owner = 0;
    GetWindowThreadProcessId(child, &owner);
    EXPECT_EQ(pi.dwProcessId, owner);
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(nullptr, ProcessWindow(pi.dwProcessId, kSaverClass)) << "no full-screen window";
    RECT inParent, client;
    GetClientRect(parent, &inParent);
    GetWindowRect(child, &client);
    MapWindowPoints(nullptr, parent, (POINT *)&client, 2);
    EXPECT_EQ(0, client.left);
    EXPECT_EQ(0, client.top);
    EXPECT_EQ(inParent.right, client.right);
    EXPECT_EQ(inParent.bottom, client.bottom);
    // What the preview draws is not looked at: Wine 8 gives a window no
    // drawable when its top-level window belongs to another process, so the
    // drawing of a preview child never reaches the screen there.

    // The preview follows the window's size.
    SetWindowPos(parent, nullptr, 0, 0, 260, 200, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(parent, &inParent);
    EXPECT_TRUE(WaitFor([&] {
        RECT now;
        GetClientRect(child, &now);
        return now.right == inParent.right && now.bottom == inParent.bottom;
    }, kPatience));

    // Keys and clicks meant for the settings do not end a preview: its
    // window stays once it has handled them (each send returns).
    DWORD_PTR answer;
    EXPECT_TRUE(SendMessageTimeoutA(child, WM_KEYDOWN, 'A', 0x001E0001, SMTO_ABORTIFHUNG, kPatience, &answer));
    EXPECT_TRUE(SendMessageTimeoutA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3), SMTO_ABORTIFHUNG,
                                    kPatience, &answer));
    EXPECT_TRUE(IsWindow(child));

    DestroyWindow(parent);
    EXPECT_EQ(0u, ExitCode());
}

TEST_F(Saver, PreviewWithColonAndWithoutAWindow)
{
    HWND parent = MakePreviewParent(100, 80);
    ASSERT_TRUE(Start("/p:" + std::to_string((uintptr_t)parent)));
    HWND child = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (child = FindWindowExA(parent, nullptr, kSaverClass, nullptr)) != nullptr; },
                        kPatience));
    DestroyWindow(parent);
    EXPECT_EQ(0u, ExitCode());

    // A handle that is not a window: nothing to draw into.
    EndRun();
    ASSERT_TRUE(Start("/p " + std::to_string((uintptr_t)parent)));
    EXPECT_EQ(1u, ExitCode());
    EndRun();
    ASSERT_TRUE(Start("/p"));
    EXPECT_EQ(1u, ExitCode());
}

TEST_F(Saver, SetUpSaysThereIsNothingToSetUp)
{
    HWND owner = MakePreviewParent(200, 100);
    for (std::string args : {std::string(""), std::string("/c"), "/c:" + std::to_string((uintptr_t)owner)}) {
        SCOPED_TRACE("\"" + args + "\"");
        ASSERT_TRUE(Start(args));
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = ProcessWindow(pi.dwProcessId, "#32770", kBoxCaption)) != nullptr; },
                            kPatience));
        EXPECT_NE(std::string::npos, Text(GetDlgItem(box, 0xFFFF)).find("nothing to set up"))
            << Text(GetDlgItem(box, 0xFFFF));
        if (args.size() > 2) {
            EXPECT_EQ(owner, GetWindow(box, GW_OWNER));
        }
        EXPECT_EQ(nullptr, ProcessWindow(pi.dwProcessId, kSaverClass));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(0u, ExitCode());
        EndRun();
    }
    DestroyWindow(owner);
}

TEST_F(Saver, PasswordChangeIsIgnored)
{
    // Ending by itself shows it: a box or a saver window waits for the user.
    ASSERT_TRUE(Start("/a 1234"));
    EXPECT_EQ(0u, ExitCode());
}

}  // namespace
