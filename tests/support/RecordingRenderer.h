#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "cdu/CduRenderer.h"
#include "platform/RenderBackend.h"

// A backend without pixels: it keeps every primitive of the frame and turns the text into a
// screen snapshot of 11 rows x 24 cells. Tests and the headless harness draw through it.

enum class CduColourName : uint8_t { none, green, white, yellow, black, magenta, amber, other };

// The palette colour whose RGB matches (within rounding); `other` for any other colour.
CduColourName classifyColour(const Rgba& colour);
const char* colourNameText(CduColourName name);  // "green", "white", ... "none", "other"
// One letter per colour for compact pictures: G W Y K(black) M A, '?' other, ' ' none.
char colourLetter(CduColourName name);

struct ScreenCell {
    unsigned char ch = ' ';
    CduColourName colour = CduColourName::none;
    int8_t font = -1;   // 0 "CDU_Large", 1 "CDU_Med", -1 nothing drawn
    uint8_t draws = 0;  // glyphs drawn into this cell in the frame (more than 1: overdrawn)
};

// What the screen shows: the last glyph drawn into each cell. Blanks draw nothing, as on the
// real screen, so they never hide an earlier glyph.
class ScreenSnapshot {
public:
    static constexpr int rows = textRows;
    static constexpr int columns = textColumns;

    const ScreenCell& cell(int row, int column) const;
    // The 24 characters of a row (blank cells are spaces); out-of-range rows are blank.
    std::string row(int row) const;
    // The colour letters (see colourLetter) and fonts ('L' large, 'M' medium, ' ') of a row.
    std::string colourRow(int row) const;
    std::string fontRow(int row) const;
    CduColourName colourAt(int row, int column) const { return cell(row, column).colour; }
    int fontAt(int row, int column) const { return cell(row, column).font; }
    bool isBlank() const;
    // Cells that received more than one glyph (two fields drawn over each other).
    int overdrawnCells() const;
    // A printable picture of the screen: one line per row with its text and colour letters.
    std::string dump() const;
    // Compares the text with an expected picture: lines separated by '\n' (one leading newline
    // is ignored, so raw string literals read naturally), each line the row's text; trailing
    // blanks and missing trailing rows mean blank. Returns "" when equal, else both pictures.
    std::string diff(std::string_view picture) const;

    void clear();
    void put(int row, int column, unsigned char ch, CduColourName colour, int font);

private:
    std::array<ScreenCell, rows * columns> cells_{};
};

// Where and how a primitive was drawn: colour, and the placement of its origin in page
// coordinates with the scale along its own axes (negative when mirrored) and its rotation.
struct Placement {
    Rgba colour;
    CduColourName colourName = CduColourName::none;
    float x = 0.0f;
    float y = 0.0f;
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    float rotation = 0.0f;  // degrees
    bool inPage = true;     // drawn in page coordinates (not before the page was placed)
};

// A text call as drawn; the placement is that of its first glyph.
struct TextRecord : Placement {
    int font = 0;
    size_t offset = 0;  // into the recorder's text buffer; use RecordingRenderer::text()
    size_t length = 0;
};

// A shared shape as drawn.
struct ListRecord : Placement {
    CduList list = listBoxOutline;
    float lineWidth = 1.0f;
};

struct LineRecord {
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 0.0f;
    float y1 = 0.0f;
    Rgba colour;
    float width = 1.0f;
    bool inPage = true;
};

class RecordingRenderer final : public RenderBackend {
public:
    // The fixed cell increment: one glyph at the text scale advances exactly one column pitch.
    static constexpr float cellIncrement = 0.0267f / 0.0437f;

    RecordingRenderer();

    // RenderBackend
    void initState() override { stateInitialised_ = true; }
    bool createFont(int fontIndex, const char* faceName, float height, int weight,
                    GlyphMetrics (&metrics)[glyphCount]) override;
    void deleteFonts() override;
    void buildSharedLists() override { listsBuilt_ = true; }
    bool loadBezelTexture(int components, int width, int height, const uint8_t* pixels) override;
    void setViewport(int width, int height) override;
    void beginFrame() override;
    void beginPageCoordinates() override;
    void pushMatrix() override;
    void popMatrix() override;
    void translate(float x, float y, float z) override;
    void scale(float x, float y, float z) override;
    void rotate(float degrees, float x, float y, float z) override;
    void setColour(const Rgba& colour) override;
    void setLineWidth(float width) override { lineWidth_ = width; }
    void drawLine(float x0, float y0, float x1, float y1) override;
    void callList(CduList list) override;
    void drawGlyphs(int fontIndex, const unsigned char* codes, int count) override;
    void drawBezel() override { ++bezelDraws_; }
    bool captureScreen(int& width, int& height, std::vector<uint8_t>& rgb) override;

    // Forgets the frame: records, snapshot, matrix stack (identity, taken as page coordinates).
    void clear();

    const ScreenSnapshot& snapshot() const { return snapshot_; }
    const std::vector<TextRecord>& texts() const { return texts_; }
    std::string_view text(const TextRecord& record) const;
    const std::vector<ListRecord>& lists() const { return lists_; }
    std::vector<ListRecord> listsOf(CduList list) const;
    const std::vector<LineRecord>& lines() const { return lines_; }
    // Glyphs drawn in page coordinates that fall outside every screen cell.
    int offGridGlyphs() const { return offGridGlyphs_; }

    int framesBegun() const { return framesBegun_; }
    int bezelDraws() const { return bezelDraws_; }
    bool pageCoordinatesSet() const { return pageCoordinatesSet_; }
    // Matrix stack depth above the frame's base (0 when pushes and pops balance) and the pops
    // that found nothing to pop.
    int matrixDepth() const { return static_cast<int>(stack_.size()) - 1; }
    int matrixUnderflows() const { return underflows_; }
    const Rgba& currentColour() const { return colour_; }
    // Page-coordinate position of the current origin.
    float originX() const { return stack_.back()[12]; }
    float originY() const { return stack_.back()[13]; }

    bool stateInitialised() const { return stateInitialised_; }
    bool fontCreated(int fontIndex) const;
    bool listsBuilt() const { return listsBuilt_; }
    bool textureLoaded() const { return textureWidth_ > 0; }
    int textureWidth() const { return textureWidth_; }
    int textureHeight() const { return textureHeight_; }
    int viewportWidth() const { return viewportWidth_; }
    int viewportHeight() const { return viewportHeight_; }

private:
    using Matrix = std::array<float, 16>;  // column-major, as the fixed-function pipeline
    void multiply(const Matrix& right);
    Placement placement() const;
    void placeGlyph(float x, int row, unsigned char code, int font);

    std::vector<Matrix> stack_;
    Rgba colour_;
    CduColourName colourName_ = CduColourName::white;
    float lineWidth_ = 1.0f;
    bool inPage_ = true;
    bool pageCoordinatesSet_ = false;
    int underflows_ = 0;

    ScreenSnapshot snapshot_;
    std::vector<TextRecord> texts_;
    std::string textBuffer_;
    std::vector<ListRecord> lists_;
    std::vector<LineRecord> lines_;
    int offGridGlyphs_ = 0;

    int framesBegun_ = 0;
    int bezelDraws_ = 0;
    bool stateInitialised_ = false;
    bool fontsCreated_[2] = {false, false};
    bool listsBuilt_ = false;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
};

// Points the current context's renderer at `recorder` and runs the renderer's one-time
// set-up (state, both fonts, shared lists), as the program's start-up does with OpenGL.
void installRecordingRenderer(RecordingRenderer& recorder);
