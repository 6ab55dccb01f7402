#pragma once

#include <string>
#include <vector>

#include "import/SourceText.h"
#include "import/WorldData.h"
#include "navdb/NavDatabase.h"
#include "navdb/NavaidGrid.h"

namespace navimport {

// Readers of the four world source formats: airports (version 1000), navaids (810), named
// fixes (600) and airway segments (640). Each reads its whole source, appends what it can use
// and counts every row it leaves out by reason. A header with another format version is
// refused: its columns would be read wrongly. Each reader returns false when the source ends
// before its end row ("99"): a file cut short must not pass for a whole one.

// One airway segment as listed in the source: unordered, possibly under several names.
struct SourceSegment {
    AirwayPoint from;
    AirwayPoint to;
    std::vector<std::string> names;
};

// Reads the two header lines; false (with `problem` set) when the version is not `version`.
// `cycle` receives the data cycle the header names (may be empty).
bool readSourceHeader(LineSource& source, int version, std::string& cycle, std::string& problem);

// Navaids: NDBs, VORs, localizers and DMEs. A DME with the identifier of a VOR at the same
// place (within `kSamePlaceNm`) becomes that VOR's DME (one VOR/DME record).
constexpr double kSamePlaceNm = 1.0;
bool readWorldNavaids(LineSource& source, std::vector<WorldNavaid>& navaids, FileReport& report);

// Airports with their land runways. Needs the navaids already read: runway headings are made
// magnetic with the variation of the nearest VOR, and a localizer marks its runway end.
bool readWorldAirports(LineSource& source, const std::vector<WorldNavaid>& navaids,
                  std::vector<WorldAirport>& airports, FileReport& report);

bool readWorldFixes(LineSource& source, std::vector<WorldFix>& fixes, FileReport& report);

bool readWorldAirwaySegments(LineSource& source, std::vector<SourceSegment>& segments, FileReport& report);

// The variation at a point by the rule the program itself uses (magneticVariationAt): the
// nearest navaid with a variation within 100 NM, so that runway headings written by the
// importer agree with the variation the program applies on the same runway.
class VariationLookup {
public:
    explicit VariationLookup(const std::vector<WorldNavaid>& navaids);
    // False when no station is near enough (value then 0).
    bool at(double lat, double lon, double& variation) const;

private:
    std::vector<Navaid> stations_;
    NavaidGrid grid_;
};

}  // namespace navimport
