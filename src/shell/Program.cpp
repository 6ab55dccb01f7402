#include "shell/Program.h"

#include <cstdio>

#include "Fms.h"
#include "cdu/CduRenderer.h"
#include "cdu/Dispatcher.h"
#include "guidance/AircraftState.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "shell/DataPath.h"
#include "shell/Settings.h"
#include "shell/SubsystemHooks.h"

namespace {

void showBox(const char* caption, const char* text, MessageIcon icon) {
    if (MessageBoxes* boxes = fms().platform.messageBoxes) {
        boxes->show(caption, text, icon);
    } else {
        std::printf("%s: %s\n", caption, text);
    }
}

}  // namespace

ClockSample sampleClock() {
    ClockSample sample;
    if (Clock* clock = fms().platform.clock) {
        sample.milliseconds = static_cast<int>(clock->processMillis());
        sample.seconds = sample.milliseconds / 1000;
    }
    return sample;
}

float elapsedSeconds(int64_t& counter) {
    Clock* clock = fms().platform.clock;
    if (clock == nullptr) return 0.0f;
    const int64_t now = clock->perfCounter();
    const double seconds = static_cast<double>(now - counter) / static_cast<double>(clock->perfFrequency());
    counter = now;
    return static_cast<float>(seconds);
}

void startProgram() {
    Fms& f = fms();
    SimLink& link = f.simlink.link;
    link.setTransport(f.platform.simTransport);
    uint32_t result = 0;
    f.shell.simLinked = link.open(0, result);
    if (!f.shell.simLinked) link.close();

    if (!settingsFileExists()) writeSettings();
    readSettings();
}

std::string windowTitle() {
    return "FMS DEMO - https://fms.example.org";
}

GraphicsInit initGraphics() {
    Fms& f = fms();
    const SubsystemHooks& hooks = subsystemHooks();
    publishDataPath();
    if (f.shell.settings.enableArduino) runHook(hooks.searchKeypad);
    initRenderState();
    // "CDU_Med" first: both conversions fill the one metrics table, which must end up
    // holding the large face's metrics.
    const bool fonts =
        createCduFont("CDU_Med", fontMed, 1.0f, 700) && createCduFont("CDU_Large", fontLarge, 1.0f, 700);
    if (!fonts) return GraphicsInit::Failed;
    buildDisplayLists();
    if (!loadTextureFromTga(dataPath("textures/CDU_Tex.tga"))) return GraphicsInit::MissingBezel;
    f.cdu.keyRects = computeKeyRectangles();
    runHook(hooks.clearFlightPlan);
    if (hooks.openSharedMemory != nullptr && !hooks.openSharedMemory()) return GraphicsInit::SharedMemoryFailed;
    runHook(hooks.initSteering);
    return GraphicsInit::Ok;
}

bool runFrame() {
    Fms& f = fms();
    ShellState& shell = f.shell;
    if (shell.secondsCounter % 2 == 0) {
        // Opening an open link answers "already open": the link is still up. Any other
        // answer means it is gone (a link that was down is not taken back here).
        SimLink& link = f.simlink.link;
        uint32_t result = 0;
        link.open(0, result);
        shell.simLinked = result == SIM_ERR_OPEN;
        if (!shell.simLinked) link.close();
    }
    if (!shell.simLinked) {
        showBox("DEMO ERROR", "FSUIPC Not Running - Shutting Down Demo", MessageIcon::Information);
        return false;
    }
    readSimulatorState();
    drawCdu();
    runHook(subsystemHooks().publishUnitFlags);
    runHook(subsystemHooks().refreshUnitMirror);
    return true;
}

bool escapeRequested() {
    return fms().cdu.keys.keyDown[kEscapeChar] != 0;
}

void endProgram() {
    if (settingsFileExists()) {
        writeSettings();
        readSettings();
    }
    deleteCduFonts();
    runHook(subsystemHooks().closeSharedMemory);
    fms().simlink.link.close();
}
