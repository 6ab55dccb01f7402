#include "navdb/NavaidGrid.h"

#include <algorithm>
#include <cmath>

#include "geo/Geodesy.h"
#include "navdb/NavDatabase.h"

namespace {
constexpr int kLatCells = 180;
constexpr int kLonCells = 360;
constexpr double kRangeNm = 100.0;
// Search radius with a wide safety margin over the 100 NM test: the grid only narrows the
// candidates, the exact test below decides, so a generous radius costs a few cells at most.
constexpr double kSearchNm = 110.0;
constexpr double kMarginDeg = 0.25;

// Keeps the nearest qualifying navaid seen so far; equally near ones go to the lower index.
struct Nearest {
    GeoPoint here;
    int32_t index = -1;
    double distance = 0.0;

    void consider(const std::vector<Navaid>& navaids, int32_t candidate) {
        const Navaid& n = navaids[static_cast<size_t>(candidate)];
        if (n.declination == 0.0f) return;
        const double d = distanceNm(here, GeoPoint{n.latitude, n.longitude});
        if (!(d <= kRangeNm)) return;  // also drops a distance that is not a number
        if (index < 0 || d < distance || (d == distance && candidate < index)) {
            index = candidate;
            distance = d;
        }
    }
};

bool isPlainPosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && latitude >= -90.0 && latitude <= 90.0 &&
           longitude >= -180.0 && longitude <= 180.0;
}

int latCell(double latitude) {
    int c = static_cast<int>(std::floor(latitude + 90.0));
    return c < 0 ? 0 : (c >= kLatCells ? kLatCells - 1 : c);
}

int lonCell(double longitude) {
    int c = static_cast<int>(std::floor(longitude + 180.0));
    return ((c % kLonCells) + kLonCells) % kLonCells;
}
}  // namespace

void buildNavaidGrid(NavaidGrid& grid, const std::vector<Navaid>& navaids) {
    grid.entries.clear();
    grid.irregular.clear();
    for (size_t i = 0; i < navaids.size(); ++i) {
        const Navaid& n = navaids[i];
        if (n.declination == 0.0f) continue;  // never qualifies (also catches -0.0)
        auto index = static_cast<int32_t>(i);
        if (!isPlainPosition(n.latitude, n.longitude)) {
            grid.irregular.push_back(index);
            continue;
        }
        grid.entries.push_back({latCell(n.latitude) * kLonCells + lonCell(n.longitude), index});
    }
    // By cell, and within a cell in list order.
    std::sort(grid.entries.begin(), grid.entries.end());
    grid.builtOver = navaids.size();
    grid.built = true;
}

int32_t nearestVariationNavaidByScan(const std::vector<Navaid>& navaids, double latitude, double longitude) {
    Nearest nearest{GeoPoint{latitude, longitude}};
    for (size_t i = 0; i < navaids.size(); ++i) nearest.consider(navaids, static_cast<int32_t>(i));
    return nearest.index;
}

int32_t nearestVariationNavaid(const NavaidGrid& grid, const std::vector<Navaid>& navaids, double latitude,
                               double longitude) {
    if (!grid.built || grid.builtOver != navaids.size() || !isPlainPosition(latitude, longitude))
        return nearestVariationNavaidByScan(navaids, latitude, longitude);

    // Latitude band: a haversine distance is at least 60 NM per degree of latitude difference.
    double latReach = kSearchNm / 60.0 + kMarginDeg;
    double south = latitude - latReach;
    double north = latitude + latReach;
    // Longitude reach: hav(d) >= cos(lat1) cos(lat2) hav(dLon), and both cosines are at least
    // the smallest cosine over the band.
    double farthestLat = std::fmax(std::fabs(south), std::fabs(north));
    bool allLongitudes = farthestLat >= 89.0;
    double lonReach = 180.0;
    if (!allLongitudes) {
        double cosMin = std::cos(farthestLat * geo::kDegToRad);
        double halfAngle = std::sin(kSearchNm * geo::kRadPerNm / 2.0);
        double ratio = halfAngle * halfAngle / (cosMin * cosMin);
        if (ratio >= 1.0) {
            allLongitudes = true;
        } else {
            lonReach = 2.0 * std::asin(std::sqrt(ratio)) / geo::kDegToRad + kMarginDeg;
            allLongitudes = lonReach >= 179.0;
        }
    }
    int latFirst = latCell(south);
    int latLast = latCell(north);
    int lonFirst = 0;
    int lonCount = kLonCells;
    if (!allLongitudes) {
        lonFirst = lonCell(longitude - lonReach);
        lonCount = lonCell(longitude + lonReach) - lonFirst + 1;
        if (lonCount <= 0) lonCount += kLonCells;
    }

    Nearest nearest{GeoPoint{latitude, longitude}};
    for (int32_t index : grid.irregular) nearest.consider(navaids, index);
    for (int la = latFirst; la <= latLast; ++la) {
        for (int k = 0; k < lonCount; ++k) {
            const int32_t cell = la * kLonCells + (lonFirst + k) % kLonCells;
            auto e = std::lower_bound(grid.entries.begin(), grid.entries.end(), NavaidGrid::Entry{cell, 0});
            for (; e != grid.entries.end() && e->cell == cell; ++e) nearest.consider(navaids, e->index);
        }
    }
    return nearest.index;
}
