#pragma once

#include <memory>
#include <string>
#include <vector>

// Outline glyphs for the CDU fonts: a face file found with fontconfig, glyph outlines read
// with FreeType, curves flattened and the contours tessellated with the GLU tessellator into
// triangles. Nothing here needs a rendering context; GlRenderer turns the meshes into lists.

// The face file to use: $FMS_FONT when it names a readable file, else fontconfig's match for
// a bold fixed-pitch face (DejaVu Sans Mono Bold). Empty when nothing is found.
std::string findCduFontFile();

// One glyph in font units scaled so that the em height is `height` (1 for the CDU fonts).
struct GlyphMesh {
    std::vector<float> triangles;              // x, y pairs, three vertices per triangle
    std::vector<std::vector<float>> contours;  // flattened closed outlines (x, y pairs)
    float advance = 0.0f;                      // cell increment along x
    float minX = 0.0f;                         // black box
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;
};

class OutlineFace {
public:
    // Opens the face file; check ok() afterwards.
    explicit OutlineFace(const std::string& path);
    ~OutlineFace();
    OutlineFace(const OutlineFace&) = delete;
    OutlineFace& operator=(const OutlineFace&) = delete;

    bool ok() const;
    const std::string& path() const { return path_; }
    // The glyph of an 8-bit character code read as Latin-1 (176 is the degree sign). Codes
    // without a glyph in the face (controls) give an empty mesh with the face's advance.
    GlyphMesh glyph(int code, float height) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string path_;
};
