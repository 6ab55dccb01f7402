#include "cdu/CduRenderer.h"

#include <cstdarg>
#include <cstdio>

#include "cdu/CduState.h"
#include "platform/Platform.h"
#include "cdu/Tga.h"
#include "platform/Png.h"

namespace {

RenderBackend* backend() {
    return platform().renderer;
}

// The shift applied before drawing, in font units, for the three alignments.
float alignmentShift(const unsigned char* text, int length, int alignment) {
    const GlyphMetrics* metrics = cduState().renderer.glyphMetrics;
    float width = 0.0f;
    float last = 0.0f;
    for (int i = 0; i < length; ++i) {
        last = metrics[text[i]].cellIncX;
        width += last;
    }
    if (alignment == alignCentre) return -width / 2.0f;
    if (alignment == alignRight) return -width + last + 0.024f;
    return 0.0f;
}

void drawFormatted(RenderBackend* b, int fontIndex, int alignment, const char* format, va_list args) {
    if (format == nullptr || fontIndex < 0 || fontIndex > 1) return;
    char buffer[256];
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length < 0) return;
    if (length > static_cast<int>(sizeof buffer) - 1) length = sizeof buffer - 1;
    const auto* text = reinterpret_cast<const unsigned char*>(buffer);
    float shift = alignmentShift(text, length, alignment);
    if (shift != 0.0f) b->translate(shift, 0.0f, 0.0f);
    if (length > 0) b->drawGlyphs(fontIndex, text, length);
}

// The boxed "M" in the title line that tells the pilot a message is waiting.
void drawMessageAnnunciator(RenderBackend* b) {
    b->pushMatrix();
    b->setColour(colourYellow);
    b->setLineWidth(2.0f);
    b->translate(textColumnX[19] - 0.026f, textRowY[0] + 0.0275f, 0.0f);
    b->scale(0.0264f, -0.032f, 0.0f);
    b->callList(listBoxOutline);
    b->popMatrix();
    b->pushMatrix();
    b->setColour(colourYellow);
    b->translate(textColumnX[18], textRowY[0], 0.0f);
    b->scale(textScaleX, textScaleY, 0.0f);
    const unsigned char m = 'M';
    b->drawGlyphs(fontMed, &m, 1);
    b->popMatrix();
}

}  // namespace

void initRenderState() {
    if (RenderBackend* b = backend()) b->initState();
}

bool createCduFont(const char* faceName, int fontIndex, float height, int weight) {
    RenderBackend* b = backend();
    if (b == nullptr || fontIndex < 0 || fontIndex > 1) return false;
    RendererState& state = cduState().renderer;
    bool ok = b->createFont(fontIndex, faceName, height, weight, state.glyphMetrics);
    state.fontCreated[fontIndex] = ok;
    return ok;
}

void deleteCduFonts() {
    RendererState& state = cduState().renderer;
    if (RenderBackend* b = backend()) b->deleteFonts();
    state.fontCreated[0] = state.fontCreated[1] = false;
}

void buildDisplayLists() {
    if (RenderBackend* b = backend()) b->buildSharedLists();
}

bool loadTextureFromTga(const std::string& path) {
    RenderBackend* b = backend();
    std::optional<TgaImage> image = readTga(path);
    if (!image || b == nullptr) return false;
    bool ok = b->loadBezelTexture(image->components, image->width, image->height, image->pixels.data());
    cduState().renderer.bezelLoaded = ok;
    return ok;
}

void setRenderViewport(int width, int height) {
    if (RenderBackend* b = backend()) b->setViewport(width, height);
}

void beginCduFrame() {
    if (RenderBackend* b = backend()) b->beginFrame();
}

void beginPageCoordinates() {
    if (RenderBackend* b = backend()) b->beginPageCoordinates();
}

void drawBezel() {
    if (RenderBackend* b = backend()) b->drawBezel();
}

void cduPush() {
    if (RenderBackend* b = backend()) b->pushMatrix();
}

void cduPop() {
    if (RenderBackend* b = backend()) b->popMatrix();
}

void cduTranslate(float x, float y, float z) {
    if (RenderBackend* b = backend()) b->translate(x, y, z);
}

void cduScale(float x, float y, float z) {
    if (RenderBackend* b = backend()) b->scale(x, y, z);
}

void cduRotate(float degrees) {
    if (RenderBackend* b = backend()) b->rotate(degrees, 0.0f, 0.0f, 1.0f);
}

void cduColour(const Rgba& colour) {
    if (RenderBackend* b = backend()) b->setColour(colour);
}

void cduColour(const Rgba& colour, float alpha) {
    cduColour(Rgba{colour.r, colour.g, colour.b, alpha});
}

void cduColour(float r, float g, float b, float a) {
    cduColour(Rgba{r, g, b, a});
}

void cduLineWidth(float width) {
    if (RenderBackend* b = backend()) b->setLineWidth(width);
}

void cduLine(float x0, float y0, float x1, float y1) {
    if (RenderBackend* b = backend()) b->drawLine(x0, y0, x1, y1);
}

void cduCallList(CduList list) {
    RenderBackend* b = backend();
    if (b == nullptr) return;
    if (list == listMessageAnnunciator) {
        drawMessageAnnunciator(b);
    } else if (list >= 0 && list < cduListCount) {
        b->callList(list);
    }
}

void drawCduText(int fontIndex, int alignment, const char* format, ...) {
    RenderBackend* b = backend();
    if (b == nullptr) return;
    va_list args;
    va_start(args, format);
    drawFormatted(b, fontIndex, alignment, format, args);
    va_end(args);
}

void drawTextAt(int column, int row, const Rgba& colour, int fontIndex, int alignment, const char* format,
                ...) {
    RenderBackend* b = backend();
    if (b == nullptr || column < 0 || column >= textColumns || row < 0 || row >= textRows) return;
    b->pushMatrix();
    b->setColour(colour);
    b->translate(textColumnX[column], textRowY[row], 0.0f);
    b->scale(textScaleX, textScaleY, 0.0f);
    va_list args;
    va_start(args, format);
    drawFormatted(b, fontIndex, alignment, format, args);
    va_end(args);
    b->popMatrix();
}

void drawArrowAt(int column, int row, float degrees, const Rgba& colour) {
    RenderBackend* b = backend();
    if (b == nullptr || column < 0 || column >= textColumns || row < 0 || row >= textRows) return;
    b->pushMatrix();
    b->setColour(colour);
    b->translate(textColumnX[column], textRowY[row] + arrowLift, 0.0f);
    b->rotate(degrees, 0.0f, 0.0f, 1.0f);
    b->scale(arrowScaleX, arrowScaleY, 0.0f);
    b->callList(listArrow);
    b->popMatrix();
}

void drawLeftPrompt(int row, const Rgba& colour) {
    drawArrowAt(1, row, 90.0f, colour);
}

void drawRightPrompt(int row, const Rgba& colour) {
    drawArrowAt(23, row, -90.0f, colour);
}

bool saveScreenshotPng(const std::string& path) {
    RenderBackend* b = backend();
    if (b == nullptr) return false;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    if (!b->captureScreen(width, height, rgb)) return false;
    return writePng(path, width, height, 3, rgb.data(), true);
}
