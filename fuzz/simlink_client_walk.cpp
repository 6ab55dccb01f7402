// The client's handling of a returned block: the fuzzer chooses a batch of reads and writes,
// then plays a server that overwrites any part of the block after answering (and may reply
// with any value). Every read destination is an exactly sized buffer, so the sanitizers see a
// copy past it. The exchange must fail exactly when the reply is not 1 or a header or the
// terminator was changed, and a failed exchange must leave every destination untouched.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "InProcessSimTransport.h"
#include "simlink/SimLink.h"
#include "SimServer.h"

namespace {

constexpr uint8_t kUntouched = 0xA5;

class PatternSpace : public OffsetSpace {
public:
    void readOffset(uint32_t offset, uint8_t* destination, uint32_t size) override {
        for (uint32_t i = 0; i < size; ++i) {
            destination[i] = static_cast<uint8_t>(offset + i);
        }
        if (offset == 0x3304 && size == 4) {
            const uint32_t version = 0x19980005;
            std::memcpy(destination, &version, 4);
        } else if (offset == 0x3308 && size == 4) {
            const uint32_t version = 0xFADE000C;
            std::memcpy(destination, &version, 4);
        }
    }
    void writeOffset(uint32_t, const uint8_t*, uint32_t) override {}
};

struct Destination {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t size;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    PatternSpace space;
    InProcessSimTransport transport(&space);
    SimLink link(&transport);
    uint32_t result = 0;
    if (!link.open(0, result)) {
        std::abort();
    }

    // Where the headers and the terminator lie: the only bytes a server must not change.
    std::vector<std::pair<uint32_t, uint32_t>> fixedRanges;
    std::vector<Destination> destinations;
    const int records = input.ConsumeIntegralInRange(1, 24);
    for (int i = 0; i < records; ++i) {
        const bool isRead = input.ConsumeBool();
        const uint32_t offset = input.ConsumeIntegral<uint16_t>();
        const uint32_t recordSize = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 16)
                                                        : input.ConsumeIntegral<uint16_t>();
        auto bytes = std::make_unique<uint8_t[]>(recordSize == 0 ? 1 : recordSize);
        std::memset(bytes.get(), kUntouched, recordSize == 0 ? 1 : recordSize);
        const uint32_t start = link.queuedBytes();
        const bool queued = isRead ? link.read(offset, recordSize, bytes.get(), result)
                                   : link.write(offset, recordSize, bytes.get(), result);
        if (queued) {
            fixedRanges.emplace_back(start, isRead ? 16 : 12);
        }
        if (queued && isRead) {
            destinations.push_back({std::move(bytes), recordSize});
        }
    }
    const uint32_t batchEnd = link.queuedBytes();
    fixedRanges.emplace_back(batchEnd, 4);

    const uint32_t reply = input.ConsumeBool() ? 1 : input.ConsumeIntegral<uint32_t>();
    // Overwrites start inside the batch or just past its terminator, where they matter.
    const uint32_t position = input.ConsumeIntegralInRange<uint32_t>(0, batchEnd + 8);
    const std::vector<uint8_t> overwrite = input.ConsumeRemainingBytes<uint8_t>();
    bool corrupted = false;
    transport.replyOverride = reply;
    transport.afterAnswer = [&](uint8_t* block, size_t blockSize) {
        const size_t count = std::min(overwrite.size(), blockSize - position);
        for (const auto& [start, length] : fixedRanges) {
            for (uint32_t at = start; at < start + length; ++at) {
                if (at >= position && at < position + count && block[at] != overwrite[at - position]) {
                    corrupted = true;
                }
            }
        }
        if (count != 0) std::memcpy(block + position, overwrite.data(), count);
    };

    const bool ok = link.process(result);
    const uint32_t expected = batchEnd == 0             ? SIM_ERR_NODATA
                              : reply != 1 || corrupted ? SIM_ERR_DATA
                                                        : SIM_OK;
    if (ok != (result == SIM_OK) || result != expected) {
        std::abort();  // a changed header or terminator went unnoticed, or a good reply was refused
    }
    if (!ok) {
        for (const Destination& d : destinations) {
            for (uint32_t i = 0; i < d.size; ++i) {
                if (d.bytes[i] != kUntouched) {
                    std::abort();  // a refused reply changed a destination
                }
            }
        }
    }
    link.close();
    return 0;
}
