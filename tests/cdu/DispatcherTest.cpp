#include <gtest/gtest.h>

#include "Harness.h"
#include "cdu/Dispatcher.h"
#include "cdu/DisplayControl.h"
#include "cdu/PageTable.h"

namespace {

// A unit that is on, past INIT (accepted), with the database load requested.
struct AcceptedUnit : ::testing::Test {
    Harness h{[] {
        HarnessOptions o;
        o.sampleDatabase = false;
        return o;
    }()};
    AcceptedUnit() {
        h.powerOn();
        h.cdu().initAccepted = true;
    }
    // Presses a function key and runs one frame.
    void pressAndRun(const char* key) {
        h.press(key);
        h.frame();
    }
};

using GlobalKeys = AcceptedUnit;
using DisplayControl = AcceptedUnit;

// The alpha of the dimming overlay drawn last in the frame.
float dimmingAlpha(const Harness& h) {
    const std::vector<ListRecord> bars = h.renderer.listsOf(listFilledBar);
    return bars.empty() ? -1.0f : bars.back().colour.a;
}

}  // namespace

TEST_F(GlobalKeys, TopLevelKeysOpenTheirPagesAsTheirOwnReturnTargets) {
    struct Case {
        const char* key;
        int page;
    };
    for (const Case c : {Case{"DATA", kPageData}, Case{"NAV", kPageNav}, Case{"VNAV", kPageVnav},
                         Case{"DTO", kPageDirectTo}, Case{"FUEL", kPageFuel}, Case{"LIST", kPageList}}) {
        h.type("AB");
        pressAndRun(c.key);
        EXPECT_EQ(h.cdu().currentPage, c.page) << c.key;
        EXPECT_EQ(h.cdu().previousPage, c.page) << c.key;
        EXPECT_EQ(h.keys().pendingFunctionKey, kFunctionNone) << c.key;
        // Only LIST empties the scratchpad.
        EXPECT_EQ(h.keys().scratchpad.empty(), std::string(c.key) == "LIST") << c.key;
        h.keys().scratchpad.clear();
    }
    // PREV, NEXT and the two keys without a legend are left for the page (which LIST,
    // having a page now, takes: so the global step is checked on its own).
    h.press("NEXT");
    handleGlobalFunctionKeys();
    EXPECT_EQ(h.keys().pendingFunctionKey, kFnNext);
    EXPECT_EQ(h.cdu().currentPage, kPageList);
}

TEST_F(GlobalKeys, FplNeedsTheUnitOnAndOpensThePlanFromAnyPage) {
    pressAndRun("DATA");
    h.type("KSEA");
    pressAndRun("FPL");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(h.cdu().previousPage, kPageData);
    EXPECT_EQ(h.keys().scratchpad, "");

    // Switched off: FPL waits (pending), the other keys still change the page unseen.
    h.press("ONOFF");
    h.frame();
    h.press("R5");
    h.frame();
    ASSERT_EQ(h.cdu().unitPower, kPowerOff);
    pressAndRun("NAV");
    pressAndRun("FPL");
    EXPECT_EQ(h.cdu().currentPage, kPageNav);
    EXPECT_EQ(h.keys().pendingFunctionKey, kFnFpl);
    EXPECT_TRUE(h.screen().isBlank());
    // The next power-on shows the start-up page whatever was selected.
    h.powerOn();
    EXPECT_EQ(h.cdu().currentPage, kPageStartup);
}

TEST_F(GlobalKeys, MenuOpensFromThePlanPagesOnly) {
    pressAndRun("DATA");
    pressAndRun("MENU");
    EXPECT_EQ(h.cdu().currentPage, kPageData);
    EXPECT_EQ(h.keys().pendingFunctionKey, kFnMenu);
    h.keys().pendingFunctionKey = kFunctionNone;

    for (int page : {kPageFpl, kPageDeparture, kPagePposToWpt}) {
        h.cdu().currentPage = page;
        h.type("W");
        h.press("L2");
        pressAndRun("MENU");
        EXPECT_EQ(h.cdu().currentPage, kPageFplMenu) << page;
        EXPECT_EQ(h.cdu().previousPage, page);
        EXPECT_EQ(h.keys().scratchpad, "");
        EXPECT_EQ(h.keys().pendingLsk, kLskNone);
    }
    h.cdu().currentPage = kPageFuel;
    pressAndRun("MENU");
    EXPECT_EQ(h.cdu().currentPage, kPageFuel);
}

TEST_F(GlobalKeys, NothingActsBeforeInitIsAcceptedOrWhileTheDisplayControlIsOpen) {
    h.cdu().initAccepted = false;
    pressAndRun("DATA");
    EXPECT_EQ(h.cdu().currentPage, kPageStartup);
    EXPECT_EQ(h.keys().pendingFunctionKey, kFnData);

    h.cdu().initAccepted = true;
    h.press("ONOFF");  // opens the display control in the same frame the DATA key waits
    h.frame();
    EXPECT_EQ(h.cdu().currentPage, kPageStartup);
    h.press("R3");  // CANCEL
    h.frame();
    h.frame();
    EXPECT_EQ(h.cdu().currentPage, kPageData);
}

TEST_F(DisplayControl, OpensInBrightnessModeAndDrawsItsControls) {
    h.press("ONOFF");
    h.frame();
    ASSERT_TRUE(h.cdu().displayControlShown);
    EXPECT_EQ(h.keys().pendingPadKey, kPadNone);
    // Right-aligned at column 22, over the page that keeps running below.
    EXPECT_EQ(h.row(2), "LEARJET 45       BRIGHT ");
    EXPECT_EQ(h.row(4).substr(17), "   DIM ");
    EXPECT_EQ(h.row(6).substr(17, 6), "CANCEL");
    EXPECT_EQ(h.row(8).substr(15), " DISPLAY ");
    EXPECT_EQ(h.row(10).substr(14), " OFF/STBY ");
    EXPECT_EQ(h.screen().colourAt(2, 17), CduColourName::white);
    // Arrows at rows 2, 4, 6, 8 and 10, pointing right at column 23.
    EXPECT_EQ(h.renderer.listsOf(listArrow).size(), 5u);

    h.press("R4");
    h.frame();
    EXPECT_EQ(h.cdu().displayControlMode, kDisplayControlVideo);
    EXPECT_EQ(h.row(2).substr(18), "   UP ");
    EXPECT_EQ(h.row(8).substr(18), "VIDEO ");
    EXPECT_EQ(h.row(10), std::string(24, ' '));
    EXPECT_EQ(h.renderer.listsOf(listArrow).size(), 4u);

    // Every opening starts in brightness mode again.
    h.press("R3");
    h.frame();
    EXPECT_FALSE(h.cdu().displayControlShown);
    h.press("ONOFF");
    h.frame();
    EXPECT_EQ(h.cdu().displayControlMode, kDisplayControlBrightness);
}

TEST_F(DisplayControl, DimmingStopsAtPointEightAndBrighteningAtZero) {
    h.press("ONOFF");
    h.frame();
    EXPECT_FLOAT_EQ(dimmingAlpha(h), 0.0f);
    for (int i = 1; i <= 10; ++i) {
        h.press("R2");
        h.frame();
        EXPECT_NEAR(h.settings().dimLevel, std::min(0.1f * i, 0.8f), 1e-5) << i;
    }
    EXPECT_FLOAT_EQ(h.settings().dimLevel, 0.8f);
    EXPECT_FLOAT_EQ(dimmingAlpha(h), 0.8f);
    for (int i = 1; i <= 10; ++i) {
        h.press("R1");
        h.frame();
        EXPECT_GE(h.settings().dimLevel, 0.0f);
    }
    EXPECT_FLOAT_EQ(h.settings().dimLevel, 0.0f);

    // In video mode R1/R2 move the alignment instead, without a limit.
    h.press("R4");
    h.frame();
    for (int i = 0; i < 12; ++i) {
        h.press("R1");
        h.frame();
    }
    h.press("R2");
    h.frame();
    EXPECT_NEAR(h.settings().textKeyAlignment, 1.1f, 1e-4);
    EXPECT_FLOAT_EQ(h.settings().dimLevel, 0.0f);
}

TEST_F(DisplayControl, OffStandbyWorksInEitherModeAndLeavesTheBezel) {
    h.press("ONOFF");
    h.frame();
    h.press("R4");
    h.frame();
    h.press("R5");
    h.frame();
    EXPECT_EQ(h.cdu().unitPower, kPowerOff);
    EXPECT_FALSE(h.cdu().displayControlShown);
    h.frame();
    EXPECT_TRUE(h.screen().isBlank());
    EXPECT_EQ(h.renderer.bezelDraws(), 1);
    // The dimming overlay is drawn even while the unit is off.
    EXPECT_FLOAT_EQ(dimmingAlpha(h), h.settings().dimLevel);
}

TEST(HardwareMode, TheTextAreaIsStretchedOverTheWindowWithoutABezel) {
    HarnessOptions o;
    o.sampleDatabase = false;
    Harness h(o);
    h.dir.write("FMS.ini", "hardware_mode:yes\n");
    h.powerOn();
    EXPECT_EQ(h.renderer.bezelDraws(), 0);
    EXPECT_EQ(h.row(0), "        ORX - 1         ");
    EXPECT_TRUE(h.settings().frameless);
    EXPECT_EQ(h.settings().windowHeight, 405);  // three quarters of 540
}
