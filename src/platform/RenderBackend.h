#pragma once

#include <cstdint>
#include <vector>

// The drawing seam. The CDU renderer (cdu/CduRenderer.h) is the only caller: pages never use
// a backend directly. The OpenGL backend (platform/gl) draws into the window; the recording
// backend (cdu/RecordingRenderer.h) keeps the primitives of a frame for tests.
//
// Transformations compose like the fixed-function model-view matrix: each one multiplies the
// current matrix on the right, so the last one named applies first to the geometry.

// The shared shapes, drawn in the current colour and matrix.
enum CduList {
    listBoxOutline,          // line strip around the unit square (0,0)-(1,1)
    listFilledBar,           // quad (0,-1)-(1,1): a bar two units high centred on the x axis
    listArrow,               // arrow pointing up (+y), tip at (0,1), base on y = 0
    listTriangle,            // (0,0), (1,0), (0.5,1)
    listMessageAnnunciator,  // boxed yellow "M" at the top right of the screen; the renderer
                             // expands it into the primitives above, backends never see it
};
inline constexpr int cduListCount = 5;

struct Rgba {
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f;
};

// Metrics of one glyph in font units (character height 1). The text routine uses only
// cellIncX; the others are kept as the face reports them.
struct GlyphMetrics {
    float blackBoxX = 0.0f;
    float blackBoxY = 0.0f;
    float originX = 0.0f;
    float originY = 0.0f;
    float cellIncX = 0.0f;
    float cellIncY = 0.0f;
};
inline constexpr int glyphCount = 256;

class RenderBackend {
public:
    virtual ~RenderBackend() = default;

    // --- One-time set-up (after the rendering context exists, before the first frame) ---
    // Fixed drawing state: smooth shading, alpha blending, smoothed lines, black clear colour.
    virtual void initState() = 0;
    // Builds the 256 glyph lists of font 0 or 1 from the face and fills `metrics` with the
    // face's glyph metrics. False when no usable face exists.
    virtual bool createFont(int fontIndex, const char* faceName, float height, int weight,
                            GlyphMetrics (&metrics)[glyphCount]) = 0;
    virtual void deleteFonts() = 0;
    // Builds the four basic shared shapes (everything but listMessageAnnunciator).
    virtual void buildSharedLists() = 0;
    // The bezel picture: `components` 3 (RGB) or 4 (RGBA), rows bottom-up. False on failure.
    virtual bool loadBezelTexture(int components, int width, int height, const uint8_t* pixels) = 0;
    // Viewport from the window's lower left corner and the perspective projection
    // (45 degrees vertical field of view, near 0.1, far 100); leaves the model-view identity.
    virtual void setViewport(int width, int height) = 0;

    // --- Every frame ---
    // Clears colour and depth and loads the identity model-view matrix.
    virtual void beginFrame() = 0;
    // Marks the current matrix as the page coordinate system (lower left corner of the bezel,
    // 0.9 x 1.0). Only the recording backend cares: it places glyphs in screen cells from
    // positions in this system, whatever rotation or stretching lies below it.
    virtual void beginPageCoordinates() = 0;
    virtual void pushMatrix() = 0;
    virtual void popMatrix() = 0;
    virtual void translate(float x, float y, float z) = 0;
    virtual void scale(float x, float y, float z) = 0;
    virtual void rotate(float degrees, float x, float y, float z) = 0;
    virtual void setColour(const Rgba& colour) = 0;
    virtual void setLineWidth(float width) = 0;
    virtual void drawLine(float x0, float y0, float x1, float y1) = 0;
    virtual void callList(CduList list) = 0;
    // Draws `count` glyphs of one font starting at the current origin. Each glyph moves the
    // origin by its cell increment, so the matrix ends at the end of the text.
    virtual void drawGlyphs(int fontIndex, const unsigned char* codes, int count) = 0;
    // The bezel picture as one textured quad (0,0)-(0.9,1) in white, then texturing and depth
    // testing are left off for the page drawn over it.
    virtual void drawBezel() = 0;

    // Copies the frame drawn so far (RGB, rows bottom-up). False when the backend has no pixels.
    // Releases every list and texture while the context is still current (no-op without one).
    virtual void release() {}
    virtual bool captureScreen(int& width, int& height, std::vector<uint8_t>& rgb) = 0;
};
