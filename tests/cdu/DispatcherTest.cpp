#include <gtest/gtest.h>

#include "Harness.h"
#include "cdu/Dispatcher.h"
#include "cdu/DisplayControl.h"
#include "pages/PageTable.h"

namespace {

// A unit that is on, past INIT (accepted).
struct AcceptedUnit : ::testing::Test {
    Harness h{HarnessOptions{.sampleDatabase = false}};
    AcceptedUnit() {
        h.powerOn();
        h.cdu().initAccepted = true;
    }
    // Presses a key and runs one frame.
    void pressAndRun(const char* key) {
        h.press(key);
        h.frame();
    }
    // The alpha of the dimming overlay drawn last in the frame.
    float dimmingAlpha() const {
        const std::vector<ListRecord> bars = h.renderer.listsOf(listFilledBar);
        return bars.empty() ? -1.0f : bars.back().colour.a;
    }
};

using GlobalKeys = AcceptedUnit;

}  // namespace

TEST_F(GlobalKeys, TopLevelKeysOpenTheirPagesAsTheirOwnReturnTargets) {
    const std::pair<const char*, int> cases[] = {{"DATA", kPageData}, {"NAV", kPageNav},
                                                 {"VNAV", kPageVnav}, {"DTO", kPageDirectTo},
                                                 {"FUEL", kPageFuel}, {"LIST", kPageList}};
    for (const auto& [key, page] : cases) {
        SCOPED_TRACE(key);
        h.type("AB");
        pressAndRun(key);
        EXPECT_EQ(h.cdu().currentPage, page);
        EXPECT_EQ(h.cdu().previousPage, page);
        EXPECT_EQ(h.keys().pendingFunctionKey, kFunctionNone);
        EXPECT_EQ(h.keys().scratchpad.empty(), std::string(key) == "LIST");  // only LIST empties it
        h.keys().scratchpad.clear();
    }
    // NEXT is left for the page (checked on the global step alone: the LIST page would take it).
    h.press("NEXT");
    handleGlobalFunctionKeys(pageTable());
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
    pressAndRun("ONOFF");
    pressAndRun("R5");
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
        SCOPED_TRACE(page);
        h.cdu().currentPage = page;
        h.type("W");
        h.press("L2");
        pressAndRun("MENU");
        EXPECT_EQ(h.cdu().currentPage, kPageFplMenu);
        EXPECT_EQ(h.cdu().previousPage, page);
        EXPECT_EQ(h.keys().scratchpad, "");
        EXPECT_EQ(h.keys().pendingLsk, kLskNone);
    }
}

// (The INIT page tests cover the keys held back until ACCEPT.)
TEST_F(GlobalKeys, NothingActsWhileTheDisplayControlIsOpen) {
    h.press("DATA");
    pressAndRun("ONOFF");  // opens the display control in the same frame the DATA key waits
    EXPECT_EQ(h.cdu().currentPage, kPageStartup);
    pressAndRun("R3");  // CANCEL
    h.frame();
    EXPECT_EQ(h.cdu().currentPage, kPageData);
}

// One opening of the display control after another: its two modes, the dimming limits, CANCEL
// and OFF/STBY.
TEST_F(AcceptedUnit, DisplayControlDimsWithinItsLimitsAndSwitchesTheUnitOff) {
    pressAndRun("ONOFF");
    ASSERT_TRUE(h.cdu().displayControlShown);
    EXPECT_EQ(h.keys().pendingPadKey, kPadNone);
    // Right-aligned at column 22, over the page that keeps running below; arrows at rows 2..10.
    EXPECT_EQ(h.row(2), "LEARJET 45       BRIGHT ");
    EXPECT_EQ(h.row(10).substr(14), " OFF/STBY ");
    EXPECT_EQ(h.renderer.listsOf(listArrow).size(), 5u);
    EXPECT_FLOAT_EQ(dimmingAlpha(), 0.0f);

    for (int i = 1; i <= 10; ++i) {
        pressAndRun("R2");
        EXPECT_NEAR(h.settings().dimLevel, std::min(0.1f * i, 0.8f), 1e-5) << i;
    }
    EXPECT_FLOAT_EQ(dimmingAlpha(), 0.8f);
    for (int i = 1; i <= 10; ++i) pressAndRun("R1");
    EXPECT_FLOAT_EQ(h.settings().dimLevel, 0.0f);

    // Video mode: R1/R2 move the text alignment instead, without a limit.
    pressAndRun("R4");
    EXPECT_EQ(h.cdu().displayControlMode, kDisplayControlVideo);
    EXPECT_EQ(h.row(2).substr(18), "   UP ");
    EXPECT_EQ(h.row(8).substr(18), "VIDEO ");
    EXPECT_EQ(h.renderer.listsOf(listArrow).size(), 4u);
    for (int i = 0; i < 12; ++i) pressAndRun("R1");
    pressAndRun("R2");
    EXPECT_NEAR(h.settings().textKeyAlignment, 1.1f, 1e-4);
    EXPECT_FLOAT_EQ(h.settings().dimLevel, 0.0f);

    // Every opening starts in brightness mode again.
    pressAndRun("R3");
    EXPECT_FALSE(h.cdu().displayControlShown);
    pressAndRun("ONOFF");
    EXPECT_EQ(h.cdu().displayControlMode, kDisplayControlBrightness);
    pressAndRun("R2");

    // OFF/STBY from video mode: the screen goes dark, the bezel and the overlay stay.
    pressAndRun("R4");
    pressAndRun("R5");
    EXPECT_EQ(h.cdu().unitPower, kPowerOff);
    EXPECT_FALSE(h.cdu().displayControlShown);
    h.frame();
    EXPECT_TRUE(h.screen().isBlank());
    EXPECT_EQ(h.renderer.bezelDraws(), 1);
    EXPECT_NEAR(dimmingAlpha(), 0.1f, 1e-5);
}

// Pages that take every line key (LIST before the plan has an origin, the DATA index) must
// not hold back the overlay's keys: DIM, VIDEO and CANCEL act, and the overlay closes.
TEST_F(AcceptedUnit, TheDisplayControlGetsItsKeysWhateverThePageTakes) {
    for (const char* page : {"LIST", "DATA"}) {
        SCOPED_TRACE(page);
        pressAndRun(page);
        pressAndRun("ONOFF");
        ASSERT_TRUE(h.cdu().displayControlShown);
        pressAndRun("R2");
        EXPECT_NEAR(h.settings().dimLevel, 0.1f, 1e-5);
        pressAndRun("R4");
        EXPECT_EQ(h.cdu().displayControlMode, kDisplayControlVideo);
        pressAndRun("R3");
        EXPECT_FALSE(h.cdu().displayControlShown);
        h.settings().dimLevel = 0.0f;
    }
}

TEST(HardwareMode, TheTextAreaIsStretchedOverTheWindowWithoutABezel) {
    Harness h(HarnessOptions{.sampleDatabase = false});
    h.dir.write("FMS.ini", "hardware_mode:yes\n");
    h.powerOn();
    EXPECT_EQ(h.renderer.bezelDraws(), 0);
    EXPECT_EQ(h.row(0), "        ORX - 1         ");
}
