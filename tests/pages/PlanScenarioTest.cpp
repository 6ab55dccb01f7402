// From power-on to a five-leg plan on the sample database, the way a pilot builds it: INIT,
// FPL with the origin filled from the aircraft's position, identifiers typed (one of them
// with two records to choose from), an NDB picked from LIST. The simulator's waypoint list
// is then checked line by line against the positions in the sample database files, written
// as a default output stream writes floats (six significant digits).
#include <gtest/gtest.h>

#include "PageTestSupport.h"
#include "flightplan/FlightPlan.h"

namespace {

TEST(PlanScenario, PowerOnToAFiveLegPlan) {
    Harness h;
    SimAircraft& aircraft = h.sim.aircraft();
    // On the ground at Seattle-Tacoma: airports.txt has KSEA at 47.450188, -122.312320.
    aircraft.latDeg = 47.450188;
    aircraft.lonDeg = -122.312320;
    aircraft.onGround = true;
    // A key and the frames for the page it leads to (a page draws before it acts on its keys).
    auto press = [&](const char* key, int frames = 2) {
        h.press(key);
        h.frames(frames);
    };
    auto typeAndEnter = [&](const char* text) {
        h.type(text);
        press("ENTER");
    };

    press("ONOFF", 1);
    EXPECT_EQ(h.row(0), "        ORX - 1         ");
    h.waitForDatabase();
    h.frames(2);
    EXPECT_EQ(h.row(0), "        INIT 1/1        ");
    EXPECT_EQ(h.row(8), "17-OCT-2013             ");  // Cycle.txt: "1310 17OCT 2013"
    press("L5", 1);

    // FPL: the origin is the airport nearest to the aircraft.
    press("FPL");
    ASSERT_EQ(h.cdu().currentPage, kPageFpl);
    ASSERT_EQ(planLegCount(), 1);
    EXPECT_EQ(planLeg(0)->ident, "KSEA");

    // The empty second line, then the SEATTLE VORTAC.
    press("L2", 1);
    typeAndEnter("SEA");
    ASSERT_EQ(h.cdu().currentPage, kPageIdent);
    EXPECT_EQ(h.row(0), "      SEA      1/1      ");
    EXPECT_EQ(h.row(1), "SEATTLE VORTAC          ");
    press("L5");
    ASSERT_EQ(h.cdu().currentPage, kPageFpl);
    ASSERT_EQ(planLegCount(), 2);

    // ISEA names two records in Navaids.txt: the DME of the 34R ILS, 0.2 NM from SEA (the leg
    // the new one follows), is offered first; the localizer, 1.8 NM away, second.
    typeAndEnter("ISEA");
    EXPECT_EQ(h.row(0), "      ISEA      1/2     ");
    EXPECT_EQ(h.row(1), "KSEA 34R DME-ILS        ");
    EXPECT_EQ(h.row(5), " ILS                    ");
    press("NEXT", 1);
    EXPECT_EQ(h.row(0), "      ISEA      2/2     ");
    EXPECT_EQ(h.row(5), " LOCALIZER              ");
    press("PREV", 1);
    EXPECT_EQ(h.row(10), " ACCEPT         RETURN  ");
    press("ENTER");  // ENTER accepts as L5 does
    ASSERT_EQ(planLegCount(), 3);

    // LIST: the NDBs nearest to KSEA. SZ (4.94 NM) and RNT (4.80 NM) share 4 NM and keep
    // their file order; CARNEY is fifth at 21.50 NM.
    press("LIST", 1);
    press("L2", 1);
    EXPECT_EQ(h.row(4), "  NDB1   SZ     4   AIR ");
    EXPECT_EQ(h.row(5), "     2   RNT    4  WAYS ");
    EXPECT_EQ(h.row(8), "     5   CAN   21       ");
    h.type("5");
    press("ENTER");
    ASSERT_EQ(h.cdu().currentPage, kPageFpl);
    ASSERT_EQ(planLegCount(), 4);

    // PAINE VOR-DME at the end.
    press("L5", 1);
    typeAndEnter("PAE");
    EXPECT_EQ(h.row(1), "PAINE VOR-DME           ");
    press("L5");
    ASSERT_EQ(planLegCount(), 5);

    // Five legs fill the first FPL page; the second is the empty one to append on.
    EXPECT_EQ(h.row(0).substr(0, 16), "        FPL 1/2 ");
    const char* idents[] = {"1 KSEA", "2 SEA ", "3 ISEA", "4 CAN ", "5 PAE "};
    for (int line = 0; line < 5; ++line)
        EXPECT_EQ(h.row(2 + 2 * line).substr(0, 6), idents[line]) << h.dump();
    EXPECT_EQ(h.dir.read("data/Routes/fsPlan.pln"),
              "KSEA,47.4502,-122.312\n"
              "SEA,47.4354,-122.31\n"
              "ISEA,47.4343,-122.306\n"
              "CAN,47.4106,-122.839\n"
              "PAE,47.9198,-122.278\n");
}

}  // namespace
