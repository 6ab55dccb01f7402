#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FgHold.h"
#include "FgOffsetSpace.h"

class PosixSimServer;

struct FgBridgeOptions {
    int fromFlightGearPort = 5500;    // FlightGear's output packets arrive here
    int targetsPort = 5501;           // autopilot targets, NAV1 course, panel values
    int aileronPort = 5502;           // the program's aileron
    int holdPort = 5503;              // elevator and throttle of the pitch and power hold
    double firstPacketWaitS = 300.0;  // how long to wait for FlightGear at start
    double silenceLimitS = 10.0;      // FlightGear silent this long: the bridge ends
    double steadyS = 10.0;            // packets without a gap this long before the server starts
    bool engage = false;              // autopilot master and NAV/GPS on GPS from the start
    bool hold = false;                // hold altitude and airspeed from the first packet
    std::string runtimeDir;           // empty: the protocol's default folder
};

// Figures of the bridge's run.
struct FgBridgeStats {
    uint64_t packets = 0;         // good packets from FlightGear
    uint64_t rejected = 0;        // packets refused (malformed, wrong protocol)
    uint64_t aileronPackets = 0;  // packets sent to FlightGear
    uint64_t targetPackets = 0;
    uint64_t holdPackets = 0;
    std::vector<double> stateAgesMs;  // per read of the aircraft state: its age
};

// Serves the simulator protocol from FlightGear: reads FlightGear's output packets from a UDP
// port on localhost, answers every request from the latest one at once (never waiting for
// FlightGear), and sends what the program writes back to FlightGear's input ports. The server
// socket is bound only once FlightGear's packets have come without a gap for a few seconds
// (FlightGear stalls for seconds while it loads), so a program started too early finds no
// simulator rather than a simulator at 0 N 0 E or one that stops at once; when FlightGear
// falls silent the server goes away and the program ends as with any lost simulator.
class FgBridge {
public:
    explicit FgBridge(FgBridgeOptions options);
    ~FgBridge();
    FgBridge(const FgBridge&) = delete;
    FgBridge& operator=(const FgBridge&) = delete;

    // Opens the UDP sockets. False, saying why, when a port is taken.
    bool open(std::string& error);
    // One pass: waits up to timeoutMs for a packet or a request, takes every packet that has
    // arrived, answers every request, passes the writes on. False when the bridge has ended
    // (FlightGear silent or never started, or the server could not start); `error` says why.
    bool step(int timeoutMs, std::string& error);
    // A console line ("ap on", "gps off", "engage", "hold on", "stats", "help"); the reply.
    std::string command(const std::string& line);

    bool serving() const;
    const FgModel& model() const { return space_.model; }
    FgModel& model() { return space_.model; }
    const FgBridgeStats& stats() const { return stats_; }
    std::string statsLine() const;
    const std::string& socketPath() const;

    // One packet as FlightGear sends it (used by step, and by tests that feed packets without
    // a socket). `nowS` is the bridge's steady clock.
    void takePacket(const std::string& packet, double nowS);
    // What step passes on after serving requests, at time nowS.
    void sendWrites(double nowS);

private:
    void send(int port, const std::string& line, uint64_t& counter);

    FgBridgeOptions options_;
    FgOffsetSpace space_;
    std::unique_ptr<PosixSimServer> server_;
    int udpIn_ = -1;
    int udpOut_ = -1;
    bool havePacket_ = false;
    bool newPacket_ = false;
    double startS_ = 0.0;
    double lastPacketS_ = 0.0;
    double steadySinceS_ = 0.0;  // start of the current run of packets without a gap
    std::string lastTargets_;
    uint64_t aileronWritesSent_ = 0;
    double lastAileronWriteS_ = -1.0;
    bool aileronCentred_ = true;
    uint64_t targetWritesSent_ = 0;
    FgHold hold_;
    FgBridgeStats stats_;
};

// The lines the bridge sends to FlightGear's input ports.
std::string aileronPacket(int16_t aileronRaw);
std::string targetsPacket(const FgModel& model);

// Seconds of the day on the computer's real-time clock (UTC), FlightGear's time stamp's scale.
double realSecondsOfDay();
// The age of a packet stamped `stampS` (seconds of the day) at `nowS`, across midnight.
double stampAgeS(double stampS, double nowS);
