#pragma once

#include <cstdint>
#include <string>

#include "geo/Geodesy.h"

// Lateral guidance: once per frame on unit 1 it flies the active leg of the flight plan (NAV
// mode) or the commanded heading (HDG mode), feeds the NAV1 course and the aircraft panel, and
// advances the active leg when its end condition holds.

inline constexpr int32_t kGuidanceHeading = 1;
inline constexpr int32_t kGuidanceNav = 3;

// The active leg's geometry as taken when it became active or the plan changed.
struct LatchedLeg {
    GeoPoint from;
    GeoPoint to;
    float desiredCourseMag = 0.0f;  // degrees magnetic
    float variation = 0.0f;
};

// Leg types that latch together share one flag.
enum LatchGroup {
    kLatchPlain,
    kLatchCa,
    kLatchCf,
    kLatchDf,
    kLatchTf,
    kLatchVd,
    kLatchVi,
    kLatchVr,
    kLatchGroups
};

struct LateralGuidanceState {
    int32_t guidanceMode = kGuidanceNav;
    int32_t previousGuidanceMode = kGuidanceNav;
    bool previousAutopilotMaster = false;
    int32_t previousActiveSegment = 0;
    LatchedLeg latchedLeg;
    bool latchArmed[kLatchGroups] = {};
    float crossTrackError = 0.0f;   // NM, positive = right of the leg
    float distanceToGo = 0.0f;      // NM to the latched end point
    float turnAnticipation = 0.0f;  // NM before the end point at which the turn starts
    float nextCourse = 0.0f;        // course of the following leg, for the anticipation
    uint8_t panelWaypoint = 0;      // last waypoint number sent to the panel
};

// One guidance frame; the frame runs it after the page on unit 1 only.
void runGuidance();
// The next leg becomes active (never past the last one); nothing happens while slewing.
void sequenceLeg();
// Direct-to from the present position: plan leg dtoIndex becomes a direct-to-fix leg followed
// by leg nxIndex (the legs between are removed) and the active leg.
void flyDirectTo(int dtoIndex, int nxIndex);
// Makes active the last segment flying to a leg with this ident that is not a hold leg.
void setActiveLegByIdent(const std::string& ident);

// Distance along the leg from its start to the point abeam p: negative while p is still
// behind the start.
float signedAlongTrackNm(const GeoPoint& from, const GeoPoint& to, const GeoPoint& p, float crossTrackNm);
