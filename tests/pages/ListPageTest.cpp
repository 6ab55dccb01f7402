// The LIST page through the headless harness on the small database. Distances are from an
// independent haversine: from YSSY, YSBK 9.49 NM, DUP 47.26, BK 9.45, RIC 28.70, SY 0.39,
// TRI 113.94 / 244.22 / 9283.44, COOGE 4.41, ABBEY 6.91, fix DUP 48.56.
#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "PlanSteps.h"

namespace {

class ListPage : public SmallDatabasePage {
protected:
    void SetUp() override { powerOnAndAccept(h); }
    using V = std::vector<std::string>;
};

TEST_F(ListPage, NothingWithoutAPlanThenTheNearestAirportsWithoutTheOrigin) {
    press("LIST");
    EXPECT_TRUE(h.screen().isBlank());
    press("L1");  // no reference point: no list either, and the key is not kept for later
    EXPECT_TRUE(h.screen().isBlank());
    EXPECT_EQ(h.keys().pendingLsk, kLskNone);

    planOf({"YSSY"});
    h.frame();
    EXPECT_EQ(h.row(0), "                        ");  // the menu alone until a list is chosen
    EXPECT_EQ(h.row(2), "  APT               VOR ");
    press("L1");
    EXPECT_SCREEN(R"(
      LIST 1/1
     AIRPORT  #
  APT               VOR
     FROM YSSY     PLT
  NDB1   YSBK   9   AIR
     2   DUP   47  WAYS
  INT               GAP



  RTE               RTN)");
    EXPECT_EQ(h.screen().colourAt(1, 5), CduColourName::other);  // the grey heading
    EXPECT_EQ(h.screen().colourRow(4).substr(5, 12), "W   GGGG   G");
}

TEST_F(ListPage, AnNdbChosenWithEnterIsAppendedAndTheLastFplPageShown) {
    planOf({"YSSY", "ABBEY", "COOGE", "DUP"});
    press("LIST");
    press("L2");
    EXPECT_EQ(h.row(1), "     NDB      #         ");
    EXPECT_EQ(h.row(4), "  NDB1   BK     9   AIR ");
    EXPECT_EQ(h.row(5), "     2   RIC   28  WAYS ");
    // Numbers outside the list are ignored and stay for correction.
    h.type("3");
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageList);
    EXPECT_EQ(h.row(1), "     NDB      #3        ");
    h.type("\b123");  // cut to two characters
    h.frame();
    EXPECT_EQ(h.keys().scratchpad, "12");
    h.type("\b\b2");
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(planIdents(), (V{"YSSY", "ABBEY", "COOGE", "DUP", "RIC"}));
    const FplLeg& ric = *planLeg(4);
    EXPECT_EQ(ric.waypointKind, WaypointKind::Navaid);
    EXPECT_FLOAT_EQ(ric.latitude, -33.6f);
    // Five legs: the second FPL page is the last one.
    EXPECT_EQ(h.context.pages.fpl.fplPage, 2);
}

TEST_F(ListPage, VorListAndItsDetailPages) {
    planOf({"YSSY"});
    press("LIST");
    press("R1");
    // SY lies within the origin's first mile: taken for co-located and left out.
    EXPECT_EQ(h.row(1), "     VOR/PLT  #         ");
    EXPECT_EQ(h.row(4), "  NDB1   TRI  113   AIR ");
    EXPECT_EQ(h.row(5), "     2   TRI  244  WAYS ");
    EXPECT_EQ(h.row(6), "  INT3   TRI 9283   GAP ");
    press("R1");
    EXPECT_EQ(h.row(1), "     VOR/PLT        #   ");
    EXPECT_EQ(h.row(2), " 1 TRI   TRIPLE TWO     ");
    EXPECT_EQ(h.row(4), " 3 TRI   TRIPLE THREE   ");
    h.type("3");
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(planIdents(), (V{"YSSY", "TRI"}));
    EXPECT_FLOAT_EQ(planLeg(1)->latitude, 10.0f);  // TRIPLE THREE
    EXPECT_FALSE(h.context.pages.list.vorDetail);
}

TEST_F(ListPage, AirwaysThroughTheFirstLegAndGap) {
    planOf({"SY", "ABBEY"});
    press("LIST");
    press("R2");
    EXPECT_EQ(h.row(1), "     AIRWAY   #         ");
    EXPECT_EQ(h.row(4), "  NDB1   J1         AIR ");
    // Choosing an airway hands it to the airway entry page; its RETURN leads back here.
    h.type("1");
    press("ENTER");
    EXPECT_EQ(h.row(0), "       AIRWAYS 1/1      ");
    EXPECT_EQ(planLegCount(), 2);
    press("R5");
    EXPECT_EQ(h.row(1), "     AIRWAY   #         ");

    // GAP with the FPL page's second line selected: the marker goes before leg 2.
    h.context.pages.fpl.fplSelectedLine = 1;
    h.context.pages.fpl.fplSelectedLeg = 2;
    press("R3");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(planIdents(), (V{"SY", "GAP", "ABBEY"}));
    // Back on LIST only the menu shows after a GAP request.
    press("LIST");
    EXPECT_EQ(h.row(0), "                        ");
    EXPECT_EQ(h.row(2), "  APT               VOR ");
    press("R5");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
}

}  // namespace
