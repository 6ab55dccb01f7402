// Cost of one whole frame (link check, aircraft-state read, CDU drawing) on the start-up
// page, drawn by the recording renderer with the stand-in simulator in-process.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchUnit.h"
#include "cdu/KeyInput.h"

namespace {

void StartupPageFrame(benchmark::State& state) {
    BenchUnit unit;
    if (!unit.start()) {
        state.SkipWithError("graphics set-up failed");
        return;
    }
    handleMouseDown(386, 502);  // ON/OFF/DIM
    for (auto _ : state) {
        unit.sim.clock.advanceUs(1000);
        if (!runFrame()) {
            state.SkipWithError("the frame lost the simulator link");
            break;
        }
    }
    if (unit.context.cdu.currentPage != 2 ||
        unit.renderer.snapshot().row(0).find("ORX - 1") == std::string::npos) {
        state.SkipWithError("the start-up page was not drawn");
    }
}
BENCHMARK(StartupPageFrame)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
