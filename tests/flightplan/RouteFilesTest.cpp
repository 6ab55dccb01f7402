// Stored routes: the file the writer produces, the reader's round trip through procedures,
// airways and fixes, and what it does with files that no longer match the database.
#include <gtest/gtest.h>

#include <filesystem>

#include "PlanFixture.h"
#include "flightplan/RouteFiles.h"
#include "navdb/AirwayPoints.h"
#include "navdb/DatabaseFiles.h"
#include "navdb/IdentResolve.h"
#include "navdb/Procedures.h"
#include "shell/Program.h"

namespace fs = std::filesystem;

namespace {

// The fields that make two legs the same leg of a plan.
std::string legText(const FplLeg& l) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%d/%d %s %.5f %.5f #%d dep%d arr%d mk%d alt%d crs%d hdg%d",
                  static_cast<int>(l.waypointKind), static_cast<int>(l.legType), l.ident.c_str(), l.latitude,
                  l.longitude, l.dbIndex, l.departureProcLeg, l.arrivalProcLeg, l.markerFlag, l.altitudeFt,
                  l.courseDeg, l.headingDeg);
    return buffer;
}

std::vector<std::string> planText() {
    std::vector<std::string> out;
    for (int i = 0; i < planLegCount(); ++i) out.push_back(legText(*planLeg(i)));
    return out;
}

int airportIndex(const NavDatabase& db, const std::string& ident) {
    const auto named = recordsNamed(db, WaypointKind::Airport, ident);
    EXPECT_FALSE(named.empty()) << ident;
    return named.empty() ? -1 : named.front().second;
}

// The sample database with its procedure files, in a data root of the test's own.
struct SampleRoutes : PlanFixture {
    void SetUp() override {
        fs::create_directories(dir.path() / "data");
        for (const auto& e : fs::directory_iterator(fs::path(FMS_SOURCE_DIR) / "data"))
            linkOrCopy(e.path(), dir.path() / "data" / e.path().filename());
        loadDatabaseNow(db, dir.str());
    }

    Airport& airport(const std::string& ident) {
        return db.airports[static_cast<size_t>(airportIndex(db, ident))];
    }

    // KSEA runway 16L, MILLT2 with its OLM transition, as the departure page leaves them.
    void chooseDeparture() {
        Airport& a = airport("KSEA");
        a.dbIndex = airportIndex(db, "KSEA");
        a.selectedRunwayIndex = 0;
        a.selectedRunwayIdent = a.runways[0].ident;
        loadSids(a);
        Runway& r = a.runways[0];
        ASSERT_EQ(r.ident, "16L");
        for (size_t i = 0; i < r.sids.size(); ++i) {
            const Procedure& p = r.sids[i];
            if (p.name == "MILLT2" && p.transitionName == "NONE" && p.runwayIdent == "16L")
                r.sidRunwayLegs = p.legs;
            if (p.name == "MILLT2" && p.transitionName == "OLM") {
                fp.selections.sidTransition = p;
                fp.selections.sidTransition->listPosition = static_cast<int32_t>(i);
            }
        }
        ASSERT_FALSE(r.sidRunwayLegs.empty());
        ASSERT_TRUE(fp.selections.sidTransition);
        fp.selections.departureAirport = &a;
        fp.selections.departureRunway = &r;
        insertDepartureProcedure();
    }

    // KPAE runway 16R: STILY2 from CVV, the ILS with its EYWOK transition.
    void chooseArrival(bool withStar = true) {
        Airport& a = airport("KPAE");
        a.dbIndex = airportIndex(db, "KPAE");
        a.selectedRunwayIndex = 0;
        a.selectedRunwayIdent = "16R";
        Runway& r = a.runways[0];
        ASSERT_EQ(r.ident, "16R");
        ProcedureSelections& sel = fp.selections;
        sel.arrivalAirport = &a;
        sel.arrivalRunway = &r;
        if (withStar) {
            loadStars(a);
            for (size_t i = 0; i < r.stars.size(); ++i) {
                if (r.stars[i].name == "STILY2" && r.stars[i].transitionName == "CVV") {
                    sel.star = r.stars[i];
                    sel.star->listPosition = static_cast<int32_t>(i);
                }
            }
            ASSERT_TRUE(sel.star);
        }
        loadFinalApproaches(r, a);
        loadApproachTransitions(r, a);
        for (const FinalApproach& f : r.approaches.finals)
            if (f.typeText == "ILS") sel.approach = f;
        for (const ApproachTransition& t : r.approaches.transitions)
            if (t.approachName == "I16R" && t.transitionName == "EYWOK") sel.approachTransition = t;
        ASSERT_TRUE(sel.approach);
        ASSERT_TRUE(sel.approachTransition);
        insertArrivalProcedure();
    }

    // KSEA, SID, OLM then V187 to ELN, a fix, KPAE with STAR, transition and ILS.
    void buildFullPlan() {
        appendIdent(db, "KSEA");
        chooseDeparture();
        appendIdent(db, "OLM");
        // V187 from OLM to ELN through the airway code, as the LIST page's airway entry does.
        int v187 = -1;
        for (size_t i = 0; i < db.airways.size(); ++i)
            if (db.airways[i].name == "V187") v187 = static_cast<int>(i);
        ASSERT_GE(v187, 0);
        std::vector<AirwayPoint> points = airwayPoints(db.airways[static_cast<size_t>(v187)]);
        WaypointKind guess = WaypointKind::Navaid;
        bool past = false;
        for (const AirwayPoint& p : points) {
            if (past) appendLeg(legForAirwayPoint(db, p, guess));
            if (p.ident == "OLM") past = true;
            if (past && p.ident == "ELN") break;
        }
        appendIdent(db, "ORTIN");
        appendIdent(db, "KPAE");
        chooseArrival();
    }
};

TEST_F(SampleRoutes, StoreThenLoadGivesTheSamePlanWithEveryProcedureAndFix) {
    buildFullPlan();
    const std::vector<std::string> before = planText();
    ASSERT_GT(before.size(), 20u);
    ASSERT_TRUE(writeRouteFile("FULL"));
    const std::string text = dir.read("data/Routes/FULL.txt");
    // SID and STAR legs come back from their sections, not as waypoints; the approach
    // transition is written with the STAR.
    EXPECT_NE(text.find("[DEPARTURE RUNWAY]\n0,16L\n[SID]\n"), std::string::npos) << text;
    EXPECT_NE(text.find(",MILLT2,OLM\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[FIX]\n"), std::string::npos);
    EXPECT_NE(text.find("[STAR]\n"), std::string::npos);
    EXPECT_NE(text.find("[TRANSITION]\nI16R,EYWOK\n[FINAL]\nILS,16R\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("TAOMA"), std::string::npos);

    clearFlightPlan();
    ASSERT_EQ(planLegCount(), 0);
    ASSERT_TRUE(readRouteFile("FULL"));
    EXPECT_EQ(planText(), before);
    // The choices are back too: a second store writes the same file.
    ASSERT_TRUE(writeRouteFile("AGAIN"));
    EXPECT_EQ(dir.read("data/Routes/AGAIN.txt"), text);
    EXPECT_EQ(fp.selections.departureRunway, &airport("KSEA").runways[0]);
    ASSERT_TRUE(fp.selections.approach);
    EXPECT_EQ(fp.selections.approach->typeText, "ILS");
}

TEST_F(SampleRoutes, ArrivalWithoutStarAndAPlanOfOneAirport) {
    appendIdent(db, "KSEA");
    appendIdent(db, "SEA");
    appendIdent(db, "KPAE");
    chooseArrival(false);
    const std::vector<std::string> before = planText();
    ASSERT_TRUE(writeRouteFile("NOSTAR"));
    clearFlightPlan();
    ASSERT_TRUE(readRouteFile("NOSTAR"));
    EXPECT_EQ(planText(), before);

    // One airport is the departure only: it does not come back twice.
    clearFlightPlan();
    appendIdent(db, "KSEA");
    ASSERT_TRUE(writeRouteFile("ONE"));
    EXPECT_EQ(
        dir.read("data/Routes/ONE.txt"),
        "[DEPARTURE AIRPORT]\n" + std::to_string(airportIndex(db, "KSEA")) + ",KSEA,47.450188,-122.312317\n");
    ASSERT_TRUE(readRouteFile("ONE"));
    EXPECT_EQ(planIdents(), (std::vector<std::string>{"KSEA"}));
}

TEST_F(SampleRoutes, StaleSelectionsAreNotWrittenForAnotherAirport) {
    appendIdent(db, "KSEA");
    chooseDeparture();
    appendIdent(db, "KPAE");
    chooseArrival();
    // The destination deleted: the arrival choices no longer belong to the plan's end.
    deleteLeg(planLegCount() - 1);
    const std::string text = routeFileText(fp.plan, fp.selections, db);
    EXPECT_EQ(text.find("[ARRIVAL"), std::string::npos) << text;
    EXPECT_EQ(text.find("[STAR]"), std::string::npos) << text;
}

// A database of another cycle: records added before ours shift every index, and a
// namesake far away must not be taken for the stored waypoint.
TEST(RouteFileDatabases, ARouteStoredAgainstOneDatabaseLoadsTheSameWaypointsFromAShiftedOne) {
    TempDir dir;
    std::string stored;
    std::vector<std::string> before;
    {
        Fms context;
        ScopedFms current{context};
        context.platform.dataRoot = dir.str();
        NavDatabase& db = context.navdb.database;
        addAirport(db, "KAAA", 47.0f, -122.0f);
        addAirport(db, "KBBB", 48.0f, -122.0f);
        addNavaid(db, "ABC", NavaidType::Vor, 47.3f, -122.0f);
        addFix(db, "FIXAA", 47.5f, -122.0f);
        addFix(db, "FIXBB", 47.7f, -122.0f);
        markDatabaseLoaded(db);
        for (const char* ident : {"KAAA", "ABC", "FIXAA", "FIXBB", "KBBB"}) appendIdent(db, ident);
        before = planText();
        ASSERT_TRUE(writeRouteFile("SHIFT"));
        stored = dir.read("data/Routes/SHIFT.txt");
    }
    Fms context;
    ScopedFms current{context};
    context.platform.dataRoot = dir.str();
    NavDatabase& db = context.navdb.database;
    addAirport(db, "KZZZ", 10.0f, 10.0f);
    addAirport(db, "KAAA", 47.0f, -122.0f);
    addAirport(db, "KBBB", 48.0f, -122.0f);
    addNavaid(db, "ABC", NavaidType::Vor, -30.0f, 150.0f);  // the namesake on another continent
    addNavaid(db, "XYZ", NavaidType::Vor, 47.3f, -121.0f);  // now at the stored index of ABC
    addNavaid(db, "ABC", NavaidType::Vor, 47.3f, -122.0f);
    addFix(db, "NEW01", 1.0f, 1.0f);
    addFix(db, "FIXAA", 47.5f, -122.0f);
    addFix(db, "FIXBB", 47.7f, -122.0f);
    markDatabaseLoaded(db);
    loadRouteText(stored, "SHIFT");
    ASSERT_EQ(planLegCount(), 5);
    for (int i = 0; i < 5; ++i) {
        // The same places; only the indices moved.
        std::string expected = before[static_cast<size_t>(i)];
        std::string got = legText(*planLeg(i));
        EXPECT_EQ(got.substr(0, got.find('#')), expected.substr(0, expected.find('#'))) << i;
    }
    EXPECT_EQ(planLeg(0)->dbIndex, 1);
    EXPECT_EQ(planLeg(1)->dbIndex, 2);
    EXPECT_EQ(planLeg(3)->dbIndex, 2);

    // A file of the two-field layout (no positions) whose index holds another identifier
    // finds the namesake nearest to the waypoint before it rather than the first in the list.
    loadRouteText("[DEPARTURE AIRPORT]\n0,KAAA\n[NAVAID]\n1,ABC\n", "OLD");
    ASSERT_EQ(planLegCount(), 2);
    EXPECT_FLOAT_EQ(planLeg(1)->latitude, 47.3f);
}

TEST(RouteFileDatabases, EntriesThatNameNoRecordAreSkippedAndIndicesOutsideTheTablesNeverUsed) {
    TempDir dir;
    Fms context;
    ScopedFms current{context};
    context.platform.dataRoot = dir.str();
    NavDatabase& db = context.navdb.database;
    addAirport(db, "KAAA", 47.0f, -122.0f);
    addNavaid(db, "ABC", NavaidType::Vor, 47.3f, -122.0f);
    addFix(db, "FIXAA", 47.5f, -122.0f);
    addFix(db, "FIXAA", -20.0f, 30.0f);
    markDatabaseLoaded(db);
    testing::internal::CaptureStdout();
    loadRouteText(
        "[DEPARTURE AIRPORT]\n0,KAAA\n"
        "[NAVAID]\n999999,ABC\n"  // index past the table: found by its identifier
        "[FIX]\n-5,FIXAA\n"       // negative index: the FIXAA next to ABC, not the far one
        "[FIX]\n0,GONE1\n"        // not in the database at all
        "[NAVAID]\n2147483647,NONAV\n"
        "[FIX]\n0\n"      // no identifier
        "[BOGUS]\n1,2\n"  // an unknown entry
        "[ARRIVAL AIRPORT]\n70000,KZZZ\n",
        "TEST");
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(planIdents(), (std::vector<std::string>{"KAAA", "ABC", "FIXAA"}));
    EXPECT_EQ(planLeg(2)->dbIndex, 0);
    EXPECT_NE(console.find("line 7: [FIX] GONE1 is not in the database, skipped"), std::string::npos)
        << console;
    EXPECT_NE(console.find("NONAV"), std::string::npos);
    EXPECT_NE(console.find("KZZZ"), std::string::npos);
    EXPECT_NE(console.find("[BOGUS]"), std::string::npos);
}

TEST_F(PlanFixture, RouteNamesStayInsideTheRoutesFolderAndFilesAreReplacedWhole) {
    addAirport(db, "KAAA", 47.0f, -122.0f);
    addFix(db, "FIXAA", 47.5f, -122.0f);
    loaded();
    appendIdent(db, "KAAA");
    appendIdent(db, "FIXAA");
    for (const char* bad : {"", "../X", "..", "A/B", "A\\B", ".HIDDEN", "TOOLONGNAME", "a", "A B", "A.TXT"}) {
        EXPECT_FALSE(isValidRouteName(bad)) << bad;
        EXPECT_FALSE(writeRouteFile(bad)) << bad;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "data" / "X.txt"));
    EXPECT_TRUE(writeRouteFile("R-1_X"));
    // An older route of the name is replaced, and no temporary file is left behind.
    dir.write("data/Routes/OLD.txt", "[FIX]\n0,OLD\n");
    ASSERT_TRUE(writeRouteFile("OLD"));
    EXPECT_EQ(dir.read("data/Routes/OLD.txt"),
              "[DEPARTURE AIRPORT]\n0,KAAA,47.000000,-122.000000\n[FIX]\n0,FIXAA,47.500000,-122.000000\n");
    // Files that are no route, and a name that is a folder, are not listed.
    dir.write("data/Routes/fsPlan.pln", "x");
    dir.write("data/Routes/OLD.txt.123.tmp", "x");
    dir.write("data/Routes/lower.txt", "x");
    fs::create_directories(dir.path() / "data/Routes/DIR.txt");
    EXPECT_EQ(listRouteNames(dir.str()), (std::vector<std::string>{"OLD", "R-1_X"}));

    // A leg still undecided between fix and navaid comes back as one.
    FplLeg undecided = *planLeg(1);
    undecided.waypointKind = WaypointKind::AirwayEntry;
    appendLeg(undecided);
    ASSERT_TRUE(writeRouteFile("UNDEC"));
    EXPECT_NE(dir.read("data/Routes/UNDEC.txt").find("[AIRWAY]\n0,FIXAA,"), std::string::npos);
    ASSERT_TRUE(readRouteFile("UNDEC"));
    ASSERT_EQ(planLegCount(), 3);
    EXPECT_EQ(planLeg(2)->waypointKind, WaypointKind::AirwayEntry);
    EXPECT_EQ(planLeg(2)->dbIndex, 0);
    truncateAfter(2);
    deleteRouteFile("UNDEC");

    // A route that cannot be read leaves the plan as it was.
    EXPECT_FALSE(readRouteFile("NONE"));
    EXPECT_FALSE(readRouteFile("../OLD"));
    EXPECT_EQ(planLegCount(), 2);
    EXPECT_TRUE(deleteRouteFile("OLD"));
    EXPECT_FALSE(deleteRouteFile("OLD"));
    EXPECT_FALSE(deleteRouteFile("../Routes/R-1_X"));
    EXPECT_EQ(listRouteNames(dir.str()), (std::vector<std::string>{"R-1_X"}));
}

TEST_F(PlanFixture, TheProgramsEndStoresTheNonEmptyPlanAsLastFpl) {
    addAirport(db, "KAAA", 47.0f, -122.0f);
    addNavaid(db, "ABC", NavaidType::Vor, 47.3f, -122.0f);
    loaded();
    endProgram();  // nothing to store: no file
    EXPECT_FALSE(fs::exists(dir.path() / "data/Routes/LASTFPL.txt"));
    appendIdent(db, "KAAA");
    appendIdent(db, "ABC");
    endProgram();
    // An empty plan at the next end leaves the stored one (the file's layout is tested above).
    clearFlightPlan();
    endProgram();
    EXPECT_TRUE(readRouteFile("LASTFPL"));
    EXPECT_EQ(planIdents(), (std::vector<std::string>{"KAAA", "ABC"}));
}

}  // namespace
