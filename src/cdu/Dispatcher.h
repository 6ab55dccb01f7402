#pragma once

// The CDU part of every frame: keypad poll, hover cursor, clock and once-per-second flag,
// bezel (or the stretched text area in hardware mode), power key, global function keys,
// exactly one page function, the display-control overlay and the dimming overlay, then the
// guidance step on unit 1 and the lift-off hook.
void drawCdu();

// The power key and the global function keys, as drawCdu applies them before the page runs.
void handlePowerKey();
void handleGlobalFunctionKeys();
