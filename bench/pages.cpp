// The nearest lists of the LIST page on a world database (the files written by fms-navdata):
// the intersection search as the page runs it (thread started, result published) and the
// list builders alone.
//
//   bench_pages --db=DIR [benchmark flags]     DIR holds data/airports.txt etc.
//   FMS_WORLD_DB=DIR bench_pages

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "navdb/DatabaseLoad.h"
#include "pages/IntersectionSearch.h"
#include "pages/NearestLists.h"

namespace {

std::string worldRoot;

const NavDatabase& world() {
    static std::unique_ptr<NavDatabase> db = [] {
        auto d = std::make_unique<NavDatabase>();
        loadDatabaseNow(*d, worldRoot);
        return d;
    }();
    return *db;
}

// The first leg of a plan from Seattle (any airport would do; the list is always complete).
FplLeg reference() {
    const NavDatabase& db = world();
    FplLeg leg;
    leg.waypointKind = WaypointKind::Airport;
    leg.latitude = 47.449f;
    leg.longitude = -122.309f;
    for (size_t i = 0; i < db.airports.size(); ++i) {
        if (db.airports[i].ident == "KSEA") {
            leg.ident = "KSEA";
            leg.dbIndex = static_cast<int32_t>(i);
            leg.latitude = db.airports[i].latitude;
            leg.longitude = db.airports[i].longitude;
        }
    }
    return leg;
}

// From the L3 press to the published list, as the page sees it.
void BM_IntersectionSearch(benchmark::State& state) {
    const NavDatabase& db = world();
    const FplLeg ref = reference();
    IntersectionSearch search;
    for (auto _ : state) {
        search.start(db, ref);
        while (!search.ready()) std::this_thread::yield();
        benchmark::DoNotOptimize(search.result().data());
    }
    state.counters["fixes"] = static_cast<double>(db.fixes.size());
}
BENCHMARK(BM_IntersectionSearch)->Unit(benchmark::kMillisecond);

void BM_NearestList(benchmark::State& state, NearestCategory category) {
    const NavDatabase& db = world();
    const FplLeg ref = reference();
    size_t entries = 0;
    for (auto _ : state) {
        std::vector<NearestEntry> list = buildNearestList(db, category, ref);
        entries = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK_CAPTURE(BM_NearestList, airports, NearestCategory::Airport)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NearestList, vors, NearestCategory::Vor)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NearestList, ndbs, NearestCategory::Ndb)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NearestList, fixes, NearestCategory::Fix)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--db=", 5) == 0)
            worldRoot = argv[i] + 5;
        else
            rest.push_back(argv[i]);
    }
    if (worldRoot.empty())
        if (const char* env = std::getenv("FMS_WORLD_DB")) worldRoot = env;
    if (worldRoot.empty() || !std::filesystem::exists(std::filesystem::path(worldRoot) / "data/Waypoints.txt")) {
        std::fprintf(stderr,
                     "bench_pages: no world database%s%s (data/Waypoints.txt missing).\n"
                     "Convert one with fms-navdata, then run bench_pages --db=DIR (or set FMS_WORLD_DB=DIR).\n",
                     worldRoot.empty() ? "" : " in ", worldRoot.c_str());
        return 2;
    }
    if (!databaseFullyLoaded(world())) {
        std::fprintf(stderr, "bench_pages: the world database in %s did not load completely.\n", worldRoot.c_str());
        return 1;
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
