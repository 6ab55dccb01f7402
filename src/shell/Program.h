#pragma once

#include <cstdint>
#include <string>

// The program's life outside the window system: start-up, one-time graphics set-up, the
// per-frame cycle and the end. The windowed program (platform/sdl) and the headless test
// harness drive the same functions.

// The frame's sample of the process clock.
struct ClockSample {
    int seconds = 0;
    int milliseconds = 0;
};

// Milliseconds of the process clock and their whole seconds (zero without a clock).
ClockSample sampleClock();

// Seconds since the performance-counter value in `counter`, which then holds the current
// value. A counter of 0 gives the time since the counter's origin.
float elapsedSeconds(int64_t& counter);

// Start-up before the window: opens the simulator link, writes a default FMS.ini when there
// is none and reads it.
void startProgram();

// The window title: "FMS DEMO - " and the maker's address.
std::string windowTitle();

enum class GraphicsInit { Ok, Failed, MissingBezel, SharedMemoryFailed };

// One-time set-up once the rendering context is current: data path record, drawing state,
// fonts, shared shapes, bezel picture, key rectangles, the database object, the block shared
// with the other unit. A missing or unreadable bezel picture gives MissingBezel (the program
// then ends with status 0), a shared block that cannot be made SharedMemoryFailed (status 1).
GraphicsInit initGraphics();

// One frame: the link check in even seconds, the aircraft state, the CDU. False when the
// simulator link is gone (the "DEMO ERROR" box has been shown): the main loop ends.
bool runFrame();

// The Escape character was typed: the main loop ends at its next idle pass.
bool escapeRequested();

// At the end: FMS.ini written with the current settings (when it can be opened) and read
// back, then the fonts released and the link closed.
void endProgram();
