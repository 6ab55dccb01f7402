#include <gtest/gtest.h>

#include <iterator>
#include <random>

#include "TestRecords.h"
#include "geo/Geodesy.h"
#include "navdb/DatabaseLoad.h"
#include "navdb/NavDatabase.h"

namespace {
// A plan entry of `kind` naming `ident` at a latitude, as the lookups receive it.
FplLeg entry(WaypointKind kind, const char* ident, float lat) {
    return waypoint(ident, lat, 0, kind);
}

// Matches as text: each one's kind and index, in order; "NONE" for no match.
std::string text(const IdentMatches& m) {
    static const char* const kinds[] = {"NONE", "APT", "NAV", "FIX", "AWY", "GAP"};
    std::string s;
    for (const IdentMatch& match : m) {
        const auto k = static_cast<size_t>(match.kind);
        s += (s.empty() ? "" : " ") + std::string(k < std::size(kinds) ? kinds[k] : "?") + std::to_string(match.index);
    }
    return s.empty() ? "NONE" : s;
}

// One identifier in every category, and a few more to tell the categories apart.
class LookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        addAirport(db, "SAME", 10, 10);
        addAirport(db, "APT", 20, 20, "AIRPORT ONLY");
        addAirport(db, "NAV", 30, 30);
        for (auto [ident, lat] : {std::pair{"SAME", 10}, {"NAV", 31}, {"TRI", 40}, {"TRI", 41}, {"TRI", 42}})
            addNavaid(db, ident, NavaidType::VorDme, lat, lat);
        for (auto [ident, lat] : {std::pair{"SAME", 11}, {"ZULU", 12}, {"SAME", 13}})
            addFix(db, ident, lat, lat);
        markDatabaseLoaded(db);
    }
    NavDatabase db;
};
}  // namespace

// Every record with the identifier is offered, nearest to the reference first (equally near:
// fixes, navaids, airports), so that a name used on several continents still finds the one
// where the pilot is.
TEST_F(LookupTest, IdentifierSearchOffersEveryRecordNearestFirst) {
    EXPECT_EQ(text(findIdentifier(db, "SAME", {10, 10})), "NAV0 APT0 FIX0 FIX2");
    EXPECT_EQ(text(findIdentifier(db, "SAME", {13, 13})), "FIX2 FIX0 NAV0 APT0");
    EXPECT_EQ(text(findIdentifier(db, "NAV", {30, 30})), "APT2 NAV1");
    EXPECT_EQ(text(findIdentifier(db, "NAV", {31, 31})), "NAV1 APT2");
    EXPECT_EQ(text(findIdentifier(db, "TRI", {40, 40})), "NAV2 NAV3 NAV4");
    EXPECT_EQ(text(findIdentifier(db, "APT", {0, 0})), "APT1");
    EXPECT_EQ(text(findIdentifier(db, "sAME", {10, 10})), "NONE");  // exact and case-sensitive
    EXPECT_EQ(text(findIdentifier(db, "SAM", {10, 10})), "NONE");

    // A list whose loader has not finished is not read.
    NavDatabase loading;
    loading.airports = db.airports;
    loading.navaids = db.navaids;
    loading.fixes = db.fixes;
    publish(loading.airportsLoaded);
    publish(loading.navaidsLoaded);
    EXPECT_EQ(text(findIdentifier(loading, "SAME", {11, 11})), "NAV0 APT0");
    EXPECT_EQ(findFixNear(loading, entry(WaypointKind::Fix, "ZULU", 12)), nullptr);
    EXPECT_EQ(text(matchLeg(loading, entry(WaypointKind::Fix, "ZULU", 12))), "NONE");
}

TEST_F(LookupTest, MatchingPlanEntriesBackToTheDatabase) {
    // Navaids match on latitude alone, whatever their identifier.
    addNavaid(db, "OTHER", NavaidType::VorDme, 40, 1);
    EXPECT_EQ(text(matchLeg(db, entry(WaypointKind::Navaid, "", 40))), "NAV2 NAV5");
    // Fixes need identifier and latitude; airports match by name.
    EXPECT_EQ(text(matchLeg(db, entry(WaypointKind::Fix, "SAME", 13))), "FIX2");
    EXPECT_EQ(text(matchLeg(db, entry(WaypointKind::Fix, "ZULU", 13))), "NONE");
    FplLeg byName = entry(WaypointKind::Airport, "XXXX", 0);
    byName.name = "AIRPORT ONLY";
    EXPECT_EQ(text(matchLeg(db, byName)), "APT1");
    // An airway entry: fixes first, then navaids, in one list, each with its own kind.
    EXPECT_EQ(text(matchLeg(db, entry(WaypointKind::AirwayEntry, "SAME", 11))), "FIX0");
    addNavaid(db, "X", NavaidType::VorDme, 11, 0);
    EXPECT_EQ(text(matchLeg(db, entry(WaypointKind::AirwayEntry, "SAME", 11))), "FIX0 NAV6");
    EXPECT_EQ(text(matchLeg(db, entry(WaypointKind::AirwayEntry, "NONE", 77))), "NONE");
    // Markers match nothing.
    EXPECT_EQ(text(matchLeg(db, entry(WaypointKind::Gap, "SAME", 11))), "NONE");
}

TEST_F(LookupTest, NavaidAndFixNearAReferenceUseASignedLatitudeTest) {
    // The only "FAR" (latitude 40) is 5 degrees south of a reference at 45: it passes; 1.5
    // degrees north of the reference does not, 0.9 degrees north does.
    db.navaids.clear();
    addNavaid(db, "FAR", NavaidType::VorDme, 40, 0);
    markDatabaseLoaded(db);
    EXPECT_EQ(findNavaidNear(db, entry(WaypointKind::Navaid, "FAR", 45)), &db.navaids[0]);
    EXPECT_EQ(findNavaidNear(db, entry(WaypointKind::Navaid, "FAR", 38.5f)), nullptr);
    EXPECT_NE(findNavaidNear(db, entry(WaypointKind::Navaid, "FAR", 39.1f)), nullptr);

    // Localizers and DME-only navaids never qualify, even when they are the only ones; the
    // first qualifying navaid in list order is returned.
    db.navaids.clear();
    addNavaid(db, "LOC", NavaidType::Localizer, 10, 0);
    addNavaid(db, "LOC", NavaidType::Dme, 10, 0);
    markDatabaseLoaded(db);
    EXPECT_EQ(findNavaidNear(db, entry(WaypointKind::Navaid, "LOC", 10)), nullptr);
    addNavaid(db, "LOC", NavaidType::Ndb, 60, 0);  // too far north
    addNavaid(db, "LOC", NavaidType::Ndb, 9, 0);
    addNavaid(db, "LOC", NavaidType::Vor, 8, 0);
    EXPECT_EQ(findNavaidNear(db, entry(WaypointKind::Navaid, "LOC", 10)), &db.navaids[3]);

    EXPECT_EQ(findFixNear(db, entry(WaypointKind::Fix, "SAME", 20)), &db.fixes[0]);  // 9 degrees south
    EXPECT_EQ(findFixNear(db, entry(WaypointKind::Fix, "SAME", 12)), &db.fixes[0]);
    EXPECT_EQ(findFixNear(db, entry(WaypointKind::Fix, "ZULU", 10.5f)), nullptr);
}

TEST(NearestAirport, StrictlyNearerWinsAndTiesKeepTheFirst) {
    NavDatabase db;
    addAirport(db, "EAST", 0, 1, "", 12);
    addAirport(db, "WEST", 0, -1, "", 34);
    addAirport(db, "FAR", 5, 5);
    markDatabaseLoaded(db);
    FplLeg leg = nearestAirport(db, 0, 0);  // exactly 60 NM from both
    EXPECT_EQ(leg.waypointKind, WaypointKind::Airport);
    EXPECT_EQ(leg.ident, "EAST");
    EXPECT_EQ(leg.dbIndex, 0);
    EXPECT_EQ(leg.elevationFt, 12);
    EXPECT_EQ(nearestAirport(db, 0.1, -0.9).dbIndex, 1);

    // More than 55555 NM is impossible on this earth, so an airport is always found; with
    // none at all the leg names index 0 without data.
    NavDatabase empty;
    markDatabaseLoaded(empty);
    leg = nearestAirport(empty, 0, 0);
    EXPECT_EQ(leg.dbIndex, 0);
    EXPECT_TRUE(leg.ident.empty());
}

// The search passes over airports that cannot be nearer; it must still give what a plain
// scan of every distance gives, ties and odd latitudes included.
TEST(NearestAirport, AgreesWithAPlainScanOfEveryDistance) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> lat(-90, 90), lon(-180, 180), near(-0.5, 0.5);
    NavDatabase db;
    for (int i = 0; i < 3000; ++i) addAirport(db, "A", lat(rng), lon(rng));
    for (int i = 0; i < 500; ++i) addAirport(db, "B", 50 + near(rng), 8 + near(rng));
    addAirport(db, "ODD", 120, 10);  // out of range: the formula still measures it
    addAirport(db, "DUP", 50, 8);
    addAirport(db, "DUP", 50, 8);
    markDatabaseLoaded(db);
    std::vector<std::pair<double, double>> queries = {{50, 8}, {60, 10}, {90, 0}, {-90, 0}, {0, 180}};
    for (int i = 0; i < 400; ++i) queries.push_back({lat(rng), lon(rng)});
    for (int i = 0; i < 400; ++i) queries.push_back({50 + near(rng), 8 + near(rng)});
    for (const auto& [qlat, qlon] : queries) {
        float best = 55555.0f;
        int32_t expected = 0;
        for (size_t i = 0; i < db.airports.size(); ++i) {
            float d =
                distanceNm(GeoPoint{qlat, qlon}, GeoPoint{db.airports[i].latitude, db.airports[i].longitude});
            if (best > d) {
                best = d;
                expected = static_cast<int32_t>(i);
            }
        }
        ASSERT_EQ(nearestAirport(db, qlat, qlon).dbIndex, expected) << qlat << ", " << qlon;
    }
}

TEST(AirwaysThroughFix, FromSideOnlyAndConsecutiveDuplicatesCollapse) {
    auto airway = [](const char* name, std::vector<std::pair<const char*, const char*>> legs) {
        Airway a;
        a.name = name;
        for (const auto& [from, to] : legs) {
            a.segments.emplace_back().fromIdent = from;
            a.segments.back().toIdent = to;
        }
        return a;
    };
    NavDatabase db;
    Airway ul1 = airway("UL1", {{"X", "A"}, {"X", "B"}, {"X", "C"}});
    // X only on the to-side of UM2; UL1 again, not consecutive with the first.
    db.airways = {ul1, airway("UM2", {{"Q", "X"}}), airway("UN3", {{"P", "Q"}, {"X", "P"}}), ul1};
    markDatabaseLoaded(db);
    auto found = [&db] {
        std::vector<AirwayRef> out = {AirwayRef{"STALE", 9}};
        airwaysThroughFix(db, entry(WaypointKind::Fix, "X", 0), out);
        std::string text;
        for (const AirwayRef& r : out) text += r.name + "@" + std::to_string(r.index) + " ";
        return text;
    };
    EXPECT_EQ(found(), "UL1@0 UN3@2 UL1@3 ");
    // Two airways of the same name in a row collapse too: the name is what is compared.
    db.airways = {ul1, ul1};
    EXPECT_EQ(found(), "UL1@0 ");
}

TEST(MagneticVariation, TheNearestStationWithAVariationWithin100NmDecides) {
    NavDatabase db;
    // One degree of latitude is 60 NM: 1.6 degrees is 96 NM, 1.7 degrees 102 NM.
    for (auto [ident, lat, variation] :
         {std::tuple{"ZERO", 0.1f, 0.0f}, {"FAR", 1.7f, 9.0f}, {"EDGE", 1.6f, -3.5f}, {"NEAR", 0.0f, 7.0f}})
        addNavaid(db, ident, NavaidType::Vor, lat, 0, variation);
    markDatabaseLoaded(db);
    // The navaid with variation 0 is passed over; the nearest of the others decides, wherever
    // it stands in the list; one beyond 100 NM never does.
    EXPECT_FLOAT_EQ(magneticVariationAt(db, 0, 0), 7.0f);
    EXPECT_FLOAT_EQ(magneticVariationAt(db, 1.0, 0), -3.5f);  // 36 NM from EDGE, 60 from NEAR
    EXPECT_FLOAT_EQ(magneticVariationAt(db, 3.3, 0), 9.0f);   // 96 NM from FAR, 102 from EDGE
    EXPECT_FLOAT_EQ(magneticVariationAt(db, -1.7, 0), 0.0f);  // 102 NM from NEAR: none
    EXPECT_FLOAT_EQ(magneticVariationAt(db, -1.6, 0), 7.0f);
    // Across the date line the grid still finds it.
    db.navaids.clear();
    addNavaid(db, "DL", NavaidType::Vor, 10, 179.9f, 4.0f);
    markDatabaseLoaded(db);
    EXPECT_FLOAT_EQ(magneticVariationAt(db, 10, -179.5), 4.0f);
}
