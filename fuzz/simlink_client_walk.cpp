// The client's handling of a returned block: the fuzzer chooses a batch of reads and writes,
// then plays a server that overwrites any part of the block after answering (and may reply
// with any value). Every read destination is an exactly sized buffer, so the sanitizers see a
// copy past it; a failed exchange must leave every destination untouched.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "simlink/InProcessSimTransport.h"
#include "simlink/SimLink.h"
#include "simlink/SimServer.h"

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

    std::vector<Destination> destinations;
    const int records = input.ConsumeIntegralInRange(1, 24);
    for (int i = 0; i < records; ++i) {
        const bool isRead = input.ConsumeBool();
        const uint32_t offset = input.ConsumeIntegral<uint16_t>();
        const uint32_t recordSize = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 16)
                                                        : input.ConsumeIntegral<uint16_t>();
        auto bytes = std::make_unique<uint8_t[]>(recordSize == 0 ? 1 : recordSize);
        std::memset(bytes.get(), kUntouched, recordSize == 0 ? 1 : recordSize);
        const bool queued = isRead ? link.read(offset, recordSize, bytes.get(), result)
                                   : link.write(offset, recordSize, bytes.get(), result);
        if (queued && isRead) {
            destinations.push_back({std::move(bytes), recordSize});
        }
    }

    const uint32_t reply = input.ConsumeBool() ? 1 : input.ConsumeIntegral<uint32_t>();
    const uint32_t position = input.ConsumeIntegralInRange<uint32_t>(0, kSimBlockSize - 1);
    const std::vector<uint8_t> overwrite = input.ConsumeRemainingBytes<uint8_t>();
    transport.replyOverride = reply;
    transport.afterAnswer = [&](uint8_t* block, size_t blockSize) {
        const size_t count = std::min(overwrite.size(), blockSize - position);
        std::memcpy(block + position, overwrite.data(), count);
    };

    const bool ok = link.process(result);
    if (ok != (result == SIM_OK)) {
        std::abort();
    }
    if (!ok && link.queuedBytes() == 0) {
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
