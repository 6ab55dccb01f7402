// Guidance costs: one guidance frame (runGuidance with its simulator reads and writes through
// the in-process link) on a leg and in a hold, a whole 30-minute en-route flight and a
// 20-minute holding flight of the program (every frame: aircraft state, NAV page drawn by the
// recording renderer, guidance) at 60 frames per second against the in-process stand-in
// simulator.
//
//   bench_guidance [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "InProcessSim.h"
#include "RecordingRenderer.h"
#include "SimEarth.h"
#include "cdu/KeyInput.h"
#include "cdu/PageIds.h"
#include "cdu/Tga.h"
#include "cdu/WindowControl.h"
#include "flightplan/FlightPlan.h"
#include "guidance/GuidanceState.h"
#include "guidance/HoldGuidance.h"
#include "guidance/LateralGuidance.h"
#include "navdb/DatabaseLoad.h"
#include "platform/MessageBoxes.h"
#include "shell/Fms.h"
#include "shell/Program.h"

namespace {

// The whole program on a temporary data root without a database, unit 1, switched on.
struct Unit {
    std::string root;
    InProcessSim sim;
    RecordingRenderer renderer;
    RecordingMessageBoxes boxes;
    Fms context;
    ScopedFms current{context};
    bool ok = false;

    Unit() {
        std::string pattern = (std::filesystem::temp_directory_path() / "fms-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        root = pattern;
        std::filesystem::create_directories(root + "/textures");
        writeTga(root + "/textures/CDU_Tex.tga", TgaImage{3, 1, 1, {40, 40, 40}});
        context.platform.dataRoot = root;
        context.platform.clock = &sim.clock;
        context.platform.simTransport = &sim.transport;
        context.platform.renderer = &renderer;
        context.platform.messageBoxes = &boxes;
        startProgram();
        resizeViewport(540, 600);
        ok = initGraphics() == GraphicsInit::Ok;
        context.platform.settings.unitIsFms1 = true;
        handleMouseDown(386, 502);  // ON/OFF/DIM
    }
    ~Unit() {
        waitForDatabaseLoad(context.navdb.database);
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    // The en-route zig-zag of the flight tests: 18-NM legs turning 15, 45, 90 and 120 degrees,
    // the aircraft 3 NM before the first, at 250 kt with the autopilot on GPS.
    void zigzag() {
        double lat = 47.20, lon = -123.40;
        SimAircraft& a = sim.aircraft();
        a.latDeg = lat;
        a.lonDeg = lon;
        a.headingTrueDeg = 90.0;
        a.altitudeFt = a.autopilotAltitudeFt = 10000.0;
        a.trueAirspeedKt = 250.0;
        simearth::travel(lat, lon, 90.0, 3.0);
        const double courses[] = {90.0, 105.0, 60.0, 150.0, 30.0, 30.0, 30.0};
        for (int i = 0; i <= 7; ++i) {
            FplLeg leg;
            leg.waypointKind = WaypointKind::Fix;
            leg.ident = "ZZ" + std::to_string(i);
            leg.latitude = static_cast<float>(lat);
            leg.longitude = static_cast<float>(lon);
            appendLeg(leg);
            if (i < 7) simearth::travel(lat, lon, courses[i], 18.0);
        }
        a.autopilotMaster = true;
        a.navGpsSwitch = true;
    }

    // A hold at the second of three fixes east, armed, the aircraft 3 NM before the fix.
    void holding() {
        double lat = 47.20, lon = -123.40;
        SimAircraft& a = sim.aircraft();
        a.latDeg = lat;
        a.lonDeg = lon;
        a.headingTrueDeg = 90.0;
        a.altitudeFt = a.autopilotAltitudeFt = 10000.0;
        a.trueAirspeedKt = 250.0;
        for (int i = 0; i < 3; ++i) {
            FplLeg leg;
            leg.waypointKind = WaypointKind::Fix;
            leg.ident = "HB" + std::to_string(i);
            leg.latitude = static_cast<float>(lat);
            leg.longitude = static_cast<float>(lon);
            appendLeg(leg);
            simearth::travel(lat, lon, 90.0, i == 0 ? 3.0 : 20.0);
        }
        chooseHoldFix(1);
        armHold();
        a.autopilotMaster = true;
        a.navGpsSwitch = true;
    }

    // One frame of 1/60 s of the program.
    bool frame(int index) {
        sim.clock.advanceUs(index % 3 == 2 ? 16666 : 16667);
        sim.advanceMs(0);
        return runFrame();
    }
};

void RunGuidanceFrame(benchmark::State& state) {
    Unit unit;
    if (!unit.ok) {
        state.SkipWithError("graphics set-up failed");
        return;
    }
    unit.zigzag();
    for (int i = 0; i < 120; ++i) unit.frame(i);  // latched, steering
    int i = 0;
    for (auto _ : state) {
        unit.sim.clock.advanceUs(i++ % 3 == 2 ? 16666 : 16667);
        runGuidance();
    }
    if (unit.sim.aircraft().panelCoupled != 1) state.SkipWithError("guidance was not coupled");
}
BENCHMARK(RunGuidanceFrame)->Repetitions(5)->ReportAggregatesOnly(true);

void HoldGuidanceFrame(benchmark::State& state) {
    Unit unit;
    if (!unit.ok) {
        state.SkipWithError("graphics set-up failed");
        return;
    }
    unit.holding();
    for (int i = 0; i < 60 * 120 && unit.context.guidance.hold.holdState < kHoldInbound; ++i) unit.frame(i);
    for (int i = 0; i < 60 * 60; ++i) unit.frame(i);  // into the racetrack
    if (unit.context.guidance.hold.holdState < kHoldInbound) {
        state.SkipWithError("the hold was not entered");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        unit.sim.clock.advanceUs(i++ % 3 == 2 ? 16666 : 16667);
        runGuidance();
    }
}
BENCHMARK(HoldGuidanceFrame)->Repetitions(5)->ReportAggregatesOnly(true);

void HoldingFlight20Minutes(benchmark::State& state) {
    constexpr int kFrames = 20 * 60 * 60;
    int circuits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto unit = std::make_unique<Unit>();
        if (!unit->ok) {
            state.SkipWithError("graphics set-up failed");
            return;
        }
        unit->holding();
        unit->context.cdu.currentPage = kPageNav;
        state.ResumeTiming();
        int previous = 0;
        circuits = 0;
        for (int i = 0; i < kFrames; ++i) {
            if (!unit->frame(i)) {
                state.SkipWithError("the frame lost the simulator link");
                return;
            }
            const int now = unit->context.guidance.hold.holdState;
            if (now == kHoldTurnToOutbound && previous != kHoldTurnToOutbound) ++circuits;
            previous = now;
        }
        state.PauseTiming();
        unit.reset();
        state.ResumeTiming();
    }
    state.counters["circuits"] = circuits;
    if (circuits < 3) state.SkipWithError("the flight did not fly the racetrack");
}
BENCHMARK(HoldingFlight20Minutes)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

void EnRouteFlight30Minutes(benchmark::State& state) {
    constexpr int kFrames = 30 * 60 * 60;
    int sequenced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto unit = std::make_unique<Unit>();
        if (!unit->ok) {
            state.SkipWithError("graphics set-up failed");
            return;
        }
        unit->zigzag();
        unit->context.cdu.currentPage = kPageNav;
        state.ResumeTiming();
        for (int i = 0; i < kFrames; ++i) {
            if (!unit->frame(i)) {
                state.SkipWithError("the frame lost the simulator link");
                return;
            }
        }
        sequenced = unit->context.guidance.activeSegment;
        state.PauseTiming();  // the unit's teardown is not part of the flight
        unit.reset();
        state.ResumeTiming();
    }
    state.counters["legs_sequenced"] = sequenced;
    if (sequenced < 5) state.SkipWithError("the flight did not get through the zig-zag");
}
BENCHMARK(EnRouteFlight30Minutes)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
