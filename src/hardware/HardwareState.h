#pragma once

#include "platform/CurrentState.h"

// State owned by the hardware/ folder.
struct HardwareState {};

inline HardwareState& hardwareState() { return currentState<HardwareState>(); }
