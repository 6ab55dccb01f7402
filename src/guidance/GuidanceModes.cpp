#include "guidance/GuidanceModes.h"

#include "Fms.h"

void resetDirectTo() {
    DirectToState& d = fms().guidance.directTo;
    d.dtoStep = 0;
    d.dtoLegIndex = -1;
    d.nxLegIndex = -1;
}

void resetHold() {
    HoldDefinition& h = fms().guidance.hold;
    std::vector<FplLeg>& legs = fms().flightplan.plan.legs;
    if (h.holdFixIndex >= 0 && static_cast<size_t>(h.holdFixIndex) < legs.size())
        legs[static_cast<size_t>(h.holdFixIndex)].overfly = 0;
    h = HoldDefinition{};
}

void resetVnav() {
    VnavState& v = fms().guidance.vnav;
    v.waypointLegs.clear();
    v.vnavState = 4;
}
