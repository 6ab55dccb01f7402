#include <gtest/gtest.h>

#include "FplPageFixture.h"

namespace {

using FplMenu = FplPageFixture;
using FplClearance = FplPageFixture;
using PposToWpt = FplPageFixture;

TEST_F(FplMenu, EntriesLeadToThePlanPagesAndDeleteThePlan) {
    addAll({"SEA", "ALKIA"});
    press("MENU");
    EXPECT_SCREEN(R"(
      FPL MENU 1/2

 NORMAL      STORE FPL

 CLEARANCE

 PPOS TO WPT RAIM PRED

 DEPART         ARRIVE

 DELETE FPL     RETURN
)");
    // Entries without an action leave the page and the plan as they are.
    for (const char* key : {"R2", "R3"}) {
        press(key);
        EXPECT_EQ(h.cdu().currentPage, kPageFplMenu) << key;
    }
    // STORE FPL opens PLT ROUTE, whose RETURN comes back here.
    press("R1");
    EXPECT_EQ(h.cdu().currentPage, kPagePilotRoute);
    press("R5");
    EXPECT_EQ(h.cdu().currentPage, kPageFplMenu);
    EXPECT_EQ(fp.plan.legs.size(), 3u);
    // DEPART and ARRIVE lead to their pages; MENU comes back.
    press("L4");
    EXPECT_EQ(h.cdu().currentPage, kPageDeparture);
    press("MENU");
    press("R4");
    EXPECT_EQ(h.cdu().currentPage, kPageArrival);
    press("FPL");
    press("MENU");
    press("NEXT");
    EXPECT_EQ(line(0), "      FPL MENU 2/2");
    EXPECT_EQ(line(2), " COMPRESSED INVERT FPL");
    press("L1");
    EXPECT_EQ(h.cdu().currentPage, kPageFplMenu);
    press("R5");  // back where MENU was pressed
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);

    press("MENU");  // the menu keeps its page between visits
    EXPECT_EQ(line(0), "      FPL MENU 2/2");
    press("PREV");
    press("L5");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_TRUE(fp.plan.legs.empty());
    EXPECT_EQ(line(2), "");
    // An empty plan has one clearance page without lines.
    press("MENU");
    press("L2");
    EXPECT_SCREEN("\n      FPL CLR 1/1 M\n");
}

TEST_F(FplClearance, KeptLegsFiveToAPageWithCourseAndDistanceBetween) {
    // Worked out apart from the program (law of cosines, pi = 3.14159, no variation):
    // ANVIL -> AGANE 357.5 / 5.71 NM, AGANE -> ALKIA 233.3 / 7.99, ALKIA -> ATOME 100.2 / 4.56,
    // BLEIR -> BENSE 183.2 / 7.47, BENSE -> BAAKR 204.6 / 7.81, BAAKR -> BAKMN 180.3 / 1.89,
    // BAKMN -> AUBRN 64.2 / 7.82.
    FplLeg sidLeg = waypoint("SIDLG", 47.5f, -122.3f);
    sidLeg.departureProcLeg = 1;
    appendLeg(sidLeg);
    addAll({"ANVIL", "AGANE", "ALKIA", "ATOME", "BLEIR", "BENSE", "BAAKR", "BAKMN", "AUBRN"});
    press("MENU");
    press("L2");
    EXPECT_SCREEN(R"(
      FPL CLR 1/2 M

1  KSEA

3  ANVIL
  3570     5.7NM
4  AGANE
  2330     8.0NM
5  ALKIA
  1000     4.6NM
6  ATOME
)");
    press("NEXT");
    EXPECT_EQ(line(0), "      FPL CLR 2/2 M");
    EXPECT_EQ(line(2), "7  BLEIR");
    EXPECT_EQ(line(3), "  1830     7.5NM");
    EXPECT_EQ(line(9), "  0640     7.8NM");
    EXPECT_EQ(line(10), "11 AUBRN");
    press("NEXT");  // clamped to the last page
    EXPECT_EQ(line(0), "      FPL CLR 2/2 M");

    // Ten kept legs make two pages; an eleventh makes three (counted again on entry).
    press("FPL");
    add("ADELE");
    press("MENU");
    press("L2");
    EXPECT_EQ(line(0), "      FPL CLR 1/3 M");
}

TEST_F(PposToWpt, WaypointsWithDistanceAndTimeAlongThePlan) {
    FplLeg vector;
    vector.legType = LegType::VM;
    vector.headingDeg = 90;
    addAll({"SEA", "ALKIA", "KBFI"});
    appendLeg(vector);  // no waypoint: not listed
    press("MENU");
    press("L3");
    // From the aircraft: 0.90 NM to SEA, + 12.98 to ALKIA, + 8.80 to KBFI; KSEA is behind.
    EXPECT_SCREEN(R"(
      FPL 1/1     M
       PPOS TO WPT
            DIST-NM TIME
 1  KSEA
 2  SEA         0.9
 3  ALKIA      13.9
 4  KBFI       22.7
)");
    h.sim.aircraft().trueAirspeedKt = 120.0;
    h.frames(3);
    EXPECT_EQ(h.row(4), " 2  SEA         0.9  0+0");
    EXPECT_EQ(h.row(5), " 3  ALKIA      13.9  0+6");
    EXPECT_EQ(h.row(6), " 4  KBFI       22.7 0+11");
}

}  // namespace
