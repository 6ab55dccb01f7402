#pragma once

#include <cstdint>

#include "guidance/GuidanceModes.h"
#include "guidance/HeadingMode.h"
#include "guidance/LateralGuidance.h"
#include "guidance/SteeringLaws.h"
#include "platform/CurrentState.h"

// State owned by the guidance/ folder.
struct GuidanceState {
    // Index into the flight plan's segments of the leg being flown (its toLeg is the TO
    // waypoint).
    int32_t activeSegment = 0;
    DirectToState directTo;
    HoldDefinition hold;
    VnavState vnav;
    LateralGuidanceState lateral;
    SteeringState steering;
    HeadingModeState heading;
};

inline GuidanceState& guidanceState() { return currentState<GuidanceState>(); }
