#pragma once

#include <string>
#include <vector>

#include "platform/RenderBackend.h"

// Fills the display lists base..base+255 with the outline glyphs of a bold fixed-pitch face
// of character height `height` and `metrics` with their metrics; each glyph list ends by
// moving the origin by the glyph's cell increment. False when no usable face exists.
// `fontFile` names the face used (found on the first call where the system has files).
bool compileFontLists(unsigned base, const char* faceName, float height, int weight,
                      GlyphMetrics (&metrics)[glyphCount], std::string& fontFile);

// The OpenGL 1.x backend: glyph and shape display lists, immediate-mode lines and the bezel
// texture, drawn into the current rendering context. Every call expects that context to be
// current on the calling thread (the main thread, after the window is created).
class GlRenderer final : public RenderBackend {
public:
    GlRenderer() = default;
    ~GlRenderer() override = default;
    GlRenderer(const GlRenderer&) = delete;
    GlRenderer& operator=(const GlRenderer&) = delete;

    void initState() override;
    // The glyph lists come from compileFontLists (FreeType on POSIX systems, the system's
    // outline fonts on Windows).
    bool createFont(int fontIndex, const char* faceName, float height, int weight,
                    GlyphMetrics (&metrics)[glyphCount]) override;
    void deleteFonts() override;
    void buildSharedLists() override;
    bool loadBezelTexture(int components, int width, int height, const uint8_t* pixels) override;
    void setViewport(int width, int height) override;
    void beginFrame() override;
    void beginPageCoordinates() override {}
    void pushMatrix() override;
    void popMatrix() override;
    void translate(float x, float y, float z) override;
    void scale(float x, float y, float z) override;
    void rotate(float degrees, float x, float y, float z) override;
    void setColour(const Rgba& colour) override;
    void setLineWidth(float width) override;
    void drawLine(float x0, float y0, float x1, float y1) override;
    void callList(CduList list) override;
    void drawGlyphs(int fontIndex, const unsigned char* codes, int count) override;
    void drawBezel() override;
    bool captureScreen(int& width, int& height, std::vector<uint8_t>& rgb) override;

    // Releases the texture and every list (before the context goes away).
    void release() override;
    const std::string& fontFile() const { return fontFile_; }

private:
    unsigned fontBase_[2] = {0, 0};
    unsigned shapeBase_ = 0;
    unsigned texture_ = 0;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    std::string fontFile_;
};
