#pragma once

#include <cstdint>
#include <vector>

#include "geo/Geodesy.h"

// Guidance states that depend on the flight plan's legs and are forgotten when the plan is
// deleted. Legs are named by their index in the plan (-1 none).

// Direct-to page.
struct DirectToState {
    int32_t dtoStep = 0;       // 0 choose the direct-to waypoint, 1 choose the next one
    int32_t dtoLegIndex = -1;  // the waypoint chosen in step 0
    int32_t nxLegIndex = -1;   // the waypoint chosen in step 1
};

// A line of the holding pattern: the great circle it is tracked along, its magnetic course and
// the cross-track offset it is flown at (the outbound leg keeps the distance the turn ended at).
struct HoldLine {
    GeoPoint from;
    GeoPoint to;
    float courseDeg = 0.0f;
    float crossTrackNm = 0.0f;
    float offsetNm = 0.0f;
};

// Hold entries.
inline constexpr int32_t kEntryTeardrop = 0;
inline constexpr int32_t kEntryParallel = 1;
inline constexpr int32_t kEntryDirect = 2;

// Hold states. 2..5 are the racetrack; 6..10 the parallel and teardrop entries, which end in
// the inbound leg.
inline constexpr int32_t kHoldNone = 0;
inline constexpr int32_t kHoldArmed = 1;
inline constexpr int32_t kHoldInbound = 2;
inline constexpr int32_t kHoldTurnToInbound = 3;
inline constexpr int32_t kHoldOutbound = 4;
inline constexpr int32_t kHoldTurnToOutbound = 5;
inline constexpr int32_t kHoldEntryTurnOut = 6;   // at the fix, onto the entry's outbound heading
inline constexpr int32_t kHoldEntryOutbound = 7;  // the entry's outbound leg, timed like the hold's
inline constexpr int32_t kHoldEntryTurnBack = 8;  // back toward the inbound course, then intercept

// The one holding pattern.
struct HoldDefinition {
    int32_t fixLegIndex = -1;  // the hold fix
    int32_t inboundCourseDeg = 0;
    int32_t holdTurn = 2;  // 1 left, 2 right
    int32_t outboundCourseDeg = 0;
    float legTimeMin = 0.0f;     // 0 = none
    float legDistanceNm = 0.0f;  // 0 = none
    int32_t entryType = kEntryDirect;
    int32_t holdState = kHoldNone;
    HoldLine inbound;           // toward the fix on the inbound course
    HoldLine outbound;          // from the fix on the outbound course
    HoldLine entry;             // from the fix on the entry's outbound heading
    int32_t holdFixIndex = -1;  // the leg whose overfly flag the hold set
    bool holdFixChosen = false;
    int32_t holdFieldSelection = 8;  // 8 = none
    bool firstCircuit = false;       // the outbound turn after the entry is yet to end
    float holdTimer = 0.0f;          // seconds on the outbound leg
    int64_t holdTimerStamp = 0;
};

// VNAV path.
struct VnavState {
    std::vector<int32_t> waypointLegs;  // chosen VNAV waypoints in order of choice
    int32_t vnavState = 4;              // 0 choose waypoint, 1 offset, 2 altitude, 3 target V/S, 4 idle
    int32_t targetVsFpm = 0;            // signed; 0 = none
};

// Resets run when the flight plan is deleted.
void resetDirectTo();
// Also clears the fly-over mark the hold put on its fix leg, when that leg still exists.
void resetHold();
void resetVnav();
// All of them, and the active leg back to the first: the plan was deleted.
void resetPlanGuidance();
