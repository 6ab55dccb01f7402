#include "cdu/KeyRectangles.h"

#include "cdu/KeyCodes.h"

namespace {

// position = index * gap + origin + index * size, evaluated in float in this order.
float keyPosition(int index, float gap, float origin, float size) {
    const float i = static_cast<float>(index);
    return i * gap + origin + i * size;
}

KeyRect gridRect(int column, int row, float originX, float originY, float gapX, float gapY, float width,
                 float height) {
    KeyRect r;
    r.left = keyPosition(column, gapX, originX, width);
    r.right = r.left + width;
    r.top = keyPosition(row, gapY, originY, height);
    r.bottom = r.top + height;
    return r;
}

constexpr std::array<CduKey, 63> kKeys = {{
    {KeyGroup::Lsk, 0, "L1", ""},
    {KeyGroup::Lsk, 1, "L2", ""},
    {KeyGroup::Lsk, 2, "L3", ""},
    {KeyGroup::Lsk, 3, "L4", ""},
    {KeyGroup::Lsk, 4, "L5", ""},
    {KeyGroup::Lsk, 5, "R1", ""},
    {KeyGroup::Lsk, 6, "R2", ""},
    {KeyGroup::Lsk, 7, "R3", ""},
    {KeyGroup::Lsk, 8, "R4", ""},
    {KeyGroup::Lsk, 9, "R5", ""},
    {KeyGroup::Function, kFnData, "DATA", "DATA"},
    {KeyGroup::Function, kFnNav, "NAV", "NAV"},
    {KeyGroup::Function, kFnVnav, "VNAV", "VNAV"},
    {KeyGroup::Function, kFnDto, "DTO", "DTO"},
    {KeyGroup::Function, kFnList, "LIST", "LIST"},
    {KeyGroup::Function, kFnPrev, "PREV", "PREV"},
    {KeyGroup::Function, kFnFuel, "FUEL", "FUEL"},
    {KeyGroup::Function, kFnFpl, "FPL", "FPL"},
    {KeyGroup::Function, kFnBlank8, "FN8", ""},
    {KeyGroup::Function, kFnBlank9, "FN9", ""},
    {KeyGroup::Function, kFnMenu, "MENU", "MENU"},
    {KeyGroup::Function, kFnNext, "NEXT", "NEXT"},
    {KeyGroup::Pad, 0, "1", "1"},
    {KeyGroup::Pad, 1, "2", "2"},
    {KeyGroup::Pad, 2, "3", "3"},
    {KeyGroup::Pad, 3, "4", "4"},
    {KeyGroup::Pad, 4, "5", "5"},
    {KeyGroup::Pad, 5, "6", "6"},
    {KeyGroup::Pad, 6, "7", "7"},
    {KeyGroup::Pad, 7, "8", "8"},
    {KeyGroup::Pad, 8, "9", "9"},
    {KeyGroup::Pad, kPadBack, "BACK", "BACK"},
    {KeyGroup::Pad, kPadZero, "0", "0"},
    {KeyGroup::Pad, kPadBlank, "PAD11", ""},
    {KeyGroup::Pad, kPadOnOff, "ONOFF", "ON/OFF/DIM"},
    {KeyGroup::Pad, kPadPlusMinus, "PLUSMINUS", "+/-"},
    {KeyGroup::Pad, kPadEnter, "ENTER", "ENTER"},
    {KeyGroup::Alpha, 0, "A", "A"},
    {KeyGroup::Alpha, 1, "B", "B"},
    {KeyGroup::Alpha, 2, "C", "C"},
    {KeyGroup::Alpha, 3, "D", "D"},
    {KeyGroup::Alpha, 4, "E", "E"},
    {KeyGroup::Alpha, 5, "F", "F"},
    {KeyGroup::Alpha, 6, "G", "G"},
    {KeyGroup::Alpha, 7, "H", "H"},
    {KeyGroup::Alpha, 8, "I", "I"},
    {KeyGroup::Alpha, 9, "J", "J"},
    {KeyGroup::Alpha, 10, "K", "K"},
    {KeyGroup::Alpha, 11, "L", "L"},
    {KeyGroup::Alpha, 12, "M", "M"},
    {KeyGroup::Alpha, 13, "N", "N"},
    {KeyGroup::Alpha, 14, "O", "O"},
    {KeyGroup::Alpha, 15, "P", "P"},
    {KeyGroup::Alpha, 16, "Q", "Q"},
    {KeyGroup::Alpha, 17, "R", "R"},
    {KeyGroup::Alpha, 18, "S", "S"},
    {KeyGroup::Alpha, 19, "T", "T"},
    {KeyGroup::Alpha, 20, "U", "U"},
    {KeyGroup::Alpha, 21, "V", "V"},
    {KeyGroup::Alpha, 22, "W", "W"},
    {KeyGroup::Alpha, 23, "X", "X"},
    {KeyGroup::Alpha, 24, "Y", "Y"},
    {KeyGroup::Alpha, 25, "Z", "Z"},
}};

}  // namespace

KeyRectangles computeKeyRectangles() {
    KeyRectangles k;

    // Line select keys: five rows beside the screen on each side.
    k.leftLskArea = {2.5f, 9.02f, 15.6f, 47.59f};
    k.rightLskArea = {90.47f, 96.99f, 15.6f, 47.59f};
    for (int i = 0; i < 5; ++i) {
        const float top = keyPosition(i, 2.51f, 15.6f, 4.43f);
        const float bottom = top + 4.43f;
        k.lsk[i] = {2.5f, 9.02f, top, bottom};
        k.lsk[i + 5] = {90.47f, 96.99f, top, bottom};
    }

    // Numeric keypad: 3 columns x 5 rows; the fifth row holds only ON/OFF/DIM and +/-.
    k.padArea = {67.4f, 96.4f, 50.5f, 88.0f};
    for (int code = 0; code < kPadEnter; ++code) {
        k.pad[code] = gridRect(code % 3, code / 3, 67.4f, 50.5f, 2.0f, 2.0f, 8.3f, 5.6f);
    }
    k.enterArea = {67.53f, 85.22f, 90.85f, 97.55f};
    k.pad[kPadEnter] = k.enterArea;

    // Letters: rows 0 and 1 hold seven keys from column 0, rows 2 and 3 six from column 1.
    k.alphaArea = {4.76f, 64.0f, 67.43f, 96.53f};
    for (int i = 0; i < kAlphaCount; ++i) {
        const int row = i < 14 ? i / 7 : 2 + (i - 14) / 6;
        const int column = i < 14 ? i % 7 : 1 + (i - 14) % 6;
        k.alpha[i] = gridRect(column, row, 4.76f, 67.43f, 2.26f, 2.26f, 6.76f, 6.0f);
    }

    // Function keys: two rows of six below the screen.
    k.functionArea = {5.26f, 62.65f, 51.06f, 64.35f};
    for (int code = 0; code < kFunctionKeyCount; ++code) {
        k.function[code] = gridRect(code % 6, code / 6, 5.26f, 51.06f, 2.25f, 1.34f, 7.24f, 5.59f);
    }
    return k;
}

const std::array<CduKey, 63>& cduKeys() {
    return kKeys;
}

const CduKey* findCduKey(std::string_view name) {
    for (const CduKey& key : kKeys) {
        if (key.name == name) return &key;
    }
    return nullptr;
}

const KeyRect& keyRect(const KeyRectangles& rects, const CduKey& key) {
    switch (key.group) {
        case KeyGroup::Lsk:
            return rects.lsk[key.code];
        case KeyGroup::Function:
            return rects.function[key.code];
        case KeyGroup::Pad:
            return rects.pad[key.code];
        case KeyGroup::Alpha:
            break;
    }
    return rects.alpha[key.code];
}

const KeyRect& keyArea(const KeyRectangles& rects, const CduKey& key) {
    switch (key.group) {
        case KeyGroup::Lsk:
            return key.code < 5 ? rects.leftLskArea : rects.rightLskArea;
        case KeyGroup::Function:
            return rects.functionArea;
        case KeyGroup::Pad:
            return key.code == kPadEnter ? rects.enterArea : rects.padArea;
        case KeyGroup::Alpha:
            break;
    }
    return rects.alphaArea;
}
