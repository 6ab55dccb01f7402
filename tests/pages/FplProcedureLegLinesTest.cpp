#include <gtest/gtest.h>

#include "FplPageFixture.h"

namespace {

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
    EXPECT_EQ(picture(R"(
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
)"),
              "");
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
