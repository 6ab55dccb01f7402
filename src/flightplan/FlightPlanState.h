#pragma once

#include <cstdint>
#include <vector>

#include "flightplan/FlightPlan.h"
#include "navdb/NavDatabase.h"
#include "platform/CurrentState.h"

// State owned by the flightplan/ folder: the plan model.
struct FlightPlanState {
    FlightPlan plan;
    std::vector<PlanSegment> planSegments;
    int32_t routeDistanceNm = 0;  // sum of the segment distances, each truncated to whole NM
    bool planChanged = false;     // set by each rebuild, consumed by guidance
    ProcedureSelections selections;

    bool originPending = true;  // the origin is filled once from the aircraft
    bool planComplete = false;  // departure runway and arrival airport chosen
};

inline FlightPlanState& flightPlanState() { return currentState<FlightPlanState>(); }
