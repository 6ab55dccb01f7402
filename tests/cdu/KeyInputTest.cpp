#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Fms.h"
#include "cdu/KeyInput.h"

namespace {

// A fresh unit with the bezel viewport of a 540 x 600 window.
struct KeyFixture : ::testing::Test {
    Fms context;
    ScopedFms current{context};
    KeyState& keys = context.cdu.keys;

    KeyFixture() {
        context.shell.settings.windowWidth = 540;
        context.shell.settings.windowHeight = 600;
    }
    void typeChar(char c) {
        // A key of the PC keyboard: key-down with the virtual code (upper-case letter or the
        // digit), then the character.
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        handleKeyDown(upper);
        handleChar(static_cast<unsigned char>(c));
        handleKeyUp(upper);
    }
    bool nothingPending() const {
        return keys.pendingLsk == kLskNone && keys.pendingFunctionKey == kFunctionNone &&
               keys.pendingPadKey == kPadNone && keys.pendingAlphaKey == kAlphaNone;
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
    std::set<std::string_view> names;
    for (const CduKey& key : cduKeys()) names.insert(key.name);
    EXPECT_EQ(names.size(), 63u);
    EXPECT_EQ(findCduKey("F1"), nullptr);
}

TEST_F(KeyHitTest, TheCentreOfEveryKeyPressesThatKeyAndNothingElse) {
    for (const CduKey& key : cduKeys()) {
        keys = KeyState{};
        const KeyRect& rect = keyRect(context.cdu.keyRects, key);
        hitTestKeys((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        const int expectedLsk = key.group == KeyGroup::Lsk ? key.code : kLskNone;
        const int expectedFn = key.group == KeyGroup::Function ? key.code : kFunctionNone;
        const int expectedPad = key.group == KeyGroup::Pad ? key.code : kPadNone;
        const int expectedAlpha = key.group == KeyGroup::Alpha ? key.code : kAlphaNone;
        EXPECT_EQ(keys.pendingLsk, expectedLsk) << key.name;
        EXPECT_EQ(keys.pendingFunctionKey, expectedFn) << key.name;
        EXPECT_EQ(keys.pendingPadKey, expectedPad) << key.name;
        EXPECT_EQ(keys.pendingAlphaKey, expectedAlpha) << key.name;
        EXPECT_EQ(
            hoverCursorAt(context.cdu.keyRects, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2),
            HoverCursor::Hand)
            << key.name;
    }
}

TEST_F(KeyHitTest, BoundingAreasCutOffTheKeysThatReachPastThem) {
    hitTestKeys(5.0f, 47.7f);  // L5 below its group's area
    hitTestKeys(93.0f, 47.7f);
    EXPECT_EQ(keys.pendingLsk, kLskNone);
    hitTestKeys(5.0f, 47.5f);
    EXPECT_EQ(keys.pendingLsk, 4);
    hitTestKeys(93.0f, 47.5f);
    EXPECT_EQ(keys.pendingLsk, 9);

    hitTestKeys(65.0f, 70.0f);  // G right of the letters' area
    EXPECT_EQ(keys.pendingAlphaKey, kAlphaNone);
    hitTestKeys(63.0f, 70.0f);
    EXPECT_EQ(keys.pendingAlphaKey, 6);

    keys.pendingAlphaKey = kAlphaNone;
    hitTestKeys(60.0f, 97.0f);  // lower part of Z
    EXPECT_EQ(keys.pendingAlphaKey, kAlphaNone);
    hitTestKeys(60.0f, 96.5f);
    EXPECT_EQ(keys.pendingAlphaKey, 25);

    // The fifth keypad row has no third key; ENTER has its own rectangle below.
    keys = KeyState{};
    hitTestKeys(92.0f, 83.0f);
    EXPECT_TRUE(nothingPending());
    hitTestKeys(80.0f, 94.0f);
    EXPECT_EQ(keys.pendingPadKey, kPadEnter);
}

TEST_F(KeyHitTest, BoundsAreInclusiveAndGapsHitNothing) {
    const KeyRect l1 = context.cdu.keyRects.lsk[0];
    hitTestKeys(l1.left, l1.top);
    EXPECT_EQ(keys.pendingLsk, 0);
    keys = KeyState{};
    hitTestKeys(l1.right, l1.bottom);
    EXPECT_EQ(keys.pendingLsk, 0);

    keys = KeyState{};
    hitTestKeys(5.0f, 21.0f);   // between L1 (bottom 20.03) and L2 (top 22.54)
    hitTestKeys(13.5f, 55.0f);  // between DATA and NAV
    EXPECT_TRUE(nothingPending());
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

    // A letter click types at once; a click between keys types what is still pending.
    handleMouseDown(340, 440);  // G: x 63 %, y 73.3 %
    EXPECT_EQ(keys.scratchpad, "G");
    EXPECT_EQ(keys.pendingAlphaKey, kAlphaNone);

    // Without a viewport nothing is hit (and nothing divides by zero).
    context.shell.settings.windowWidth = 0;
    handleMouseDown(340, 440);
    EXPECT_EQ(keys.scratchpad, "G");
}

TEST_F(KeyTyping, LettersAndDigitsTypeBackDeletesEnterStaysPending) {
    typeChar('a');
    typeChar('5');
    typeChar('Z');
    EXPECT_EQ(keys.scratchpad, "A5Z");

    handleChar(kBackspaceChar);
    EXPECT_EQ(keys.scratchpad, "A5");
    EXPECT_EQ(keys.pendingPadKey, kPadNone);
    clearScratchpad();
    handleChar(kBackspaceChar);
    EXPECT_EQ(keys.scratchpad, "");
    EXPECT_EQ(keys.pendingPadKey, kPadNone);

    typeChar('0');
    handleChar(kEnterChar);
    EXPECT_EQ(keys.scratchpad, "0");
    EXPECT_EQ(keys.pendingPadKey, kPadEnter);
    // A pending ENTER holds letters back until a page consumes it; a newer digit replaces it.
    typeChar('k');
    EXPECT_EQ(keys.scratchpad, "0");
    EXPECT_EQ(keys.pendingAlphaKey, 'K' - 'A');
    resetPadKey();
    typeChar('7');
    EXPECT_EQ(keys.scratchpad, "07");
    typeIntoScratchpad();
    EXPECT_EQ(keys.scratchpad, "07K");
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

TEST_F(KeyTyping, PadKeysWithoutCharactersStayPendingForThePages) {
    keys.pendingPadKey = kPadOnOff;
    keys.pendingAlphaKey = 3;
    typeIntoScratchpad();
    EXPECT_EQ(keys.scratchpad, "D");
    EXPECT_EQ(keys.pendingPadKey, kPadOnOff);
}

TEST_F(KeyTyping, TheKeyDownFilterAndOutOfRangeCodes) {
    for (int code : {36, 123, 300, -1}) handleKeyDown(code);  // Home, F12, out of range
    handleKeyUp(999);
    handleChar(256);
    EXPECT_EQ(keys.keyDown[36], 0);
    EXPECT_EQ(keys.keyDown[123], 0);
    handleKeyDown(122);
    EXPECT_EQ(keys.keyDown[122], 1);
    EXPECT_EQ(keys.scratchpad, "");
}

TEST_F(KeyTyping, HardwareModeTypesNothingButEscapeStillCounts) {
    context.shell.settings.hardwareMode = true;
    typeChar('a');
    typeChar('5');
    handleChar(kEnterChar);
    EXPECT_EQ(keys.scratchpad, "");
    EXPECT_TRUE(nothingPending());
    EXPECT_EQ(keys.keyDown['A'], 0);
    handleKeyDown(104);  // numeric pad 8 is accepted, letters are not
    handleKeyDown('B');
    EXPECT_EQ(keys.keyDown[104], 1);
    EXPECT_EQ(keys.keyDown['B'], 0);
    // Mouse presses still type.
    handleMouseDown(340, 440);
    EXPECT_EQ(keys.scratchpad, "G");
    handleChar(kEscapeChar);
    EXPECT_EQ(keys.keyDown[kEscapeChar], 1);
}

TEST_F(KeyTyping, EscapeIsNeverConsumed) {
    handleChar(kEscapeChar);
    handleKeyUp(kEscapeChar);
    typeChar('b');
    mapKeyboard();
    EXPECT_EQ(keys.keyDown[kEscapeChar], 1);
    EXPECT_EQ(keys.scratchpad, "B");
}

TEST_F(KeyTyping, WindowActionsNeedTheLetterTogetherWithTheActionEntry) {
    handleKeyDown('F');
    handleChar(kWindowActionEntry);
    EXPECT_TRUE(context.shell.settings.frameless);
    EXPECT_EQ(keys.keyDown['F'], 0);
    EXPECT_EQ(keys.keyDown[kWindowActionEntry], 0);
    EXPECT_EQ(keys.scratchpad, "");
    EXPECT_EQ(keys.pendingAlphaKey, kAlphaNone);

    for (int expected : {1, 2, 0}) {
        handleKeyDown('R');
        handleChar(kWindowActionEntry);
        EXPECT_EQ(context.shell.rotationIndex, expected);
    }
    // The action entry alone, or a plain F, does neither.
    handleChar(kWindowActionEntry);
    handleKeyUp(kWindowActionEntry);
    typeChar('f');
    EXPECT_TRUE(context.shell.settings.frameless);
    EXPECT_EQ(keys.scratchpad, "F");
}
