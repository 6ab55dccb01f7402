#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "SimConsole.h"
#include "SimOptions.h"
#include "SimTrack.h"
#include "TempDir.h"
#include "simlink/SimOffsets.h"

TEST(SimOptions, ScenarioThenOverrides) {
    SimOptions options;
    std::string error;
    // The scenario applies first even when named last.
    ASSERT_TRUE(parseSimOptions({"--lat", "47.1", "--hdg", "360", "--wind", "270/15", "--date", "2004-02-29",
                                 "--time", "23:59:30", "--scenario", "ksea"},
                                options, error))
        << error;
    const SimAircraft& a = options.start;
    EXPECT_EQ(a.latDeg, 47.1);
    EXPECT_EQ(a.lonDeg, -122.40);  // from the scenario
    EXPECT_EQ(a.headingTrueDeg, 0.0);
    EXPECT_EQ(a.windFromDeg, 270.0);
    EXPECT_EQ(a.utcSeconds, 1078099170.0);  // 2004-02-29 23:59:30 UTC

    // On the ground: at the terrain, altitude target with it.
    SimOptions ground;
    ASSERT_TRUE(parseSimOptions({"--ground", "--elevation", "250", "--no-console"}, ground, error)) << error;
    EXPECT_TRUE(ground.start.onGround);
    EXPECT_EQ(ground.start.altitudeFt, 250.0);
    EXPECT_EQ(ground.start.autopilotAltitudeFt, 250.0);

    // Airborne from a ground scenario lifts the aircraft clear of the terrain.
    SimOptions lifted;
    ASSERT_TRUE(parseSimOptions({"--scenario", "ksea-ground", "--airborne"}, lifted, error)) << error;
    EXPECT_FALSE(lifted.start.onGround);
    EXPECT_GE(lifted.start.altitudeFt, lifted.start.groundElevationFt + 1000.0);
}

TEST(SimOptions, BadValuesAreRefused) {
    const std::vector<std::vector<std::string>> bad = {
        {"--lat", "91"},        {"--lon", "abc"},         {"--alt"},           {"--wind", "270"},
        {"--wind", "400/10"},   {"--date", "2004-13-01"}, {"--time", "12:60"}, {"--ap", "maybe"},
        {"--scenario", "mars"}, {"--frobnicate"},         {"--hdg", "10x"},    {"--fuel", "101"},
    };
    for (const auto& args : bad) {
        SimOptions options;
        std::string error;
        EXPECT_FALSE(parseSimOptions(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
    // Leap days exist in leap years only.
    double t = 0;
    EXPECT_TRUE(parseDate("2000-02-29", t));
    EXPECT_FALSE(parseDate("1900-02-29", t));
    EXPECT_FALSE(parseDate("2004-02", t));
    EXPECT_FALSE(parseDate("2004-02-29-1", t));
}

TEST(SimConsole, CommandsChangeTheWorldAndConfirm) {
    SimWorld world;
    ASSERT_TRUE(applyScenario("ksea", world.aircraft));
    SimAircraft& a = world.aircraft;
    auto run = [&](const std::string& line) { return runSimCommand(world, line).reply; };

    EXPECT_EQ(run("ap off"), "autopilot master off");
    EXPECT_EQ(run("ap"), "autopilot master on");  // no argument toggles
    EXPECT_TRUE(a.autopilotMaster);
    EXPECT_EQ(run("wind 360/5"), "wind 000/5");
    EXPECT_EQ(a.windFromDeg, 0.0);
    EXPECT_EQ(run("move 47.6 -122.5"), "moved to 47.60000 -122.50000");
    EXPECT_EQ(a.lonDeg, -122.5);
    // Setting the altitude moves the autopilot target with it; apalt moves only the target.
    EXPECT_EQ(run("alt 9000"), "altitude 9000 ft");
    run("apalt 11000");
    EXPECT_EQ(a.altitudeFt, 9000.0);
    EXPECT_EQ(a.autopilotAltitudeFt, 11000.0);
    EXPECT_EQ(run("ground on").substr(0, 13), "on the ground");
    EXPECT_EQ(a.altitudeFt, a.groundElevationFt);

    // Refusals leave the world alone.
    EXPECT_EQ(run("hdg 400"), "usage: hdg DEG");
    EXPECT_EQ(a.headingTrueDeg, 180.0);
    EXPECT_EQ(run("launch"), "unknown command: launch (try help)");
    EXPECT_TRUE(runSimCommand(world, "quit").quit);
}

TEST(SimConsole, AirframeAndTurbulenceByCommandAndOption) {
    SimWorld world;
    SimAircraft& a = world.aircraft;
    auto run = [&](const std::string& line) { return runSimCommand(world, line).reply; };
    EXPECT_EQ(std::string(a.airframe.name), "jet");  // the default
    EXPECT_EQ(run("airframe heavy"),
              "airframe heavy: roll time constant 1.5 s, full-aileron roll rate 8 deg/s, bank limit 35 deg");
    EXPECT_EQ(a.airframe.maxRollRateDegS, 8.0);
    EXPECT_EQ(run("airframe glider"), "usage: airframe light|jet|heavy");
    EXPECT_EQ(std::string(a.airframe.name), "heavy");
    EXPECT_NE(simStatusLine(world).find(" airframe heavy"), std::string::npos);

    EXPECT_EQ(run("turb moderate 9"), "turbulence: roll 5.0 deg/s, heading 0.8 deg/s RMS, seed 9");
    EXPECT_EQ(a.turbulence.seed, 9u);
    EXPECT_EQ(run("turb 2.5 0.4"), "turbulence: roll 2.5 deg/s, heading 0.4 deg/s RMS, seed 1");
    for (const char* bad : {"turb", "turb gale", "turb 50 1", "turb 2 1 -3", "turb 2 1 3 4", "turb light x"})
        EXPECT_EQ(run(bad).substr(0, 6), "usage:") << bad;
    EXPECT_EQ(a.turbulence.rollRateRmsDegS, 2.5);  // refusals leave it alone
    EXPECT_EQ(run("turb off"), "turbulence off");
    EXPECT_FALSE(a.turbulence.active());
    // The help says who rolls the aircraft when the program does not.
    EXPECT_NE(simConsoleHelp().find("stand-in pilot"), std::string::npos);

    SimOptions options;
    std::string error;
    ASSERT_TRUE(parseSimOptions({"--airframe", "light", "--turbulence", "severe,4"}, options, error)) << error;
    EXPECT_EQ(options.start.airframe.rollTimeConstantS, 0.3);
    EXPECT_EQ(options.start.turbulence.rollRateRmsDegS, 10.0);
    EXPECT_EQ(options.start.turbulence.seed, 4u);
    ASSERT_TRUE(parseSimOptions({"--turbulence", "3,0.5"}, options, error)) << error;
    EXPECT_EQ(options.start.turbulence.headingRateRmsDegS, 0.5);
    for (const char* bad : {"--airframe", "--turbulence"}) {
        SimOptions refused;
        EXPECT_FALSE(parseSimOptions({bad, "bumpy"}, refused, error)) << bad;
    }
}

TEST(SimTrack, CsvAndSvgOfTheFlownTrack) {
    SimWorld world;
    world.aircraft.latDeg = 47.0;
    world.aircraft.lonDeg = -122.0;
    world.aircraft.altitudeFt = world.aircraft.autopilotAltitudeFt = 3000.0;
    world.aircraft.trueAirspeedKt = 360.0;
    world.step(120.5);  // samples at 0..120 s

    TempDir dir;
    const std::string prefix = dir.str() + "/flight";
    const SimCommandResult r = runSimCommand(world, "track " + prefix);
    EXPECT_EQ(r.reply, "wrote " + prefix + ".csv and " + prefix + ".svg (121 points)");

    const std::string csv = dir.read("flight.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "time_s,lat_deg,lon_deg,altitude_ft,heading_true_deg,bank_deg,ground_speed_kt");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 121);
    // The last sample: two minutes north at 360 kt is 12 NM = 0.2 degrees.
    EXPECT_EQ(csv.substr(csv.rfind('\n', csv.size() - 2) + 1),
              "120.00,47.2000000,-122.0000000,3000.0,0.00,0.00,360.0\n");

    const std::string svg = dir.read("flight.svg");
    const size_t points = svg.find("points=\"");
    ASSERT_NE(points, std::string::npos);
    EXPECT_EQ(std::count(svg.begin() + points, svg.begin() + svg.find('"', points + 8), ','), 121);
    EXPECT_NE(svg.find(">2 NM<"), std::string::npos);  // a quarter of 12 NM, down to 1-2-5 steps
    EXPECT_NE(svg.find("</svg>"), std::string::npos);

    std::string error;
    EXPECT_FALSE(writeTrackFiles(world.track(), dir.str() + "/missing/folder/x", error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    EXPECT_NE(trackSvg({}).find("no track"), std::string::npos);
}

TEST(SimOffsetDocs, EveryOffsetIsDocumented) {
    std::ifstream file(std::string(FMS_SOURCE_DIR) + "/docs/simulator-protocol.md");
    ASSERT_TRUE(file.good());
    std::stringstream buffer;
    buffer << file.rdbuf();
    const std::string doc = buffer.str();
    for (const SimVarEntry& e : kSimVarTable) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%04X", e.var.offset);
        EXPECT_NE(doc.find(hex), std::string::npos) << e.name << " " << hex;
    }
}
