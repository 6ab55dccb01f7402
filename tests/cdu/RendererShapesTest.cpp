// Shared shapes, matrices, lines and set-up through the renderer and the recording backend.
#include <gtest/gtest.h>

#include <cmath>

#include "Fms.h"
#include "TempDir.h"
#include "cdu/CduRenderer.h"
#include "cdu/RecordingRenderer.h"
#include "cdu/Tga.h"

namespace {

class RendererShapes : public ::testing::Test {
protected:
    void SetUp() override { installRecordingRenderer(recorder); }

    Fms context;
    ScopedFms current{context};
    RecordingRenderer recorder;
};

TEST_F(RendererShapes, SetUpFillsTheMetricsTableAndForwardsToTheBackend) {
    EXPECT_TRUE(recorder.stateInitialised());
    EXPECT_TRUE(recorder.fontCreated(fontLarge));
    EXPECT_TRUE(recorder.fontCreated(fontMed));
    EXPECT_TRUE(recorder.listsBuilt());
    EXPECT_TRUE(context.cdu.renderer.fontCreated[0]);
    // One glyph at the text scale is one column pitch; code 255 has no glyph.
    EXPECT_NEAR(context.cdu.renderer.glyphMetrics['A'].cellIncX * textScaleX, 0.0267f, 1e-7f);
    EXPECT_NEAR(context.cdu.renderer.glyphMetrics[176].cellIncX * textScaleX, 0.0267f, 1e-7f);
    EXPECT_EQ(context.cdu.renderer.glyphMetrics[255].cellIncX, 0.0f);

    setRenderViewport(540, 600);
    EXPECT_EQ(recorder.viewportWidth(), 540);
    EXPECT_EQ(recorder.viewportHeight(), 600);

    deleteCduFonts();
    EXPECT_FALSE(recorder.fontCreated(fontLarge));
    EXPECT_FALSE(context.cdu.renderer.fontCreated[1]);
}

TEST_F(RendererShapes, BezelTextureComesFromTheTgaFile) {
    TempDir dir;
    TgaImage image;
    image.components = 3;
    image.width = 9;
    image.height = 10;
    image.pixels.assign(9 * 10 * 3, 100);
    const std::string path = (dir.path() / "CDU_Tex.tga").string();
    ASSERT_TRUE(writeTga(path, image));
    EXPECT_TRUE(loadTextureFromTga(path));
    EXPECT_EQ(recorder.textureWidth(), 9);
    EXPECT_EQ(recorder.textureHeight(), 10);
    EXPECT_TRUE(context.cdu.renderer.bezelLoaded);

    testing::internal::CaptureStdout();
    EXPECT_FALSE(loadTextureFromTga((dir.path() / "missing.tga").string()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nUnable to load TGA File!\n");
}

TEST_F(RendererShapes, MessageAnnunciatorIsABoxedYellowM) {
    cduColour(colourGreen);
    cduCallList(listMessageAnnunciator);
    const auto boxes = recorder.listsOf(listBoxOutline);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NEAR(boxes[0].x, 0.6403f - 0.026f, 1e-6f);
    EXPECT_NEAR(boxes[0].y, 0.887f + 0.0275f, 1e-6f);
    EXPECT_NEAR(boxes[0].scaleX, 0.0264f, 1e-6f);
    EXPECT_NEAR(boxes[0].scaleY, -0.032f, 1e-6f);  // mirrored: the box hangs below its origin
    EXPECT_EQ(boxes[0].colourName, CduColourName::yellow);
    EXPECT_EQ(boxes[0].lineWidth, 2.0f);
    const ScreenSnapshot& s = recorder.snapshot();
    EXPECT_EQ(s.row(0), std::string(18, ' ') + "M     ");
    EXPECT_EQ(s.colourAt(0, 18), CduColourName::yellow);
    EXPECT_EQ(s.fontAt(0, 18), fontMed);
    EXPECT_EQ(recorder.matrixDepth(), 0);
    // The list leaves the colour yellow, as a display list setting it would.
    EXPECT_EQ(classifyColour(recorder.currentColour()), CduColourName::yellow);
}

TEST_F(RendererShapes, PromptArrowsSitBesideTheRowAndPointOutward) {
    drawLeftPrompt(2);
    drawRightPrompt(10, colourGreen);
    drawArrowAt(12, 6, -180.0f);
    drawArrowAt(30, 6, 0.0f);  // off the grid: nothing
    const auto arrows = recorder.listsOf(listArrow);
    ASSERT_EQ(arrows.size(), 3u);
    EXPECT_NEAR(arrows[0].x, 0.1597f, 1e-6f);
    EXPECT_NEAR(arrows[0].y, 0.815f + 0.012f, 1e-6f);
    EXPECT_NEAR(arrows[0].rotation, 90.0f, 1e-3f);
    EXPECT_NEAR(arrows[0].scaleX, 0.0429f, 1e-6f);
    EXPECT_NEAR(arrows[0].scaleY, 0.026f, 1e-6f);
    EXPECT_EQ(arrows[0].colourName, CduColourName::white);
    EXPECT_NEAR(arrows[1].x, 0.7471f, 1e-6f);
    EXPECT_NEAR(arrows[1].y, 0.53f + 0.012f, 1e-6f);
    EXPECT_NEAR(arrows[1].rotation, -90.0f, 1e-3f);
    EXPECT_EQ(arrows[1].colourName, CduColourName::green);
    EXPECT_NEAR(std::fabs(arrows[2].rotation), 180.0f, 1e-3f);
    EXPECT_EQ(recorder.matrixDepth(), 0);
}

TEST_F(RendererShapes, TransformsComposeLikeTheModelViewMatrix) {
    // translate, rotate 90, scale: the line's x axis turns into +y and is scaled first.
    cduPush();
    cduTranslate(0.5f, 0.25f);
    cduRotate(90.0f);
    cduScale(2.0f, 3.0f, 1.0f);
    cduLineWidth(2.0f);
    cduColour(0.933f, 0.596f, 0.0f);
    cduLine(0.0f, 0.0f, 0.1f, 0.0f);
    cduLine(0.0f, 0.1f, 0.0f, 0.0f);
    cduPop();
    cduLine(0.1f, 0.2f, 0.3f, 0.4f);
    const auto& lines = recorder.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NEAR(lines[0].x0, 0.5f, 1e-6f);
    EXPECT_NEAR(lines[0].y0, 0.25f, 1e-6f);
    EXPECT_NEAR(lines[0].x1, 0.5f, 1e-6f);
    EXPECT_NEAR(lines[0].y1, 0.45f, 1e-6f);
    EXPECT_NEAR(lines[1].x0, 0.2f, 1e-6f);  // (0, 0.3) rotated: (-0.3, 0)
    EXPECT_NEAR(lines[1].y0, 0.25f, 1e-6f);
    EXPECT_EQ(lines[0].width, 2.0f);
    EXPECT_NEAR(lines[0].colour.r, 0.933f, 1e-6f);
    // After the pop the identity is back.
    EXPECT_NEAR(lines[2].x0, 0.1f, 1e-6f);
    EXPECT_NEAR(lines[2].y1, 0.4f, 1e-6f);
}

TEST_F(RendererShapes, DimmingOverlayKeepsItsAlphaAndUnbalancedPopsAreCounted) {
    cduPush();
    cduColour(colourBlack, 0.3f);
    cduTranslate(textColumnX[0] - 0.026f + 0.02f, textRowY[6] + 0.044209f);
    cduScale(0.6473016f, 0.202704f);
    cduCallList(listFilledBar);
    cduPop();
    const auto bars = recorder.listsOf(listFilledBar);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].colourName, CduColourName::black);
    EXPECT_NEAR(bars[0].colour.a, 0.3f, 1e-6f);
    // The bar covers x 0.129..0.776 and y 0.514..0.919: the text area.
    EXPECT_NEAR(bars[0].x, 0.129f, 1e-6f);
    EXPECT_NEAR(bars[0].x + bars[0].scaleX, 0.776f, 1e-3f);
    EXPECT_NEAR(bars[0].y - bars[0].scaleY, 0.514f, 1e-3f);
    EXPECT_NEAR(bars[0].y + bars[0].scaleY, 0.919f, 1e-3f);

    EXPECT_EQ(recorder.matrixUnderflows(), 0);
    cduPop();
    EXPECT_EQ(recorder.matrixUnderflows(), 1);
    cduPush();
    cduPush();
    EXPECT_EQ(recorder.matrixDepth(), 2);
}

TEST(RendererColours, PaletteNamesAndLetters) {
    EXPECT_EQ(classifyColour(colourGreen), CduColourName::green);
    EXPECT_EQ(classifyColour(colourWhite), CduColourName::white);
    EXPECT_EQ(classifyColour(colourYellow), CduColourName::yellow);
    EXPECT_EQ(classifyColour(colourBlack), CduColourName::black);
    EXPECT_EQ(classifyColour(colourMagenta), CduColourName::magenta);
    EXPECT_EQ(classifyColour(colourAmber), CduColourName::amber);
    EXPECT_EQ(classifyColour(Rgba{0.156f, 0.803f, 0.3f, 1.0f}), CduColourName::other);
    EXPECT_EQ(classifyColour(Rgba{0.0f, 0.0f, 0.0f, 0.8f}), CduColourName::black);
    EXPECT_STREQ(colourNameText(CduColourName::amber), "amber");
    EXPECT_EQ(colourLetter(CduColourName::black), 'K');
    EXPECT_EQ(colourLetter(CduColourName::magenta), 'M');
}

}  // namespace
