// DEPARTURE and ARRIVAL driven by keys on the sample procedure files, from the FPL MENU to
// the plan they leave behind.
#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "PlanSteps.h"
#include "pages/PageTable.h"

namespace {

using V = std::vector<std::string>;

struct ProcedurePages : KeyedPage {
    // The unit on the ground at `lat`, `lon`, INIT accepted and the FPL page showing the
    // nearest airport as the origin.
    void startAt(double lat, double lon) {
        h.sim.aircraft().latDeg = lat;
        h.sim.aircraft().lonDeg = lon;
        powerOnAndAccept(h);
        press("FPL");
    }
    // An airport appended on the FPL page: its identifier, ENTER, ACCEPT.
    void append(const char* ident) {
        type(ident);
        press("ENTER");
        press("L5");
    }
};

constexpr double kSeattleLat = 47.450188, kSeattleLon = -122.312320;
constexpr double kPaineLat = 47.905980, kPaineLon = -122.279142;

TEST_F(ProcedurePages, DepartureStepsFromRunwayToTheSidSummaryAndIntoThePlan) {
    startAt(kSeattleLat, kSeattleLon);
    append("KPAE");
    press("MENU");
    press("L4");
    EXPECT_SCREEN(R"(
     DEPARTURE 1/1
 SEL RUNWAY      DEPART
  1 16L            KSEA
  2 34R          RUNWAY
  3 16C            # --
  4 34C             SID
  5 16R     ------.----
  6 34L


                   FPL
)");
    EXPECT_EQ(h.screen().colourRow(4), "  W GGG            W KK ");  // the field: black on a bar
    // The entry keeps two characters; 12 and 0 are no runway.
    type("123");
    EXPECT_EQ(h.row(4), "  3 16C            # 12 ");
    press("ENTER");
    EXPECT_EQ(h.row(1), " SEL RUNWAY      DEPART ");
    choose("0");
    EXPECT_EQ(h.row(1), " SEL RUNWAY      DEPART ");
    EXPECT_EQ(h.row(4), "  3 16C            # -- ");

    choose("1");
    EXPECT_SCREEN(R"(
     DEPARTURE 1/1
 SEL SID         DEPART
  1 MILLT2         KSEA
  2 EMDEN1       RUNWAY
  3 VECTR1         #16L
                    SID
                   # --



               PLT RTE
)");
    choose("1");
    EXPECT_SCREEN(R"(
     DEPARTURE 1/1
 SEL TRANS       DEPART
  1 TAOMA          KSEA
  2 OLM          RUNWAY
                   #16L
                    SID
            MILLT2.# --



               PLT RTE
)");
    choose("1");
    EXPECT_SCREEN(R"(
     DEPARTURE 1/1
                 DEPART
                   KSEA
                 RUNWAY
                   #16L
                    SID
           MILLT2.TAOMA



               PLT RTE
)");

    // R3 goes back to the SID list, R2 to the runways; the choices come back as before.
    press("R3");
    EXPECT_EQ(h.row(1), " SEL SID         DEPART ");
    choose("1");
    press("R2");
    EXPECT_EQ(h.row(1), " SEL RUNWAY      DEPART ");
    choose("1");
    choose("1");
    choose("1");

    press("R5");
    ASSERT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(planIdents(), (V{"KSEA", "(16)", "(17)", "MILLT", "ORTIN", "TAOMA", "KPAE"}));

    // No SID (ENTER on an empty entry) takes the SID legs out again.
    press("MENU");
    press("L4");
    EXPECT_EQ(h.row(6), "           MILLT2.TAOMA ");  // the page resumes where it was left
    press("R3");
    press("ENTER");
    EXPECT_EQ(h.row(6), "                        ");
    press("R5");
    EXPECT_EQ(planIdents(), (V{"KSEA", "KPAE"}));
}

TEST_F(ProcedurePages, DepartureWithoutSidsAndWithoutATransition) {
    // Boeing Field: runway 13L has no SID, 13R has DUWAM1.
    startAt(47.531101, -122.302515);
    append("KPAE");
    press("MENU");
    press("L4");
    choose("1");
    EXPECT_SCREEN(R"(
     DEPARTURE 1/1
 NO SID          DEPART
                   KBFI
                 RUNWAY
                   #13L
                    SID




               PLT RTE
)");
    press("ENTER");
    EXPECT_EQ(h.row(0), "     DEPARTURE 1/1      ");
    EXPECT_EQ(h.row(6), "                        ");
    press("R2");
    choose("3");  // 13R
    choose("1");  // DUWAM1
    // R5 with nothing typed takes the SID without a transition.
    press("R5");
    EXPECT_EQ(planIdents(), (V{"KBFI", "R1615", "(6)", "VAMPS", "KPAE"}));
    press("MENU");
    press("L4");
    EXPECT_EQ(h.row(6), "            DUWAM1.NONE ");

    // Without an airport as leg 1 the page goes back to the plan; with another airport there
    // it starts afresh for that one.
    press("FPL");
    press("L1");
    press("R1");
    press("R1");
    ASSERT_EQ(planLeg(0)->ident, "R1615");
    press("MENU");
    press("L4");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    press("FPL");
    append("KPAE");  // before R1615, line 1 still being selected
    ASSERT_EQ(planLeg(0)->ident, "KPAE");
    press("MENU");
    press("L4");
    EXPECT_EQ(h.row(1), " SEL RUNWAY      DEPART ");
    EXPECT_EQ(h.row(2), "  1 16R            KPAE ");
}

TEST_F(ProcedurePages, ArrivalStepsWithStarApproachAndATransitionThatStartsElsewhere) {
    startAt(kPaineLat, kPaineLon);
    append("KSEA");
    press("MENU");
    press("R4");
    ASSERT_EQ(h.cdu().currentPage, kPageArrival);
    EXPECT_SCREEN(R"(
     ARRIVAL 1/1
 SEL RUNWAY     ARRIVAL
  1 16L            KSEA
  2 34R          RUNWAY
  3 16C            # --
  4 34C            STAR
  5 16R     ------.----
  6 34L            APPR
            ------.----

                   FPL
)");
    choose("2");
    EXPECT_SCREEN(R"(
     ARRIVAL 1/1
 SEL STAR       ARRIVAL
  1 BANDR2         KSEA
  2 OLM4         RUNWAY
                   #34R
                   STAR
                   # --
                   APPR
            ------.----

               PLT RTE
)");
    // A number outside the transition list goes back to the STARs.
    choose("1");
    choose("7");
    EXPECT_EQ(h.row(1), " SEL STAR       ARRIVAL ");
    choose("1");
    EXPECT_SCREEN(R"(
     ARRIVAL 1/1
 SEL TRANS      ARRIVAL
 1 ELN             KSEA
 2 YKM           RUNWAY
                   #34R
                   STAR
            BANDR2.# --



               PLT RTE
)");
    choose("1");
    EXPECT_SCREEN(R"(
     ARRIVAL 1/1
 SEL APPROACH   ARRIVAL
  1 LOC  34R       KSEA
                 RUNWAY
                   #34R
                   STAR
             BANDR2.ELN
                   APPR
                   # --

               PLT RTE
)");
    choose("1");
    EXPECT_SCREEN(R"(
     ARRIVAL 1/1
 SEL TRANSITION ARRIVAL
  1 TCM            KSEA
  2 OLM          RUNWAY
                   #34R
                   STAR
             BANDR2.ELN
                   APPR
            #--.LOC 34R

               PLT RTE
)");
    choose("1");
    EXPECT_SCREEN(R"(
     ARRIVAL 1/1
                ARRIVAL
                   KSEA
                 RUNWAY
                   #34R
                   STAR
             BANDR2.ELN
                   APPR
            TCM.LOC 34R

               PLT RTE
)");
    press("R5");
    ASSERT_EQ(h.cdu().currentPage, kPageFpl);
    // TCM does not follow SAMMA: the transition keeps its legs after a no-link marker and
    // leads into the final at MILLT.
    EXPECT_EQ(planIdents(), (V{"KPAE", "NOLINK", "ELN", "BEEZR", "BANDR", "VAMPS", "SAMMA", "NOLINK", "TCM",
                               "MILLT", "FAMAN", "YORUC", "34R", "EOA", "KSEA"}));
}

TEST_F(ProcedurePages, ArrivalSkipsTheStarOrTheTransitionAndEndsInAHold) {
    startAt(kPaineLat, kPaineLon);
    append("KSEA");
    press("MENU");
    press("R4");
    choose("2");
    // APPR skips the STAR; the OLM transition ends in a hold at MILLT, where the final begins.
    press("R4");
    EXPECT_EQ(h.row(1), " SEL APPROACH   ARRIVAL ");
    EXPECT_EQ(h.row(6), "                        ");
    choose("1");
    choose("2");
    EXPECT_EQ(h.row(8), "            OLM.LOC 34R ");
    press("R5");
    EXPECT_EQ(planIdents(), (V{"KPAE", "NOLINK", "OLM", "AFGAP", "TCM", "MILLT", "MILLT", "FAMAN", "YORUC",
                               "34R", "EOA", "KSEA"}));

    // An empty ENTER skips the STAR and the approach transition; the approach is still asked
    // for, and a number outside its list moves on without one.
    press("MENU");
    press("R4");
    choose("2");
    press("ENTER");
    EXPECT_EQ(h.row(1), " SEL APPROACH   ARRIVAL ");
    choose("1");
    EXPECT_EQ(h.row(8), "                LOC 34R ");
    press("R3");  // no STAR was chosen: nothing to go back to
    EXPECT_EQ(h.row(0), "     ARRIVAL 1/1        ");
    press("R2");
    EXPECT_EQ(h.row(1), " SEL RUNWAY     ARRIVAL ");
    choose("2");
    press("R4");
    choose("9");
    EXPECT_EQ(h.row(1), " SEL TRANSITION ARRIVAL ");
    press("R5");  // skips the transition and inserts: without an approach, nothing
    EXPECT_EQ(planIdents(), (V{"KPAE", "KSEA"}));
}

TEST_F(ProcedurePages, ArrivalAtAnAirportWithoutProceduresAndAfterTheStar) {
    startAt(kSeattleLat, kSeattleLon);
    append("KAWO");  // Arlington: runways, no procedure file
    press("MENU");
    press("R4");
    choose("1");
    EXPECT_EQ(h.row(1), " NO STAR        ARRIVAL ");
    EXPECT_EQ(h.row(6), "                        ");  // nothing to enter
    press("ENTER");
    EXPECT_EQ(h.row(1), " NO APPROACH    ARRIVAL ");
    EXPECT_EQ(h.row(8), "                        ");

    // A plan that does not end at an airport has an empty ARRIVAL page.
    press("FPL");
    append("SEA");
    press("MENU");
    press("R4");
    EXPECT_TRUE(h.screen().isBlank());

    // R3 on a STAR leads back to the STAR list with the runway kept.
    press("FPL");
    append("KPAE");
    press("MENU");
    press("R4");
    choose("1");  // 16R
    choose("1");  // STILY2
    choose("2");  // CVV
    EXPECT_EQ(h.row(6), "             STILY2.CVV ");
    press("R3");
    EXPECT_EQ(h.row(1), " SEL STAR       ARRIVAL ");
    EXPECT_EQ(h.row(4), "                   #16R ");
}

}  // namespace
