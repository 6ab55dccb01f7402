// The XML route formats: the desktop simulators' flight plan (.pln), FlightGear's route
// manager file and GPX. Parsed and written with pugixml.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "RouteExchange.h"

namespace {

std::string lineError(size_t line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

// Line of a node: its offset in the text, counted in line feeds.
size_t lineOf(std::string_view text, const pugi::xml_node& node) {
    const ptrdiff_t offset = node.offset_debug();
    if (offset < 0) return 0;
    const size_t end = std::min(static_cast<size_t>(offset), text.size());
    return 1 +
           static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<ptrdiff_t>(end), '\n'));
}

bool parseXml(std::string_view text, pugi::xml_document& doc, std::string& error) {
    pugi::xml_parse_result r =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto);
    if (!r) {
        const size_t end = std::min(static_cast<size_t>(std::max<ptrdiff_t>(r.offset, 0)), text.size());
        const size_t line = 1 + static_cast<size_t>(std::count(
                                    text.begin(), text.begin() + static_cast<ptrdiff_t>(end), '\n'));
        error = lineError(line, std::string("not well-formed XML: ") + r.description());
        return false;
    }
    return true;
}

std::string upperTrimmed(const char* text) {
    std::string s(text);
    s.erase(0, s.find_first_not_of(" \t\r\n"));
    s.erase(s.find_last_not_of(" \t\r\n") + 1);
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool parseDouble(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    while (end != nullptr && std::isspace(static_cast<unsigned char>(*end))) ++end;
    return end != text && end != nullptr && *end == '\0' && std::isfinite(value);
}

bool validPosition(double lat, double lon) {
    return lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0;
}

// One coordinate of "N47° 26' 59.60"": hemisphere letter, then degrees, minutes, seconds.
bool parseDms(std::string_view text, char positive, char negative, double& value) {
    int sign = 0;
    double parts[3] = {0.0, 0.0, 0.0};
    int count = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (c == positive && sign == 0) sign = 1;
        if (c == negative && sign == 0) sign = -1;
        if (std::isdigit(static_cast<unsigned char>(text[i]))) {
            size_t start = i;
            while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'))
                ++i;
            if (count == 3) return false;
            parts[count++] = std::atof(std::string(text.substr(start, i - start)).c_str());
            continue;
        }
        ++i;
    }
    if (sign == 0 || count == 0 || parts[1] >= 60.0 || parts[2] >= 60.0) return false;
    value = sign * (parts[0] + parts[1] / 60.0 + parts[2] / 3600.0);
    return true;
}

bool parseWorldPosition(const char* text, GeoPoint& p) {
    std::string_view s(text);
    const size_t comma = s.find(',');
    if (comma == std::string_view::npos) return false;
    const size_t second = s.find(',', comma + 1);
    double lat = 0.0;
    double lon = 0.0;
    if (!parseDms(s.substr(0, comma), 'N', 'S', lat)) return false;
    if (!parseDms(s.substr(comma + 1,
                           second == std::string_view::npos ? std::string_view::npos : second - comma - 1),
                  'E', 'W', lon))
        return false;
    if (!validPosition(lat, lon)) return false;
    p = GeoPoint{lat, lon};
    return true;
}

std::string dms(double value, char positive, char negative) {
    const char hemisphere = value < 0.0 ? negative : positive;
    double a = std::fabs(value);
    int degrees = static_cast<int>(a);
    double minutesExact = (a - degrees) * 60.0;
    int minutes = static_cast<int>(minutesExact);
    double seconds = (minutesExact - minutes) * 60.0;
    if (seconds >= 59.995) {
        seconds = 0.0;
        if (++minutes == 60) {
            minutes = 0;
            ++degrees;
        }
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%c%d\xc2\xb0 %d' %.2f\"", hemisphere, degrees, minutes, seconds);
    return buffer;
}

std::string worldPosition(const FplLeg& leg, int elevationFt) {
    char alt[32];
    std::snprintf(alt, sizeof alt, ",%+010.2f", static_cast<double>(elevationFt));
    return dms(leg.latitude, 'N', 'S') + "," + dms(leg.longitude, 'E', 'W') + alt;
}

WaypointKind kindFromWord(const std::string& word) {
    if (word == "AIRPORT") return WaypointKind::Airport;
    if (word == "VOR" || word == "NDB" || word == "NAVAID" || word == "VORDME" || word == "DME")
        return WaypointKind::Navaid;
    if (word == "INTERSECTION" || word == "FIX" || word == "WAYPOINT") return WaypointKind::Fix;
    return WaypointKind::None;
}

std::string numberText(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6f", v);
    return buffer;
}

void addDeclaration(pugi::xml_document& doc) {
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
}

std::string saved(const pugi::xml_document& doc) {
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

bool isAirport(const FplLeg& leg) {
    return leg.waypointKind == WaypointKind::Airport;
}

const FplLeg* departureOf(const ExportRoute& r) {
    return !r.waypoints.empty() && isAirport(r.waypoints.front()) ? &r.waypoints.front() : nullptr;
}
const FplLeg* destinationOf(const ExportRoute& r) {
    return r.waypoints.size() > 1 && isAirport(r.waypoints.back()) ? &r.waypoints.back() : nullptr;
}

}  // namespace

bool readPlnRoute(std::string_view text, ExchangeRoute& route, std::string& error) {
    route = ExchangeRoute{};
    pugi::xml_document doc;
    if (!parseXml(text, doc, error)) return false;
    pugi::xml_node plan = doc.child("SimBase.Document").child("FlightPlan.FlightPlan");
    if (!plan) {
        error = "no SimBase.Document/FlightPlan.FlightPlan element: not a simulator flight plan";
        return false;
    }
    route.procedures.departureRunway = upperTrimmed(plan.child_value("DeparturePosition"));
    for (pugi::xml_node wp : plan.children("ATCWaypoint")) {
        RoutePoint p;
        p.line = lineOf(text, wp);
        p.ident = upperTrimmed(wp.child("ICAO").child_value("ICAOIdent"));
        if (p.ident.empty()) p.ident = upperTrimmed(wp.attribute("id").value());
        p.kind = kindFromWord(upperTrimmed(wp.child_value("ATCWaypointType")));
        GeoPoint pos;
        if (wp.child("WorldPosition")) {
            if (!parseWorldPosition(wp.child_value("WorldPosition"), pos)) {
                error = lineError(p.line, "waypoint " + p.ident + " has no valid WorldPosition");
                return false;
            }
            p.position = pos;
        }
        if (p.ident.empty()) {
            error = lineError(p.line, "waypoint without an identifier");
            return false;
        }
        route.points.push_back(std::move(p));
    }
    if (route.points.empty()) {
        error = "the flight plan has no ATCWaypoint";
        return false;
    }
    return true;
}

bool readFgfsRoute(std::string_view text, ExchangeRoute& route, std::string& error) {
    route = ExchangeRoute{};
    pugi::xml_document doc;
    if (!parseXml(text, doc, error)) return false;
    pugi::xml_node root = doc.child("PropertyList");
    if (!root) {
        error = "no PropertyList element: not a FlightGear route";
        return false;
    }
    auto airportPoint = [&](pugi::xml_node node) {
        RoutePoint p;
        p.ident = upperTrimmed(node.child_value("airport"));
        p.kind = WaypointKind::Airport;
        p.line = lineOf(text, node);
        return p;
    };
    pugi::xml_node departure = root.child("departure");
    pugi::xml_node destination = root.child("destination");
    RouteProcedures& procs = route.procedures;
    if (departure && *departure.child_value("airport")) {
        route.points.push_back(airportPoint(departure));
        procs.departureRunway = upperTrimmed(departure.child_value("runway"));
        procs.sid = upperTrimmed(departure.child_value("sid"));
        procs.sidTransition = upperTrimmed(departure.child_value("transition"));
    }
    for (pugi::xml_node wp : root.child("route").children("wp")) {
        const std::string type = upperTrimmed(wp.child_value("type"));
        // Runway points and the procedure legs FlightGear adds are the procedures' own.
        if (type == "RUNWAY" || type == "HOLD" || type == "DISCONTINUITY" || type == "VECTORS") continue;
        if (std::string(wp.child_value("departure")) == "true" ||
            std::string(wp.child_value("approach")) == "true")
            continue;
        RoutePoint p;
        p.line = lineOf(text, wp);
        p.ident = upperTrimmed(wp.child_value("ident"));
        if (p.ident.empty()) {
            error = lineError(p.line, "route point without an identifier");
            return false;
        }
        if (wp.child("lat") || wp.child("lon")) {
            double lat = 0.0;
            double lon = 0.0;
            if (!parseDouble(wp.child_value("lat"), lat) || !parseDouble(wp.child_value("lon"), lon) ||
                !validPosition(lat, lon)) {
                error = lineError(p.line, "route point " + p.ident + " has no valid lat and lon");
                return false;
            }
            p.position = GeoPoint{lat, lon};
        }
        route.points.push_back(std::move(p));
    }
    if (destination && *destination.child_value("airport")) {
        route.points.push_back(airportPoint(destination));
        procs.arrivalRunway = upperTrimmed(destination.child_value("runway"));
        procs.star = upperTrimmed(destination.child_value("star"));
        procs.starTransition = upperTrimmed(destination.child_value("transition"));
        procs.approach = upperTrimmed(destination.child_value("approach"));
    }
    if (route.points.empty()) {
        error = "the route has no departure, destination or route points";
        return false;
    }
    return true;
}

bool readGpxRoute(std::string_view text, ExchangeRoute& route, std::string& error) {
    route = ExchangeRoute{};
    pugi::xml_document doc;
    if (!parseXml(text, doc, error)) return false;
    pugi::xml_node gpx = doc.child("gpx");
    if (!gpx) {
        error = "no gpx element: not a GPX file";
        return false;
    }
    // The first route; a file of waypoints only is read in their order.
    pugi::xml_node rte = gpx.child("rte");
    const char* pointName = "rtept";
    pugi::xml_node parent = rte;
    if (!rte) {
        parent = gpx;
        pointName = "wpt";
    }
    for (pugi::xml_node pt : parent.children(pointName)) {
        RoutePoint p;
        p.line = lineOf(text, pt);
        p.ident = upperTrimmed(pt.child_value("name"));
        double lat = 0.0;
        double lon = 0.0;
        if (!parseDouble(pt.attribute("lat").value(), lat) ||
            !parseDouble(pt.attribute("lon").value(), lon) || !validPosition(lat, lon)) {
            error = lineError(p.line, "point " + p.ident + " has no valid lat and lon");
            return false;
        }
        if (p.ident.empty()) {
            error = lineError(p.line, "point without a name");
            return false;
        }
        p.position = GeoPoint{lat, lon};
        p.kind = kindFromWord(upperTrimmed(pt.child_value("type")));
        route.points.push_back(std::move(p));
    }
    if (route.points.empty()) {
        error = "the GPX file has no route points";
        return false;
    }
    return true;
}

std::string writePlnRoute(const ExportRoute& route, const NavDatabase& db) {
    pugi::xml_document doc;
    addDeclaration(doc);
    pugi::xml_node root = doc.append_child("SimBase.Document");
    root.append_attribute("Type") = "AceXML";
    root.append_attribute("version") = "1,0";
    root.append_child("Descr").text() = "AceXML Document";
    pugi::xml_node plan = root.append_child("FlightPlan.FlightPlan");
    const FplLeg* dep = departureOf(route);
    const FplLeg* dest = destinationOf(route);
    std::string title = std::string(dep ? dep->ident : "") + " to " + (dest ? dest->ident : "");
    plan.append_child("Title").text() = title.c_str();
    plan.append_child("FPType").text() = "IFR";
    plan.append_child("RouteType").text() = "HighAlt";
    if (dep) {
        plan.append_child("DepartureID").text() = dep->ident.c_str();
        plan.append_child("DepartureLLA").text() = worldPosition(*dep, dep->elevationFt).c_str();
    }
    if (dest) {
        plan.append_child("DestinationID").text() = dest->ident.c_str();
        plan.append_child("DestinationLLA").text() = worldPosition(*dest, dest->elevationFt).c_str();
    }
    plan.append_child("Descr").text() = title.c_str();
    if (dep && !route.procedures.departureRunway.empty())
        plan.append_child("DeparturePosition").text() = route.procedures.departureRunway.c_str();
    if (dep) plan.append_child("DepartureName").text() = dep->name.c_str();
    if (dest) plan.append_child("DestinationName").text() = dest->name.c_str();
    for (const FplLeg& leg : route.waypoints) {
        pugi::xml_node wp = plan.append_child("ATCWaypoint");
        wp.append_attribute("id") = leg.ident.c_str();
        const char* type = isAirport(leg)                             ? "Airport"
                           : leg.waypointKind == WaypointKind::Navaid ? (isNdbLeg(db, leg) ? "NDB" : "VOR")
                                                                      : "Intersection";
        wp.append_child("ATCWaypointType").text() = type;
        wp.append_child("WorldPosition").text() =
            worldPosition(leg, isAirport(leg) ? leg.elevationFt : 0).c_str();
        wp.append_child("ICAO").append_child("ICAOIdent").text() = leg.ident.c_str();
    }
    return saved(doc);
}

std::string writeFgfsRoute(const ExportRoute& route) {
    pugi::xml_document doc;
    addDeclaration(doc);
    pugi::xml_node root = doc.append_child("PropertyList");
    auto typed = [](pugi::xml_node parent, const char* name, const char* type, const std::string& value) {
        pugi::xml_node n = parent.append_child(name);
        n.append_attribute("type") = type;
        n.text() = value.c_str();
    };
    typed(root, "version", "int", "2");
    const FplLeg* dep = departureOf(route);
    const FplLeg* dest = destinationOf(route);
    const RouteProcedures& p = route.procedures;
    if (dep) {
        pugi::xml_node d = root.append_child("departure");
        typed(d, "airport", "string", dep->ident);
        if (!p.departureRunway.empty()) typed(d, "runway", "string", p.departureRunway);
        if (!p.sid.empty()) typed(d, "sid", "string", p.sid);
        if (!p.sidTransition.empty()) typed(d, "transition", "string", p.sidTransition);
    }
    if (dest) {
        pugi::xml_node d = root.append_child("destination");
        typed(d, "airport", "string", dest->ident);
        if (!p.arrivalRunway.empty()) typed(d, "runway", "string", p.arrivalRunway);
        if (!p.star.empty()) typed(d, "star", "string", p.star);
        if (!p.starTransition.empty()) typed(d, "transition", "string", p.starTransition);
        if (!p.approach.empty()) typed(d, "approach", "string", p.approach);
    }
    pugi::xml_node r = root.append_child("route");
    int n = 0;
    for (size_t i = 0; i < route.waypoints.size(); ++i) {
        const FplLeg& leg = route.waypoints[i];
        if ((i == 0 && dep) || (i + 1 == route.waypoints.size() && dest)) continue;
        pugi::xml_node wp = r.append_child("wp");
        wp.append_attribute("n") = n++;
        typed(wp, "type", "string", "navaid");
        typed(wp, "ident", "string", leg.ident);
        typed(wp, "lon", "double", numberText(leg.longitude));
        typed(wp, "lat", "double", numberText(leg.latitude));
    }
    return saved(doc);
}

std::string writeGpxRoute(const ExportRoute& route, std::string_view name) {
    pugi::xml_document doc;
    addDeclaration(doc);
    pugi::xml_node gpx = doc.append_child("gpx");
    gpx.append_attribute("version") = "1.1";
    gpx.append_attribute("creator") = "fms-route";
    gpx.append_attribute("xmlns") = "http://www.topografix.com/GPX/1/1";
    pugi::xml_node rte = gpx.append_child("rte");
    rte.append_child("name").text() = std::string(name).c_str();
    for (const FplLeg& leg : route.waypoints) {
        pugi::xml_node pt = rte.append_child("rtept");
        pt.append_attribute("lat") = numberText(leg.latitude).c_str();
        pt.append_attribute("lon") = numberText(leg.longitude).c_str();
        pt.append_child("name").text() = leg.ident.c_str();
        const char* type = isAirport(leg)                             ? "Airport"
                           : leg.waypointKind == WaypointKind::Navaid ? "Navaid"
                                                                      : "Fix";
        pt.append_child("type").text() = type;
    }
    return saved(doc);
}
