// The main window at each monitor's dpi: at start-up and after every
// WM_DPICHANGED each control lies where the layout puts it at that dpi, in a
// font made at that dpi (the status bar in the status font at that dpi), the colour buttons' icons at that dpi's size, and the
// window in the rectangle the system suggested; going back gives the same
// window again, and no font is left behind.
#include "app/dpiscale.h"

#include "app/appglobals.h"
#include "app/mainlogic.h"
#include "platform/host/host.h"
#include "tests/testing.h"

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

// The About box is the window's own; these tests never open it.
void RunAboutBox(PlatWindow) {}

namespace {

intptr_t TestMainProc(PlatWindow w, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    bool handled;
    return MainWindowMessage(w, message, wParam, lParam, &handled);
}

const int kColors[5] = {IDC_WHITE, IDC_BLUE, IDC_BLACK, IDC_RED, IDC_GREEN};  // the layout's order
const int kPushes[5] = {kIdOk, kIdCancel, IDC_APPLY, IDC_REVERT, IDC_ABOUT};

// The measures at dpi from the simulated system's own rules (host.h): the
// control font's em height 14 pixels at 96 dots an inch, a character 11/20 of
// it wide and a line 5/4 of it high; the status font Tahoma 11 at 96; icons
// 32 at 96.
UiMeasures ExpectedMeasures(int dpi)
{
    auto scaled = [dpi](int pixels) { return (pixels * dpi + 48) / 96; };
    int em = scaled(14), status = scaled(11);
    auto wide = [](size_t chars, int px) { return (int)((chars * px * 11 + 10) / 20); };
    UiMeasures m = {};
    m.dpi = dpi;
    m.checkWidth = wide(13, em) + scaled(30);
    m.lineHeight = (em * 5 + 3) / 4;
    m.buttonWidth = wide(6, em) + scaled(20);
    m.buttonHeight = (em * 5 + 3) / 4 * 7 / 4;
    m.iconCellWidth = m.iconCellHeight = scaled(32) * 3 / 2;
    m.statusWidth = wide(strlen(kStatusPrompt), status) + scaled(12);
    return m;
}

class DpiScale : public MachineTest {
protected:
    PlatWindow main;
    void SetUp() override
    {
        MachineTest::SetUp();
        main = MainWindow = HostMakeWindow(nullptr, 0, "Desktop Quennel");
        HostSetWindowProc(main, TestMainProc);
        for (int id : kColors)
            HostMakeWindow(main, id, "");
        for (int id = IDC_SCREENSAVER; id <= IDC_FONTS; id++)
            HostMakeWindow(main, id, "");
        for (int id : kPushes)
            HostMakeWindow(main, id, "");
        HostMakeWindow(main, IDC_PARTS, "");
        HostMakeWindow(main, IDC_STATUS, "");
        MeasureUi(96, &Measures, &UiFont);
        MainPlaceControls(main, Measures, UiFont);
    }
    void TearDown() override
    {
        FontDelete(UiFont);
        FontDelete(StatusFont);
        UiFont = StatusFont = nullptr;
        MachineTest::TearDown();
    }
    PlatWindow Item(int id) { return WindowItem(main, id); }
    PixelRect RectOf(int id)
    {
        HostWindowState s = HostWindowInfo(Item(id));
        return PixelRect{s.left, s.top, s.left + s.width, s.top + s.height};
    }
    // Every control's rectangle, in one list: colours, group box, checks, pushes.
    std::vector<PixelRect> Rects()
    {
        std::vector<PixelRect> rects;
        for (int id : kColors)
            rects.push_back(RectOf(id));
        rects.push_back(RectOf(IDC_PARTS));
        for (int id = IDC_SCREENSAVER; id <= IDC_FONTS; id++)
            rects.push_back(RectOf(id));
        for (int id : kPushes)
            rects.push_back(RectOf(id));
        return rects;
    }
    // What the system sends when the window moves to a monitor of dpi.
    void DpiChanged(int dpi, const PixelRect &suggested)
    {
        int32_t rect[4] = {suggested.left, suggested.top, suggested.right, suggested.bottom};
        MessageSend(main, kWmDpiChanged, (uintptr_t)(dpi | dpi << 16), (intptr_t)rect);
    }
    // The last icon size each colour button was sent; 0 none.
    std::vector<uintptr_t> IconSizes()
    {
        std::vector<uintptr_t> sizes;
        for (int id : kColors) {
            uintptr_t size = 0;
            for (const HostMessage &m : HostMessages())
                if (m.window == Item(id) && m.message == IBM_SETICONSIZE)
                    size = m.wParam;
            sizes.push_back(size);
        }
        return sizes;
    }
};

bool Same(const PixelRect &a, const PixelRect &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(DpiScale, MeasuresAtADpiAreTheSystemsOwn)
{
    for (int dpi : {96, 120, 144, 192}) {
        UiMeasures m, expected = ExpectedMeasures(dpi);
        PlatFont font;
        MeasureUi(dpi, &m, &font);
        EXPECT_EQ((14 * dpi + 48) / 96, HostFontPixels(font)) << dpi;
        EXPECT_EQ("MS Sans Serif", HostFontFace(font));
        EXPECT_EQ(expected.checkWidth, m.checkWidth) << dpi;
        EXPECT_EQ(expected.lineHeight, m.lineHeight) << dpi;
        EXPECT_EQ(expected.buttonWidth, m.buttonWidth) << dpi;
        EXPECT_EQ(expected.buttonHeight, m.buttonHeight) << dpi;
        EXPECT_EQ(expected.iconCellWidth, m.iconCellWidth) << dpi;
        EXPECT_EQ(expected.iconCellHeight, m.iconCellHeight) << dpi;
        EXPECT_EQ(expected.statusWidth, m.statusWidth) << dpi;
        FontDelete(font);
    }
    EXPECT_EQ(2, HostLiveFonts()) << "the window's own fonts alone: each status font measured with went";
}

TEST_F(DpiScale, EveryChangeLaysTheWindowOutAtItsDpiAndBack)
{
    std::vector<PixelRect> at96 = Rects();
    for (int dpi : {120, 144, 192, 96}) {
        SCOPED_TRACE(std::to_string(dpi) + " dots an inch");
        HostClearEvents();
        PixelRect suggested{300 + dpi, 200, 300 + dpi + 4 * dpi, 200 + 3 * dpi};
        DpiChanged(dpi, suggested);

        HostWindowState window = HostWindowInfo(main);
        EXPECT_TRUE(Same(suggested, PixelRect{window.left, window.top, window.left + window.width,
                                               window.top + window.height}))
            << "the system's suggested rectangle";
        MainLayout layout;
        ComputeMainLayout(ExpectedMeasures(dpi), &layout);
        for (int i = 0; i < 5; i++)
            EXPECT_TRUE(Same(layout.colorButtons[i], RectOf(kColors[i]))) << "colour button " << kColors[i];
        EXPECT_TRUE(Same(layout.groupBox, RectOf(IDC_PARTS)));
        for (int k = 0; k < 7; k++) {
            EXPECT_TRUE(Same(layout.checkBoxes[k], RectOf(IDC_SCREENSAVER + k))) << "check box " << k;
            EXPECT_EQ(UiFont, HostWindowInfo(Item(IDC_SCREENSAVER + k)).font);
        }
        for (int k = 0; k < 5; k++) {
            EXPECT_TRUE(Same(layout.pushButtons[k], RectOf(kPushes[k]))) << "push button " << kPushes[k];
            EXPECT_EQ(UiFont, HostWindowInfo(Item(kPushes[k])).font);
        }
        EXPECT_EQ((14 * dpi + 48) / 96, HostFontPixels(UiFont));
        EXPECT_EQ(dpi, Measures.dpi);
        for (uintptr_t size : IconSizes())
            EXPECT_EQ((uintptr_t)(32 * dpi + 48) / 96, size) << "the icons' images at the dpi's size";
        bool statusSized = false;
        for (const HostMessage &m : HostMessages())
            statusSized = statusSized || (m.window == Item(IDC_STATUS) && m.message == kWmSize);
        EXPECT_TRUE(statusSized);
        EXPECT_EQ(StatusFont, HostWindowInfo(Item(IDC_STATUS)).font);
        EXPECT_EQ((11 * dpi + 48) / 96, HostFontPixels(StatusFont)) << "the status font at the dpi";
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
    DpiChanged(192, PixelRect{0, 0, 800, 600});
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
