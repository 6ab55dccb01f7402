// Nearest-record lists of the LIST page: filtering by category, order, and leaving out the
// reference record. Distances are hand figures: along a meridian one degree is 60 NM.
#include <gtest/gtest.h>

#include <atomic>
#include <limits>

#include "TestRecords.h"
#include "navdb/DatabaseLoad.h"
#include "pages/NearestLists.h"

namespace {

std::vector<std::pair<int, int>> pairs(const std::vector<NearestEntry>& list) {
    std::vector<std::pair<int, int>> out;
    for (const NearestEntry& e : list) out.emplace_back(e.index, e.distanceNm);
    return out;
}

using Pairs = std::vector<std::pair<int, int>>;

TEST(NearestList, AirportsSortedAndTheReferenceLeftOutWhereverItSorts) {
    NavDatabase db;
    addAirport(db, "FAR", 10.51f, 10.0f);   // 0: 30.6 NM
    addAirport(db, "MID", 10.21f, 10.0f);   // 1: 12.6 NM
    addAirport(db, "REF", 10.0f, 10.0f);    // 2: the reference
    addAirport(db, "HELI", 10.0f, 10.0f);   // 3: same spot as the reference
    addAirport(db, "SOUTH", 9.69f, 10.0f);  // 4: 18.6 NM south
    markDatabaseLoaded(db);

    EXPECT_EQ(pairs(buildNearestList(db, NearestCategory::Airport, legAt(WaypointKind::Airport, 2, 10, 10))),
              (Pairs{{3, 0}, {1, 12}, {4, 18}, {0, 30}}));
    // The reference sorts behind a co-located airport of lower index: still left out.
    EXPECT_EQ(pairs(buildNearestList(db, NearestCategory::Airport, legAt(WaypointKind::Airport, 3, 10, 10))),
              (Pairs{{2, 0}, {1, 12}, {4, 18}, {0, 30}}));
    // A navaid reference whose index happens to equal an airport's removes no airport.
    EXPECT_EQ(buildNearestList(db, NearestCategory::Airport, legAt(WaypointKind::Navaid, 1, 10, 10)).size(),
              5u);
}

TEST(NearestList, NavaidListsByTypeDropACoLocatedFirstEntry) {
    NavDatabase db;
    addNavaid(db, "VA", NavaidType::Vor, 20.0f, 0.0f);          // 0: at the reference fix
    addNavaid(db, "NA", NavaidType::Ndb, 20.11f, 0.0f);         // 1: 6.6 NM
    addNavaid(db, "LOC", NavaidType::Localizer, 20.31f, 0.0f);  // 2: 18.6 NM
    addNavaid(db, "DM", NavaidType::Dme, 20.05f, 0.0f);         // 3: never listed
    addNavaid(db, "VD", NavaidType::VorDme, 19.41f, 0.0f);      // 4: 35.4 NM
    addNavaid(db, "NB", NavaidType::Ndb, 19.99f, 0.0f);         // 5: 0.6 NM
    markDatabaseLoaded(db);
    FplLeg fix = legAt(WaypointKind::Fix, 0, 20.0f, 0.0f);

    // VOR list: every type but NDB and DME-only; VA at distance 0 is dropped.
    EXPECT_EQ(pairs(buildNearestList(db, NearestCategory::Vor, fix)), (Pairs{{2, 18}, {4, 35}}));
    // NDB list: NB lies within the first mile, so it counts as co-located and goes.
    EXPECT_EQ(pairs(buildNearestList(db, NearestCategory::Ndb, fix)), (Pairs{{1, 6}}));
    // From a navaid reference the reference record itself goes, not the nearest other one.
    EXPECT_EQ(pairs(buildNearestList(db, NearestCategory::Ndb, legAt(WaypointKind::Navaid, 1, 20.11f, 0.0f))),
              (Pairs{{5, 7}}));
}

TEST(NearestList, UnloadedListsAndCorruptCoordinatesAreHarmless) {
    NavDatabase db;
    addFix(db, "AAAAA", 1.0f, 1.0f);
    addFix(db, "BBBBB", std::numeric_limits<float>::quiet_NaN(), 1.0f);
    // Nothing published yet: the lists read as empty rather than half-grown.
    EXPECT_TRUE(buildNearestList(db, NearestCategory::Fix, legAt(WaypointKind::Airport, 0, 0, 0)).empty());
    markDatabaseLoaded(db);
    std::vector<NearestEntry> list =
        buildNearestList(db, NearestCategory::Fix, legAt(WaypointKind::Airport, 0, 0, 0));
    // The NaN fix reads as distance 0 and, being first, is taken for a co-located record.
    EXPECT_EQ(pairs(list), (Pairs{{0, 84}}));
    // A raised cancel flag stops the builder.
    std::atomic<bool> cancel{true};
    std::vector<NearestEntry> out;
    EXPECT_FALSE(buildNearestFixList(db.fixes, legAt(WaypointKind::Airport, 0, 0, 0), cancel, out));
}

}  // namespace
