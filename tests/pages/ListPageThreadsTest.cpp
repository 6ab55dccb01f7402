// The INT list of the LIST page with its search thread, through the headless harness. Run
// under ThreadSanitizer by the test script (suite name ends in Threads).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "PageTestSupport.h"
#include "PlanSteps.h"

namespace {

class ListPageThreads : public SmallDatabasePage {
protected:
    void start(bool withFixes) {
        if (!withFixes) std::filesystem::remove(h.dir.path() / "data/Waypoints.txt");
        powerOnAndAccept(h);
        appendIdent(h.context.navdb.database, "YSSY");
        press("LIST");
    }
};

TEST_F(ListPageThreads, IntersectionsArriveFromTheSearchThreadAndCanBeChosen) {
    start(true);
    press("L3", 1);
    for (int i = 0; i < 2000 && !h.context.pages.list.intersections.ready(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    h.frame();
    EXPECT_EQ(h.row(1), "     INTS      #        ");
    EXPECT_EQ(h.row(4), "  NDB1   COOGE  4   AIR ");
    EXPECT_EQ(h.row(5), "     2   ABBEY  6  WAYS ");
    EXPECT_EQ(h.row(6), "  INT3   DUP   48   GAP ");
    h.type("1");
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(planIdents(), (std::vector<std::string>{"YSSY", "COOGE"}));
    EXPECT_EQ(planLeg(1)->waypointKind, WaypointKind::Fix);
}

TEST_F(ListPageThreads, SearchWaitingForFixesShowsLoadingAndIgnoresASecondPress) {
    start(false);  // no fixes file: the fix list is never published
    press("L3", 1);
    EXPECT_EQ(h.row(4), "  NDB    LOADING    AIR ");
    EXPECT_EQ(h.screen().colourAt(4, 9), CduColourName::yellow);
    h.frames(499);  // LOADING shows every 500th frame of the search
    EXPECT_EQ(h.row(4), "  NDB               AIR ");
    press("L3", 1);  // ignored while the search runs
    EXPECT_EQ(h.row(4), "  NDB    LOADING    AIR ");
    EXPECT_TRUE(h.context.pages.list.intersections.running());
    // The harness goes away with the thread still waiting: it is cancelled and joined.
}

}  // namespace
