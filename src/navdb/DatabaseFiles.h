#pragma once

#include "platform/Files.h"
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "navdb/NavDatabase.h"

// Readers of the five database files under the data root. Each file reader builds its path
// from the data root it is given (it runs on a loader thread and never touches the context),
// reads the whole file, appends to its own list and publishes its ready flag; a file that
// cannot be opened leaves the list empty and the flag clear. Each ends with one console line
// naming the file, the records read and the lines skipped.
//
// Lines outside the format are skipped, never half-read: a line with fewer fields than its
// kind needs, a runway line before any airport line, a segment line before any airway header,
// and a cycle field shorter than 11 characters.

inline constexpr std::string_view kAirportsFile = "data/airports.txt";
inline constexpr std::string_view kNavaidsFile = "data/Navaids.txt";
inline constexpr std::string_view kWaypointsFile = "data/Waypoints.txt";
inline constexpr std::string_view kAirwaysFile = "data/Ats.txt";
inline constexpr std::string_view kCycleFile = "data/Cycle.txt";

// What one reader did, for its console line.
struct ReadReport {
    size_t records = 0;           // airports, navaids, fixes, airways, cycle lines
    size_t children = 0;          // runways, airway segments
    size_t skipped = 0;           // lines outside the format
    size_t firstSkippedLine = 0;  // 1-based; 0 when none
};

// In-memory readers (the file readers and the fuzz targets use them). `text` is the whole
// file; a carriage return before a line end is dropped.
ReadReport readAirports(std::string_view text, std::vector<Airport>& airports);
ReadReport readNavaids(std::string_view text, std::vector<Navaid>& navaids);
ReadReport readWaypoints(std::string_view text, std::vector<Fix>& fixes);
ReadReport readAirways(std::string_view text, std::vector<Airway>& airways);
ReadReport readCycle(std::string_view text, std::string& cycleText);
// cycleText from one cycle field: drop 5 characters, insert "-" at 2, "-" over position 6.
// False (text unchanged) when the field is too short for that.
bool cycleTextFromField(std::string_view field, std::string& cycleText);

// File readers. Each returns false when its file could not be opened.
bool loadCycleFile(NavDatabase& db, const std::string& dataRoot);
bool loadAirportsFile(NavDatabase& db, const std::string& dataRoot);
bool loadNavaidsFile(NavDatabase& db, const std::string& dataRoot);
bool loadWaypointsFile(NavDatabase& db, const std::string& dataRoot);
bool loadAirwaysFile(NavDatabase& db, const std::string& dataRoot);


// Calls `onLine(lineNumber, line)` for every line of `text` (1-based numbers, the trailing
// carriage return removed).
template <typename F>
void forEachLine(std::string_view text, F&& onLine) {
    size_t lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        onLine(++lineNumber, line);
        pos = end + 1;
    }
}
