#include "SimEarth.h"

#include <algorithm>
#include <cmath>

namespace simearth {

double wrap360(double deg) {
    double r = std::fmod(deg, 360.0);
    if (r < 0.0) r += 360.0;
    return r >= 360.0 ? 0.0 : r;
}

double wrap180(double deg) {
    double r = wrap360(deg + 180.0) - 180.0;
    return r;
}

void travel(double& latDeg, double& lonDeg, double courseDeg, double distanceNm) {
    const double lat1 = latDeg * kDegToRad;
    const double lon1 = lonDeg * kDegToRad;
    const double d = distanceNm / kEarthRadiusNm;
    const double c = courseDeg * kDegToRad;
    const double sinLat2 = std::sin(lat1) * std::cos(d) + std::cos(lat1) * std::sin(d) * std::cos(c);
    const double lat2 = std::asin(std::clamp(sinLat2, -1.0, 1.0));
    const double lon2 =
        lon1 + std::atan2(std::sin(c) * std::sin(d) * std::cos(lat1), std::cos(d) - std::sin(lat1) * sinLat2);
    latDeg = lat2 * kRadToDeg;
    lonDeg = wrap180(lon2 * kRadToDeg);
}

double distanceNm(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kDegToRad;
    const double p2 = lat2 * kDegToRad;
    const double dp = p2 - p1;
    const double dl = (lon2 - lon1) * kDegToRad;
    const double a = std::sin(dp / 2) * std::sin(dp / 2) +
                     std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
    return 2.0 * std::asin(std::min(1.0, std::sqrt(a))) * kEarthRadiusNm;
}

double courseDeg(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kDegToRad;
    const double p2 = lat2 * kDegToRad;
    const double dl = (lon2 - lon1) * kDegToRad;
    const double y = std::sin(dl) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    return wrap360(std::atan2(y, x) * kRadToDeg);
}

}  // namespace simearth

SimUtc simUtc(double utcSeconds) {
    const double whole = std::floor(utcSeconds);
    const int64_t days = static_cast<int64_t>(std::floor(whole / 86400.0));
    const int secondOfDay = static_cast<int>(whole - static_cast<double>(days) * 86400.0);
    return {civilFromDays(days), secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60};
}
