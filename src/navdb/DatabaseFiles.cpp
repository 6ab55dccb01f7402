#include "navdb/DatabaseFiles.h"

#include <cstdio>

#include "navdb/SplitFields.h"
#include "shell/DataPath.h"

namespace {
constexpr size_t kAirportFields = 6;
constexpr size_t kRunwayFields = 12;
constexpr size_t kNavaidFields = 13;
constexpr size_t kFixFields = 4;
constexpr size_t kAirwayFields = 3;
constexpr size_t kSegmentFields = 10;
constexpr size_t kCycleFields = 2;

void skipLine(ReadReport& report, size_t lineNumber) {
    if (report.skipped++ == 0) report.firstSkippedLine = lineNumber;
}

NavaidType navaidType(int32_t vorFlag, int32_t dmeFlag, std::string_view name) {
    if (vorFlag != 0) return dmeFlag != 0 ? NavaidType::VorDme : NavaidType::Vor;
    if (dmeFlag != 0) return NavaidType::Dme;
    return name == "ILS/CAT" ? NavaidType::Localizer : NavaidType::Ndb;
}

uint32_t toUint32(int32_t value) {
    return value < 0 ? 0u : static_cast<uint32_t>(value);
}

void printReport(const char* file, const ReadReport& r, const char* records, const char* children) {
    char detail[96] = "";
    if (r.skipped > 0) std::snprintf(detail, sizeof detail, " (first: line %zu)", r.firstSkippedLine);
    if (children != nullptr) {
        std::printf("%s: %zu %s, %zu %s, lines skipped: %zu%s\n", file, r.records, records, r.children,
                    children, r.skipped, detail);
    } else {
        std::printf("%s: %zu %s, lines skipped: %zu%s\n", file, r.records, records, r.skipped, detail);
    }
    std::fflush(stdout);
}
}  // namespace

bool readTextFile(const std::string& path, std::string& out) {
    out.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    bool ok = true;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        if (size > 0) out.reserve(static_cast<size_t>(size));
        std::rewind(file);
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
    if (std::ferror(file)) ok = false;
    std::fclose(file);
    return ok;
}

ReadReport readAirports(std::string_view text, std::vector<Airport>& airports) {
    ReadReport report;
    std::vector<std::string_view> f;
    // A skipped airport line also orphans its runway lines: they must not land on the
    // airport before it.
    bool haveParent = false;
    forEachLine(text, [&](size_t lineNumber, std::string_view line) {
        splitFieldViews(line, ",", f);
        if (f.empty()) return;
        if (f[0] == "A") {
            if (f.size() < kAirportFields) {
                haveParent = false;
                skipLine(report, lineNumber);
                return;
            }
            Airport& a = airports.emplace_back();
            a.ident = f[1];
            a.name = f[2];
            a.latitude = fieldReal(f[3]);
            a.longitude = fieldReal(f[4]);
            a.elevation = toInt16(fieldRealToInt(f[5]));
            haveParent = true;
            ++report.records;
        } else if (f[0] == "R") {
            if (f.size() < kRunwayFields || !haveParent) {
                skipLine(report, lineNumber);
                return;
            }
            Runway& r = airports.back().runways.emplace_back();
            r.ident = f[1];
            r.heading = toUint32(fieldInt(f[2]));
            r.length = toUint16(fieldInt(f[3]));
            r.secondLength = toUint16(fieldInt(f[4]));
            r.keptFlag = fieldInt(f[5]) != 0;
            r.keptReal = fieldReal(f[6]);
            r.inboundCourse = toUint16(fieldInt(f[7]));
            r.thresholdLatitude = fieldReal(f[8]);
            r.thresholdLongitude = fieldReal(f[9]);
            r.elevation = toInt16(fieldInt(f[10]));
            r.keptReal2 = fieldReal(f[11]);
            ++report.children;
        }
    });
    return report;
}

ReadReport readNavaids(std::string_view text, std::vector<Navaid>& navaids) {
    ReadReport report;
    std::vector<std::string_view> f;
    forEachLine(text, [&](size_t lineNumber, std::string_view line) {
        splitFieldViews(line, ",", f);
        if (f.empty()) return;
        if (f.size() < kNavaidFields) {
            skipLine(report, lineNumber);
            return;
        }
        Navaid& n = navaids.emplace_back();
        n.ident = f[0];
        n.name = f[1];
        n.frequency = fieldReal(f[2]);
        n.type = navaidType(fieldInt(f[3]), fieldInt(f[4]), f[1]);
        n.keptInt = fieldInt(f[5]);
        n.latitude = fieldReal(f[6]);
        n.longitude = fieldReal(f[7]);
        n.elevation = toInt16(fieldInt(f[8]));
        n.declination = fieldReal(f[12]);
        // Its position in the list, so a skipped line cannot leave a gap.
        n.dbIndex = static_cast<int32_t>(navaids.size() - 1);
        ++report.records;
    });
    return report;
}

ReadReport readWaypoints(std::string_view text, std::vector<Fix>& fixes) {
    ReadReport report;
    std::vector<std::string_view> f;
    forEachLine(text, [&](size_t lineNumber, std::string_view line) {
        splitFieldViews(line, ",", f);
        if (f.empty()) return;
        if (f.size() < kFixFields) {
            skipLine(report, lineNumber);
            return;
        }
        Fix& x = fixes.emplace_back();
        x.ident = f[0];
        x.latitude = fieldReal(f[1]);
        x.longitude = fieldReal(f[2]);
        x.regionText = f[3];
        x.dbIndex = static_cast<int32_t>(fixes.size() - 1);
        ++report.records;
    });
    return report;
}

ReadReport readAirways(std::string_view text, std::vector<Airway>& airways) {
    ReadReport report;
    std::vector<std::string_view> f;
    bool haveParent = false;
    forEachLine(text, [&](size_t lineNumber, std::string_view line) {
        splitFieldViews(line, ",", f);
        if (f.empty()) return;
        if (f[0] == "A") {
            if (f.size() < kAirwayFields) {
                haveParent = false;
                skipLine(report, lineNumber);
                return;
            }
            Airway& a = airways.emplace_back();
            a.name = f[1];
            a.segmentCount = fieldInt(f[2]);
            haveParent = true;
            ++report.records;
        } else if (f[0] == "S") {
            if (f.size() < kSegmentFields || !haveParent) {
                skipLine(report, lineNumber);
                return;
            }
            AirwaySegment& s = airways.back().segments.emplace_back();
            s.fromIdent = f[1];
            s.fromLatitude = fieldReal(f[2]);
            s.fromLongitude = fieldReal(f[3]);
            s.toIdent = f[4];
            s.toLatitude = fieldReal(f[5]);
            s.toLongitude = fieldReal(f[6]);
            s.inboundValue = static_cast<float>(fieldInt(f[7]));
            s.outboundValue = static_cast<float>(fieldInt(f[8]));
            s.segmentLength = fieldReal(f[9]);
            ++report.children;
        }
    });
    return report;
}

bool cycleTextFromField(std::string_view field, std::string& cycleText) {
    // Dropping 5 characters, inserting one and then writing position 6 needs 11 characters.
    if (field.size() < 11) return false;
    // Built by appending: GCC's release build misreads insert() here as an overlapping copy.
    std::string text(field.substr(5, 2));
    text += '-';
    text.append(field.substr(7));
    text[6] = '-';
    cycleText = std::move(text);
    return true;
}

ReadReport readCycle(std::string_view text, std::string& cycleText) {
    ReadReport report;
    std::vector<std::string_view> f;
    forEachLine(text, [&](size_t lineNumber, std::string_view line) {
        splitFieldViews(line, ",", f);
        if (f.empty()) return;
        if (f.size() < kCycleFields || !cycleTextFromField(f[1], cycleText)) {
            skipLine(report, lineNumber);
            return;
        }
        ++report.records;
    });
    return report;
}

bool loadCycleFile(NavDatabase& db, const std::string& dataRoot) {
    std::string text;
    if (!readTextFile(joinPath(dataRoot, kCycleFile), text)) {
        std::printf("data/Cycle.txt: cannot be read\n");
        return false;
    }
    db.cycleText.clear();
    printReport("data/Cycle.txt", readCycle(text, db.cycleText), "cycle lines", nullptr);
    return true;
}

bool loadAirportsFile(NavDatabase& db, const std::string& dataRoot) {
    std::string text;
    if (!readTextFile(joinPath(dataRoot, kAirportsFile), text)) {
        std::printf("data/airports.txt: cannot be read\n");
        return false;
    }
    printReport("data/airports.txt", readAirports(text, db.airports), "airports", "runways");
    publish(db.airportsLoaded);
    return true;
}

bool loadNavaidsFile(NavDatabase& db, const std::string& dataRoot) {
    std::string text;
    if (!readTextFile(joinPath(dataRoot, kNavaidsFile), text)) {
        std::printf("data/Navaids.txt: cannot be read\n");
        return false;
    }
    printReport("data/Navaids.txt", readNavaids(text, db.navaids), "navaids", nullptr);
    // The grid is part of what the flag publishes.
    buildNavaidGrid(db.navaidGrid, db.navaids);
    publish(db.navaidsLoaded);
    return true;
}

bool loadWaypointsFile(NavDatabase& db, const std::string& dataRoot) {
    std::string text;
    if (!readTextFile(joinPath(dataRoot, kWaypointsFile), text)) {
        std::printf("data/Waypoints.txt: cannot be read\n");
        return false;
    }
    printReport("data/Waypoints.txt", readWaypoints(text, db.fixes), "fixes", nullptr);
    publish(db.fixesLoaded);
    return true;
}

bool loadAirwaysFile(NavDatabase& db, const std::string& dataRoot) {
    std::string text;
    if (!readTextFile(joinPath(dataRoot, kAirwaysFile), text)) {
        std::printf("data/Ats.txt: cannot be read\n");
        return false;
    }
    printReport("data/Ats.txt", readAirways(text, db.airways), "airways", "segments");
    publish(db.airwaysLoaded);
    return true;
}
