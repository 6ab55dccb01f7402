#include "cdu/Dispatcher.h"

#include "Fms.h"
#include "cdu/CduRenderer.h"
#include "cdu/DisplayControl.h"
#include "cdu/KeyInput.h"
#include "cdu/StartupPage.h"
#include "shell/Program.h"
#include "shell/SubsystemHooks.h"
#include "shell/WindowControl.h"

namespace {

// Opens `page` from a global function key that makes it its own return target.
void openTopLevelPage(CduState& cdu, int page) {
    cdu.currentPage = page;
    cdu.previousPage = page;
    resetFunctionKey();
}

void placeScreen(const Settings& s) {
    if (s.hardwareMode) {
        // No bezel: the text area is stretched over the window, shifted and scaled by FMS.ini.
        cduTranslate(-0.907f + s.xGraphicsPosition, -1.762f + s.yGraphicsPosition, -1.212f);
        cduScale(1.986f + s.xGraphicScale, 2.432f + s.yGraphicScale, 0.0f);
    } else {
        cduTranslate(-0.45f, -0.5f, -1.212f);
        drawBezel();
    }
    beginPageCoordinates();
}

void runCurrentPage(int page) {
    const PageEntry entry = pageEntry(page);
    if (entry.crossFillPrompt) runHook(subsystemHooks().updateCrossFillPrompt);
    if (entry.run != nullptr) entry.run();
}

// Black over exactly the text area, as dark as the brightness setting asks.
void drawDimmingOverlay(float dimLevel) {
    cduPush();
    cduColour(colourBlack, dimLevel);
    cduTranslate(textColumnX[0] - 0.026f + 0.02f, textRowY[6] + 0.044209f);
    cduScale(0.6473016f, 0.202704f);
    cduCallList(listFilledBar);
    cduPop();
}

}  // namespace

void handlePowerKey() {
    CduState& cdu = fms().cdu;
    if (cdu.keys.pendingPadKey != kPadOnOff) return;
    if (cdu.unitPower == kPowerOn) {
        cdu.displayControlShown = true;
        cdu.displayControlMode = kDisplayControlBrightness;
    } else {
        cdu.unitPower = kPowerRequested;
    }
    resetPadKey();
}

void handleGlobalFunctionKeys() {
    CduState& cdu = fms().cdu;
    if (!cdu.initAccepted || cdu.displayControlShown) return;
    const int& key = cdu.keys.pendingFunctionKey;
    if (key == kFnFpl && databaseLoadWasRequested() && cdu.unitPower == kPowerOn) {
        resetFunctionKey();
        clearScratchpad();
        cdu.previousPage = cdu.currentPage;
        cdu.currentPage = kPageFpl;
    }
    if (key == kFnMenu && cdu.currentPage >= kPageFpl && cdu.currentPage <= kPagePposToWpt) {
        cdu.previousPage = cdu.currentPage;
        cdu.currentPage = kPageFplMenu;
        clearScratchpad();
        resetFunctionKey();
        resetLsk();
    }
    if (key == kFnFuel) {
        runHook(subsystemHooks().resetFuelEntry);
        openTopLevelPage(cdu, kPageFuel);
    }
    if (key == kFnList) {
        runHook(subsystemHooks().resetListSelection);
        clearScratchpad();
        openTopLevelPage(cdu, kPageList);
    }
    if (key == kFnData) openTopLevelPage(cdu, kPageData);
    if (key == kFnNav) openTopLevelPage(cdu, kPageNav);
    if (key == kFnVnav) openTopLevelPage(cdu, kPageVnav);
    if (key == kFnDto) openTopLevelPage(cdu, kPageDirectTo);
}

void drawCdu() {
    Fms& f = fms();
    CduState& cdu = f.cdu;
    ShellState& shell = f.shell;
    const SubsystemHooks& hooks = subsystemHooks();

    if (shell.settings.enableArduino) runHook(hooks.pollKeypad);
    updateHoverCursor();
    const ClockSample now = sampleClock();
    cdu.frameMillis = now.milliseconds;
    beginCduFrame();
    cduRotate(rotationAngle(shell.rotationIndex));
    if (now.seconds != cdu.lastSecond) {
        cdu.lastSecond = now.seconds;
        shell.newSecond = true;
        ++shell.secondsCounter;
    }
    placeScreen(shell.settings);

    handlePowerKey();
    handleGlobalFunctionKeys();
    if (cdu.unitPower == kPowerRequested) {
        cdu.currentPage = kPageStartup;
        cdu.unitPower = kPowerOn;
        runHook(hooks.setKeypadBacklight, true);
    }
    if (cdu.unitPower == kPowerOn) runCurrentPage(cdu.currentPage);
    if (cdu.displayControlShown) runDisplayControl();
    drawDimmingOverlay(shell.settings.dimLevel);

    // Only unit 1 steers the aircraft.
    if (shell.settings.unitIsFms1) runHook(hooks.runGuidance);
    // Lift-off: the frame in which the on-ground value drops to zero.
    const int onGround = f.guidance.aircraft.onGround;
    if (onGround == 0 && cdu.onGroundLatch != 0) runHook(hooks.recordTakeOff);
    cdu.onGroundLatch = onGround;
    shell.newSecond = false;
}
