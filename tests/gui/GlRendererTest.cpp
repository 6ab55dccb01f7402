// The OpenGL backend drawing real pixels in an offscreen context (SDL's offscreen driver with
// Mesa). Without any usable context the tests skip and say why.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/Fms.h"
#include "ScreenPicture.h"
#include "cdu/CduRenderer.h"
#include "cdu/Tga.h"
#include "platform/gl/GlRenderer.h"

namespace {

constexpr int viewWidth = 540;
constexpr int viewHeight = 600;

// One hidden window with its context for the whole test program. It is never torn down:
// closing SDL unloads the GL driver, whose own allocations then show up as leaks.
struct OffscreenGl {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    std::string error;

    static OffscreenGl& instance() {
        static OffscreenGl* gl = new OffscreenGl;
        return *gl;
    }
    OffscreenGl() {
        // Without a display, SDL's offscreen driver still gives Mesa contexts.
        if (std::getenv("DISPLAY") == nullptr) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        if (SDL_Init(SDL_INIT_VIDEO) == 0) {
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
            SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
            SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
            window = SDL_CreateWindow("gl test", 0, 0, viewWidth, viewHeight,
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        }
        if (window != nullptr) context = SDL_GL_CreateContext(window);
        if (context == nullptr) error = SDL_GetError();
    }
};

struct Pixel {
    int x;
    int y;
};
Pixel pageToPixel(float x, float y) {
    Pixel p{};
    pageToViewport(x, y, viewWidth, viewHeight, p.x, p.y);
    return p;
}

class GlRendering : public ::testing::Test {
protected:
    void SetUp() override {
        if (gl.context == nullptr) GTEST_SKIP() << "no OpenGL context could be made: " << gl.error;
        SDL_GL_MakeCurrent(gl.window, gl.context);
        context.platform.renderer = &renderer;
        initRenderState();
        setRenderViewport(viewWidth, viewHeight);
        ASSERT_TRUE(createCduFont("CDU_Med", fontMed, 1.0f, 700));
        ASSERT_TRUE(createCduFont("CDU_Large", fontLarge, 1.0f, 700));
        buildDisplayLists();
        // A mid-grey bezel picture, small enough to build quickly.
        const std::vector<uint8_t> grey(90 * 100 * 3, 128);
        ASSERT_TRUE(renderer.loadBezelTexture(3, 90, 100, grey.data()));
        // The dispatcher's placement of the page over the bezel.
        beginCduFrame();
        cduTranslate(-0.45f, -0.5f, -1.212f);
        drawBezel();
        beginPageCoordinates();
    }
    void TearDown() override {
        if (gl.context != nullptr) renderer.release();
    }

    void capture() {
        int w = 0, h = 0;
        ASSERT_TRUE(renderer.captureScreen(w, h, pixels));
        ASSERT_EQ(w, viewWidth);
        ASSERT_EQ(h, viewHeight);
    }
    const uint8_t* at(Pixel p) const { return &pixels[(static_cast<size_t>(p.y) * viewWidth + p.x) * 3]; }
    // Clearly green pixels (green text on the grey bezel) inside a rectangle of pixels.
    int greenPixels(Pixel a, Pixel b) const {
        int count = 0;
        for (int y = a.y; y < b.y; ++y) {
            for (int x = a.x; x < b.x; ++x) count += (at({x, y})[1] > 160 && at({x, y})[0] < 100) ? 1 : 0;
        }
        return count;
    }
    // Green pixels in a cell, or in its top or bottom quarter only.
    int greenInCell(int row, int column, float from = -0.004f, float to = 0.030f) const {
        return greenPixels(pageToPixel(textColumnX[column], textRowY[row] + from),
                           pageToPixel(textColumnX[column] + 0.0267f, textRowY[row] + to));
    }

    OffscreenGl& gl = OffscreenGl::instance();
    Fms context;
    ScopedFms current{context};
    GlRenderer renderer;
    std::vector<uint8_t> pixels;
};

TEST_F(GlRendering, TextLandsUprightInItsCells) {
    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "ORX - 1");
    drawTextAt(2, 4, colourGreen, fontLarge, alignLeft, "T");
    drawTextAt(4, 4, colourGreen, fontLarge, alignLeft, "L");
    drawTextAt(21, 6, colourGreen, fontLarge, alignRight, "ABC");
    drawTextAt(12, 8, colourGreen, fontMed, alignCentre, "WXYZ");
    capture();
    ASSERT_FALSE(HasFailure());

    // The bezel is drawn with its own colours (grey 128) outside the text.
    EXPECT_NEAR(at(pageToPixel(0.05f, 0.05f))[0], 128, 3);
    // "ORX - 1" at columns 8..14 with blanks at 11 and 13; right-aligned "ABC" ends in column
    // 21; centred "WXYZ" spans 10..13.
    const struct {
        int row, column;
        bool lit;
    } cells[] = {{0, 7, false}, {0, 8, true},   {0, 10, true},  {0, 11, false}, {0, 12, true}, {0, 13, false},
                 {0, 14, true}, {0, 15, false}, {6, 18, false}, {6, 19, true},  {6, 21, true}, {6, 22, false},
                 {8, 9, false}, {8, 10, true},  {8, 13, true},  {8, 14, false}};
    for (const auto& c : cells) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " column " << c.column);
        const int green = greenInCell(c.row, c.column);
        EXPECT_TRUE(c.lit ? green > 3 : green == 0) << green;
    }
    // Upright: "T" has its bar at the top, "L" at the bottom.
    EXPECT_GT(greenInCell(4, 2, 0.021f, 0.028f), 2 * greenInCell(4, 2, 0.0f, 0.007f));
    EXPECT_GT(greenInCell(4, 4, 0.0f, 0.007f), 2 * greenInCell(4, 4, 0.021f, 0.028f));
}

TEST_F(GlRendering, ArrowsPointWhereTheyAreTurnedAndOverlaysBlend) {
    drawLeftPrompt(2);
    drawRightPrompt(2);
    cduPush();
    cduColour(colourBlack, 0.5f);
    cduTranslate(textColumnX[0] - 0.026f + 0.02f, textRowY[6] + 0.044209f);
    cduScale(0.6473016f, 0.202704f);
    cduCallList(listFilledBar);
    cduPop();
    capture();
    ASSERT_FALSE(HasFailure());
    // Under the half-black overlay white shows as about 128, the grey bezel as about 64.
    EXPECT_NEAR(at(pageToPixel(0.45f, 0.6f))[0], 64, 4);
    // Left prompt: tip at arrow-local (0, 0.95) -> 0.95 x 0.026 to the left of column 1.
    auto white = [&](float px) {
        const uint8_t* p = at(pageToPixel(px, textRowY[2] + 0.012f));
        return p[0] > 100 && p[1] > 100 && p[2] > 100 && p[0] == p[1];
    };
    EXPECT_TRUE(white(0.1597f - 0.95f * 0.026f));
    EXPECT_TRUE(white(0.1597f - 0.3f * 0.026f));
    EXPECT_FALSE(white(0.1597f + 0.5f * 0.026f));
    EXPECT_TRUE(white(0.7471f + 0.95f * 0.026f));
    EXPECT_FALSE(white(0.7471f - 0.5f * 0.026f));
}

// The real bezel picture with a page over it: the whole text grid lies on the dark glass.
TEST_F(GlRendering, TextGridLiesOnTheBezelScreen) {
    ASSERT_TRUE(loadTextureFromTga(FMS_RUN_DIR "/textures/CDU_Tex.tga")) << "build the bezel-picture target";
    beginCduFrame();
    cduTranslate(-0.45f, -0.5f, -1.212f);
    drawBezel();
    beginPageCoordinates();
    drawTextAt(0, 2, colourGreen, fontLarge, alignLeft, "LEARJET 45");
    drawTextAt(2, 4, colourGreen, fontLarge, alignLeft, "CPU             PASS");
    capture();
    ASSERT_FALSE(HasFailure());
    // Blank cells in every corner of the grid show the glass, not the frame.
    for (int row : {1, 3, 9}) {
        for (int column : {0, 23}) {
            const uint8_t* rgb = at(pageToPixel(textColumnX[column] + 0.013f, textRowY[row] + 0.014f));
            EXPECT_LT((rgb[0] + rgb[1] + rgb[2]) / 3, 25) << "row " << row << " column " << column;
        }
    }
    EXPECT_GT(greenInCell(2, 0), 3);
    EXPECT_GT(greenInCell(4, 21), 3);
}

}  // namespace
