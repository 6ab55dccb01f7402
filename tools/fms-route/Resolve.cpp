// Identifiers of another planner's route resolved against our database, and our stored routes
// turned into waypoint lists for the writers.
#include <cstdio>
#include <string>

#include "RouteExchange.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/RouteFiles.h"
#include "navdb/AirwayPoints.h"
#include "navdb/IdentResolve.h"
#include "navdb/Procedures.h"

namespace {

// A file's own position for a point and the record's may differ by the rounding of the
// format and the cycles of two databases; a namesake farther away is another place.
constexpr float kFilePositionToleranceNm = 30.0f;
// An airway's entry point is the plan's last waypoint when it lies this close.
constexpr float kAirwayEntryToleranceNm = 5.0f;

std::string lineError(size_t line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

std::vector<WaypointKind> kindsFor(WaypointKind hint) {
    switch (hint) {
        case WaypointKind::Airport:
            return {WaypointKind::Airport, WaypointKind::Navaid, WaypointKind::Fix};
        case WaypointKind::Navaid:
            return {WaypointKind::Navaid, WaypointKind::Fix, WaypointKind::Airport};
        default:
            return {WaypointKind::Fix, WaypointKind::Navaid, WaypointKind::Airport};
    }
}

GeoPoint positionOf(const FplLeg& leg) {
    return GeoPoint{leg.latitude, leg.longitude};
}

// The points strictly between the plan's last waypoint and `exitIdent` along an airway
// called `name`, and the exit point itself; false when no airway of that name joins them.
bool expandAirway(const NavDatabase& db, const std::string& name, const FplLeg& entry,
                  const std::string& exitIdent, std::vector<AirwayPoint>& between, AirwayPoint& exit) {
    for (const Airway& airway : db.airways) {
        if (airway.name != name) continue;
        const std::vector<AirwayPoint> points = airwayPoints(airway);
        for (size_t a = 0; a < points.size(); ++a) {
            if (points[a].ident != entry.ident ||
                distanceNm(positionOf(entry), GeoPoint{points[a].latitude, points[a].longitude}) >
                    kAirwayEntryToleranceNm)
                continue;
            // The exit nearest along the airway, in either direction.
            for (size_t d = 1; d < points.size(); ++d) {
                for (int dir : {1, -1}) {
                    const long b = static_cast<long>(a) + dir * static_cast<long>(d);
                    if (b < 0 || b >= static_cast<long>(points.size())) continue;
                    if (points[static_cast<size_t>(b)].ident != exitIdent) continue;
                    between.clear();
                    for (long k = static_cast<long>(a) + dir; k != b; k += dir)
                        between.push_back(points[static_cast<size_t>(k)]);
                    exit = points[static_cast<size_t>(b)];
                    return true;
                }
            }
        }
    }
    return false;
}

bool airwayExists(const NavDatabase& db, const std::string& name) {
    for (const Airway& a : db.airways)
        if (a.name == name) return true;
    return false;
}

FplLeg legOf(const NavDatabase& db, const ResolvedRecord& r) {
    FplLeg leg = legForRecord(db, r.kind, r.index);
    addNavaidRadio(db, leg);
    return leg;
}

}  // namespace

bool isNdbLeg(const NavDatabase& db, const FplLeg& leg) {
    return leg.waypointKind == WaypointKind::Navaid && leg.dbIndex >= 0 &&
           static_cast<size_t>(leg.dbIndex) < db.navaids.size() &&
           db.navaids[static_cast<size_t>(leg.dbIndex)].type == NavaidType::Ndb;
}

bool resolveRoute(const NavDatabase& db, const ExchangeRoute& route, std::vector<FplLeg>& legs,
                  std::string& error, std::vector<std::string>* notes) {
    legs.clear();
    const std::vector<RoutePoint>& points = route.points;
    std::optional<GeoPoint> airwayExit;  // where the airway just expanded leaves
    for (size_t i = 0; i < points.size(); ++i) {
        const RoutePoint& p = points[i];
        // An airway name between two points is expanded between them; a name that only looks
        // like one (or leads nowhere from here) is tried as a point of its own.
        std::string airwayError;
        if (p.airway && !legs.empty() && i + 1 < points.size() && airwayExists(db, p.ident)) {
            std::vector<AirwayPoint> between;
            AirwayPoint exit;
            if (expandAirway(db, p.ident, legs.back(), points[i + 1].ident, between, exit)) {
                WaypointKind guess = legs.back().waypointKind == WaypointKind::Navaid ? WaypointKind::Navaid
                                                                                      : WaypointKind::Fix;
                for (const AirwayPoint& a : between) {
                    FplLeg leg = legForAirwayPoint(db, a, guess);
                    if (leg.waypointKind == WaypointKind::None) {
                        error = lineError(
                            p.line, "airway " + p.ident + " point " + a.ident + " is not in the database");
                        return false;
                    }
                    legs.push_back(std::move(leg));
                }
                airwayExit = GeoPoint{exit.latitude, exit.longitude};
                continue;
            }
            airwayError = "airway " + p.ident + " does not lead from " + legs.back().ident + " to " +
                          points[i + 1].ident;
        }
        ResolveOptions options;
        options.kinds = kindsFor(p.kind);
        std::optional<GeoPoint> near;
        if (airwayExit) {
            near = airwayExit;
            options.maxDistanceNm = kAirwayPointToleranceNm;
        } else if (p.position) {
            near = p.position;
            options.maxDistanceNm = kFilePositionToleranceNm;
        } else if (!legs.empty()) {
            near = positionOf(legs.back());
        }
        airwayExit.reset();
        ResolvedRecord r = resolveIdent(db, p.ident, near, options);
        if (!r) {
            if (p.maybeProcedure) {
                if (notes != nullptr)
                    notes->push_back(
                        lineError(p.line, p.ident + " taken for a SID or STAR: choose it on the DEPARTURE or "
                                                    "ARRIVAL page"));
                continue;
            }
            error =
                lineError(p.line, !airwayError.empty() ? airwayError
                                  : p.position ? p.ident + " is not in the database near the position given"
                                               : p.ident + " is not in the database");
            return false;
        }
        legs.push_back(legOf(db, r));
    }
    if (legs.empty()) {
        error = "the route has no waypoint";
        return false;
    }
    return true;
}

std::string routeTextFor(const NavDatabase& db, const std::vector<FplLeg>& legs, const RouteProcedures& p) {
    FlightPlan plan;
    plan.legs = legs;
    std::string text = routeFileText(plan, ProcedureSelections{}, db);
    // Procedures by name (no list index): the route list's reader finds them in the airport's
    // procedure file when the route is loaded.
    const bool departure = !legs.empty() && legs.front().waypointKind == WaypointKind::Airport;
    const bool arrival = legs.size() > 1 && legs.back().waypointKind == WaypointKind::Airport;
    if (departure && !p.departureRunway.empty() && !p.sid.empty()) {
        text += "[DEPARTURE RUNWAY]\n-1," + p.departureRunway + "\n";
        text += "[SID]\n-1," + p.sid + "," + (p.sidTransition.empty() ? "NONE" : p.sidTransition) + "\n";
    }
    if (arrival && !p.arrivalRunway.empty()) {
        if (!p.star.empty() || !p.approach.empty()) text += "[ARRIVAL RUNWAY]\n-1," + p.arrivalRunway + "\n";
        if (!p.star.empty())
            text += "[STAR]\n-1," + p.star + (p.starTransition.empty() ? "" : "," + p.starTransition) + "\n";
        if (!p.approach.empty() && !p.approachTransition.empty())
            text += "[TRANSITION]\n" + p.approach + "," + p.approachTransition + "\n";
        if (!p.approach.empty()) {
            const char* type =
                finalApproachTypeText(approachTypeFromLetter(p.approach.front()), p.approach.back());
            if (*type != '\0') text += std::string("[FINAL]\n") + type + "," + p.arrivalRunway + "\n";
        }
    }
    return text;
}

ExportRoute exportRouteFromText(const NavDatabase& db, std::string_view text,
                                std::vector<std::string>* messages) {
    const StoredRoute stored = resolveStoredRoute(db, text, "export", messages);
    ExportRoute out;
    if (stored.departure) out.waypoints.push_back(*stored.departure);
    out.waypoints.insert(out.waypoints.end(), stored.enroute.begin(), stored.enroute.end());
    if (stored.arrival) out.waypoints.push_back(*stored.arrival);
    RouteProcedures& p = out.procedures;
    if (stored.sid >= 0) {
        p.departureRunway = stored.field(stored.departureRunway, 1);
        p.sid = stored.field(stored.sid, 1);
        p.sidTransition = stored.field(stored.sid, 2) == "NONE" ? "" : stored.field(stored.sid, 2);
    }
    p.arrivalRunway = stored.field(stored.arrivalRunway, 1);
    if (p.arrivalRunway.empty()) p.arrivalRunway = stored.field(stored.final, 1);
    p.star = stored.field(stored.star, 1);
    p.starTransition = stored.field(stored.star, 2);
    p.approach = stored.field(stored.transition, 0);
    p.approachTransition = stored.field(stored.transition, 1);
    if (p.approach.empty() && stored.final >= 0) {
        // The approach's name from its type and runway (ILS 16R: I16R; RNPY 34L: R34LY).
        const std::string& type = stored.field(stored.final, 0);
        const std::string letter = type == "CATII ILS" ? "C"
                                   : type == "GPS"     ? "G"
                                   : type == "VOR"     ? "D"
                                   : type == "NDB"     ? "N"
                                                       : type.substr(0, 1);
        const std::string suffix = type == "RNPY" ? "Y" : type == "RNPZ" ? "Z" : "";
        if (!type.empty()) p.approach = letter + p.arrivalRunway + suffix;
    }
    return out;
}

std::string writeFmsRoute(const ExportRoute& route, const NavDatabase& db) {
    const std::vector<FplLeg>& w = route.waypoints;
    const RouteProcedures& p = route.procedures;
    std::string out = "I\n1100 Version\n";
    const bool dep = !w.empty() && w.front().waypointKind == WaypointKind::Airport;
    const bool dest = w.size() > 1 && w.back().waypointKind == WaypointKind::Airport;
    if (dep) {
        out += "ADEP " + w.front().ident + "\n";
        if (!p.departureRunway.empty()) out += "DEPRWY RW" + p.departureRunway + "\n";
        if (!p.sid.empty()) out += "SID " + p.sid + "\n";
        if (!p.sidTransition.empty()) out += "SIDTRANS " + p.sidTransition + "\n";
    }
    if (dest) {
        out += "ADES " + w.back().ident + "\n";
        if (!p.arrivalRunway.empty()) out += "DESRWY RW" + p.arrivalRunway + "\n";
        if (!p.star.empty()) out += "STAR " + p.star + "\n";
        if (!p.starTransition.empty()) out += "STARTRANS " + p.starTransition + "\n";
        if (!p.approach.empty()) out += "APP " + p.approach + "\n";
        if (!p.approachTransition.empty()) out += "APPTRANS " + p.approachTransition + "\n";
    }
    out += "NUMENR " + std::to_string(w.size()) + "\n";
    for (size_t i = 0; i < w.size(); ++i) {
        const FplLeg& leg = w[i];
        int type = 11;
        if (leg.waypointKind == WaypointKind::Airport) type = 1;
        if (leg.waypointKind == WaypointKind::Navaid) type = isNdbLeg(db, leg) ? 2 : 3;
        const char* via = (i == 0 && dep) ? "ADEP" : (i + 1 == w.size() && dest) ? "ADES" : "DRCT";
        char line[160];
        std::snprintf(line, sizeof line, "%d %s %s %.6f %.6f %.6f\n", type, leg.ident.c_str(), via,
                      leg.waypointKind == WaypointKind::Airport ? static_cast<double>(leg.elevationFt) : 0.0,
                      static_cast<double>(leg.latitude), static_cast<double>(leg.longitude));
        out += line;
    }
    return out;
}

std::string writeIcaoRoute(const ExportRoute& route) {
    const std::vector<FplLeg>& w = route.waypoints;
    std::string out;
    auto add = [&](const std::string& token) {
        if (!out.empty()) out += ' ';
        out += token;
    };
    for (size_t i = 0; i < w.size(); ++i) {
        const bool last = i + 1 == w.size();
        if (last && i > 0 && !route.procedures.star.empty())
            add(route.procedures.star);
        else if (i > 0)
            add("DCT");
        add(w[i].ident);
        if (i == 0 && w.size() > 1 && !route.procedures.sid.empty()) add(route.procedures.sid);
    }
    // A SID leads on to the first waypoint without DCT.
    if (!route.procedures.sid.empty()) {
        const std::string pattern = " " + route.procedures.sid + " DCT ";
        if (size_t at = out.find(pattern); at != std::string::npos)
            out.replace(at, pattern.size(), " " + route.procedures.sid + " ");
    }
    return out + "\n";
}

std::string writeRoute(RouteFormat format, const ExportRoute& route, const NavDatabase& db,
                       std::string_view name) {
    switch (format) {
        case RouteFormat::Fms:
            return writeFmsRoute(route, db);
        case RouteFormat::Pln:
            return writePlnRoute(route, db);
        case RouteFormat::Fgfs:
            return writeFgfsRoute(route);
        case RouteFormat::Gpx:
            return writeGpxRoute(route, name);
        case RouteFormat::Icao:
            return writeIcaoRoute(route);
        default:
            return {};
    }
}
