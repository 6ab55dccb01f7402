// The X-Plane flight plan (.fms) and the ICAO route string: plain text formats.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RouteExchange.h"
#include "navdb/DatabaseFiles.h"

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool parseNumber(std::string_view text, double& value) {
    if (text.empty() || text.size() > 40) return false;
    std::string s(text);
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(value);
}

std::string lineError(size_t line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Airway designators: one to three letters and one to four digits, maybe a letter after
// them (J70, V187, UL607, Q1, T257B).
bool looksLikeAirway(std::string_view t) {
    size_t letters = 0;
    while (letters < t.size() && std::isalpha(static_cast<unsigned char>(t[letters]))) ++letters;
    size_t digits = letters;
    while (digits < t.size() && std::isdigit(static_cast<unsigned char>(t[digits]))) ++digits;
    const size_t tail = t.size() - digits;
    return letters >= 1 && letters <= 3 && digits - letters >= 1 && digits - letters <= 4 && tail <= 1 &&
           (tail == 0 || std::isalpha(static_cast<unsigned char>(t.back())));
}

// SID and STAR names: two to six letters, a digit, maybe a letter (MILLT2, BANDR2, HAWKZ4A).
bool looksLikeProcedure(std::string_view t) {
    size_t letters = 0;
    while (letters < t.size() && std::isalpha(static_cast<unsigned char>(t[letters]))) ++letters;
    if (letters < 2 || letters > 6 || letters >= t.size()) return false;
    if (!std::isdigit(static_cast<unsigned char>(t[letters]))) return false;
    return t.size() == letters + 1 ||
           (t.size() == letters + 2 && std::isalpha(static_cast<unsigned char>(t.back())));
}

// Speed and level groups (N0450F350, K0830S1130, M082F370, N0120VFR).
bool looksLikeSpeedLevel(std::string_view t) {
    if (t.size() < 5 || (t[0] != 'N' && t[0] != 'K' && t[0] != 'M')) return false;
    size_t digits = 1;
    while (digits < t.size() && std::isdigit(static_cast<unsigned char>(t[digits]))) ++digits;
    return digits >= 4 && digits <= 5;
}

}  // namespace

RouteFormat formatFromWord(std::string_view word) {
    std::string w = upper(word);
    if (w == "FMS") return RouteFormat::Fms;
    if (w == "PLN") return RouteFormat::Pln;
    if (w == "FGFS" || w == "XML" || w == "FGFP") return RouteFormat::Fgfs;
    if (w == "GPX") return RouteFormat::Gpx;
    if (w == "ICAO" || w == "TXT") return RouteFormat::Icao;
    return RouteFormat::Unknown;
}

const char* formatWord(RouteFormat format) {
    switch (format) {
        case RouteFormat::Fms:
            return "fms";
        case RouteFormat::Pln:
            return "pln";
        case RouteFormat::Fgfs:
            return "fgfs";
        case RouteFormat::Gpx:
            return "gpx";
        case RouteFormat::Icao:
            return "icao";
        default:
            return "unknown";
    }
}

RouteFormat detectFormat(std::string_view path, std::string_view text) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) {
        RouteFormat byName = formatFromWord(path.substr(dot + 1));
        if (byName != RouteFormat::Unknown && byName != RouteFormat::Fgfs) return byName;
    }
    // XML: the root element tells the format apart.
    if (text.find("<SimBase.Document") != std::string_view::npos) return RouteFormat::Pln;
    if (text.find("<gpx") != std::string_view::npos) return RouteFormat::Gpx;
    if (text.find("<PropertyList") != std::string_view::npos) return RouteFormat::Fgfs;
    std::vector<std::string_view> first;
    forEachLine(text.substr(0, 256), [&](size_t n, std::string_view line) {
        if (n == 1) first = words(line);
    });
    if (first.size() == 1 && (first[0] == "I" || first[0] == "A")) return RouteFormat::Fms;
    if (!text.empty() && text.find('<') == std::string_view::npos) return RouteFormat::Icao;
    return RouteFormat::Unknown;
}

bool readFmsRoute(std::string_view text, ExchangeRoute& route, std::string& error) {
    route = ExchangeRoute{};
    bool ok = true;
    size_t lastLine = 0;
    forEachLine(text, [&](size_t n, std::string_view line) {
        lastLine = n;
        if (!ok) return;
        std::vector<std::string_view> w = words(line);
        if (n == 1) {
            if (w.size() != 1 || (w[0] != "I" && w[0] != "A")) {
                error = lineError(n, "not an X-Plane flight plan (it begins with I or A)");
                ok = false;
            }
            return;
        }
        if (n == 2) {
            double version = 0.0;
            if (w.empty() || !parseNumber(w[0], version)) {
                error = lineError(n, "no version number");
                ok = false;
            }
            return;
        }
        if (w.empty()) return;
        RouteProcedures& p = route.procedures;
        auto runway = [](std::string_view r) {
            return std::string(r.substr(0, 2) == "RW" ? r.substr(2) : r);
        };
        if (w.size() == 2) {
            const std::string_view key = w[0];
            if (key == "DEPRWY") p.departureRunway = runway(w[1]);
            if (key == "SID") p.sid = w[1];
            if (key == "SIDTRANS") p.sidTransition = w[1];
            if (key == "DESRWY") p.arrivalRunway = runway(w[1]);
            if (key == "STAR") p.star = w[1];
            if (key == "STARTRANS") p.starTransition = w[1];
            if (key == "APP") p.approach = w[1];
            if (key == "APPTRANS") p.approachTransition = w[1];
            return;  // ADEP, ADES, CYCLE, NUMENR and the rest say nothing more
        }
        double type = 0.0;
        if (!parseNumber(w[0], type) || (w.size() != 5 && w.size() != 6)) return;
        // "type ident via altitude lat lon" (version 1100) or "type ident altitude lat lon".
        const size_t latField = w.size() == 6 ? 4 : 3;
        double lat = 0.0;
        double lon = 0.0;
        if (!parseNumber(w[latField], lat) || !parseNumber(w[latField + 1], lon) || lat < -90.0 ||
            lat > 90.0 || lon < -180.0 || lon > 180.0) {
            error = lineError(n, "waypoint " + std::string(w[1]) + " has no valid position");
            ok = false;
            return;
        }
        RoutePoint point;
        point.ident = upper(w[1]);
        point.position = GeoPoint{lat, lon};
        point.line = n;
        const int code = static_cast<int>(type);
        if (code == 1) point.kind = WaypointKind::Airport;
        if (code == 2 || code == 3) point.kind = WaypointKind::Navaid;
        if (code == 11) point.kind = WaypointKind::Fix;
        route.points.push_back(std::move(point));
    });
    if (ok && lastLine < 2) {
        error = "not an X-Plane flight plan: no header";
        ok = false;
    }
    if (ok && route.points.empty()) {
        error = "the flight plan has no waypoints";
        ok = false;
    }
    return ok;
}

bool readIcaoRoute(std::string_view text, ExchangeRoute& route, std::string& error) {
    route = ExchangeRoute{};
    forEachLine(text, [&](size_t n, std::string_view line) {
        for (std::string_view token : words(line)) {
            std::string t = upper(token);
            // A change of speed or level (ORTIN/N0450F350) or a runway (KSEA/16L) after a point.
            if (size_t slash = t.find('/'); slash != std::string::npos) t.resize(slash);
            if (t.empty() || t == "DCT" || looksLikeSpeedLevel(t)) continue;
            RoutePoint p;
            p.ident = t;
            p.airway = looksLikeAirway(t);
            p.line = n;
            route.points.push_back(std::move(p));
        }
    });
    std::vector<RoutePoint>& points = route.points;
    if (points.empty()) {
        error = "the route string is empty";
        return false;
    }
    for (size_t i = 0; i < points.size(); ++i) {
        // An airway stands between two points; at either end it is a point's name.
        if (i == 0 || i + 1 == points.size()) points[i].airway = false;
        for (size_t k = 0; k < points[i].ident.size(); ++k) {
            if (!std::isalnum(static_cast<unsigned char>(points[i].ident[k]))) {
                error = lineError(points[i].line, points[i].ident + " is no identifier");
                return false;
            }
        }
    }
    // The route begins and ends at its aerodromes; a SID follows the first, a STAR precedes
    // the last.
    points.front().kind = WaypointKind::Airport;
    if (points.size() > 1) points.back().kind = WaypointKind::Airport;
    for (size_t i : {size_t{1}, points.size() >= 2 ? points.size() - 2 : size_t{0}}) {
        if (i >= 1 && i + 1 < points.size() && looksLikeProcedure(points[i].ident))
            points[i].maybeProcedure = true;
    }
    return true;
}

bool readRoute(RouteFormat format, std::string_view text, ExchangeRoute& route, std::string& error) {
    switch (format) {
        case RouteFormat::Fms:
            return readFmsRoute(text, route, error);
        case RouteFormat::Pln:
            return readPlnRoute(text, route, error);
        case RouteFormat::Fgfs:
            return readFgfsRoute(text, route, error);
        case RouteFormat::Gpx:
            return readGpxRoute(text, route, error);
        case RouteFormat::Icao:
            return readIcaoRoute(text, route, error);
        default:
            error = "the format of the input is not known (use .fms, .pln, .xml, .gpx or --icao)";
            return false;
    }
}
