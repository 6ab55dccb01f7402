// fms-bezel: draws the CDU bezel picture and writes it as the program's texture.
//
//     fms-bezel <output.tga> [--png <file.png>]
//
// The keys are painted exactly on the hit rectangles the program tests mouse clicks against
// (cdu/KeyRectangles.h), so what the user sees and what responds cannot drift apart. The
// screen recess surrounds the text area; legends are rendered from the CDU face with FreeType.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cdu/KeyRectangles.h"
#include "cdu/Tga.h"
#include "platform/Png.h"
#include "platform/gl/GlFont.h"

namespace {

constexpr int pictureWidth = 900;  // 0.9 x 1.0 page units
constexpr int pictureHeight = 1000;

struct Colour {
    float r, g, b;
};

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The palette of the picture.
constexpr Colour bodyTop{52, 54, 58};
constexpr Colour bodyBottom{38, 39, 42};
constexpr Colour bodyRim{20, 21, 23};
constexpr Colour recess{16, 17, 18};
constexpr Colour screenGlass{6, 9, 8};
constexpr Colour capTop{122, 125, 131};
constexpr Colour capMiddle{98, 101, 107};
constexpr Colour capBottom{88, 90, 95};
constexpr Colour capEdge{80, 82, 87};
constexpr Colour legend{244, 244, 240};
constexpr Colour screwColour{90, 92, 96};

// An RGB picture with rows top-down while painting.
class Canvas {
public:
    Canvas(int width, int height)
        : width_(width), height_(height), rgb_(static_cast<size_t>(width) * height * 3) {}
    int width() const { return width_; }
    int height() const { return height_; }

    void blend(int x, int y, Colour c, float alpha = 1.0f) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0.0f) return;
        alpha = std::min(alpha, 1.0f);
        uint8_t* p = &rgb_[(static_cast<size_t>(y) * width_ + x) * 3];
        p[0] = static_cast<uint8_t>(std::lround(p[0] + (c.r - p[0]) * alpha));
        p[1] = static_cast<uint8_t>(std::lround(p[1] + (c.g - p[1]) * alpha));
        p[2] = static_cast<uint8_t>(std::lround(p[2] + (c.b - p[2]) * alpha));
    }

    // Fills the pixels whose centres lie inside [x0, x1] x [y0, y1] (pixel units, inclusive),
    // with corners rounded by `radius`; `shade(t)` gives the colour at relative height t.
    template <typename Shade>
    void fillRect(float x0, float y0, float x1, float y1, float radius, Shade shade) {
        const int px0 = static_cast<int>(std::ceil(x0 - 0.5f)), px1 = static_cast<int>(std::floor(x1 - 0.5f));
        const int py0 = static_cast<int>(std::ceil(y0 - 0.5f)), py1 = static_cast<int>(std::floor(y1 - 0.5f));
        for (int y = py0; y <= py1; ++y) {
            const float t = py1 > py0 ? static_cast<float>(y - py0) / (py1 - py0) : 0.0f;
            for (int x = px0; x <= px1; ++x) {
                blend(x, y, shade(t, x - px0, y - py0, px1 - px0, py1 - py0),
                      cornerCoverage(x, y, x0, y0, x1, y1, radius));
            }
        }
    }

    void fillCircle(float cx, float cy, float radius, Colour c) {
        for (int y = static_cast<int>(cy - radius - 1); y <= static_cast<int>(cy + radius + 1); ++y) {
            for (int x = static_cast<int>(cx - radius - 1); x <= static_cast<int>(cx + radius + 1); ++x) {
                const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
                blend(x, y, c, std::clamp(radius - d + 0.5f, 0.0f, 1.0f));
            }
        }
    }

    // The picture as the texture wants it: rows bottom-up.
    TgaImage bottomUp() const {
        TgaImage image;
        image.components = 3;
        image.width = width_;
        image.height = height_;
        image.pixels.resize(rgb_.size());
        const size_t row = static_cast<size_t>(width_) * 3;
        for (int y = 0; y < height_; ++y) {
            std::memcpy(&image.pixels[row * (height_ - 1 - y)], &rgb_[row * y], row);
        }
        return image;
    }

private:
    static float cornerCoverage(int x, int y, float x0, float y0, float x1, float y1, float radius) {
        if (radius <= 0.0f) return 1.0f;
        const float px = x + 0.5f, py = y + 0.5f;
        const float cx = std::clamp(px, x0 + radius, x1 - radius),
                    cy = std::clamp(py, y0 + radius, y1 - radius);
        // Pixels on the straight edges lie within `radius` of the inset rectangle: fully
        // covered. Only the corners fade out.
        const float d = std::hypot(px - cx, py - cy);
        return std::clamp(radius + 1.0f - d, 0.0f, 1.0f);
    }

    int width_;
    int height_;
    std::vector<uint8_t> rgb_;
};

// Legends in the CDU face, rendered by FreeType into coverage bitmaps.
class LegendWriter {
public:
    explicit LegendWriter(const std::string& fontFile) {
        if (FT_Init_FreeType(&library_) != 0) return;
        if (FT_New_Face(library_, fontFile.c_str(), 0, &face_) != 0) face_ = nullptr;
    }
    ~LegendWriter() {
        if (face_ != nullptr) FT_Done_Face(face_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    LegendWriter(const LegendWriter&) = delete;
    LegendWriter& operator=(const LegendWriter&) = delete;
    bool ok() const { return face_ != nullptr; }

    float width(std::string_view text, int size) {
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(size));
        float w = 0.0f;
        for (unsigned char ch : text) {
            if (FT_Load_Char(face_, ch, FT_LOAD_DEFAULT) == 0) w += face_->glyph->advance.x / 64.0f;
        }
        return w;
    }

    // Draws `text` centred on (cx, cy), the capital height centred vertically.
    void draw(Canvas& canvas, std::string_view text, int size, float cx, float cy, Colour colour) {
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(size));
        float penX = cx - width(text, size) / 2.0f;
        const float baseline = cy + 0.73f * size / 2.0f;
        for (unsigned char ch : text) {
            if (FT_Load_Char(face_, ch, FT_LOAD_RENDER) != 0) continue;
            const FT_GlyphSlot g = face_->glyph;
            const int left = static_cast<int>(std::lround(penX)) + g->bitmap_left;
            const int top = static_cast<int>(std::lround(baseline)) - g->bitmap_top;
            for (unsigned row = 0; row < g->bitmap.rows; ++row) {
                for (unsigned column = 0; column < g->bitmap.width; ++column) {
                    const uint8_t coverage = g->bitmap.buffer[row * g->bitmap.pitch + column];
                    canvas.blend(left + static_cast<int>(column), top + static_cast<int>(row), colour,
                                 coverage / 255.0f);
                }
            }
            penX += g->advance.x / 64.0f;
        }
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

float toX(float percent) {
    return percent * pictureWidth / 100.0f;
}
float toY(float percent) {
    return percent * pictureHeight / 100.0f;
}

void paintBody(Canvas& canvas) {
    canvas.fillRect(0, 0, pictureWidth, pictureHeight, 0.0f,
                    [](float, int, int, int, int) { return bodyRim; });
    canvas.fillRect(6, 6, pictureWidth - 6, pictureHeight - 6, 18.0f,
                    [](float t, int, int, int, int) { return mix(bodyTop, bodyBottom, t); });
    // A light edge along the top of the body and a screw in each corner.
    canvas.fillRect(24, 8, pictureWidth - 24, 10, 0.0f, [](float, int, int, int, int) {
        return Colour{86, 88, 93};
    });
    for (float x : {26.0f, pictureWidth - 26.0f}) {
        for (float y : {26.0f, pictureHeight - 26.0f}) {
            canvas.fillCircle(x, y, 8.0f, screwColour);
            canvas.fillRect(x - 5, y - 1, x + 5, y + 1, 0.0f,
                            [](float, int, int, int, int) { return bodyRim; });
        }
    }
}

// The dark glass under the text area (x 0.129..0.776, y 0.514..0.919 of the 0.9 x 1.0 page,
// y upwards), in a recessed frame.
void paintScreen(Canvas& canvas) {
    const float left = 0.129f / 0.9f * pictureWidth, right = 0.776f / 0.9f * pictureWidth;
    const float top = (1.0f - 0.919f) * pictureHeight, bottom = (1.0f - 0.514f) * pictureHeight;
    canvas.fillRect(left - 16, top - 16, right + 16, bottom + 16, 10.0f, [](float t, int, int, int, int) {
        return mix(Colour{30, 31, 33}, Colour{72, 74, 78}, t);
    });
    canvas.fillRect(left - 10, top - 10, right + 10, bottom + 10, 6.0f,
                    [](float, int, int, int, int) { return recess; });
    canvas.fillRect(left, top, right, bottom, 2.0f, [](float t, int, int, int, int) {
        return mix(Colour{12, 16, 14}, screenGlass, t);
    });
}

void paintKey(Canvas& canvas, LegendWriter& writer, const KeyRect& rect, std::string_view text) {
    const float x0 = toX(rect.left), x1 = toX(rect.right), y0 = toY(rect.top), y1 = toY(rect.bottom);
    // A cap with a lit top edge, a darker rim and a slight gradient.
    canvas.fillRect(x0, y0, x1, y1, 4.0f, [](float t, int x, int y, int w, int h) {
        if (x == 0 || y == 0 || x == w || y == h) return capEdge;
        if (y <= 2) return capTop;
        return t < 0.5f ? mix(capTop, capMiddle, t * 2) : mix(capMiddle, capBottom, (t - 0.5f) * 2);
    });
    if (text.empty()) return;
    // Legends fit the cap: two lines for "ON/OFF/DIM", smaller type for long words.
    const float width = x1 - x0, height = y1 - y0, cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const int nominal = text.size() == 1 ? static_cast<int>(height * 0.5f) : static_cast<int>(height * 0.36f);
    if (size_t split = text.rfind('/'); text.size() > 6 && split != std::string_view::npos) {
        std::string_view first = text.substr(0, split), second = text.substr(split + 1);
        int size = nominal;
        while (size > 8 && writer.width(first, size) > width * 0.84f) --size;
        writer.draw(canvas, first, size, cx, cy - size * 0.55f, legend);
        writer.draw(canvas, second, size, cx, cy + size * 0.55f, legend);
        return;
    }
    int size = nominal;
    while (size > 8 && writer.width(text, size) > width * 0.84f) --size;
    writer.draw(canvas, text, size, cx, cy, legend);
}

// A short white mark from each line select key towards the screen edge.
void paintLskMarks(Canvas& canvas, const KeyRectangles& rects) {
    const float screenLeft = 0.129f / 0.9f * pictureWidth - 16,
                screenRight = 0.776f / 0.9f * pictureWidth + 16;
    for (int i = 0; i < 10; ++i) {
        const KeyRect& r = rects.lsk[i];
        const float y = toY((r.top + r.bottom) / 2);
        const float from = i < 5 ? toX(r.right) + 6 : screenRight + 6;
        const float to = i < 5 ? screenLeft - 6 : toX(r.left) - 6;
        canvas.fillRect(from, y - 1.0f, to, y + 1.0f, 0.0f, [](float, int, int, int, int) {
            return Colour{150, 152, 156};
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--png") == 0))) {
        std::fprintf(stderr, "usage: fms-bezel <output.tga> [--png <file.png>]\n");
        return 2;
    }
    const std::string fontFile = findCduFontFile();
    LegendWriter writer(fontFile);
    if (!writer.ok()) {
        std::fprintf(stderr,
                     "fms-bezel: no usable font face (%s); install fonts-dejavu-core or set FMS_FONT\n",
                     fontFile.c_str());
        return 1;
    }

    Canvas canvas(pictureWidth, pictureHeight);
    paintBody(canvas);
    paintScreen(canvas);
    const KeyRectangles rects = computeKeyRectangles();
    paintLskMarks(canvas, rects);
    for (const CduKey& key : cduKeys()) paintKey(canvas, writer, keyRect(rects, key), key.legend);

    const TgaImage image = canvas.bottomUp();
    if (!writeTga(argv[1], image)) {
        std::fprintf(stderr, "fms-bezel: cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc == 4 && !writePng(argv[3], image.width, image.height, 3, image.pixels.data(), true)) {
        std::fprintf(stderr, "fms-bezel: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
