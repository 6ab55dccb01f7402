// The INIT page through the headless harness: position, expiry, date and time, ACCEPT.
#include <gtest/gtest.h>

#include "PageTestSupport.h"

namespace {

class InitPage : public SmallDatabasePage {
protected:
    void SetUp() override {
        SimAircraft& a = h.sim.aircraft();
        a.latDeg = -33.5;
        a.lonDeg = 151.25;
        a.utcSeconds = kLeapDayNoon;
        a.paused = true;  // the clock in the simulator stands still
        powerOnToInit(h);
    }
};

TEST_F(InitPage, HemispheresMinutesLeapDayAndAccept) {
    EXPECT_SCREEN(R"(
        INIT 1/1
                    DATE
INITIAL POS    29-FEB-24
ID   <GPS>           UTC
S  33 30.0      12:34:56
E 151 15.0
STANDARD/EXTENDED
NAV DATABASE EXPIRES
25-FEB-2024

 ACCEPT FMC VER   1.2 A1)");
    EXPECT_EQ(h.screen().colourRow(4), "Y  YY YYYY      YYYYYYYY");
    EXPECT_EQ(h.screen().colourRow(10), " KKKKKK WWW WWW   GGG GG");
    EXPECT_EQ(h.screen().fontRow(10), " LLLLLL MMM MMM   MMM MM");
    EXPECT_EQ(h.renderer.offGridGlyphs(), 0);

    // North-west, with minutes that round up: 47.4505 is 27.03 minutes, 122.99999 is 59.9994
    // minutes and so shown as the next whole degree.
    h.sim.aircraft().latDeg = 47.4505;
    h.sim.aircraft().lonDeg = -122.99999;
    h.frames(2);
    EXPECT_EQ(h.row(4), "N  47 27.0      12:34:56");
    EXPECT_EQ(h.row(5), "W  123 0.0              ");

    // INIT has no use for ENTER: letters typed after a stray one still reach the scratchpad.
    h.type("\n");
    h.frame();
    h.type("AB1");
    h.frame();
    EXPECT_EQ(h.keys().scratchpad, "AB1");
    h.keys().scratchpad.clear();

    // Until ACCEPT the function keys do nothing.
    press("DATA", 1);
    EXPECT_EQ(h.cdu().currentPage, kPageInit);
    press("L5", 1);
    EXPECT_EQ(h.row(10), "        FMC VER   1.2 A1");
    EXPECT_TRUE(h.context.pages.init.initDone);
    // The DATA press left pending is taken now that the keys are unlocked.
    h.frame();
    EXPECT_EQ(h.cdu().currentPage, kPageData);
}

}  // namespace
