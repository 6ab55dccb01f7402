#include "FgBridge.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "SimPosixServer.h"
#include "platform/SimTransport.h"

namespace {

// Without a write for this long the program no longer steers: the aileron is centred once and
// then left to the pilot.
constexpr double kAileronReleaseS = 1.0;
// A longer pause between two packets is a stall of FlightGear's, not its rhythm.
constexpr double kPacketGapS = 0.5;

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

sockaddr_in localAddress(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

std::string format(const char* f, double a) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, f, a);
    return buffer;
}

}  // namespace

double realSecondsOfDay() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<double>(t.tv_sec % 86400) + t.tv_nsec * 1e-9;
}

double stampAgeS(double stampS, double nowS) {
    double age = std::fmod(nowS - stampS, 86400.0);
    if (age < -43200.0) age += 86400.0;
    if (age >= 43200.0) age -= 86400.0;
    return age;
}

std::string aileronPacket(int16_t aileronRaw) {
    return format("%.5f", aileronNormalized(aileronRaw)) + "\n";
}

std::string targetsPacket(const FgModel& m) {
    const FgWrites& w = m.writes;
    const FgState& s = m.state;
    // Targets the program has not written yet go back as FlightGear has them.
    const auto set = [&](uint8_t bit) { return (w.targetsSet & bit) != 0; };
    std::string line =
        format("%.2f", set(kSetHeading) ? autopilotHeadingDeg(w.autopilotHeadingRaw) : s.headingBugDeg);
    line += "," + format("%.1f", set(kSetAltitude) ? autopilotAltitudeFt(w.autopilotAltitudeRaw)
                                                   : s.targetAltitudeFt);
    line +=
        "," + format("%.0f", set(kSetVerticalSpeed) ? w.autopilotVerticalSpeedFpm : s.targetVerticalSpeedFpm);
    line += "," + format("%.0f", set(kSetCourse) ? w.nav1CourseDeg : s.nav1CourseDeg);
    line += "," + format("%.3f", w.panelCdi);
    line += "," + format("%.0f", w.panelCoupled);
    line += "," + format("%.0f", w.panelWaypoint);
    return line + "\n";
}

FgBridge::FgBridge(FgBridgeOptions options) : options_(std::move(options)) {
    space_.model.writes.autopilotMaster = options_.engage;
    space_.model.writes.navGpsSwitch = options_.engage;
}

FgBridge::~FgBridge() {
    if (server_) server_->stop();
    if (udpIn_ >= 0) close(udpIn_);
    if (udpOut_ >= 0) close(udpOut_);
}

bool FgBridge::open(std::string& error) {
    udpIn_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    udpOut_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const sockaddr_in in = localAddress(options_.fromFlightGearPort);
    if (udpIn_ < 0 || udpOut_ < 0 || bind(udpIn_, reinterpret_cast<const sockaddr*>(&in), sizeof in) != 0) {
        error = "cannot listen for FlightGear on UDP port " + std::to_string(options_.fromFlightGearPort) +
                ": " + std::strerror(errno);
        return false;
    }
    startS_ = steadySeconds();
    return true;
}

bool FgBridge::serving() const {
    return server_ && server_->running();
}

const std::string& FgBridge::socketPath() const {
    static const std::string none;
    return server_ ? server_->socketPath() : none;
}

void FgBridge::takePacket(const std::string& packet, double nowS) {
    std::string why;
    FgState state;
    if (!parseFgPacket(packet, state, why)) {
        ++stats_.rejected;
        return;
    }
    const double dt = havePacket_ ? nowS - lastPacketS_ : 0.0;
    if (!havePacket_ || dt > kPacketGapS) steadySinceS_ = nowS;
    space_.model.state = state;
    ++stats_.packets;
    havePacket_ = true;
    newPacket_ = true;
    lastPacketS_ = nowS;
    if (options_.hold && !hold_.engaged()) hold_.engage(state.altitudeFt, state.airspeedKt);
    hold_.update(state, dt);
}

void FgBridge::send(int port, const std::string& line, uint64_t& counter) {
    const sockaddr_in to = localAddress(port);
    // A FlightGear that is not (yet) listening refuses the datagram: nothing to do about it.
    if (sendto(udpOut_, line.data(), line.size(), MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&to),
               sizeof to) >= 0)
        ++counter;
}

void FgBridge::sendWrites(double nowS) {
    const FgWrites& w = space_.model.writes;
    if (w.aileronWrites != aileronWritesSent_) {
        aileronWritesSent_ = w.aileronWrites;
        lastAileronWriteS_ = nowS;
        aileronCentred_ = false;
        send(options_.aileronPort, aileronPacket(w.aileron), stats_.aileronPackets);
    } else if (!aileronCentred_ && nowS - lastAileronWriteS_ > kAileronReleaseS) {
        aileronCentred_ = true;
        send(options_.aileronPort, aileronPacket(0), stats_.aileronPackets);
    }
    if (w.targetWrites != targetWritesSent_) {
        // The guidance writes the panel values every frame: FlightGear hears only of changes.
        targetWritesSent_ = w.targetWrites;
        std::string line = targetsPacket(space_.model);
        if (line != lastTargets_) {
            send(options_.targetsPort, line, stats_.targetPackets);
            lastTargets_ = std::move(line);
        }
    }
    if (hold_.engaged() && newPacket_ && aileronCentred_) {
        // Nobody steers: the hold keeps the wings level.
        send(options_.aileronPort, format("%.5f", hold_.levelingAileron()) + "\n", stats_.aileronPackets);
    }
    if (hold_.engaged() && newPacket_) {
        send(options_.holdPort,
             format("%.4f", hold_.elevator()) + "," + format("%.3f", hold_.throttle()) + "\n",
             stats_.holdPackets);
    }
    newPacket_ = false;
}

bool FgBridge::step(int timeoutMs, std::string& error) {
    const uint64_t readsBefore = space_.positionReads;
    if (server_) {
        server_->serveOnce(timeoutMs);
    } else {
        pollfd entry{udpIn_, POLLIN, 0};
        poll(&entry, 1, timeoutMs);
    }
    const double now = steadySeconds();
    // Every packet that has arrived; the last good one is the state.
    char buffer[2048];
    for (;;) {
        const ssize_t n = recv(udpIn_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0) break;
        takePacket(std::string(buffer, static_cast<size_t>(n)), now);
    }
    if (space_.positionReads != readsBefore && havePacket_)
        stats_.stateAgesMs.push_back(stampAgeS(space_.model.state.stampSec, realSecondsOfDay()) * 1000.0);
    if (!havePacket_) {
        if (now - startS_ > options_.firstPacketWaitS) {
            error = "no packet from FlightGear in " + format("%.0f", options_.firstPacketWaitS) + " s";
            return false;
        }
        return true;
    }
    if (now - lastPacketS_ > options_.silenceLimitS) {
        error = "FlightGear has been silent for " + format("%.0f", options_.silenceLimitS) + " s";
        if (server_) server_->stop();
        return false;
    }
    if (!server_) {
        if (now - steadySinceS_ < options_.steadyS) return true;
        server_ = options_.runtimeDir.empty()
                      ? std::make_unique<PosixSimServer>(space_, SimServerKind::Full)
                      : std::make_unique<PosixSimServer>(space_, SimServerKind::Full, options_.runtimeDir);
        if (!server_->start(error)) {
            server_.reset();
            return false;
        }
        server_->watch(udpIn_);
    }
    sendWrites(now);
    return true;
}

std::string FgBridge::statsLine() const {
    std::vector<double> ages = stats_.stateAgesMs;
    std::string line = "packets " + std::to_string(stats_.packets) + ", refused " +
                       std::to_string(stats_.rejected) + ", sent aileron " +
                       std::to_string(stats_.aileronPackets) + " targets " +
                       std::to_string(stats_.targetPackets) + " hold " + std::to_string(stats_.holdPackets);
    if (!ages.empty()) {
        std::sort(ages.begin(), ages.end());
        const auto at = [&](double q) {
            return ages[static_cast<size_t>(q * static_cast<double>(ages.size() - 1))];
        };
        line += "; state age ms median " + format("%.1f", at(0.5)) + " p95 " + format("%.1f", at(0.95)) +
                " max " + format("%.1f", ages.back()) + " over " + std::to_string(ages.size()) + " reads";
    }
    return line;
}

std::string FgBridge::command(const std::string& line) {
    char word[16] = {}, arg[16] = {};
    if (std::sscanf(line.c_str(), "%15s %15s", word, arg) < 1) return "";
    const std::string w = word, a = arg;
    FgWrites& writes = space_.model.writes;
    const bool on = a == "on";
    if ((w == "ap" || w == "gps" || w == "hold") && !on && a != "off")
        return "say " + w + " on or " + w + " off";
    if (w == "ap") {
        writes.autopilotMaster = on;
        return std::string("autopilot master ") + (on ? "on" : "off");
    }
    if (w == "gps") {
        writes.navGpsSwitch = on;
        return std::string("NAV/GPS switch on ") + (on ? "GPS" : "NAV");
    }
    if (w == "engage") {
        writes.autopilotMaster = writes.navGpsSwitch = true;
        return "autopilot master on, NAV/GPS switch on GPS: the program steers";
    }
    if (w == "hold") {
        options_.hold = on;
        if (!on) hold_.disengage();
        if (on && havePacket_) hold_.engage(space_.model.state.altitudeFt, space_.model.state.airspeedKt);
        return on ? "holding altitude and airspeed" : "hold off";
    }
    if (w == "stats" || w == "status") {
        const FgState& s = space_.model.state;
        return format("lat %.5f", s.latDeg) + format(" lon %.5f", s.lonDeg) +
               format(" alt %.0f ft", s.altitudeFt) + format(" hdg %.0f", s.headingTrueDeg) +
               format(" bank %.1f", s.rollDeg) + "; ap " + (writes.autopilotMaster ? "on" : "off") + " gps " +
               (writes.navGpsSwitch ? "on" : "off") + "; " + statsLine();
    }
    if (w == "help") return "commands: ap on|off, gps on|off, engage (both on), hold on|off, stats, quit";
    return "unknown command " + w + " (try help)";
}
