#include "import/XPlaneReaders.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "geo/Geodesy.h"

namespace navimport {

namespace {

constexpr double kFeetPerMetre = 3.28084;
constexpr double kFeetPerNm = 6076.12;

// The row that ends every source file.
bool isEndRow(const std::vector<std::string_view>& words) {
    return words.size() == 1 && words[0] == "99";
}

// Calls `row` with the words of every non-blank line up to the end row; true when that row came.
template <typename Row>
bool forEachDataRow(LineSource& source, Row&& row) {
    std::string line;
    while (source.next(line)) {
        std::vector<std::string_view> words = splitWords(line);
        if (words.empty()) continue;
        if (isEndRow(words)) return true;
        row(words);
    }
    return false;
}

void count(std::map<std::string, long>& reasons, const char* reason) {
    ++reasons[reason];
}

int wholeDegrees1To360(double degrees) {
    int whole = roundHalfAway(degrees);
    whole %= 360;
    if (whole <= 0) whole += 360;
    return whole;
}

// Elevations go into signed 16-bit fields of the database.
int storableElevation(long feet, FileReport& report) {
    if (feet < -32768 || feet > 32767) {
        count(report.notes, "elevation outside the 16-bit range limited");
        return feet < 0 ? -32768 : 32767;
    }
    return static_cast<int>(feet);
}

std::string keyOf(std::string_view airport, std::string_view runway) {
    std::string key(airport);
    key += '|';
    key.append(runway);
    return key;
}

// The airport and runway a localizer or an ILS DME serves (columns 8 and 9), when both are usable.
void takeRunwayOf(const std::vector<std::string_view>& words, WorldNavaid& navaid) {
    std::string airport = cleanIdent(words[8]);
    std::string runway = cleanIdent(words[9]);
    if (airport.empty() || runway.empty()) return;
    navaid.airport = std::move(airport);
    navaid.runway = std::move(runway);
}

}  // namespace

bool readSourceHeader(LineSource& source, int version, std::string& cycle, std::string& problem) {
    std::string first;
    std::string second;
    if (!source.next(first) || !source.next(second)) {
        problem = "the file is empty or has no header";
        return false;
    }
    std::vector<std::string_view> words = splitWords(second);
    long found = 0;
    if (words.empty() || !parseInt(words[0], found)) {
        problem = "the second line names no format version";
        return false;
    }
    if (found != version) {
        problem =
            "format version " + std::to_string(found) + " is not the supported " + std::to_string(version);
        return false;
    }
    cycle = cycleFromHeader(second);
    return true;
}

bool readWorldNavaids(LineSource& source, std::vector<WorldNavaid>& navaids, FileReport& report) {
    std::vector<WorldNavaid> read;
    std::vector<bool> isDme;
    const bool endSeen = forEachDataRow(source, [&](const std::vector<std::string_view>& words) {
        long code = 0;
        if (!parseInt(words[0], code)) {
            count(report.skipped, "unknown row type");
            return;
        }
        if (code == 6) {
            count(report.skipped, "glide slope (not used)");
            return;
        }
        if (code >= 7 && code <= 9) {
            count(report.skipped, "marker beacon (not used)");
            return;
        }
        if (code != 2 && code != 3 && code != 4 && code != 5 && code != 12 && code != 13) {
            count(report.skipped, "unknown row type");
            return;
        }
        if (words.size() < 8) {
            count(report.skipped, "too few fields");
            return;
        }
        double lat = 0, lon = 0, frequency = 0, extra = 0;
        long elevation = 0, range = 0;
        if (!parseReal(words[1], lat) || !parseReal(words[2], lon) || !parseInt(words[3], elevation) ||
            !parseReal(words[4], frequency) || !parseInt(words[5], range) || !parseReal(words[6], extra)) {
            count(report.skipped, "number unreadable");
            return;
        }
        if (!validPosition(lat, lon)) {
            count(report.skipped, "position out of range");
            return;
        }
        if (frequency <= 0.0 || range < 0) {
            count(report.skipped, "frequency or range out of range");
            return;
        }
        bool upperCased = false;
        WorldNavaid navaid;
        navaid.ident = cleanIdent(words[7], &upperCased);
        if (navaid.ident.empty()) {
            count(report.skipped, "identifier unusable");
            return;
        }
        if (upperCased) count(report.notes, "identifier upper-cased");
        navaid.lat = lat;
        navaid.lon = lon;
        navaid.elevationFt = storableElevation(elevation, report);
        navaid.rangeNm = static_cast<int>(std::min(range, 9999L));
        navaid.name = cleanName(words, 8);
        // NDB frequencies are kHz; VHF ones are MHz times 100 in the source.
        navaid.frequency = code == 2 ? frequency : frequency / 100.0;
        bool dme = false;
        switch (code) {
            case 2:
                navaid.kindText = "NDB";
                break;
            case 3:
                navaid.kindText = "VOR";
                navaid.vorFlag = 1;
                navaid.declination = extra;
                // A few stations give a west variation as 360 minus its size.
                if (navaid.declination > 180.0) {
                    navaid.declination -= 360.0;
                    count(report.notes, "VOR variation above 180 read as west");
                }
                break;
            case 4:
            case 5:
                // The database recognises a localizer by this exact name.
                navaid.kindText = "LOC";
                navaid.name = "ILS/CAT";
                navaid.localizerBearing = extra;
                if (words.size() >= 10) takeRunwayOf(words, navaid);
                break;
            default:  // 12, 13
                navaid.kindText = "DME";
                navaid.dmeFlag = 1;
                dme = true;
                if (words.size() >= 11 && words.back() == "DME-ILS") takeRunwayOf(words, navaid);
                break;
        }
        if (navaid.name.empty()) navaid.name = navaid.ident;
        read.push_back(std::move(navaid));
        isDme.push_back(dme);
    });

    // Join each DME to the nearest VOR of the same identifier at the same place.
    std::multimap<std::string, std::size_t> vorsByIdent;
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (read[i].vorFlag != 0) vorsByIdent.emplace(read[i].ident, i);
    }
    std::vector<bool> joined(read.size(), false);
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (!isDme[i]) continue;
        GeoPoint dmePoint{read[i].lat, read[i].lon};
        std::size_t best = read.size();
        double bestDistance = kSamePlaceNm;
        auto [first, last] = vorsByIdent.equal_range(read[i].ident);
        for (auto it = first; it != last; ++it) {
            WorldNavaid& vor = read[it->second];
            if (vor.dmeFlag != 0) continue;
            double distance = distanceNm(dmePoint, GeoPoint{vor.lat, vor.lon});
            if (distance <= bestDistance) {
                bestDistance = distance;
                best = it->second;
            }
        }
        if (best == read.size()) continue;
        WorldNavaid& vor = read[best];
        vor.dmeFlag = 1;
        vor.kindText = "VOR/DME";
        vor.rangeNm = std::max(vor.rangeNm, read[i].rangeNm);
        joined[i] = true;
        count(report.skipped, "DME joined to its VOR (one VOR/DME record)");
    }
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (!joined[i]) navaids.push_back(std::move(read[i]));
    }
    return endSeen;
}

VariationLookup::VariationLookup(const std::vector<WorldNavaid>& navaids) {
    for (const WorldNavaid& navaid : navaids) {
        Navaid station;
        station.latitude = static_cast<float>(navaid.lat);
        station.longitude = static_cast<float>(navaid.lon);
        station.declination = static_cast<float>(navaid.declination);
        stations_.push_back(station);
    }
    buildNavaidGrid(grid_, stations_);
}

bool VariationLookup::at(double lat, double lon, double& variation) const {
    const int32_t nearest = nearestVariationNavaid(grid_, stations_, lat, lon);
    variation = nearest < 0 ? 0.0 : stations_[static_cast<size_t>(nearest)].declination;
    return nearest >= 0;
}

namespace {

struct PendingAirport {
    bool active = false;  // a row-1 airport is being collected
    bool usable = false;
    std::string ident;
    std::string name;
    int elevationFt = 0;
    struct End {
        std::string ident;
        double lat, lon, displacedM;
    };
    struct LandRunway {
        double widthM;
        End ends[2];
    };
    std::vector<LandRunway> runways;
};

bool readRunwayEnd(const std::vector<std::string_view>& words, std::size_t at, PendingAirport::End& end,
                   FileReport& report) {
    end.ident = cleanIdent(words[at]);
    if (end.ident.empty()) {
        count(report.skipped, "runway: designator unusable");
        return false;
    }
    if (!parseReal(words[at + 1], end.lat) || !parseReal(words[at + 2], end.lon) ||
        !parseReal(words[at + 3], end.displacedM)) {
        count(report.skipped, "runway: number unreadable");
        return false;
    }
    if (!validPosition(end.lat, end.lon)) {
        count(report.skipped, "runway: position out of range");
        return false;
    }
    return true;
}

void finishAirport(PendingAirport& pending, const VariationLookup& variations,
                   const std::map<std::string, double>& localizers, std::vector<WorldAirport>& airports,
                   FileReport& report) {
    if (!pending.active || !pending.usable) {
        pending = PendingAirport{};
        return;
    }
    if (pending.runways.empty()) {
        count(report.skipped, "no land runway");
        pending = PendingAirport{};
        return;
    }
    WorldAirport airport;
    airport.ident = pending.ident;
    airport.name = pending.name;
    airport.elevationFt = pending.elevationFt;
    // The reference point is the middle of all runway ends; longitudes are taken relative to
    // the first end so that an airport on the 180th meridian does not average to 0.
    double refLon = pending.runways.front().ends[0].lon;
    double sumLat = 0.0;
    double sumDLon = 0.0;
    int ends = 0;
    for (const auto& runway : pending.runways) {
        for (const auto& end : runway.ends) {
            sumLat += end.lat;
            double dLon = end.lon - refLon;
            if (dLon > 180.0) dLon -= 360.0;
            if (dLon < -180.0) dLon += 360.0;
            sumDLon += dLon;
            ++ends;
        }
    }
    airport.lat = sumLat / ends;
    airport.lon = refLon + sumDLon / ends;
    if (airport.lon > 180.0) airport.lon -= 360.0;
    if (airport.lon < -180.0) airport.lon += 360.0;

    double variation = 0.0;
    if (!variations.at(airport.lat, airport.lon, variation)) {
        count(report.notes, "no station variation within 100 NM: runway headings true");
    }
    for (const auto& source : pending.runways) {
        GeoPoint a{source.ends[0].lat, source.ends[0].lon};
        GeoPoint b{source.ends[1].lat, source.ends[1].lon};
        double lengthFt = distanceNm(a, b) * kFeetPerNm;
        for (int side = 0; side < 2; ++side) {
            const auto& end = source.ends[side];
            GeoPoint from = side == 0 ? a : b;
            GeoPoint to = side == 0 ? b : a;
            WorldRunway runway;
            runway.ident = end.ident;
            runway.trueBearing = initialBearing(from, to);
            if (runway.trueBearing >= 360.0) runway.trueBearing -= 360.0;
            runway.headingMag = wholeDegrees1To360(runway.trueBearing - variation);
            runway.lengthFt = static_cast<int>(std::lround(std::min(lengthFt, 65535.0)));
            runway.widthFt = static_cast<int>(std::lround(std::min(source.widthM * kFeetPerMetre, 65535.0)));
            double displacedFt = end.displacedM * kFeetPerMetre;
            if (displacedFt < 0.0 || displacedFt >= lengthFt) {
                count(report.notes, "runway: displaced threshold outside the runway ignored");
                displacedFt = 0.0;
            }
            runway.displacedFt = static_cast<int>(std::lround(displacedFt));
            GeoPoint threshold = from;
            if (displacedFt > 0.0) {
                destinationPoint(from, threshold, static_cast<float>(runway.trueBearing),
                                 static_cast<float>(displacedFt / kFeetPerNm));
            }
            runway.thresholdLat = threshold.lat;
            runway.thresholdLon = threshold.lon;
            runway.elevationFt = airport.elevationFt;
            runway.inboundCourseMag = runway.headingMag;
            auto localizer = localizers.find(keyOf(airport.ident, runway.ident));
            if (localizer != localizers.end()) {
                runway.hasLocalizer = 1;
                // An offset localizer is flown on its own course, not the runway's.
                runway.inboundCourseMag = wholeDegrees1To360(localizer->second - variation);
            }
            airport.runways.push_back(std::move(runway));
        }
    }
    airports.push_back(std::move(airport));
    pending = PendingAirport{};
}

}  // namespace

bool readWorldAirports(LineSource& source, const std::vector<WorldNavaid>& navaids,
                       std::vector<WorldAirport>& airports, FileReport& report) {
    VariationLookup variations(navaids);
    std::map<std::string, double> localizers;
    for (const WorldNavaid& navaid : navaids) {
        if (navaid.kindText == "LOC" && navaid.airport != "-") {
            localizers.emplace(keyOf(navaid.airport, navaid.runway), navaid.localizerBearing);
        }
    }
    PendingAirport pending;
    const bool endSeen = forEachDataRow(source, [&](const std::vector<std::string_view>& words) {
        std::string_view code = words[0];
        if (code == "1" || code == "16" || code == "17") {
            finishAirport(pending, variations, localizers, airports, report);
            pending.active = true;
            if (code == "16") {
                count(report.skipped, "seaplane base (not used)");
                return;
            }
            if (code == "17") {
                count(report.skipped, "heliport (not used)");
                return;
            }
            long elevation = 0;
            if (words.size() < 5) {
                count(report.skipped, "too few fields");
                return;
            }
            if (!parseInt(words[1], elevation)) {
                count(report.skipped, "number unreadable");
                return;
            }
            bool upperCased = false;
            pending.ident = cleanIdent(words[4], &upperCased);
            if (pending.ident.empty()) {
                count(report.skipped, "identifier unusable");
                return;
            }
            if (words.size() > 5 && words[5] == "[X]") {
                count(report.skipped, "closed");
                return;
            }
            if (upperCased) count(report.notes, "identifier upper-cased");
            pending.name = cleanName(words, 5);
            if (pending.name.empty()) pending.name = pending.ident;
            pending.elevationFt = storableElevation(elevation, report);
            pending.usable = true;
        } else if (code == "100") {
            if (!pending.usable) return;  // runways of an airport already left out
            if (words.size() < 26) {
                count(report.skipped, "runway: too few fields");
                return;
            }
            PendingAirport::LandRunway runway{};
            if (!parseReal(words[1], runway.widthM) || runway.widthM < 0.0) {
                count(report.skipped, "runway: number unreadable");
                return;
            }
            if (!readRunwayEnd(words, 8, runway.ends[0], report) ||
                !readRunwayEnd(words, 17, runway.ends[1], report)) {
                return;
            }
            GeoPoint a{runway.ends[0].lat, runway.ends[0].lon};
            GeoPoint b{runway.ends[1].lat, runway.ends[1].lon};
            if (distanceNm(a, b) * kFeetPerNm < 1.0) {
                count(report.skipped, "runway: ends at the same place");
                return;
            }
            pending.runways.push_back(runway);
        }
    });
    finishAirport(pending, variations, localizers, airports, report);
    return endSeen;
}

bool readWorldFixes(LineSource& source, std::vector<WorldFix>& fixes, FileReport& report) {
    return forEachDataRow(source, [&](const std::vector<std::string_view>& words) {
        if (words.size() != 3) {
            count(report.skipped, words.size() < 3 ? "too few fields" : "too many fields");
            return;
        }
        WorldFix fix;
        if (!parseReal(words[0], fix.lat) || !parseReal(words[1], fix.lon)) {
            count(report.skipped, "number unreadable");
            return;
        }
        if (!validPosition(fix.lat, fix.lon)) {
            count(report.skipped, "position out of range");
            return;
        }
        bool upperCased = false;
        fix.ident = cleanIdent(words[2], &upperCased);
        if (fix.ident.empty()) {
            count(report.skipped, "identifier unusable");
            return;
        }
        if (upperCased) count(report.notes, "identifier upper-cased");
        fixes.push_back(std::move(fix));
    });
}

bool readWorldAirwaySegments(LineSource& source, std::vector<SourceSegment>& segments, FileReport& report) {
    return forEachDataRow(source, [&](const std::vector<std::string_view>& words) {
        if (words.size() < 10) {
            count(report.skipped, "segment: too few fields");
            return;
        }
        SourceSegment segment;
        if (!parseReal(words[1], segment.from.lat) || !parseReal(words[2], segment.from.lon) ||
            !parseReal(words[4], segment.to.lat) || !parseReal(words[5], segment.to.lon)) {
            count(report.skipped, "segment: number unreadable");
            return;
        }
        if (!validPosition(segment.from.lat, segment.from.lon) ||
            !validPosition(segment.to.lat, segment.to.lon)) {
            count(report.skipped, "segment: position out of range");
            return;
        }
        bool fromChanged = false;
        bool toChanged = false;
        segment.from.ident = cleanIdent(words[0], &fromChanged);
        segment.to.ident = cleanIdent(words[3], &toChanged);
        if (segment.from.ident.empty() || segment.to.ident.empty()) {
            count(report.skipped, "segment: identifier unusable");
            return;
        }
        if (fromChanged || toChanged) count(report.notes, "segment: identifier upper-cased");
        if (segment.from.ident == segment.to.ident && segment.from.lat == segment.to.lat &&
            segment.from.lon == segment.to.lon) {
            count(report.skipped, "segment: from a point to itself");
            return;
        }
        // The names are the rest of the line; a segment shared by several airways joins
        // their names with '-'. A name may hold a blank.
        std::string names;
        for (std::size_t i = 9; i < words.size(); ++i) {
            if (!names.empty()) names += ' ';
            names.append(words[i]);
        }
        std::size_t start = 0;
        while (start <= names.size()) {
            std::size_t dash = names.find('-', start);
            if (dash == std::string::npos) dash = names.size();
            std::string name = cleanName(std::string_view(names).substr(start, dash - start));
            if (!name.empty() &&
                std::find(segment.names.begin(), segment.names.end(), name) == segment.names.end()) {
                segment.names.push_back(std::move(name));
            }
            start = dash + 1;
        }
        if (segment.names.empty()) {
            count(report.skipped, "segment: no airway name");
            return;
        }
        if (segment.names.size() > 1) count(report.notes, "segment: listed under several airway names");
        segments.push_back(std::move(segment));
    });
}

}  // namespace navimport
