// fms-fgbridge against recorded FlightGear packets: every offset the program reads, with its
// sign and unit; the writes passed back to FlightGear; malformed packets; and the bridge over
// its real sockets, including FlightGear going away.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "FgBridge.h"
#include "FgOffsetSpace.h"
#include "FgState.h"
#include "TempDir.h"
#include "platform/posix/SimPosixTransport.h"
#include "simlink/SimLink.h"
#include "simlink/SimOffsets.h"

namespace {

// Packets as FlightGear 2020.3 sent them with flightgear/Protocol/fmsbridge.xml: the Cessna
// 172P near Seattle in a left turn, descending; then on the runway, paused, in wind.
const std::string kAirborne =
    "31678.9309,47.405671212,-122.300056163,3171.05,3171.58,62.244,345.4333,344.9820,-16.9272,-5.9633,-1."
    "4370,"
    "0.0,0.00,2026,12,7,19,58,58,0,0,0,0,14.407,6.0200,5.362,5.362,0.000,0.000,0.008,21.500,21.500,33.887,"
    "33.887,0.017,5.982,0.000,0.000,0.000,0.00,0.0,0.0,284.00,-14.961,59.64\n";
const std::string kOnGroundPaused =
    "43200.5000,47.449888000,-122.309300000,433.20,0.00,0.000,179.9000,179.9000,0.5000,2.1000,0.0000,"
    "270.0,15.00,2024,2,29,23,59,59,1,1,1,1,15.250,6.0200,21.500,10.750,0.000,0.000,0.000,21.500,21.500,0."
    "000,"
    "0.000,0.000,0.000,0.000,0.000,0.000,90.00,5000.0,-500.0,123.00,0.000,0.00\n";

FgState parsed(const std::string& packet) {
    FgState s;
    std::string error;
    EXPECT_TRUE(parseFgPacket(packet, s, error)) << error;
    return s;
}

template <typename T>
T readAs(FgOffsetSpace& space, const SimVar& var) {
    uint8_t bytes[8] = {};
    space.readOffset(var.offset, bytes, var.size);
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

template <typename T>
void writeAs(FgOffsetSpace& space, const SimVar& var, T value) {
    uint8_t bytes[8] = {};
    std::memcpy(bytes, &value, sizeof value);
    space.writeOffset(var.offset, bytes, var.size);
}

constexpr double kTwo32 = 4294967296.0;

TEST(FgBridgePackets, EveryOffsetOfAnAirbornePacket) {
    FgOffsetSpace space;
    space.model.state = parsed(kAirborne);
    EXPECT_NEAR(readAs<int64_t>(space, simvar::kLatitude) * 2.0951091487837895e-15, 47.405671212, 1e-9);
    EXPECT_NEAR(readAs<int64_t>(space, simvar::kLongitude) * 360.0 / 18446744073709551616.0, -122.300056163,
                1e-9);
    EXPECT_EQ(readAs<uint8_t>(space, simvar::kZuluHour), 19);
    EXPECT_EQ(readAs<uint8_t>(space, simvar::kZuluMinute), 58);
    EXPECT_EQ(readAs<uint8_t>(space, simvar::kZuluSecond), 58);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kDayOfYear), 341);  // 7 December 2026
    EXPECT_EQ(readAs<int16_t>(space, simvar::kYear), 2026);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kOnGround), 0);
    EXPECT_EQ(readAs<int32_t>(space, simvar::kAltimeterAltitude), 3171);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kUnitsSetting), 0);
    EXPECT_NEAR(readAs<int32_t>(space, simvar::kRadioAltitude) / 65536.0, 3171.58 * 0.3048, 1e-3);
    EXPECT_NEAR(readAs<int32_t>(space, simvar::kGroundSpeed) / 65536.0, 62.244 * 1852.0 / 3600.0, 1e-4);
    EXPECT_NEAR(readAs<uint32_t>(space, simvar::kHeadingTrue) * 360.0 / kTwo32, 345.4333, 1e-6);
    // FlightGear's roll is right wing down positive, the protocol's bank left wing down: a
    // left turn of 16.9 degrees reads +16.9.
    EXPECT_NEAR(readAs<int32_t>(space, simvar::kBank) * 360.0 / kTwo32, 16.9272, 1e-6);
    // Pitch: FlightGear nose up positive, the protocol nose down.
    EXPECT_NEAR(readAs<int32_t>(space, simvar::kPitch) * 360.0 / kTwo32, 5.9633, 1e-6);
    // Rolling left at 1.437 deg/s: positive in the protocol, in radians per second.
    EXPECT_NEAR(readAs<double>(space, simvar::kRollRate), 1.4370 * M_PI / 180.0, 1e-9);
    // Magnetic track: true track less the east variation, in radians.
    EXPECT_NEAR(readAs<double>(space, simvar::kGroundTrackMag), (344.9820 - 14.407) * M_PI / 180.0, 1e-9);
    EXPECT_NEAR(readAs<int16_t>(space, simvar::kMagVariation) * 360.0 / 65536.0, 14.407, 0.006);
    EXPECT_EQ(readAs<uint16_t>(space, simvar::kWindSpeed), 0);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kPaused), 0);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kSlewing), 0);
    // Fuel: 6.02 lb per gallon, two wing tanks a quarter full, 5.982 gal/h on engine 1.
    EXPECT_EQ(readAs<uint16_t>(space, simvar::kFuelWeightPerGallon), 1541);
    EXPECT_NEAR(readAs<int32_t>(space, simvar::kFuelTankLevel[0]) / 8388608.0, 5.362 / 21.5, 1e-6);
    EXPECT_EQ(readAs<int32_t>(space, simvar::kFuelTankCapacity[0]), 22);  // 21.5 rounded
    EXPECT_NEAR(readAs<double>(space, simvar::kEngineFuelFlow[0]), 5.982 * 6.02, 1e-9);
    EXPECT_EQ(readAs<double>(space, simvar::kEngineFuelFlow[1]), 0.0);
    // The version words of a full server; 0x330A is write-only and leaves them alone.
    EXPECT_GE(readAs<uint32_t>(space, simvar::kServerVersion), 0x19980005u);
    writeAs<uint16_t>(space, simvar::kClientLibVersion, 1004);
    EXPECT_EQ(readAs<uint32_t>(space, simvar::kSimulatorVersion) >> 16, 0xFADEu);
    EXPECT_EQ(space.model.writes.clientLibVersion, 1004);
    // An offset FlightGear has no value for reads as zeros.
    EXPECT_EQ(readAs<uint32_t>(space, SimVar{0x7000, 4}), 0u);
}

TEST(FgBridgePackets, OnGroundPausedLeapDayAndWind) {
    FgOffsetSpace space;
    space.model.state = parsed(kOnGroundPaused);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kOnGround), 1);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kPaused), 1);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kDayOfYear), 60);  // 29 February 2024
    EXPECT_EQ(readAs<int16_t>(space, simvar::kYear), 2024);
    EXPECT_EQ(readAs<uint8_t>(space, simvar::kZuluHour), 23);
    EXPECT_EQ(readAs<uint8_t>(space, simvar::kZuluSecond), 59);
    EXPECT_EQ(readAs<uint16_t>(space, simvar::kWindSpeed), 15);
    EXPECT_EQ(readAs<uint16_t>(space, simvar::kWindDirection), 49152);  // from 270: past 0x8000, unsigned
    EXPECT_EQ(readAs<int32_t>(space, simvar::kRadioAltitude), 0);
    // A right wing down bank reads negative.
    EXPECT_LT(readAs<int32_t>(space, simvar::kBank), 0);
    // Heading just under 180 stays under 180 (unsigned angle).
    EXPECT_NEAR(readAs<uint32_t>(space, simvar::kHeadingTrue) * 360.0 / kTwo32, 179.9, 1e-6);
    // The second tank is half full.
    EXPECT_NEAR(readAs<int32_t>(space, simvar::kFuelTankLevel[1]) / 8388608.0, 0.5, 1e-6);
    // A tank without capacity reads empty rather than dividing by zero.
    EXPECT_EQ(readAs<int32_t>(space, simvar::kFuelTankLevel[2]), 0);
}

TEST(FgBridgePackets, MalformedPacketsAreRefusedAndLeaveTheStateAlone) {
    FgState state = parsed(kAirborne);
    const FgState before = state;
    std::string error;
    std::string noNewline = kAirborne.substr(0, kAirborne.size() - 1);
    const std::string shortPacket = noNewline.substr(0, noNewline.rfind(','));
    const std::string longPacket = noNewline + ",1.0";
    std::string nan = kAirborne;
    nan.replace(nan.find("47.405671212"), 12, "nan");
    std::string text = kAirborne;
    text.replace(text.find("3171.05"), 7, "31x1.05");
    std::string farNorth = kAirborne;
    farNorth.replace(farNorth.find("47.405671212"), 12, "91.0");
    std::string month13 = kAirborne;
    month13.replace(month13.find(",2026,12,"), 9, ",2026,13,");
    std::string empty;
    std::string emptyField = kAirborne;
    emptyField.replace(emptyField.find("62.244"), 6, "");
    const std::string huge(5000, '9');
    for (const std::string& bad : {shortPacket, longPacket, nan, text, farNorth, month13, empty, emptyField,
                                   huge, std::string("\n"), std::string(",,,,")}) {
        SCOPED_TRACE(bad.substr(0, 40));
        EXPECT_FALSE(parseFgPacket(bad, state, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(state.latDeg, before.latDeg);
        EXPECT_EQ(state.altitudeFt, before.altitudeFt);
    }
    // A bridge given them counts them as refused and keeps serving the last good packet.
    FgBridge bridge(FgBridgeOptions{});
    bridge.takePacket(kAirborne, 1.0);
    bridge.takePacket(nan, 1.1);
    bridge.takePacket(huge, 1.2);
    EXPECT_EQ(bridge.stats().packets, 1u);
    EXPECT_EQ(bridge.stats().rejected, 2u);
    EXPECT_DOUBLE_EQ(bridge.model().state.latDeg, 47.405671212);
}

TEST(FgBridgeWrites, ReadBackAsWrittenAndPassedToFlightGearInItsUnits) {
    FgOffsetSpace space;
    space.model.state = parsed(kOnGroundPaused);
    // Aileron: full left is -16384 and FlightGear's -1 (left roll); beyond full reads back limited.
    writeAs<int16_t>(space, simvar::kAileron, -16384);
    EXPECT_EQ(aileronPacket(space.model.writes.aileron), "-1.00000\n");
    writeAs<int16_t>(space, simvar::kAileron, 20000);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kAileron), 16384);
    EXPECT_EQ(aileronPacket(space.model.writes.aileron), "1.00000\n");
    writeAs<int16_t>(space, simvar::kAileron, 4096);
    EXPECT_EQ(aileronPacket(space.model.writes.aileron), "0.25000\n");
    EXPECT_EQ(space.model.writes.aileronWrites, 3u);

    // Before the program sets a target, FlightGear's own values go back unchanged.
    EXPECT_EQ(targetsPacket(space.model), "90.00,5000.0,-500,123,0.000,0,0\n");
    // Heading 270 magnetic, 9000 ft, -1200 ft/min, NAV1 course 45, CDI 12.7, coupled, waypoint 3.
    writeAs<uint16_t>(space, simvar::kAutopilotHeading, 49152);
    writeAs<int32_t>(space, simvar::kAutopilotAltitude, static_cast<int32_t>(9000 * 0.3048 * 65536.0));
    writeAs<int16_t>(space, simvar::kAutopilotVerticalSpeed, -1200);
    writeAs<uint16_t>(space, simvar::kNav1Course, 45);
    writeAs<float>(space, simvar::kPanelCdi, 12.7f);
    writeAs<uint8_t>(space, simvar::kPanelCoupled, 1);
    writeAs<uint8_t>(space, simvar::kPanelWaypoint, 3);
    EXPECT_EQ(targetsPacket(space.model), "270.00,9000.0,-1200,45,12.700,1,3\n");
    EXPECT_EQ(readAs<uint16_t>(space, simvar::kAutopilotHeading), 49152);
    EXPECT_EQ(readAs<int16_t>(space, simvar::kAutopilotVerticalSpeed), -1200);
    EXPECT_EQ(readAs<uint16_t>(space, simvar::kNav1Course), 45);
    EXPECT_FLOAT_EQ(readAs<float>(space, simvar::kPanelCdi), 12.7f);

    // The switches read back 1 for any non-zero value; a write to FlightGear's own values is ignored.
    writeAs<uint32_t>(space, simvar::kAutopilotMaster, 7);
    writeAs<uint32_t>(space, simvar::kNavGpsSwitch, 0);
    EXPECT_EQ(readAs<uint32_t>(space, simvar::kAutopilotMaster), 1u);
    EXPECT_EQ(readAs<uint32_t>(space, simvar::kNavGpsSwitch), 0u);
    writeAs<int64_t>(space, simvar::kLatitude, 0);
    EXPECT_NEAR(readAs<int64_t>(space, simvar::kLatitude) * 2.0951091487837895e-15, 47.449888, 1e-9);
}

TEST(FgBridgeWrites, ConsoleSwitchesGateTheSteering) {
    FgBridge bridge(FgBridgeOptions{});
    EXPECT_FALSE(bridge.model().writes.autopilotMaster);
    bridge.command("ap on");
    EXPECT_TRUE(bridge.model().writes.autopilotMaster);
    EXPECT_FALSE(bridge.model().writes.navGpsSwitch);
    bridge.command("gps on");
    EXPECT_TRUE(bridge.model().writes.navGpsSwitch);
    bridge.command("ap off");
    EXPECT_FALSE(bridge.model().writes.autopilotMaster);
    EXPECT_NE(bridge.command("ap maybe").find("on or"), std::string::npos);
    EXPECT_FALSE(bridge.model().writes.autopilotMaster);
    bridge.command("engage");
    EXPECT_TRUE(bridge.model().writes.autopilotMaster && bridge.model().writes.navGpsSwitch);
    EXPECT_NE(bridge.command("fly").find("unknown"), std::string::npos);
}

TEST(FgBridgeWrites, StampAgeAcrossMidnight) {
    EXPECT_NEAR(stampAgeS(100.0, 100.025), 0.025, 1e-9);
    EXPECT_NEAR(stampAgeS(86399.99, 0.01), 0.02, 1e-6);
    EXPECT_NEAR(stampAgeS(0.01, 86399.99), -0.02, 1e-6);
}

TEST(FgBridgeHold, HoldsAltitudeWithTheRightSigns) {
    FgHold hold;
    FgState s = parsed(kAirborne);
    hold.engage(3000.0, 100.0);
    // Below the altitude and slow: nose up (negative elevator) and more power.
    s.altitudeFt = 2800.0;
    s.verticalSpeedFps = 0.0;
    s.airspeedKt = 90.0;
    hold.update(s, 0.1);
    EXPECT_LT(hold.elevator(), 0.0);
    EXPECT_GT(hold.throttle(), 0.75);
    // Above and fast: nose down and less power.
    FgHold high;
    high.engage(3000.0, 100.0);
    s.altitudeFt = 3200.0;
    s.airspeedKt = 110.0;
    high.update(s, 0.1);
    EXPECT_GT(high.elevator(), 0.0);
    EXPECT_LT(high.throttle(), 0.75);
    // Wings level: a right bank asks for left aileron.
    s.rollDeg = 10.0;
    s.rollRateDegS = 0.0;
    high.update(s, 0.1);
    EXPECT_LT(high.levelingAileron(), 0.0);
}

// A FlightGear of the test's: sends packets to the bridge's port and listens on the ports the
// bridge sends to.
class FakeFlightGear {
public:
    explicit FakeFlightGear(int basePort) : basePort_(basePort) {
        out_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        for (int i = 0; i < 3; ++i) {
            in_[i] = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            const sockaddr_in a = address(basePort + 1 + i);
            bound_ = bound_ && bind(in_[i], reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
        }
    }
    ~FakeFlightGear() {
        close(out_);
        for (int fd : in_) close(fd);
    }
    bool bound() const { return bound_; }
    void send(const std::string& packet) {
        const sockaddr_in a = address(basePort_);
        sendto(out_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    }
    // The last line that arrived on input port 1..3 since the previous call ("" for none).
    std::string last(int port) {
        std::string line;
        char buffer[512];
        ssize_t n;
        while ((n = recv(in_[port - 1], buffer, sizeof buffer, 0)) > 0)
            line.assign(buffer, static_cast<size_t>(n));
        return line;
    }

private:
    static sockaddr_in address(int port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    int basePort_;
    int out_ = -1;
    int in_[3] = {-1, -1, -1};
    bool bound_ = true;
};

int testPort() {
    return 41000 + static_cast<int>(getpid() % 2000) * 4;
}

TEST(FgBridgeLink, ServesTheProgramAndEndsWhenFlightGearStops) {
    TempDir dir;
    FgBridgeOptions options;
    options.fromFlightGearPort = testPort();
    options.targetsPort = options.fromFlightGearPort + 1;
    options.aileronPort = options.fromFlightGearPort + 2;
    options.holdPort = options.fromFlightGearPort + 3;
    options.silenceLimitS = 0.5;
    options.steadyS = 0.0;
    options.runtimeDir = dir.str() + "/rt";
    FgBridge bridge(options);
    std::string error;
    ASSERT_TRUE(bridge.open(error)) << error;
    FakeFlightGear flightgear(options.fromFlightGearPort);
    ASSERT_TRUE(flightgear.bound());

    // No packet yet: no server for the program to find.
    ASSERT_TRUE(bridge.step(10, error)) << error;
    EXPECT_FALSE(bridge.serving());
    EXPECT_FALSE(std::filesystem::exists(options.runtimeDir + "/UIPCMAIN"));

    // The program's link runs on its own thread, the bridge's loop on this one.
    std::atomic<int> phase{0};
    std::atomic<bool> linked{false}, readOk{false}, lost{false};
    std::atomic<double> latitude{0.0};
    std::jthread program([&] {
        PosixSimTransport transport(options.runtimeDir);
        SimLink link;
        link.setTransport(&transport);
        uint32_t result = 0;
        for (int i = 0; i < 200 && !link.open(0, result); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        linked = link.isOpen();
        int64_t raw = 0;
        int16_t aileron = -8192;  // half left
        link.read(simvar::kLatitude.offset, 8, &raw, result);
        link.write(simvar::kAileron.offset, 2, &aileron, result);
        readOk = link.process(result) && result == 0;
        latitude = raw * 2.0951091487837895e-15;
        phase = 1;
        while (phase.load() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        // FlightGear has gone: the next exchange fails, and the check of the link finds it gone.
        link.read(simvar::kLatitude.offset, 8, &raw, result);
        const bool processed = link.process(result);
        lost = !processed && result == 12 && !link.open(0, result) && result != 1;
    });
    // Lets the program's thread finish even when an assertion below ends the test early.
    struct Release {
        std::atomic<int>& phase;
        ~Release() { phase = 2; }
    } release{phase};
    const auto until = [&](const std::function<bool()>& done, bool feed) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < end) {
            if (feed) flightgear.send(kAirborne);  // about FlightGear's 60 a second
            if (!bridge.step(16, error)) return false;
        }
        return done();
    };
    ASSERT_TRUE(until([&] { return phase.load() == 1; }, true)) << error << " linked " << linked;
    EXPECT_TRUE(bridge.serving());
    EXPECT_TRUE(linked);
    EXPECT_TRUE(readOk);
    EXPECT_NEAR(latitude.load(), 47.405671212, 1e-9);
    EXPECT_EQ(flightgear.last(2), "-0.50000\n");  // the aileron, half left
    EXPECT_FALSE(bridge.stats().stateAgesMs.empty());

    // A malformed packet among good ones changes nothing.
    flightgear.send("garbage,1,2\n");
    ASSERT_TRUE(bridge.step(20, error));
    EXPECT_GE(bridge.stats().rejected, 1u);
    EXPECT_TRUE(bridge.serving());

    // FlightGear stops: within the silence limit the bridge ends and takes its server away.
    bool ended = false;
    for (int i = 0; i < 200 && !ended; ++i) ended = !bridge.step(10, error);
    EXPECT_TRUE(ended);
    EXPECT_NE(error.find("silent"), std::string::npos);
    EXPECT_FALSE(bridge.serving());
    phase = 2;
    program.join();
    EXPECT_TRUE(lost);
}

TEST(FgBridgeLink, GivesUpWhenFlightGearNeverStarts) {
    TempDir dir;
    FgBridgeOptions options;
    options.fromFlightGearPort = testPort() + 4000;
    options.firstPacketWaitS = 0.1;
    options.runtimeDir = dir.str() + "/rt";
    FgBridge bridge(options);
    std::string error;
    ASSERT_TRUE(bridge.open(error)) << error;
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) ended = !bridge.step(10, error);
    EXPECT_TRUE(ended);
    EXPECT_NE(error.find("no packet"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(options.runtimeDir + "/UIPCMAIN"));
}

}  // namespace
