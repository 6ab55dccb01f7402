// PLT ROUTE and the stored-route list through the headless harness on the sample database.
#include <gtest/gtest.h>

#include <filesystem>

#include "Harness.h"
#include "PageTestSupport.h"
#include "PlanSteps.h"
#include "flightplan/RouteFiles.h"

namespace {

using V = std::vector<std::string>;

class RoutePages : public SampleDatabasePage {
protected:
    // A route file in the routes folder: departure KSEA, the navaid SEA.
    void storeRoute(const std::string& name) {
        h.dir.write("data/Routes/" + name + ".txt", "[DEPARTURE AIRPORT]\n0,KSEA\n[NAVAID]\n0,SEA\n");
    }
    bool routeExists(const std::string& name) {
        return std::filesystem::exists(h.dir.path() / "data/Routes" / (name + ".txt"));
    }
};

TEST_F(RoutePages, PltRoutePadsTheNameStoresItAndPagesThroughTheWaypoints) {
    planOf({"KSEA", "SEA", "ORTIN", "TCM", "OLM", "ELN", "KPAE"});
    press("FPL");
    press("MENU");
    press("R1");
    EXPECT_SCREEN(R"(
   PLT ROUTE 1/2
       --------
 1 KSEA

-- SEA

-- ORTIN

-- TCM

-- OLM          RETURN)");
    EXPECT_EQ(h.screen().colourRow(1).substr(7, 8), "KKKKKKKK");  // black on the entry bar
    // A route that cannot be written is not shown as stored: the name stays to try again.
    std::filesystem::remove_all(h.dir.path() / "data/Routes");
    h.dir.write("data/Routes", "in the way");
    h.type("MYR");
    press("ENTER");
    EXPECT_EQ(h.row(1), "       MYR-----         ");
    EXPECT_EQ(h.keys().scratchpad, "MYR");
    std::filesystem::remove(h.dir.path() / "data/Routes");
    h.type("\b\b\b");
    h.type("MYROUTE12");  // eight places: the ninth character is cut
    h.frame();
    EXPECT_EQ(h.row(1), "       MYROUTE1         ");
    h.type("\b\b\b\b\b");
    h.frame();
    EXPECT_EQ(h.row(1), "       MYR-----         ");
    press("NEXT");
    EXPECT_EQ(h.row(0), "   PLT ROUTE 2/2        ");
    EXPECT_EQ(h.row(2), "-- ELN                  ");
    EXPECT_EQ(h.row(4), "-- KPAE                 ");
    press("NEXT");  // clamped to the FPL page count
    EXPECT_EQ(h.row(0), "   PLT ROUTE 2/2        ");

    press("ENTER");
    // Stored as typed, without the padding, and shown in green.
    EXPECT_EQ(h.row(1), "       MYR              ");
    EXPECT_EQ(h.screen().colourAt(1, 7), CduColourName::green);
    EXPECT_TRUE(routeExists("MYR"));
    EXPECT_EQ(h.keys().scratchpad, "");
    press("ENTER");  // a second ENTER stores nothing more
    EXPECT_EQ(h.row(1), "       MYR              ");

    // RETURN goes back to the FPL MENU, whose RETURN still leads to the FPL page.
    press("R5");
    EXPECT_EQ(h.cdu().currentPage, kPageFplMenu);
    press("R5");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    // A new visit starts with an empty entry again.
    press("MENU");
    press("R1");
    EXPECT_EQ(h.row(1), "       --------         ");
}

TEST_F(RoutePages, RouteListPagesLoadsByNumberAndDeletesOnTheSecondPress) {
    for (int i = 1; i <= 10; ++i) storeRoute("R" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    press("FPL");
    EXPECT_EQ(h.row(6), "               PLT RTE  ");
    press("R3");
    EXPECT_EQ(h.cdu().currentPage, kPageRouteList);
    EXPECT_SCREEN(R"(
COPY PLT RTE    LIST 1/2
1  R01
2  R02            SELECT
3  R03            ROUTE
4  R04             # --
5  R05
6  R06
7  R07
8  R08

                RETURN)");
    press("NEXT");
    EXPECT_EQ(h.row(0), "COPY PLT RTE    LIST 2/2");
    EXPECT_EQ(h.row(1), "9  R09                  ");
    EXPECT_EQ(h.row(2), "10 R10            SELECT");
    EXPECT_EQ(h.row(3), "                  ROUTE ");
    press("NEXT");  // clamped
    EXPECT_EQ(h.row(0), "COPY PLT RTE    LIST 2/2");
    // A route stored elsewhere meanwhile shows up without leaving the page.
    storeRoute("R11");
    h.advanceMs(1000);
    h.frames(2);
    EXPECT_EQ(h.row(3), "11 R11            ROUTE ");

    // L1 selects the route on its line: DELETE and LOAD replace the number entry.
    press("L1");
    EXPECT_EQ(h.row(2), "10 R10          DELETE  ");
    EXPECT_EQ(h.row(4), "                  LOAD  ");
    EXPECT_EQ(h.screen().colourAt(2, 3), CduColourName::black);
    press("R1");
    EXPECT_TRUE(routeExists("R10"));  // one press deletes nothing
    press("R1");
    EXPECT_FALSE(routeExists("R10"));
    EXPECT_EQ(h.row(2), "10 R11            SELECT");

    // LOAD loads the selected route and shows it on the FPL page.
    press("PREV");
    press("L2");  // row 4: the fourth route
    EXPECT_EQ(h.row(4), "4  R04            LOAD  ");
    press("R2");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(planIdents(), (V{"KSEA", "SEA"}));

    // A number and ENTER load that route; a number outside the list only clears the entry.
    clearFlightPlan();
    press("FPL");
    press("R3");
    h.type("12");
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageRouteList);
    EXPECT_EQ(planLegCount(), 0);
    EXPECT_EQ(h.row(4), "4  R04             # -- ");
    h.type("3");
    h.frame();
    EXPECT_EQ(h.row(4), "4  R04             #  3 ");
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(planIdents(), (V{"KSEA", "SEA"}));
    // RETURN leads back to the page that opened the list.
    clearFlightPlan();
    press("FPL");
    press("R3");
    press("R5");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
}

TEST_F(RoutePages, LastFplStoredAtTheEndIsOfferedOnTheNextStart) {
    std::string stored;
    {
        Harness before;
        powerOnAndAccept(before);
        planOf({"KSEA", "SEA", "KPAE"});
        before.end();
        stored = before.dir.read("data/Routes/LASTFPL.txt");
    }
    ASSERT_FALSE(stored.empty());
    h.dir.write("data/Routes/LASTFPL.txt", stored);
    press("FPL");
    press("R3");
    EXPECT_EQ(h.row(1), "1  LASTFPL              ");
    h.type("1");
    press("ENTER");
    EXPECT_EQ(planIdents(), (V{"KSEA", "SEA", "KPAE"}));
}

}  // namespace
