#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geo/Geodesy.h"
#include "navdb/FplLeg.h"
#include "navdb/NavDatabase.h"

// Route exchange with other planners: readers and writers of their file formats, and the
// resolution of a route's identifiers against our database.

enum class RouteFormat { Unknown, Fms, Pln, Fgfs, Gpx, Icao };

// "fms", "pln", "fgfs", "gpx", "icao" (a file extension or the --format word).
RouteFormat formatFromWord(std::string_view word);
const char* formatWord(RouteFormat format);
// The format of a file: by its extension, else by its content.
RouteFormat detectFormat(std::string_view path, std::string_view text);

// One element of a route as another planner wrote it.
struct RoutePoint {
    std::string ident;
    std::optional<GeoPoint> position;        // when the format carries one
    WaypointKind kind = WaypointKind::None;  // when the format says (airport, navaid, fix)
    // An airway between the points before and after it (the ICAO form): `ident` is its name.
    bool airway = false;
    // Right after the departure or right before the destination of an ICAO route, a SID or
    // STAR name that may be left to the DEPARTURE and ARRIVAL pages.
    bool maybeProcedure = false;
    size_t line = 0;  // where it stands in the input (1-based)
};

// Procedures as the X-Plane flight plan names them.
struct RouteProcedures {
    std::string departureRunway;  // "16L", without the "RW"
    std::string sid;
    std::string sidTransition;
    std::string arrivalRunway;
    std::string star;
    std::string starTransition;
    std::string approach;  // "I16R"
    std::string approachTransition;
};

struct ExchangeRoute {
    std::vector<RoutePoint> points;
    RouteProcedures procedures;
};

// Readers: false with a message naming the line for input that is not of the format.
bool readFmsRoute(std::string_view text, ExchangeRoute& route, std::string& error);
bool readPlnRoute(std::string_view text, ExchangeRoute& route, std::string& error);
bool readFgfsRoute(std::string_view text, ExchangeRoute& route, std::string& error);
bool readGpxRoute(std::string_view text, ExchangeRoute& route, std::string& error);
bool readIcaoRoute(std::string_view text, ExchangeRoute& route, std::string& error);
bool readRoute(RouteFormat format, std::string_view text, ExchangeRoute& route, std::string& error);

// Our legs for the route: each identifier resolved against the database (near the position
// the file gives, else near the point before), airways expanded between their entry and exit
// points. False with a message naming the identifier and its line when one cannot be resolved.
// Notes (procedure names left to the pages) go to `notes`.
bool resolveRoute(const NavDatabase& db, const ExchangeRoute& route, std::vector<FplLeg>& legs,
                  std::string& error, std::vector<std::string>* notes = nullptr);

// The route file text for resolved legs and the procedures named by the route.
std::string routeTextFor(const NavDatabase& db, const std::vector<FplLeg>& legs,
                         const RouteProcedures& procedures);

// A stored route as a route of waypoints, for the writers: the airports and the waypoints
// between them, and the procedures of the route file.
struct ExportRoute {
    std::vector<FplLeg> waypoints;
    RouteProcedures procedures;
};

std::string writeFmsRoute(const ExportRoute& route, const NavDatabase& db);
std::string writePlnRoute(const ExportRoute& route, const NavDatabase& db);
// A navaid leg of an NDB (the formats tell NDBs from VORs).
bool isNdbLeg(const NavDatabase& db, const FplLeg& leg);
std::string writeFgfsRoute(const ExportRoute& route);
std::string writeGpxRoute(const ExportRoute& route, std::string_view name);
std::string writeIcaoRoute(const ExportRoute& route);
std::string writeRoute(RouteFormat format, const ExportRoute& route, const NavDatabase& db,
                       std::string_view name);

// The waypoints of a route file's text resolved as the route list would load them (without
// the procedure legs), and its procedures by name.
// Messages about waypoints left out go to `messages`.
ExportRoute exportRouteFromText(const NavDatabase& db, std::string_view text,
                                std::vector<std::string>* messages);
