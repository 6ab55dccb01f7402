#include "platform/gl/GlRenderer.h"

#ifdef _WIN32
#include <windows.h>  // the calling-convention macros the OpenGL headers expect
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

void GlRenderer::initState() {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_LINE_SMOOTH);
    glClearDepth(1.0);
}

bool GlRenderer::createFont(int fontIndex, const char* faceName, float height, int weight,
                            GlyphMetrics (&metrics)[glyphCount]) {
    if (fontIndex < 0 || fontIndex > 1) return false;
    if (fontBase_[fontIndex] != 0) glDeleteLists(fontBase_[fontIndex], glyphCount);
    fontBase_[fontIndex] = glGenLists(glyphCount);
    if (fontBase_[fontIndex] == 0) return false;
    for (GlyphMetrics& m : metrics) m = GlyphMetrics{};
    return compileFontLists(fontBase_[fontIndex], faceName, height, weight, metrics, fontFile_);
}

void GlRenderer::deleteFonts() {
    for (unsigned& base : fontBase_) {
        if (base != 0) glDeleteLists(base, glyphCount);
        base = 0;
    }
}

void GlRenderer::buildSharedLists() {
    if (shapeBase_ != 0) glDeleteLists(shapeBase_, cduListCount);
    shapeBase_ = glGenLists(cduListCount);
    if (shapeBase_ == 0) return;

    glNewList(shapeBase_ + listBoxOutline, GL_COMPILE);
    glBegin(GL_LINE_STRIP);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glEnd();
    glEndList();

    glNewList(shapeBase_ + listFilledBar, GL_COMPILE);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    glEndList();

    // The arrow is not convex, but every vertex is visible from the tip: a fan from the tip
    // through the outline covers it exactly.
    static const float arrow[][2] = {
        {0.0f, 1.0f},    {0.378f, 0.602f},  {0.269f, 0.602f},  {0.146f, 0.684f},  {0.146f, 0.0f},
        {-0.146f, 0.0f}, {-0.146f, 0.684f}, {-0.269f, 0.602f}, {-0.378f, 0.602f}, {0.0f, 1.0f}};
    glNewList(shapeBase_ + listArrow, GL_COMPILE);
    glBegin(GL_TRIANGLE_FAN);
    for (const auto& v : arrow) glVertex2f(v[0], v[1]);
    glEnd();
    glEndList();

    glNewList(shapeBase_ + listTriangle, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(0.5f, 1.0f);
    glEnd();
    glEndList();

    // The message annunciator is drawn by the renderer from the shapes above.
    glNewList(shapeBase_ + listMessageAnnunciator, GL_COMPILE);
    glEndList();
}

bool GlRenderer::loadBezelTexture(int components, int width, int height, const uint8_t* pixels) {
    if ((components != 3 && components != 4) || width <= 0 || height <= 0 || pixels == nullptr) return false;
    if (texture_ != 0) glDeleteTextures(1, &texture_);
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLenum format = components == 4 ? GL_RGBA : GL_RGB;
    const GLint status =
        gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, format, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (status != 0) {
        std::printf("Cannot build the bezel texture: %s\n",
                    reinterpret_cast<const char*>(gluErrorString(status)));
        glDeleteTextures(1, &texture_);
        texture_ = 0;
        return false;
    }
    return true;
}

void GlRenderer::setViewport(int width, int height) {
    viewportWidth_ = width;
    viewportHeight_ = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
    gluPerspective(45.0, aspect, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GlRenderer::beginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

void GlRenderer::pushMatrix() {
    glPushMatrix();
}

void GlRenderer::popMatrix() {
    glPopMatrix();
}

void GlRenderer::translate(float x, float y, float z) {
    glTranslatef(x, y, z);
}

void GlRenderer::scale(float x, float y, float z) {
    glScalef(x, y, z);
}

void GlRenderer::rotate(float degrees, float x, float y, float z) {
    glRotatef(degrees, x, y, z);
}

void GlRenderer::setColour(const Rgba& colour) {
    glColor4f(colour.r, colour.g, colour.b, colour.a);
}

void GlRenderer::setLineWidth(float width) {
    glLineWidth(width);
}

void GlRenderer::drawLine(float x0, float y0, float x1, float y1) {
    glBegin(GL_LINES);
    glVertex2f(x0, y0);
    glVertex2f(x1, y1);
    glEnd();
}

void GlRenderer::callList(CduList list) {
    if (shapeBase_ != 0 && list >= 0 && list < cduListCount) glCallList(shapeBase_ + list);
}

void GlRenderer::drawGlyphs(int fontIndex, const unsigned char* codes, int count) {
    if (fontIndex < 0 || fontIndex > 1 || fontBase_[fontIndex] == 0 || codes == nullptr || count <= 0) return;
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBase_[fontIndex]);
    glCallLists(count, GL_UNSIGNED_BYTE, codes);
    glPopAttrib();
}

void GlRenderer::drawBezel() {
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(0.9f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(0.9f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
}

bool GlRenderer::captureScreen(int& width, int& height, std::vector<uint8_t>& rgb) {
    width = viewportWidth_;
    height = viewportHeight_;
    if (width <= 0 || height <= 0) return false;
    rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return glGetError() == GL_NO_ERROR;
}

void GlRenderer::release() {
    deleteFonts();
    if (shapeBase_ != 0) glDeleteLists(shapeBase_, cduListCount);
    shapeBase_ = 0;
    if (texture_ != 0) glDeleteTextures(1, &texture_);
    texture_ = 0;
}
