#include <gtest/gtest.h>

#include "PlanFixture.h"

namespace {

using PlanGeometry = PlanFixture;

TEST_F(PlanGeometry, PlainLegsSumTruncatedDistancesAndCountWaypoints) {
    loaded();
    appendLeg(waypoint("ORIG", 10.0f, 0.0f, WaypointKind::Airport));
    EXPECT_TRUE(fp.planSegments.empty());
    EXPECT_EQ(fp.routeDistanceNm, 0);
    // 0.51 degree of latitude is 30.6 NM: each segment counts 30, the route 60 + 60, not 121.
    FplLeg courseLeg;  // no database fix: not counted as a waypoint
    courseLeg.legType = LegType::FA;
    courseLeg.latitude = 11.02f;
    build({waypoint("A", 10.51f, 0.0f), courseLeg, waypoint("B", 12.02f, 0.0f), waypoint("C", 11.02f, 0.0f)});
    ASSERT_EQ(fp.planSegments.size(), 4u);
    EXPECT_NEAR(fp.planSegments[0].distanceNm, 30.6, 0.01);
    EXPECT_EQ(fp.routeDistanceNm, 30 + 30 + 60 + 60);
    EXPECT_EQ(fp.planSegments[1].waypointOrdinal, 1);
    EXPECT_EQ(fp.planSegments[2].waypointOrdinal, 2);
    EXPECT_NEAR(fp.planSegments[3].courseTrue, 180.0, 0.01);  // southbound is 180, not -180

    // A latitude of exactly 0 at either end gives no distance and no course.
    build({waypoint("EQ", 0.0f, 6.0f), waypoint("D", 10.0f, 7.0f)});
    for (size_t i : {4u, 5u}) {
        EXPECT_EQ(fp.planSegments[i].distanceNm, 0.0f);
        EXPECT_EQ(fp.planSegments[i].courseTrue, 0.0f);
    }
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
    // 10 NM west of the fix: 10 / (60 cos 47) = 0.24438 degrees of longitude; the meridians
    // converge by 0.244 sin 47 = 0.18 degrees over the leg.
    EXPECT_NEAR(s.fromLat, 47.0, 0.001);
    EXPECT_NEAR(s.fromLon, -122.24438, 0.001);
    EXPECT_NEAR(s.distanceNm, 10.0, 0.01);
    EXPECT_NEAR(s.courseTrue, 89.82, 0.02);
    // A CF leg to the navaid itself starts where the previous leg ended.
    fp.plan.legs[1].navaidIdent = "CFFIX";
    rebuildPlanSegments();
    EXPECT_DOUBLE_EQ(fp.planSegments[0].fromLon, -125.0);
}

TEST_F(PlanGeometry, ProjectedLegsStartOrEndWhereTheirReferenceIs) {
    addNavaid(db, "VAR", NavaidType::VorDme, 47.0f, -122.0f, 10.0f);
    addNavaid(db, "DME", NavaidType::VorDme, 10.0f, 10.0f);
    addNavaid(db, "DME", NavaidType::VorDme, 47.2f, -122.0f);
    addNavaid(db, "FAR", NavaidType::VorDme, -40.0f, 60.0f);
    addNavaid(db, "FAR", NavaidType::VorDme, -45.0f, 65.0f);
    loaded();
    context.simlink.aircraft.positionF = {47.0f, -122.0f};
    FplLeg ca;  // 20 NM from the aircraft on 80 magnetic + 10 variation
    ca.legType = LegType::CA;
    ca.courseDeg = 80;
    FplLeg vd;  // ends at the DME nearest to the aircraft
    vd.legType = LegType::VD;
    vd.navaidIdent = "DME";
    vd.latitude = 46.0f;
    vd.longitude = -121.0f;
    FplLeg vr;  // 20 NM out from the navaid on radial 350 + 10 variation
    vr.legType = LegType::VR;
    vr.navaidIdent = "VAR";
    vr.radialDeg = 350;
    FplLeg vi;  // starts at the next leg, runs 20 NM on that leg's course
    vi.legType = LegType::VI;
    FplLeg next = waypoint("NEXT", 47.5f, -122.0f);
    next.courseDeg = 170;  // + 10 variation: due south
    build({waypoint("ORIG", 46.0f, -123.0f, WaypointKind::Airport), ca, vd, vr, vi, next});
    const std::vector<PlanSegment>& s = fp.planSegments;
    EXPECT_DOUBLE_EQ(s[0].fromLat, 47.0);
    EXPECT_FLOAT_EQ(s[0].magVar, 10.0f);
    EXPECT_NEAR(s[0].distanceNm, 20.0, 0.01);
    EXPECT_NEAR(s[0].courseTrue, 90.0, 0.01);
    EXPECT_NEAR(s[1].toLat, 47.2, 1e-5);
    EXPECT_NEAR(s[2].fromLat, 47.0, 1e-5);
    EXPECT_NEAR(s[2].toLat, 47.0 + 20.0 / 60.0, 0.001);
    EXPECT_NEAR(s[2].toLon, -122.0, 0.001);
    EXPECT_NEAR(s[3].fromLat, 47.5, 1e-5);
    EXPECT_NEAR(s[3].toLat, 47.5 - 20.0 / 60.0, 0.001);

    // Both DME candidates of another name lie beyond 6000 NM: the leg keeps its own position.
    fp.plan.legs[2].navaidIdent = "FAR";
    // An intercept as the last leg has no leg to meet: plain geometry, no crash.
    fp.plan.legs.pop_back();
    rebuildPlanSegments();
    EXPECT_NEAR(fp.planSegments[1].toLat, 46.0, 1e-5);
    EXPECT_EQ(fp.planSegments[3].distanceNm, 0.0f);
}

}  // namespace
