#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Navaid;

// A 1-degree latitude/longitude grid over the navaids that carry a magnetic variation, so
// that the variation at a point looks at a few cells instead of the whole list. A query gives
// exactly what a scan of the whole list gives.
struct NavaidGrid {
    struct Entry {
        int32_t cell = 0;
        int32_t index = 0;
        auto operator<=>(const Entry&) const = default;
    };
    std::vector<Entry> entries;  // sorted by cell, then by navaid index
    // Navaids whose position is not a plain latitude/longitude (out of range or not a
    // number): the distance formula still accepts them, so every query checks them too.
    std::vector<int32_t> irregular;
    size_t builtOver = 0;  // navaid count when built; a different count means "not built"
    bool built = false;
};

void buildNavaidGrid(NavaidGrid& grid, const std::vector<Navaid>& navaids);

// The index of the navaid nearest to the point among those with a non-zero declination within
// 100 NM of it (of equally near ones, the first in list order), or -1. The nearest station's
// variation is the one that belongs to the point: neighbouring points then agree, whatever
// order the list is in. Falls back to the list scan when the grid does not cover the list or
// the point is not a plain latitude/longitude.
int32_t nearestVariationNavaid(const NavaidGrid& grid, const std::vector<Navaid>& navaids, double latitude,
                               double longitude);
// The same answer from a scan of the whole list.
int32_t nearestVariationNavaidByScan(const std::vector<Navaid>& navaids, double latitude, double longitude);
