// Airway points taken for database records: the record at the airway's own position, not the
// first namesake in the list, and the other category when the guess finds nothing there.
#include <gtest/gtest.h>

#include "TestRecords.h"
#include "navdb/AirwayPoints.h"
#include "navdb/DatabaseLoad.h"
#include "navdb/IdentResolve.h"

namespace {

TEST(AirwayPoints, PointsAreTheRecordsAtTheAirwaysPositions) {
    NavDatabase db;
    addNavaid(db, "ABC", NavaidType::Vor, -30.0f, 150.0f);  // first in the list, far south
    addNavaid(db, "ABC", NavaidType::VorDme, 47.3f, -122.0f, 16.0f);
    db.navaids[1].frequency = 113.4f;
    db.navaids[1].elevationFt = 350;
    addNavaid(db, "BCDE", NavaidType::Ndb, 47.6f, -122.0f);  // four characters: no guess of its own
    addFix(db, "FIXAA", 47.5f, -122.0f);
    addFix(db, "NB", 47.7f, -122.0f);  // a two-letter fix after a navaid
    Airway a;
    a.name = "V1";
    a.segments.push_back({"ABC", 47.3f, -122.0f, 0, "FIXAA", 47.5f, -122.0f, 0, 12});
    a.segments.push_back({"FIXAA", 47.5f, -122.0f, 0, "BCDE", 47.6f, -122.0f, 0, 6});
    a.segments.push_back({"BCDE", 47.6f, -122.0f, 0, "NB", 47.7f, -122.0f, 0, 6});
    a.segments.push_back({"NB", 47.7f, -122.0f, 0, "GONE", 47.8f, -122.0f, 0, 6});
    db.airways.push_back(a);
    markDatabaseLoaded(db);

    const std::vector<AirwayPoint> points = airwayPoints(db.airways[0]);
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points.back().ident, "GONE");

    WaypointKind guess = WaypointKind::Fix;
    FplLeg abc = legForAirwayPoint(db, points[0], guess);
    EXPECT_EQ(abc.waypointKind, WaypointKind::Navaid);
    EXPECT_EQ(abc.dbIndex, 1);
    EXPECT_FLOAT_EQ(abc.frequency, 113.4f);
    EXPECT_FLOAT_EQ(abc.declination, 16.0f);
    EXPECT_EQ(abc.altitudeFt, 0);
    EXPECT_EQ(abc.name, "ABC NAVAID");

    FplLeg fix = legForAirwayPoint(db, points[1], guess);
    EXPECT_EQ(fix.waypointKind, WaypointKind::Fix);
    // Four characters keep the fix guess, which finds nothing: the navaid is taken.
    FplLeg ndb = legForAirwayPoint(db, points[2], guess);
    EXPECT_EQ(ndb.waypointKind, WaypointKind::Navaid);
    EXPECT_EQ(ndb.ident, "BCDE");
    FplLeg nb = legForAirwayPoint(db, points[3], guess);
    EXPECT_EQ(nb.waypointKind, WaypointKind::Fix);
    EXPECT_EQ(legForAirwayPoint(db, points[4], guess).waypointKind, WaypointKind::None);
}

TEST(IdentResolve, NearestNamesakeAndTheTablesThatAreNotLoadedYet) {
    NavDatabase db;
    addFix(db, "SAME", 10.0f, 10.0f);
    addFix(db, "SAME", 47.0f, -122.0f);
    addFix(db, "OTHER", 47.0f, -122.0f);
    addNavaid(db, "SAME", NavaidType::Vor, 47.01f, -122.0f);
    publish(db.navaidsLoaded);
    // The fixes are not loaded yet: only the navaid is found.
    ResolvedRecord r = resolveIdent(db, "SAME", GeoPoint{47.0, -122.0});
    EXPECT_EQ(r.kind, WaypointKind::Navaid);
    publish(db.fixesLoaded);
    r = resolveIdent(db, "SAME", GeoPoint{47.0, -122.0});
    EXPECT_EQ(r.kind, WaypointKind::Fix);
    EXPECT_EQ(r.index, 1);
    // Without a point of reference the first of the first kind; with a distance limit nothing
    // beyond it.
    EXPECT_EQ(resolveIdent(db, "SAME", std::nullopt).index, 0);
    ResolveOptions near;
    near.maxDistanceNm = 10.0f;
    EXPECT_FALSE(resolveIdent(db, "SAME", GeoPoint{-40.0, 0.0}, near));
    EXPECT_FALSE(resolveIdent(db, "NONE", GeoPoint{47.0, -122.0}));
    // A table that grew after its index was built is indexed again.
    addFix(db, "LATER", 1.0f, 1.0f);
    EXPECT_EQ(recordsNamed(db, WaypointKind::Fix, "LATER").size(), 1u);
}

}  // namespace
