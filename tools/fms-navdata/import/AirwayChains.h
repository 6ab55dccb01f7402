#pragma once

#include <vector>

#include "import/WorldData.h"
#include "import/XPlaneReaders.h"

namespace navimport {

// Rebuilds airways from unordered segments. Each airway name gives a graph of its points;
// the graph is cut into as few chains as its branch and end points allow, and every chain
// becomes one airway record:
// - a chain starts at an end point of the airway (a point with one segment), taking the end
//   points in the order in which they first appear in the source; then at remaining branch
//   points; a closed loop last, at its first listed point;
// - at a branch point the chain goes on along the segment that turns least;
// - points are the same point when identifier and position (to 1e-4 degree) agree;
// - a segment listed twice under one name is used once.
// Airways come out in the order in which their names first appear.
std::vector<WorldAirway> buildAirwayChains(const std::vector<SourceSegment>& segments, FileReport& report);

}  // namespace navimport
