#include "cdu/KeyInput.h"

#include <array>

#include "cdu/CduState.h"
#include "platform/Platform.h"
#include "platform/Window.h"
#include "cdu/WindowControl.h"

namespace {

// Index of the last rectangle in [first, last) that contains the point, or -1. Rectangles of
// one group do not overlap, so "last" only matters for a point on a shared edge.
template <typename Array>
int lastHit(const Array& keys, int first, int last, float x, float y) {
    int hit = -1;
    for (int i = first; i < last; ++i) {
        if (rectContains(keys[i], x, y)) hit = i;
    }
    return hit;
}

// What a point hits in one key group: whether it lies in the group's bounding area and, if
// so, the key under it (-1 between keys).
enum class Slot { Lsk, Pad, Alpha, Function };
struct GroupHit {
    Slot slot;
    bool inArea;
    int key;
};

// The six groups in the order the hit test applies them.
std::array<GroupHit, 6> hitGroups(const KeyRectangles& r, float x, float y) {
    auto hit = [&](Slot slot, const KeyRect& area, const auto& keys, int first, int last) {
        GroupHit h{slot, rectContains(area, x, y), -1};
        if (h.inArea) h.key = lastHit(keys, first, last, x, y);
        return h;
    };
    return {hit(Slot::Lsk, r.leftLskArea, r.lsk, 0, 5),
            hit(Slot::Lsk, r.rightLskArea, r.lsk, 5, 10),
            hit(Slot::Pad, r.padArea, r.pad, 0, kPadEnter),
            hit(Slot::Pad, r.enterArea, r.pad, kPadEnter, kPadEnter + 1),
            hit(Slot::Alpha, r.alphaArea, r.alpha, 0, kAlphaCount),
            hit(Slot::Function, r.functionArea, r.function, 0, kFunctionKeyCount)};
}

int& pendingSlot(KeyState& keys, Slot slot) {
    switch (slot) {
        case Slot::Lsk:
            return keys.pendingLsk;
        case Slot::Pad:
            return keys.pendingPadKey;
        case Slot::Alpha:
            return keys.pendingAlphaKey;
        case Slot::Function:
            break;
    }
    return keys.pendingFunctionKey;
}

bool inKeyboardRange(int code) {
    return code >= 0 && code <= 255;
}

bool acceptedKeyDown(int code, bool hardwareMode) {
    if (code >= 37 && code <= 40) return true;
    if (hardwareMode) {
        return code == 98 || code == 100 || code == 102 || code == 104 || code == 107 || code == 109;
    }
    return code >= 48 && code <= 122;
}

// Consumes keyDown[code] and reports whether it was set.
bool takeKey(KeyState& keys, int code) {
    if (keys.keyDown[code] == 0) return false;
    keys.keyDown[code] = 0;
    return true;
}

// The letter key of a window action together with the action entry; both are consumed.
bool takeWindowAction(KeyState& keys, char letter) {
    if (keys.keyDown[static_cast<unsigned char>(letter)] == 0 || keys.keyDown[kWindowActionEntry] == 0) {
        return false;
    }
    keys.keyDown[static_cast<unsigned char>(letter)] = 0;
    keys.keyDown[kWindowActionEntry] = 0;
    return true;
}

float percentOf(int pixels, int extent) {
    if (extent <= 0) return -1.0f;  // no viewport yet: nothing can be hit
    return static_cast<float>(pixels) / static_cast<float>(extent) * 100.0f;
}

}  // namespace

void hitTestKeys(float x, float y) {
    KeyState& keys = cduState().keys;
    for (const GroupHit& h : hitGroups(cduState().keyRects, x, y)) {
        if (h.key >= 0) pendingSlot(keys, h.slot) = h.key;
    }
}

void handleMouseDown(int x, int y) {
    const Settings& s = platform().settings;
    hitTestKeys(percentOf(x, s.windowWidth), percentOf(y, s.windowHeight));
    typeIntoScratchpad();
}

void handleKeyDown(int code) {
    if (!inKeyboardRange(code) || !acceptedKeyDown(code, platform().settings.hardwareMode)) return;
    cduState().keys.keyDown[code] = 1;
}

void handleKeyUp(int code) {
    // A typed Escape stays recorded until the main loop sees it, even when the key comes up
    // before the loop's next idle pass.
    if (!inKeyboardRange(code) || code == kEscapeChar) return;
    cduState().keys.keyDown[code] = 0;
}

void handleChar(int code) {
    if (inKeyboardRange(code)) cduState().keys.keyDown[code] = 1;
    // In hardware mode the PC keyboard only ends the program (Escape); CDU keys come from
    // the mouse and the hardware keypad.
    if (!platform().settings.hardwareMode) mapKeyboard();
    typeIntoScratchpad();
}

void mapKeyboard() {
    KeyState& keys = cduState().keys;
    for (int i = 0; i < kAlphaCount; ++i) {
        if (keys.keyDown['A' + i] != 0 && keys.keyDown[kWindowActionEntry] == 0) {
            keys.pendingAlphaKey = i;
            keys.keyDown['A' + i] = 0;
        }
    }
    for (int digit = 1; digit <= 9; ++digit) {
        if (takeKey(keys, '0' + digit)) keys.pendingPadKey = digit - 1;
    }
    if (takeKey(keys, '0')) keys.pendingPadKey = kPadZero;
    if (takeKey(keys, kBackspaceChar)) keys.pendingPadKey = kPadBack;
    if (takeKey(keys, kEnterChar)) keys.pendingPadKey = kPadEnter;
    if (takeWindowAction(keys, 'F')) toggleWindowFrame();
    if (takeWindowAction(keys, 'R')) rotateDisplay();
}

void typeIntoScratchpad() {
    KeyState& keys = cduState().keys;
    if (keys.pendingPadKey == kPadEnter) {
        // An ENTER waits for the page with the text as it was typed. A letter typed after it
        // means no page took it (INIT has no use for ENTER): it was not meant for the text
        // that follows, as a digit typed after it replaces it too.
        if (keys.pendingAlphaKey == kAlphaNone) return;
        keys.pendingPadKey = kPadNone;
    }
    if (keys.pendingPadKey == kPadNone && keys.pendingAlphaKey == kAlphaNone) return;
    if (keys.pendingPadKey == kPadBack) {
        if (!keys.scratchpad.empty()) keys.scratchpad.pop_back();
        keys.pendingPadKey = kPadNone;
    }
    if (isPadDigit(keys.pendingPadKey)) {
        keys.scratchpad += padDigitChar(keys.pendingPadKey);
        keys.pendingPadKey = kPadNone;
        return;
    }
    if (keys.pendingAlphaKey != kAlphaNone) {
        keys.scratchpad += static_cast<char>('A' + keys.pendingAlphaKey);
        keys.pendingAlphaKey = kAlphaNone;
    }
}

void resetLsk() {
    cduState().keys.pendingLsk = kLskNone;
}
void resetFunctionKey() {
    cduState().keys.pendingFunctionKey = kFunctionNone;
}
void resetPadKey() {
    cduState().keys.pendingPadKey = kPadNone;
}
void resetAlphaKey() {
    cduState().keys.pendingAlphaKey = kAlphaNone;
}
void clearScratchpad() {
    cduState().keys.scratchpad.clear();
}

HoverCursor hoverCursorAt(const KeyRectangles& r, float x, float y) {
    bool inArea = false;
    for (const GroupHit& h : hitGroups(r, x, y)) {
        if (h.key >= 0) return HoverCursor::Hand;
        inArea = inArea || h.inArea;
    }
    return inArea ? HoverCursor::Unchanged : HoverCursor::Arrow;
}

void updateHoverCursor() {
    Window* window = platform().window;
    if (window == nullptr) return;
    int x = 0;
    int y = 0;
    HoverCursor cursor = HoverCursor::Arrow;
    if (window->pointerPosition(x, y)) {
        const Settings& s = platform().settings;
        cursor = hoverCursorAt(cduState().keyRects, percentOf(x, s.windowWidth), percentOf(y, s.windowHeight));
    }
    if (cursor == HoverCursor::Hand) window->setCursor(CursorShape::Hand);
    if (cursor == HoverCursor::Arrow) window->setCursor(CursorShape::Arrow);
}
