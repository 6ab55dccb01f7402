// The per-frame read batch (20 reads, one exchange) against fms-sim running as a child process
// over the local transport. Reports the median and 99th percentile of single batches.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "shell/Fms.h"
#include "SimChild.h"
#include "simlink/AircraftState.h"
#include "platform/posix/SimPosixTransport.h"
#include "simlink/SimLink.h"

namespace {

double percentile(std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0.0;
    const size_t index =
        std::min(sorted.size() - 1, static_cast<size_t>(p * static_cast<double>(sorted.size())));
    return sorted[index];
}

void perFrameReadBatch(benchmark::State& state) {
    char pattern[] = "/tmp/fms-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        state.SkipWithError("cannot create a temporary folder");
        return;
    }
    const std::string dir = pattern;
    {
        SimChild sim(std::string(FMS_RUN_DIR) + "/fms-sim", dir + "/rt",
                     {"--scenario", "ksea", "--no-console"}, dir + "/out.txt");
        PosixSimTransport transport(sim.runtimeDir());
        Fms context;
        ScopedFms current(context);
        SimLink& link = context.simlink.link;
        link.setTransport(&transport);
        uint32_t result = 0;
        for (int i = 0; i < 250 && !link.open(0, result); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!link.isOpen()) {
            state.SkipWithError(("fms-sim did not answer: " + sim.output()).c_str());
        } else {
            context.simlink.simLinked = true;
            std::vector<double> samples;
            samples.reserve(static_cast<size_t>(state.max_iterations));
            for (auto _ : state) {
                const auto start = std::chrono::steady_clock::now();
                readSimulatorState();
                const auto end = std::chrono::steady_clock::now();
                samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
            }
            benchmark::DoNotOptimize(context.simlink.aircraft.position.lat);
            std::sort(samples.begin(), samples.end());
            state.counters["median_us"] = percentile(samples, 0.5);
            state.counters["p99_us"] = percentile(samples, 0.99);
            state.counters["max_us"] = samples.empty() ? 0.0 : samples.back();
            state.counters["batches"] = static_cast<double>(samples.size());
            link.close();
        }
        sim.signal(SIGINT);
        sim.wait();
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace

BENCHMARK(perFrameReadBatch)->Iterations(20000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
