#pragma once

#include "cdu/KeyRectangles.h"
#include "cdu/KeyState.h"
#include "cdu/RendererState.h"

// State owned by the cdu/ folder. One instance lives in the Fms context; code reaches it
// through fms().cdu. Members are added here by the code that owns them.
struct CduState {
    KeyState keys;
    // The key hit rectangles, computed once at start-up.
    KeyRectangles keyRects = computeKeyRectangles();
    RendererState renderer;
};
