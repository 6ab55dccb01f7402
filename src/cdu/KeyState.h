#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cdu/KeyCodes.h"

// Key input state: one pending slot per key group, the pressed-key table of the PC keyboard
// and the scratchpad. Pages test the slots once per frame and reset the one they act on; a
// press no page acts on stays pending, also across page changes.
struct KeyState {
    int pendingLsk = kLskNone;
    int pendingFunctionKey = kFunctionNone;
    int pendingPadKey = kPadNone;
    int pendingAlphaKey = kAlphaNone;
    // Indexed by key-down or character code; 1 = pressed and not yet consumed.
    std::array<uint8_t, 256> keyDown{};
    // The line of typed characters pages read on ENTER or a line select key.
    std::string scratchpad;
};

// keyDown entry that, together with a letter, asks for a window action (frame toggle with
// "F", display rotation with "R"). The key-down filter never sets it; only the character
// code 160 does.
constexpr int kWindowActionEntry = 160;
// The Escape character: once recorded it ends the main loop.
constexpr int kEscapeChar = 27;
constexpr int kBackspaceChar = 8;
constexpr int kEnterChar = 13;
