// The airway reference page (DATA/NAV) and the airway entry page (LIST) on the sample
// database. V187 runs AST CETUV RINDS OLM AFGAP TCM COTNY ORTIN MOUNT RADDY THICK ELN ... (61
// points in all); AST, OLM, TCM and ELN are VORTACs, the others fixes.
#include <gtest/gtest.h>

#include "Harness.h"
#include "PageTestSupport.h"
#include "PlanSteps.h"

namespace {

using V = std::vector<std::string>;

class AirwayPages : public SampleDatabasePage {
protected:
    // LIST, AIRWAYS through the first leg, airway number n: the entry page.
    void openEntry(const char* n) {
        press("LIST");
        press("R2");
        h.type(n);
        press("ENTER");
    }
};

TEST_F(AirwayPages, ReferencePageListsTheAirwaysThroughAWaypointAndTheirPoints) {
    press("DATA");
    press("L1");
    press("L5");
    EXPECT_SCREEN(R"(
       AIRWAYS  1/1
 REF WPT
 -----
 AIRWAY IDENT
 --





                RETURN)");
    press("L1");
    h.type("OLM");
    press("ENTER");
    ASSERT_EQ(h.cdu().currentPage, kPageIdent);
    EXPECT_EQ(h.row(10), " ACCEPT         RETURN  ");
    press("L5");
    ASSERT_EQ(h.cdu().currentPage, kPageData);
    EXPECT_SCREEN(R"(
       AIRWAYS  1/2
 REF WPT
 OLM          1 V187
 AIRWAY IDENT 2 V204
 --           3 V165
              4 V287
              5 J34
              6 J126


                RETURN)");
    press("NEXT");
    EXPECT_EQ(h.row(0), "       AIRWAYS  2/2     ");
    EXPECT_EQ(h.row(2), " OLM          7 J54     ");
    press("PREV");

    // AIRWAY IDENT 1: the points of V187, sixteen to a page.
    press("L2");
    h.type("1");
    press("ENTER");
    EXPECT_SCREEN(R"(
       AIRWAYS 1/4
          V187
   1 AST         9 MOUNT
   2 CETUV      10 RADDY
   3 RINDS      11 THICK
   4 OLM        12 ELN
   5 AFGAP      13 FEBUS
   6 TCM        14 NIALS
   7 COTNY      15 PSC
   8 ORTIN      16 OYREX
                RETURN)");
    press("NEXT");
    press("NEXT");
    press("NEXT");
    press("NEXT");  // clamped to the last page
    EXPECT_EQ(h.row(0), "       AIRWAYS 4/4      ");
    EXPECT_EQ(h.row(2), "  49 RIZAL      57 BUPNY");
    // A number outside the list goes back to the airway list.
    press("L2");
    h.type("9");
    press("ENTER");
    EXPECT_EQ(h.row(0), "       AIRWAYS  1/2     ");
    press("R5");
    EXPECT_EQ(h.row(0), "      DATA/NAV 1/2      ");
}

TEST_F(AirwayPages, EntryAppendsTheAirwayForwardBackwardAndFromItsStart) {
    planOf({"OLM"});
    openEntry("1");
    EXPECT_SCREEN(R"(
       AIRWAYS 1/6
 FRM     VIA     TO
 OLM     V187
   1 AST      7 COTNY
   2 CETUV    8 ORTIN
   3 RINDS    9 MOUNT
   4 OLM     10 RADDY
   5 AFGAP   11 THICK
   6 TCM     12 ELN

                RETURN)");
    press("NEXT");
    EXPECT_EQ(h.row(3), "  13 FEBUS   19 RENGO   ");
    h.type("12");
    h.frame();
    EXPECT_EQ(h.row(2), " OLM     V187    12     ");
    press("ENTER");
    ASSERT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(planIdents(), (V{"OLM", "AFGAP", "TCM", "COTNY", "ORTIN", "MOUNT", "RADDY", "THICK", "ELN"}));
    EXPECT_EQ(h.context.pages.fpl.fplPage, 2);
    const FplLeg& tcm = *planLeg(2);
    EXPECT_EQ(tcm.waypointKind, WaypointKind::Navaid);
    EXPECT_FLOAT_EQ(tcm.frequency, 109.6f);
    EXPECT_EQ(tcm.altitudeFt, 0);  // a navaid's elevation is no altitude constraint
    EXPECT_EQ(planLeg(3)->waypointKind, WaypointKind::Fix);

    // Back from ELN towards TCM: the points in reverse order.
    openEntry("1");
    EXPECT_EQ(h.row(2), " ELN     V187           ");
    h.type("6");
    press("ENTER");
    EXPECT_EQ(planIdents(), (V{"OLM", "AFGAP", "TCM", "COTNY", "ORTIN", "MOUNT", "RADDY", "THICK", "ELN",
                               "THICK", "RADDY", "MOUNT", "ORTIN", "COTNY", "TCM"}));
    // To the point the plan ends at: nothing.
    openEntry("1");
    h.type("6");
    press("ENTER");
    EXPECT_EQ(planLegCount(), 15);
}

TEST_F(AirwayPages, EntryFromAWaypointOffTheAirwayStartsAtItsFirstPoint) {
    planOf({"OLM", "KSEA"});
    openEntry("1");
    EXPECT_EQ(h.row(2), " KSEA    V187           ");
    h.type("3");
    press("ENTER");
    EXPECT_EQ(planIdents(), (V{"OLM", "KSEA", "AST", "CETUV", "RINDS"}));
    // A number past the end is taken as the last point.
    openEntry("7");  // J54 through OLM
    EXPECT_EQ(h.row(2), " RINDS   J54            ");
}

}  // namespace
