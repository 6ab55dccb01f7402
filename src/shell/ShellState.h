#pragma once

#include "platform/CurrentState.h"

// State owned by the shell/ folder: what the main loop and the frame sequence keep between
// frames.
struct ShellState {
    bool windowActive = true;  // false while minimised: no frames run
    int onGroundLatch = 0;     // the simulator's on-ground value in the previous frame
};

inline ShellState& shellState() { return currentState<ShellState>(); }
