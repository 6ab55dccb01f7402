#include <gtest/gtest.h>

#include "PlanFixture.h"
#include "guidance/Geodesy.h"

namespace {

using PlanGeometry = PlanFixture;

TEST_F(PlanGeometry, PlainLegsSumTruncatedDistancesAndCountWaypoints) {
    loaded();
    appendLeg(waypoint("ORIG", 10.0f, 0.0f, WaypointKind::Airport));
    EXPECT_TRUE(fp.planSegments.empty());
    EXPECT_EQ(fp.routeDistanceNm, 0);
    EXPECT_TRUE(fp.planChanged);

    // 0.51 degree of latitude is 30.6 NM: each segment counts 30, so the route is 60, not 61.
    FplLeg courseLeg;  // no database fix: not counted as a waypoint
    courseLeg.legType = LegType::FA;
    courseLeg.latitude = 11.02f;
    build({waypoint("A", 10.51f, 0.0f), courseLeg, waypoint("B", 12.02f, 0.0f)});
    ASSERT_EQ(fp.planSegments.size(), 3u);
    EXPECT_NEAR(fp.planSegments[0].distanceNm, 30.6, 0.01);
    EXPECT_NEAR(fp.planSegments[0].courseTrue, 0.0, 0.01);
    EXPECT_EQ(fp.routeDistanceNm, 30 + 30 + 60);
    EXPECT_EQ(fp.planSegments[0].waypointOrdinal, 1);
    EXPECT_EQ(fp.planSegments[1].waypointOrdinal, 1);
    EXPECT_EQ(fp.planSegments[2].waypointOrdinal, 2);
    EXPECT_EQ(fp.planSegments[1].toLegType, LegType::FA);
    EXPECT_EQ(fp.planSegments[2].fromLeg, 2);
    EXPECT_EQ(fp.planSegments[2].toLeg, 3);

    // Southbound: the course is 180, not -180.
    appendLeg(waypoint("C", 11.02f, 0.0f));
    EXPECT_NEAR(fp.planSegments[3].courseTrue, 180.0, 0.01);
}

TEST_F(PlanGeometry, ZeroLatitudeAtEitherEndGivesNoDistanceAndNoCourse) {
    loaded();
    build({waypoint("A", 10.0f, 5.0f), waypoint("EQ", 0.0f, 6.0f), waypoint("B", 10.0f, 7.0f)});
    ASSERT_EQ(fp.planSegments.size(), 2u);
    for (const PlanSegment& s : fp.planSegments) {
        EXPECT_EQ(s.distanceNm, 0.0f);
        EXPECT_EQ(s.courseTrue, 0.0f);
    }
    EXPECT_EQ(fp.routeDistanceNm, 0);
}

TEST_F(PlanGeometry, SegmentVariationComesFromTheNavaidNearItsEnd) {
    addNavaid("VAR", 47.5f, -122.0f, 15.5f);  // about 36 NM from B, 180 NM from C
    loaded();
    build({waypoint("A", 47.0f, -122.0f), waypoint("B", 47.0f, -121.5f), waypoint("C", 44.5f, -122.0f)});
    EXPECT_FLOAT_EQ(fp.planSegments[0].magVar, 15.5f);
    EXPECT_FLOAT_EQ(fp.planSegments[1].magVar, 0.0f);
}

TEST_F(PlanGeometry, CourseToFixStartsOnTheReciprocalCourseUnlessTheFixIsTheNavaid) {
    loaded();
    FplLeg cf = waypoint("CFFIX", 47.0f, -122.0f);
    cf.legType = LegType::CF;
    cf.courseDeg = 90;
    cf.distanceNm = 10.0f;
    cf.navaidIdent = "SEA";
    build({waypoint("ORIG", 45.0f, -125.0f, WaypointKind::Airport), cf});
    const PlanSegment& s = fp.planSegments[0];
    // 10 NM west of the fix: 10 / (60 cos 47) = 0.24438 degrees of longitude.
    EXPECT_NEAR(s.fromLat, 47.0, 0.001);
    EXPECT_NEAR(s.fromLon, -122.24438, 0.001);
    EXPECT_NEAR(s.toLon, -122.0, 1e-6);
    EXPECT_NEAR(s.distanceNm, 10.0, 0.01);
    // The meridians converge by 0.244 sin 47 = 0.18 degrees over the leg.
    EXPECT_NEAR(s.courseTrue, 89.82, 0.02);

    // A CF leg to the navaid itself starts where the previous leg ended.
    fp.plan.legs[1].navaidIdent = "CFFIX";
    rebuildPlanSegments();
    EXPECT_DOUBLE_EQ(fp.planSegments[0].fromLat, 45.0);
    EXPECT_DOUBLE_EQ(fp.planSegments[0].fromLon, -125.0);
}

TEST_F(PlanGeometry, CourseToAltitudeRunsTwentyMilesFromTheAircraft) {
    addNavaid("VAR", 47.0f, -122.0f, 10.0f);
    loaded();
    setAircraft(47.0f, -122.0f);
    FplLeg ca;
    ca.legType = LegType::CA;
    ca.courseDeg = 80;  // + 10 variation: due east true
    ca.altitudeFt = 1500;
    build({waypoint("ORIG", 46.0f, -123.0f, WaypointKind::Airport), ca});
    const PlanSegment& s = fp.planSegments[0];
    EXPECT_DOUBLE_EQ(s.fromLat, 47.0);
    EXPECT_DOUBLE_EQ(s.fromLon, -122.0);
    EXPECT_FLOAT_EQ(s.magVar, 10.0f);
    EXPECT_NEAR(s.distanceNm, 20.0, 0.01);
    EXPECT_NEAR(s.courseTrue, 90.0, 0.01);
    EXPECT_EQ(s.waypointOrdinal, 0);
}

TEST_F(PlanGeometry, HeadingToDmeEndsAtTheNearestNavaidOfThatName) {
    addNavaid("DME", 10.0f, 10.0f);
    addNavaid("DME", 47.2f, -122.0f);
    addNavaid("FAR", -40.0f, 60.0f);
    addNavaid("FAR", -45.0f, 65.0f);
    loaded();
    setAircraft(47.0f, -122.0f);
    FplLeg vd;
    vd.legType = LegType::VD;
    vd.navaidIdent = "DME";
    vd.latitude = 46.0f;
    vd.longitude = -121.0f;
    build({waypoint("ORIG", 47.0f, -122.0f, WaypointKind::Airport), vd});
    EXPECT_NEAR(fp.planSegments[0].toLat, 47.2, 1e-5);
    EXPECT_NEAR(fp.planSegments[0].distanceNm, 12.0, 0.01);

    // Both candidates lie beyond 6000 NM: the leg keeps its own position.
    ASSERT_GT(distanceNm(GeoPoint{47, -122}, GeoPoint{-40, 60}), 6000.0f);
    ASSERT_GT(distanceNm(GeoPoint{47, -122}, GeoPoint{-45, 65}), 6000.0f);
    fp.plan.legs[1].navaidIdent = "FAR";
    rebuildPlanSegments();
    EXPECT_NEAR(fp.planSegments[0].toLat, 46.0, 1e-5);
    EXPECT_NEAR(fp.planSegments[0].toLon, -121.0, 1e-5);

    // A single match is used wherever it is.
    fp.plan.legs[1].navaidIdent = "DME";
    db.navaids[0].ident = "ONE";
    rebuildPlanSegments();
    EXPECT_NEAR(fp.planSegments[0].toLat, 47.2, 1e-5);
}

TEST_F(PlanGeometry, HeadingToRadialStartsAtTheNavaidAndRunsOutOnTheRadial) {
    addNavaid("VRN", 40.0f, -100.0f, -5.0f);
    loaded();
    FplLeg vr;
    vr.legType = LegType::VR;
    vr.navaidIdent = "VRN";
    vr.radialDeg = 5;  // 5 - 5 variation: due north true
    build({waypoint("ORIG", 39.0f, -101.0f, WaypointKind::Airport), vr});
    const PlanSegment& s = fp.planSegments[0];
    EXPECT_NEAR(s.fromLat, 40.0, 1e-5);
    EXPECT_NEAR(s.fromLon, -100.0, 1e-5);
    EXPECT_FLOAT_EQ(s.magVar, -5.0f);
    EXPECT_NEAR(s.toLat, 40.0 + 20.0 / 60.0, 0.001);
    EXPECT_NEAR(s.toLon, -100.0, 0.001);
    EXPECT_NEAR(s.distanceNm, 20.0, 0.01);
}

TEST_F(PlanGeometry, InterceptUsesTheLegAfterItAndSurvivesBeingLast) {
    loaded();
    FplLeg vi;
    vi.legType = LegType::VI;
    vi.headingDeg = 45;
    FplLeg next = waypoint("NEXT", 47.5f, -122.0f);
    next.courseDeg = 180;
    build({waypoint("ORIG", 47.0f, -123.0f, WaypointKind::Airport), vi, next});
    const PlanSegment& s = fp.planSegments[0];
    EXPECT_NEAR(s.fromLat, 47.5, 1e-5);
    EXPECT_NEAR(s.toLat, 47.5 - 20.0 / 60.0, 0.001);
    EXPECT_NEAR(s.courseTrue, 180.0, 0.01);

    // As the last leg the intercept has no leg to meet: plain geometry, no crash.
    fp.plan.legs.pop_back();
    rebuildPlanSegments();
    ASSERT_EQ(fp.planSegments.size(), 1u);
    EXPECT_EQ(fp.planSegments[0].distanceNm, 0.0f);
}

}  // namespace
