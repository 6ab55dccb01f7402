#include "cdu/Dispatcher.h"

#include "cdu/CduState.h"
#include "platform/Platform.h"
#include "cdu/CduRenderer.h"
#include "cdu/DisplayControl.h"
#include "cdu/KeyInput.h"
#include "navdb/DatabaseLoad.h"
#include "navdb/NavDbState.h"
#include "cdu/WindowControl.h"

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

const PageEntry& entryOf(const PageTable& pages, int page) {
    static constexpr PageEntry kNone{};
    return page >= 0 && page <= kLastPage ? pages[page] : kNone;
}

void runCurrentPage(const PageTable& pages, int page) {
    const PageEntry& entry = entryOf(pages, page);
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
    CduState& cdu = cduState();
    if (cdu.keys.pendingPadKey != kPadOnOff) return;
    if (cdu.unitPower == kPowerOn) {
        cdu.displayControlShown = true;
        cdu.displayControlMode = kDisplayControlBrightness;
    } else {
        cdu.unitPower = kPowerRequested;
    }
    resetPadKey();
}

void handleGlobalFunctionKeys(const PageTable& pages) {
    CduState& cdu = cduState();
    if (!cdu.initAccepted || cdu.displayControlShown) return;
    const int& key = cdu.keys.pendingFunctionKey;
    if (key == kFnFpl && databaseLoadRequested(navDbState().database) && cdu.unitPower == kPowerOn) {
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
        if (PageFunction opened = entryOf(pages, kPageFuel).opened) opened();
        openTopLevelPage(cdu, kPageFuel);
    }
    if (key == kFnList) {
        if (PageFunction opened = entryOf(pages, kPageList).opened) opened();
        clearScratchpad();
        openTopLevelPage(cdu, kPageList);
    }
    if (key == kFnData) openTopLevelPage(cdu, kPageData);
    if (key == kFnNav) openTopLevelPage(cdu, kPageNav);
    if (key == kFnVnav) openTopLevelPage(cdu, kPageVnav);
    if (key == kFnDto) openTopLevelPage(cdu, kPageDirectTo);
}

void drawCdu(const PageTable& pages) {
    CduState& cdu = cduState();
    const Settings& settings = platform().settings;

    updateHoverCursor();
    beginCduFrame();
    cduRotate(rotationAngle(cdu.rotationIndex));
    placeScreen(settings);

    handlePowerKey();
    handleGlobalFunctionKeys(pages);
    if (cdu.unitPower == kPowerRequested) {
        cdu.currentPage = kPageStartup;
        cdu.unitPower = kPowerOn;
    }
    if (cdu.displayControlShown) handleDisplayControlKeys();
    if (cdu.unitPower == kPowerOn) runCurrentPage(pages, cdu.currentPage);
    if (cdu.displayControlShown) drawDisplayControl();
    drawDimmingOverlay(settings.dimLevel);
}

void advanceCduClock(int milliseconds) {
    CduState& cdu = cduState();
    cdu.frameMillis = milliseconds;
    const int second = milliseconds / 1000;
    cdu.newSecond = second != cdu.lastSecond;
    if (cdu.newSecond) {
        cdu.lastSecond = second;
        ++cdu.secondsCounter;
    }
}
