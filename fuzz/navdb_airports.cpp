// Airports file reader on arbitrary bytes: never crashes, never attaches a runway without its
// airport line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "navdb/DatabaseFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<Airport> airports;
    ReadReport r = readAirports(text, airports);
    size_t runways = 0;
    for (const Airport& a : airports) runways += a.runways.size();
    if (r.records != airports.size() || r.children != runways) __builtin_trap();
    if ((r.skipped == 0) != (r.firstSkippedLine == 0)) __builtin_trap();
    return 0;
}
