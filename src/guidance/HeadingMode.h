#pragma once

#include <cstdint>

// Heading mode: the pilot's selected heading, flown instead of the flight plan while it is on.
// Direct-to-fix legs also steer through the commanded heading.
struct HeadingModeState {
    bool headingMode = false;      // guidance flies commandedHeading (mode 1)
    int32_t commandedHeading = 0;  // degrees magnetic, 0..359
    int32_t hdgTurnDirection = 0;  // 0 the shorter way, 1 TURN L, 2 TURN R
    bool interceptArmed = false;   // heading mode ends at the crossing of the active leg
};

// Whether the commanded heading crosses the active leg ahead of the aircraft and before its TO
// waypoint; `distanceNm` is the distance to that crossing.
bool headingInterceptsActiveLeg(double& distanceNm);
// With the intercept armed, heading mode ends within 1 NM of the crossing and flight-plan
// guidance takes over at the leg.
void captureArmedIntercept();
