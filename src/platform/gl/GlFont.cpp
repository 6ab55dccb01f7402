#include "platform/gl/GlFont.h"

#include <GL/glu.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>

namespace {

// The CDU face: bold, fixed pitch. fontconfig falls back to another monospaced face when
// DejaVu is not installed.
constexpr const char* fontPattern = "DejaVu Sans Mono:style=Bold:spacing=mono";

// --- Outline flattening ---

struct Flattener {
    std::vector<std::vector<double>> contours;  // x, y pairs in font units
    double lastX = 0.0;
    double lastY = 0.0;
    double step = 1.0;  // target segment length in font units

    void point(double x, double y) {
        std::vector<double>& c = contours.back();
        // Repeated points make degenerate edges for the tessellator.
        if (c.size() >= 2 && c[c.size() - 2] == x && c.back() == y) return;
        c.push_back(x);
        c.push_back(y);
        lastX = x;
        lastY = y;
    }
    int segments(double length) const {
        return std::clamp(static_cast<int>(std::ceil(length / step)), 2, 16);
    }
};

Flattener& flattener(void* user) {
    return *static_cast<Flattener*>(user);
}

int moveTo(const FT_Vector* to, void* user) {
    Flattener& f = flattener(user);
    f.contours.emplace_back();
    f.point(to->x, to->y);
    return 0;
}

int lineTo(const FT_Vector* to, void* user) {
    Flattener& f = flattener(user);
    if (f.contours.empty()) f.contours.emplace_back();
    f.point(to->x, to->y);
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    Flattener& f = flattener(user);
    if (f.contours.empty()) f.contours.emplace_back();
    const double x0 = f.lastX, y0 = f.lastY;
    const double length =
        std::hypot(control->x - x0, control->y - y0) + std::hypot(to->x - control->x, to->y - control->y);
    const int n = f.segments(length);
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1.0 - t;
        f.point(u * u * x0 + 2 * u * t * control->x + t * t * to->x,
                u * u * y0 + 2 * u * t * control->y + t * t * to->y);
    }
    return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    Flattener& f = flattener(user);
    if (f.contours.empty()) f.contours.emplace_back();
    const double x0 = f.lastX, y0 = f.lastY;
    const double length = std::hypot(c1->x - x0, c1->y - y0) + std::hypot(c2->x - c1->x, c2->y - c1->y) +
                          std::hypot(to->x - c2->x, to->y - c2->y);
    const int n = f.segments(length);
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1.0 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        f.point(a * x0 + b * c1->x + c * c2->x + d * to->x, a * y0 + b * c1->y + c * c2->y + d * to->y);
    }
    return 0;
}

// --- Tessellation ---

struct Tessellation {
    std::vector<float>* triangles = nullptr;
    float scale = 1.0f;
    std::deque<std::array<GLdouble, 3>> extra;  // vertices the tessellator creates at crossings
    bool failed = false;
};

void GLAPIENTRY onVertex(void* vertex, void* user) {
    auto* t = static_cast<Tessellation*>(user);
    const auto* v = static_cast<const GLdouble*>(vertex);
    t->triangles->push_back(static_cast<float>(v[0]) * t->scale);
    t->triangles->push_back(static_cast<float>(v[1]) * t->scale);
}

// Registering an edge-flag callback makes the tessellator emit separate triangles only.
void GLAPIENTRY onEdgeFlag(GLboolean, void*) {}

void GLAPIENTRY onCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* user) {
    auto* t = static_cast<Tessellation*>(user);
    t->extra.push_back({coords[0], coords[1], coords[2]});
    *out = t->extra.back().data();
}

void GLAPIENTRY onError(GLenum, void* user) {
    static_cast<Tessellation*>(user)->failed = true;
}

void tessellate(const std::vector<std::vector<double>>& contours, float scale,
                std::vector<float>& triangles) {
    GLUtesselator* tess = gluNewTess();
    if (tess == nullptr) return;
    Tessellation t;
    t.triangles = &triangles;
    t.scale = scale;
    using Callback = _GLUfuncptr;
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<Callback>(onVertex));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<Callback>(onEdgeFlag));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(onCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<Callback>(onError));
    // TrueType fills by the non-zero winding rule.
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0.0, 0.0, 1.0);
    // The tessellator keeps pointers to the vertices until the polygon ends.
    std::vector<std::array<GLdouble, 3>> vertices;
    size_t count = 0;
    for (const auto& c : contours) count += c.size() / 2;
    vertices.reserve(count);
    gluTessBeginPolygon(tess, &t);
    for (const auto& c : contours) {
        if (c.size() < 6) continue;
        gluTessBeginContour(tess);
        for (size_t i = 0; i + 1 < c.size(); i += 2) {
            vertices.push_back({c[i], c[i + 1], 0.0});
            gluTessVertex(tess, vertices.back().data(), vertices.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (t.failed) triangles.clear();
}

bool readable(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return static_cast<bool>(file);
}

}  // namespace

std::string findCduFontFile() {
    if (const char* named = std::getenv("FMS_FONT"); named != nullptr && *named != '\0') {
        if (readable(named)) return named;
        std::printf("FMS_FONT names %s, which cannot be read; using the default face\n", named);
    }
    std::string path;
    // A private configuration, destroyed after the lookup, so that nothing stays allocated.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) return path;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(fontPattern));
    if (pattern == nullptr) {
        FcConfigDestroy(config);
        return path;
    }
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    if (match != nullptr) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcConfigDestroy(config);
    FcPatternDestroy(pattern);
    return path;
}

struct OutlineFace::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

OutlineFace::OutlineFace(const std::string& path) : impl_(std::make_unique<Impl>()), path_(path) {
    if (FT_Init_FreeType(&impl_->library) != 0) {
        impl_->library = nullptr;
        return;
    }
    if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0 || !FT_IS_SCALABLE(impl_->face)) {
        if (impl_->face != nullptr) FT_Done_Face(impl_->face);
        impl_->face = nullptr;
        return;
    }
    // 8-bit codes are Latin-1, whose code points are the first 256 of Unicode.
    FT_Select_Charmap(impl_->face, FT_ENCODING_UNICODE);
}

OutlineFace::~OutlineFace() {
    if (impl_->face != nullptr) FT_Done_Face(impl_->face);
    if (impl_->library != nullptr) FT_Done_FreeType(impl_->library);
}

bool OutlineFace::ok() const {
    return impl_->face != nullptr && impl_->face->units_per_EM > 0;
}

GlyphMesh OutlineFace::glyph(int code, float height) const {
    GlyphMesh mesh;
    if (!ok() || code < 0 || code > 255) return mesh;
    FT_Face face = impl_->face;
    const float scale = height / static_cast<float>(face->units_per_EM);
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    // Control codes have no glyph: they still take one cell, as in the fixed-pitch face.
    const bool blank = index == 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0) return mesh;
    mesh.advance = static_cast<float>(face->glyph->metrics.horiAdvance) * scale;
    if (blank || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || face->glyph->outline.n_points == 0)
        return mesh;

    Flattener f;
    f.step = face->units_per_EM / 24.0;
    FT_Outline_Funcs funcs{};
    funcs.move_to = moveTo;
    funcs.line_to = lineTo;
    funcs.conic_to = conicTo;
    funcs.cubic_to = cubicTo;
    if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &f) != 0) return mesh;
    for (auto& c : f.contours) {
        // The decomposer returns to the start point; the tessellator closes contours itself.
        if (c.size() >= 4 && c[0] == c[c.size() - 2] && c[1] == c.back()) c.resize(c.size() - 2);
    }
    tessellate(f.contours, scale, mesh.triangles);

    bool first = true;
    for (const auto& c : f.contours) {
        std::vector<float> scaled;
        scaled.reserve(c.size());
        for (size_t i = 0; i + 1 < c.size(); i += 2) {
            const float x = static_cast<float>(c[i]) * scale, y = static_cast<float>(c[i + 1]) * scale;
            scaled.push_back(x);
            scaled.push_back(y);
            mesh.minX = first ? x : std::min(mesh.minX, x);
            mesh.maxX = first ? x : std::max(mesh.maxX, x);
            mesh.minY = first ? y : std::min(mesh.minY, y);
            mesh.maxY = first ? y : std::max(mesh.maxY, y);
            first = false;
        }
        mesh.contours.push_back(std::move(scaled));
    }
    return mesh;
}
