#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "import/WorldData.h"

namespace navimport {

// The whole conversion: read the four world source files of a folder, rebuild the airways,
// keep what a box asks for, write the five database files.

// Called while reading with the stage (source file name) and the fraction done.
using ImportProgress = std::function<void(std::string_view stage, double fraction)>;

// Source file names; each may also be present without the ".gz" ending (plain text).
constexpr const char* kAirportSource = "apt.dat.gz";
constexpr const char* kNavaidSource = "nav.dat.gz";
constexpr const char* kFixSource = "fix.dat.gz";
constexpr const char* kAirwaySource = "awy.dat.gz";

// Reads the four sources into `database`. False, with `report.problems` filled, when a source
// is missing, unreadable or of another format version.
bool readWorld(const std::string& inputDir, WorldDatabase& database, ImportReport& report,
               const ImportProgress& progress = {});

// Keeps the airports, navaids and fixes inside the box, every airway that enters it (whole),
// and the fixes and navaids on those airways. What is left out is counted as "outside the box".
void keepBox(WorldDatabase& database, const GeoBox& box, ImportReport& report);

// The point lies in the box.
bool insideBox(const GeoBox& box, double lat, double lon);
// The straight line in latitude and longitude between two points enters the box.
bool lineEntersBox(const GeoBox& box, double lat1, double lon1, double lat2, double lon2);

// readWorld, keepBox when asked, writeDatabase.
bool runImport(const ImportOptions& options, ImportReport& report, const ImportProgress& progress = {});

// The summary of a run: counts per file, with reasons for what was left out or adjusted.
std::string formatReport(const ImportReport& report);

}  // namespace navimport
