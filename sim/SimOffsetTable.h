#pragma once

#include <cstdint>

#include "SimWorld.h"
#include "SimServer.h"

// What the stand-in simulator answers at the version offsets.
inline constexpr uint32_t kStandInServerVersion = 0x19980005;
inline constexpr uint16_t kStandInSimulatorCode = 0x0008;

// The stand-in simulator's offsets over a SimWorld: every read is encoded from the aircraft
// in the simulator's integer units, every write the program makes is decoded into it.
// Any offset and size is safe: bytes that belong to no known offset read as zeros, writes to
// them are ignored, and a request that covers part of an offset reads or changes just those bytes.
class SimOffsetTable final : public OffsetSpace {
public:
    explicit SimOffsetTable(SimWorld& world) : world_(world) {}
    void readOffset(uint32_t offset, uint8_t* destination, uint32_t size) override;
    void writeOffset(uint32_t offset, const uint8_t* source, uint32_t size) override;

    // Counters for the console's status line.
    uint64_t readCount() const { return reads_; }
    uint64_t writeCount() const { return writes_; }

private:
    SimWorld& world_;
    uint64_t reads_ = 0;
    uint64_t writes_ = 0;
};
