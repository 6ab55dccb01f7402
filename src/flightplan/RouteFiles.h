#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "flightplan/FlightPlan.h"
#include "navdb/NavDatabase.h"

// Stored pilot routes: "data/Routes/<NAME>.txt" under the data root. Each entry is two lines,
// a tag line ("[FIX]") and a data line of comma-separated fields; database records are named
// by their index and identifier.

inline constexpr std::string_view kRoutesFolder = "data/Routes";
// The plan as it stood when the program last ended.
inline constexpr std::string_view kLastPlanRoute = "LASTFPL";
// Longer names could not be typed on PLT ROUTE nor shown on the route list.
inline constexpr size_t kRouteNameMaxLength = 8;

// A name that stays a plain file inside the routes folder: 1 to 8 of A-Z, 0-9, '-' and '_'.
bool isValidRouteName(std::string_view name);

// "<root>/data/Routes/<name>.txt".
std::string routeFilePath(std::string_view dataRoot, std::string_view name);

// One entry of a route file: its tag, the fields of its data line and the line number of the
// tag (1-based).
struct RouteEntry {
    std::string tag;
    std::vector<std::string> fields;
    size_t line = 0;
};

// The entries of a route file's text. Lines that are neither a tag nor the data line right
// after one are ignored; a tag without a data line gives no entry.
std::vector<RouteEntry> parseRouteEntries(std::string_view text);

// A route file's waypoints resolved against a database, and its procedure entries (indices
// into `entries`, -1 when absent). Each waypoint is checked against the record at its stored
// index; a record that moved (a database of another cycle) is found again by its identifier
// nearest to the stored position (or, in files without positions, to the previous waypoint),
// and a waypoint not found at all is left out with a console line.
struct StoredRoute {
    std::vector<RouteEntry> entries;
    std::optional<FplLeg> departure;
    std::vector<FplLeg> enroute;
    std::optional<FplLeg> arrival;
    int departureRunway = -1;
    int sid = -1;
    int arrivalRunway = -1;
    int star = -1;
    int transition = -1;
    int final = -1;
    // The data line's field `i` of entry `entry`; empty when either is missing.
    const std::string& field(int entry, size_t i) const;
};
// Messages go to `messages` when given, else to the console.
StoredRoute resolveStoredRoute(const NavDatabase& db, std::string_view text, std::string_view routeName,
                               std::vector<std::string>* messages = nullptr);

// The route file text of a plan and its departure and arrival choices.
std::string routeFileText(const FlightPlan& plan, const ProcedureSelections& selections,
                          const NavDatabase& db);

// --- On the current context ---

// Stores the current plan under `name`, replacing an older route of that name in one step
// (a crash leaves the old file or the new one, never half of one). False for a name that is
// not valid or a file that could not be written.
bool writeRouteFile(const std::string& name);

// Replaces the plan by the stored route (its waypoints as resolveStoredRoute finds them, then
// its procedures). False, with the plan unchanged, when the file cannot be read.
bool readRouteFile(const std::string& name);
// The text of a stored route; false when there is none of that name or it cannot be read.
bool readRouteText(const std::string& name, std::string& text);
// The same as readRouteFile from a file's text (the plan is replaced whatever the text holds).
void loadRouteText(std::string_view text, std::string_view routeName);

// Names of the stored routes, sorted.
std::vector<std::string> listRouteNames(const std::string& dataRoot);

// Removes a stored route; false when there was none or it could not be removed.
bool deleteRouteFile(const std::string& name);

// At the program's end: the plan, when it has any leg, is stored as "LASTFPL".
void storeLastPlan();
