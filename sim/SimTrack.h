#pragma once

#include <string>
#include <vector>

#include "SimWorld.h"

// The flown track as CSV (one sample per line, with a header) and as an SVG plot (the ground
// track in a north-up projection with start and end marks and a distance scale).
std::string trackCsv(const std::vector<SimTrackPoint>& track);
std::string trackSvg(const std::vector<SimTrackPoint>& track);

// Writes <prefix>.csv and <prefix>.svg. On failure returns false with a message.
bool writeTrackFiles(const std::vector<SimTrackPoint>& track, const std::string& prefix, std::string& error);
