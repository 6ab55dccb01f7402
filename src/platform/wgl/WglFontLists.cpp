// The outline glyph lists from the system's fonts: a bold fixed-pitch face requested by name
// (the font mapper substitutes one when the named face is not installed) turned into polygon
// lists by the WGL outline conversion.

#include <windows.h>

#include <cstdio>

#include "platform/gl/GlRenderer.h"

bool compileFontLists(unsigned base, const char* faceName, float height, int weight,
                      GlyphMetrics (&metrics)[glyphCount], std::string& fontFile) {
    HDC deviceContext = wglGetCurrentDC();
    if (deviceContext == nullptr) return false;
    const int cellHeight = height >= 1.0f ? static_cast<int>(height) : 1;
    HFONT font = CreateFontA(cellHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_MODERN | FIXED_PITCH, faceName);
    if (font == nullptr) {
        std::printf("Cannot create the font %s\n", faceName != nullptr ? faceName : "");
        return false;
    }
    HGDIOBJ previous = SelectObject(deviceContext, font);
    char chosen[LF_FACESIZE] = {};
    GetTextFaceA(deviceContext, sizeof chosen, chosen);
    GLYPHMETRICSFLOAT outlines[glyphCount] = {};
    // Codes 0..254 get a list; 255 stays empty and has no metrics.
    const BOOL ok =
        wglUseFontOutlinesA(deviceContext, 0, glyphCount - 1, base, 0.0f, 0.0f, WGL_FONT_POLYGONS, outlines);
    SelectObject(deviceContext, previous);
    DeleteObject(font);
    if (!ok) {
        std::printf("Cannot turn the font %s into outlines\n", chosen);
        return false;
    }
    fontFile = chosen;
    for (int code = 0; code < glyphCount - 1; ++code) {
        const GLYPHMETRICSFLOAT& g = outlines[code];
        metrics[code] = {g.gmfBlackBoxX,       g.gmfBlackBoxY, g.gmfptGlyphOrigin.x,
                         g.gmfptGlyphOrigin.y, g.gmfCellIncX,  g.gmfCellIncY};
    }
    return true;
}
