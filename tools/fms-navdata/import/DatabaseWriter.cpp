#include "import/DatabaseWriter.h"

#include <cerrno>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "geo/Calendar.h"
#include "geo/Geodesy.h"
#include "platform/Files.h"

namespace navimport {

namespace {

void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void appendf(std::string& out, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) return;
    if (static_cast<std::size_t>(length) < sizeof buffer) {
        out.append(buffer, static_cast<std::size_t>(length));
        return;
    }
    std::string big(static_cast<std::size_t>(length) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    big.pop_back();
    out += big;
}

// Cycles last 28 days; one of them took effect on 2015-01-08.
constexpr int kCycleDays = 28;
const long kReferenceCycleStart = static_cast<long>(daysFromCivil({2015, 1, 8}));

}  // namespace

CycleInfo cycleDates(const std::string& name) {
    CycleInfo info;
    info.name = name;
    int year = 0;
    int number = 0;
    int used = 0;
    if (name.size() != 7 || std::sscanf(name.c_str(), "%4d.%2d%n", &year, &number, &used) != 2 || used != 7) {
        return info;
    }
    if (year < 1990 || year > 2100 || number < 1 || number > 14) return info;
    // The first cycle of a year is the first one that takes effect on or after 1 January.
    long newYear = static_cast<long>(daysFromCivil({year, 1, 1}));
    long offset = (newYear - kReferenceCycleStart) % kCycleDays;
    if (offset < 0) offset += kCycleDays;
    long first = offset == 0 ? newYear : newYear + (kCycleDays - offset);
    long effective = first + static_cast<long>(number - 1) * kCycleDays;
    const CivilDate starts = civilFromDays(effective);
    if (starts.year != year) return info;  // no such cycle in that year
    info.year = year;
    info.number = number;
    info.effectiveYear = starts.year;
    info.effectiveMonth = starts.month;
    info.effectiveDay = starts.day;
    const CivilDate ends = civilFromDays(effective + kCycleDays);
    info.expiryYear = ends.year;
    info.expiryMonth = ends.month;
    info.expiryDay = ends.day;
    info.valid = true;
    return info;
}

std::string expiryText(const CycleInfo& cycle) {
    if (!cycle.valid) return {};
    std::string text;
    appendf(text, "%02d-%s-%04d", cycle.expiryDay, monthAbbreviation(cycle.expiryMonth), cycle.expiryYear);
    return text;
}

std::string cycleLine(const CycleInfo& cycle) {
    std::string line;
    if (!cycle.valid) return line;
    appendf(line, "%s,%02d%02d %02d%s %04d,EFFECTIVE %02d%s%04d\n", cycle.name.c_str(), cycle.year % 100,
            cycle.number, cycle.expiryDay, monthAbbreviation(cycle.expiryMonth), cycle.expiryYear, cycle.effectiveDay,
            monthAbbreviation(cycle.effectiveMonth), cycle.effectiveYear);
    return line;
}

std::string airportLines(const WorldAirport& airport) {
    std::string lines;
    appendf(lines, "A,%s,%s,%.6f,%.6f,%d\n", airport.ident.c_str(), airport.name.c_str(), airport.lat, airport.lon,
            airport.elevationFt);
    for (const WorldRunway& runway : airport.runways) {
        appendf(lines, "R,%s,%d,%d,%d,%d,%.1f,%d,%.6f,%.6f,%d,%d\n", runway.ident.c_str(), runway.headingMag,
                runway.lengthFt, runway.widthFt, runway.hasLocalizer, runway.trueBearing, runway.inboundCourseMag,
                runway.thresholdLat, runway.thresholdLon, runway.elevationFt, runway.displacedFt);
    }
    return lines;
}

std::string navaidLine(const WorldNavaid& navaid) {
    std::string line;
    appendf(line, "%s,%s,%.2f,%d,%d,%d,%.6f,%.6f,%d,%s,%s,%s,%.1f\n", navaid.ident.c_str(), navaid.name.c_str(),
            navaid.frequency, navaid.vorFlag, navaid.dmeFlag, navaid.rangeNm, navaid.lat, navaid.lon,
            navaid.elevationFt, navaid.kindText.c_str(), navaid.airport.c_str(), navaid.runway.c_str(),
            navaid.declination);
    return line;
}

std::string fixLine(const WorldFix& fix) {
    std::string line;
    // The source has no region; the field may not be empty.
    appendf(line, "%s,%.6f,%.6f,--\n", fix.ident.c_str(), fix.lat, fix.lon);
    return line;
}

std::string airwayLines(const WorldAirway& airway) {
    std::string lines;
    std::size_t segments = airway.points.empty() ? 0 : airway.points.size() - 1;
    lines += "A," + airway.name + "," + std::to_string(segments) + "\n";
    for (std::size_t i = 0; i < segments; ++i) {
        const AirwayPoint& from = airway.points[i];
        const AirwayPoint& to = airway.points[i + 1];
        GeoPoint a{from.lat, from.lon};
        GeoPoint b{to.lat, to.lon};
        int outbound = roundHalfAway(initialBearing(a, b)) % 360;
        int back = roundHalfAway(initialBearing(b, a)) % 360;
        appendf(lines, "S,%s,%.6f,%.6f,%s,%.6f,%.6f,%d,%d,%.2f\n", from.ident.c_str(), from.lat, from.lon,
                to.ident.c_str(), to.lat, to.lon, outbound, back, static_cast<double>(distanceNm(a, b)));
    }
    return lines;
}

namespace {

bool writeFile(const std::string& dir, const char* name, const std::string& content, ImportReport& report) {
    std::string why;
    if (!writeFileAtomically(joinPath(dir, name), content, &why)) {
        report.problems.push_back(why);
        return false;
    }
    report.outputTouched = true;
    return true;
}

}  // namespace

bool writeDatabaseFiles(const WorldDatabase& database, const std::string& dir, ImportReport& report) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        report.problems.push_back("cannot create " + dir + ": " + error.message());
        return false;
    }
    std::string text;
    for (const WorldAirport& airport : database.airports) text += airportLines(airport);
    if (!writeFile(dir, "airports.txt", text, report)) return false;
    text.clear();
    for (const WorldNavaid& navaid : database.navaids) text += navaidLine(navaid);
    if (!writeFile(dir, "Navaids.txt", text, report)) return false;
    text.clear();
    for (const WorldFix& fix : database.fixes) text += fixLine(fix);
    if (!writeFile(dir, "Waypoints.txt", text, report)) return false;
    text.clear();
    for (const WorldAirway& airway : database.airways) text += airwayLines(airway);
    if (!writeFile(dir, "Ats.txt", text, report)) return false;
    if (database.cycle.valid) {
        if (!writeFile(dir, "Cycle.txt", cycleLine(database.cycle), report)) return false;
        report.cycleText = expiryText(database.cycle);
    } else {
        std::filesystem::remove(joinPath(dir, "Cycle.txt"), error);
    }
    return true;
}

}  // namespace navimport
