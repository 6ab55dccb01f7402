#pragma once

#include "navdb/FplLeg.h"

// Page 13, the FUEL key: FUEL 1/5 (weights and reserves), 2/5 (time and range), 3/5 (fuel
// state), 4/5 (landing), 5/5 (engine flows), FUEL OPTIONS (unit converter, entry mode,
// average passenger weight) and FUEL ONBOARD (the fuel entered tank by tank). NEXT and PREV
// step through 1/5 .. 5/5 (not back to 1/5 while airborne with fuel entered), MENU opens
// FUEL OPTIONS, whose RETURN goes back.
void runFuelPage();

// The FUEL key: an entry by tank that was not finished starts again.
void resetFuelEntry();

// The frame the aircraft leaves the ground: take-off time, fuel at departure, and the
// simulator's fuel on board that fuel used is counted from.
void recordTakeOff();

// The identifier page's ACCEPT for the FUEL page: the TO waypoint of FUEL 2/5.
void receiveFuelWaypoint(const FplLeg& leg);
