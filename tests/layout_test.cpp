// The main window's layout formulas.
#include "app/layout.h"

#include <gtest/gtest.h>

static bool operator==(const LayoutRect &a, const LayoutRect &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static void PrintTo(const LayoutRect &r, std::ostream *os)
{
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

// Measures of a 32 x 32 system icon size and a font whose "Window Colors" is
// 90 x 16 and "Cancel" 40 x 16, at 96 dots an inch.
// The status bar's prompt fits.
const UiMeasures kTypical = {120, 16, 60, 28, 48, 48, 96, 300};

TEST(Layout, PentagonOfColourButtons)
{
    MainLayout l;
    ComputeMainLayout(kTypical, &l);
    // The check group is (16 * 3 / 2) * 7 + 15 = 183 high, taller than the
    // 144-pixel icon area, which moves down by (183 - 144) / 2 = 19.
    const int L = 10, T = 29, R = 154, B = 173;
    EXPECT_EQ((LayoutRect{L + 48, T, L + 96, T + 48}), l.colorButtons[0]);                  // white
    EXPECT_EQ((LayoutRect{R - 48, T + 43, R, T + 91}), l.colorButtons[1]);                  // blue
    EXPECT_EQ((LayoutRect{R - 48 - 16, B - 48, R - 16, B}), l.colorButtons[2]);             // black
    EXPECT_EQ((LayoutRect{L + 16, B - 48, L + 64, B}), l.colorButtons[3]);                  // red
    EXPECT_EQ((LayoutRect{L, T + 43, L + 48, T + 91}), l.colorButtons[4]);                  // green
    EXPECT_EQ((LayoutRect{174, 0, 309, 183}), l.groupBox);
    EXPECT_EQ((LayoutRect{182, 15, 302, 31}), l.checkBoxes[0]);
    EXPECT_EQ((LayoutRect{182, 15 + 6 * 24, 302, 31 + 6 * 24}), l.checkBoxes[6]);
    EXPECT_EQ((LayoutRect{329, 10, 389, 38}), l.pushButtons[0]);
    EXPECT_EQ((LayoutRect{329, 10 + 4 * 36, 389, 38 + 4 * 36}), l.pushButtons[4]);
}

TEST(Layout, TallIconsMoveTheGroupInstead)
{
    UiMeasures big = kTypical;
    big.iconCellWidth = big.iconCellHeight = 96;  // a 64 x 64 icon size
    MainLayout l;
    ComputeMainLayout(big, &l);
    EXPECT_EQ(10, l.colorButtons[0].top) << "the icon area stays at the top";
    EXPECT_EQ((288 - 183) / 2, l.groupBox.top);
    EXPECT_EQ(l.groupBox.top + 15, l.checkBoxes[0].top);
    int width, height;
    MainWindowExtent(big, 18, &width, &height);
    EXPECT_EQ(3 * 96 + 75 + 60 + 120, width);
    EXPECT_EQ(288 + 18 + 10, height);
    MainWindowExtent(kTypical, 18, &width, &height);
    EXPECT_EQ(24 * 7 + 20 + 18 + 10, height);
}

// A prompt wider than the columns widens the window; the columns keep their
// places relative to each other, centred.
TEST(Layout, WiderPromptWidensTheWindowAndCentresTheColumns)
{
    MainLayout fits, wide;
    ComputeMainLayout(kTypical, &fits);
    int width, height, wideWidth, wideHeight;
    MainWindowExtent(kTypical, 18, &width, &height);
    UiMeasures m = kTypical;
    m.statusWidth = width + 41;
    ComputeMainLayout(m, &wide);
    MainWindowExtent(m, 18, &wideWidth, &wideHeight);
    EXPECT_EQ(width + 41, wideWidth);
    EXPECT_EQ(height, wideHeight);
    const LayoutRect *a = &fits.colorButtons[0], *b = &wide.colorButtons[0];
    for (size_t i = 0; i < sizeof(MainLayout) / sizeof(LayoutRect); i++) {
        EXPECT_EQ(a[i].left + 20, b[i].left) << i;
        EXPECT_EQ(a[i].right + 20, b[i].right) << i;
        EXPECT_EQ(a[i].top, b[i].top) << i;
    }
}

// Where the program sees the screen's own resolution, the font and the icons
// grow with it, and so must every gap: at 144 and 192 dots an inch the window
// is the one of 96 enlarged, each edge within a pixel of the rounding.
TEST(Layout, GrowsEvenlyWithTheResolution)
{
    MainLayout small;
    ComputeMainLayout(kTypical, &small);
    int smallWidth, smallHeight;
    MainWindowExtent(kTypical, 18, &smallWidth, &smallHeight);
    for (int dpi : {144, 192}) {
        SCOPED_TRACE(dpi);
        auto grown = [dpi](int v) { return v * dpi / 96; };
        const UiMeasures &t = kTypical;
        UiMeasures m = {grown(t.checkWidth),    grown(t.lineHeight),     grown(t.buttonWidth), grown(t.buttonHeight),
                        grown(t.iconCellWidth), grown(t.iconCellHeight), dpi,                grown(t.statusWidth)};
        MainLayout large;
        ComputeMainLayout(m, &large);
        const LayoutRect *a = &small.colorButtons[0], *b = &large.colorButtons[0];
        for (size_t i = 0; i < sizeof(MainLayout) / sizeof(LayoutRect); i++) {
            EXPECT_NEAR(grown(a[i].left), b[i].left, 1) << i;
            EXPECT_NEAR(grown(a[i].top), b[i].top, 1) << i;
            EXPECT_NEAR(grown(a[i].right), b[i].right, 1) << i;
            EXPECT_NEAR(grown(a[i].bottom), b[i].bottom, 1) << i;
        }
        int width, height;
        MainWindowExtent(m, grown(18), &width, &height);
        EXPECT_NEAR(grown(smallWidth), width, 1);
        EXPECT_NEAR(grown(smallHeight), height, 1);
    }
}

}  // namespace
