// The flight plan on a world database (the files written by fms-navdata): the rebuild of a
// 100-leg plan (segments, variation per segment and the waypoint-list file it writes), the
// file write alone, and one frame of the FPL page with the recording renderer.
//
//   bench_flightplan --db=DIR [benchmark flags]     DIR holds data/airports.txt etc.
//   FMS_WORLD_DB=DIR bench_flightplan

#include "flightplan/FlightPlan.h"

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "shell/Fms.h"
#include "cdu/CduRenderer.h"
#include "RecordingRenderer.h"
#include "pages/FplPages.h"
#include "flightplan/PlanExport.h"
#include "geo/Geodesy.h"
#include "navdb/DatabaseLoad.h"

namespace {

std::string worldRoot;
constexpr int kPlanLegs = 100;

// A unit with the world database and a 100-leg plan from Seattle towards New York: at each of
// 100 evenly spaced points of the great circle, the nearest fix.
struct PlanBench {
    Fms context;
    ScopedFms current{context};
    RecordingRenderer recorder;
    std::string dataRoot;

    PlanBench() {
        char pattern[] = "/tmp/fms-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        dataRoot = made != nullptr ? made : "/tmp";
        context.platform.dataRoot = dataRoot;
        loadDatabaseNow(context.navdb.database, worldRoot);
        installRecordingRenderer(recorder);

        const NavDatabase& db = context.navdb.database;
        const GeoPoint from{47.45, -122.31};
        const GeoPoint to{40.64, -73.78};
        const float course = initialBearing(from, to);
        const float length = distanceNm(from, to);
        FlightPlan& plan = context.flightplan.plan;
        for (int i = 0; i < kPlanLegs; ++i) {
            GeoPoint p;
            destinationPoint(from, p, course, length * static_cast<float>(i) / (kPlanLegs - 1));
            size_t best = 0;
            float bestDistance = 1e9f;
            for (size_t f = 0; f < db.fixes.size(); ++f) {
                float d = distanceNm(p, GeoPoint{db.fixes[f].latitude, db.fixes[f].longitude});
                if (d < bestDistance) {
                    bestDistance = d;
                    best = f;
                }
            }
            FplLeg leg;
            leg.waypointKind = WaypointKind::Fix;
            leg.ident = db.fixes.empty() ? "NONE" : db.fixes[best].ident;
            leg.latitude = db.fixes.empty() ? static_cast<float>(p.lat) : db.fixes[best].latitude;
            leg.longitude = db.fixes.empty() ? static_cast<float>(p.lon) : db.fixes[best].longitude;
            leg.dbIndex = static_cast<int32_t>(best);
            leg.altitudeFt = i % 3 == 0 ? 350 * 100 : 0;
            leg.altitudeIsFlightLevel = i % 3 == 0;
            plan.legs.push_back(leg);
        }
        AircraftState& a = context.simlink.aircraft;
        a.positionF.lat = 47.45f;
        a.positionF.lon = -122.31f;
        a.groundSpeedKt = 420.0f;
        context.simlink.simLinked = true;
        context.flightplan.originPending = false;
        rebuildPlanSegments();
    }
    ~PlanBench() {
        std::error_code ec;
        std::filesystem::remove_all(dataRoot, ec);
    }
};

PlanBench& bench() {
    static std::unique_ptr<PlanBench> b = std::make_unique<PlanBench>();
    return *b;
}

void BM_RebuildPlanSegments(benchmark::State& state) {
    PlanBench& b = bench();
    for (auto _ : state) rebuildPlanSegments();
    state.counters["legs"] = static_cast<double>(b.context.flightplan.plan.legs.size());
    state.counters["routeNm"] = static_cast<double>(routeDistanceNm());
}
BENCHMARK(BM_RebuildPlanSegments)->Unit(benchmark::kMicrosecond);

// The waypoint-list write alone (text and atomic replacement), part of every rebuild.
void BM_ExportSimulatorPlan(benchmark::State& state) {
    bench();
    for (auto _ : state) exportSimulatorPlan();
}
BENCHMARK(BM_ExportSimulatorPlan)->Unit(benchmark::kMicrosecond);

// One frame of the FPL page on a page in the middle of the plan, a line selected (prompts
// shown), time to go on every line.
void BM_FplPageFrame(benchmark::State& state) {
    PlanBench& b = bench();
    FplPagesState& fpl = b.context.pages.fpl;
    for (auto _ : state) {
        fpl.fplPage = 10;
        fpl.fplSelectedLine = 2;
        beginCduFrame();
        beginPageCoordinates();
        runFplPage();
    }
    if (b.recorder.snapshot().row(0).find("FPL 10/21") == std::string::npos)
        state.SkipWithError("the FPL page did not show page 10 of 21");
}
BENCHMARK(BM_FplPageFrame)->Unit(benchmark::kMicrosecond);

bool haveDatabase(const std::string& root) {
    return std::filesystem::exists(root + "/data/airports.txt") &&
           std::filesystem::exists(root + "/data/Waypoints.txt");
}

}  // namespace

int main(int argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--db=", 5) == 0)
            worldRoot = argv[i] + 5;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (worldRoot.empty())
        if (const char* env = std::getenv("FMS_WORLD_DB")) worldRoot = env;
    if (worldRoot.empty() || !haveDatabase(worldRoot)) {
        std::fprintf(stderr,
                     "No world database%s%s: give the folder holding data/airports.txt with "
                     "bench_flightplan --db=DIR (or set FMS_WORLD_DB=DIR).\n",
                     worldRoot.empty() ? "" : " in ", worldRoot.c_str());
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
