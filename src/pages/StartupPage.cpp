#include "pages/StartupPage.h"

#include <cstdlib>

#include "cdu/CduState.h"
#include "navdb/NavDbState.h"
#include "platform/Platform.h"
#include "cdu/CduRenderer.h"
#include "navdb/DatabaseLoad.h"

namespace {

NavDatabase& database() {
    return navDbState().database;
}

// A self-test line: the label padded to 16 characters, then PASS once its condition holds.
void testLine(int row, const char* label, bool pass) {
    drawTextAt(2, row, colourGreen, fontLarge, alignLeft, "%s%s", label, pass ? "PASS" : "");
}

}  // namespace

void runStartupPage() {
    CduState& cdu = cduState();
    NavDatabase& db = database();
    if (!databaseLoadRequested(db)) requestDatabaseLoad(db, platform().dataRoot);

    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "ORX - 1");
    drawTextAt(0, 2, colourGreen, fontLarge, alignLeft, "LEARJET 45");

    if (!cdu.selfTestStarted) {
        cdu.selfTestStartMs = cdu.frameMillis;
        cdu.selfTestStarted = true;
    }
    const long elapsed = std::labs(static_cast<long>(cdu.selfTestStartMs) - cdu.frameMillis);

    testLine(4, "CPU             ", elapsed > 1000);
    testLine(5, "RAM             ", elapsed > 2000);
    if (databasePartsLoaded(db)) {
        testLine(6, "DATABASE        ", true);
    } else {
        // The second text call continues the line, so LOADING follows DATABASE directly.
        cduPush();
        cduColour(colourGreen);
        cduTranslate(textColumnX[2], textRowY[6]);
        cduScale(textScaleX, textScaleY);
        drawCduText(fontLarge, alignLeft, "DATABASE");
        if (cduState().secondsCounter % 2 == 0) drawCduText(fontLarge, alignLeft, "     LOADING");
        cduPop();
    }
    testLine(7, "CONFIG MODULE   ", elapsed > 2000);
    testLine(8, "AUXILIARY       ", elapsed > 4000);
    testLine(9, "ARINC           ", elapsed > 5000);

    // INIT as soon as the database is ready, whether or not the timed lines have passed.
    if (databaseReady(db)) cdu.currentPage = kPageInit;
}
