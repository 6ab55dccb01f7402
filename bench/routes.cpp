// Stored routes, airways and route exchange on a world database (the files written by
// fms-navdata):
//   - a frame of the route list page with 1,000 stored routes (the folder is listed again
//     once a second, so one frame in fifty at 50 frames a second lists it), its drawing calls
//     going to no backend (the page's own work);
//   - the airway entry of a 100-point airway (lookups, plan rebuild, simulator plan file);
//   - fms-route resolving a 30-element ICAO route string with airways.
//
//   bench_routes --db=DIR [benchmark flags]     DIR holds data/airports.txt etc.
//   FMS_WORLD_DB=DIR bench_routes

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RouteExchange.h"
#include "RouteTool.h"
#include "cdu/CduRenderer.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/RouteFiles.h"
#include "navdb/AirwayPoints.h"
#include "navdb/DatabaseLoad.h"
#include "navdb/IdentResolve.h"
#include "pages/AirwayPages.h"
#include "pages/RoutePages.h"
#include "shell/Fms.h"

namespace fs = std::filesystem;

namespace {

std::string worldRoot;

// A unit on the world database with a data root of its own (routes and plan files go there).
struct Unit {
    fs::path root;
    Fms context;
    std::unique_ptr<ScopedFms> current;

    Unit() {
        root = fs::temp_directory_path() / ("fms-bench-routes-" + std::to_string(::getpid()));
        fs::create_directories(root / "data/Routes");
        current = std::make_unique<ScopedFms>(context);
        context.platform.dataRoot = root.string();
    }
    ~Unit() {
        current.reset();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void loadWorld() {
        if (!loadDatabaseQuietly(context.navdb.database, worldRoot))
            std::fprintf(stderr, "no world database\n");
    }
};

void BM_RouteListFrame(benchmark::State& state) {
    Unit unit;
    const std::string text = "[DEPARTURE AIRPORT]\n0,KSEA\n[NAVAID]\n0,SEA\n";
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "R%04d", i);
        std::FILE* f = std::fopen((unit.root / "data/Routes" / (std::string(name) + ".txt")).c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    cduState().currentPage = kPageFpl;
    openRouteListPage();
    int frame = 0;
    for (auto _ : state) {
        // 50 frames a second: a new second every 50th frame.
        if (++frame % 50 == 0) ++cduState().secondsCounter;
        beginCduFrame();
        runRouteListPage();
        if (frame % 200 == 0) cduState().keys.pendingFunctionKey = kFnNext;  // the pilot pages on
    }
    if (pagesState().routeList.names.size() != 1000)
        state.SkipWithError("the list does not hold 1,000 routes");
    state.counters["routes"] = static_cast<double>(pagesState().routeList.names.size());
}
BENCHMARK(BM_RouteListFrame)->Unit(benchmark::kMicrosecond);

// The folder listing alone, the frame's most expensive part when it happens.
void BM_RouteFolderListing(benchmark::State& state) {
    Unit unit;
    for (int i = 0; i < 1000; ++i) {
        std::FILE* f =
            std::fopen((unit.root / "data/Routes" / ("R" + std::to_string(1000 + i) + ".txt")).c_str(), "wb");
        std::fclose(f);
    }
    for (auto _ : state) benchmark::DoNotOptimize(listRouteNames(unit.root.string()));
}
BENCHMARK(BM_RouteFolderListing)->Unit(benchmark::kMicrosecond);

Unit& worldUnit() {
    static Unit* unit = [] {
        auto* u = new Unit;
        u->loadWorld();
        return u;
    }();
    return *unit;
}

void BM_AirwayEntry100Points(benchmark::State& state) {
    Unit& unit = worldUnit();
    ScopedFms current(unit.context);
    const NavDatabase& db = unit.context.navdb.database;
    int airway = -1;
    for (size_t i = 0; i < db.airways.size() && airway < 0; ++i)
        if (db.airways[i].segments.size() + 1 >= 100) airway = static_cast<int>(i);
    if (airway < 0) {
        state.SkipWithError("no airway of 100 points");
        return;
    }
    const std::vector<AirwayPoint> points = airwayPoints(db.airways[static_cast<size_t>(airway)]);
    WaypointKind guess = WaypointKind::Fix;
    const FplLeg first = legForAirwayPoint(db, points.front(), guess);
    size_t appended = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clearFlightPlan();
        appendLeg(first);
        state.ResumeTiming();
        enterAirway(airway, 100);
        appended = static_cast<size_t>(planLegCount());
    }
    state.counters["legs"] = static_cast<double>(appended);
    state.SetLabel(db.airways[static_cast<size_t>(airway)].name);
}
BENCHMARK(BM_AirwayEntry100Points)->Unit(benchmark::kMicrosecond);

// Its parts: the point lookups alone, and the plan rebuild (with the simulator plan file) of
// a 100-leg plan.
void BM_AirwayEntryParts(benchmark::State& state) {
    Unit& unit = worldUnit();
    ScopedFms current(unit.context);
    const NavDatabase& db = unit.context.navdb.database;
    size_t airway = 0;
    while (airway < db.airways.size() && db.airways[airway].segments.size() + 1 < 100) ++airway;
    if (airway == db.airways.size()) {
        state.SkipWithError("no airway of 100 points");
        return;
    }
    const std::vector<AirwayPoint> points = airwayPoints(db.airways[airway]);
    std::vector<FplLeg> legs;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            legs.clear();
            WaypointKind guess = WaypointKind::Fix;
            for (size_t k = 0; k < 100; ++k) legs.push_back(legForAirwayPoint(db, points[k], guess));
        } else {
            rebuildPlanSegments();
        }
    }
    if (state.range(0) == 0) {
        clearFlightPlan();
        appendLegs(legs);
    }
    state.SetLabel(state.range(0) == 0 ? "lookups" : "rebuild");
}
BENCHMARK(BM_AirwayEntryParts)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A route string of 30 elements: an airport, then point AIRWAY point ... along airways that
// join one another, then an airport.
std::string icaoRoute(const NavDatabase& db) {
    std::map<std::string, std::vector<size_t>> airwaysAt;  // from-points of segments
    for (size_t i = 0; i < db.airways.size(); ++i)
        for (const AirwaySegment& s : db.airways[i].segments) airwaysAt[s.fromIdent].push_back(i);
    for (size_t start = 0; start < db.airways.size(); ++start) {
        std::vector<std::string> tokens;
        size_t airway = start;
        std::vector<AirwayPoint> pts = airwayPoints(db.airways[airway]);
        if (pts.size() < 4) continue;
        size_t at = 0;
        tokens.push_back(pts[0].ident);
        bool stuck = false;
        while (tokens.size() < 27 && !stuck) {
            stuck = true;
            for (size_t k = at + 2; k < pts.size(); ++k) {
                auto it = airwaysAt.find(pts[k].ident);
                if (it == airwaysAt.end()) continue;
                for (size_t next : it->second) {
                    if (db.airways[next].name == db.airways[airway].name) continue;
                    std::vector<AirwayPoint> np = airwayPoints(db.airways[next]);
                    size_t pos = 0;
                    while (pos < np.size() && np[pos].ident != pts[k].ident) ++pos;
                    if (pos + 3 >= np.size()) continue;
                    tokens.push_back(db.airways[airway].name);
                    tokens.push_back(pts[k].ident);
                    airway = next;
                    pts = np;
                    at = pos;
                    stuck = false;
                    break;
                }
                if (!stuck) break;
            }
        }
        if (tokens.size() < 27) continue;
        tokens.push_back(db.airways[airway].name);
        tokens.push_back(pts[at + 2].ident);
        auto airportNear = [&](const AirwayPoint& p) {
            return db.airports[static_cast<size_t>(nearestAirport(db, p.latitude, p.longitude).dbIndex)]
                .ident;
        };
        std::string route = airportNear(airwayPoints(db.airways[start]).front());
        for (const std::string& t : tokens) route += " " + t;
        route += " " + airportNear(pts[at + 2]);
        return route;
    }
    return {};
}

void BM_IcaoRouteResolve30(benchmark::State& state) {
    Unit& unit = worldUnit();
    const NavDatabase& db = unit.context.navdb.database;
    const std::string text = icaoRoute(db);
    ExchangeRoute route;
    std::string error;
    if (text.empty() || !readIcaoRoute(text, route, error)) {
        state.SkipWithError("no route string");
        return;
    }
    std::fprintf(stderr, "route string: %s\n", text.c_str());
    std::vector<FplLeg> legs;
    for (auto _ : state) {
        ExchangeRoute r;
        readIcaoRoute(text, r, error);
        if (!resolveRoute(db, r, legs, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(routeTextFor(db, legs, r.procedures));
    }
    state.counters["elements"] = static_cast<double>(route.points.size());
    state.counters["legs"] = static_cast<double>(legs.size());
}
BENCHMARK(BM_IcaoRouteResolve30)->Unit(benchmark::kMillisecond);

bool haveDatabase(const std::string& root) {
    return fs::exists(fs::path(root) / "data/airports.txt");
}

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
    if (worldRoot.empty() || !haveDatabase(worldRoot)) {
        std::fprintf(
            stderr,
            "bench_routes: no world database%s%s.\n"
            "Unpack data/world.tar.xz (scripts/run.sh --world does) or convert one with fms-navdata,\n"
            "then run bench_routes --db=DIR (or set FMS_WORLD_DB=DIR).\n",
            worldRoot.empty() ? "" : " in ", worldRoot.c_str());
        return 2;
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
