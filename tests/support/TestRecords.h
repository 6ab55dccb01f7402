#pragma once

#include <string>

#include "navdb/FplLeg.h"
#include "navdb/NavDatabase.h"

// Small hand-made databases and plan legs for model and page tests: records appended in code,
// indices in order.

inline int addAirport(NavDatabase& db, const std::string& ident, float lat, float lon,
                      const std::string& name = "", int16_t elevation = 0) {
    Airport a;
    a.ident = ident;
    a.name = name.empty() ? ident + " FIELD" : name;
    a.latitude = lat;
    a.longitude = lon;
    a.elevationFt = elevation;
    db.airports.push_back(a);
    return static_cast<int>(db.airports.size()) - 1;
}

inline int addNavaid(NavDatabase& db, const std::string& ident, NavaidType type, float lat, float lon,
                     float declination = 0.0f) {
    Navaid n;
    n.ident = ident;
    n.name = ident + " NAVAID";
    n.type = type;
    n.latitude = lat;
    n.longitude = lon;
    n.declination = declination;
    n.dbIndex = static_cast<int32_t>(db.navaids.size());
    db.navaids.push_back(n);
    return n.dbIndex;
}

inline int addFix(NavDatabase& db, const std::string& ident, float lat, float lon) {
    Fix f;
    f.ident = ident;
    f.latitude = lat;
    f.longitude = lon;
    f.dbIndex = static_cast<int32_t>(db.fixes.size());
    db.fixes.push_back(f);
    return f.dbIndex;
}

// A plan leg at a position, as a database record of `kind` would give it.
inline FplLeg legAt(WaypointKind kind, int dbIndex, float lat, float lon, const std::string& ident = "REF") {
    FplLeg leg;
    leg.waypointKind = kind;
    leg.dbIndex = dbIndex;
    leg.latitude = lat;
    leg.longitude = lon;
    leg.ident = ident;
    return leg;
}

// A waypoint leg that no database record stands behind.
inline FplLeg waypoint(const std::string& ident, float lat, float lon,
                       WaypointKind kind = WaypointKind::Fix) {
    return legAt(kind, -1, lat, lon, ident);
}
