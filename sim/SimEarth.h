#pragma once

#include "geo/Calendar.h"

// Exact spherical-earth math of the stand-in simulator's world. The earth radius is chosen so
// that one nautical mile is exactly one minute of arc.
namespace simearth {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kDegToRad = kPi / 180.0;
inline constexpr double kRadToDeg = 180.0 / kPi;
inline constexpr double kEarthRadiusNm = 10800.0 / kPi;
inline constexpr double kMetresPerNm = 1852.0;
inline constexpr double kMetresPerFoot = 0.3048;
inline constexpr double kGravity = 9.80665;  // m/s^2
inline constexpr double kMetresPerSecondPerKnot = kMetresPerNm / 3600.0;

// Wraps an angle into 0 <= a < 360.
double wrap360(double deg);
// Wraps an angle into -180 <= a < 180.
double wrap180(double deg);

// Great-circle destination from (lat, lon) along an initial true course for a distance.
void travel(double& latDeg, double& lonDeg, double courseDeg, double distanceNm);

// Great-circle distance in NM and initial true course in degrees.
double distanceNm(double lat1, double lon1, double lat2, double lon2);
double courseDeg(double lat1, double lon1, double lat2, double lon2);

}  // namespace simearth

// The simulator's clock (seconds since 1970-01-01 00:00:00 UTC) as a date and time of day.
struct SimUtc {
    CivilDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
SimUtc simUtc(double utcSeconds);
