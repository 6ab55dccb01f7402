// The hold's guidance: its lines, the leg timing and the states it can and cannot leave.
#include <gtest/gtest.h>

#include <cmath>

#include "Harness.h"
#include "PlanSteps.h"
#include "SimEarth.h"
#include "flightplan/FlightPlan.h"
#include "guidance/HoldGuidance.h"

namespace {

// Unit 1 without a database (no variation), 250 kt at 10000 ft on GPS, a plan A -> FIX -> C
// north along 122 W with the hold defined at FIX.
struct Holding : ::testing::Test {
    Harness h{HarnessOptions{.sampleDatabase = false}};
    SimAircraft& sim = h.sim.aircraft();
    const GuidanceState& g = h.context.guidance;
    HoldDefinition& hold = h.context.guidance.hold;

    void SetUp() override {
        h.start();
        h.settings().unitIsFms1 = true;
        sim.altitudeFt = sim.autopilotAltitudeFt = 10000.0;
        sim.trueAirspeedKt = 250.0;
        sim.autopilotMaster = true;
        sim.navGpsSwitch = true;
        appendFix("A", 47.0, -122.0);
        appendFix("FIX", 47.5, -122.0);
        appendFix("C", 48.0, -122.0);
        chooseHoldFix(1);
    }
    void place(double lat, double lon, double headingTrue) {
        sim.latDeg = lat;
        sim.lonDeg = lon;
        sim.headingTrueDeg = headingTrue;
    }
};

TEST_F(Holding, DefinitionFromTheLegIntoTheFixAndLinesThroughTheFixOnTheEnteredCourse) {
    EXPECT_EQ(hold.inboundCourseDeg, 0);
    EXPECT_EQ(hold.outboundCourseDeg, 180);
    EXPECT_EQ(hold.legTimeMin, 1.0f);
    EXPECT_EQ(planLeg(1)->overfly, 1);
    // Inbound 090: the inbound line now runs east to the fix, whatever the leg into it.
    setHoldInboundCourse(90);
    EXPECT_EQ(hold.outboundCourseDeg, 270);
    EXPECT_NEAR(initialBearing(hold.inbound.from, hold.inbound.to), 90.0f, 0.5f);
    EXPECT_NEAR(distanceNm(hold.inbound.to, {47.5, -122.0}), 0.0f, 0.01f);
    setHoldOutboundCourse(90);
    EXPECT_EQ(hold.inboundCourseDeg, 270);
    // Another fix: the first one loses its fly-over mark.
    chooseHoldFix(2);
    EXPECT_EQ(planLeg(1)->overfly, 0);
    EXPECT_EQ(planLeg(2)->overfly, 1);
}

TEST_F(Holding, ArmedHoldStartsAtTheFixWithTheEntryOfTheHeadingAndDisarmGoesOn) {
    armHold();
    EXPECT_EQ(planIdents(), (std::vector<std::string>{"A", "FIX", "(23)", "C"}));
    // The leg after the hold starts at the fix, not at the hold leg's missing position.
    EXPECT_NEAR(planSegment(2)->fromLat, 47.5, 1e-4);
    EXPECT_NEAR(planSegment(2)->courseTrue, 0.0f, 0.5f);
    // Northbound 1 NM short of the fix: a direct entry at the fix.
    place(47.4833, -122.0, 0.0);
    for (int i = 0; i < 50 * 60 && g.activeSegment == 0; ++i) h.frame();
    EXPECT_EQ(g.activeSegment, 1);
    EXPECT_EQ(hold.entryType, kEntryDirect);
    EXPECT_EQ(hold.holdState, kHoldTurnToOutbound);
    // The turn at the fix goes right for right turns.
    h.frames(100);
    EXPECT_GT(sim.bankDeg, 5.0) << "the simulator's bank is positive right wing down";
    disarmHold();
    EXPECT_EQ(hold.holdState, kHoldNone);
    EXPECT_EQ(g.activeSegment, 2);
}

TEST_F(Holding, WithNeitherTimeNorDistanceTheOutboundLegGoesOn) {
    armHold();
    hold.legTimeMin = 0.0f;
    hold.legDistanceNm = 0.0f;
    h.context.guidance.activeSegment = 1;
    hold.holdState = kHoldOutbound;
    place(47.45, -121.95, 180.0);
    h.frames(50 * 180);
    EXPECT_EQ(hold.holdState, kHoldOutbound);
    const double along = simearth::distanceNm(47.5, -122.0, sim.latDeg, -122.0);
    EXPECT_GT(along, 10.0);
    // A distance ends it at once, the aircraft being well beyond 4.5 NM from abeam the fix.
    hold.legDistanceNm = 4.5f;
    h.frame();
    EXPECT_EQ(hold.holdState, kHoldTurnToInbound);
}

}  // namespace
