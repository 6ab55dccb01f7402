// Console lines from the fuzzer against the stand-in simulator: no command may crash it or
// leave the model with values it cannot fly.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "SimConsole.h"
#include "SimOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SimWorld world;
    applyScenario("ksea", world.aircraft);
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    std::string line;
    while (std::getline(lines, line)) {
        // Track files would land wherever the fuzzer names them.
        if (line.find("track") != std::string::npos) continue;
        runSimCommand(world, line);
        world.step(0.5);
    }
    const SimAircraft& a = world.aircraft;
    if (!std::isfinite(a.latDeg) || !std::isfinite(a.lonDeg) || !std::isfinite(a.altitudeFt) ||
        !std::isfinite(a.headingTrueDeg) || !std::isfinite(a.utcSeconds) || a.latDeg < -90 || a.latDeg > 90) {
        std::abort();
    }
    simStatusLine(world);
    return 0;
}
