// The program's per-frame batch of 20 reads through fms-fgbridge (a child process) while a
// stand-in for FlightGear sends it 60 packets a second over UDP: the bridge answers from its
// latest packet, never waiting for the next one. Reports the median and 99th percentile of
// single batches, and the age of the state read (packet time stamp against the read).

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
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

double secondsOfDay() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<double>(t.tv_sec % 86400) + t.tv_nsec * 1e-9;
}

// A FlightGear packet (the Cessna near Seattle) stamped now, 60 times a second.
class PacketFeeder {
public:
    explicit PacketFeeder(int port)
        : thread_([port](std::stop_token stop) {
              const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
              sockaddr_in to{};
              to.sin_family = AF_INET;
              to.sin_port = htons(static_cast<uint16_t>(port));
              to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
              auto next = std::chrono::steady_clock::now();
              while (!stop.stop_requested()) {
                  char packet[512];
                  const int n = std::snprintf(
                      packet, sizeof packet,
                      "%.4f,47.405671212,-122.300056163,3171.05,3171.58,62.244,345.4333,344.9820,-16.9272,"
                      "-5.9633,-1.4370,0.0,0.00,2026,12,7,19,58,58,0,0,0,0,14.407,6.0200,5.362,5.362,0.000,0."
                      "000,"
                      "0.008,21.500,21.500,33.887,33.887,0.017,5.982,0.000,0.000,0.000,0.00,0.0,0.0,284.00,-"
                      "14.961,"
                      "59.64\n",
                      secondsOfDay());
                  sendto(fd, packet, static_cast<size_t>(n), 0, reinterpret_cast<const sockaddr*>(&to),
                         sizeof to);
                  next += std::chrono::microseconds(16667);
                  std::this_thread::sleep_until(next);
              }
              close(fd);
          }) {}

private:
    std::jthread thread_;
};

void bridgeReadBatch(benchmark::State& state) {
    char pattern[] = "/tmp/fms-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        state.SkipWithError("cannot create a temporary folder");
        return;
    }
    const std::string dir = pattern;
    const int port = 42000 + static_cast<int>(getpid() % 1000) * 4;
    {
        SimChild bridge(std::string(FMS_RUN_DIR) + "/fms-fgbridge", dir + "/rt",
                        {"--port", std::to_string(port), "--steady", "0.5", "--no-console"},
                        dir + "/out.txt");
        PacketFeeder feeder(port);
        PosixSimTransport transport(bridge.runtimeDir());
        Fms context;
        ScopedFms current(context);
        SimLink& link = context.simlink.link;
        link.setTransport(&transport);
        uint32_t result = 0;
        for (int i = 0; i < 250 && !link.open(0, result); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!link.isOpen()) {
            state.SkipWithError(("fms-fgbridge did not answer: " + bridge.output()).c_str());
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
            state.counters["batches"] = static_cast<double>(samples.size());
            link.close();
        }
        bridge.signal(SIGINT);
        bridge.wait();
        // The bridge's own figures: the age of every state read.
        const std::string out = bridge.output();
        const size_t at = out.find("state age ms median ");
        if (at != std::string::npos) {
            state.counters["age_median_ms"] = std::atof(out.c_str() + at + 20);
            const size_t max = out.find(" max ", at);
            if (max != std::string::npos) state.counters["age_max_ms"] = std::atof(out.c_str() + max + 5);
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace

BENCHMARK(bridgeReadBatch)->Iterations(20000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
