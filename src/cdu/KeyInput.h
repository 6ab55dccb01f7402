#pragma once

#include "cdu/KeyRectangles.h"

// Key input from the mouse on the bezel picture and from the PC keyboard. Every source only
// sets the pending slot of its group (cduState().keys); digits and letters are typed into
// the scratchpad as they arrive.

// Sets the pending slot of the key under (xPercent, yPercent) of the window, testing the
// groups independently: left LSKs, right LSKs, keypad, ENTER, letters, function keys.
void hitTestKeys(float xPercent, float yPercent);

// A left click at client pixel (x, y): hit test in percent of the viewport, then typing.
void handleMouseDown(int x, int y);

// Key-down and key-up codes are numbered as virtual keys: letters 65..90, digits 48..57,
// arrows 37..40, numeric pad 96..111. Characters are 8-bit codes (8 Backspace, 13 Enter,
// 27 Escape, 160 with a letter for the window actions).
void handleKeyDown(int code);
void handleKeyUp(int code);
void handleChar(int code);

// Turns the recorded keyboard keys into pending CDU keys and runs the window actions.
void mapKeyboard();

// Applies a pending BACK or digit to the scratchpad, else a pending letter. ENTER, ON/OFF/DIM,
// +/- and the unlabelled pad key stay pending for the pages.
void typeIntoScratchpad();

void resetLsk();
void resetFunctionKey();
void resetPadKey();
void resetAlphaKey();
void clearScratchpad();

// The hand cursor on a key, the arrow outside every group's bounding area, and no change
// between the keys of a group.
enum class HoverCursor { Arrow, Hand, Unchanged };
HoverCursor hoverCursorAt(const KeyRectangles& rects, float xPercent, float yPercent);

// Once per frame: sets the cursor shape for the pointer position (no-op without a window).
void updateHoverCursor();
