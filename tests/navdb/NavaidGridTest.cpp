#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "geo/Geodesy.h"
#include "navdb/NavDatabase.h"
#include "navdb/NavaidGrid.h"

namespace {
Navaid at(double lat, double lon, float declination) {
    Navaid n;
    n.latitude = static_cast<float>(lat);
    n.longitude = static_cast<float>(lon);
    n.declination = declination;
    return n;
}
}  // namespace

// The grid must give exactly the answer of the scan in list order, everywhere: dense
// clusters, the poles, the date line, points right at the 100 NM edge, and navaids whose
// positions are out of range or not numbers.
TEST(NavaidGrid, AgreesWithTheListScanEverywhere) {
    std::mt19937 rng(20240601);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * unit(rng); };
    auto declination = [&]() -> float {
        return unit(rng) < 0.2 ? 0.0f : static_cast<float>(uniform(-20, 20));
    };

    std::vector<Navaid> navaids;
    for (int i = 0; i < 2500; ++i) navaids.push_back(at(uniform(45, 55), uniform(-5, 15), declination()));
    for (int i = 0; i < 600; ++i) navaids.push_back(at(uniform(-90, 90), uniform(-180, 180), declination()));
    for (int i = 0; i < 300; ++i) navaids.push_back(at(uniform(85, 90), uniform(-180, 180), declination()));
    for (int i = 0; i < 300; ++i) navaids.push_back(at(uniform(-60, 60), uniform(178, 180), declination()));
    for (int i = 0; i < 300; ++i) navaids.push_back(at(uniform(-60, 60), uniform(-180, -178), declination()));
    navaids.push_back(at(90, 0, 1.0f));
    navaids.push_back(at(-90, 180, 2.0f));
    navaids.push_back(at(10, -180, 3.0f));
    navaids.push_back(at(95, 10, 4.0f));   // out of range, but the formula still measures it
    navaids.push_back(at(10, 370, 5.0f));  // one turn east of longitude 10
    navaids.push_back(at(std::numeric_limits<double>::quiet_NaN(), 0, 6.0f));
    navaids.push_back(at(0, std::numeric_limits<double>::infinity(), 7.0f));
    Navaid nanDeclination = at(-30, -30, std::numeric_limits<float>::quiet_NaN());
    navaids.push_back(nanDeclination);  // "not 0.0" holds for it, so it qualifies in the scan
    std::shuffle(navaids.begin(), navaids.end(), rng);

    NavaidGrid grid;
    buildNavaidGrid(grid, navaids);

    std::vector<GeoPoint> queries;
    for (int i = 0; i < 6000; ++i)
        queries.push_back({std::asin(uniform(-1, 1)) * 180 / M_PI, uniform(-180, 180)});
    for (int i = 0; i < 3000; ++i) queries.push_back({uniform(44, 56), uniform(-6, 16)});
    for (int i = 0; i < 1000; ++i) queries.push_back({uniform(80, 90), uniform(-180, 180)});
    for (int i = 0; i < 1000; ++i)
        queries.push_back({uniform(-60, 60), i % 2 ? uniform(177, 180) : uniform(-180, -177)});
    // Points just inside and just outside 100 NM of a navaid.
    for (int i = 0; i < 8000; ++i) {
        const Navaid& n = navaids[static_cast<size_t>(i) % navaids.size()];
        if (!std::isfinite(n.latitude) || !std::isfinite(n.longitude) || std::fabs(n.latitude) > 90) continue;
        GeoPoint out;
        destinationPoint(GeoPoint{n.latitude, n.longitude}, out, static_cast<float>(uniform(0, 360)),
                         static_cast<float>(uniform(99.99, 100.01)));
        queries.push_back(out);
    }
    for (double lon : {-180.0, 180.0, 0.0}) queries.push_back({90, lon}), queries.push_back({-90, lon});

    size_t found = 0;
    for (const GeoPoint& q : queries) {
        int32_t byGrid = nearestVariationNavaid(grid, navaids, q.lat, q.lon);
        int32_t byScan = nearestVariationNavaidByScan(navaids, q.lat, q.lon);
        ASSERT_EQ(byGrid, byScan) << "at " << q.lat << ", " << q.lon;
        if (byScan >= 0) ++found;
    }
    // The comparison means something only if most queries find a navaid.
    EXPECT_GT(found, queries.size() / 2);
}

TEST(NavaidGrid, ANavaidListThatGrewOrAGridNeverBuiltFallsBackToTheScan) {
    std::vector<Navaid> navaids = {at(10, 10, 1.0f)};
    NavaidGrid grid;
    EXPECT_EQ(nearestVariationNavaid(grid, navaids, 10, 10), 0);
    buildNavaidGrid(grid, navaids);
    navaids.insert(navaids.begin(), at(10.5, 10, 2.0f));
    EXPECT_EQ(nearestVariationNavaid(grid, navaids, 10, 10), 1);
    // A query point that is not a number finds nothing.
    EXPECT_EQ(nearestVariationNavaid(grid, navaids, std::nan(""), 10), -1);
}
