// The HOLD FIX and HOLDING pages inside the MANEUVER menu, arming and disarming the hold, and
// the VNAV PATH pages, on the small Sydney database, driven by keys.
#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "PlanSteps.h"
#include "flightplan/FlightPlan.h"
#include "guidance/HoldGuidance.h"

namespace {

class HoldVnavPages : public SmallDatabasePage {
protected:
    SimAircraft& sim = h.sim.aircraft();
    const GuidanceState& g = h.context.guidance;

    void SetUp() override {
        sim.latDeg = -33.9461;  // over YSSY
        sim.lonDeg = 151.1772;
        sim.altitudeFt = sim.autopilotAltitudeFt = 9000.0;
        sim.headingTrueDeg = 90.0;
        sim.trueAirspeedKt = 240.0;
        sim.paused = true;  // nothing moves while the pages are read
        powerOnAndAccept(h);
        h.settings().unitIsFms1 = true;
        for (const char* i : {"YSSY", "SY", "ABBEY"}) appendIdent(h.context.navdb.database, i);
    }
    void type(const char* text) {
        h.type(text);
        h.frame();
    }
    // HOLDING DEFN from the NAV page.
    void openHoldDefinition() {
        press("NAV");
        press("R2");
        press("L1");
    }
};

TEST_F(HoldVnavPages, HoldFixListThenTheDefinitionWithItsFieldsAndKeys) {
    openHoldDefinition();
    EXPECT_EQ(h.row(0), "       HOLD FIX 1/1     ");
    EXPECT_EQ(h.row(3), "HOLD FIX     2  SY      ");
    EXPECT_EQ(h.row(4), "---          3  ABBEY   ");
    type("9");
    press("ENTER");  // no leg 9: nothing chosen
    EXPECT_EQ(g.hold.fixLegIndex, -1);
    EXPECT_EQ(h.row(0), "       HOLD FIX 1/1     ");
    type("2");
    press("ENTER");
    EXPECT_EQ(h.screen().diff(R"(
       HOLDING 1/1
FIX                 TIME
SY                   1.0
INBD      INBD      DIST
008   TURN      FIX  ---
DIR       DIR        ETA
188       TIME
TURN               ENTRY
RIGHT              DRECT

 ARM HOLD        RETURN
)"),
              "");
    EXPECT_EQ(g.hold.fixLegIndex, 1);
    EXPECT_EQ(h.context.flightplan.plan.legs[1].overfly, 1);
    press("L2");
    type("90");
    EXPECT_EQ(h.row(4), "90                   ---");  // in edit: only its caption
    EXPECT_EQ(h.screen().colourRow(4).substr(0, 2), "KK");
    press("ENTER");
    EXPECT_EQ(g.hold.inboundCourseDeg, 90);
    EXPECT_EQ(g.hold.outboundCourseDeg, 270);
    press("L3");
    type("270");
    press("ENTER");
    EXPECT_EQ(g.hold.outboundCourseDeg, 270);
    EXPECT_EQ(g.hold.inboundCourseDeg, 90);
    press("L3");
    type("10");
    press("ENTER");
    EXPECT_EQ(g.hold.inboundCourseDeg, 190);
    press("R2");
    type("45");
    EXPECT_EQ(h.row(4), "190                 -4.5");
    press("ENTER");
    EXPECT_FLOAT_EQ(g.hold.legDistanceNm, 4.5f);
    EXPECT_EQ(g.hold.legTimeMin, 0.0f);
    press("L4");
    type("L");
    press("ENTER");
    EXPECT_EQ(g.hold.holdTurn, 1);
    EXPECT_EQ(h.row(8), "LEFT               DRECT");
    press("L4");
    press("PLUSMINUS");
    press("ENTER");
    EXPECT_EQ(g.hold.holdTurn, 2);
    press("L4");
    press("PLUSMINUS");
    press("ENTER");
    press("R1");
    type("2");
    press("ENTER");
    EXPECT_EQ(g.hold.legTimeMin, 2.0f);
    EXPECT_EQ(g.hold.legDistanceNm, 0.0f);
    press("L5");  // ARM HOLD
    EXPECT_EQ(g.hold.holdState, kHoldArmed);
    EXPECT_EQ(planIdents(), (std::vector<std::string>{"YSSY", "SY", "(23)", "ABBEY"}));
    // The NAV page shows the hold armed as the next leg.
    EXPECT_EQ(h.row(1), "        HOLD ARMED      ");
    EXPECT_EQ(h.row(6), "NX(HOLD)                ");
}

// The leg after the fix is the hold; armed, a hold leg of type HF is neither flown nor left
// until DISARM HOLD, which moves the plan past it.
TEST_F(HoldVnavPages, ArmedHfHoldWaitsForDisarmAndDisarmSequencesPastIt) {
    sim.paused = false;
    sim.autopilotMaster = true;
    sim.navGpsSwitch = true;
    FplLeg hf = h.context.flightplan.plan.legs[1];
    hf.legType = LegType::HF;
    insertLegBefore(3, hf);
    h.context.guidance.activeSegment = 1;  // flying the HF leg
    h.context.guidance.hold.holdState = kHoldArmed;
    h.frames(100);
    EXPECT_EQ(g.activeSegment, 1);
    EXPECT_EQ(g.hold.holdState, kHoldArmed);
    press("NAV");
    press("R2");
    press("L3");  // DISARM HOLD
    EXPECT_EQ(g.hold.holdState, kHoldNone);
    EXPECT_EQ(g.activeSegment, 2);
}

// The sector boundaries of the entry rule, for right and left turns.
TEST(HoldEntryRule, SeventyDegreeSectors) {
    EXPECT_EQ(holdEntryFor(109.9f, 0, 2), kEntryDirect);
    EXPECT_EQ(holdEntryFor(110.0f, 0, 2), kEntryParallel);
    EXPECT_EQ(holdEntryFor(180.0f, 0, 2), kEntryParallel);
    EXPECT_EQ(holdEntryFor(180.1f, 0, 2), kEntryTeardrop);
    EXPECT_EQ(holdEntryFor(249.9f, 0, 2), kEntryTeardrop);
    EXPECT_EQ(holdEntryFor(250.0f, 0, 2), kEntryDirect);
    // Left turns mirror them; the inbound course is anywhere on the compass.
    EXPECT_EQ(holdEntryFor(250.0f, 0, 1), kEntryParallel);
    EXPECT_EQ(holdEntryFor(140.0f, 0, 1), kEntryTeardrop);
    EXPECT_EQ(holdEntryFor(100.0f, 0, 1), kEntryDirect);
    EXPECT_EQ(holdEntryFor(20.0f, 270, 2), kEntryParallel);  // 110 past 270
    EXPECT_EQ(holdEntryFor(350.0f, 90, 2), kEntryDirect);    // 260 round
}

// VNAV: a waypoint chosen with its offset and altitude, the target V/S, the TOD line and the
// message when the V/S is too small.
TEST_F(HoldVnavPages, VnavWaypointOffsetAltitudeTargetVsTodAndMessage) {
    press("VNAV");
    EXPECT_EQ(h.row(0), "    VNAV PATH 1/2       ");
    press("L3");
    press("NEXT");  // ignored while choosing
    EXPECT_EQ(h.row(0), "    VNAV PATH 1/2       ");
    type("3");
    press("ENTER");
    EXPECT_EQ(g.vnav.waypointLegs, (std::vector<int32_t>{2}));
    type("0");  // offset 0
    press("ENTER");
    type("8000");
    press("ENTER");
    EXPECT_EQ(h.context.flightplan.plan.legs[2].altitudeFt, 8000);
    press("PLUSMINUS");
    type("2000");
    press("ENTER");
    EXPECT_EQ(g.vnav.targetVsFpm, -2000);
    const std::string tod = h.row(3);
    EXPECT_EQ(tod.substr(2, 4), "TOD ");
    // An offset of 5 NM moves the TOD by 5 NM.
    press("L3");
    type("3");
    press("ENTER");
    type("5");
    press("ENTER");
    type("8000");
    press("ENTER");
    const float before = std::stof(tod.substr(6, 4));
    const float after = std::stof(h.row(3).substr(6, 4));
    EXPECT_NEAR(after - before, 5.0f, 0.05f);
    // 200 ft/min cannot lose 1000 ft before the waypoint.
    press("R1");
    press("PLUSMINUS");
    type("200");
    press("ENTER");
    EXPECT_EQ(h.row(3).substr(2, 14), "TARGET V/S LOW");
}

}  // namespace
