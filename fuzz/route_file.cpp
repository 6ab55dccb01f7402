// The stored-route reader on arbitrary bytes: the route is loaded into a unit whose database
// holds a few records and whose procedure folder does not exist. Whatever the file says, the
// plan holds only records of the database, and storing it again gives a file that loads to
// the same plan.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "flightplan/RouteFiles.h"
#include "navdb/DatabaseLoad.h"
#include "shell/Fms.h"

namespace {

void fill(NavDatabase& db) {
    auto airport = [&](const char* ident, float lat, float lon) {
        Airport a;
        a.ident = ident;
        a.latitude = lat;
        a.longitude = lon;
        Runway r;
        r.ident = "16L";
        a.runways.push_back(r);
        db.airports.push_back(a);
    };
    airport("KSEA", 47.45f, -122.31f);
    airport("KPAE", 47.9f, -122.28f);
    for (int i = 0; i < 3; ++i) {
        Navaid n;
        n.ident = i < 2 ? "SEA" : "PAE";
        n.latitude = 47.4f + static_cast<float>(i) * 10.0f;
        n.longitude = -122.3f;
        n.type = NavaidType::VorDme;
        db.navaids.push_back(n);
        Fix f;
        f.ident = i < 2 ? "ORTIN" : "MOUNT";
        f.latitude = 47.1f - static_cast<float>(i) * 20.0f;
        f.longitude = -122.1f;
        db.fixes.push_back(f);
    }
    markDatabaseLoaded(db);
}

bool isRecord(const NavDatabase& db, const FplLeg& leg) {
    const size_t i = static_cast<size_t>(leg.dbIndex);
    switch (leg.waypointKind) {
        case WaypointKind::Airport:
            return leg.dbIndex >= 0 && i < db.airports.size() && db.airports[i].ident == leg.ident;
        case WaypointKind::Navaid:
            return leg.dbIndex >= 0 && i < db.navaids.size() && db.navaids[i].ident == leg.ident;
        case WaypointKind::Fix:
            return leg.dbIndex >= 0 && i < db.fixes.size() && db.fixes[i].ident == leg.ident;
        case WaypointKind::AirwayEntry:
            return leg.dbIndex >= 0 && ((i < db.fixes.size() && db.fixes[i].ident == leg.ident) ||
                                        (i < db.navaids.size() && db.navaids[i].ident == leg.ident));
        default:
            return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Fms context;
    ScopedFms current{context};
    // Below a file: no folder can be made there, so nothing is ever written.
    context.platform.dataRoot = "/dev/null/fuzz";
    fill(context.navdb.database);
    std::vector<std::string> messages;
    resolveStoredRoute(context.navdb.database, text, "FUZZ", &messages);
    loadRouteText(text, "FUZZ");
    const FlightPlanState& st = context.flightplan;
    for (const FplLeg& leg : st.plan.legs)
        if (!isRecord(context.navdb.database, leg)) __builtin_trap();
    // Stored and loaded again: the same legs.
    const std::string again = routeFileText(st.plan, st.selections, context.navdb.database);
    const std::vector<FplLeg> first = st.plan.legs;
    loadRouteText(again, "FUZZ");
    if (st.plan.legs.size() != first.size()) __builtin_trap();
    for (size_t i = 0; i < first.size(); ++i)
        if (st.plan.legs[i].dbIndex != first[i].dbIndex || st.plan.legs[i].ident != first[i].ident)
            __builtin_trap();
    return 0;
}
