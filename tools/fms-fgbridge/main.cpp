// fms-fgbridge: serves the simulator protocol from FlightGear. Reads FlightGear's output
// packets over UDP on localhost, answers the program from the latest one and passes the
// program's aileron, autopilot targets and NAV1 course back; takes console commands on
// standard input (help lists them).

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FgBridge.h"

namespace {

volatile sig_atomic_t stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
}

void say(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

const char* kUsage =
    "usage: fms-fgbridge [options]\n"
    "  --engage            autopilot master on and NAV/GPS switch on GPS from the start\n"
    "  --hold              hold FlightGear's altitude and airspeed (elevator and throttle)\n"
    "  --port N            UDP port of FlightGear's output packets (5500); the bridge sends\n"
    "                      to N+1 (targets), N+2 (aileron) and N+3 (hold)\n"
    "  --wait S            seconds to wait for FlightGear's first packet (300)\n"
    "  --silence S         seconds without a packet after which the bridge ends (10)\n"
    "  --steady S          seconds of packets without a gap before serving (10)\n"
    "  --no-console        ignore standard input\n"
    "FlightGear's command line: see scripts/flightgear.sh and docs/flightgear.md.";

bool number(const char* text, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && out >= 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    FgBridgeOptions options;
    bool console = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        double v = 0.0;
        const bool hasValue = i + 1 < argc && number(argv[i + 1], v);
        if (a == "--engage") {
            options.engage = true;
        } else if (a == "--hold") {
            options.hold = true;
        } else if (a == "--no-console") {
            console = false;
        } else if (a == "--port" && hasValue && v >= 1 && v <= 65532) {
            options.fromFlightGearPort = static_cast<int>(v);
            options.targetsPort = options.fromFlightGearPort + 1;
            options.aileronPort = options.fromFlightGearPort + 2;
            options.holdPort = options.fromFlightGearPort + 3;
            ++i;
        } else if (a == "--wait" && hasValue) {
            options.firstPacketWaitS = v;
            ++i;
        } else if (a == "--steady" && hasValue) {
            options.steadyS = v;
            ++i;
        } else if (a == "--silence" && hasValue && v > 0.0) {
            options.silenceLimitS = v;
            ++i;
        } else if (a == "--help" || a == "-h") {
            say(kUsage);
            return 0;
        } else {
            std::fprintf(stderr, "fms-fgbridge: bad option %s\n%s\n", a.c_str(), kUsage);
            return 2;
        }
    }

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    FgBridge bridge(options);
    std::string error;
    if (!bridge.open(error)) {
        std::fprintf(stderr, "fms-fgbridge: %s\n", error.c_str());
        return 1;
    }
    say("fms-fgbridge: waiting for FlightGear on UDP port " + std::to_string(options.fromFlightGearPort));
    std::string pending;
    int status = 0;
    bool announced = false;
    while (!stopRequested) {
        if (!bridge.step(5, error)) {
            std::fprintf(stderr, "fms-fgbridge: %s\n", error.c_str());
            status = 1;
            break;
        }
        if (bridge.serving() && !announced) {
            announced = true;
            say("fms-fgbridge: FlightGear is up; serving " + bridge.socketPath());
        }
        if (!console) continue;
        pollfd entry{STDIN_FILENO, POLLIN, 0};
        if (poll(&entry, 1, 0) <= 0) continue;
        char chunk[256];
        const ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
        if (n == 0) {
            console = false;  // end of input: keep serving
            continue;
        }
        if (n < 0) continue;
        pending.append(chunk, static_cast<size_t>(n));
        size_t newline;
        while ((newline = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            if (line == "quit")
                stopRequested = 1;
            else if (!line.empty())
                say(bridge.command(line));
        }
        if (pending.size() > 4096) pending.clear();
    }
    say("fms-fgbridge: " + bridge.statsLine());
    say("fms-fgbridge: stopped");
    return status;
}
