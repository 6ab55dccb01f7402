// Navaids file reader on arbitrary bytes, and the navaid grid against the list scan on
// whatever positions the input produces.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "geo/Geodesy.h"
#include "navdb/DatabaseFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<Navaid> navaids;
    readNavaids(text, navaids);
    for (size_t i = 0; i < navaids.size(); ++i)
        if (navaids[i].dbIndex != static_cast<int32_t>(i)) __builtin_trap();
    NavaidGrid grid;
    buildNavaidGrid(grid, navaids);
    // Query at the first navaids, and about 99 and 101 NM north and east of them.
    for (size_t i = 0; i < navaids.size() && i < 32; ++i) {
        const Navaid& n = navaids[i];
        GeoPoint p{n.latitude, n.longitude};
        GeoPoint queries[5] = {
            p, {p.lat + 1.65, p.lon}, {p.lat + 1.684, p.lon}, {p.lat, p.lon + 1.7}, {p.lat, p.lon - 2.5}};
        for (const GeoPoint& q : queries)
            if (nearestVariationNavaid(grid, navaids, q.lat, q.lon) !=
                nearestVariationNavaidByScan(navaids, q.lat, q.lon))
                __builtin_trap();
    }
    return 0;
}
