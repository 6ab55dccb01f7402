#pragma once

#include <cstdint>
#include <vector>

// Guidance states that depend on the flight plan's legs and are forgotten when the plan is
// deleted. Legs are named by their index in the plan (-1 none).

// Direct-to page.
struct DirectToState {
    int32_t dtoStep = 0;       // 0 choose the direct-to waypoint, 1 choose the next one
    int32_t dtoLegIndex = -1;  // the waypoint chosen in step 0
    int32_t nxLegIndex = -1;   // the waypoint chosen in step 1
};

// The one holding pattern.
struct HoldDefinition {
    int32_t fixLegIndex = -1;  // the hold fix
    int32_t inboundCourseDeg = 0;
    int32_t holdTurn = 2;  // 1 left, 2 right
    int32_t outboundCourseDeg = 0;
    float legTimeMin = 0.0f;     // 0 = none
    float legDistanceNm = 0.0f;  // 0 = none
    int32_t entryType = 2;       // 0 teardrop, 1 parallel, 2 direct
    int32_t holdState = 0;  // 0 none, 1 armed, 2 inbound, 3 turn to inbound, 4 outbound, 5 turn to outbound
    int32_t holdFixIndex = -1;  // the leg whose overfly flag the hold set
    bool holdFixChosen = false;
    int32_t holdFieldSelection = 8;  // 8 = none
};

// VNAV path.
struct VnavState {
    std::vector<int32_t> waypointLegs;  // chosen VNAV waypoints in order of choice
    int32_t vnavState = 4;              // 4 = idle
};

// Resets run when the flight plan is deleted.
void resetDirectTo();
// Also clears the fly-over mark the hold put on its fix leg, when that leg still exists.
void resetHold();
void resetVnav();
// All of them, and the active leg back to the first: the plan was deleted.
void resetPlanGuidance();
