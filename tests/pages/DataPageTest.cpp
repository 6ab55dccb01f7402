// The DATA tree through the headless harness: index paging, the attitude page, the
// DATA/NAV menu with its WPT IDENT field, the identifier page it opens (browsing only) and
// the waypoint-identification result.
#include <gtest/gtest.h>

#include "PageTestSupport.h"

namespace {

class DataPage : public SmallDatabasePage {
protected:
    void SetUp() override {
        SimAircraft& a = h.sim.aircraft();
        a.latDeg = -33.94;
        a.lonDeg = 151.17;
        a.utcSeconds = kLeapDayNoon;
        a.headingTrueDeg = 100.0;
        a.magVarDeg = -12.0;
        a.bankDeg = -12.5;  // left wing down
        a.pitchDeg = 3.2;
        a.paused = true;  // attitude and clock stand still
        powerOnAndAccept(h);
        h.press("DATA");
        h.frame();
    }
    // From the DATA index to the DATA/NAV menu, then a WPT IDENT lookup.
    void lookUp(const char* ident) {
        press("R1");
        h.type(ident);
        press("ENTER");
    }
};

TEST_F(DataPage, IndexPagingStopsAtBothEndsAndShowsTheAttitude) {
    EXPECT_SCREEN(R"(
        DATA 1/4

 NAV DATA

 PILOT DATA

 CO DATA

 DISK

 TAWS)");
    press("PREV");
    EXPECT_EQ(h.row(0), "        DATA 1/4        ");
    press("L3");  // no function: taken and dropped
    EXPECT_EQ(h.keys().pendingLsk, kLskNone);
    press("NEXT");
    EXPECT_SCREEN("        DATA 2/4\n\nNO DATA");
    press("NEXT");
    press("NEXT");
    press("NEXT");
    h.runFor(1100);  // a new second reads the attitude
    // Heading: the raw true heading times 8.381e-8 is 99.989, plus 12 west is 111.989.
    EXPECT_SCREEN(R"(
        DATA 4/4
HDG(IRS)            DATE
111            29-FEB-24
PIT(ANALOG)          UTC
+3.2            12:34:56
ROLL(ANALOG)    ROLL CMD
L 12.5             -----
VARIATION
W-12)");

    // The tree keeps its place while another page is shown.
    press("LIST");
    press("DATA");
    EXPECT_EQ(h.row(0), "        DATA 4/4        ");
}

TEST_F(DataPage, NavMenuWaypointIdentLookUpBrowsesAndShowsTheResult) {
    press("L1");
    EXPECT_SCREEN(R"(
      DATA/NAV 1/2
               WPT IDENT
 SID               -----
           REV EXP
 STAR
                  REGION
 APPROACH      WORLDWIDE
                  2000FT
 RUNWAY      RNV TEST DB

 AIRWAY          RETURN)");
    press("L1");  // the SID reference page; its RETURN comes back
    EXPECT_EQ(h.row(0), "     NAV/SID  1/1       ");
    press("R5");
    EXPECT_EQ(h.row(0), "      DATA/NAV 1/2      ");
    EXPECT_EQ(h.keys().pendingLsk, kLskNone);
    press("R1");
    h.type("SYDNEY");  // the field takes five characters
    h.frame();
    EXPECT_EQ(h.row(2), " SID               SYDNE");
    h.type("\b\b\b\b");
    h.frame();
    EXPECT_EQ(h.row(2), " SID                  SY");
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageIdent);
    // Browsing: no ACCEPT, and neither L5 nor ENTER hands anything over.
    EXPECT_SCREEN(R"(
      SY      1/1
SYDNEY
 NAV  S 33 56.40
      E151 10.80

 VOR/DME
 FREQ     112.10
 ELEV         20
 DECL    E  12.5

                RETURN)");
    press("L5");
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageIdent);
    EXPECT_EQ(h.keys().pendingPadKey, kPadNone);
    press("R5");
    EXPECT_EQ(h.cdu().currentPage, kPageData);
    h.frame();
    EXPECT_EQ(h.row(2), " NAV  S  33.94          ");  // the result in decimal degrees
    EXPECT_EQ(h.row(3), "      E 151.18          ");
    EXPECT_EQ(h.row(10), "                 RETURN ");
    press("R5");
    EXPECT_EQ(h.row(2), " SID               -----");
    press("R5");
    EXPECT_EQ(h.row(0), "        DATA 1/4        ");
}

// Records sharing an identifier are all offered, nearest to the aircraft first.
TEST_F(DataPage, IdentifierPageStepsThroughDuplicatesNearestFirst) {
    press("L1");
    lookUp("TRI");
    EXPECT_EQ(h.row(0), "      TRI      1/3      ");
    EXPECT_EQ(h.row(1), "TRIPLE TWO              ");  // 110 NM away; TRIPLE ONE is 243 NM
    press("NEXT");
    EXPECT_EQ(h.row(0), "      TRI      2/3      ");
    EXPECT_EQ(h.row(8), " DECL    E  11.0        ");
    press("NEXT");
    EXPECT_EQ(h.row(0), "      TRI      3/3      ");
    EXPECT_EQ(h.row(2), " NAV  N  10 0.00        ");
    press("NEXT");
    EXPECT_EQ(h.row(0), "      TRI      1/3      ");
    press("PREV");
    EXPECT_EQ(h.row(0), "      TRI      3/3      ");
    EXPECT_EQ(h.row(1), "TRIPLE THREE            ");

    // A new search starts again at the first candidate (RETURN shows the result page of
    // the first TRI, whose RETURN leads back to the menu).
    press("R5");
    EXPECT_EQ(h.row(1), "TRIPLE TWO              ");
    press("R5");
    lookUp("TRI");
    EXPECT_EQ(h.row(0), "      TRI      1/3      ");

    // (Records of other kinds sharing an identifier are ordered by the lookup tests.) Back on
    // the menu the field takes the next identifier.
    press("R5");
    press("R5");
    EXPECT_EQ(h.row(2), " SID               -----");
    lookUp("YSBK");
    EXPECT_EQ(h.row(0), "      YSBK      1/1     ");
    EXPECT_EQ(h.row(6), " ELEV    29             ");
    // An identifier nobody has: no record, RETURN only.
    press("R5");
    press("R5");
    lookUp("XXXX");
    EXPECT_SCREEN("\n\n\n\n\n\n\n\n\n\n\n                RETURN");
    press("R5");
    EXPECT_EQ(h.row(2), " SID               -----");
}

}  // namespace
