#pragma once

#include <string>
#include <vector>

#include "SimWorld.h"

// What may be drawn over the track: planned lines (grey, dashed) and labelled marks.
struct SimPlotLine {
    double lat0, lon0, lat1, lon1;
};
struct SimPlotMark {
    double latDeg, lonDeg;
    std::string label;
};
struct SimPlotOverlay {
    std::string title;  // replaces the caption line
    std::vector<SimPlotLine> lines;
    std::vector<SimPlotMark> marks;
};

// The flown track as CSV (one sample per line, with a header) and as an SVG plot (the ground
// track in a north-up projection with start and end marks and a distance scale).
std::string trackCsv(const std::vector<SimTrackPoint>& track);
std::string trackSvg(const std::vector<SimTrackPoint>& track, const SimPlotOverlay& overlay = {});

// Writes <prefix>.csv and <prefix>.svg. On failure returns false with a message.
bool writeTrackFiles(const std::vector<SimTrackPoint>& track, const std::string& prefix, std::string& error);
