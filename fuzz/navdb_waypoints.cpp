// Waypoints file reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "navdb/DatabaseFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<Fix> fixes;
    ReadReport r = readWaypoints(text, fixes);
    if (r.records != fixes.size()) __builtin_trap();
    for (size_t i = 0; i < fixes.size(); ++i)
        if (fixes[i].dbIndex != static_cast<int32_t>(i) || fixes[i].ident.empty()) __builtin_trap();
    return 0;
}
