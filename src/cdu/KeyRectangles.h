#pragma once

#include <array>
#include <string_view>

// Where the 63 CDU keys lie on the bezel picture, in percent of the picture (x from the
// left edge, y from the top edge). The mouse hit test and the bezel picture generator both
// use this one table, so the drawn keys and the clickable keys cannot drift apart.

struct KeyRect {
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    float bottom = 0.0f;
};

// Bounds are inclusive on all four sides.
constexpr bool rectContains(const KeyRect& r, float x, float y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

enum class KeyGroup { Lsk, Function, Pad, Alpha };

struct KeyRectangles {
    std::array<KeyRect, 10> lsk{};       // L1..L5, R1..R5
    std::array<KeyRect, 12> function{};  // two rows of six
    std::array<KeyRect, 15> pad{};       // 0..13 the keypad grid, 14 ENTER
    std::array<KeyRect, 26> alpha{};     // A..Z
    // A click responds only inside its group's bounding area as well as inside a key; the
    // parts of key rectangles that reach past their area (the lowest band of L5/R5, the
    // right part of the letter column 6, the lower part of the letter row 3) are dead.
    KeyRect leftLskArea;
    KeyRect rightLskArea;
    KeyRect padArea;
    KeyRect enterArea;
    KeyRect alphaArea;
    KeyRect functionArea;
};

// Computes the rectangles in single precision, each position as
// index * gap + origin + index * size, so that boundary clicks land exactly as laid out.
KeyRectangles computeKeyRectangles();

// One CDU key: its group and code, the name tests and tools call it by, and the legend
// printed on the bezel (empty for the keys without one).
struct CduKey {
    KeyGroup group;
    int code;
    std::string_view name;
    std::string_view legend;
};

// All 63 keys: L1..L5, R1..R5, the function keys, the keypad with ENTER, the letters.
const std::array<CduKey, 63>& cduKeys();

// The key called `name` ("L1", "FPL", "ONOFF", "PLUSMINUS", "ENTER", "BACK", "A", "7", ...);
// null when there is none.
const CduKey* findCduKey(std::string_view name);

// The key's rectangle and the bounding area that gates it.
const KeyRect& keyRect(const KeyRectangles& rects, const CduKey& key);
const KeyRect& keyArea(const KeyRectangles& rects, const CduKey& key);
