#include <gtest/gtest.h>

#include <random>

#include <cmath>
#include <utility>

#include "geo/Geodesy.h"

namespace {
// Independent reference: textbook great-circle course with the exact value of pi.
double referenceCourse(double lat1, double lon1, double lat2, double lon2) {
    const double r = M_PI / 180.0;
    double y = std::sin((lon2 - lon1) * r) * std::cos(lat2 * r);
    double x = std::cos(lat1 * r) * std::sin(lat2 * r) -
               std::sin(lat1 * r) * std::cos(lat2 * r) * std::cos((lon2 - lon1) * r);
    double deg = std::atan2(y, x) / r;
    return deg < 0 ? deg + 360.0 : deg;
}
}  // namespace

TEST(Geodesy, DistancesUseTheSystemRadius) {
    GeoPoint seattle{47.45, -122.31};
    EXPECT_EQ(distanceNm(seattle, seattle), 0.0f);
    EXPECT_NEAR(distanceNm({10.0, 20.0}, {11.0, 20.0}), 60.0, 1e-4);   // one degree of latitude
    EXPECT_NEAR(distanceNm({0.0, 0.0}, {0.0, 1.0}), 60.0, 1e-4);       // one degree on the equator
    EXPECT_EQ(distanceNmCosine(47.45, -122.31, 47.45, -122.31), 0.0);  // coincident: 0, not NaN
    // The two forms agree away from coincidence.
    GeoPoint portland{45.59, -122.60};
    EXPECT_NEAR(distanceNm(seattle, portland), distanceNmCosine(47.45, -122.31, 45.59, -122.60), 1e-3);
    // A long distance against an independent haversine with exact pi (radius 10800/pi).
    GeoPoint tokyo{35.55, 139.78};
    double r = M_PI / 180.0;
    double h = std::pow(std::sin((tokyo.lat - seattle.lat) * r / 2), 2) +
               std::cos(seattle.lat * r) * std::cos(tokyo.lat * r) *
                   std::pow(std::sin((tokyo.lon - seattle.lon) * r / 2), 2);
    double exact = 2 * std::asin(std::sqrt(h)) * 10800.0 / M_PI;
    EXPECT_NEAR(distanceNm(seattle, tokyo), exact, 0.01 * exact / 100.0 + 0.5);
}

TEST(Geodesy, CoursesCardinalAndAgainstAnIndependentFormula) {
    GeoPoint origin{0.0, 0.0};
    const std::pair<GeoPoint, int> cardinal[] = {{{0, 1}, 90}, {{0, -1}, 270}, {{1, 0}, 0}, {{-1, 0}, 180}};
    for (const auto& [to, course] : cardinal) {
        EXPECT_NEAR(initialBearing(origin, to), course, 1e-3);
        EXPECT_NEAR(initialBearingCosine(0, 0, to.lat, to.lon), course, 1e-3);
        EXPECT_EQ(vectorCourse(origin, to), course);
    }
    for (double lat = -80; lat <= 80; lat += 40) {
        for (double dLon = -170; dLon <= 170; dLon += 34) {
            GeoPoint a{lat, 10.0};
            GeoPoint b{-lat / 2 + 3, 10.0 + dLon};
            SCOPED_TRACE(::testing::Message() << a.lat << "," << a.lon << " -> " << b.lat << "," << b.lon);
            const double ref = referenceCourse(a.lat, a.lon, b.lat, b.lon);
            for (double c :
                 {double(initialBearing(a, b)), initialBearingCosine(a.lat, a.lon, b.lat, b.lon)}) {
                EXPECT_GE(c, 0.0);
                EXPECT_LE(c, 360.0);
                EXPECT_LT(std::min(std::fabs(c - ref), 360.0 - std::fabs(c - ref)), 1e-3);
            }
        }
    }
    // The vector course truncates its signed angle toward zero: a fraction of a degree west
    // of north reads 0, about 1.5 degrees west reads 359; never 360.
    EXPECT_EQ(vectorCourse({47.0, -122.0}, {48.0, -122.001}), 0);
    EXPECT_EQ(vectorCourse({47.0, -122.0}, {48.0, -122.04}), 359);
}

TEST(Geodesy, AngleWrapsAreOneStep) {
    EXPECT_EQ(normalize360(360.0), 360.0);
    EXPECT_EQ(normalize360(-400.0), -40.0);
    EXPECT_EQ(normalize360(370.0), 10.0);
    EXPECT_EQ(normalize360(-10.0), 350.0);
    EXPECT_EQ(normalize180(190.0), -170.0);
    EXPECT_EQ(normalize180(-190.0), -190.0);
    EXPECT_EQ(normalize180(180.0), 180.0);
}

TEST(Geodesy, CrossAndAlongTrack) {
    GeoPoint a{0.0, 0.0};
    GeoPoint b{1.0, 0.0};  // leg due north
    float right = crossTrackNm(a, b, {0.5, 0.1});
    float left = crossTrackNm(a, b, {0.5, -0.1});
    EXPECT_NEAR(right, 6.0, 0.01);  // 0.1 degree of longitude near the equator
    EXPECT_NEAR(left, -6.0, 0.01);
    EXPECT_NEAR(crossTrackNm(a, b, {0.5, 0.0}), 0.0, 1e-4);
    // Eastbound leg: a point to the south is on the right.
    EXPECT_GT(crossTrackNm({0.0, 0.0}, {0.0, 1.0}, {-0.1, 0.5}), 0.0f);

    GeoPoint abeam{0.5, 0.1};
    float xtk = crossTrackNm(a, b, abeam);
    // Single precision near acos(1) costs a few hundredths of a mile.
    EXPECT_NEAR(alongTrackNm(a, b, abeam, xtk, false), 30.0, 0.05);
    EXPECT_NEAR(alongTrackNm(a, b, abeam, xtk, true), 30.0, 0.05);
    // At the reference point itself rounding must not turn into NaN.
    float atStart = alongTrackNm(a, b, a, 0.0f, false);
    EXPECT_FALSE(std::isnan(atStart));
    EXPECT_NEAR(atStart, 0.0, 1e-2);
}

TEST(Geodesy, DestinationPointBothHemispheresAndTheDateLine) {
    GeoPoint out;
    destinationPoint({47.0, -122.0}, out, 0.0f, 60.0f);
    EXPECT_NEAR(out.lat, 48.0, 1e-4);
    EXPECT_NEAR(out.lon, -122.0, 1e-5);
    // East is east in every quadrant of the globe.
    for (GeoPoint p : {GeoPoint{-45.0, -100.0}, GeoPoint{45.0, 100.0}}) {
        destinationPoint(p, out, 90.0f, 30.0f);
        EXPECT_GT(out.lon, p.lon);
        destinationPoint(p, out, 270.0f, 30.0f);
        EXPECT_LT(out.lon, p.lon);
    }
    // Eastbound across the 180th meridian wraps to the western hemisphere and back.
    destinationPoint({0.0, 179.9}, out, 90.0f, 12.0f);
    EXPECT_NEAR(out.lon, -179.9, 1e-3);
    destinationPoint({0.0, -179.9}, out, 270.0f, 12.0f);
    EXPECT_NEAR(out.lon, 179.9, 1e-3);
    // Out and back with the same distance returns to the start.
    GeoPoint start{47.45, -122.31};
    destinationPoint(start, out, 135.0f, 40.0f);
    EXPECT_NEAR(distanceNm(start, out), 40.0, 1e-2);

    // Far points: more than 90 degrees of longitude away (900 NM on 45 from 80N ends at
    // 93.91E, where an arcsine gives the mirror image 86.09E), and over the pole, where the
    // latitude stays within 90.
    destinationPoint({80.0, 0.0}, out, 45.0f, 900.0f);
    EXPECT_NEAR(out.lon, 93.908, 0.002);
    EXPECT_NEAR(out.lat, 79.430, 0.002);
    destinationPoint({89.5, 10.0}, out, 0.0f, 60.0f);
    EXPECT_LE(out.lat, 90.0);
    EXPECT_NEAR(out.lon, -170.0, 1e-3);
    destinationPoint({0.0, 0.0}, out, 0.0f, 5400.0f);
    EXPECT_LE(out.lat, 90.0);
    // Anywhere, any course, up to a quarter of the globe: the point lies at the distance and
    // on the course it was asked for.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lat(-85.0, 85.0), lon(-180.0, 180.0), course(0.0, 360.0),
        distance(100.0, 5000.0);
    for (int k = 0; k < 500; ++k) {
        const GeoPoint from{lat(random), lon(random)};
        const float c = static_cast<float>(course(random));
        const float dist = static_cast<float>(distance(random));
        destinationPoint(from, out, c, dist);
        SCOPED_TRACE(::testing::Message() << from.lat << " " << from.lon << " " << c << " " << dist);
        EXPECT_NEAR(distanceNm(from, out), dist, 0.01 * dist);
        EXPECT_NEAR(std::remainder(initialBearing(from, out) - c, 360.0), 0.0, 0.5);
    }
}

TEST(Geodesy, GreatCircleIntersection) {
    // Equator with the meridian through 10 E, points chosen on the eastern side.
    GeoPoint i = greatCircleIntersection({0.0, 0.0}, {0.0, 20.0}, {-5.0, 10.0}, {5.0, 10.0});
    EXPECT_NEAR(i.lat, 0.0, 1e-9);
    EXPECT_NEAR(i.lon, 10.0, 1e-6);
    // The antipodal candidate is taken when the four points lie on the other side.
    i = greatCircleIntersection({0.0, 180.0}, {0.0, 160.0}, {-5.0, -170.0}, {5.0, -170.0});
    EXPECT_NEAR(i.lon, -170.0, 1e-6);
    // Identical circles: zero normal, (0, 0).
    i = greatCircleIntersection({0.0, 0.0}, {0.0, 20.0}, {0.0, 0.0}, {0.0, 20.0});
    EXPECT_EQ(i.lat, 0.0);
    EXPECT_EQ(i.lon, 0.0);
}

TEST(Geodesy, TurnAnticipation) {
    // 250 kt, 25 degrees of bank, 90 degree turn: R = (250*1.68781)^2 / (tan 25 * 32.174) ft
    // = 11867 ft = 1.9518 NM, times tan 45.
    EXPECT_NEAR(turnAnticipationNm(0.0f, 90.0f, 250.0f, 25.0f, false), 1.9518, 1e-3);
    EXPECT_EQ(turnAnticipationNm(40.0f, 40.0f, 250.0f, 25.0f, false), 0.0f);
    EXPECT_FLOAT_EQ(turnAnticipationNm(0.0f, 90.0f, 250.0f, 25.0f, false),
                    turnAnticipationNm(0.0f, -270.0f, 250.0f, 25.0f, false));
    EXPECT_FLOAT_EQ(turnAnticipationNm(350.0f, 80.0f, 300.0f, 25.0f, false),
                    turnAnticipationNm(0.0f, 90.0f, 300.0f, 25.0f, false));
    EXPECT_EQ(turnAnticipationNm(0.0f, 179.0f, 2000.0f, 1.0f, false), 100.0f);
    EXPECT_EQ(turnAnticipationNm(0.0f, 90.0f, 250.0f, 25.0f, true), 0.0f);
}

TEST(Geodesy, VerticalPathAndSmallNumerics) {
    EXPECT_NEAR(distanceForAltitudeChangeNm(-2000, 300, 10000), 25.0, 1e-4);
    // atan((10000 / 6076.12) / 25) in degrees with pi = 3.14159
    EXPECT_NEAR(flightPathAngleDeg(-2000, 300, 10000), std::atan(10000.0 / 6076.12 / 25.0) * 180.0 / 3.14159,
                1e-4);
    EXPECT_EQ(verticalSpeedForGradientFpm(200, 30000, 1500), 1012);  // 200*101.27*0.05 = 1012.7
    EXPECT_EQ(verticalSpeedForGradientFpm(200, 30000, -1500), -1012);
    EXPECT_EQ(verticalSpeedForGradientFpm(200, 0, 1500), 0);
    EXPECT_EQ(roundHalfAway(2.5), 3);
    EXPECT_EQ(roundHalfAway(-2.5), -3);
    EXPECT_EQ(roundHalfAway(2.49), 2);
    EXPECT_EQ(ceilingOf(2.0), 2);
    EXPECT_EQ(ceilingOf(2.1), 3);
    EXPECT_EQ(ceilingOf(-1.5), -1);
}

TEST(Geodesy, TimeToGoText) {
    EXPECT_EQ(timeToGoText(0.0f, 200.0f), "0+0");
    EXPECT_EQ(timeToGoText(65.0f, 60.0f), "1+5");
    EXPECT_EQ(timeToGoText(42.0f, 60.0f), "0+42");  // minutes computed in single precision
    EXPECT_EQ(timeToGoText(250.0f, 100.0f), "2+30");
    EXPECT_EQ(timeToGoText(10.0f, 0.0f), "--+--");
    EXPECT_EQ(timeToGoText({0.0, 0.0}, {1.0, 0.0}, 120.0f), "0+30");
}
