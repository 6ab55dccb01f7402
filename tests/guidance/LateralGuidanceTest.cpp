#include <gtest/gtest.h>

#include <cmath>

#include "Harness.h"
#include "PlanSteps.h"
#include "SimEarth.h"
#include "flightplan/FlightPlan.h"
#include "guidance/LateralGuidance.h"
#include "pages/FplEditing.h"

namespace {

// Unit 1 without a database (no variation anywhere), the aircraft at 10000 ft and 250 kt with
// the autopilot on GPS, and plans built from hand-placed fixes.
struct Guidance : ::testing::Test {
    Harness h{HarnessOptions{.sampleDatabase = false}};
    SimAircraft& sim = h.sim.aircraft();
    const GuidanceState& g = h.context.guidance;

    void SetUp() override {
        h.start();
        h.settings().unitIsFms1 = true;
        sim.latDeg = 47.0;
        sim.lonDeg = -122.0;
        sim.altitudeFt = sim.autopilotAltitudeFt = 10000.0;
        sim.trueAirspeedKt = 250.0;
        sim.autopilotMaster = true;
        sim.navGpsSwitch = true;
    }
    FplLeg& fix(const std::string& ident, double lat, double lon) { return appendFix(ident, lat, lon); }
    FplLeg& leg(LegType type) {
        FplLeg l;
        l.legType = type;
        appendLeg(l);
        return h.context.flightplan.plan.legs.back();
    }
    void place(double lat, double lon, double headingTrue) {
        sim.latDeg = lat;
        sim.lonDeg = lon;
        sim.headingTrueDeg = headingTrue;
    }
    // Frames until the active leg moves on (or the time runs out); the distance from the
    // aircraft to (lat, lon) at that moment.
    double flyUntilSequenced(double lat, double lon, double seconds) {
        const int start = g.activeSegment;
        for (int i = 0; i < seconds * 50 && g.activeSegment == start; ++i) h.frame();
        return simearth::distanceNm(sim.latDeg, sim.lonDeg, lat, lon);
    }
};

TEST_F(Guidance, FlyByLegsSequenceAtTheTurnFlyOverLegsAtTheFix) {
    // North to B, then a right turn of 90 degrees: at 250 kt and 25 degrees of bank the turn
    // starts 1.95 NM before B.
    fix("A", 47.0, -122.0);
    fix("B", 47.5, -122.0);
    fix("C", 47.5, -121.5);
    place(47.45, -122.0, 0.0);
    const double early = flyUntilSequenced(47.5, -122.0, 120.0);
    EXPECT_EQ(g.activeSegment, 1);
    EXPECT_NEAR(early, 1.95, 0.1);
    // The next leg is latched at once: its cross-track is measured from B -> C, on whose
    // right the aircraft now is by about the distance it has left to B.
    h.frame();
    EXPECT_NEAR(g.lateral.crossTrackError, early, 0.1);
    EXPECT_NEAR(g.lateral.latchedLeg.desiredCourseMag, 89.8, 0.5);

    // Marked fly-over, B is passed within 0.1 NM.
    deleteFlightPlan();
    fix("A", 47.0, -122.0);
    fix("B", 47.5, -122.0).overfly = 1;
    fix("C", 47.5, -121.5);
    rebuildPlanSegments();
    place(47.45, -122.0, 0.0);
    EXPECT_LT(flyUntilSequenced(47.5, -122.0, 120.0), 0.1);
    EXPECT_EQ(g.activeSegment, 1);
}

TEST_F(Guidance, TheLastLegNeverSequencesPastItselfAndNothingSequencesWhileSlewing) {
    fix("A", 47.0, -122.0);
    fix("B", 47.1, -122.0);
    fix("C", 47.2, -122.0);
    // Abeam and past B: the first leg is over.
    place(47.15, -122.0, 0.0);
    sim.slewing = true;
    h.frames(20);
    EXPECT_EQ(g.activeSegment, 0);
    sim.slewing = false;
    h.frames(2);
    EXPECT_EQ(g.activeSegment, 1);
    // Past C, on the last leg.
    place(47.3, -122.0, 0.0);
    h.frames(20);
    EXPECT_EQ(g.activeSegment, 1);
    sequenceLeg();
    EXPECT_EQ(g.activeSegment, 1);
}

TEST_F(Guidance, ALegIsNotTakenAsFlownWhileTheAircraftIsStillBehindIt) {
    // 30 NM short of a 6-NM leg: abeam distance from its start is 30, but behind it.
    fix("A", 47.0, -122.0);
    fix("B", 47.1, -122.0);
    fix("C", 47.2, -122.0);
    place(46.5, -122.0, 0.0);
    h.frames(50);
    EXPECT_EQ(g.activeSegment, 0);
    EXPECT_LT(signedAlongTrackNm({47.0, -122.0}, {47.1, -122.0}, {46.5, -122.0}, 0.0f), -29.0f);
    // (32-bit arithmetic: a tenth of a mile at this distance.)
    EXPECT_NEAR(signedAlongTrackNm({47.0, -122.0}, {47.1, -122.0}, {47.05, -122.0}, 0.0f), 3.0f, 0.15f);
}

TEST_F(Guidance, CourseToAltitudeEndsOnAltitudeAndVectorsNeverEnd) {
    fix("A", 47.0, -122.0);
    FplLeg& ca = leg(LegType::CA);
    ca.courseDeg = 0;
    ca.altitudeFt = 10500;
    FplLeg& vm = leg(LegType::VM);
    vm.headingDeg = 90;
    fix("B", 47.5, -121.0);
    rebuildPlanSegments();
    sim.autopilotAltitudeFt = 12000.0;  // climbing at 1500 ft/min
    h.frames(5);
    EXPECT_EQ(g.activeSegment, 0);
    for (int i = 0; i < 50 * 30 && g.activeSegment == 0; ++i) h.frame();
    EXPECT_EQ(g.activeSegment, 1);
    EXPECT_NEAR(sim.altitudeFt, 10500.0, 5.0);
    // The vector leg flies its heading and stays.
    h.runFor(120000);
    EXPECT_EQ(g.activeSegment, 1);
    EXPECT_NEAR(sim.headingTrueDeg, 90.0, 2.0);
    EXPECT_NEAR(sim.autopilotHeadingRaw * 360.0 / 65536.0, 90.0, 0.01);
}

TEST_F(Guidance, InterceptLegEndsNearItsNextLegAndWithin20DegreesOfItsHeadingAcrossNorth) {
    // VI heading 350 onto a CF leg of course 000 to X; the variation is 20 degrees east, so
    // the magnetic heading 350 is the true heading 010 (the simulator's 'not wrapped' value -10).
    fix("A", 46.9, -122.0);
    FplLeg& vi = leg(LegType::VI);
    vi.headingDeg = 350;
    FplLeg& cf = fix("X", 47.5, -122.0);
    cf.legType = LegType::CF;
    cf.courseDeg = 0;
    cf.distanceNm = 20.0f;
    cf.navaidIdent = "NAV";
    rebuildPlanSegments();
    sim.magVarDeg = 20.0;
    // On the CF line, 30 degrees off the leg heading: no end yet.
    place(47.2, -122.0, 340.0);
    h.frame();
    h.frame();
    EXPECT_EQ(g.activeSegment, 0);
    // On the leg heading (true 010): the anticipation of a 10-degree turn exceeds the
    // cross-track distance, and the leg ends.
    place(47.2, -122.0, 10.0);
    sim.bankDeg = 0.0;
    h.frame();
    h.frame();
    EXPECT_EQ(g.activeSegment, 1);
}

TEST_F(Guidance, TheAutopilotComingOnRebuildsThePlanFromWhereTheAircraftIs) {
    sim.autopilotMaster = false;
    fix("A", 47.0, -122.0);
    FplLeg& ca = leg(LegType::CA);
    ca.courseDeg = 90;
    ca.altitudeFt = 15000;
    rebuildPlanSegments();
    place(47.3, -121.7, 90.0);
    h.frames(3);
    EXPECT_NE(planSegment(0)->fromLat, h.context.simlink.aircraft.positionF.lat);
    sim.autopilotMaster = true;
    h.frame();
    EXPECT_FLOAT_EQ(static_cast<float>(planSegment(0)->fromLat), h.context.simlink.aircraft.positionF.lat);
    EXPECT_FLOAT_EQ(static_cast<float>(planSegment(0)->fromLon), h.context.simlink.aircraft.positionF.lon);
}

TEST_F(Guidance, OutputsToTheNavRadioThePanelAndTheAutopilot) {
    fix("A", 47.0, -122.0);
    fix("B", 47.5, -122.0);
    FplLeg& c = fix("C", 47.5, -121.0);
    c.altitudeFt = 5000;
    place(47.2, -122.05, 0.0);  // 2 NM left of A -> B
    h.frame();
    h.frame();
    EXPECT_EQ(sim.nav1CourseDeg, 0);
    EXPECT_NEAR(sim.panelCdi, 2.03 * 25.4, 1.0);  // fly right
    EXPECT_EQ(sim.panelCoupled, 1);
    EXPECT_EQ(sim.panelWaypoint, 1);
    EXPECT_GT(sim.aileron, 0);  // right aileron: turning toward the leg
    // Far off: the deviation stops at full scale.
    place(47.2, -123.0, 0.0);
    h.frames(2);
    EXPECT_EQ(sim.panelCdi, 127.0f);

    // On the second leg with the panel's VNAV on: a descent to 5000 ft on the gradient.
    place(47.5, -121.9, 90.0);
    h.context.guidance.activeSegment = 1;
    sim.panelVnav = 8;
    h.frames(2);
    EXPECT_EQ(sim.panelWaypoint, 2);
    EXPECT_NEAR(sim.autopilotAltitudeFt, 5000.0, 0.1);
    // 5000 ft down over 36.5 NM at 250 kt: 250 * 101.27 * -5000 / (36.5 * 6076.12) ft/min.
    EXPECT_NEAR(sim.autopilotVerticalSpeedFpm, -571, 10);

    // The autopilot master off: only the panel bytes, coupled now 0.
    sim.autopilotMaster = false;
    sim.aileron = 77;
    h.frames(2);
    EXPECT_EQ(sim.panelCoupled, 0);
    EXPECT_EQ(sim.aileron, 77);
}

TEST_F(Guidance, UnitTwoNeverSteersAndHoldLegsWithoutAHoldArePassed) {
    h.settings().unitIsFms1 = false;
    fix("A", 47.0, -122.0);
    fix("B", 47.5, -122.0);
    place(47.2, -122.05, 0.0);
    sim.aileron = 55;
    h.frames(10);
    EXPECT_EQ(sim.aileron, 55);
    EXPECT_EQ(sim.panelCoupled, 0);

    h.settings().unitIsFms1 = true;
    FplLeg hold;
    hold.waypointKind = WaypointKind::Hold;
    hold.legType = LegType::HM;
    insertLegBefore(3, hold);
    fix("C", 47.5, -121.0);
    h.context.guidance.activeSegment = 1;  // the hold leg after B
    h.frame();
    EXPECT_EQ(g.activeSegment, 2);
}

TEST_F(Guidance, DeletedLegsUnderTheActiveOneLeaveTheLastLegActive) {
    fix("A", 47.0, -122.0);
    fix("B", 47.5, -122.0);
    fix("C", 47.5, -121.0);
    fix("D", 47.0, -121.0);
    h.context.guidance.activeSegment = 2;
    deleteLeg(3);
    h.frame();
    EXPECT_EQ(g.activeSegment, 1);
    EXPECT_EQ(sim.panelWaypoint, 2);
}

}  // namespace
