#include "guidance/GuidanceModes.h"

#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"

void resetDirectTo() {
    DirectToState& d = guidanceState().directTo;
    d.dtoStep = 0;
    d.dtoLegIndex = -1;
    d.nxLegIndex = -1;
}

void resetHold() {
    HoldDefinition& h = guidanceState().hold;
    std::vector<FplLeg>& legs = flightPlanState().plan.legs;
    // The page forgets its index while a new number is typed; the definition keeps its fix.
    for (const int32_t index : {h.holdFixIndex, h.fixLegIndex})
        if (index >= 0 && static_cast<size_t>(index) < legs.size()) legs[static_cast<size_t>(index)].overfly = 0;
    h = HoldDefinition{};
}

void resetVnav() {
    VnavState& v = guidanceState().vnav;
    v.waypointLegs.clear();
    v.vnavState = 4;
}

void resetPlanGuidance() {
    guidanceState().activeSegment = 0;
    resetVnav();
    resetHold();
    resetDirectTo();
}
