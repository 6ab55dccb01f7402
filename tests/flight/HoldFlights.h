#pragma once

#include <string>
#include <vector>

#include "FlightRig.h"

// Holds flown closed-loop: a hold defined, armed, flown and disarmed through the CDU keys, at a
// fix reached on a chosen heading, with the figures of the hold table.

struct HoldCase {
    FlightConditions conditions;
    int approachDeg = 0;  // heading at the fix, degrees from the inbound course (right positive)
    bool leftTurns = false;
    bool byDistance = false;  // 4.5 NM legs; else 1 minute
    std::string label() const;
};

struct HoldFigures {
    std::string entry;         // TRDRP, PARLL or DRECT as the page showed it when the hold began
    double excursionNm = 0.0;  // furthest to the non-holding side of the inbound course
    double inboundXtkNm =
        0.0;  // largest |cross-track| in the last 30 s of the inbound leg after the first full circuit
    double outboundValue =
        0.0;  // that circuit's outbound leg: seconds (time) or NM from abeam the fix (distance)
    double outboundDefined = 0.0;
    bool circuitFlown = false;      // the first full circuit was completed
    bool disarmedToNext = false;    // DISARM HOLD made the leg after the hold active
    double afterDisarmXtkNm = 0.0;  // cross-track from the leg after the hold, 90 s after the disarm
};

// Flies one hold; the rig is kept for its plot.
HoldFigures flyHold(FlightRig& rig, const HoldCase& c);
// The table of the given holds.
std::string holdTable(const std::vector<HoldCase>& cases, const std::vector<HoldFigures>& figures);
// The entry the 70-degree rule gives for an approach heading (the test's expectation).
std::string expectedEntry(int approachDeg, bool leftTurns);
