// The stand-in simulator's answer to request blocks whose every byte comes from the fuzzer:
// the server walk over its offset table, then the model flying on with whatever was written.
// Every value it then reports must stay finite and in range.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "SimOffsetTable.h"
#include "SimOptions.h"
#include "simlink/SimOffsets.h"
#include "simlink/SimLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SimWorld world;
    applyScenario("ksea", world.aircraft);
    SimOffsetTable table(world);
    std::vector<uint8_t> block(data, data + std::min<size_t>(size, kSimBlockSize));
    answerRequestBlock(block.data(), block.size(), table);
    world.step(1.0);
    const SimAircraft& a = world.aircraft;
    if (!std::isfinite(a.latDeg) || !std::isfinite(a.lonDeg) || !std::isfinite(a.altitudeFt) ||
        !std::isfinite(a.headingTrueDeg) || std::fabs(a.bankDeg) > kSimMaxBankDeg || a.latDeg < -90 ||
        a.latDeg > 90) {
        std::abort();
    }
    uint8_t bytes[8];
    for (const SimVarEntry& e : kSimVarTable) table.readOffset(e.var.offset, bytes, e.var.size);
    return 0;
}
