// fms-sim: the stand-in flight simulator. Serves the simulator protocol locally (SimHost.h),
// flies its aircraft model in real time and takes commands on standard input.

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "SimConsole.h"
#include "SimHost.h"
#include "SimOffsetTable.h"
#include "SimOptions.h"
#include "SimTrack.h"
#include "SimWorld.h"

namespace {

double nowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void say(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    if (text.empty() || text.back() != '\n') std::fputc('\n', stdout);
    std::fflush(stdout);
}

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
    SimHostServer server(table);
    if (!server.start(error)) {
        std::fprintf(stderr, "fms-sim: %s\n", error.c_str());
        return 1;
    }
    installStopHandlers();
    say("fms-sim: serving " + server.address() + ", scenario " + options.scenario +
        (options.console ? "; type help for commands" : ""));
    say(simStatusLine(world, &table));

    ConsoleInput console;
    double last = nowSeconds();
    bool quit = false;
    while (!quit && !stopRequested()) {
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
