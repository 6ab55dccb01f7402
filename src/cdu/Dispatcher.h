#pragma once

#include "cdu/PageIds.h"

// The CDU part of every frame, drawing only what the frame's state says: hover cursor, bezel
// (or the stretched text area in hardware mode), power key, global function keys, exactly
// one page function from `pages`, the display-control overlay and the dimming overlay.
void drawCdu(const PageTable& pages);

// The frame's clock sample (milliseconds of the process clock): sets newSecond in the first
// frame of each new whole second and advances the seconds counter.
void advanceCduClock(int milliseconds);

// The power key and the global function keys, as drawCdu applies them before the page runs.
void handlePowerKey();
void handleGlobalFunctionKeys(const PageTable& pages);
