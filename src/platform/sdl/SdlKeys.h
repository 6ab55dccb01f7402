#pragma once

#include <SDL.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/Window.h"

// Translation of SDL keyboard events into the key model of the CDU: key-down and key-up codes
// numbered as virtual keys, characters as 8-bit codes.

// The virtual-key code of an SDL key: letters 65..90, digits 48..57, arrows 37..40, numeric
// pad 96..111, F1..F12 112..123, Backspace 8, Enter 13, Escape 27, Space 32; -1 otherwise.
int virtualKeyFromSdl(SDL_Keycode key);

// The 8-bit character codes of UTF-8 text; characters beyond Latin-1 and broken sequences
// are dropped.
std::vector<int> latin1FromUtf8(const std::string& text);

// Frame toggle: Ctrl+Shift+F; display rotation: Ctrl+Shift+R. Both are delivered as the
// letter's key-down followed by the window-action character (160).
bool isWindowActionCombination(const SDL_Keysym& key);

// The character that, after a letter's key-down, asks for a window action (frame toggle with
// "F", display rotation with "R").
inline constexpr int kSdlWindowActionChar = 160;

// The window events of one SDL mouse-button, key or text event (none for other events):
// left clicks, key-downs and key-ups as virtual keys, characters as 8-bit codes (Backspace,
// Enter and Escape also as characters, the window-action key combinations as the key-down
// followed by the window-action character), F12 as a screenshot request.
void appendInputEvents(const SDL_Event& event, std::deque<WindowEvent>& out);
