#pragma once

#include <map>
#include <string>
#include <vector>

namespace navimport {

// The navigation database as the importer builds it from the world source files, before it
// is written as the five database text files. Texts are already clean (no commas, never
// empty); positions in degrees, north and east positive.

struct WorldRunway {
    std::string ident;          // designator of this runway end, e.g. "16L"
    int headingMag = 0;         // whole degrees magnetic, 1..360
    int lengthFt = 0;           // end to end
    int widthFt = 0;
    int hasLocalizer = 0;       // 1 when a localizer serves this runway end
    double trueBearing = 0.0;   // degrees true, this end toward the opposite end
    int inboundCourseMag = 0;   // final approach course, whole degrees magnetic, 1..360
    double thresholdLat = 0.0;  // landing threshold (runway end moved by its displacement)
    double thresholdLon = 0.0;
    int elevationFt = 0;
    int displacedFt = 0;
};

struct WorldAirport {
    std::string ident;
    std::string name;
    double lat = 0.0;
    double lon = 0.0;
    int elevationFt = 0;
    std::vector<WorldRunway> runways;
};

// The database's navaid type follows from the two flags and the name.
struct WorldNavaid {
    std::string ident;
    std::string name;          // "ILS/CAT" for every localizer: the readers recognise it by that
    double frequency = 0.0;    // MHz for VHF navaids, kHz for NDBs
    int vorFlag = 0;
    int dmeFlag = 0;
    int rangeNm = 0;
    double lat = 0.0;
    double lon = 0.0;
    int elevationFt = 0;
    std::string kindText;      // "NDB", "VOR", "VOR/DME", "LOC", "DME": for people reading the file
    std::string airport = "-"; // airport and runway of a localizer or ILS DME
    std::string runway = "-";
    double declination = 0.0;  // station variation of a VOR, east positive; 0 for others
    double localizerBearing = 0.0;  // true course of a localizer (not written)
};

struct WorldFix {
    std::string ident;
    double lat = 0.0;
    double lon = 0.0;
};

struct AirwayPoint {
    std::string ident;
    double lat = 0.0;
    double lon = 0.0;
};

// One airway as one ordered chain of points; segment i joins points i and i+1.
struct WorldAirway {
    std::string name;
    std::vector<AirwayPoint> points;
};

// Effective date of a data cycle and the date the next one replaces it.
struct CycleInfo {
    std::string name;  // "2013.10"
    int year = 0;
    int number = 0;
    int effectiveYear = 0, effectiveMonth = 0, effectiveDay = 0;
    int expiryYear = 0, expiryMonth = 0, expiryDay = 0;
    bool valid = false;
};

struct WorldDatabase {
    std::vector<WorldAirport> airports;
    std::vector<WorldNavaid> navaids;
    std::vector<WorldFix> fixes;
    std::vector<WorldAirway> airways;
    CycleInfo cycle;
};

// What happened to the rows of one output file.
struct FileReport {
    long written = 0;                     // records written (airports, navaids, fixes, airways)
    long writtenChildren = 0;             // runways or airway segments written
    std::map<std::string, long> skipped;  // reason -> rows left out
    std::map<std::string, long> notes;    // reason -> rows kept but adjusted
};

struct ImportReport {
    FileReport airports;
    FileReport navaids;
    FileReport fixes;
    FileReport airways;
    std::string cycleText;                // what the cycle file makes of the expiry, or empty
    std::vector<std::string> problems;    // fatal problems (missing input, unwritable output)
    bool outputTouched = false;           // some database file was replaced before a failure
};

// A latitude/longitude box; west > east means the box crosses the 180th meridian.
struct GeoBox {
    double south = -90.0;
    double west = -180.0;
    double north = 90.0;
    double east = 180.0;
};

struct ImportOptions {
    std::string inputDir;
    std::string outputDir;
    bool useBox = false;
    GeoBox box;
};

}  // namespace navimport
