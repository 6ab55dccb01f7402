// Shared shapes, matrices and lines through the renderer and the recording backend.
#include <gtest/gtest.h>

#include <cmath>

#include "RecordingRenderer.h"
#include "cdu/CduRenderer.h"
#include "shell/Fms.h"

namespace {

class RendererShapes : public ::testing::Test {
protected:
    void SetUp() override { installRecordingRenderer(recorder); }

    Fms context;
    ScopedFms current{context};
    RecordingRenderer recorder;
};

TEST_F(RendererShapes, MessageAnnunciatorIsABoxedYellowM) {
    cduColour(colourGreen);
    cduCallList(listMessageAnnunciator);
    const auto boxes = recorder.listsOf(listBoxOutline);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].colourName, CduColourName::yellow);
    EXPECT_EQ(recorder.snapshot().row(0), std::string(18, ' ') + "M     ");
    EXPECT_EQ(recorder.snapshot().colourAt(0, 18), CduColourName::yellow);
    EXPECT_EQ(recorder.snapshot().fontAt(0, 18), fontMed);
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
    // Left prompts stand at column 1 (x 0.1597), right ones at column 23 (x 0.7471), lifted
    // 0.012 above their row's text base line, both the size of one text cell.
    EXPECT_NEAR(arrows[0].x, 0.1597f, 1e-4f);
    EXPECT_NEAR(arrows[0].y, textRowY[2] + 0.012f, 1e-5f);
    EXPECT_NEAR(arrows[1].x, 0.7471f, 1e-4f);
    EXPECT_NEAR(arrows[1].y, textRowY[10] + 0.012f, 1e-5f);
    for (const ListRecord& a : arrows) {
        EXPECT_NEAR(a.scaleX, 0.0429f, 1e-5f);
        EXPECT_NEAR(a.scaleY, 0.026f, 1e-5f);
    }
    EXPECT_NEAR(arrows[0].rotation, 90.0f, 1e-3f);
    EXPECT_EQ(arrows[0].colourName, CduColourName::white);
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
    cduLine(0.0f, 0.0f, 0.1f, 0.0f);
    cduLine(0.0f, 0.1f, 0.0f, 0.0f);
    cduPop();
    cduLine(0.1f, 0.2f, 0.3f, 0.4f);
    const auto& lines = recorder.lines();
    ASSERT_EQ(lines.size(), 3u);
    const float expected[3][4] = {{0.5f, 0.25f, 0.5f, 0.45f},  // (0.1, 0) scaled, turned to +y
                                  {0.2f, 0.25f, 0.5f, 0.25f},  // (0, 0.3) rotated: (-0.3, 0)
                                  {0.1f, 0.2f, 0.3f, 0.4f}};   // after the pop: the identity
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(lines[i].x0, expected[i][0], 1e-6f);
        EXPECT_NEAR(lines[i].y0, expected[i][1], 1e-6f);
        EXPECT_NEAR(lines[i].x1, expected[i][2], 1e-6f);
        EXPECT_NEAR(lines[i].y1, expected[i][3], 1e-6f);
    }
    EXPECT_EQ(lines[0].width, 2.0f);
    // An unbalanced pop is counted, not obeyed.
    cduPop();
    EXPECT_EQ(recorder.matrixUnderflows(), 1);
    EXPECT_EQ(recorder.matrixDepth(), 0);
}

TEST(RendererColours, PaletteNames) {
    EXPECT_EQ(classifyColour(colourAmber), CduColourName::amber);
    EXPECT_EQ(classifyColour(colourMagenta), CduColourName::magenta);
    EXPECT_EQ(classifyColour(Rgba{0.156f, 0.803f, 0.3f, 1.0f}), CduColourName::other);
    EXPECT_EQ(classifyColour(Rgba{0.0f, 0.0f, 0.0f, 0.8f}), CduColourName::black);  // alpha ignored
}

}  // namespace
