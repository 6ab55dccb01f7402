// The hardware keypad's costs: the per-frame poll when nothing has arrived (budget 10 us),
// and the latency from a key byte arriving on the serial line (a pseudo-terminal standing in
// for the board) to the page having handled the key, with frames run back to back as the
// main loop runs them (budget: one frame plus 2 ms).
#include "hardware/Keypad.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "BenchUnit.h"
#include "cdu/KeyInput.h"
#include "platform/posix/PosixSerialPort.h"
#include "platform/posix/PseudoTerminal.h"

namespace {

using Steady = std::chrono::steady_clock;

double usSince(Steady::time_point start) {
    return std::chrono::duration<double, std::micro>(Steady::now() - start).count();
}

// Every received key is echoed on the console; the echo goes to /dev/null while measuring so
// that the report stays readable (the formatting and the write are still paid).
class QuietConsole {
public:
    QuietConsole() {
        std::fflush(stdout);
        saved_ = dup(STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            close(null);
        }
    }
    ~QuietConsole() {
        std::fflush(stdout);
        if (saved_ >= 0) {
            dup2(saved_, STDOUT_FILENO);
            close(saved_);
        }
    }
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;

private:
    int saved_ = -1;
};

void KeypadPollNothingArrived(benchmark::State& state) {
    Fms context;
    ScopedFms current(context);
    PseudoTerminal pty;
    PosixSerialPort port;
    if (!pty.ok() || port.open(pty.slavePath(), 9600) != SerialOpen::Opened) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    context.platform.serialPort = &port;
    context.hardware.keypadFound = true;
    for (auto _ : state) pollKeypad();
    if (!port.isOpen() || context.hardware.keypadLost) state.SkipWithError("the port closed");
}
BENCHMARK(KeypadPollNothingArrived)->Repetitions(5)->ReportAggregatesOnly(true);

void KeypadByteToPage(benchmark::State& state) {
    BenchUnit unit;
    PseudoTerminal pty;
    PosixSerialPort port;
    if (!pty.ok() || port.open(pty.slavePath(), 9600) != SerialOpen::Opened || !unit.start()) {
        state.SkipWithError("set-up failed");
        return;
    }
    Fms& f = unit.context;
    platform().serialPort = &port;
    platform().settings.enableArduino = true;
    hardwareState().keypadFound = true;
    auto frame = [&] {
        unit.sim.clock.advanceUs(1000);
        return runFrame();
    };
    // The unit on, with the display-control overlay up: R1 and R2 step the brightness.
    handleMouseDown(386, 502);
    frame();
    handleMouseDown(386, 502);
    frame();
    if (!cduState().displayControlShown) {
        state.SkipWithError("the display-control overlay did not open");
        return;
    }
    const Steady::time_point framesStart = Steady::now();
    constexpr int kTimedFrames = 200;
    for (int i = 0; i < kTimedFrames; ++i) frame();
    const double frameUs = usSince(framesStart) / kTimedFrames;

    QuietConsole quiet;
    std::vector<double> latencies;
    int64_t frames = 0;
    int64_t keys = 0;
    for (auto _ : state) {
        // R2 then R1: the brightness goes up a step and back, so every key changes it.
        const char byte = keys % 2 == 0 ? 0x06 : 0x07;
        const float before = platform().settings.dimLevel;
        const Steady::time_point sent = Steady::now();
        if (!pty.send(std::string(1, byte))) {
            state.SkipWithError("the pseudo-terminal refused the byte");
            break;
        }
        int waited = 0;
        while (platform().settings.dimLevel == before && waited < 100000) {
            frame();
            ++waited;
        }
        const double us = usSince(sent);
        if (platform().settings.dimLevel == before || cduState().keys.pendingLsk != kLskNone) {
            state.SkipWithError("the key was not handled");
            break;
        }
        state.SetIterationTime(us / 1e6);
        latencies.push_back(us);
        frames += waited;
        ++keys;
    }
    // The mean is the benchmark's time; the tail shows what a busy machine adds.
    std::sort(latencies.begin(), latencies.end());
    auto percentile = [&](double p) {
        return latencies.empty()
                   ? 0.0
                   : latencies[static_cast<size_t>(p * static_cast<double>(latencies.size() - 1))];
    };
    const double budgetUs = frameUs + 2000.0;
    state.counters["frame_us"] = frameUs;
    state.counters["budget_us"] = budgetUs;
    state.counters["p50_us"] = percentile(0.5);
    state.counters["p99_us"] = percentile(0.99);
    state.counters["worst_us"] = percentile(1.0);
    state.counters["over_budget"] =
        static_cast<double>(latencies.end() - std::upper_bound(latencies.begin(), latencies.end(), budgetUs));
    state.counters["frames_per_key"] = keys > 0 ? static_cast<double>(frames) / static_cast<double>(keys) : 0;
}
BENCHMARK(KeypadByteToPage)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

}  // namespace

BENCHMARK_MAIN();
