// The per-frame read batch (20 reads, one exchange) against fms-sim running as a child process
// over the local transport. Reports the median and 99th percentile of single batches, on the
// machine as it is (busy:0) and with two CPU-bound processes running beside it (busy:2), as a
// simulator keeps its cores busy.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "SimChild.h"
#include "platform/posix/SimPosixTransport.h"
#include "shell/Fms.h"
#include "simlink/AircraftState.h"
#include "simlink/SimLink.h"

namespace {

double percentile(std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0.0;
    const size_t index =
        std::min(sorted.size() - 1, static_cast<size_t>(p * static_cast<double>(sorted.size())));
    return sorted[index];
}

// Processes that only burn processor time, for as long as the object lives.
class BusyProcesses {
public:
    explicit BusyProcesses(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                for (;;) benchmark::ClobberMemory();
            }
            if (pid > 0) pids_.push_back(pid);
        }
    }
    ~BusyProcesses() {
        for (pid_t pid : pids_) kill(pid, SIGKILL);
        for (pid_t pid : pids_) waitpid(pid, nullptr, 0);
    }
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;

private:
    std::vector<pid_t> pids_;
};

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
            const BusyProcesses busy(static_cast<int>(state.range(0)));
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

BENCHMARK(perFrameReadBatch)
    ->ArgName("busy")
    ->Arg(0)
    ->Arg(2)
    ->Iterations(20000)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
