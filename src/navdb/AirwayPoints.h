#pragma once

#include <string>
#include <vector>

#include "navdb/FplLeg.h"
#include "navdb/NavDatabase.h"

// The points of an airway in order: the from-point of every segment and the to-point of the
// last one.
struct AirwayPoint {
    std::string ident;
    float latitude = 0.0f;
    float longitude = 0.0f;
};
std::vector<AirwayPoint> airwayPoints(const Airway& airway);

// How far a record may lie from the airway's own position of the point and still be taken
// for it: the airway and the record come from the same source, so they coincide; a namesake
// elsewhere in the world is another place.
inline constexpr float kAirwayPointToleranceNm = 10.0f;

// The plan leg for an airway point. The category is guessed from the identifier (3 characters
// a navaid, 5 a fix, any other length keeps `guess` from the point before); when the guessed
// category has no such record at the point, the other one is tried. A navaid leg carries the
// navaid's name, frequency and variation; a fix leg its identifier and position. Kind None when
// neither category has the point.
FplLeg legForAirwayPoint(const NavDatabase& db, const AirwayPoint& point, WaypointKind& guess);
