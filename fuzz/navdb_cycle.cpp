// Cycle file reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "navdb/DatabaseFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string cycle;
    ReadReport r = readCycle(text, cycle);
    if (r.records > 0 && (cycle.size() < 7 || cycle[2] != '-' || cycle[6] != '-')) __builtin_trap();
    return 0;
}
