#include "pages/PositionText.h"

#include <cmath>

DegreesMinutes degreesMinutes(double value, int decimals) {
    double a = std::fabs(value);
    if (!std::isfinite(a) || a > 360.0) a = 0.0;  // a corrupt position shows as zero
    double scale = std::pow(10.0, decimals);
    // Count in units of the last shown decimal of a minute, then split.
    long long units = std::llround(a * 60.0 * scale);
    long long perDegree = std::llround(60.0 * scale);
    DegreesMinutes out;
    out.degrees = static_cast<int>(units / perDegree);
    out.minutes = static_cast<double>(units % perDegree) / scale;
    return out;
}
