#include <GL/gl.h>

#include <cstdio>

#include "platform/gl/GlFont.h"
#include "platform/gl/GlRenderer.h"

// The outline glyph lists from FreeType: the face of findCduFontFile() for both fonts (the
// face names only tell the two list ranges apart).

namespace {

// Fills one glyph list: the triangles, the outline again as smoothed lines (the polygons
// themselves have hard edges), then the move to the next cell.
void compileGlyph(unsigned list, const GlyphMesh& mesh) {
    glNewList(list, GL_COMPILE);
    if (!mesh.triangles.empty()) {
        glBegin(GL_TRIANGLES);
        for (size_t i = 0; i + 1 < mesh.triangles.size(); i += 2)
            glVertex2f(mesh.triangles[i], mesh.triangles[i + 1]);
        glEnd();
        glPushAttrib(GL_LINE_BIT);
        glLineWidth(1.0f);
        for (const auto& contour : mesh.contours) {
            glBegin(GL_LINE_LOOP);
            for (size_t i = 0; i + 1 < contour.size(); i += 2) glVertex2f(contour[i], contour[i + 1]);
            glEnd();
        }
        glPopAttrib();
    }
    glTranslatef(mesh.advance, 0.0f, 0.0f);
    glEndList();
}

}  // namespace

bool compileFontLists(unsigned base, const char*, float height, int, GlyphMetrics (&metrics)[glyphCount],
                      std::string& fontFile) {
    if (fontFile.empty()) fontFile = findCduFontFile();
    if (fontFile.empty()) {
        std::puts("No fixed-pitch outline font found (install fonts-dejavu-core or set FMS_FONT)");
        return false;
    }
    OutlineFace face(fontFile);
    if (!face.ok()) {
        std::printf("Cannot read the font face %s\n", fontFile.c_str());
        return false;
    }
    // Codes 0..254 get a list; 255 stays empty and has no metrics.
    for (int code = 0; code < glyphCount - 1; ++code) {
        GlyphMetrics& m = metrics[code];
        GlyphMesh mesh = face.glyph(code, height);
        compileGlyph(base + code, mesh);
        m.blackBoxX = mesh.maxX - mesh.minX;
        m.blackBoxY = mesh.maxY - mesh.minY;
        m.originX = mesh.minX;
        m.originY = mesh.maxY;
        m.cellIncX = mesh.advance;
    }
    return true;
}
