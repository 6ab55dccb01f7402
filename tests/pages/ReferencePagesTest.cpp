// The NAV/SID, NAV/STAR, NAV/APPR and NAV/RNWY pages behind DATA/NAV, driven by keys on the
// sample database, and the paging of the numbered lists on an airport with ten runways.
#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "PlanSteps.h"
#include "pages/PageTable.h"

namespace {

using V = std::vector<std::string>;

class ReferencePages : public KeyedPage {
protected:
    void SetUp() override {
        h.sim.aircraft().latDeg = 47.450188;  // at Seattle-Tacoma
        h.sim.aircraft().lonDeg = -122.312320;
        powerOnAndAccept(h);
    }
    // DATA/NAV, then the reference page on `key` (L1 SID, L2 STAR, L3 APPROACH, L4 RUNWAY).
    void open(const char* key) {
        press("DATA");
        press("L1");
        press(key);
    }
    // The airport on R1: its identifier, ENTER, ACCEPT on the identifier page.
    void airport(const char* ident) {
        press("R1");
        type(ident);
        press("ENTER");
        press("L5");
    }
};

TEST_F(ReferencePages, NavSidBrowsesWithoutTouchingTheDeparture) {
    // A departure half chosen: KSEA 16L, MILLT2, its transitions on the page.
    press("FPL");
    press("MENU");
    press("L4");
    choose("1");
    choose("1");
    ASSERT_EQ(h.row(1), " SEL TRANS       DEPART ");

    open("L1");
    EXPECT_SCREEN(R"(
     NAV/SID  1/1
 SEL AIRPORT     DEPART
                  -----
                 RUNWAY
                   #
                    SID
            ------.----



                RETURN
)");
    // A navaid is no airport: the identifier page offers no ACCEPT for it.
    press("R1");
    type("SEA");
    press("ENTER");
    EXPECT_EQ(h.row(10), "                RETURN  ");
    press("R5");
    airport("KSEA");
    EXPECT_EQ(h.row(1), " SEL RUNWAY      DEPART ");
    EXPECT_EQ(h.row(2), "  1 16L            KSEA ");
    choose("6");  // 34L
    EXPECT_EQ(h.row(1), " SEL SID         DEPART ");
    EXPECT_EQ(h.row(2), "  1 PUGET2         KSEA ");
    EXPECT_EQ(h.row(3), "  2 VECTR1       RUNWAY ");
    EXPECT_EQ(h.row(4), "                   #34L ");
    choose("1");
    EXPECT_EQ(h.row(2), "  1 HQM            KSEA ");
    EXPECT_EQ(h.row(6), "            PUGET2.# -- ");
    choose("2");
    EXPECT_EQ(h.row(6), "             PUGET2.OLM ");
    // R3: the SID list again; ENTER on nothing takes the runway part alone.
    press("R3");
    choose("1");
    press("ENTER");
    EXPECT_EQ(h.row(6), "            PUGET2.NONE ");
    // A number past the transitions goes back to the SIDs.
    press("R3");
    choose("1");
    choose("3");
    EXPECT_EQ(h.row(1), " SEL SID         DEPART ");
    // R2: the runways again; R1: another airport, the field taking the typed text at once.
    press("R2");
    EXPECT_EQ(h.row(1), " SEL RUNWAY      DEPART ");
    press("R1");
    EXPECT_EQ(h.row(1), " SEL AIRPORT     DEPART ");
    press("R5");
    EXPECT_EQ(h.row(0), "      DATA/NAV 1/2      ");

    // The departure page is where it was, with the SID it had, and inserts it.
    press("FPL");
    press("MENU");
    press("L4");
    EXPECT_EQ(h.row(2), "  1 TAOMA          KSEA ");
    EXPECT_EQ(h.row(6), "            MILLT2.# -- ");
    choose("2");
    press("R5");
    EXPECT_EQ(planIdents(), (V{"KSEA", "(16)", "(17)", "MILLT", "COTNY", "TCM", "AFGAP", "OLM"}));
}

TEST_F(ReferencePages, NavStarHidesRecordsThatAreNoTransition) {
    open("L2");
    airport("KPAE");
    choose("2");  // 34L
    EXPECT_EQ(h.row(1), " SEL STAR       ARRIVAL ");
    EXPECT_EQ(h.row(2), "  1 STILY2         KPAE ");
    choose("1");
    // The runway's own STILY2 record keeps its number 3 but is not shown.
    EXPECT_SCREEN(R"(
     NAV/STAR  1/1
 SEL TRANS      ARRIVAL
  1 HUH            KPAE
  2 CVV          RUNWAY
                   #34L
                   STAR
            STILY2.# --



                RETURN
)");
    press("ENTER");  // nothing to take without a number
    EXPECT_EQ(h.row(1), " SEL TRANS      ARRIVAL ");
    choose("3");
    EXPECT_EQ(h.row(6), "            STILY2.NONE ");
    press("R3");
    choose("1");
    choose("1");
    EXPECT_EQ(h.row(6), "             STILY2.HUH ");
}

TEST_F(ReferencePages, NavApprListsTheRunwaysApproachesAndTheirData) {
    open("L3");
    airport("KSEA");
    choose("5");  // 16R: no final approach
    EXPECT_EQ(h.row(1), " NO APPROACH     AIRPORT");
    EXPECT_EQ(h.row(6), "                        ");
    press("R5");  // back to the menu; APPROACH starts afresh
    press("L3");
    EXPECT_EQ(h.row(1), " SEL AIRPORT     AIRPORT");
    airport("KSEA");
    choose("2");  // 34R
    EXPECT_SCREEN(R"(
     NAV/APPR  1/1
 SEL APPROACH    AIRPORT
  1  LOC  34R      KSEA
                  RUNWAY
                   #34R
                APPROACH
                   # --



                RETURN
)");
    choose("1");
    EXPECT_SCREEN(R"(
     NAV/APPR  1/1
APPROACH
KSEA LOC 34R
FACILITY
ISEA
FREQUENCY
110.30
INBD CRS
341^

                RETURN
)");
    // R2: back to the list. A GPS approach has no facility to show.
    press("R2");
    EXPECT_EQ(h.row(1), " SEL APPROACH    AIRPORT");
    press("R1");
    airport("KSEA");
    choose("6");  // 34L
    choose("1");
    EXPECT_EQ(h.row(2), "KSEA GPS 34L            ");
    for (int row : {4, 6, 8}) EXPECT_EQ(h.row(row), "                        ") << row;
}

TEST_F(ReferencePages, NavRnwyShowsTheRunwaysData) {
    open("L4");
    EXPECT_EQ(h.row(1), "SEL AIRPORT     AIRPORT ");
    airport("KSEA");
    choose("2");
    EXPECT_SCREEN(R"(
     NAV/RNWY  1/1
AIRPORT
KSEA
RNWY NUMBER     APPR END
34R          N  47 25.87
RNWY HDG     W 122 18.48
341.0^
ELEVATION    RNWY LENGTH
433                11893

                RETURN
)");
    // RUNWAY keeps the page as it was left; RETURN forgets it.
    press("DATA");
    press("L4");
    EXPECT_EQ(h.row(4), "34R          N  47 25.87");
    press("R5");
    press("L4");
    EXPECT_EQ(h.row(1), "SEL AIRPORT     AIRPORT ");
}

// An airport of ten runways, the tenth with its threshold on the equator.
class TenRunways : public SmallDatabasePage {
protected:
    TenRunways() {
        std::string airports = "A,YTEN,TEN RUNWAYS,-33.9461,151.1772,21\n";
        for (int i = 1; i <= 10; ++i)
            airports += "R,R" + std::to_string(i) + ",90,8000,0,0,0,90," + (i == 10 ? "0.0" : "-33.93") +
                        ",151.17,21,0\n";
        h.dir.write("data/airports.txt", airports);
        h.sim.aircraft().latDeg = -33.9461;
        h.sim.aircraft().lonDeg = 151.1772;
        powerOnAndAccept(h);
    }
};

TEST_F(TenRunways, ListsPageByNineAndTheEquatorIsSouth) {
    press("FPL");
    press("MENU");
    press("L4");
    EXPECT_EQ(h.row(0), "     DEPARTURE 1/2      ");
    EXPECT_EQ(h.row(10), "  9 R9             FPL  ");
    press("NEXT");
    EXPECT_EQ(h.row(0), "     DEPARTURE 2/2      ");
    EXPECT_EQ(h.row(2), "  10R10            YTEN ");  // the number runs into the name
    EXPECT_EQ(h.row(3), "                 RUNWAY ");
    press("NEXT");
    EXPECT_EQ(h.row(0), "     DEPARTURE 2/2      ");
    h.type("10");
    press("ENTER");
    EXPECT_EQ(h.row(4), "                   #R10 ");
    EXPECT_EQ(h.row(1), " NO SID          DEPART ");

    press("DATA");
    press("L1");
    press("L4");
    h.type("YTEN");
    press("R1");
    press("ENTER");
    press("L5");
    EXPECT_EQ(h.row(0), "     NAV/RNWY  1/2      ");
    press("NEXT");
    EXPECT_EQ(h.row(2), " 10 R10            YTEN ");
    press("PREV");
    press("PREV");
    EXPECT_EQ(h.row(0), "     NAV/RNWY  1/2      ");
    press("NEXT");
    h.type("10");
    press("ENTER");
    EXPECT_EQ(h.row(4), "R10          S    0 0.00");
    EXPECT_EQ(h.row(5), "RNWY HDG     E 151 10.20");
}

}  // namespace
