// fms-sim as a separate process, reached through the real local transport.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "SimProcess.h"
#include "TempDir.h"
#include "platform/posix/SimPosixTransport.h"
#include "shell/Fms.h"
#include "simlink/AircraftState.h"
#include "simlink/SimLink.h"

TEST(SimProcess, RoundTripThroughTheLocalTransport) {
    TempDir dir;
    SimProcess sim(
        dir, {"--scenario", "ksea", "--lat", "47.123456", "--lon", "-122.654321", "--alt", "5000", "--speed",
              "0", "--wind", "0/0", "--ap", "on", "--gps", "on", "--track", dir.str() + "/flight"});
    ASSERT_TRUE(sim.started());
    PosixSimTransport transport(sim.runtimeDir());
    Fms context;
    ScopedFms current(context);
    context.simlink.link.setTransport(&transport);
    ASSERT_TRUE(openWithin(context.simlink.link, 5000)) << sim.output();
    context.simlink.simLinked = true;

    // The position the simulator was started with (it stands still at zero airspeed).
    readSimulatorState();
    const AircraftState& s = context.simlink.aircraft;
    EXPECT_NEAR(s.position.lat, 47.123456, 1e-9);
    EXPECT_NEAR(s.position.lon, -122.654321, 1e-9);
    EXPECT_EQ(s.altimeterFt, 5000);
    ASSERT_TRUE(readGuidanceInputs());
    EXPECT_TRUE(lnavCoupled(s));
    EXPECT_NEAR(s.bankDeg, 0.0f, 1e-6);

    // Full left aileron for about a second: the bank (left wing down positive) grows.
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(writeAileron(10.0f));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    readSimulatorState();
    EXPECT_GT(s.bankDeg, 5.0f);
    EXPECT_GT(s.rollRate, 0.0);

    // The console answers; the end of its input stops the simulator, which writes the track
    // it was asked for and removes its socket.
    ASSERT_TRUE(sim.type("ap off"));
    for (int i = 0; i < 100 && readGuidanceInputs() && s.autopilotMaster != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(s.autopilotMaster, 0);
    context.simlink.link.close();
    sim.closeConsole();
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_FALSE(std::filesystem::exists(sim.socketPath()));
    EXPECT_NE(sim.output().find("autopilot master off"), std::string::npos) << sim.output();
    EXPECT_TRUE(std::filesystem::exists(dir.str() + "/flight.csv"));
    EXPECT_TRUE(std::filesystem::exists(dir.str() + "/flight.svg"));
}

TEST(SimProcess, MalformedRequestsAreRefusedAndTheSimulatorCarriesOn) {
    TempDir dir;
    SimProcess sim(dir, {"--no-console", "--speed", "0", "--wind", "0/0", "--lat", "10", "--lon", "20"});
    ASSERT_TRUE(sim.started());
    PosixSimTransport transport(sim.runtimeDir());
    SimLink link(&transport);
    ASSERT_TRUE(openWithin(link, 5000)) << sim.output();
    link.close();

    // A block of our own whose one record reads far past its end (the request walk itself is
    // tested record by record in-process).
    PosixSimTransport raw(sim.runtimeDir());
    ASSERT_EQ(raw.findServer(), SimServerKind::Full);
    ASSERT_TRUE(raw.registerMessage());
    ASSERT_EQ(raw.createBlock("FsasmLib:IPC:FFFF:1", kSimBlockSize), SimBlockStatus::Created);
    uint8_t* block = raw.mapBlock();
    ASSERT_NE(block, nullptr);
    std::memset(block, 0, kSimBlockSize);
    const uint32_t record[4] = {1, 0x0560, 0x7FFFFFFF, 0};
    std::memcpy(block, record, sizeof record);
    uint32_t reply = 1;
    ASSERT_EQ(raw.sendRequest("FsasmLib:IPC:FFFF:1", 2000, reply), SimSendStatus::Answered);
    EXPECT_NE(reply, 1u);
    raw.unmapBlock();
    raw.closeBlock();
    raw.releaseServer();

    // Still serving: a good link reads the start position.
    ASSERT_TRUE(openWithin(link, 2000));
    int64_t latRaw = 0;
    uint32_t result = 0;
    ASSERT_TRUE(link.read(0x0560, 8, &latRaw, result));
    ASSERT_TRUE(link.process(result));
    EXPECT_NEAR(latRaw * 2.0951091487837895e-15, 10.0, 1e-9);
    link.close();

    // SIGINT stops it cleanly, socket removed.
    sim.signal(SIGINT);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_FALSE(std::filesystem::exists(sim.socketPath()));
}
