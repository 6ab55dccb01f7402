// The OpenGL backend drawing real pixels in an offscreen context (SDL's offscreen driver with
// Mesa). Without any usable context the tests skip and say why.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Fms.h"
#include "cdu/CduRenderer.h"
#include "cdu/Tga.h"
#include "platform/Png.h"
#include "platform/gl/GlFont.h"
#include "platform/gl/GlRenderer.h"

namespace {

constexpr int viewWidth = 540;
constexpr int viewHeight = 600;

// One hidden window with its context for the whole test program. It is never torn down:
// closing SDL unloads the GL driver, whose own allocations then show up as leaks.
class OffscreenGl {
public:
    static OffscreenGl& instance() {
        static OffscreenGl* gl = new OffscreenGl;
        return *gl;
    }
    bool ok() const { return context_ != nullptr; }
    const std::string& error() const { return error_; }
    void makeCurrent() const {
        if (ok()) SDL_GL_MakeCurrent(window_, context_);
    }

private:
    OffscreenGl() {
        // Without a display, SDL's offscreen driver still gives Mesa contexts.
        if (std::getenv("DISPLAY") == nullptr) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            error_ = SDL_GetError();
            return;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        window_ =
            SDL_CreateWindow("gl test", 0, 0, viewWidth, viewHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window_ == nullptr) {
            error_ = SDL_GetError();
            return;
        }
        context_ = SDL_GL_CreateContext(window_);
        if (context_ == nullptr) error_ = SDL_GetError();
    }

    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    std::string error_;
};

// Where a page point lands in the viewport, worked out from the projection alone: the page
// lies 1.212 in front of the eye, shifted by (-0.45, -0.5); 45 degrees vertical field of view.
struct Pixel {
    int x;
    int y;
};
Pixel pageToPixel(float x, float y) {
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    const double aspect = static_cast<double>(viewWidth) / viewHeight;
    const double ndcX = f / aspect * (x - 0.45) / 1.212;
    const double ndcY = f * (y - 0.5) / 1.212;
    return {static_cast<int>((ndcX + 1) / 2 * viewWidth), static_cast<int>((ndcY + 1) / 2 * viewHeight)};
}

class GlRendering : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.ok()) GTEST_SKIP() << "no OpenGL context could be made: " << gl.error();
        gl.makeCurrent();
        context.platform.renderer = &renderer;
        initRenderState();
        setRenderViewport(viewWidth, viewHeight);
        ASSERT_TRUE(createCduFont("CDU_Med", fontMed, 1.0f, 700));
        ASSERT_TRUE(createCduFont("CDU_Large", fontLarge, 1.0f, 700));
        buildDisplayLists();
        // A mid-grey bezel picture with a dark screen, small enough to build quickly.
        TgaImage bezel;
        bezel.components = 3;
        bezel.width = 90;
        bezel.height = 100;
        bezel.pixels.assign(90 * 100 * 3, 128);
        ASSERT_TRUE(
            renderer.loadBezelTexture(bezel.components, bezel.width, bezel.height, bezel.pixels.data()));
    }
    void TearDown() override {
        if (gl.ok()) renderer.release();
    }

    // The dispatcher's placement of the page over the bezel.
    void beginPage() {
        beginCduFrame();
        cduTranslate(-0.45f, -0.5f, -1.212f);
        drawBezel();
        beginPageCoordinates();
    }
    void capture() {
        int w = 0, h = 0;
        ASSERT_TRUE(renderer.captureScreen(w, h, pixels));
        ASSERT_EQ(w, viewWidth);
        ASSERT_EQ(h, viewHeight);
    }
    const uint8_t* at(Pixel p) const { return &pixels[(static_cast<size_t>(p.y) * viewWidth + p.x) * 3]; }
    static bool isGreen(const uint8_t* p) { return p[1] > 160 && p[0] < 100; }
    // Clearly green pixels (green text on the grey bezel) inside a rectangle of pixels.
    int greenPixels(Pixel a, Pixel b) const {
        int count = 0;
        for (int y = a.y; y < b.y; ++y) {
            for (int x = a.x; x < b.x; ++x) count += isGreen(at({x, y})) ? 1 : 0;
        }
        return count;
    }
    int greenInCell(int row, int column) const {
        return greenPixels(pageToPixel(textColumnX[column], textRowY[row] - 0.004f),
                           pageToPixel(textColumnX[column] + 0.0267f, textRowY[row] + 0.030f));
    }
    // Green pixels of each pixel row of a cell, bottom row first.
    std::vector<int> greenPerLine(int row, int column) const {
        Pixel a = pageToPixel(textColumnX[column], textRowY[row]);
        Pixel b = pageToPixel(textColumnX[column] + 0.0267f, textRowY[row] + 0.028f);
        std::vector<int> lines;
        for (int y = a.y; y < b.y; ++y) lines.push_back(greenPixels({a.x, y}, {b.x, y + 1}));
        return lines;
    }

    OffscreenGl& gl = OffscreenGl::instance();
    Fms context;
    ScopedFms current{context};
    GlRenderer renderer;
    std::vector<uint8_t> pixels;
};

TEST_F(GlRendering, MetricsComeFromTheFace) {
    OutlineFace face(renderer.fontFile());
    ASSERT_TRUE(face.ok());
    const GlyphMetrics* metrics = context.cdu.renderer.glyphMetrics;
    EXPECT_FLOAT_EQ(metrics['A'].cellIncX, face.glyph('A', 1.0f).advance);
    EXPECT_FLOAT_EQ(metrics[176].cellIncX, face.glyph(176, 1.0f).advance);
    EXPECT_EQ(metrics[255].cellIncX, 0.0f);
    EXPECT_GT(metrics['A'].blackBoxY, 0.6f);
    EXPECT_NEAR(metrics['A'].originY, metrics['A'].blackBoxY, 0.01f);  // "A" sits on the baseline
}

TEST_F(GlRendering, TextLandsUprightInItsCells) {
    beginPage();
    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "ORX - 1");
    drawTextAt(2, 4, colourGreen, fontLarge, alignLeft, "T");
    drawTextAt(4, 4, colourGreen, fontLarge, alignLeft, "L");
    drawTextAt(21, 6, colourGreen, fontLarge, alignRight, "ABC");
    drawTextAt(12, 8, colourGreen, fontMed, alignCentre, "WXYZ");
    capture();
    ASSERT_FALSE(HasFailure());
    writePng(FMS_BINARY_DIR "/gl-text-frame.png", viewWidth, viewHeight, 3, pixels.data(), true);

    // The bezel is drawn with its own colours (grey 128) outside the text.
    const uint8_t* grey = at(pageToPixel(0.05f, 0.05f));
    EXPECT_NEAR(grey[0], 128, 3);
    EXPECT_NEAR(grey[1], 128, 3);

    // "ORX - 1" at columns 8..14: every glyph cell lit except the blanks in columns 11 and 13.
    for (int column = 8; column <= 14; ++column) {
        if (column == 11 || column == 13) {
            EXPECT_EQ(greenInCell(0, column), 0) << "blank at column " << column;
        } else {
            EXPECT_GT(greenInCell(0, column), 3) << "column " << column;
        }
    }
    EXPECT_EQ(greenInCell(0, 7), 0);
    EXPECT_EQ(greenInCell(0, 16), 0);
    // Right-aligned "ABC" ends in column 21; centred "WXYZ" spans 10..13.
    EXPECT_EQ(greenInCell(6, 18), 0);
    EXPECT_GT(greenInCell(6, 19), 3);
    EXPECT_GT(greenInCell(6, 21), 3);
    EXPECT_EQ(greenInCell(6, 22), 0);
    EXPECT_EQ(greenInCell(8, 9), 0);
    EXPECT_GT(greenInCell(8, 10), 3);
    EXPECT_GT(greenInCell(8, 13), 3);
    EXPECT_EQ(greenInCell(8, 14), 0);

    // Upright: "T" has its bar at the top, "L" at the bottom (pixel rows run bottom-up).
    std::vector<int> t = greenPerLine(4, 2), l = greenPerLine(4, 4);
    ASSERT_GT(t.size(), 8u);
    int tTop = 0, tBottom = 0, lTop = 0, lBottom = 0;
    const size_t quarter = t.size() / 4;
    for (size_t i = 0; i < quarter; ++i) {
        tBottom += t[i];
        lBottom += l[i];
    }
    for (size_t i = t.size() - 1 - quarter; i < t.size(); ++i) {
        tTop += t[i];
        lTop += l[i];
    }
    EXPECT_GT(tTop, 2 * tBottom);
    EXPECT_GT(lBottom, 2 * lTop);
}

TEST_F(GlRendering, ArrowsPointWhereTheyAreTurnedAndOverlaysBlend) {
    beginPage();
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
    // Left prompt: tip at arrow-local (0, 0.95) -> 0.95 x 0.026 to the left of column 1.
    const float y = textRowY[2] + 0.012f;
    auto white = [&](float px) {
        const uint8_t* p = at(pageToPixel(px, y));
        return p[0] > 100 && p[1] > 100 && p[2] > 100 && p[0] == p[1];
    };
    // Under the half-black overlay white shows as about 128, the grey bezel as about 64.
    const uint8_t* dimmed = at(pageToPixel(0.45f, 0.6f));
    EXPECT_NEAR(dimmed[0], 64, 4);
    EXPECT_TRUE(white(0.1597f - 0.95f * 0.026f));
    EXPECT_TRUE(white(0.1597f - 0.3f * 0.026f));
    EXPECT_FALSE(white(0.1597f + 0.5f * 0.026f));
    EXPECT_TRUE(white(0.7471f + 0.95f * 0.026f));
    EXPECT_FALSE(white(0.7471f - 0.5f * 0.026f));
}

TEST_F(GlRendering, ScreenshotIsAPngOfTheViewport) {
    beginPage();
    drawTextAt(0, 0, colourGreen, fontLarge, alignLeft, "SHOT");
    const std::string path = FMS_BINARY_DIR "/gl-screenshot-test.png";
    std::remove(path.c_str());
    ASSERT_TRUE(saveScreenshotPng(path));
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    unsigned char head[24] = {};
    EXPECT_EQ(std::fread(head, 1, sizeof head, file), sizeof head);
    std::fclose(file);
    EXPECT_EQ(head[1], 'P');
    EXPECT_EQ((head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19], viewWidth);
    EXPECT_EQ((head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23], viewHeight);
    std::remove(path.c_str());
}

// The real bezel picture with a page over it: the whole text grid lies on the dark glass.
TEST_F(GlRendering, TextGridLiesOnTheBezelScreen) {
    ASSERT_TRUE(loadTextureFromTga(FMS_RUN_DIR "/textures/CDU_Tex.tga")) << "build the bezel-picture target";
    beginPage();
    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "ORX - 1");
    drawTextAt(0, 2, colourGreen, fontLarge, alignLeft, "LEARJET 45");
    drawTextAt(2, 4, colourGreen, fontLarge, alignLeft, "CPU             PASS");
    drawTextAt(23, 10, colourWhite, fontMed, alignRight, "%s\xB0", "ABCDEFGHIJKLMNOPQRSTUVW");
    drawLeftPrompt(10);
    drawRightPrompt(2);
    cduCallList(listMessageAnnunciator);
    capture();
    ASSERT_FALSE(HasFailure());
    writePng(FMS_BINARY_DIR "/gl-bezel-frame.png", viewWidth, viewHeight, 3, pixels.data(), true);
    // Blank cells in every corner of the grid show the glass, not the frame.
    for (int row : {1, 3, 9}) {
        for (int column : {0, 23}) {
            const Pixel p = pageToPixel(textColumnX[column] + 0.013f, textRowY[row] + 0.014f);
            const uint8_t* rgb = at(p);
            EXPECT_LT((rgb[0] + rgb[1] + rgb[2]) / 3, 25) << "row " << row << " column " << column;
        }
    }
    EXPECT_GT(greenInCell(2, 0), 3);
    EXPECT_GT(greenInCell(4, 21), 3);
}

}  // namespace
