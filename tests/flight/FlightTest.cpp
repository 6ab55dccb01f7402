// Closed-loop flight tests: the program flies plans against the in-process stand-in simulator
// at 60 frames per second of simulated time, for three airframes, in calm air and in a 30-kt
// crosswind. Each scenario writes its rows of the flight-test table and a plot per flight into
// the build folder; the tests hold the figures to their thresholds.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "FlightRig.h"
#include "SimEarth.h"

namespace {

// Every airframe, in calm air and in 30 kt from `windFromDeg`.
std::vector<FlightConditions> allConditions(double windFromDeg) {
    std::vector<FlightConditions> out;
    for (const SimAirframe& f : kSimAirframes) {
        out.push_back({f, 0.0, 0.0, 0.0});
        out.push_back({f, windFromDeg, 30.0, 0.0});
    }
    return out;
}

std::string fileName(const std::string& scenario, const FlightConditions& c) {
    std::string s = scenario + "-" + c.airframe.name + (c.windKt > 0.0 ? "-crosswind" : "-calm");
    if (c.magVarOffsetDeg != 0.0) s += "-variation";
    return s;
}

using FlyFn = std::function<void(FlightRig&)>;
using CheckFn = std::function<void(const FlightRig&, const std::vector<LegFigures>&)>;

void runScenario(const std::string& scenario, const std::vector<FlightConditions>& conditions, const FlyFn& fly,
                 const CheckFn& check) {
    std::vector<TableRow> rows;
    for (const FlightConditions& c : conditions) {
        SCOPED_TRACE(c.label());
        FlightRig rig(c);
        fly(rig);
        if (::testing::Test::HasFatalFailure()) return;
        const std::vector<LegFigures> figures = rig.figures();
        for (const LegFigures& f : figures) rows.push_back({scenario, c.label(), f});
        writeText(flightOutputDir() + "/" + fileName(scenario, c) + ".svg", rig.svg(scenario + ", " + c.label()));
        check(rig, figures);
    }
    writeScenarioOutput(scenario, rows);
}

// The legs flown, by name, in order.
std::vector<std::string> legNames(const std::vector<LegFigures>& figures) {
    std::vector<std::string> out;
    for (const LegFigures& f : figures) out.push_back(f.name);
    return out;
}

// Every leg but the last was left by its end condition.
void expectSequencedInOrder(const std::vector<LegFigures>& figures) {
    for (size_t i = 0; i + 1 < figures.size(); ++i) EXPECT_TRUE(figures[i].sequenced) << figures[i].name;
}

// The en-route zig-zag: 18-NM TF legs turning 15, 45, 90 and 120 degrees.
constexpr double kZigzagCourses[] = {90.0, 105.0, 60.0, 150.0, 30.0, 30.0};
constexpr double kZigzagLegNm = 18.0;

void flyZigzag(FlightRig& rig) {
    double lat = 47.20, lon = -123.40;
    rig.place(lat, lon, 90.0, 10000.0, 250.0);
    simearth::travel(lat, lon, 90.0, 3.0);
    rig.addPoint("ZZ0", lat, lon);
    for (size_t i = 0; i < std::size(kZigzagCourses); ++i) {
        simearth::travel(lat, lon, kZigzagCourses[i], kZigzagLegNm);
        rig.addPoint("ZZ" + std::to_string(i + 1), lat, lon);
    }
    // Back to where the first leg starts: the aircraft starts 3 NM before it.
    rig.h.sim.aircraft().latDeg = 47.20;
    rig.h.sim.aircraft().lonDeg = -123.40;
    rig.engage();
    const int last = static_cast<int>(std::size(kZigzagCourses)) - 1;
    rig.fly(45 * 60.0, [&] { return rig.activeSegment() == last && rig.seconds() > 0 && false; });
}

}  // namespace

TEST(FlightTest, EnRouteZigzagOfTfLegs) {
    runScenario("enroute-zigzag", allConditions(180.0), flyZigzag, [](const FlightRig&, const std::vector<LegFigures>& f) {
        expectSequencedInOrder(f);
        EXPECT_EQ(legNames(f), (std::vector<std::string>{"WPT ZZ1", "WPT ZZ2", "WPT ZZ3", "WPT ZZ4", "WPT ZZ5", "WPT ZZ6"}));
    });
}

TEST(FlightTest, SeattleDepartureVaVdDfTf) {
    runScenario("ksea-millt2", allConditions(250.0),
                [](FlightRig& rig) {
                    rig.place(47.463797, -122.307752, 180.3, 600.0, 200.0);
                    rig.h.sim.aircraft().groundElevationFt = 433.0;
                    rig.h.sim.aircraft().autopilotAltitudeFt = 10000.0;
                    rig.addIdent("KSEA");
                    rig.addSid("KSEA", "16L", "MILLT2", "TAOMA");
                    rig.addIdent("OLM");
                    rig.engage();
                    rig.fly(25 * 60.0);
                },
                [](const FlightRig&, const std::vector<LegFigures>& f) {
                    expectSequencedInOrder(f);
                    EXPECT_EQ(legNames(f), (std::vector<std::string>{"VA 1500FT", "VD 3000FT", "DF MILLT", "TF ORTIN",
                                                                      "TF TAOMA", "WPT OLM"}));
                });
}
