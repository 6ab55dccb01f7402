#include <gtest/gtest.h>

#include <random>

#include "guidance/Geodesy.h"
#include "navdb/DatabaseLoad.h"
#include "navdb/NavDatabase.h"

namespace {
Airport airport(const char* ident, const char* name, float lat, float lon, int16_t elevation = 0) {
    Airport a;
    a.ident = ident;
    a.name = name;
    a.latitude = lat;
    a.longitude = lon;
    a.elevation = elevation;
    return a;
}

Navaid navaid(const char* ident, float lat, float lon, NavaidType type = NavaidType::VorDme,
              float declination = 0.0f) {
    Navaid n;
    n.ident = ident;
    n.latitude = lat;
    n.longitude = lon;
    n.type = type;
    n.declination = declination;
    return n;
}

Fix fix(const char* ident, float lat, float lon) {
    Fix f;
    f.ident = ident;
    f.latitude = lat;
    f.longitude = lon;
    return f;
}

FplLeg legAt(WaypointKind kind, const char* ident, float lat, const char* name = "") {
    FplLeg leg;
    leg.waypointKind = kind;
    leg.ident = ident;
    leg.name = name;
    leg.latitude = lat;
    return leg;
}

// One identifier in every category, and a few more to tell the categories apart.
class LookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.airports = {airport("SAME", "FIRST FIELD", 10, 10), airport("APT", "AIRPORT ONLY", 20, 20),
                       airport("NAV", "SHARES WITH NAVAID", 30, 30)};
        db.navaids = {navaid("SAME", 10, 10), navaid("NAV", 31, 31), navaid("TRI", 40, 40),
                      navaid("TRI", 41, 41), navaid("TRI", 42, 42)};
        db.fixes = {fix("SAME", 11, 11), fix("ZULU", 12, 12), fix("SAME", 13, 13)};
        markDatabaseLoaded(db);
    }
    NavDatabase db;
};
}  // namespace

TEST_F(LookupTest, IdentifierSearchOffersOnlyTheHighestCategory) {
    IdentMatches m = findIdentifier(db, "SAME");
    EXPECT_EQ(m.kind, WaypointKind::Fix);
    EXPECT_EQ(m.indices, (std::vector<int32_t>{0, 2}));

    m = findIdentifier(db, "NAV");
    EXPECT_EQ(m.kind, WaypointKind::Navaid);
    EXPECT_EQ(m.indices, (std::vector<int32_t>{1}));

    m = findIdentifier(db, "TRI");  // duplicates all offered, in file order
    EXPECT_EQ(m.kind, WaypointKind::Navaid);
    EXPECT_EQ(m.indices, (std::vector<int32_t>{2, 3, 4}));

    m = findIdentifier(db, "APT");
    EXPECT_EQ(m.kind, WaypointKind::Airport);
    EXPECT_EQ(m.indices, (std::vector<int32_t>{1}));

    m = findIdentifier(db, "sAME");  // exact, case-sensitive
    EXPECT_EQ(m.kind, WaypointKind::None);
    EXPECT_TRUE(m.indices.empty());
    EXPECT_EQ(findIdentifier(db, "SAM").kind, WaypointKind::None);
}

TEST_F(LookupTest, ListsStillLoadingReadAsEmpty) {
    NavDatabase loading;
    loading.airports = db.airports;
    loading.navaids = db.navaids;
    loading.fixes = db.fixes;
    publish(loading.airportsLoaded);
    publish(loading.navaidsLoaded);
    // The fixes loader has not finished: its list is not read, so the navaid wins.
    IdentMatches m = findIdentifier(loading, "SAME");
    EXPECT_EQ(m.kind, WaypointKind::Navaid);
    EXPECT_EQ(m.indices, (std::vector<int32_t>{0}));
    EXPECT_EQ(findFixNear(loading, legAt(WaypointKind::Fix, "ZULU", 12)), nullptr);
    EXPECT_TRUE(matchLeg(loading, legAt(WaypointKind::Fix, "ZULU", 12)).indices.empty());
}

TEST_F(LookupTest, MatchingPlanEntriesBackToTheDatabase) {
    // Navaids match on latitude alone, whatever their identifier.
    db.navaids.push_back(navaid("OTHER", 40, 1));
    IdentMatches m = matchLeg(db, legAt(WaypointKind::Navaid, "", 40));
    EXPECT_EQ(m.kind, WaypointKind::Navaid);
    EXPECT_EQ(m.indices, (std::vector<int32_t>{2, 5}));

    // Fixes need identifier and latitude.
    m = matchLeg(db, legAt(WaypointKind::Fix, "SAME", 13));
    EXPECT_EQ(m.indices, (std::vector<int32_t>{2}));
    EXPECT_TRUE(matchLeg(db, legAt(WaypointKind::Fix, "ZULU", 13)).indices.empty());

    // Airports match by name.
    m = matchLeg(db, legAt(WaypointKind::Airport, "XXXX", 0, "AIRPORT ONLY"));
    EXPECT_EQ(m.kind, WaypointKind::Airport);
    EXPECT_EQ(m.indices, (std::vector<int32_t>{1}));

    // An airway entry: fixes first, then navaids, in one list; the kind is the last found.
    m = matchLeg(db, legAt(WaypointKind::AirwayEntry, "SAME", 11));
    EXPECT_EQ(m.kind, WaypointKind::Fix);
    EXPECT_EQ(m.indices, (std::vector<int32_t>{0}));
    db.navaids.push_back(navaid("X", 11, 0));
    m = matchLeg(db, legAt(WaypointKind::AirwayEntry, "SAME", 11));
    EXPECT_EQ(m.kind, WaypointKind::Navaid);
    EXPECT_EQ(m.indices, (std::vector<int32_t>{0, 6}));
    m = matchLeg(db, legAt(WaypointKind::AirwayEntry, "NONE", 77));
    EXPECT_EQ(m.kind, WaypointKind::AirwayEntry);
    EXPECT_TRUE(m.indices.empty());

    // Markers and other kinds match nothing and keep their kind.
    m = matchLeg(db, legAt(WaypointKind::Gap, "SAME", 11));
    EXPECT_EQ(m.kind, WaypointKind::Gap);
    EXPECT_TRUE(m.indices.empty());
}

TEST_F(LookupTest, NavaidAndFixNearAReferenceUseASignedLatitudeTest) {
    // The only "FAR" (latitude 40) is 5 degrees south of a reference at 45: it passes.
    db.navaids = {navaid("FAR", 40, 0)};
    markDatabaseLoaded(db);
    const Navaid* n = findNavaidNear(db, legAt(WaypointKind::Navaid, "FAR", 45));
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n, &db.navaids[0]);
    // 1.5 degrees north of the reference: none.
    EXPECT_EQ(findNavaidNear(db, legAt(WaypointKind::Navaid, "FAR", 38.5f)), nullptr);
    // 0.9 degrees north passes.
    EXPECT_NE(findNavaidNear(db, legAt(WaypointKind::Navaid, "FAR", 39.1f)), nullptr);

    // Localizers and DME-only navaids never qualify, even when they are the only ones; the
    // first qualifying navaid in list order is returned.
    db.navaids = {navaid("LOC", 10, 0, NavaidType::Localizer), navaid("LOC", 10, 0, NavaidType::Dme)};
    markDatabaseLoaded(db);
    EXPECT_EQ(findNavaidNear(db, legAt(WaypointKind::Navaid, "LOC", 10)), nullptr);
    db.navaids.push_back(navaid("LOC", 60, 0, NavaidType::Ndb));  // too far north
    db.navaids.push_back(navaid("LOC", 9, 0, NavaidType::Ndb));
    db.navaids.push_back(navaid("LOC", 8, 0, NavaidType::Vor));
    EXPECT_EQ(findNavaidNear(db, legAt(WaypointKind::Navaid, "LOC", 10)), &db.navaids[3]);

    const Fix* f = findFixNear(db, legAt(WaypointKind::Fix, "SAME", 20));
    EXPECT_EQ(f, &db.fixes[0]);  // 9 degrees south: passes
    EXPECT_EQ(findFixNear(db, legAt(WaypointKind::Fix, "SAME", 12)), &db.fixes[0]);
    EXPECT_EQ(findFixNear(db, legAt(WaypointKind::Fix, "ZULU", 10.5f)), nullptr);
}

TEST(NearestAirport, StrictlyNearerWinsAndTiesKeepTheFirst) {
    NavDatabase db;
    db.airports = {airport("EAST", "E", 0, 1, 12), airport("WEST", "W", 0, -1, 34),
                   airport("FAR", "F", 5, 5)};
    markDatabaseLoaded(db);
    FplLeg leg = nearestAirport(db, 0, 0);  // exactly 60 NM from both
    EXPECT_EQ(leg.waypointKind, WaypointKind::Airport);
    EXPECT_EQ(leg.ident, "EAST");
    EXPECT_EQ(leg.dbIndex, 0);
    EXPECT_EQ(leg.elevation, 12);
    EXPECT_FLOAT_EQ(leg.latitude, 0.0f);
    EXPECT_FLOAT_EQ(leg.longitude, 1.0f);
    leg = nearestAirport(db, 0.1, -0.9);
    EXPECT_EQ(leg.ident, "WEST");
    EXPECT_EQ(leg.dbIndex, 1);
    EXPECT_EQ(leg.elevation, 34);

    // More than 55555 NM is impossible on this earth, so an airport is always found; with
    // none at all the leg names index 0 without data.
    NavDatabase empty;
    markDatabaseLoaded(empty);
    leg = nearestAirport(empty, 0, 0);
    EXPECT_EQ(leg.dbIndex, 0);
    EXPECT_TRUE(leg.ident.empty());
}

TEST(AirwaysThroughFix, FromSideOnlyAndConsecutiveDuplicatesCollapse) {
    auto segment = [](const char* from, const char* to) {
        AirwaySegment s;
        s.fromIdent = from;
        s.toIdent = to;
        return s;
    };
    NavDatabase db;
    Airway a;
    a.name = "UL1";
    a.segments = {segment("X", "A"), segment("X", "B"), segment("X", "C")};
    Airway b;
    b.name = "UM2";
    b.segments = {segment("Q", "X")};  // X only on the to-side
    Airway c;
    c.name = "UN3";
    c.segments = {segment("P", "Q"), segment("X", "P")};
    Airway d = a;  // same name again, not consecutive with the first
    db.airways = {a, b, c, d};
    markDatabaseLoaded(db);

    std::vector<AirwayRef> out = {AirwayRef{"STALE", 9}};
    airwaysThroughFix(db, legAt(WaypointKind::Fix, "X", 0), out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].name, "UL1");
    EXPECT_EQ(out[0].index, 0);
    EXPECT_EQ(out[1].name, "UN3");
    EXPECT_EQ(out[1].index, 2);
    EXPECT_EQ(out[2].name, "UL1");
    EXPECT_EQ(out[2].index, 3);

    // Two airways of the same name in a row collapse too: the name is what is compared.
    db.airways = {a, a};
    airwaysThroughFix(db, legAt(WaypointKind::Fix, "X", 0), out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].index, 0);
}

TEST(MagneticVariation, FirstQualifyingNavaidInListOrderWins) {
    NavDatabase db;
    // One degree of latitude is 60 NM: 1.6 degrees is 96 NM, 1.7 degrees 102 NM.
    db.navaids = {
        navaid("ZERO", 0.1f, 0, NavaidType::Vor, 0.0f), navaid("FAR", 1.7f, 0, NavaidType::Vor, 9.0f),
        navaid("EDGE", 1.6f, 0, NavaidType::Vor, -3.5f), navaid("NEAR", 0.0f, 0, NavaidType::Vor, 7.0f)};
    markDatabaseLoaded(db);
    // The navaid with variation 0 is passed over; the far one is out of range; the one at
    // 96 NM wins over a nearer one later in the list.
    EXPECT_FLOAT_EQ(magneticVariationAt(db, 0, 0), -3.5f);
    EXPECT_FLOAT_EQ(magneticVariationByScan(db, 0, 0), -3.5f);
    EXPECT_FLOAT_EQ(magneticVariationAt(db, 3.3, 0), 9.0f);   // 96 NM from FAR, 102 from EDGE
    EXPECT_FLOAT_EQ(magneticVariationAt(db, -1.7, 0), 0.0f);  // 102 NM from NEAR: none
    EXPECT_FLOAT_EQ(magneticVariationAt(db, -1.6, 0), 7.0f);
    // Across the date line the grid still finds it.
    db.navaids = {navaid("DL", 10, 179.9f, NavaidType::Vor, 4.0f)};
    markDatabaseLoaded(db);
    EXPECT_FLOAT_EQ(magneticVariationAt(db, 10, -179.5), 4.0f);
    // Navaids added after the grid was built are still seen (the scan takes over).
    db.navaids.push_back(navaid("NEW", 50, 50, NavaidType::Vor, 2.0f));
    EXPECT_FLOAT_EQ(magneticVariationAt(db, 50, 50), 2.0f);
}

// The nearest-airport search passes over airports that cannot be nearer; it must still give
// what a plain scan of every distance gives, ties and odd latitudes included.
TEST(NearestAirport, AgreesWithAPlainScanOfEveryDistance) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> lat(-90, 90), lon(-180, 180), near(-0.5, 0.5);
    NavDatabase db;
    for (int i = 0; i < 3000; ++i) db.airports.push_back(airport("A", "", lat(rng), lon(rng)));
    for (int i = 0; i < 500; ++i) db.airports.push_back(airport("B", "", 50 + near(rng), 8 + near(rng)));
    db.airports.push_back(airport("ODD", "", 120, 10));  // out of range: the formula still measures it
    db.airports.push_back(airport("DUP", "", 50, 8));
    db.airports.push_back(airport("DUP", "", 50, 8));
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
