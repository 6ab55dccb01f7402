// Round trip of the per-frame read batch (20 reads) over the local socket transport, against
// a server object on its own thread answering from a flat table. Reports the median and the
// 99th percentile of single exchanges as counters (microseconds).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "SimPosixServer.h"
#include "platform/posix/SimPosixTransport.h"
#include "simlink/SimLink.h"
#include "SimServer.h"

namespace {

class FlatSpace : public OffsetSpace {
public:
    FlatSpace() : bytes_(0x10000, 0) {
        const uint32_t server = 0x19980005;
        const uint32_t sim = 0xFADE000C;
        std::memcpy(&bytes_[0x3304], &server, 4);
        std::memcpy(&bytes_[0x3308], &sim, 4);
    }
    void readOffset(uint32_t offset, uint8_t* destination, uint32_t size) override {
        for (uint32_t i = 0; i < size; ++i) {
            const uint32_t at = offset + i;
            destination[i] = at < bytes_.size() ? bytes_[at] : 0;
        }
    }
    void writeOffset(uint32_t, const uint8_t*, uint32_t) override {}

private:
    std::vector<uint8_t> bytes_;
};

struct Read {
    uint32_t offset;
    uint32_t size;
};
// The per-frame aircraft state batch.
constexpr Read kFrameReads[] = {
    {0x0560, 8}, {0x0568, 8}, {0x023B, 1}, {0x023C, 1}, {0x023A, 1}, {0x023E, 2}, {0x0240, 2},
    {0x0366, 2}, {0x3324, 4}, {0x0C18, 2}, {0x0E90, 2}, {0x0E92, 2}, {0x02B4, 4}, {0x0580, 4},
    {0x057C, 4}, {0x31E4, 4}, {0x0264, 2}, {0x05DC, 2}, {0x6040, 8}, {0x30B0, 8},
};

void frameBatchRoundTrip(benchmark::State& state) {
    char dirTemplate[] = "/tmp/fms-bench-XXXXXX";
    const std::string dir = mkdtemp(dirTemplate);
    FlatSpace space;
    PosixSimServer server(space, SimServerKind::Full, dir);
    std::string error;
    if (!server.start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::atomic<bool> stop{false};
    std::thread serving([&] {
        while (!stop.load(std::memory_order_acquire)) {
            server.serveOnce(20);
        }
    });

    {
        PosixSimTransport transport(dir);
        SimLink link(&transport);
        uint32_t result = 0;
        if (!link.open(0, result)) {
            state.SkipWithError(simResultText(result));
        } else {
            uint8_t destination[sizeof(kFrameReads) / sizeof(kFrameReads[0])][8];
            std::vector<double> samples;
            samples.reserve(1 << 20);
            for (auto _ : state) {
                const auto start = std::chrono::steady_clock::now();
                for (size_t i = 0; i < sizeof(kFrameReads) / sizeof(kFrameReads[0]); ++i) {
                    link.read(kFrameReads[i].offset, kFrameReads[i].size, destination[i], result);
                }
                if (!link.process(result)) {
                    state.SkipWithError(simResultText(result));
                    break;
                }
                benchmark::DoNotOptimize(destination);
                samples.push_back(
                    std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                        .count());
            }
            if (!samples.empty()) {
                std::sort(samples.begin(), samples.end());
                state.counters["median_us"] = samples[samples.size() / 2];
                state.counters["p99_us"] = samples[samples.size() * 99 / 100];
                state.counters["max_us"] = samples.back();
            }
        }
    }
    stop.store(true, std::memory_order_release);
    serving.join();
    server.stop();
    rmdir(dir.c_str());
}

}  // namespace

BENCHMARK(frameBatchRoundTrip)->Unit(benchmark::kMicrosecond)->MinTime(3.0)->UseRealTime();

BENCHMARK_MAIN();
