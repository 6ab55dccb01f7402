#include <gtest/gtest.h>

#include <string>

#include "Harness.h"
#include "cdu/KeyInput.h"
#include "shell/Fms.h"

namespace {

// A fresh unit with the bezel viewport of a 540 x 600 window.
struct KeyFixture : ::testing::Test {
    Fms context;
    ScopedFms current{context};
    KeyState& keys = context.cdu.keys;

    KeyFixture() {
        context.platform.settings.windowWidth = 540;
        context.platform.settings.windowHeight = 600;
    }
    // Names of the keys left pending ("L5", "A+B" for two, "" for none).
    std::string pendingKeys() const {
        const int pending[] = {keys.pendingLsk, keys.pendingFunctionKey, keys.pendingPadKey,
                               keys.pendingAlphaKey};
        std::string names;
        for (const CduKey& key : cduKeys()) {
            if (pending[static_cast<int>(key.group)] == key.code)
                names += (names.empty() ? "" : "+") + std::string(key.name);
        }
        return names;
    }
    // The keys a fresh hit test at (x, y) percent leaves pending.
    std::string hit(float x, float y) {
        keys = KeyState{};
        hitTestKeys(x, y);
        return pendingKeys();
    }
};

using KeyHitTest = KeyFixture;
using KeyTyping = KeyFixture;

}  // namespace

TEST(KeyRectangles, KeysLieWhereTheLayoutPutsThem) {
    const KeyRectangles r = computeKeyRectangles();
    // Hand values: FPL at column 1, row 1 of the function keys; O starts the third letter row
    // at column 1; +/- at column 1, row 4 of the keypad.
    EXPECT_NEAR(r.function[kFnFpl].left, 14.75f, 1e-4);
    EXPECT_NEAR(r.function[kFnFpl].top, 57.99f, 1e-4);
    EXPECT_NEAR(r.alpha[14].left, 13.78f, 1e-4);
    EXPECT_NEAR(r.alpha[14].top, 83.95f, 1e-4);
    EXPECT_NEAR(r.pad[kPadPlusMinus].left, 77.7f, 1e-4);
    EXPECT_NEAR(r.pad[kPadPlusMinus].bottom, 86.5f, 1e-4);
}

TEST_F(KeyHitTest, TheCentreOfEveryKeyPressesThatKeyAndNothingElse) {
    for (const CduKey& key : cduKeys()) {
        const KeyRect& rect = keyRect(context.cdu.keyRects, key);
        const float x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
        EXPECT_EQ(hit(x, y), key.name);
        EXPECT_EQ(hoverCursorAt(context.cdu.keyRects, x, y), HoverCursor::Hand) << key.name;
    }
}

TEST_F(KeyHitTest, BoundingAreasCutOffKeysBoundsAreInclusiveAndGapsHitNothing) {
    EXPECT_EQ(hit(5.0f, 47.5f), "L5");
    EXPECT_EQ(hit(5.0f, 47.7f), "");  // below the group's area
    EXPECT_EQ(hit(93.0f, 47.5f), "R5");
    EXPECT_EQ(hit(93.0f, 47.7f), "");
    EXPECT_EQ(hit(63.0f, 70.0f), "G");
    EXPECT_EQ(hit(65.0f, 70.0f), "");  // right of the letters' area
    EXPECT_EQ(hit(60.0f, 96.5f), "Z");
    EXPECT_EQ(hit(60.0f, 97.0f), "");
    EXPECT_EQ(hit(92.0f, 83.0f), "");  // the fifth keypad row has no third key
    EXPECT_EQ(hit(80.0f, 94.0f), "ENTER");
    EXPECT_EQ(hit(5.0f, 21.0f), "");   // between L1 and L2
    EXPECT_EQ(hit(13.5f, 55.0f), "");  // between DATA and NAV
    const KeyRect l1 = context.cdu.keyRects.lsk[0];
    EXPECT_EQ(hit(l1.left, l1.top), "L1");
    EXPECT_EQ(hit(l1.right, l1.bottom), "L1");
    EXPECT_EQ(hoverCursorAt(context.cdu.keyRects, 13.5f, 55.0f), HoverCursor::Unchanged);
    EXPECT_EQ(hoverCursorAt(context.cdu.keyRects, 50.0f, 30.0f), HoverCursor::Arrow);  // the screen
    EXPECT_EQ(hoverCursorAt(context.cdu.keyRects, 5.0f, 47.7f), HoverCursor::Arrow);
}

TEST_F(KeyHitTest, MouseClicksAreMeasuredInPercentOfTheViewport) {
    // L1 spans x 13.5..48.7 px and y 93.6..120.2 px of a 540 x 600 viewport.
    handleMouseDown(14, 94);
    EXPECT_EQ(keys.pendingLsk, 0);
    keys = KeyState{};
    handleMouseDown(13, 94);
    EXPECT_EQ(keys.pendingLsk, kLskNone);
    // Without a viewport nothing is hit (and nothing divides by zero); G lies at 340, 440.
    context.platform.settings.windowWidth = 0;
    handleMouseDown(340, 440);
    EXPECT_EQ(keys.scratchpad, "");
}

TEST_F(KeyTyping, LettersAndDigitsTypeBackDeletesEnterWaitsForThePage) {
    typeOnPcKeyboard("a5Z");
    EXPECT_EQ(keys.scratchpad, "A5Z");
    handleChar(kBackspaceChar);
    EXPECT_EQ(keys.scratchpad, "A5");
    clearScratchpad();
    handleChar(kBackspaceChar);
    EXPECT_EQ(keys.scratchpad, "");
    EXPECT_EQ(keys.pendingPadKey, kPadNone);

    typeOnPcKeyboard("0\n");
    EXPECT_EQ(keys.scratchpad, "0");
    EXPECT_EQ(keys.pendingPadKey, kPadEnter);
    // A letter or a digit typed while an ENTER waits means no page took it: the ENTER goes
    // and the key types (two letters in a row both arrive).
    typeOnPcKeyboard("kq");
    EXPECT_EQ(keys.scratchpad, "0KQ");
    EXPECT_EQ(keys.pendingPadKey, kPadNone);
    typeOnPcKeyboard("\n7");
    EXPECT_EQ(keys.scratchpad, "0KQ7");
    EXPECT_EQ(keys.pendingPadKey, kPadNone);
}

TEST_F(KeyTyping, ALetterAndADigitInOneFrameTypeTheDigitFirst) {
    handleKeyDown('A');
    handleKeyDown('5');
    handleChar('a');
    EXPECT_EQ(keys.scratchpad, "5");
    EXPECT_EQ(keys.pendingAlphaKey, 0);
    // The next typing call (here a click beside the keys) appends the waiting letter.
    handleMouseDown(270, 5);
    EXPECT_EQ(keys.scratchpad, "5A");
}

TEST_F(KeyTyping, TheKeyDownFilterOutOfRangeCodesAndEscape) {
    for (int code : {36, 123, 300, -1}) handleKeyDown(code);  // Home, F12, out of range
    handleKeyUp(999);
    handleChar(256);
    EXPECT_EQ(keys.keyDown[36], 0);
    EXPECT_EQ(keys.keyDown[123], 0);
    handleKeyDown(122);
    EXPECT_EQ(keys.keyDown[122], 1);
    EXPECT_EQ(keys.scratchpad, "");
    // Escape is never consumed, not by its key-up nor by the key mapping.
    handleChar(kEscapeChar);
    handleKeyUp(kEscapeChar);
    typeOnPcKeyboard("b");
    mapKeyboard();
    EXPECT_EQ(keys.keyDown[kEscapeChar], 1);
    EXPECT_EQ(keys.scratchpad, "B");
}

TEST_F(KeyTyping, HardwareModeTypesNothing) {
    context.platform.settings.hardwareMode = true;
    typeOnPcKeyboard("a5\n");
    EXPECT_EQ(keys.scratchpad, "");
    EXPECT_EQ(pendingKeys(), "");
    handleKeyDown(104);  // numeric pad 8 is accepted, letters are not
    handleKeyDown('B');
    EXPECT_EQ(keys.keyDown[104], 1);
    EXPECT_EQ(keys.keyDown['B'], 0);
    // Mouse presses still type.
    handleMouseDown(340, 440);
    EXPECT_EQ(keys.scratchpad, "G");
}

TEST_F(KeyTyping, WindowActionsNeedTheLetterTogetherWithTheActionEntry) {
    handleKeyDown('F');
    handleChar(kWindowActionEntry);
    EXPECT_TRUE(context.platform.settings.frameless);
    for (int expected : {1, 2, 0}) {  // rotation wraps after three steps
        handleKeyDown('R');
        handleChar(kWindowActionEntry);
        EXPECT_EQ(context.cdu.rotationIndex, expected);
    }
    EXPECT_EQ(pendingKeys() + keys.scratchpad, "");
    EXPECT_EQ(keys.keyDown['F'] + keys.keyDown['R'] + keys.keyDown[kWindowActionEntry], 0);  // consumed
    // The action entry alone, or a plain F, does neither.
    handleChar(kWindowActionEntry);
    handleKeyUp(kWindowActionEntry);
    typeOnPcKeyboard("f");
    EXPECT_TRUE(context.platform.settings.frameless);
    EXPECT_EQ(keys.scratchpad, "F");
}
