// The NAV page and the pages it opens (NAV LEG, HDG, MANEUVER) and the direct-to page, on the
// small Sydney database, driven by keys.
#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "PlanSteps.h"
#include "flightplan/FlightPlan.h"

namespace {

class NavPages : public SmallDatabasePage {
protected:
    SimAircraft& sim = h.sim.aircraft();
    const GuidanceState& g = h.context.guidance;

    void SetUp() override {
        sim.latDeg = -33.9461;  // over YSSY
        sim.lonDeg = 151.1772;
        sim.altitudeFt = sim.autopilotAltitudeFt = 3000.0;
        sim.headingTrueDeg = 90.0;
        sim.trueAirspeedKt = 180.0;
        sim.magVarDeg = 12.0;
        sim.windFromDeg = 200.0;
        sim.windSpeedKt = 12.0;
        sim.utcSeconds = kLeapDayNoon;  // 12:34:56
        sim.paused = true;              // nothing moves while the pages are read
        powerOnAndAccept(h);
        h.settings().unitIsFms1 = true;
    }
};

TEST_F(NavPages, NavPageWithoutAPlanShowsItsFixedTextAndStatus) {
    press("NAV");
    EXPECT_SCREEN(R"(
       NAV 1/2

FR                  HDG

TO                 MNVR

NX ----------

XTK ( ) L0.000 GS    184
WND  200T/012  ANP
               RNP
)");
    // The status values in green, the labels in white.
    EXPECT_EQ(h.screen().colourRow(8), "WWW W W GGGGGG WW    GGG");
}

TEST_F(NavPages, NavPageShowsFromToAndNextWithDistancesTimesAndArrival) {
    planOf({"YSSY", "SY", "ABBEY", "RIC"});
    sim.latDeg = -33.90;  // 2.4 NM north of SY, 179.6 kt over the ground
    sim.lonDeg = 151.18;
    sim.windSpeedKt = 0.0;
    press("NAV");
    // The course fields from column 1, the distances right-aligned at column 12 beside them.
    EXPECT_SCREEN(R"(
       NAV 1/2

FR YSSY             HDG
 008^   2.4NM  0+0
TO SY        12:34 MNVR
 108^   7.0NM  0+2
NX ABBEY     12:36

XTK ( ) L0.000 GS    179
WND  200T/000  ANP
               RNP
)");
    EXPECT_EQ(h.screen().colourRow(3), " MMMM   MMMMM  MMM      ");
    EXPECT_EQ(h.screen().colourRow(6), "WW GGGGG     GGGGG      ");

    // At 40 kt or less no times; 9.96 NM still reads with a decimal, 10 NM without.
    sim.trueAirspeedKt = 40.0;
    sim.latDeg = -33.94 + 9.96 / 60.0;
    h.frames(2);
    EXPECT_EQ(h.row(3).substr(7, 6), "10.0NM");
    EXPECT_EQ(h.row(4), "TO SY              MNVR ");
    sim.latDeg = -33.94 + 10.02 / 60.0;
    h.frames(2);
    EXPECT_EQ(h.row(3).substr(9, 4), "10NM");

    // An arrival after midnight wraps: 23:50 and 0+20 to go reads 00:10.
    sim.trueAirspeedKt = 180.0;
    sim.utcSeconds = 19782.0 * 86400.0 + 23 * 3600 + 50 * 60;
    sim.latDeg = -33.94 + 0.34 * 179.6 / 60.0;  // 20.4 minutes out
    h.frames(2);
    EXPECT_EQ(h.row(3).substr(14, 4), "0+20");
    EXPECT_EQ(h.row(4).substr(13, 5), "00:10");

    // NEXT and PREV leave the title alone.
    press("NEXT");
    press("PREV");
    EXPECT_EQ(h.row(0), "       NAV 1/2          ");
}

TEST_F(NavPages, NavLegPageMakesAnotherLegActiveByNumber) {
    planOf({"YSSY", "SY", "ABBEY", "RIC", "BK"});
    press("NAV");
    press("L2");
    EXPECT_SCREEN(R"(
   POS NAV LEG 1/1

  FRYSSY      1 YSSY
              2 SY
  TOSY        3 ABBEY
              4 RIC
  NXABBEY     5 BK



                RETURN
)");
    EXPECT_EQ(h.screen().colourRow(3), "              W MM      ");  // SY, the TO waypoint
    EXPECT_EQ(h.screen().colourAt(4, 4), CduColourName::black);      // TO in edit
    h.type("4");
    press("ENTER");
    EXPECT_EQ(g.activeSegment, 2);  // YSSY-SY-ABBEY-RIC: the leg to RIC
    EXPECT_EQ(h.row(4).substr(0, 7), "  TORIC");
    EXPECT_EQ(h.row(2).substr(0, 9), "  FRABBEY");
    // FROM 1: the leg starting at waypoint 1, YSSY -> SY.
    press("R5");
    press("L1");
    h.type("1");
    press("ENTER");
    EXPECT_EQ(g.activeSegment, 0);
    press("R5");
    EXPECT_EQ(h.row(0), "       NAV 1/2          ");
}

TEST_F(NavPages, DirectToRemovesTheLegsBetweenAndFliesADirectLegFromPresentPosition) {
    planOf({"YSSY", "SY", "ABBEY", "RIC", "BK", "COOGE", "YSBK", "DUP", "SY", "ABBEY"});
    press("DTO");
    EXPECT_SCREEN(R"(
       DTO  1/2
    DIRECT  -----
 1 YSSY           LEFT
 2 SY
 3 ABBEY         RIGHT
 4 RIC
 5 BK             AUTO
 6 COOGE
 7 YSBK        HOLDING
 8 DUP
 PVOR           RETURN
)");
    // Letters are shown and ENTER does nothing with them; a number past the plan is the last leg.
    h.type("K");
    press("ENTER");
    EXPECT_EQ(h.row(1).substr(13, 1), "K");
    EXPECT_EQ(g.directTo.dtoStep, 0);
    press("BACK");
    h.type("99");
    h.frame();
    EXPECT_EQ(h.row(1).substr(13, 2), "10");
    press("BACK");
    press("BACK");
    h.type("5");
    press("ENTER");
    EXPECT_SCREEN(R"(
       NAV LEG  1/2

  FR(PPOS)    1 YSSY
              2 SY
  TOBK        3 ABBEY
              4 RIC
  NX#--       5 BK
              6 COOGE
              7 YSBK
              8 DUP
                RETURN
)");
    h.type("9");
    press("ENTER");
    EXPECT_EQ(planIdents(), (std::vector<std::string>{"YSSY", "SY", "ABBEY", "RIC", "BK", "SY", "ABBEY"}));
    EXPECT_EQ(h.cdu().currentPage, kPageNav);
    EXPECT_EQ(planLeg(4)->legType, LegType::DF);
    EXPECT_TRUE(planLeg(4)->directTo);
    EXPECT_EQ(g.activeSegment, 3);  // RIC -> BK, flown straight from where the aircraft is
    EXPECT_EQ(h.row(2).substr(0, 9), "FR (PPOS)");
    EXPECT_EQ(h.row(4).substr(0, 5), "TO BK");

    // Next waypoint right after the direct-to one: nothing is deleted.
    press("DTO");
    h.type("2");
    press("ENTER");
    h.type("3");
    press("ENTER");
    EXPECT_EQ(planLegCount(), 7);
    EXPECT_EQ(g.activeSegment, 0);  // the SY chosen, not the later one of the same name
    EXPECT_EQ(h.row(2).substr(0, 9), "FR (PPOS)");
}

TEST_F(NavPages, HeadingPageEngagesHeadingModeWithTurnDirectionAndIntercept) {
    planOf({"YSSY", "SY", "ABBEY"});  // SY -> ABBEY runs south-east
    sim.latDeg = -33.90;
    sim.lonDeg = 151.10;
    press("NAV");
    press("R1");
    // Opened with the current heading (090 true less 12 east) in the scratchpad and in edit.
    EXPECT_SCREEN(R"(
       NAV 1/2
                 CMD HDG
FR YSSY              77^
 008^   4.6NM
TO SY         NO INTCPT
 108^   7.0NM
NX ABBEY          MNVR

XTK ( ) L0.000 GS    184
WND  200T/012  ANP
              CNCL HDG
)");
    EXPECT_EQ(h.screen().colourRow(2), "WW GGGG              KKW");
    press("ENTER");  // engages heading mode on the current heading
    EXPECT_TRUE(g.heading.headingMode);
    EXPECT_EQ(g.heading.commandedHeading, 77);
    EXPECT_EQ(h.row(1), "      HDG SEL    CMD HDG");
    EXPECT_EQ(h.row(2).substr(20), "077\xB0");

    // R: TURN R, and the letter leaves the scratchpad; 400 is 359.
    press("R1");
    h.type("4R00");
    h.frame();
    EXPECT_EQ(h.row(2).substr(14, 6), "TURN R");
    press("ENTER");
    EXPECT_EQ(g.heading.commandedHeading, 359);
    press("PLUSMINUS");
    EXPECT_EQ(h.row(2).substr(14, 6), "TURN L");
    // An empty entry commands 000.
    press("R1");
    press("BACK");
    press("BACK");
    press("BACK");
    EXPECT_EQ(h.row(2).substr(20, 3), "000");
    press("ENTER");
    EXPECT_EQ(g.heading.commandedHeading, 0);

    // North-east of SY -> ABBEY with that leg active, heading 200 magnetic crosses it ahead:
    // INTERCEPT is offered and armed.
    sim.latDeg = -33.90;
    sim.lonDeg = 151.25;
    h.context.guidance.activeSegment = 1;
    press("R1");
    h.type("200");
    press("ENTER");
    EXPECT_EQ(h.row(4).substr(13, 9), "INTERCEPT");
    press("R2");
    EXPECT_TRUE(g.heading.interceptArmed);
    EXPECT_EQ(h.row(1).substr(6, 9), "INTERCEPT");
    // Parallel to the leg: none, and the arming goes.
    const int parallel = static_cast<int>(normalize360(planSegment(1)->courseTrue - 12.0));
    press("R1");
    h.type(std::to_string(parallel));
    press("ENTER");
    EXPECT_EQ(h.row(4).substr(14, 9), "NO INTCPT");
    EXPECT_FALSE(g.heading.interceptArmed);

    press("R5");  // CNCL HDG
    EXPECT_FALSE(g.heading.headingMode);
    EXPECT_FALSE(h.context.pages.nav.hdgPageShown);
    EXPECT_EQ(h.row(2), "FR SY               HDG ");
}

TEST_F(NavPages, ManeuverMenuItemsAndReturn) {
    planOf({"YSSY", "SY", "ABBEY"});
    press("NAV");
    press("R2");
    EXPECT_SCREEN(R"(
       MANEUVER

 HOLDING DEFN       HDG

 DTO HOLD          PVOR

 DISARM HOLD       SXTK



 PPOS HOLD       RETURN
)");
    press("L2");  // DTO HOLD: an empty sub-page
    EXPECT_SCREEN("\n\n\n\n\n\n\n\n\n\n\n                 RETURN\n");
    press("R5");
    EXPECT_EQ(h.row(0), "       NAV 1/2          ");
    // DISARM HOLD clears the hold and closes the menu.
    h.context.guidance.hold.holdState = 1;
    press("R2");
    press("L3");
    EXPECT_EQ(g.hold.holdState, 0);
    EXPECT_EQ(h.row(0), "       NAV 1/2          ");
}

TEST_F(NavPages, DataPageShowsTheCommandedBankWhileCoupled) {
    planOf({"YSSY", "SY", "ABBEY"});
    press("DATA");
    press("PREV");
    for (int i = 0; i < 3; ++i) press("NEXT");
    EXPECT_EQ(h.row(6).substr(19), "-----");
    // Coupled and 2 NM left of SY -> ABBEY: the steering asks for right bank.
    sim.latDeg = -33.9111;
    sim.lonDeg = 151.2001;
    sim.headingTrueDeg = 120.0;
    sim.paused = false;
    sim.autopilotMaster = true;
    sim.navGpsSwitch = true;
    h.context.guidance.activeSegment = 1;
    h.frames(30);
    EXPECT_EQ(h.row(6).substr(18, 2), "R ");
    EXPECT_EQ(h.row(6).find('-'), std::string::npos);  // the magnitude, not a signed value
}

}  // namespace
