#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "RouteExchange.h"
#include "navdb/DatabaseLoad.h"

// The shared body of the fms-route reader targets.
inline const NavDatabase& routeFuzzDatabase() {
    static NavDatabase* db = [] {
        auto* d = new NavDatabase;
        Airport a;
        a.ident = "KSEA";
        a.latitude = 47.45f;
        a.longitude = -122.31f;
        d->airports.push_back(a);
        Navaid n;
        n.ident = "SEA";
        n.latitude = 47.43f;
        n.longitude = -122.31f;
        n.type = NavaidType::VorDme;
        d->navaids.push_back(n);
        Fix f;
        f.ident = "ORTIN";
        f.latitude = 47.12f;
        f.longitude = -122.17f;
        d->fixes.push_back(f);
        Airway j;
        j.name = "J70";
        j.segments.push_back({"SEA", 47.43f, -122.31f, 0, "ORTIN", 47.12f, -122.17f, 0, 20});
        d->airways.push_back(j);
        markDatabaseLoaded(*d);
        return d;
    }();
    return *db;
}

inline int fuzzRouteReader(RouteFormat format, const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ExchangeRoute route;
    std::string error;
    if (!readRoute(format, text, route, error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    for (const RoutePoint& p : route.points) {
        if (p.ident.empty()) __builtin_trap();
        if (p.position && (p.position->lat < -90.0 || p.position->lat > 90.0)) __builtin_trap();
    }
    const NavDatabase& db = routeFuzzDatabase();
    std::vector<FplLeg> legs;
    std::vector<std::string> notes;
    if (resolveRoute(db, route, legs, error, &notes)) {
        for (const FplLeg& leg : legs)
            if (leg.dbIndex < 0 || leg.ident.empty()) __builtin_trap();
        routeTextFor(db, legs, route.procedures);
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
