#pragma once

#include <string>

// Spherical-earth navigation functions. They carry their own approximation of pi (3.14159)
// and the radius that follows from it: stored and displayed distances, courses and
// waypoint positions across the system are computed with these constants, so results
// must match them rather than the exact value of pi.
//
// Distances are nautical miles, courses degrees true, latitudes north positive,
// longitudes east positive.

struct GeoPoint {
    double lat = 0.0;
    double lon = 0.0;
};

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

namespace geo {
constexpr double kPi = 3.14159;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToDeg = 180.0 / kPi;                  // 57.295827908797776
constexpr double kDegToRadCosine = 0.01745329252;          // law-of-cosines forms and unit vectors
constexpr double kRadToDegVector = 57.2957795129;          // vector forms
constexpr double kNmPerRadian = 10800.0 / kPi;             // 3437.749674527867
constexpr double kRadPerNm = kPi / 10800.0;                // 0.00029088796296296293
constexpr double kFullCircle = 6.28318;
constexpr double kFtPerSecPerKnot = 1.68781;
constexpr double kGravityFtPerSec2 = 32.174;
constexpr double kFtPerNmTurn = 6080.2;
constexpr double kFtPerNmPath = 6076.12;
constexpr double kFpmPerKnot = 101.27;
constexpr double kFtPerMetre = 3.28084;
constexpr double kFtPerMetreRadio = 3.28;
constexpr double kKnotsPerMetrePerSec = 1.94;
}  // namespace geo

constexpr double NM_PER_RADIAN = geo::kNmPerRadian;

// Haversine distance: leg lengths, distance to go, sequencing, holding, NAV pages.
float distanceNm(const GeoPoint& a, const GeoPoint& b);
// Spherical law of cosines: single distances from a fixed point (area filters, pages).
// The arccosine argument is limited to [-1, 1] so coincident points give 0, not NaN.
double distanceNmCosine(double lat1, double lon1, double lat2, double lon2);

// Initial great-circle course from `from` to `to`, degrees true in 0..360.
float initialBearing(const GeoPoint& from, const GeoPoint& to);
// The same course in the law-of-cosines constants; used by the flight-plan pages.
double initialBearingCosine(double lat1, double lon1, double lat2, double lon2);
// Initial course as whole degrees 0..359 from unit vectors (HDG page).
int vectorCourse(const GeoPoint& a, const GeoPoint& b);

// The point `distNm` from `from` along the initial course `courseDeg`.
void destinationPoint(const GeoPoint& from, GeoPoint& out, float courseDeg, float distNm);
// Intersection of the great circle through a and b with the one through c and d (the one of
// the two antipodal candidates on the side of the four points).
GeoPoint greatCircleIntersection(const GeoPoint& a, const GeoPoint& b, const GeoPoint& c, const GeoPoint& d);

// Cross-track distance of p from the great circle a -> b; positive when p is to the right.
float crossTrackNm(const GeoPoint& a, const GeoPoint& b, const GeoPoint& p);
// Distance along the leg from its start (or from its end when fromEnd) to the point abeam p.
float alongTrackNm(const GeoPoint& legStart, const GeoPoint& legEnd, const GeoPoint& p, float xtkNm,
                   bool fromEnd);

// One-step wraps: normalize360(360) stays 360, normalize360(-400) is -40;
// normalize180 leaves values below -180 unchanged.
double normalize360(double x);
double normalize180(double x);

Vec3 unitVector(const GeoPoint& p);
Vec3 cross(const Vec3& a, const Vec3& b);
double dot(const Vec3& a, const Vec3& b);
Vec3 add(const Vec3& a, const Vec3& b);
double length(const Vec3& a);
// Signed angle in radians from u to v about `axis`.
float signedAngle(const Vec3& u, const Vec3& v, const Vec3& axis);

// Distance before the waypoint at which a fly-by turn starts, 0..100 NM; 0 while the
// simulator is paused or slewing (the caller passes that state).
float turnAnticipationNm(float courseIn, float courseOut, float groundSpeedKt, float bankDeg,
                         bool pausedOrSlewing);

// Vertical path helpers.
float distanceForAltitudeChangeNm(int verticalSpeedFpm, int groundSpeedKt, int altitudeChangeFt);
float flightPathAngleDeg(int verticalSpeedFpm, int groundSpeedKt, int altitudeChangeFt);
int verticalSpeedForGradientFpm(int groundSpeedKt, int distanceFt, int altitudeChangeFt);

float clampf(float x, float low, float high);
int roundHalfAway(double x);
int ceilingOf(double x);
int maxInt(int a, int b);

// Time to go as "h+m" (one hour five minutes "1+5"); "--+--" when the ground speed gives no
// meaningful time (zero or negative).
std::string timeToGoText(float distNm, float groundSpeedKt);
std::string timeToGoText(const GeoPoint& from, const GeoPoint& to, float groundSpeedKt);
