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
// 90 x 16 and "Cancel" 40 x 16.
const UiMeasures kTypical = {120, 16, 60, 28, 48, 48};

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

}  // namespace
