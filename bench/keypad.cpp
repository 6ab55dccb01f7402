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
#include <random>
#include <vector>

#include "BenchUnit.h"
#include "cdu/KeyInput.h"
#include "platform/Clock.h"
#include "platform/posix/PosixSerialPort.h"
#include "platform/posix/PseudoTerminal.h"
#include "shell/FramePacer.h"
#include "shell/MainLoop.h"

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

// A unit on, with the display-control overlay up (R1 and R2 step the brightness), whose
// keypad is a pseudo-terminal.
struct KeypadBench {
    BenchUnit unit;
    PseudoTerminal pty;
    PosixSerialPort port;
    int64_t keys = 0;

    bool start() {
        if (!pty.ok() || port.open(pty.slavePath(), 9600) != SerialOpen::Opened || !unit.start())
            return false;
        unit.context.platform.serialPort = &port;
        unit.context.platform.settings.enableArduino = true;
        unit.context.hardware.keypadFound = true;
        handleMouseDown(386, 502);  // ON/OFF/DIM: on
        frame();
        handleMouseDown(386, 502);  // ON/OFF/DIM again: the display-control overlay
        frame();
        return unit.context.cdu.displayControlShown;
    }
    bool frame(int64_t advanceUs = 1000) {
        unit.sim.clock.advanceUs(advanceUs);
        return runFrame();
    }
    float brightness() const { return unit.context.platform.settings.dimLevel; }
    // R2 then R1 in turn: the brightness goes up a step and back, so every key changes it.
    bool sendKey() { return pty.send(std::string(1, keys++ % 2 == 0 ? '\x06' : '\x07')); }
};

void KeypadByteToPage(benchmark::State& state) {
    KeypadBench bench;
    if (!bench.start()) {
        state.SkipWithError("set-up failed");
        return;
    }
    const Steady::time_point framesStart = Steady::now();
    constexpr int kTimedFrames = 200;
    for (int i = 0; i < kTimedFrames; ++i) bench.frame();
    const double frameUs = usSince(framesStart) / kTimedFrames;

    QuietConsole quiet;
    std::vector<double> latencies;
    int64_t frames = 0;
    for (auto _ : state) {
        const float before = bench.brightness();
        const Steady::time_point sent = Steady::now();
        if (!bench.sendKey()) {
            state.SkipWithError("the pseudo-terminal refused the byte");
            break;
        }
        int waited = 0;
        while (bench.brightness() == before && waited < 100000) {
            bench.frame();
            ++waited;
        }
        const double us = usSince(sent);
        if (bench.brightness() == before || bench.unit.context.cdu.keys.pendingLsk != kLskNone) {
            state.SkipWithError("the key was not handled");
            break;
        }
        state.SetIterationTime(us / 1e6);
        latencies.push_back(us);
        frames += waited;
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
    state.counters["frames_per_key"] =
        latencies.empty() ? 0 : static_cast<double>(frames) / static_cast<double>(latencies.size());
}
BENCHMARK(KeypadByteToPage)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

// The same with the main loop's pacing to 60 frames a second: the byte arrives at a random
// moment between two frames and waits for the next one. Budget: one period plus 2 ms.
void KeypadByteToPagePaced(benchmark::State& state) {
    KeypadBench bench;
    if (!bench.start()) {
        state.SkipWithError("set-up failed");
        return;
    }
    QuietConsole quiet;
    SteadyClock clock;
    FramePacer pacer(kFramesPerSecond);
    constexpr int64_t kPeriodUs = 1000000 / kFramesPerSecond;
    std::minstd_rand random(1);
    double worstUs = 0;
    int overBudget = 0;
    for (auto _ : state) {
        const float before = bench.brightness();
        // Part of the idle time between two frames passes, the byte arrives, the rest passes.
        clock.sleepMicros(static_cast<int64_t>(random() % static_cast<uint32_t>(kPeriodUs * 9 / 10)));
        const Steady::time_point sent = Steady::now();
        if (!bench.sendKey()) {
            state.SkipWithError("the pseudo-terminal refused the byte");
            break;
        }
        int waited = 0;
        while (bench.brightness() == before && waited < 1000) {
            pacer.waitForNextFrame(clock);
            bench.frame(kPeriodUs);
            ++waited;
        }
        const double us = usSince(sent);
        if (bench.brightness() == before) {
            state.SkipWithError("the key was not handled");
            break;
        }
        state.SetIterationTime(us / 1e6);
        worstUs = std::max(worstUs, us);
        overBudget += us > static_cast<double>(kPeriodUs) + 2000.0 ? 1 : 0;
    }
    state.counters["period_us"] = static_cast<double>(kPeriodUs);
    state.counters["worst_us"] = worstUs;
    state.counters["over_budget"] = overBudget;
}
BENCHMARK(KeypadByteToPagePaced)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(300);

}  // namespace

BENCHMARK_MAIN();
