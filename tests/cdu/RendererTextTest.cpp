// Text placement through the renderer and the recording backend's screen snapshot.
#include <gtest/gtest.h>

#include <string>

#include "shell/Fms.h"
#include "cdu/CduRenderer.h"
#include "RecordingRenderer.h"

namespace {

// One column pitch in page units, and the right-alignment offset (0.024 font units) in page
// units at the text scale: computed by hand from the grid figures.
constexpr float pitch = 0.0267f;
constexpr float rightNudge = 0.024f * 0.0437f;

class RendererText : public ::testing::Test {
protected:
    void SetUp() override { installRecordingRenderer(recorder); }

    // push / colour / translate to the cell / text scale, draw, pop: as a page does.
    void drawPlaced(int column, int row, int alignment, const char* text, int font = fontLarge) {
        cduPush();
        cduColour(colourGreen);
        cduTranslate(textColumnX[column], textRowY[row]);
        cduScale(textScaleX, textScaleY);
        drawCduText(font, alignment, "%s", text);
        cduPop();
    }
    const ScreenSnapshot& screen() const { return recorder.snapshot(); }
    float textX(size_t i) const { return recorder.texts().at(i).x; }

    Fms context;
    ScopedFms current{context};
    RecordingRenderer recorder;
};

TEST_F(RendererText, RightAlignedFieldsEndInTheirColumnAndCentredTextIsHalved) {
    drawPlaced(21, 2, alignRight, "X");
    drawPlaced(21, 4, alignRight, "ABC");
    drawPlaced(12, 0, alignCentre, "ABCD");
    drawPlaced(12, 1, alignCentre, "FPL", fontMed);  // odd length: the middle glyph on the origin

    EXPECT_EQ(screen().row(2), std::string(21, ' ') + "X  ") << screen().dump();
    EXPECT_EQ(screen().row(4), std::string(19, ' ') + "ABC  ");
    EXPECT_EQ(screen().row(0), std::string(10, ' ') + "ABCD" + std::string(10, ' '));
    EXPECT_EQ(screen().row(1), std::string(11, ' ') + "FPL" + std::string(10, ' '));
    // First glyph of "ABC": two pitches left of column 21, plus the 0.024-unit nudge.
    EXPECT_NEAR(textX(0), 0.6937f + rightNudge, 1e-5f);
    EXPECT_NEAR(textX(1), 0.6937f - 2 * pitch + rightNudge, 1e-5f);
    EXPECT_EQ(recorder.matrixDepth(), 0);
}

TEST_F(RendererText, AlignmentUsesEachGlyphsIncrementAndTheLastOne) {
    // A proportional table catches sums over the wrong glyphs and a wrong "last".
    GlyphMetrics* metrics = context.cdu.renderer.glyphMetrics;
    metrics[int{'A'}].cellIncX = 0.5f;
    metrics[int{'B'}].cellIncX = 0.25f;
    drawPlaced(10, 2, alignRight, "AB");   // -(0.75) + 0.25 + 0.024 = -0.476
    drawPlaced(10, 3, alignCentre, "AB");  // -0.375
    drawPlaced(10, 4, 7, "AB");            // any other value: no shift
    EXPECT_NEAR(textX(0), textColumnX[10] - 0.476f * textScaleX, 1e-6f);
    EXPECT_NEAR(textX(1), textColumnX[10] - 0.375f * textScaleX, 1e-6f);
    EXPECT_NEAR(textX(2), textColumnX[10], 1e-6f);
}

TEST_F(RendererText, CallsContinueOnTheSameLineAndFormatLikePrintf) {
    cduPush();
    cduColour(colourWhite);
    cduTranslate(textColumnX[3], textRowY[8]);
    cduScale(textScaleX, textScaleY);
    drawCduText(fontLarge, alignLeft, "%02d:", 7);
    drawCduText(fontLarge, alignLeft, "%02d:", 5);
    cduColour(colourYellow);
    drawCduText(fontMed, alignLeft, "%02d", 9);
    drawCduText(fontMed, alignLeft, "%5.1f%c", 12.345, 176);
    cduPop();
    EXPECT_EQ(screen().row(8), "   07:05:09 12.3\xB0       ");
    EXPECT_EQ(screen().colourRow(8), "   WWWWWWYY YYYYY       ");
    EXPECT_EQ(screen().fontRow(8), "   LLLLLLMM MMMMM       ");
}

TEST_F(RendererText, FormattedTextIsCutAt255BytesAndBadArgumentsDrawNothing) {
    drawPlaced(0, 10, alignLeft, std::string(300, 'Q').c_str());
    drawCduText(fontLarge, alignLeft, nullptr);
    drawCduText(5, alignLeft, "BAD FONT");
    ASSERT_EQ(recorder.texts().size(), 1u);
    EXPECT_EQ(recorder.text(recorder.texts()[0]).size(), 255u);
    // The first 24 glyphs fill the row; the rest lie to the right of the screen.
    EXPECT_EQ(screen().row(10), std::string(24, 'Q'));
    EXPECT_EQ(recorder.offGridGlyphs(), 255 - 24);
}

TEST_F(RendererText, DrawTextAtPlacesTheCellAndIgnoresCellsOffTheGrid) {
    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "ORX - 1");
    drawTextAt(22, 10, colourMagenta, fontMed, alignRight, "%s", "KSEA");
    drawTextAt(24, 0, colourGreen, fontLarge, alignLeft, "NO");
    drawTextAt(0, -1, colourGreen, fontLarge, alignLeft, "NO");
    EXPECT_EQ(screen().diff("        ORX - 1" + std::string(10, '\n') + std::string(19, ' ') + "KSEA"), "");
    EXPECT_EQ(screen().colourAt(10, 22), CduColourName::magenta);
    EXPECT_EQ(screen().fontAt(10, 19), fontMed);
    EXPECT_EQ(recorder.matrixDepth(), 0);

    // Blanks keep earlier glyphs; a glyph over another is counted as overdraw.
    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "   ");
    EXPECT_EQ(screen().overdrawnCells(), 0);
    drawTextAt(9, 0, colourYellow, fontLarge, alignLeft, "X");
    EXPECT_EQ(screen().row(0).substr(8, 3), "OXX");
    EXPECT_EQ(screen().colourAt(0, 9), CduColourName::yellow);
    EXPECT_EQ(screen().overdrawnCells(), 1);
}

// The dispatcher's placement: rotation, then the bezel translation (or the hardware-mode
// stretch), then the page. Text lands in the same cells whatever lies below the page.
TEST_F(RendererText, SnapshotIsTakenInPageCoordinates) {
    for (float angle : {0.0f, 90.0f, -90.0f}) {
        for (bool hardware : {false, true}) {
            SCOPED_TRACE(testing::Message() << "angle " << angle << " hardware " << hardware);
            beginCduFrame();
            cduRotate(angle);
            if (hardware) {
                cduTranslate(-0.807f, -1.762f, -1.212f);
                cduScale(2.186f, 2.332f, 0.0f);
            } else {
                cduTranslate(-0.45f, -0.5f, -1.212f);
                drawBezel();
            }
            drawTextAt(0, 0, colourGreen, fontLarge, alignLeft, "EARLY");  // before the page: no cell
            beginPageCoordinates();
            drawTextAt(2, 5, colourWhite, fontLarge, alignLeft, "CPU");
            drawTextAt(23, 9, colourWhite, fontMed, alignRight, "R");
            EXPECT_EQ(screen().diff("\n\n\n\n\n\n  CPU\n\n\n\n                       R"), "");
            EXPECT_EQ(recorder.bezelDraws(), hardware ? 0 : 1);
            ASSERT_EQ(recorder.texts().size(), 3u);
            EXPECT_FALSE(recorder.texts()[0].inPage);
        }
    }
}

TEST_F(RendererText, SnapshotDiffReportsMismatches) {
    drawTextAt(0, 0, colourGreen, fontLarge, alignLeft, "TITLE");
    EXPECT_EQ(screen().diff("\nTITLE   \n\n"), "");
    for (const std::string& wrong : {std::string("TITLF"), std::string("\nTITLE\nEXTRA"),
                                     std::string(25, 'T'), "TITLE" + std::string(11, '\n') + "X"})
        EXPECT_NE(screen().diff(wrong), "") << wrong;
    EXPECT_NE(screen().diff("OTHER").find("TITLE"), std::string::npos);
    recorder.clear();
    EXPECT_TRUE(screen().isBlank());
}

TEST(RendererNoBackend, DrawsNothingAndReportsFailure) {
    Fms context;
    ScopedFms current(context);
    EXPECT_FALSE(createCduFont("CDU_Large", fontLarge, 1.0f, 700));
    EXPECT_FALSE(saveScreenshotPng("unused.png"));
    drawTextAt(0, 0, colourGreen, fontLarge, alignLeft, "NOTHING");
    cduCallList(listMessageAnnunciator);
    EXPECT_EQ(context.cdu.renderer.glyphMetrics[int{'A'}].cellIncX, 0.0f);
}

}  // namespace
