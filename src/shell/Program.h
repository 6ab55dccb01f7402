#pragma once

#include <string>

// The program's life: start-up, one-time graphics set-up, the per-frame sequence and the
// end. The main loop (shell/MainLoop) and the headless test harness drive the same functions.

// Start-up before the window: opens the simulator link, writes a default FMS.ini when there
// is none and reads it.
void startProgram();

// The window title: "FMS DEMO - " and the maker's address.
std::string windowTitle();

enum class GraphicsInit { Ok, Failed, MissingBezel, SharedMemoryFailed };

// One-time set-up once the rendering context is current: data path record, the hardware
// keypad search (when enabled), drawing state, fonts, shared shapes, bezel picture, key
// rectangles, the database object, the block shared with the other unit. A missing or
// unreadable bezel picture gives MissingBezel (the program then ends with status 0), a shared
// block that cannot be made SharedMemoryFailed (status 1).
GraphicsInit initGraphics();

// One frame, top to bottom: the link check in even seconds, the aircraft state, the hardware
// keypad poll (when enabled), the clock, the CDU with its current page, the keypad backlight
// following the unit's power, the steps that follow the page. False when the simulator
// link is gone (the "DEMO ERROR" box has been shown): the main loop ends.
bool runFrame();

// The Escape character was typed: the main loop ends at its next idle pass.
bool escapeRequested();

// At the end: FMS.ini written with the current settings (when it can be opened) and read
// back, then the fonts released and the link closed.
void endProgram();
