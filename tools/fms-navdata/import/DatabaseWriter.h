#pragma once

#include <string>

#include "import/WorldData.h"

namespace navimport {

// The five database text files as the importer writes them (comma-separated, one record per
// line, never an empty field). docs/data-formats.md describes every field.

std::string airportLines(const WorldAirport& airport);  // "A" line, then one "R" line per runway end
std::string navaidLine(const WorldNavaid& navaid);
std::string fixLine(const WorldFix& fix);
std::string airwayLines(const WorldAirway& airway);     // "A" header, then one "S" line per segment

// Data cycle "YYYY.NN" (the NN-th cycle of 28 days that starts in year YYYY) with its dates.
CycleInfo cycleDates(const std::string& name);
// The cycle line: field 1 is five characters of cycle number, then the expiry as "DDMMM YYYY",
// which the database shows on the INIT page as "DD-MMM-YYYY".
std::string cycleLine(const CycleInfo& cycle);
// "17-OCT-2013"
std::string expiryText(const CycleInfo& cycle);

// Writes the five files into `dir` (created when missing). Each file is written under a
// temporary name and renamed into place, so an interrupted run never leaves half a file.
// Without a valid cycle no cycle file is written and an old one is removed (it would name the
// wrong data). False, with the reason in `report.problems`, when a file cannot be written.
bool writeDatabaseFiles(const WorldDatabase& database, const std::string& dir, ImportReport& report);

}  // namespace navimport
