#include "RecordingRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "shell/Fms.h"

namespace {

// Half the smallest gap between two text rows: a glyph further than this from every row (or
// further than half a column pitch from every column) is not in a screen cell.
constexpr float rowTolerance = 0.017f;
constexpr float columnTolerance = 0.0134f;
// Glyphs exactly between two columns (centred text of odd length) count to the right one.
constexpr float columnBias = 1e-4f;

bool near(float a, float b) {
    return std::fabs(a - b) < 0.002f;
}

bool sameRgb(const Rgba& a, const Rgba& b) {
    return near(a.r, b.r) && near(a.g, b.g) && near(a.b, b.b);
}

// The nearest entry of a table of increasing or decreasing values, starting from a guess
// from the mean pitch and looking at its neighbours (the tables are nearly even).
int nearestIndex(const float* table, int count, float value, int guess) {
    guess = std::clamp(guess, 0, count - 1);
    int best = guess;
    for (int i = std::max(guess - 1, 0); i <= std::min(guess + 1, count - 1); ++i) {
        if (std::fabs(value - table[i]) < std::fabs(value - table[best])) best = i;
    }
    return best;
}

int nearestColumn(float x) {
    if (!std::isfinite(x)) return -1;
    x += columnBias;
    const int guess = static_cast<int>(std::lround((x - textColumnX[1]) / 0.0267f)) + 1;
    const int best = nearestIndex(textColumnX, textColumns, x, guess);
    return std::fabs(x - textColumnX[best]) <= columnTolerance ? best : -1;
}

int nearestRow(float y) {
    if (!std::isfinite(y)) return -1;
    const float pitch = (textRowY[0] - textRowY[textRows - 1]) / (textRows - 1);
    const int guess = static_cast<int>(std::lround((textRowY[0] - y) / pitch));
    const int best = nearestIndex(textRowY, textRows, y, guess);
    return std::fabs(y - textRowY[best]) <= rowTolerance ? best : -1;
}

// Readable form of one character for failure messages.
void appendPrintable(std::string& out, unsigned char ch) {
    if (ch == 176) {
        out += "\xC2\xB0";  // degree sign in UTF-8
    } else if (ch < 32 || ch > 126) {
        out += '?';
    } else {
        out += static_cast<char>(ch);
    }
}

}  // namespace

CduColourName classifyColour(const Rgba& colour) {
    if (sameRgb(colour, colourGreen)) return CduColourName::green;
    if (sameRgb(colour, colourWhite)) return CduColourName::white;
    if (sameRgb(colour, colourYellow)) return CduColourName::yellow;
    if (sameRgb(colour, colourBlack)) return CduColourName::black;
    if (sameRgb(colour, colourMagenta)) return CduColourName::magenta;
    if (sameRgb(colour, colourAmber)) return CduColourName::amber;
    return CduColourName::other;
}

const char* colourNameText(CduColourName name) {
    switch (name) {
        case CduColourName::none:
            return "none";
        case CduColourName::green:
            return "green";
        case CduColourName::white:
            return "white";
        case CduColourName::yellow:
            return "yellow";
        case CduColourName::black:
            return "black";
        case CduColourName::magenta:
            return "magenta";
        case CduColourName::amber:
            return "amber";
        case CduColourName::other:
            return "other";
    }
    return "other";
}

char colourLetter(CduColourName name) {
    switch (name) {
        case CduColourName::none:
            return ' ';
        case CduColourName::green:
            return 'G';
        case CduColourName::white:
            return 'W';
        case CduColourName::yellow:
            return 'Y';
        case CduColourName::black:
            return 'K';
        case CduColourName::magenta:
            return 'M';
        case CduColourName::amber:
            return 'A';
        case CduColourName::other:
            return '?';
    }
    return '?';
}

// --- ScreenSnapshot ---

const ScreenCell& ScreenSnapshot::cell(int row, int column) const {
    static const ScreenCell blank;
    if (row < 0 || row >= rows || column < 0 || column >= columns) return blank;
    return cells_[row * columns + column];
}

std::string ScreenSnapshot::row(int row) const {
    std::string text(columns, ' ');
    for (int c = 0; c < columns; ++c) text[c] = static_cast<char>(cell(row, c).ch);
    return text;
}

std::string ScreenSnapshot::colourRow(int row) const {
    std::string text(columns, ' ');
    for (int c = 0; c < columns; ++c) text[c] = colourLetter(cell(row, c).colour);
    return text;
}

std::string ScreenSnapshot::fontRow(int row) const {
    std::string text(columns, ' ');
    for (int c = 0; c < columns; ++c) {
        int font = cell(row, c).font;
        text[c] = font == 0 ? 'L' : font == 1 ? 'M' : ' ';
    }
    return text;
}

bool ScreenSnapshot::isBlank() const {
    for (const ScreenCell& c : cells_) {
        if (c.draws > 0) return false;
    }
    return true;
}

int ScreenSnapshot::overdrawnCells() const {
    int count = 0;
    for (const ScreenCell& c : cells_) count += c.draws > 1 ? 1 : 0;
    return count;
}

std::string ScreenSnapshot::dump() const {
    std::string out = "    +------------------------+  colours\n";
    for (int r = 0; r < rows; ++r) {
        char label[8];
        std::snprintf(label, sizeof label, "%3d |", r);
        out += label;
        for (int c = 0; c < columns; ++c) appendPrintable(out, cell(r, c).ch);
        out += "|  ";
        out += colourRow(r);
        out += '\n';
    }
    out += "    +------------------------+\n";
    return out;
}

std::string ScreenSnapshot::diff(std::string_view picture) const {
    if (!picture.empty() && picture.front() == '\n') picture.remove_prefix(1);
    std::vector<std::string> expected;
    while (!picture.empty()) {
        size_t end = picture.find('\n');
        std::string_view line = picture.substr(0, end);
        expected.emplace_back(line);
        if (end == std::string_view::npos) break;
        picture.remove_prefix(end + 1);
    }
    bool equal = expected.size() <= static_cast<size_t>(rows);
    for (int r = 0; r < rows && equal; ++r) {
        std::string want = r < static_cast<int>(expected.size()) ? expected[r] : std::string();
        if (want.size() > static_cast<size_t>(columns)) {
            equal = false;
            break;
        }
        want.resize(columns, ' ');
        equal = want == row(r);
    }
    if (equal) return {};
    std::string out = "screen differs from the expected picture\nexpected:\n";
    for (size_t r = 0; r < expected.size(); ++r) {
        out += "    |";
        for (char ch : expected[r]) appendPrintable(out, static_cast<unsigned char>(ch));
        out += "|\n";
    }
    out += "actual:\n";
    out += dump();
    return out;
}

void ScreenSnapshot::clear() {
    cells_.fill(ScreenCell{});
}

void ScreenSnapshot::put(int row, int column, unsigned char ch, CduColourName colour, int font) {
    if (row < 0 || row >= rows || column < 0 || column >= columns) return;
    ScreenCell& c = cells_[row * columns + column];
    c.ch = ch;
    c.colour = colour;
    c.font = static_cast<int8_t>(font);
    if (c.draws < 255) ++c.draws;
}

// --- RecordingRenderer ---

RecordingRenderer::RecordingRenderer() {
    clear();
}

bool RecordingRenderer::createFont(int fontIndex, const char*, float height, int,
                                   GlyphMetrics (&metrics)[glyphCount]) {
    if (fontIndex < 0 || fontIndex > 1) return false;
    // Fixed metrics: every generated code (0..254) is one column pitch wide at the text scale.
    for (int code = 0; code < glyphCount; ++code) {
        GlyphMetrics& m = metrics[code];
        const bool generated = code < glyphCount - 1;
        m.blackBoxX = generated ? 0.5f * height : 0.0f;
        m.blackBoxY = generated ? 0.73f * height : 0.0f;
        m.originX = generated ? 0.05f * height : 0.0f;
        m.originY = generated ? 0.73f * height : 0.0f;
        m.cellIncX = generated ? cellIncrement * height : 0.0f;
        m.cellIncY = 0.0f;
    }
    fontsCreated_[fontIndex] = true;
    return true;
}

void RecordingRenderer::deleteFonts() {
    fontsCreated_[0] = fontsCreated_[1] = false;
}

bool RecordingRenderer::fontCreated(int fontIndex) const {
    return fontIndex >= 0 && fontIndex <= 1 && fontsCreated_[fontIndex];
}

bool RecordingRenderer::loadBezelTexture(int components, int width, int height, const uint8_t* pixels) {
    if ((components != 3 && components != 4) || width <= 0 || height <= 0 || pixels == nullptr) return false;
    textureWidth_ = width;
    textureHeight_ = height;
    return true;
}

void RecordingRenderer::setViewport(int width, int height) {
    viewportWidth_ = width;
    viewportHeight_ = height;
}

void RecordingRenderer::clear() {
    stack_.assign(1, Matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    inPage_ = true;
    pageCoordinatesSet_ = false;
    underflows_ = 0;
    snapshot_.clear();
    texts_.clear();
    textBuffer_.clear();
    lists_.clear();
    lines_.clear();
    offGridGlyphs_ = 0;
    bezelDraws_ = 0;
}

void RecordingRenderer::beginFrame() {
    clear();
    // Until the page is placed, the matrix is the window's, not the page's.
    inPage_ = false;
    ++framesBegun_;
}

void RecordingRenderer::beginPageCoordinates() {
    stack_.back() = Matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    inPage_ = true;
    pageCoordinatesSet_ = true;
}

void RecordingRenderer::pushMatrix() {
    stack_.push_back(stack_.back());
}

void RecordingRenderer::popMatrix() {
    if (stack_.size() > 1) {
        stack_.pop_back();
    } else {
        ++underflows_;
    }
}

void RecordingRenderer::multiply(const Matrix& right) {
    const Matrix left = stack_.back();
    Matrix& out = stack_.back();
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += left[k * 4 + row] * right[column * 4 + k];
            out[column * 4 + row] = sum;
        }
    }
}

void RecordingRenderer::translate(float x, float y, float z) {
    Matrix& m = stack_.back();
    for (int row = 0; row < 4; ++row) m[12 + row] += m[row] * x + m[4 + row] * y + m[8 + row] * z;
}

void RecordingRenderer::scale(float x, float y, float z) {
    Matrix& m = stack_.back();
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void RecordingRenderer::rotate(float degrees, float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return;
    x /= length;
    y /= length;
    z /= length;
    const float radians = degrees * std::numbers::pi_v<float> / 180.0f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const float t = 1.0f - c;
    // The rotation matrix of the fixed-function pipeline, column-major.
    // clang-format off
    multiply(Matrix{t * x * x + c,     t * x * y + s * z, t * x * z - s * y, 0,
                    t * x * y - s * z, t * y * y + c,     t * y * z + s * x, 0,
                    t * x * z + s * y, t * y * z - s * x, t * z * z + c,     0,
                    0,                 0,                 0,                 1});
    // clang-format on
}

void RecordingRenderer::setColour(const Rgba& colour) {
    colour_ = colour;
    colourName_ = classifyColour(colour);
}

void RecordingRenderer::drawLine(float x0, float y0, float x1, float y1) {
    const Matrix& m = stack_.back();
    LineRecord line;
    line.x0 = m[0] * x0 + m[4] * y0 + m[12];
    line.y0 = m[1] * x0 + m[5] * y0 + m[13];
    line.x1 = m[0] * x1 + m[4] * y1 + m[12];
    line.y1 = m[1] * x1 + m[5] * y1 + m[13];
    line.colour = colour_;
    line.width = lineWidth_;
    line.inPage = inPage_;
    lines_.push_back(line);
}

Placement RecordingRenderer::placement() const {
    const Matrix& m = stack_.back();
    Placement p;
    p.colour = colour_;
    p.colourName = colourName_;
    p.x = m[12];
    p.y = m[13];
    // The primitive's own x axis is the first column; its y axis the second. A mirrored
    // placement (negative determinant) shows as a negative y scale.
    p.scaleX = std::hypot(m[0], m[1]);
    const float cross = m[0] * m[5] - m[1] * m[4];
    p.scaleY = p.scaleX > 0.0f ? cross / p.scaleX : std::hypot(m[4], m[5]);
    p.rotation = std::atan2(m[1], m[0]) * 180.0f / std::numbers::pi_v<float>;
    p.inPage = inPage_;
    return p;
}

void RecordingRenderer::callList(CduList list) {
    ListRecord record;
    static_cast<Placement&>(record) = placement();
    record.list = list;
    record.lineWidth = lineWidth_;
    lists_.push_back(record);
}

void RecordingRenderer::placeGlyph(float x, int row, unsigned char code, int font) {
    // Blanks and codes without a glyph (controls, no-break space) leave the cell as it was.
    if (code <= 32 || (code >= 127 && code <= 160) || code == glyphCount - 1) return;
    const int column = nearestColumn(x);
    if (column < 0 || row < 0) {
        ++offGridGlyphs_;
        return;
    }
    snapshot_.put(row, column, code, colourName_, font);
}

void RecordingRenderer::drawGlyphs(int fontIndex, const unsigned char* codes, int count) {
    if (codes == nullptr || count <= 0) return;
    Matrix& m = stack_.back();
    TextRecord record;
    static_cast<Placement&>(record) = placement();
    record.font = fontIndex;
    record.offset = textBuffer_.size();
    record.length = static_cast<size_t>(count);
    textBuffer_.append(reinterpret_cast<const char*>(codes), static_cast<size_t>(count));
    texts_.push_back(record);

    // Glyph i starts at the origin moved along the text's x axis by the increments before it.
    float advance = 0.0f;
    const bool horizontal = m[1] == 0.0f;
    int firstRow = -1;
    for (int i = 0; i < count; ++i) {
        if (inPage_) {
            // Text runs along x on every page: its row is found once.
            const int row = (horizontal && i > 0) ? firstRow : nearestRow(m[13] + m[1] * advance);
            if (i == 0) firstRow = row;
            placeGlyph(m[12] + m[0] * advance, row, codes[i], fontIndex);
        }
        if (codes[i] != glyphCount - 1) advance += cellIncrement;
    }
    translate(advance, 0.0f, 0.0f);
}

bool RecordingRenderer::captureScreen(int& width, int& height, std::vector<uint8_t>& rgb) {
    width = height = 0;
    rgb.clear();
    return false;
}

std::string_view RecordingRenderer::text(const TextRecord& record) const {
    if (record.offset + record.length > textBuffer_.size()) return {};
    return std::string_view(textBuffer_).substr(record.offset, record.length);
}

std::vector<ListRecord> RecordingRenderer::listsOf(CduList list) const {
    std::vector<ListRecord> out;
    for (const ListRecord& record : lists_) {
        if (record.list == list) out.push_back(record);
    }
    return out;
}

void installRecordingRenderer(RecordingRenderer& recorder) {
    fms().platform.renderer = &recorder;
    initRenderState();
    createCduFont("CDU_Med", fontMed, 1.0f, 700);
    createCduFont("CDU_Large", fontLarge, 1.0f, 700);
    buildDisplayLists();
}
