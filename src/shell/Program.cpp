#include "shell/Program.h"

#include <cstdio>

#include "cdu/CduRenderer.h"
#include "cdu/CduState.h"
#include "cdu/Dispatcher.h"
#include "flightplan/RouteFiles.h"
#include "guidance/LateralGuidance.h"
#include "guidance/SteeringLaws.h"
#include "hardware/Keypad.h"
#include "pages/CrossFill.h"
#include "pages/FplEditing.h"
#include "pages/FuelPages.h"
#include "pages/PageTable.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "shell/DataFolder.h"
#include "shell/Settings.h"
#include "shell/ShellState.h"
#include "simlink/AircraftState.h"
#include "simlink/SimLinkState.h"
#include "simlink/UnitExchange.h"

namespace {

void showBox(const char* caption, const char* text, MessageIcon icon) {
    if (MessageBoxes* boxes = platform().messageBoxes) {
        boxes->show(caption, text, icon);
    } else {
        std::printf("%s: %s\n", caption, text);
    }
}

// In every frame of every even second: opening an open link answers "already open", so the
// link is still up. Any other answer means it is gone (a link that was down is not taken
// back here).
bool linkStillUp() {
    SimLinkState& sim = simLinkState();
    if (cduState().secondsCounter % 2 == 0) {
        uint32_t result = 0;
        sim.link.open(0, result);
        sim.simLinked = result == SIM_ERR_OPEN;
        if (!sim.simLinked) sim.link.close();
    }
    return sim.simLinked;
}

}  // namespace

void startProgram() {
    SimLinkState& sim = simLinkState();
    sim.link.setTransport(platform().simTransport);
    uint32_t result = 0;
    sim.simLinked = sim.link.open(0, result);
    if (!sim.simLinked) sim.link.close();

    if (!settingsFileExists()) writeSettings();
    readSettings();
}

std::string windowTitle() {
    return "FMS DEMO - https://fms.example.org";
}

GraphicsInit initGraphics() {
    publishDataPath();
    if (platform().settings.enableArduino) searchKeypad();
    initRenderState();
    // "CDU_Med" first: both conversions fill the one metrics table, which must end up
    // holding the large face's metrics.
    const bool fonts =
        createCduFont("CDU_Med", fontMed, 1.0f, 700) && createCduFont("CDU_Large", fontLarge, 1.0f, 700);
    if (!fonts) return GraphicsInit::Failed;
    buildDisplayLists();
    if (!loadTextureFromTga(dataPath("textures/CDU_Tex.tga"))) return GraphicsInit::MissingBezel;
    cduState().keyRects = computeKeyRectangles();
    deleteFlightPlan();
    if (!openUnitExchange()) return GraphicsInit::SharedMemoryFailed;
    initSteering();
    return GraphicsInit::Ok;
}

bool runFrame() {
    if (!linkStillUp()) {
        showBox("DEMO ERROR", "FSUIPC Not Running - Shutting Down Demo", MessageIcon::Information);
        return false;
    }
    readSimulatorState();
    if (platform().settings.enableArduino) pollKeypad();
    advanceCduClock(static_cast<int>(sampleClockMillis()));
    drawCdu(pageTable());
    followUnitPower(cduState().unitPower == kPowerOn);
    // Only unit 1 steers the aircraft.
    if (platform().settings.unitIsFms1) runGuidance();
    // Lift-off: the frame in which the on-ground value drops to zero.
    const int onGround = simLinkState().aircraft.onGround;
    if (onGround == 0 && shellState().onGroundLatch != 0) recordTakeOff();
    shellState().onGroundLatch = onGround;
    // This unit's flags for the other unit, then the other unit's for the next frame.
    publishUnitFlags();
    refreshMirror();
    // Once-per-second work belongs to the pages of the frame that saw the second begin.
    cduState().newSecond = false;
    return true;
}

bool escapeRequested() {
    return cduState().keys.keyDown[kEscapeChar] != 0;
}

void endProgram() {
    // A pilot whose simulator restarted loads the plan back from the route list.
    storeLastPlan();
    if (settingsFileExists()) {
        writeSettings();
        readSettings();
    }
    deleteCduFonts();
    closeSharedBlock();
    simLinkState().link.close();
}
