// Text placement through the renderer and the recording backend's screen snapshot.
#include <gtest/gtest.h>

#include <string>

#include "Fms.h"
#include "cdu/CduRenderer.h"
#include "cdu/RecordingRenderer.h"

namespace {

// One column pitch in page units, and the right-alignment offset (0.024 font units) in page
// units at the text scale: computed by hand from the grid figures.
constexpr float pitch = 0.0267f;
constexpr float rightNudge = 0.024f * 0.0437f;

class RendererText : public ::testing::Test {
protected:
    void SetUp() override { installRecordingRenderer(recorder); }

    // push / colour / translate to the cell / text scale, as a page does.
    void placeAt(int column, int row, const Rgba& colour = colourGreen) {
        cduPush();
        cduColour(colour);
        cduTranslate(textColumnX[column], textRowY[row]);
        cduScale(textScaleX, textScaleY);
    }

    Fms context;
    ScopedFms current{context};
    RecordingRenderer recorder;
};

TEST_F(RendererText, RightAlignedFieldsEndInTheirColumn) {
    placeAt(21, 2);
    drawCduText(fontLarge, alignRight, "X");
    cduPop();
    placeAt(21, 4);
    drawCduText(fontLarge, alignRight, "ABC");
    cduPop();
    placeAt(23, 6);
    drawCduText(fontLarge, alignRight, "%d", 12345);
    cduPop();

    const ScreenSnapshot& s = recorder.snapshot();
    EXPECT_EQ(s.row(2), std::string(21, ' ') + "X  ") << s.dump();
    EXPECT_EQ(s.row(4), std::string(19, ' ') + "ABC  ") << s.dump();
    EXPECT_EQ(s.row(6), std::string(19, ' ') + "12345") << s.dump();
    // First glyph of "ABC": two pitches left of column 21, plus the 0.024-unit nudge.
    ASSERT_EQ(recorder.texts().size(), 3u);
    EXPECT_NEAR(recorder.texts()[1].x, 0.6937f - 2 * pitch + rightNudge, 1e-5f);
    EXPECT_NEAR(recorder.texts()[0].x, 0.6937f + rightNudge, 1e-5f);
    EXPECT_EQ(recorder.matrixDepth(), 0);
}

TEST_F(RendererText, CentredTextIsHalvedAroundTheOrigin) {
    placeAt(12, 0);
    drawCduText(fontLarge, alignCentre, "ABCD");
    cduPop();
    // Odd length: the middle glyph's cell is the origin's column.
    placeAt(12, 1);
    drawCduText(fontMed, alignCentre, "FPL");
    cduPop();

    const ScreenSnapshot& s = recorder.snapshot();
    EXPECT_EQ(s.row(0), std::string(10, ' ') + "ABCD" + std::string(10, ' ')) << s.dump();
    EXPECT_EQ(s.row(1), std::string(11, ' ') + "FPL" + std::string(10, ' ')) << s.dump();
    ASSERT_EQ(recorder.texts().size(), 2u);
    EXPECT_NEAR(recorder.texts()[0].x, 0.4534f - 2 * pitch, 1e-5f);
    EXPECT_NEAR(recorder.texts()[1].x, 0.4534f - 1.5f * pitch, 1e-5f);
}

TEST_F(RendererText, AlignmentUsesEachGlyphsIncrementAndTheLastOne) {
    // A proportional table catches sums over the wrong glyphs and a wrong "last".
    GlyphMetrics* metrics = context.cdu.renderer.glyphMetrics;
    metrics['A'].cellIncX = 0.5f;
    metrics['B'].cellIncX = 0.25f;
    const float x = textColumnX[10];
    placeAt(10, 2);
    drawCduText(fontLarge, alignRight, "AB");  // -(0.75) + 0.25 + 0.024 = -0.476
    cduPop();
    placeAt(10, 3);
    drawCduText(fontLarge, alignCentre, "AB");  // -0.375
    cduPop();
    placeAt(10, 4);
    drawCduText(fontLarge, 7, "AB");  // any other value: no shift
    cduPop();
    ASSERT_EQ(recorder.texts().size(), 3u);
    EXPECT_NEAR(recorder.texts()[0].x, x - 0.476f * textScaleX, 1e-6f);
    EXPECT_NEAR(recorder.texts()[1].x, x - 0.375f * textScaleX, 1e-6f);
    EXPECT_NEAR(recorder.texts()[2].x, x, 1e-6f);
}

TEST_F(RendererText, CallsContinueOnTheSameLineAndFormatLikePrintf) {
    placeAt(3, 8, colourWhite);
    drawCduText(fontLarge, alignLeft, "%02d:", 7);
    drawCduText(fontLarge, alignLeft, "%02d:", 5);
    cduColour(colourYellow);
    drawCduText(fontMed, alignLeft, "%02d", 9);
    drawCduText(fontMed, alignLeft, "%5.1f%c", 12.345, 176);
    cduPop();

    const ScreenSnapshot& s = recorder.snapshot();
    EXPECT_EQ(s.row(8), "   07:05:09 12.3\xB0       ") << s.dump();
    EXPECT_EQ(s.colourRow(8), "   WWWWWWYY YYYYY       ");
    EXPECT_EQ(s.fontRow(8), "   LLLLLLMM MMMMM       ");
    // After the calls the origin stands at the end of the text (15 glyphs to the right).
    EXPECT_EQ(recorder.matrixDepth(), 0);
    EXPECT_EQ(s.overdrawnCells(), 0);
}

TEST_F(RendererText, FormattedTextIsCutAt255BytesAndNullDrawsNothing) {
    std::string longText(300, 'Q');
    placeAt(0, 10);
    drawCduText(fontLarge, alignLeft, "%s", longText.c_str());
    drawCduText(fontLarge, alignLeft, nullptr);
    drawCduText(5, alignLeft, "BAD FONT");
    cduPop();
    ASSERT_EQ(recorder.texts().size(), 1u);
    EXPECT_EQ(recorder.text(recorder.texts()[0]).size(), 255u);
    // The first 24 glyphs fill the row; the rest lie to the right of the screen.
    EXPECT_EQ(recorder.snapshot().row(10), std::string(24, 'Q'));
    EXPECT_EQ(recorder.offGridGlyphs(), 255 - 24);
}

TEST_F(RendererText, DrawTextAtPlacesTheCellAndIgnoresCellsOffTheGrid) {
    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "ORX - 1");
    drawTextAt(0, 2, colourGreen, fontLarge, alignLeft, "LEARJET 45");
    drawTextAt(22, 10, colourMagenta, fontMed, alignRight, "%s", "KSEA");
    drawTextAt(24, 0, colourGreen, fontLarge, alignLeft, "NO");
    drawTextAt(0, -1, colourGreen, fontLarge, alignLeft, "NO");
    EXPECT_EQ(recorder.snapshot().diff(R"(
        ORX - 1

LEARJET 45







                   KSEA)"),
              "");
    EXPECT_EQ(recorder.snapshot().colourAt(10, 22), CduColourName::magenta);
    EXPECT_EQ(recorder.snapshot().fontAt(10, 19), fontMed);
    EXPECT_EQ(recorder.matrixDepth(), 0);
}

TEST_F(RendererText, BlanksKeepEarlierGlyphsAndOverdrawIsCounted) {
    drawTextAt(0, 4, colourGreen, fontLarge, alignLeft, "ABC");
    drawTextAt(0, 4, colourGreen, fontLarge, alignLeft, "   ");
    EXPECT_EQ(recorder.snapshot().row(4).substr(0, 3), "ABC");
    EXPECT_EQ(recorder.snapshot().overdrawnCells(), 0);
    drawTextAt(1, 4, colourYellow, fontLarge, alignLeft, "X");
    EXPECT_EQ(recorder.snapshot().row(4).substr(0, 3), "AXC");
    EXPECT_EQ(recorder.snapshot().colourAt(4, 1), CduColourName::yellow);
    EXPECT_EQ(recorder.snapshot().overdrawnCells(), 1);
}

TEST_F(RendererText, InverseVideoTextIsBlackOnAWhiteBar) {
    cduPush();
    cduColour(colourWhite);
    cduTranslate(textColumnX[0], textRowY[2]);
    cduScale(0.2f, 0.018f);
    cduCallList(listFilledBar);
    cduPop();
    drawTextAt(1, 2, colourBlack, fontLarge, alignLeft, "ACTIVE");
    drawTextAt(9, 2, Rgba{0.3f, 0.3f, 0.3f, 1.0f}, fontLarge, alignLeft, "GREY");

    const ScreenSnapshot& s = recorder.snapshot();
    EXPECT_EQ(s.colourRow(2), " KKKKKK  ????           ");
    ASSERT_EQ(recorder.listsOf(listFilledBar).size(), 1u);
    EXPECT_EQ(recorder.listsOf(listFilledBar)[0].colourName, CduColourName::white);
    EXPECT_NEAR(recorder.listsOf(listFilledBar)[0].scaleX, 0.2f, 1e-6f);
}

// The dispatcher's placement: rotation, then the bezel translation (or the hardware-mode
// stretch), then the page. Text lands in the same cells whatever lies below the page.
TEST_F(RendererText, SnapshotIsTakenInPageCoordinates) {
    for (float angle : {0.0f, 90.0f, -90.0f}) {
        for (bool hardware : {false, true}) {
            beginCduFrame();
            cduRotate(angle);
            if (hardware) {
                cduTranslate(-0.907f + 0.1f, -1.762f, -1.212f);
                cduScale(1.986f + 0.2f, 2.432f - 0.1f, 0.0f);
            } else {
                cduTranslate(-0.45f, -0.5f, -1.212f);
                drawBezel();
            }
            // Text drawn before the page is placed belongs to no cell.
            drawTextAt(0, 0, colourGreen, fontLarge, alignLeft, "EARLY");
            beginPageCoordinates();
            drawTextAt(2, 5, colourWhite, fontLarge, alignLeft, "CPU");
            drawTextAt(23, 9, colourWhite, fontMed, alignRight, "R");
            const ScreenSnapshot& s = recorder.snapshot();
            SCOPED_TRACE(testing::Message() << "angle " << angle << " hardware " << hardware);
            EXPECT_EQ(s.diff("\n\n\n\n\n\n  CPU\n\n\n\n                       R"), "");
            EXPECT_EQ(recorder.bezelDraws(), hardware ? 0 : 1);
            EXPECT_TRUE(recorder.pageCoordinatesSet());
            ASSERT_EQ(recorder.texts().size(), 3u);
            EXPECT_FALSE(recorder.texts()[0].inPage);
            EXPECT_NEAR(recorder.texts()[1].x, 0.1864f, 1e-6f);
            EXPECT_NEAR(recorder.texts()[1].y, 0.7089f, 1e-6f);
        }
    }
    EXPECT_EQ(recorder.framesBegun(), 6);
}

TEST_F(RendererText, SnapshotDiffReportsMismatches) {
    drawTextAt(0, 0, colourGreen, fontLarge, alignLeft, "TITLE");
    const ScreenSnapshot& s = recorder.snapshot();
    EXPECT_EQ(s.diff("TITLE"), "");
    EXPECT_EQ(s.diff("\nTITLE   \n\n"), "");
    EXPECT_NE(s.diff("TITLF"), "");
    EXPECT_NE(s.diff("\nTITLE\nEXTRA"), "");
    EXPECT_NE(s.diff(std::string(25, 'T')), "");
    EXPECT_NE(s.diff("TITLE" + std::string(11, '\n') + "X"), "") << "a twelfth row cannot match";
    std::string message = s.diff("OTHER");
    EXPECT_NE(message.find("OTHER"), std::string::npos);
    EXPECT_NE(message.find("TITLE"), std::string::npos);
    EXPECT_FALSE(s.isBlank());
    recorder.clear();
    EXPECT_TRUE(recorder.snapshot().isBlank());
}

TEST(RendererNoBackend, DrawsNothingAndReportsFailure) {
    Fms context;
    ScopedFms current(context);
    EXPECT_FALSE(createCduFont("CDU_Large", fontLarge, 1.0f, 700));
    EXPECT_FALSE(saveScreenshotPng("unused.png"));
    drawTextAt(0, 0, colourGreen, fontLarge, alignLeft, "NOTHING");
    cduCallList(listMessageAnnunciator);
    EXPECT_EQ(context.cdu.renderer.glyphMetrics['A'].cellIncX, 0.0f);
}

}  // namespace
