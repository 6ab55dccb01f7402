// fms-sim: the stand-in flight simulator. Serves the simulator protocol on the local socket,
// flies its aircraft model in real time and takes commands on standard input.

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "SimConsole.h"
#include "SimOffsetTable.h"
#include "SimOptions.h"
#include "SimTrack.h"
#include "SimWorld.h"
#include "SimPosixServer.h"

namespace {

volatile sig_atomic_t stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
}

void installSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a client that vanishes mid-reply must not end the simulator
}

double nowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void say(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    if (text.empty() || text.back() != '\n') std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Lines typed on standard input, collected without blocking the simulation.
class ConsoleInput {
public:
    // Reads what is waiting; false at end of input.
    bool poll(std::vector<std::string>& lines) {
        pollfd entry{STDIN_FILENO, POLLIN, 0};
        if (::poll(&entry, 1, 0) <= 0) return true;
        char chunk[512];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return false;
        if (n > 0) pending_.append(chunk, static_cast<size_t>(n));
        size_t newline;
        while ((newline = pending_.find('\n')) != std::string::npos) {
            lines.push_back(pending_.substr(0, newline));
            pending_.erase(0, newline + 1);
        }
        if (pending_.size() > 4096) pending_.clear();  // nobody types that much on one line
        return true;
    }

private:
    std::string pending_;
};

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "fms-sim: %s (try --help)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        say(simUsage());
        return 0;
    }
    if (options.listScenarios) {
        for (const SimScenario& s : simScenarios()) say(std::string(s.name) + "  " + s.description);
        return 0;
    }

    SimWorld world;
    world.aircraft = options.start;
    SimOffsetTable table(world);
    PosixSimServer server(table, SimServerKind::Full);
    if (!server.start(error)) {
        std::fprintf(stderr, "fms-sim: %s\n", error.c_str());
        return 1;
    }
    installSignals();
    say("fms-sim: serving " + server.socketPath() + ", scenario " + options.scenario +
        (options.console ? "; type help for commands" : ""));
    say(simStatusLine(world, &table));

    ConsoleInput console;
    double last = nowSeconds();
    bool quit = false;
    while (!quit && !stopRequested) {
        // Answer requests as they come; the short wait keeps the model and console moving.
        server.serveOnce(10);
        const double now = nowSeconds();
        world.step(now - last);
        last = now;
        if (!options.console) continue;
        std::vector<std::string> lines;
        if (!console.poll(lines)) quit = true;  // end of input
        for (const std::string& line : lines) {
            const SimCommandResult result = runSimCommand(world, line, &table);
            if (!result.reply.empty()) say(result.reply);
            quit = quit || result.quit;
        }
    }

    if (!options.trackPrefix.empty()) {
        if (writeTrackFiles(world.track(), options.trackPrefix, error)) {
            say("fms-sim: wrote " + options.trackPrefix + ".csv and " + options.trackPrefix + ".svg");
        } else {
            std::fprintf(stderr, "fms-sim: %s\n", error.c_str());
        }
    }
    server.stop();
    say("fms-sim: stopped");
    return 0;
}
