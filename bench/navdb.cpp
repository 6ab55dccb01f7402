// Benchmarks of the navigation database on a world database (the files written by
// fms-navdata): the start-up load on the four loader threads, and the lookups pages call on
// a key press.
//
//   bench_navdb --db=DIR [benchmark flags]     DIR holds data/airports.txt etc.
//   FMS_WORLD_DB=DIR bench_navdb
//   bench_navdb --db=DIR --load-once            one load, counts and time (for /usr/bin/time -v)

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "navdb/DatabaseFiles.h"
#include "navdb/DatabaseLoad.h"
#include "navdb/NavDatabase.h"

namespace {
std::string worldRoot;

// Polls the flags the way the frame loop does (about once a millisecond) until all four
// loaders are done; returns the elapsed time in seconds.
double loadWorld(NavDatabase& db) {
    auto start = std::chrono::steady_clock::now();
    requestDatabaseLoad(db, worldRoot);
    while (!databaseFullyLoaded(db)) std::this_thread::sleep_for(std::chrono::microseconds(500));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    waitForDatabaseLoad(db);
    return seconds;
}

const NavDatabase& world() {
    static std::unique_ptr<NavDatabase> db = [] {
        auto d = std::make_unique<NavDatabase>();
        loadWorld(*d);
        return d;
    }();
    return *db;
}

void BM_StartupLoad(benchmark::State& state) {
    for (auto _ : state) {
        auto db = std::make_unique<NavDatabase>();
        double seconds = loadWorld(*db);
        if (!databaseFullyLoaded(*db)) state.SkipWithError("the world database did not load");
        state.SetIterationTime(seconds);
        state.counters["records"] = static_cast<double>(db->airports.size() + db->navaids.size() +
                                                        db->fixes.size() + db->airways.size());
    }
}
BENCHMARK(BM_StartupLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Each reader alone on its file's text already in memory: the parsing cost per thread.
template <typename Record, typename Reader>
void readFile(benchmark::State& state, const char* file, Reader reader) {
    std::string text;
    if (!readFileCapped(worldRoot + "/" + file, text)) state.SkipWithError("cannot read the file");
    for (auto _ : state) {
        std::vector<Record> records;
        benchmark::DoNotOptimize(reader(text, records));
        state.PauseTiming();
        records = {};
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
void BM_ReadAirports(benchmark::State& s) {
    readFile<Airport>(s, "data/airports.txt", readAirports);
}
void BM_ReadNavaids(benchmark::State& s) {
    readFile<Navaid>(s, "data/Navaids.txt", readNavaids);
}
void BM_ReadWaypoints(benchmark::State& s) {
    readFile<Fix>(s, "data/Waypoints.txt", readWaypoints);
}
void BM_ReadAirways(benchmark::State& s) {
    readFile<Airway>(s, "data/Ats.txt", readAirways);
}
BENCHMARK(BM_ReadAirports)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadNavaids)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWaypoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAirways)->Unit(benchmark::kMillisecond);

// The worst case scans every list: an identifier that is nowhere.
void BM_FindIdentifierMissing(benchmark::State& state) {
    const NavDatabase& db = world();
    std::string ident = "QQQQQ";
    for (auto _ : state) benchmark::DoNotOptimize(findIdentifier(db, ident, GeoPoint{47.45, -122.31}));
}
BENCHMARK(BM_FindIdentifierMissing)->Unit(benchmark::kMillisecond);

// Identifiers as typed: an airport, a navaid, a fix from the loaded lists.
void BM_FindIdentifierMixed(benchmark::State& state) {
    const NavDatabase& db = world();
    std::vector<std::string> idents;
    for (size_t i = 0; i < 64; ++i) {
        idents.push_back(db.airports[(i * 7919) % db.airports.size()].ident);
        idents.push_back(db.navaids[(i * 104729) % db.navaids.size()].ident);
        idents.push_back(db.fixes[(i * 1299709) % db.fixes.size()].ident);
    }
    size_t k = 0;
    for (auto _ : state) benchmark::DoNotOptimize(findIdentifier(db, idents[k++ % idents.size()], GeoPoint{47.45, -122.31}));
}
BENCHMARK(BM_FindIdentifierMixed)->Unit(benchmark::kMillisecond);

std::vector<std::pair<double, double>> randomPositions() {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> lat(-60, 70), lon(-180, 180);
    std::vector<std::pair<double, double>> p(1024);
    for (auto& x : p) x = {lat(rng), lon(rng)};
    return p;
}

void BM_NearestAirport(benchmark::State& state) {
    const NavDatabase& db = world();
    auto positions = randomPositions();
    size_t k = 0;
    for (auto _ : state) {
        const auto& p = positions[k++ % positions.size()];
        benchmark::DoNotOptimize(nearestAirport(db, p.first, p.second));
    }
}
BENCHMARK(BM_NearestAirport)->Unit(benchmark::kMillisecond);

void BM_MagneticVariation(benchmark::State& state) {
    const NavDatabase& db = world();
    auto positions = randomPositions();
    size_t k = 0;
    for (auto _ : state) {
        const auto& p = positions[k++ % positions.size()];
        benchmark::DoNotOptimize(magneticVariationAt(db, p.first, p.second));
    }
}
BENCHMARK(BM_MagneticVariation)->Unit(benchmark::kMicrosecond);

bool haveDatabase(const std::string& root) {
    namespace fs = std::filesystem;
    for (const char* f : {"data/airports.txt", "data/Navaids.txt", "data/Waypoints.txt", "data/Ats.txt"})
        if (!fs::is_regular_file(fs::path(root) / f)) return false;
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    bool loadOnce = false;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--db=", 5) == 0) {
            worldRoot = argv[i] + 5;
        } else if (std::strcmp(argv[i], "--load-once") == 0) {
            loadOnce = true;
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (worldRoot.empty())
        if (const char* env = std::getenv("FMS_WORLD_DB")) worldRoot = env;
    if (worldRoot.empty() || !haveDatabase(worldRoot)) {
        std::fprintf(
            stderr,
            "bench_navdb: no world database%s%s.\n"
            "Convert one with fms-navdata --input <world source folder> --output DIR/data, then run\n"
            "bench_navdb --db=DIR (or set FMS_WORLD_DB=DIR).\n",
            worldRoot.empty() ? "" : " in ", worldRoot.c_str());
        return 2;
    }
    if (loadOnce) {
        NavDatabase db;
        double seconds = loadWorld(db);
        std::printf(
            "load: %.1f ms, %zu airports, %zu navaids, %zu fixes, %zu airways, cycle %s, complete %s\n",
            seconds * 1000.0, db.airports.size(), db.navaids.size(), db.fixes.size(), db.airways.size(),
            db.cycleText.c_str(), databaseFullyLoaded(db) ? "yes" : "no");
        return databaseFullyLoaded(db) ? 0 : 1;
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
