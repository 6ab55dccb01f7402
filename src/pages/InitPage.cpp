#include "pages/InitPage.h"

#include "cdu/CduState.h"
#include "navdb/NavDbState.h"
#include "pages/PagesState.h"
#include "simlink/SimLinkState.h"
#include "cdu/KeyInput.h"
#include "pages/CrossFill.h"
#include "pages/PageDrawing.h"
#include "pages/PositionText.h"
#include "simlink/UnitExchange.h"

namespace {

constexpr int kAcceptLsk = 4;  // L5
constexpr const char* kSoftwareVersion = "1.2 A1";

// "S 33 30.0": the hemisphere at column 0, degrees and minutes right-aligned at column 9.
void drawCoordinate(int row, char hemisphere, double value) {
    DegreesMinutes dm = degreesMinutes(value, 1);
    drawTextAt(0, row, colourYellow, fontLarge, alignLeft, "%c ", hemisphere);
    drawTextAt(9, row, colourYellow, fontLarge, alignRight, "%d %2.1f", dm.degrees, dm.minutes);
}

void drawAcceptPrompt() {
    drawBar(textColumnX[1] - 0.026f, textRowY[10] + 0.011f, 0.1848f, 0.016f, colourWhite);
    drawTextAt(1, 10, colourBlack, fontLarge, alignLeft, "ACCEPT");
    drawLeftPrompt(10, colourBlack);
}

}  // namespace

void runInitPage() {
    refreshCrossFillPrompts();
    if (cduState().keys.pendingLsk == kAcceptLsk) {
        pagesState().init.initDone = true;
        cduState().initAccepted = true;
        resetLsk();
    }

    const AircraftState& ac = simLinkState().aircraft;
    const NavDatabase& db = navDbState().database;

    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "INIT 1/1");
    drawTextAt(0, 2, colourWhite, fontLarge, alignLeft, "INITIAL POS");
    drawTextAt(0, 3, colourGreen, fontLarge, alignLeft, "ID   <GPS>");
    drawCoordinate(4, latitudeHemisphere(ac.position.lat), ac.position.lat);
    drawCoordinate(5, longitudeHemisphere(ac.position.lon), ac.position.lon);
    drawTextAt(0, 6, colourGreen, fontLarge, alignLeft, "STANDARD/EXTENDED");
    drawTextAt(0, 7, colourWhite, fontLarge, alignLeft, "NAV DATABASE EXPIRES");
    // The cycle text is written by the airports loader before it publishes.
    if (isSet(db.airportsLoaded))
        drawTextAt(0, 8, colourGreen, fontLarge, alignLeft, "%s", db.cycleText.c_str());
    drawTextAt(8, 10, colourWhite, fontMed, alignLeft, "FMC VER");
    drawTextAt(23, 10, colourGreen, fontMed, alignRight, "%5s", kSoftwareVersion);

    drawTextAt(23, 1, colourWhite, fontLarge, alignRight, "DATE");
    if (simLinkState().simLinked)
        drawTextAt(23, 2, colourYellow, fontLarge, alignRight, "%02d-%s-%02d", ac.dayOfMonth,
                   ac.monthName.c_str(), ac.year - 2000);
    else
        drawTextAt(23, 2, colourYellow, fontLarge, alignRight, "00-00-00");
    drawTextAt(23, 3, colourWhite, fontLarge, alignRight, "UTC");
    // Eight characters ending in the last column (from column 18 the seconds would fall
    // off the screen). Three calls continue one line.
    cduPush();
    cduColour(colourYellow);
    cduTranslate(textColumnX[16], textRowY[4]);
    cduScale(textScaleX, textScaleY);
    drawCduText(fontLarge, alignLeft, "%02d:", ac.zuluHour);
    drawCduText(fontLarge, alignLeft, "%02d:", ac.zuluMinute);
    drawCduText(fontLarge, alignLeft, "%02d", ac.zuluSecond);
    cduPop();

    if (!cduState().initAccepted) drawAcceptPrompt();
    CrossFillPrompts prompts = crossFillPrompts();
    if (prompts.masterXfill) {
        drawTextAt(13, 8, colourWhite, fontLarge, alignLeft, "MSTR XFILL");
        drawRightPrompt(8);
    }
    if (prompts.xfill) {
        drawTextAt(18, 6, colourWhite, fontLarge, alignLeft, "XFILL");
        drawRightPrompt(6);
    }
    publishInitDone(pagesState().init.initDone);
}
