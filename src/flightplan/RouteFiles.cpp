#include "flightplan/RouteFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "flightplan/FlightPlanState.h"
#include "flightplan/PlanExport.h"
#include "geo/Geodesy.h"
#include "navdb/DatabaseFiles.h"
#include "navdb/IdentResolve.h"
#include "navdb/NavDbState.h"
#include "navdb/Procedures.h"
#include "navdb/SplitFields.h"
#include "platform/Files.h"
#include "platform/Platform.h"

namespace {

// A route file holds a few dozen lines; anything far larger is not one.
constexpr size_t kMaxRouteFileBytes = size_t{1} << 20;
// A stored position this close to the record's is that record (the text keeps 6 decimals).
constexpr double kSamePlaceDeg = 0.001;

constexpr std::string_view kDepartureAirport = "[DEPARTURE AIRPORT]";
constexpr std::string_view kDepartureRunway = "[DEPARTURE RUNWAY]";
constexpr std::string_view kSid = "[SID]";
constexpr std::string_view kNavaid = "[NAVAID]";
constexpr std::string_view kFix = "[FIX]";
constexpr std::string_view kAirway = "[AIRWAY]";
constexpr std::string_view kArrivalAirport = "[ARRIVAL AIRPORT]";
constexpr std::string_view kArrivalRunway = "[ARRIVAL RUNWAY]";
constexpr std::string_view kStar = "[STAR]";
constexpr std::string_view kTransition = "[TRANSITION]";
constexpr std::string_view kFinal = "[FINAL]";

void addEntry(std::string& out, std::string_view tag, const std::vector<std::string>& fields) {
    out += tag;
    out += '\n';
    bool first = true;
    for (const std::string& f : fields) {
        if (!first) out += ',';
        out += f;
        first = false;
    }
    out += '\n';
}

template <typename T>
int32_t positionIn(const std::vector<T>& list, const T* item) {
    if (item == nullptr || list.empty() || item < list.data() || item >= list.data() + list.size()) return -1;
    return static_cast<int32_t>(item - list.data());
}

// The airport that the plan leg names, when the leg is an airport of the database.
const Airport* airportOfLeg(const NavDatabase& db, const FplLeg& leg) {
    if (leg.waypointKind != WaypointKind::Airport || leg.dbIndex < 0) return nullptr;
    const size_t i = static_cast<size_t>(leg.dbIndex);
    return i < db.airports.size() ? &db.airports[i] : nullptr;
}

// "index,ident,latitude,longitude": the position after the two fields the format names lets
// the reader tell namesakes apart; readers that know only the two fields ignore it.
std::vector<std::string> waypointFields(const FplLeg& leg) {
    char lat[32];
    char lon[32];
    std::snprintf(lat, sizeof lat, "%.6f", static_cast<double>(leg.latitude));
    std::snprintf(lon, sizeof lon, "%.6f", static_cast<double>(leg.longitude));
    return {std::to_string(leg.dbIndex), leg.ident, lat, lon};
}

const char* enrouteTag(WaypointKind kind) {
    switch (kind) {
        case WaypointKind::Navaid:
            return kNavaid.data();
        case WaypointKind::Fix:
            return kFix.data();
        case WaypointKind::AirwayEntry:
            return kAirway.data();
        default:
            return nullptr;
    }
}

void console(std::string_view route, size_t line, const std::string& text,
             std::vector<std::string>* messages = nullptr) {
    std::string message = "Route " + std::string(route) + ", line " + std::to_string(line) + ": " + text;
    if (messages != nullptr)
        messages->push_back(std::move(message));
    else
        std::printf("%s\n", message.c_str());
}

// --- Reading ---

class RouteReader {
public:
    RouteReader(const NavDatabase& db, std::string_view name, std::vector<std::string>* messages)
        : db_(db), name_(name), messages_(messages) {}

    // The record an entry names: the one at its index when identifier and stored position
    // agree with it; else the namesake nearest to the stored position, or, in a file without
    // positions, to the previous waypoint. Kinds are tried in the order given.
    std::optional<FplLeg> resolve(const RouteEntry& e, std::initializer_list<WaypointKind> kinds) {
        if (e.fields.size() < 2) {
            console(name_, e.line, e.tag + " without an identifier, skipped", messages_);
            return std::nullopt;
        }
        const int32_t index = fieldInt(e.fields[0]);
        const std::string& ident = e.fields[1];
        std::optional<GeoPoint> stored;
        if (e.fields.size() >= 4) {
            const double lat = fieldDouble(e.fields[2]);
            const double lon = fieldDouble(e.fields[3]);
            if (lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0) stored = GeoPoint{lat, lon};
        }
        for (WaypointKind kind : kinds) {
            const std::string* name = recordIdent(db_, kind, index);
            double lat = 0.0;
            double lon = 0.0;
            if (name == nullptr || *name != ident || !recordPosition(db_, kind, index, lat, lon)) continue;
            if (stored && (std::fabs(lat - stored->lat) > kSamePlaceDeg ||
                           std::fabs(lon - stored->lon) > kSamePlaceDeg))
                continue;
            return accept(legForRecord(db_, kind, index));
        }
        ResolveOptions options;
        options.kinds = kinds;
        options.skipLocalizers = false;  // the stored leg may have been any navaid
        ResolvedRecord r = resolveIdent(db_, ident, stored ? stored : previous_, options);
        if (!r) {
            console(name_, e.line, e.tag + " " + ident + " is not in the database, skipped", messages_);
            return std::nullopt;
        }
        return accept(legForRecord(db_, r.kind, r.index));
    }

private:
    FplLeg accept(FplLeg leg) {
        previous_ = GeoPoint{leg.latitude, leg.longitude};
        return leg;
    }
    const NavDatabase& db_;
    std::string_view name_;
    std::vector<std::string>* messages_;
    std::optional<GeoPoint> previous_;
};

// The runway an entry names by index and identifier; by identifier alone when the index
// does not hold it.
Runway* findRunway(Airport& airport, int32_t index, const std::string& ident) {
    if (index >= 0 && static_cast<size_t>(index) < airport.runways.size() &&
        airport.runways[static_cast<size_t>(index)].ident == ident)
        return &airport.runways[static_cast<size_t>(index)];
    for (Runway& r : airport.runways)
        if (r.ident == ident) return &r;
    return nullptr;
}

// Makes `runway` the airport's selected runway, as the departure and arrival pages do.
void selectRunway(Airport& airport, Runway& runway) {
    airport.selectedRunwayIndex = positionIn(airport.runways, &runway);
    airport.selectedRunwayIdent = runway.ident;
}

// Of the procedures named like the entry, the one at the stored position when it is one of
// them, else the first.
const Procedure* findProcedure(const std::vector<Procedure>& list, const StoredRoute& route, int entry) {
    auto matches = [&](const Procedure& p) {
        return p.name == route.field(entry, 1) && p.transitionName == route.field(entry, 2);
    };
    const int32_t index = fieldInt(route.field(entry, 0));
    if (index >= 0 && static_cast<size_t>(index) < list.size() && matches(list[static_cast<size_t>(index)]))
        return &list[static_cast<size_t>(index)];
    for (const Procedure& p : list)
        if (matches(p)) return &p;
    return nullptr;
}

size_t lineOf(const StoredRoute& route, int entry) {
    return entry >= 0 ? route.entries[static_cast<size_t>(entry)].line : 0;
}

void restoreDeparture(Airport& airport, const StoredRoute& route, std::string_view name) {
    FlightPlanState& st = flightPlanState();
    airport.dbIndex = positionIn(navDbState().database.airports, &airport);
    st.selections.departureAirport = &airport;
    if (route.departureRunway < 0 || route.sid < 0) return;
    Runway* runway = findRunway(airport, fieldInt(route.field(route.departureRunway, 0)),
                                route.field(route.departureRunway, 1));
    if (runway == nullptr) {
        console(name, lineOf(route, route.departureRunway),
                "runway " + route.field(route.departureRunway, 1) + " not found");
        return;
    }
    selectRunway(airport, *runway);
    loadSids(airport);
    const Procedure* transition = findProcedure(runway->sids, route, route.sid);
    if (transition == nullptr) {
        console(name, lineOf(route, route.sid),
                "SID " + route.field(route.sid, 1) + "." + route.field(route.sid, 2) + " not found");
        return;
    }
    // The runway part: the last SID of that name for this runway without a transition.
    runway->sidRunwayLegs.clear();
    for (const Procedure& p : runway->sids)
        if (p.name == transition->name && p.runwayIdent == runway->ident && p.transitionName == "NONE")
            runway->sidRunwayLegs = p.legs;
    Procedure chosen = *transition;
    chosen.listPosition = positionIn(runway->sids, transition);
    st.selections.departureRunway = runway;
    st.selections.sidTransition = std::move(chosen);
    insertDepartureProcedure();
}

void restoreArrival(Airport& airport, const StoredRoute& route, std::string_view name) {
    FlightPlanState& st = flightPlanState();
    ProcedureSelections& sel = st.selections;
    airport.dbIndex = positionIn(navDbState().database.airports, &airport);
    sel.arrivalAirport = &airport;
    Runway* runway = nullptr;
    if (route.arrivalRunway >= 0)
        runway = findRunway(airport, fieldInt(route.field(route.arrivalRunway, 0)),
                            route.field(route.arrivalRunway, 1));
    if (runway == nullptr && route.final >= 0) runway = findRunway(airport, -1, route.field(route.final, 1));
    if (runway == nullptr) {
        for (int e : {route.arrivalRunway, route.star, route.transition, route.final}) {
            if (e < 0) continue;
            console(name, lineOf(route, e), "arrival runway not found, arrival procedures skipped");
            break;
        }
        return;
    }
    selectRunway(airport, *runway);
    sel.arrivalRunway = runway;
    if (route.star >= 0) {
        loadStars(airport);
        if (const Procedure* star = findProcedure(runway->stars, route, route.star)) {
            Procedure chosen = *star;
            chosen.listPosition = positionIn(runway->stars, star);
            sel.star = std::move(chosen);
        } else {
            console(name, lineOf(route, route.star), "STAR " + route.field(route.star, 1) + " not found");
        }
    }
    if (route.final >= 0 || route.transition >= 0) {
        loadFinalApproaches(*runway, airport);
        loadApproachTransitions(*runway, airport);
    }
    if (route.final >= 0) {
        for (const FinalApproach& f : runway->approaches.finals) {
            if (f.typeText == route.field(route.final, 0)) {
                sel.approach = f;
                break;
            }
        }
        if (!sel.approach)
            console(name, lineOf(route, route.final),
                    "approach " + route.field(route.final, 0) + " not found");
    }
    if (route.transition >= 0) {
        for (const ApproachTransition& t : runway->approaches.transitions) {
            if (t.approachName == route.field(route.transition, 0) &&
                t.transitionName == route.field(route.transition, 1)) {
                sel.approachTransition = t;
                break;
            }
        }
        if (!sel.approachTransition)
            console(name, lineOf(route, route.transition),
                    "approach transition " + route.field(route.transition, 1) + " not found");
    }
    if (sel.star || sel.approachTransition || sel.approach) insertArrivalProcedure();
}

Airport* mutableAirport(const FplLeg& leg) {
    NavDatabase& db = navDbState().database;
    if (leg.dbIndex < 0 || static_cast<size_t>(leg.dbIndex) >= db.airports.size()) return nullptr;
    return &db.airports[static_cast<size_t>(leg.dbIndex)];
}

std::string routesFolder(std::string_view dataRoot) {
    return joinPath(dataRoot, kRoutesFolder);
}

}  // namespace

bool isValidRouteName(std::string_view name) {
    if (name.empty() || name.size() > kRouteNameMaxLength) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

std::string routeFilePath(std::string_view dataRoot, std::string_view name) {
    return routesFolder(dataRoot) + "/" + std::string(name) + ".txt";
}

std::vector<RouteEntry> parseRouteEntries(std::string_view text) {
    std::vector<RouteEntry> entries;
    std::optional<RouteEntry> pending;
    forEachLine(text, [&](size_t lineNumber, std::string_view line) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        if (!line.empty() && line.front() == '[') {
            pending = RouteEntry{std::string(line), {}, lineNumber};
            return;
        }
        if (!pending) return;
        pending->fields = splitFields(line);
        entries.push_back(std::move(*pending));
        pending.reset();
    });
    return entries;
}

std::string routeFileText(const FlightPlan& plan, const ProcedureSelections& sel, const NavDatabase& db) {
    std::string out;
    const std::vector<FplLeg>& legs = plan.legs;
    if (legs.empty()) return out;

    // Departure: the origin airport, with its runway and SID when those were chosen for it.
    const Airport* origin = airportOfLeg(db, legs.front());
    size_t firstEnroute = 0;
    if (origin != nullptr) {
        addEntry(out, kDepartureAirport, waypointFields(legs.front()));
        firstEnroute = 1;
        const int32_t runway =
            sel.departureAirport == origin ? positionIn(origin->runways, sel.departureRunway) : -1;
        if (runway >= 0 && sel.sidTransition) {
            addEntry(out, kDepartureRunway, {std::to_string(runway), sel.departureRunway->ident});
            addEntry(out, kSid,
                     {std::to_string(sel.sidTransition->listPosition), sel.sidTransition->name,
                      sel.sidTransition->transitionName});
        }
    }

    // The destination is the last leg when it is an airport other than the origin leg.
    const size_t last = legs.size() - 1;
    const Airport* destination = last >= firstEnroute ? airportOfLeg(db, legs.back()) : nullptr;

    for (size_t i = firstEnroute; i < legs.size(); ++i) {
        const FplLeg& leg = legs[i];
        if (leg.departureProcLeg || leg.arrivalProcLeg) continue;
        if (const char* tag = enrouteTag(leg.waypointKind)) addEntry(out, tag, waypointFields(leg));
    }

    if (destination == nullptr) return out;
    addEntry(out, kArrivalAirport, waypointFields(legs.back()));
    if (sel.arrivalAirport != destination) return out;
    const int32_t runway = positionIn(destination->runways, sel.arrivalRunway);
    if (runway < 0) return out;
    if (sel.star || sel.approachTransition || sel.approach)
        addEntry(out, kArrivalRunway, {std::to_string(runway), sel.arrivalRunway->ident});
    if (sel.star)
        addEntry(out, kStar,
                 {std::to_string(sel.star->listPosition), sel.star->name, sel.star->transitionName});
    // Written with a STAR too: an approach transition is part of the plan either way.
    if (sel.approachTransition)
        addEntry(out, kTransition,
                 {sel.approachTransition->approachName, sel.approachTransition->transitionName});
    if (sel.approach) addEntry(out, kFinal, {sel.approach->typeText, sel.arrivalRunway->ident});
    return out;
}

bool writeRouteFile(const std::string& name) {
    if (!isValidRouteName(name)) return false;
    const FlightPlanState& st = flightPlanState();
    const std::string path = routeFilePath(platform().dataRoot, name);
    return createParentFolders(path) &&
           writeFileAtomically(path, routeFileText(st.plan, st.selections, navDbState().database));
}

const std::string& StoredRoute::field(int entry, size_t i) const {
    static const std::string kEmpty;
    if (entry < 0 || static_cast<size_t>(entry) >= entries.size()) return kEmpty;
    const std::vector<std::string>& f = entries[static_cast<size_t>(entry)].fields;
    return i < f.size() ? f[i] : kEmpty;
}

StoredRoute resolveStoredRoute(const NavDatabase& db, std::string_view text, std::string_view routeName,
                               std::vector<std::string>* messages) {
    StoredRoute route;
    route.entries = parseRouteEntries(text);
    RouteReader reader(db, routeName, messages);
    for (size_t i = 0; i < route.entries.size(); ++i) {
        const RouteEntry& e = route.entries[i];
        const std::string_view tag = e.tag;
        const int index = static_cast<int>(i);
        if (tag == kDepartureAirport) {
            if (!route.departure) route.departure = reader.resolve(e, {WaypointKind::Airport});
        } else if (tag == kNavaid) {
            if (auto leg = reader.resolve(e, {WaypointKind::Navaid})) {
                addNavaidRadio(db, *leg);
                route.enroute.push_back(*leg);
            }
        } else if (tag == kFix) {
            if (auto leg = reader.resolve(e, {WaypointKind::Fix})) route.enroute.push_back(*leg);
        } else if (tag == kAirway) {
            if (auto leg = reader.resolve(e, {WaypointKind::Fix, WaypointKind::Navaid})) {
                // Still undecided between fix and navaid, as it was stored.
                leg->waypointKind = WaypointKind::AirwayEntry;
                route.enroute.push_back(*leg);
            }
        } else if (tag == kArrivalAirport) {
            route.arrival = reader.resolve(e, {WaypointKind::Airport});
        } else if (tag == kDepartureRunway) {
            route.departureRunway = index;
        } else if (tag == kSid) {
            route.sid = index;
        } else if (tag == kArrivalRunway) {
            route.arrivalRunway = index;
        } else if (tag == kStar) {
            route.star = index;
        } else if (tag == kTransition) {
            route.transition = index;
        } else if (tag == kFinal) {
            route.final = index;
        } else {
            console(routeName, e.line, "unknown entry " + e.tag + ", skipped", messages);
        }
    }
    return route;
}

void loadRouteText(std::string_view text, std::string_view routeName) {
    const StoredRoute route = resolveStoredRoute(navDbState().database, text, routeName);
    clearFlightPlan();
    std::vector<FplLeg> legs;
    if (route.departure) legs.push_back(*route.departure);
    legs.insert(legs.end(), route.enroute.begin(), route.enroute.end());
    if (route.arrival) legs.push_back(*route.arrival);
    appendLegs(legs);
    if (route.departure)
        if (Airport* a = mutableAirport(*route.departure)) restoreDeparture(*a, route, routeName);
    if (route.arrival)
        if (Airport* a = mutableAirport(*route.arrival)) restoreArrival(*a, route, routeName);

    rebuildPlanSegments();
}

bool readRouteText(const std::string& name, std::string& text) {
    return isValidRouteName(name) &&
           readFileCapped(routeFilePath(platform().dataRoot, name), text, kMaxRouteFileBytes);
}

bool readRouteFile(const std::string& name) {
    std::string text;
    if (!readRouteText(name, text)) return false;
    loadRouteText(text, name);
    return true;
}

std::vector<std::string> listRouteNames(const std::string& dataRoot) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(routesFolder(dataRoot), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (file.size() <= 4 || file.compare(file.size() - 4, 4, ".txt") != 0) continue;
        std::string name = file.substr(0, file.size() - 4);
        std::error_code typeError;
        if (isValidRouteName(name) && it->is_regular_file(typeError)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool deleteRouteFile(const std::string& name) {
    if (!isValidRouteName(name)) return false;
    std::error_code ec;
    return std::filesystem::remove(routeFilePath(platform().dataRoot, name), ec) && !ec;
}

void storeLastPlan() {
    // An empty plan is not stored: a second start without a plan must not wipe the last one.
    if (flightPlanState().plan.legs.empty()) return;
    if (!writeRouteFile(std::string(kLastPlanRoute)))
        std::printf("The plan could not be stored as route %s\n", std::string(kLastPlanRoute).c_str());
}
