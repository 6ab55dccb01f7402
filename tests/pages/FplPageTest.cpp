#include <gtest/gtest.h>

#include <cmath>

#include "FplPageFixture.h"
#include "cdu/KeyCodes.h"

namespace {

using FplPage = FplPageFixture;

// Courses, distances and variations below were worked out apart from the program, with the
// same spherical formulas and pi = 3.14159 over the sample database: KSEA -> SEA 172.955 true,
// 0.90 NM from the parked aircraft; SEA -> ALKIA 329.154, 12.98 NM; ALKIA -> KBFI 127.760,
// 8.80 NM; SEA -> KBFI 2.865, 5.752 NM; the variation there is 21 degrees east.

TEST_F(FplPage, LegLinesShowCourseDistanceAndTheActiveLeg) {
    addAll({"SEA", "ALKIA", "KBFI"});
    EXPECT_SCREEN(R"(
        FPL 1/1   M
                  ALT/FL
1 KSEA            ------
  153^     0.9NM
2 SEA             ------
  310^    13.0NM
3 ALKIA           ------
  108^     8.8NM
4 KBFI            ------
)");
    // The active TO leg (leg 2) and its course line are magenta, the rest green.
    EXPECT_EQ(h.screen().colourRow(3), "  MMMM     MMMMM        ");
    EXPECT_EQ(h.screen().colourRow(4), "W MMM             GGGGGG");
    EXPECT_EQ(h.screen().colourRow(6), "W GGGGG           GGGGGG");
}

TEST_F(FplPage, PagesCountFiveLegsEachWithTheSummaryAfterThem) {
    addAll({"SEA", "ALKIA", "KBFI"});
    press("NEXT");
    EXPECT_EQ(line(0), "       FPL SUMMARYM");
    EXPECT_EQ(line(1), "DEPART            ARRIVE");
    press("PREV");
    addAll({"PAE"});
    EXPECT_EQ(line(0), "        FPL 1/2   M");
    press("NEXT");
    EXPECT_SCREEN("\n        FPL 2/2   M\n                  ALT/FL\n");  // the line to append on
    press("NEXT");
    EXPECT_EQ(line(0), "       FPL SUMMARYM");
    press("NEXT");  // no further page
    EXPECT_EQ(line(0), "       FPL SUMMARYM");
    press("PREV");
    EXPECT_EQ(line(0), "        FPL 2/2   M");
}

TEST_F(FplPage, DeleteTakesTwoPressesAndNinetyEightTruncates) {
    addAll({"SEA", "ALKIA", "KBFI"});
    press("L2");
    press("R1");  // one press on SEA, then a new selection: the count starts again
    press("L3");
    EXPECT_EQ(line(2), "1 KSEA             DEL");
    EXPECT_EQ(line(8), "4 KBFI           OVFLY");
    EXPECT_EQ(h.screen().colourRow(6), "W KKKKK                 ");  // on the white bar
    press("R1");
    EXPECT_EQ(line(6), "3 ALKIA");
    press("R1");
    // KBFI moves up onto the still selected line, with the course from SEA.
    EXPECT_EQ(line(5), "  343^     5.8NM");
    EXPECT_EQ(line(6), "3 KBFI");
    EXPECT_EQ(fp.plan.legs.size(), 3u);

    press("L2");
    type("98");
    EXPECT_EQ(line(4), "2 98              INFO");  // the typed text stands in for the ident
    press("ENTER");
    EXPECT_EQ(line(5), "");
    EXPECT_EQ(line(6), "");
    EXPECT_EQ(h.dir.read("data/Routes/fsPlan.pln"), "KSEA,47.4502,-122.312\nSEA,47.4354,-122.31\n");
}

TEST_F(FplPage, AltitudesBelowOneThousandAreFlightLevelsAndEntriesKeepSevenCharacters) {
    addAll({"SEA", "ALKIA", "KBFI"});
    press("R2");
    type("90");
    EXPECT_EQ(line(4), "2 SEA                 90");
    press("ENTER");
    press("R3");
    type("9000");
    press("ENTER");
    EXPECT_EQ(line(4), "2 SEA               FL90");
    EXPECT_EQ(line(6), "3 ALKIA             9000");
    EXPECT_EQ(fp.plan.legs[1].altitudeFt, 9000);
    // An airport takes no altitude: R1 leaves KSEA as it is.
    press("R1");
    type("5000");
    press("ENTER");
    EXPECT_EQ(line(2), "1 KSEA            ------");

    press("L5");
    type("ABCDEFGHIJ");
    EXPECT_EQ(h.keys().scratchpad, "ABCDEFG");
    EXPECT_EQ(line(10), "5 ABCDEFG");
    // A typed identifier nobody knows stays where it is.
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageFpl);
    EXPECT_EQ(h.keys().scratchpad, "ABCDEFG");
}

TEST_F(FplPage, InfoLooksTheSelectedLegUpAndOvflyMarksIt) {
    addAll({"SEA", "ALKIA", "KBFI"});
    press("L3");
    press("R4");
    EXPECT_EQ(h.row(6), "3 ALKIA*                ");
    press("R4");
    EXPECT_EQ(h.row(6), "3 ALKIA                 ");
    press("R2");
    EXPECT_EQ(h.cdu().currentPage, kPageIdent);
    EXPECT_EQ(line(0), "      ALKIA      1/1");
    EXPECT_EQ(line(2).substr(0, 5), " FIX ");
}

TEST_F(FplPage, TimeToGoOnlyAboveFortyKnots) {
    addAll({"SEA", "ALKIA", "KBFI"});
    h.sim.aircraft().trueAirspeedKt = 40.0;
    h.frames(3);
    for (int r = 1; r <= 10; ++r) EXPECT_EQ(h.row(r).find('+'), std::string::npos) << h.dump();
    h.sim.aircraft().trueAirspeedKt = 120.0;
    h.frames(3);
    // 0.9 NM, 12.98 NM and 8.80 NM at 120 kt.
    EXPECT_EQ(h.row(4), "2 SEA        0+0  ------");
    EXPECT_EQ(h.row(6), "3 ALKIA      0+6  ------");
    EXPECT_EQ(h.row(8), "4 KBFI       0+4  ------");
}

TEST_F(FplPage, MarkersAndTheBlinkingNoLink) {
    FplLeg noLink;
    noLink.waypointKind = WaypointKind::NoLink;
    appendLeg(noLink);
    add("SEA");
    insertGap();
    FplLeg eoa;
    eoa.waypointKind = WaypointKind::EndOfApproach;
    appendLeg(eoa);
    h.frame();
    const bool evenSecond = h.context.cdu.secondsCounter % 2 == 0;
    const std::string noLinkRow = "2 * NO LINK*            ";
    EXPECT_EQ(h.row(4), evenSecond ? noLinkRow : "2                       ");
    EXPECT_EQ(h.row(8), "4 * GAP*                ");
    EXPECT_EQ(h.row(10), "5 * EOA*                ");
    h.runFor(1000);
    EXPECT_EQ(h.row(4), evenSecond ? "2                       " : noLinkRow);
}

TEST_F(FplPage, ProcedureLegsDescribeThemselves) {
    using L = LegType;
    auto leg = [](L type, auto set) {
        FplLeg l;
        l.legType = type;
        set(l);
        return l;
    };
    for (const FplLeg& l : {
             leg(L::CA, [](FplLeg& l) { l.courseDeg = 163, l.altitudeFt = 1000, l.departureProcLeg = 1; }),
             // A heading-to-altitude leg shows no turn mark.
             leg(L::VA,
                 [](FplLeg& l) {
                     l.headingDeg = 270, l.altitudeFt = 2000, l.arrivalProcLeg = 1, l.turnDirection = 1;
                 }),
             leg(L::VD, [](FplLeg& l) { l.navaidIdent = "SEA", l.headingDeg = 90, l.distanceNm = 4.5f; }),
             leg(L::VM, [](FplLeg& l) { l.headingDeg = 45; }),
             leg(L::VI, [](FplLeg& l) { l.headingDeg = 100, l.turnDirection = 2; }),
             leg(L::VR, [](FplLeg& l) { l.navaidIdent = "SEA", l.headingDeg = 30, l.radialDeg = 200; }),
             leg(L::HF,
                 [](FplLeg& l) {
                     l.ident = "HFFIX", l.latitude = 47.5f, l.longitude = -122.3f, l.holdCourseDeg = 160.0f;
                 }),
         })
        appendLeg(l);
    h.frame();
    EXPECT_SCREEN(R"(
        FPL 1/2   M
                  ALT/FL
1 KSEA            ------
 CRS163^
2 (1000FT)          1000
 HDG270^
3 (2000FT)          2000
 HDG090^
4 (D-4.5)    SEA  ------
 HDG045^
5 (VECTOR)        ------
)");
    // Climb and descent marks beside the altitudes of the departure and arrival legs.
    EXPECT_EQ(arrows(0.0f, textColumnX[18] + 0.013f), 1);
    EXPECT_EQ(arrows(180.0f, textColumnX[18] + 0.013f), 1);
    press("NEXT");
    // Showing the hold fix marks the leg before it as flown over.
    EXPECT_SCREEN(R"(
        FPL 2/2   M
 HDG100^          ALT/FL
6 (INTCPT)        ------
 HDG030^
7 (R-20*)    SEA  ------
 HLD160^
8 HFFIX           ------
)");
    EXPECT_EQ(fp.plan.legs[6].overfly, 1);
    EXPECT_EQ(arrows(-90.0f, textColumnX[0]), 1);  // the intercept turns right
    EXPECT_EQ(arrows(90.0f, textColumnX[1]), 0);
}

TEST_F(FplPage, TypedIdentifiersAcceptedOnTheIdentifierPageBuildThePlanFile) {
    // L5 is ACCEPT; R5 (RETURN) goes back and hands nothing over.
    auto enter = [&](const char* ident, const char* key = "L5") {
        type(ident);
        press("ENTER");
        ASSERT_EQ(h.cdu().currentPage, kPageIdent) << ident;
        press(key);
        ASSERT_EQ(h.cdu().currentPage, kPageFpl) << ident;
    };
    press("L2");
    enter("SEA");
    EXPECT_EQ(cur.fplSelectedLine, 2);  // appended: the next empty line is selected
    enter("BLEIR", "R5");
    enter("KBFI");
    press("L3");  // KBFI: the next one goes before it
    enter("PAE");
    EXPECT_EQ(cur.fplSelectedLine, kFplNoLine);
    EXPECT_EQ(h.row(6), "3 PAE             ------");
    EXPECT_EQ(h.dir.read("data/Routes/fsPlan.pln"),
              "KSEA,47.4502,-122.312\nSEA,47.4354,-122.31\nPAE,47.9198,-122.278\nKBFI,47.5311,-122.303\n");
}

// Procedure legs as the leg builder makes them: a heading to an altitude (no position),
// a vector, a DME arc and a hold, each with its own text on the label row.
FplLeg procedureLeg(LegType type, const char* ident, float lat, float lon) {
    FplLeg leg;
    leg.legType = type;
    leg.ident = ident;
    leg.latitude = lat;
    leg.longitude = lon;
    leg.departureProcLeg = 1;
    return leg;
}

struct FplProcedureLegLines : FplPageFixture {
    void SetUp() override {
        FplPageFixture::SetUp();
        FplLeg va = procedureLeg(LegType::VA, "", 0.0f, 0.0f);
        va.headingDeg = 159;
        va.altitudeFt = 1500;
        FplLeg vm = procedureLeg(LegType::VM, "", 47.380464f, -122.307752f);
        vm.headingDeg = 159;
        FplLeg af = procedureLeg(LegType::AF, "FETOL", 48.060672f, -122.354314f);
        af.navaidIdent = "PAE";
        af.distanceNm = 9.0f;
        af.arcRadialDeg = 319;
        af.turnDirection = 1;
        FplLeg hf = procedureLeg(LegType::HF, "NOLLA", 47.632583f, -122.389361f);
        hf.holdCourseDeg = 129.0f;
        hf.turnDirection = 2;
        appendLeg(va);
        add("SEA");
        appendLeg(vm);
        appendLeg(af);
        appendLeg(hf);
        add("KBFI");
        h.frames(2);
    }
};

// Glyphs drawn over glyphs on the label rows, where the leg texts and the course meet.
int labelRowsOverdrawn(const ScreenSnapshot& screen) {
    int n = 0;
    for (int r = 1; r < ScreenSnapshot::rows; r += 2)
        for (int c = 0; c < ScreenSnapshot::columns; ++c) n += screen.cell(r, c).draws > 1 ? 1 : 0;
    return n;
}

TEST_F(FplProcedureLegLines, LegTextsOnTheLabelRowKeepTheirPlaceAndNothingIsMeasuredTo0N0E) {
    // The active leg (the heading leg) ends nowhere: no distance beside its heading, and none
    // from it to SEA. The vector, the arc and the hold show their own texts where the course
    // would go; the arc's distance takes the place of its navaid, which is on its data row.
    EXPECT_SCREEN(R"(
        FPL 1/2   M
                  ALT/FL
1 KSEA            ------
 HDG159^
2 (1500FT)          1500

3 SEA             ------
 HDG159^   3.3NM
4 (VECTOR)        ------
 ARC9.00  40.9NM
5 (R-319)    PAE  ------
)");
    EXPECT_EQ(labelRowsOverdrawn(h.screen()), 0);
    press("NEXT");
    EXPECT_EQ(line(1), " HLD129^  25.7NM  ALT/FL");
    EXPECT_EQ(line(2), "6 NOLLA           ------");
    EXPECT_EQ(labelRowsOverdrawn(h.screen()), 0);

    // PPOS TO WPT measures to SEA from the aircraft, past the heading leg.
    press("MENU");
    press("L3");
    EXPECT_EQ(line(4), " 2  SEA         0.9");
}

}  // namespace
