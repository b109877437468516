// The main window at each monitor's dpi: at start-up and after every change
// of dpi each control lies where the layout puts it at that dpi, in a font
// made at that dpi (the status bar in the status font at that dpi), the colour
// buttons' icons at that dpi's size, and the window in the rectangle the
// system suggested; going back gives the same window again, and no font is
// left behind.
#include "app/placement.h"

#include "app/windowcalls.h"
#include "platform/host/host.h"
#include "tests/testing.h"

#include <stdlib.h>

#include <string>
#include <vector>

namespace {

// The measures at each dpi, worked by hand from the simulated system's rules
// (host.h): the control font's em height 14 pixels at 96 dots an inch, a
// character 11/20 of it wide and a line 5/4 of it high; the status font
// Tahoma 11 at 96; icons 32 at 96; the prompt 74 characters.
struct Expected {
    int dpi, em;
    const char *face;
    UiMeasures m;  // checkWidth, lineHeight, buttonWidth, buttonHeight, iconCellWidth, iconCellHeight, dpi, statusWidth
};
const Expected kAtDpi[4] = {
    {96, 14, "MS Sans Serif", {130, 18, 66, 31, 48, 48, 96, 460}},
    {120, 18, "Microsoft Sans Serif", {167, 23, 84, 40, 60, 60, 120, 585}},
    {144, 21, "Microsoft Sans Serif", {195, 27, 99, 47, 72, 72, 144, 710}},
    {192, 28, "Microsoft Sans Serif", {260, 35, 132, 61, 96, 96, 192, 919}},
};

bool Same(const PixelRect &a, const PixelRect &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class DpiScale : public MachineTest {
protected:
    MainState state;
    PlatWindow main;
    void SetUp() override
    {
        MachineTest::SetUp();
        main = MakeHostMainWindow(&state);
        WindowMove(main, 100, 100, 0, 0);
        ASSERT_TRUE(MainLayOut(main, &state, 96, nullptr));
    }
    void TearDown() override
    {
        FontDelete(state.font);
        FontDelete(state.statusFont);
        MachineTest::TearDown();
    }
    PlatWindow Item(int id) { return WindowItem(main, id); }
    PixelRect RectOf(PlatWindow w)
    {
        HostWindowState s = HostWindowInfo(w);
        return PixelRect{s.left, s.top, s.left + s.width, s.top + s.height};
    }
    // Every control's rectangle, in one list: colours, group box, checks, pushes.
    std::vector<PixelRect> Rects()
    {
        std::vector<PixelRect> rects;
        for (int id : kColorOrder)
            rects.push_back(RectOf(Item(id)));
        rects.push_back(RectOf(Item(IDC_PARTS)));
        for (int id : kCheckOrder)
            rects.push_back(RectOf(Item(id)));
        for (int id : kPushOrder)
            rects.push_back(RectOf(Item(id)));
        return rects;
    }
    // The last icon size each colour button was sent; 0 none.
    std::vector<uintptr_t> IconSizes()
    {
        std::vector<uintptr_t> sizes;
        for (int id : kColorOrder) {
            uintptr_t size = 0;
            for (const HostMessage &m : HostMessages())
                if (m.window == Item(id) && m.message == IBM_SETICONSIZE)
                    size = m.wParam;
            sizes.push_back(size);
        }
        return sizes;
    }
};

TEST_F(DpiScale, MeasuresAtADpiAreTheSystemsOwn)
{
    for (const Expected &e : kAtDpi) {
        SCOPED_TRACE(e.dpi);
        PlatFont font = ControlFontCreate(e.dpi), status = StatusFontCreate(e.dpi);
        UiMeasures m;
        MeasureUi(e.dpi, font, status, &m);
        EXPECT_EQ(e.em, HostFontPixels(font));
        EXPECT_EQ(e.face, HostFontFace(font)) << "the bitmap face at 96 only, the outline face above";
        EXPECT_EQ(e.m.checkWidth, m.checkWidth);
        EXPECT_EQ(e.m.lineHeight, m.lineHeight);
        EXPECT_EQ(e.m.buttonWidth, m.buttonWidth);
        EXPECT_EQ(e.m.buttonHeight, m.buttonHeight);
        EXPECT_EQ(e.m.iconCellWidth, m.iconCellWidth);
        EXPECT_EQ(e.m.iconCellHeight, m.iconCellHeight);
        EXPECT_EQ(e.m.statusWidth, m.statusWidth);
        EXPECT_EQ(e.dpi, m.dpi);
        FontDelete(font);
        FontDelete(status);
    }
    EXPECT_EQ(2, HostLiveFonts()) << "the window's own fonts alone: each status font measured with went";
}

// The layout at 96 dots an inch, worked by hand from the measures above: the
// columns 415 wide centred in the prompt's 460, the icons' circle moved down
// to the middle of the check boxes' column, and the window its client area in
// a frame of 3 pixels and an 18-pixel caption.
TEST_F(DpiScale, StartUpLaysTheWindowOutOnce)
{
    const PixelRect colours[5] = {{80, 40, 128, 88}, {128, 83, 176, 131}, {112, 136, 160, 184},
                                  {48, 136, 96, 184}, {32, 83, 80, 131}};
    for (int i = 0; i < 5; i++)
        EXPECT_TRUE(Same(colours[i], RectOf(Item(kColorOrder[i])))) << kColorOrder[i];
    EXPECT_TRUE(Same(PixelRect{196, 0, 341, 204}, RectOf(Item(IDC_PARTS))));
    for (int k = 0; k < 7; k++)
        EXPECT_TRUE(Same(PixelRect{204, 15 + 27 * k, 334, 33 + 27 * k}, RectOf(Item(kCheckOrder[k])))) << k;
    for (int k = 0; k < 5; k++)
        EXPECT_TRUE(Same(PixelRect{361, 10 + 39 * k, 427, 41 + 39 * k}, RectOf(Item(kPushOrder[k])))) << k;
    EXPECT_TRUE(Same(PixelRect{100, 100, 100 + 466, 100 + 261}, RectOf(main))) << "the corner kept";
}

TEST_F(DpiScale, EveryChangeLaysTheWindowOutAtItsDpiAndBack)
{
    std::vector<PixelRect> at96 = Rects();
    for (int i : {1, 2, 3, 0}) {
        const Expected &e = kAtDpi[i];
        SCOPED_TRACE(std::to_string(e.dpi) + " dots an inch");
        HostClearEvents();
        PixelRect suggested{300 + e.dpi, 200, 300 + e.dpi + 4 * e.dpi, 200 + 3 * e.dpi};
        ASSERT_TRUE(MainLayOut(main, &state, e.dpi, &suggested));

        EXPECT_TRUE(Same(suggested, RectOf(main))) << "the system's suggested rectangle";
        MainLayout layout;
        ComputeMainLayout(e.m, &layout);
        std::vector<PixelRect> expected(layout.colorButtons, layout.colorButtons + 5);
        expected.push_back(layout.groupBox);
        expected.insert(expected.end(), layout.checkBoxes, layout.checkBoxes + 7);
        expected.insert(expected.end(), layout.pushButtons, layout.pushButtons + 5);
        std::vector<PixelRect> now = Rects();
        for (size_t k = 0; k < now.size(); k++)
            EXPECT_TRUE(Same(expected[k], now[k])) << "control " << k;
        for (int id : kCheckOrder)
            EXPECT_EQ(state.font, HostWindowInfo(Item(id)).font);
        for (int id : kPushOrder)
            EXPECT_EQ(state.font, HostWindowInfo(Item(id)).font);
        EXPECT_EQ(e.em, HostFontPixels(state.font));
        EXPECT_EQ(e.dpi, state.measures.dpi);
        for (uintptr_t size : IconSizes())
            EXPECT_EQ((uintptr_t)e.m.iconCellWidth * 2 / 3, size) << "the icons' images at the dpi's size";
        bool statusSized = false;
        for (const HostMessage &m : HostMessages())
            statusSized = statusSized || (m.window == Item(IDC_STATUS) && m.message == kWmSize);
        EXPECT_TRUE(statusSized);
        EXPECT_EQ(state.statusFont, HostWindowInfo(Item(IDC_STATUS)).font);
        EXPECT_EQ((11 * e.dpi + 48) / 96, HostFontPixels(state.statusFont)) << "the status font at the dpi";
        EXPECT_EQ(2, HostLiveFonts()) << "the fonts before deleted";
    }
    std::vector<PixelRect> back = Rects();
    for (size_t i = 0; i < at96.size(); i++)
        EXPECT_TRUE(Same(at96[i], back[i])) << "control " << i << " back at 96 dots an inch";
}

// The gaps, fonts and icons all grow with the dpi: at twice the dpi every
// control is about twice as far and as large (the rows' rounding adds up to a
// few pixels down the window).
TEST_F(DpiScale, TwiceTheDpiTwiceTheWindow)
{
    std::vector<PixelRect> at96 = Rects();
    PixelRect suggested{0, 0, 800, 600};
    ASSERT_TRUE(MainLayOut(main, &state, 192, &suggested));
    std::vector<PixelRect> at192 = Rects();
    auto near = [](int twice, int once) { return abs(twice - 2 * once) <= 8 + twice / 32; };
    for (size_t i = 0; i < at96.size(); i++) {
        EXPECT_TRUE(near(at192[i].left, at96[i].left)) << i << ": " << at192[i].left << " " << at96[i].left;
        EXPECT_TRUE(near(at192[i].top, at96[i].top)) << i << ": " << at192[i].top << " " << at96[i].top;
        EXPECT_TRUE(near(at192[i].right, at96[i].right)) << i << ": " << at192[i].right << " " << at96[i].right;
        EXPECT_TRUE(near(at192[i].bottom, at96[i].bottom)) << i << ": " << at192[i].bottom << " " << at96[i].bottom;
    }
}

}  // namespace
