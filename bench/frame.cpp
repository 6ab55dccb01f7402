// Cost of one whole frame (link check, aircraft-state read, CDU drawing) on the start-up
// page, drawn by the recording renderer with the stand-in simulator in-process.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "shell/Fms.h"
#include "InProcessSim.h"
#include "cdu/KeyInput.h"
#include "RecordingRenderer.h"
#include "cdu/Tga.h"
#include "navdb/DatabaseLoad.h"
#include "platform/MessageBoxes.h"
#include "shell/Program.h"
#include "cdu/WindowControl.h"

namespace {

// A data root with a bezel picture and no database, so that the start-up page stays up.
struct BenchRoot {
    std::string path;
    BenchRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "fms-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path = pattern;
        std::filesystem::create_directories(path + "/textures");
        writeTga(path + "/textures/CDU_Tex.tga", TgaImage{3, 1, 1, {40, 40, 40}});
    }
    ~BenchRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

void StartupPageFrame(benchmark::State& state) {
    BenchRoot root;
    InProcessSim sim;
    RecordingRenderer renderer;
    RecordingMessageBoxes boxes;
    Fms context;
    ScopedFms current(context);
    context.platform.dataRoot = root.path;
    context.platform.clock = &sim.clock;
    context.platform.simTransport = &sim.transport;
    context.platform.renderer = &renderer;
    context.platform.messageBoxes = &boxes;
    startProgram();
    resizeViewport(540, 600);
    if (initGraphics() != GraphicsInit::Ok) {
        state.SkipWithError("graphics set-up failed");
        return;
    }
    handleMouseDown(386, 502);  // ON/OFF/DIM
    for (auto _ : state) {
        sim.clock.advanceUs(1000);
        if (!runFrame()) {
            state.SkipWithError("the frame lost the simulator link");
            break;
        }
    }
    if (context.cdu.currentPage != 2 || renderer.snapshot().row(0).find("ORX - 1") == std::string::npos) {
        state.SkipWithError("the start-up page was not drawn");
    }
    waitForDatabaseLoad(context.navdb.database);
}
BENCHMARK(StartupPageFrame)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
