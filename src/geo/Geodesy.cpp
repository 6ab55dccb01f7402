#include "geo/Geodesy.h"

#include <climits>
#include <algorithm>
#include <cmath>

using namespace geo;

namespace {
double clampUnit(double x) { return x > 1.0 ? 1.0 : (x < -1.0 ? -1.0 : x); }

int truncateToInt(double x) {
    if (!(x == x)) return 0;  // NaN
    if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(x);
}
}  // namespace

float distanceNm(const GeoPoint& a, const GeoPoint& b) {
    double latA = a.lat * kDegToRad;
    double latB = b.lat * kDegToRad;
    double dLat = (a.lat - b.lat) * kDegToRad;
    double dLon = (a.lon - b.lon) * kDegToRad;
    double sLat = std::sin(dLat / 2.0);
    double sLon = std::sin(dLon / 2.0);
    double h = sLat * sLat + std::cos(latA) * std::cos(latB) * sLon * sLon;
    return static_cast<float>(2.0 * std::asin(std::sqrt(clampUnit(h))) * kNmPerRadian);
}

double distanceNmCosine(double lat1, double lon1, double lat2, double lon2) {
    double p1 = lat1 * kDegToRadCosine;
    double p2 = lat2 * kDegToRadCosine;
    double c = std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos((lon2 - lon1) * kDegToRadCosine);
    return std::acos(clampUnit(c)) * kNmPerRadian;
}

float initialBearing(const GeoPoint& from, const GeoPoint& to) {
    double latF = from.lat * kDegToRad;
    double latT = to.lat * kDegToRad;
    double dLon = (to.lon - from.lon) * kDegToRad;
    double theta = std::atan2(std::sin(dLon) * std::cos(latT),
                              std::cos(latF) * std::sin(latT) - std::sin(latF) * std::cos(latT) * std::cos(dLon));
    double deg = std::fmod(theta, kFullCircle) * kRadToDeg;
    if (deg < 0.0) deg += 360.0;
    if (deg > 360.0) deg -= 360.0;
    return static_cast<float>(deg);
}

double initialBearingCosine(double lat1, double lon1, double lat2, double lon2) {
    double p1 = lat1 * kDegToRadCosine;
    double p2 = lat2 * kDegToRadCosine;
    double dLon = (lon1 - lon2) * kDegToRadCosine;
    double theta = std::atan2(std::sin(dLon) * std::cos(p2),
                              std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dLon));
    double deg = -std::fmod(theta, kFullCircle) * 180.0 / kPi;
    if (deg > 360.0) {
        deg -= 360.0;
    } else if (deg < 0.0) {
        deg += 360.0;
    }
    return deg;
}

Vec3 unitVector(const GeoPoint& p) {
    double lat = p.lat * kDegToRadCosine;
    double lon = p.lon * kDegToRadCosine;
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 add(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

double length(const Vec3& a) { return std::sqrt(dot(a, a)); }

float signedAngle(const Vec3& u, const Vec3& v, const Vec3& axis) {
    Vec3 c = cross(u, v);
    float s = static_cast<float>(length(c));
    if (dot(c, axis) < 0.0) s = -s;
    return static_cast<float>(std::atan2(static_cast<double>(s), dot(u, v)));
}

int vectorCourse(const GeoPoint& a, const GeoPoint& b) {
    Vec3 va = unitVector(a);
    Vec3 vb = unitVector(b);
    Vec3 north{0.0, 0.0, 1.0};
    Vec3 p = cross(va, vb);
    Vec3 q = cross(va, north);
    int k = truncateToInt(signedAngle(p, q, va) * kRadToDegVector);
    return (k + 360) % 360;
}

void destinationPoint(const GeoPoint& from, GeoPoint& out, float courseDeg, float distNm) {
    // Double precision throughout and one rounding at the end, so that every build type and
    // compiler gives the same single-precision result. The longitude comes from atan2, which
    // is right on the whole sphere (an arcsine only covers 90 degrees either way).
    const double lat1 = from.lat * kDegToRad;
    const double d = static_cast<double>(distNm) * kRadPerNm;
    const double theta = static_cast<double>(courseDeg) * kDegToRad;
    const double sinLat2 = clampUnit(std::sin(lat1) * std::cos(d) + std::cos(lat1) * std::sin(d) * std::cos(theta));
    const double lat2 = std::asin(sinLat2);
    const double delta = std::atan2(std::sin(theta) * std::sin(d) * std::cos(lat1), std::cos(d) - std::sin(lat1) * sinLat2);
    double lonDeg = std::remainder(from.lon + delta * kRadToDeg, 360.0);
    if (lonDeg <= -180.0) lonDeg += 360.0;
    out.lat = std::clamp(static_cast<double>(static_cast<float>(lat2 * kRadToDeg)), -90.0, 90.0);
    out.lon = static_cast<float>(lonDeg);
}

GeoPoint greatCircleIntersection(const GeoPoint& a, const GeoPoint& b, const GeoPoint& c, const GeoPoint& d) {
    Vec3 va = unitVector(a);
    Vec3 vb = unitVector(b);
    Vec3 vc = unitVector(c);
    Vec3 vd = unitVector(d);
    Vec3 p = cross(va, vb);
    Vec3 q = cross(vc, vd);
    Vec3 i = cross(p, q);
    Vec3 j = cross(q, p);
    Vec3 s = add(add(add(va, vc), vb), vd);
    Vec3 r = dot(s, i) > 0.0 ? i : j;
    GeoPoint out;
    out.lat = std::atan2(r.z, std::sqrt(r.x * r.x + r.y * r.y)) * kRadToDegVector;
    out.lon = std::atan2(r.y, r.x) * kRadToDegVector;
    return out;
}

float crossTrackNm(const GeoPoint& a, const GeoPoint& b, const GeoPoint& p) {
    constexpr double kCourseToRad = 0.017453277777777776;  // 3.14159 / 180
    double d = distanceNm(a, p);
    double courseAb = initialBearing(a, b);
    double courseAp = initialBearing(a, p);
    double x = std::sin(d * kRadPerNm) * std::sin(courseAp * kCourseToRad - courseAb * kCourseToRad);
    return static_cast<float>(std::asin(clampUnit(x)) * kNmPerRadian);
}

float alongTrackNm(const GeoPoint& legStart, const GeoPoint& legEnd, const GeoPoint& p, float xtkNm,
                   bool fromEnd) {
    const GeoPoint& ref = fromEnd ? legEnd : legStart;
    float d = distanceNm(ref, p);
    float ratio = std::cos(d * static_cast<float>(kRadPerNm)) / std::cos(xtkNm * static_cast<float>(kRadPerNm));
    // Rounding can push the ratio just above 1 for a point abeam the reference point: that is 0 NM.
    if (ratio > 1.0f) ratio = 1.0f;
    if (ratio < -1.0f) ratio = -1.0f;
    return std::acos(ratio) * static_cast<float>(10800.0 / kPi);
}

double normalize360(double x) {
    if (x < 0.0) return x + 360.0;
    if (x > 360.0) return x - 360.0;
    return x;
}

double normalize180(double x) { return x > 180.0 ? x - 360.0 : x; }

float turnAnticipationNm(float courseIn, float courseOut, float groundSpeedKt, float bankDeg,
                         bool pausedOrSlewing) {
    if (pausedOrSlewing) return 0.0f;
    float delta = std::fabs(courseOut - courseIn);
    if (delta > 180.0f) delta = std::fabs(delta - 360.0f);
    float v = groundSpeedKt * static_cast<float>(kFtPerSecPerKnot);
    float radius = v * v / (std::tan(bankDeg * static_cast<float>(kPi) / 180.0f) * static_cast<float>(kGravityFtPerSec2));
    float d = (radius / static_cast<float>(kFtPerNmTurn)) * std::tan((delta * static_cast<float>(kPi) / 180.0f) * 0.5f);
    if (std::isnan(d)) return 0.0f;  // no bank and no course change: nothing to anticipate
    return clampf(d, 0.0f, 100.0f);
}

float distanceForAltitudeChangeNm(int verticalSpeedFpm, int groundSpeedKt, int altitudeChangeFt) {
    float minutes = static_cast<float>(altitudeChangeFt) / static_cast<float>(std::abs(verticalSpeedFpm));
    return static_cast<float>(groundSpeedKt) * minutes / 60.0f;
}

float flightPathAngleDeg(int verticalSpeedFpm, int groundSpeedKt, int altitudeChangeFt) {
    float distance = distanceForAltitudeChangeNm(verticalSpeedFpm, groundSpeedKt, altitudeChangeFt);
    return static_cast<float>(std::atan((altitudeChangeFt / kFtPerNmPath) / distance) * 180.0 / kPi);
}

int verticalSpeedForGradientFpm(int groundSpeedKt, int distanceFt, int altitudeChangeFt) {
    if (distanceFt == 0) return 0;  // no distance left: no gradient to fly
    return truncateToInt((groundSpeedKt * kFpmPerKnot) *
                         (static_cast<double>(altitudeChangeFt) / static_cast<double>(distanceFt)));
}

float clampf(float x, float low, float high) {
    if (low > x) return low;
    if (x > high) return high;
    return x;
}

int roundHalfAway(double x) { return truncateToInt(x >= 0.0 ? x + 0.5 : x - 0.5); }

int ceilingOf(double x) {
    double whole = std::trunc(x);
    return truncateToInt(x - whole > 0.0 ? whole + 1.0 : whole);
}

int maxInt(int a, int b) { return a > b ? a : b; }

std::string timeToGoText(float distNm, float groundSpeedKt) {
    float hours = distNm / groundSpeedKt;
    if (!(groundSpeedKt > 0.0f) || !std::isfinite(hours) || hours < 0.0f || hours > 100000.0f) return "--+--";
    int h = static_cast<int>(hours);
    int m = static_cast<int>((hours - static_cast<float>(h)) * 60.0f);
    return std::to_string(h) + "+" + std::to_string(m);
}

std::string timeToGoText(const GeoPoint& from, const GeoPoint& to, float groundSpeedKt) {
    return timeToGoText(distanceNm(from, to), groundSpeedKt);
}
