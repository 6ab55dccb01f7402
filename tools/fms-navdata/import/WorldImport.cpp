#include "import/WorldImport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "geo/Geodesy.h"
#include "import/AirwayChains.h"
#include "import/DatabaseWriter.h"
#include "import/SourceText.h"
#include "import/XPlaneReaders.h"
#include "platform/Files.h"

namespace navimport {

namespace {

// A fix belongs to an airway point when identifiers agree and it lies this close. A navaid may
// lie farther from the point the airway data gives for it (the data places some at the DME,
// some a few miles off): it still is that point, and a fix added there would only stand
// between the pilot and the navaid when the identifier is typed.
constexpr double kOnAirwayNm = 2.0;
constexpr double kNavaidOnAirwayNm = 10.0;

// Passes lines through and reports progress every few thousand of them.
class ProgressSource : public LineSource {
public:
    ProgressSource(LineSource& inner, std::string_view stage, const ImportProgress& progress)
        : inner_(inner), stage_(stage), progress_(progress) {}
    bool next(std::string& line) override {
        if (progress_ && (++lines_ & 0x3FFF) == 0) progress_(stage_, inner_.progress());
        return inner_.next(line);
    }
    double progress() const override { return inner_.progress(); }

private:
    LineSource& inner_;
    std::string_view stage_;
    const ImportProgress& progress_;
    unsigned long lines_ = 0;
};

std::string sourcePath(const std::string& dir, const char* name) {
    std::string path = joinPath(dir, name);
    std::error_code error;
    if (std::filesystem::exists(path, error)) return path;
    std::string plain(name);
    if (plain.size() > 3 && plain.compare(plain.size() - 3, 3, ".gz") == 0) plain.resize(plain.size() - 3);
    std::string plainPath = joinPath(dir, plain);
    return std::filesystem::exists(plainPath, error) ? plainPath : path;
}

template <typename Reader>
bool readSource(const std::string& dir, const char* name, int version, std::string& cycle, ImportReport& report,
                const ImportProgress& progress, Reader reader) {
    std::string path = sourcePath(dir, name);
    GzLineSource file;
    if (!file.open(path)) {
        report.problems.push_back("cannot open " + path);
        return false;
    }
    std::string problem;
    if (!readSourceHeader(file, version, cycle, problem)) {
        report.problems.push_back(path + ": " + problem);
        return false;
    }
    ProgressSource lines(file, name, progress);
    bool complete = reader(lines);
    if (progress) progress(name, 1.0);
    if (file.failed()) {
        report.problems.push_back(path + ": read error (damaged compressed data?)");
        return false;
    }
    if (!complete) {
        report.problems.push_back(path + ": ends before its end row 99 (file cut short?)");
        return false;
    }
    return true;
}

// Indices of the records of `list` near each airway point, by identifier.
template <typename Record>
std::multimap<std::string, std::size_t> indexByIdent(const std::vector<Record>& list) {
    std::multimap<std::string, std::size_t> index;
    for (std::size_t i = 0; i < list.size(); ++i) index.emplace(list[i].ident, i);
    return index;
}

template <typename Record, typename Accept>
bool markNear(const std::vector<Record>& list, const std::multimap<std::string, std::size_t>& index,
              const AirwayPoint& point, std::vector<bool>& keep, Accept accept, double withinNm) {
    bool found = false;
    auto [first, last] = index.equal_range(point.ident);
    for (auto it = first; it != last; ++it) {
        const Record& record = list[it->second];
        if (!accept(record)) continue;
        if (distanceNm(GeoPoint{point.lat, point.lon}, GeoPoint{record.lat, record.lon}) <= withinNm) {
            keep[it->second] = true;
            found = true;
        }
    }
    return found;
}

bool onAirwayNavaid(const WorldNavaid& navaid) { return navaid.kindText != "LOC"; }

template <typename Record>
void keepMarked(std::vector<Record>& list, const std::vector<bool>& keep, FileReport& report) {
    std::vector<Record> kept;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (keep[i]) kept.push_back(std::move(list[i]));
    }
    long removed = static_cast<long>(list.size() - kept.size());
    if (removed > 0) report.skipped["outside the box"] += removed;
    list = std::move(kept);
}

void tally(const WorldDatabase& database, ImportReport& report) {
    report.airports.written = static_cast<long>(database.airports.size());
    report.airports.writtenChildren = 0;
    for (const WorldAirport& airport : database.airports) {
        report.airports.writtenChildren += static_cast<long>(airport.runways.size());
    }
    report.navaids.written = static_cast<long>(database.navaids.size());
    report.fixes.written = static_cast<long>(database.fixes.size());
    report.airways.written = static_cast<long>(database.airways.size());
    report.airways.writtenChildren = 0;
    for (const WorldAirway& airway : database.airways) {
        report.airways.writtenChildren += static_cast<long>(airway.points.size()) - 1;
    }
}

// Airway points that are neither a fix nor a navaid of the source would be dropped by the
// airway pages; they become fixes at the position the airway data gives.
void addMissingAirwayFixes(WorldDatabase& database, ImportReport& report) {
    auto fixIndex = indexByIdent(database.fixes);
    auto navaidIndex = indexByIdent(database.navaids);
    std::vector<bool> fixHit(database.fixes.size());
    std::vector<bool> navaidHit(database.navaids.size());
    std::vector<WorldFix> added;
    for (const WorldAirway& airway : database.airways) {
        for (const AirwayPoint& point : airway.points) {
            if (markNear(database.fixes, fixIndex, point, fixHit, [](const WorldFix&) { return true; },
                         kOnAirwayNm) ||
                markNear(database.navaids, navaidIndex, point, navaidHit, onAirwayNavaid, kNavaidOnAirwayNm)) {
                continue;
            }
            bool known = std::any_of(added.begin(), added.end(), [&](const WorldFix& fix) {
                return fix.ident == point.ident &&
                       distanceNm(GeoPoint{fix.lat, fix.lon}, GeoPoint{point.lat, point.lon}) <= kOnAirwayNm;
            });
            if (!known) added.push_back(WorldFix{point.ident, point.lat, point.lon});
        }
    }
    if (!added.empty()) report.fixes.notes["added from airway data (no fix or navaid there)"] += static_cast<long>(added.size());
    database.fixes.insert(database.fixes.end(), added.begin(), added.end());
}

void appendFile(std::string& out, const char* file, const FileReport& report, const char* records,
                const char* children) {
    char line[256];
    std::snprintf(line, sizeof line, "%-14s %ld %s", file, report.written, records);
    out += line;
    if (children != nullptr) {
        std::snprintf(line, sizeof line, ", %ld %s", report.writtenChildren, children);
        out += line;
    }
    out += '\n';
    for (const auto& [reason, count] : report.skipped) {
        std::snprintf(line, sizeof line, "    left out %8ld  %s\n", count, reason.c_str());
        out += line;
    }
    for (const auto& [reason, count] : report.notes) {
        std::snprintf(line, sizeof line, "    note     %8ld  %s\n", count, reason.c_str());
        out += line;
    }
}

}  // namespace

bool readWorld(const std::string& inputDir, WorldDatabase& database, ImportReport& report,
               const ImportProgress& progress) {
    std::string cycles[4];
    bool ok = readSource(inputDir, kNavaidSource, 810, cycles[0], report, progress, [&](LineSource& lines) {
        return readWorldNavaids(lines, database.navaids, report.navaids);
    });
    ok = ok && readSource(inputDir, kAirportSource, 1000, cycles[1], report, progress, [&](LineSource& lines) {
        return readWorldAirports(lines, database.navaids, database.airports, report.airports);
    });
    ok = ok && readSource(inputDir, kFixSource, 600, cycles[2], report, progress, [&](LineSource& lines) {
        return readWorldFixes(lines, database.fixes, report.fixes);
    });
    std::vector<SourceSegment> segments;
    ok = ok && readSource(inputDir, kAirwaySource, 640, cycles[3], report, progress, [&](LineSource& lines) {
        return readWorldAirwaySegments(lines, segments, report.airways);
    });
    if (!ok) return false;
    database.airways = buildAirwayChains(segments, report.airways);
    addMissingAirwayFixes(database, report);
    // The files of one set name the same cycle; the navaid file's header decides.
    for (const std::string& cycle : cycles) {
        if (cycle.empty()) continue;
        database.cycle = cycleDates(cycle);
        break;
    }
    tally(database, report);
    return true;
}

bool insideBox(const GeoBox& box, double lat, double lon) {
    if (lat < box.south || lat > box.north) return false;
    if (box.west <= box.east) return lon >= box.west && lon <= box.east;
    return lon >= box.west || lon <= box.east;
}

namespace {

// Liang-Barsky clipping of the line (x1,y1)-(x2,y2) against [xmin,xmax] x [ymin,ymax].
bool clipLine(double x1, double y1, double x2, double y2, double xmin, double xmax, double ymin, double ymax) {
    double t0 = 0.0;
    double t1 = 1.0;
    double dx = x2 - x1;
    double dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    return true;
}

}  // namespace

bool lineEntersBox(const GeoBox& box, double lat1, double lon1, double lat2, double lon2) {
    // Take the short way round in longitude, and try the line shifted by a full turn so that
    // boxes and lines on either side of the 180th meridian meet.
    if (lon2 - lon1 > 180.0) lon2 -= 360.0;
    if (lon2 - lon1 < -180.0) lon2 += 360.0;
    double west = box.west;
    double east = box.west <= box.east ? box.east : box.east + 360.0;
    for (double shift : {-360.0, 0.0, 360.0}) {
        if (clipLine(lon1 + shift, lat1, lon2 + shift, lat2, west, east, box.south, box.north)) return true;
    }
    return false;
}

void keepBox(WorldDatabase& database, const GeoBox& box, ImportReport& report) {
    std::vector<bool> keepAirway(database.airways.size(), false);
    for (std::size_t i = 0; i < database.airways.size(); ++i) {
        const auto& points = database.airways[i].points;
        for (std::size_t p = 0; p < points.size() && !keepAirway[i]; ++p) {
            if (insideBox(box, points[p].lat, points[p].lon)) keepAirway[i] = true;
            if (p + 1 < points.size() &&
                lineEntersBox(box, points[p].lat, points[p].lon, points[p + 1].lat, points[p + 1].lon)) {
                keepAirway[i] = true;
            }
        }
    }
    std::vector<bool> keepFix(database.fixes.size(), false);
    std::vector<bool> keepNavaid(database.navaids.size(), false);
    std::vector<bool> keepAirport(database.airports.size(), false);
    for (std::size_t i = 0; i < database.fixes.size(); ++i) {
        keepFix[i] = insideBox(box, database.fixes[i].lat, database.fixes[i].lon);
    }
    for (std::size_t i = 0; i < database.navaids.size(); ++i) {
        keepNavaid[i] = insideBox(box, database.navaids[i].lat, database.navaids[i].lon);
    }
    for (std::size_t i = 0; i < database.airports.size(); ++i) {
        keepAirport[i] = insideBox(box, database.airports[i].lat, database.airports[i].lon);
    }
    auto fixIndex = indexByIdent(database.fixes);
    auto navaidIndex = indexByIdent(database.navaids);
    for (std::size_t i = 0; i < database.airways.size(); ++i) {
        if (!keepAirway[i]) continue;
        for (const AirwayPoint& point : database.airways[i].points) {
            markNear(database.fixes, fixIndex, point, keepFix, [](const WorldFix&) { return true; }, kOnAirwayNm);
            markNear(database.navaids, navaidIndex, point, keepNavaid, onAirwayNavaid, kNavaidOnAirwayNm);
        }
    }
    keepMarked(database.airports, keepAirport, report.airports);
    keepMarked(database.navaids, keepNavaid, report.navaids);
    keepMarked(database.fixes, keepFix, report.fixes);
    keepMarked(database.airways, keepAirway, report.airways);
    tally(database, report);
}

bool runImport(const ImportOptions& options, ImportReport& report, const ImportProgress& progress) {
    WorldDatabase database;
    if (!readWorld(options.inputDir, database, report, progress)) return false;
    if (options.useBox) keepBox(database, options.box, report);
    return writeDatabaseFiles(database, options.outputDir, report);
}

std::string formatReport(const ImportReport& report) {
    std::string out;
    appendFile(out, "airports.txt", report.airports, "airports", "runway ends");
    appendFile(out, "Navaids.txt", report.navaids, "navaids", nullptr);
    appendFile(out, "Waypoints.txt", report.fixes, "fixes", nullptr);
    appendFile(out, "Ats.txt", report.airways, "airways", "segments");
    if (report.cycleText.empty()) {
        out += "Cycle.txt      not written: the sources name no known data cycle\n";
    } else {
        out += "Cycle.txt      expiry " + report.cycleText + "\n";
    }
    for (const std::string& problem : report.problems) out += "error: " + problem + "\n";
    return out;
}

}  // namespace navimport
