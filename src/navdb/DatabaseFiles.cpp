#include "navdb/DatabaseFiles.h"

#include <cstdio>

#include "navdb/SplitFields.h"
#include "platform/Files.h"

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

using Fields = std::vector<std::string_view>;

// Lines of one kind per record: `store` takes the fields of every non-empty line that has at
// least `minFields`; shorter lines are skipped.
template <typename Store>
ReadReport readRecords(std::string_view text, size_t minFields, Store&& store) {
    ReadReport report;
    Fields f;
    forEachLine(text, [&](size_t lineNumber, std::string_view line) {
        splitFieldViews(line, ",", f);
        if (f.empty()) return;
        if (f.size() < minFields) {
            skipLine(report, lineNumber);
            return;
        }
        store(f);
        ++report.records;
    });
    return report;
}

// Parent lines (field 0 `parentKind`) followed by their child lines (`childKind`). A child
// without a parent is skipped, and so are the children of a parent line that was itself
// skipped: they must not land on the parent before it. Other kinds are ignored.
template <typename StoreParent, typename StoreChild>
ReadReport readParentsAndChildren(std::string_view text, std::string_view parentKind, size_t parentFields,
                                  std::string_view childKind, size_t childFields, StoreParent&& storeParent,
                                  StoreChild&& storeChild) {
    ReadReport report;
    Fields f;
    bool haveParent = false;
    forEachLine(text, [&](size_t lineNumber, std::string_view line) {
        splitFieldViews(line, ",", f);
        if (f.empty()) return;
        if (f[0] == parentKind) {
            haveParent = f.size() >= parentFields;
            if (!haveParent) {
                skipLine(report, lineNumber);
                return;
            }
            storeParent(f);
            ++report.records;
        } else if (f[0] == childKind) {
            if (f.size() < childFields || !haveParent) {
                skipLine(report, lineNumber);
                return;
            }
            storeChild(f);
            ++report.children;
        }
    });
    return report;
}

// Reads one file of the data root into `read`, prints the reader's console line and, when
// the file was there, publishes `flag` (none for the cycle file).
template <typename Read>
bool loadFile(const std::string& dataRoot, std::string_view file, ReadyFlag* flag, const char* records,
              const char* children, Read&& read) {
    std::string text;
    std::string name(file);
    if (!readFileCapped(joinPath(dataRoot, file), text)) {
        std::printf("%s: cannot be read\n", name.c_str());
        std::fflush(stdout);
        return false;
    }
    printReport(name.c_str(), read(text), records, children);
    if (flag != nullptr) publish(*flag);
    return true;
}
}  // namespace

ReadReport readAirports(std::string_view text, std::vector<Airport>& airports) {
    return readParentsAndChildren(
        text, "A", kAirportFields, "R", kRunwayFields,
        [&](const Fields& f) {
            Airport& a = airports.emplace_back();
            a.ident = f[1];
            a.name = f[2];
            a.latitude = fieldReal(f[3]);
            a.longitude = fieldReal(f[4]);
            a.elevationFt = toInt16(fieldRealToInt(f[5]));
        },
        [&](const Fields& f) {
            Runway& r = airports.back().runways.emplace_back();
            r.ident = f[1];
            r.headingMag = toUint32(fieldInt(f[2]));
            r.lengthFt = toUint16(fieldInt(f[3]));
            r.secondLength = toUint16(fieldInt(f[4]));
            r.keptFlag = fieldInt(f[5]) != 0;
            r.keptReal = fieldReal(f[6]);
            r.inboundCourseMag = toUint16(fieldInt(f[7]));
            r.thresholdLatitude = fieldReal(f[8]);
            r.thresholdLongitude = fieldReal(f[9]);
            r.elevationFt = toInt16(fieldInt(f[10]));
            r.keptReal2 = fieldReal(f[11]);
        });
}

ReadReport readNavaids(std::string_view text, std::vector<Navaid>& navaids) {
    return readRecords(text, kNavaidFields, [&](const Fields& f) {
        Navaid& n = navaids.emplace_back();
        n.ident = f[0];
        n.name = f[1];
        n.frequency = fieldReal(f[2]);
        n.type = navaidType(fieldInt(f[3]), fieldInt(f[4]), f[1]);
        n.keptInt = fieldInt(f[5]);
        n.latitude = fieldReal(f[6]);
        n.longitude = fieldReal(f[7]);
        n.elevationFt = toInt16(fieldInt(f[8]));
        n.declination = fieldReal(f[12]);
        // Its position in the list, so a skipped line cannot leave a gap.
        n.dbIndex = static_cast<int32_t>(navaids.size() - 1);
    });
}

ReadReport readWaypoints(std::string_view text, std::vector<Fix>& fixes) {
    return readRecords(text, kFixFields, [&](const Fields& f) {
        Fix& x = fixes.emplace_back();
        x.ident = f[0];
        x.latitude = fieldReal(f[1]);
        x.longitude = fieldReal(f[2]);
        x.regionText = f[3];
        x.dbIndex = static_cast<int32_t>(fixes.size() - 1);
    });
}

ReadReport readAirways(std::string_view text, std::vector<Airway>& airways) {
    return readParentsAndChildren(
        text, "A", kAirwayFields, "S", kSegmentFields,
        [&](const Fields& f) {
            Airway& a = airways.emplace_back();
            a.name = f[1];
            a.segmentCount = fieldInt(f[2]);
        },
        [&](const Fields& f) {
            AirwaySegment& g = airways.back().segments.emplace_back();
            g.fromIdent = f[1];
            g.fromLatitude = fieldReal(f[2]);
            g.fromLongitude = fieldReal(f[3]);
            g.toIdent = f[4];
            g.toLatitude = fieldReal(f[5]);
            g.toLongitude = fieldReal(f[6]);
            g.inboundValue = static_cast<float>(fieldInt(f[7]));
            g.outboundValue = static_cast<float>(fieldInt(f[8]));
            g.segmentLength = fieldReal(f[9]);
        });
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
    Fields f;
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
    return loadFile(dataRoot, kCycleFile, nullptr, "cycle lines", nullptr, [&](std::string_view text) {
        db.cycleText.clear();
        return readCycle(text, db.cycleText);
    });
}

bool loadAirportsFile(NavDatabase& db, const std::string& dataRoot) {
    return loadFile(dataRoot, kAirportsFile, &db.airportsLoaded, "airports", "runways",
                    [&](std::string_view text) { return readAirports(text, db.airports); });
}

bool loadNavaidsFile(NavDatabase& db, const std::string& dataRoot) {
    return loadFile(dataRoot, kNavaidsFile, &db.navaidsLoaded, "navaids", nullptr,
                    [&](std::string_view text) {
                        ReadReport r = readNavaids(text, db.navaids);
                        // The grid is part of what the flag publishes.
                        buildNavaidGrid(db.navaidGrid, db.navaids);
                        return r;
                    });
}

bool loadWaypointsFile(NavDatabase& db, const std::string& dataRoot) {
    return loadFile(dataRoot, kWaypointsFile, &db.fixesLoaded, "fixes", nullptr,
                    [&](std::string_view text) { return readWaypoints(text, db.fixes); });
}

bool loadAirwaysFile(NavDatabase& db, const std::string& dataRoot) {
    return loadFile(dataRoot, kAirwaysFile, &db.airwaysLoaded, "airways", "segments",
                    [&](std::string_view text) { return readAirways(text, db.airways); });
}
