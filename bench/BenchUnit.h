#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "InProcessSim.h"
#include "RecordingRenderer.h"
#include "cdu/Tga.h"
#include "cdu/WindowControl.h"
#include "navdb/DatabaseLoad.h"
#include "platform/MessageBoxes.h"
#include "shell/Fms.h"
#include "shell/Program.h"

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

// The whole program without a window, current for the benchmark: the recording renderer and
// the stand-in simulator in-process on its manual clock.
struct BenchUnit {
    BenchRoot root;
    InProcessSim sim;
    RecordingRenderer renderer;
    RecordingMessageBoxes boxes;
    Fms context;
    ScopedFms current{context};

    BenchUnit() {
        context.platform.dataRoot = root.path;
        context.platform.clock = &sim.clock;
        context.platform.simTransport = &sim.transport;
        context.platform.renderer = &renderer;
        context.platform.messageBoxes = &boxes;
    }
    ~BenchUnit() { waitForDatabaseLoad(context.navdb.database); }

    // Start-up as the program does it; false when the graphics set-up failed.
    bool start() {
        startProgram();
        resizeViewport(540, 600);
        return initGraphics() == GraphicsInit::Ok;
    }
};
