#pragma once

#include <cstdint>

#include "guidance/AircraftState.h"
#include "guidance/GuidanceModes.h"
#include "guidance/HeadingMode.h"
#include "guidance/LateralGuidance.h"
#include "guidance/SteeringLaws.h"

// State owned by the guidance/ folder. One instance lives in the Fms context; code reaches it
// through fms().guidance. Members are added here by the code that owns them.
struct GuidanceState {
    // The aircraft as last read from the simulator.
    AircraftState aircraft;
    // DATA page attitude and FUEL page values, as last read.
    DataPageAttitude attitude;
    FuelReading fuel;
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
