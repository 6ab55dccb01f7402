#include <algorithm>
#include <cstdlib>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "guidance/LateralGuidance.h"
#include "pages/NavPages.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "pages/Paging.h"
#include "simlink/SimLinkState.h"

namespace {

constexpr int kLegsPerPage = 8;

int listPages() {
    return planLegCount() / kLegsPerPage + 1;
}

// The leg number typed into the scratchpad as a 0-based index within the plan; false for an
// empty scratchpad or one that starts with a letter.
bool typedLeg(int& index) {
    const std::string& s = cduState().keys.scratchpad;
    if (s.empty() || (s[0] >= 'A' && s[0] <= 'Z')) return false;
    index = std::clamp(std::atoi(s.c_str()) - 1, 0, std::max(0, planLegCount() - 1));
    return true;
}

// The plan's legs of one list page: number and ident.
void drawLegList(int page, int numberColumn, int identColumn) {
    const int first = (page - 1) * kLegsPerPage;
    for (int k = 0; k < kLegsPerPage && first + k < planLegCount(); ++k) {
        drawTextAt(numberColumn, 2 + k, colourWhite, fontMed, alignLeft, "%d", first + k + 1);
        drawTextAt(identColumn, 2 + k, colourGreen, fontMed, alignLeft, "%s",
                   planLeg(first + k)->ident.c_str());
    }
}

// The entry box of a step: a white bar at `column` of `row` with the typed leg number, the
// typed text when it starts with a letter, or `empty` at `emptyColumn`. True with ENTER
// pending on a leg number, which is then in `index`.
bool entryBox(int column, int row, int width, int emptyColumn, const char* empty, int& index) {
    const KeyState& keys = cduState().keys;
    drawFieldBar(column, row, width);
    if (keys.scratchpad.empty()) {
        drawTextAt(emptyColumn, row, colourBlack, fontLarge, alignLeft, "%s", empty);
        return false;
    }
    if (!typedLeg(index)) {
        drawTextAt(column, row, colourBlack, fontLarge, alignLeft, "%s", keys.scratchpad.c_str());
        return false;
    }
    drawTextAt(column, row, colourBlack, fontLarge, alignLeft, "%d", index + 1);
    return keys.pendingPadKey == kPadEnter && planLegCount() > 0;
}

void chooseDirectTo() {
    NavPageState& st = pagesState().nav;
    DirectToState& d = guidanceState().directTo;
    stepPage(st.dtoListPage, listPages());
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "DTO  %d/%d", st.dtoListPage, listPages());
    drawTextAt(4, 1, colourWhite, fontMed, alignLeft, "DIRECT");
    drawLegList(st.dtoListPage, 1, 3);

    int index = 0;
    if (entryBox(13, 1, 5, 12, "-----", index)) {
        d.dtoLegIndex = index;
        clearScratchpad();
        resetPadKey();
        d.dtoStep = 1;
        st.navLegListPage = 1;
    }
    drawRightPromptText(2, 21, "LEFT");
    drawRightPromptText(4, 21, "RIGHT");
    drawRightPromptText(8, 21, "HOLDING");
    drawTextAt(21, 6, colourWhite, fontMed, alignRight, "AUTO");
    drawLeftPromptText(10, "PVOR");
}

void chooseNext() {
    NavPageState& st = pagesState().nav;
    DirectToState& d = guidanceState().directTo;
    const FplLeg* dtoLeg = planLeg(d.dtoLegIndex);
    if (dtoLeg == nullptr) {  // the plan lost the leg since it was chosen
        d.dtoStep = 0;
        return;
    }
    stepPage(st.navLegListPage, listPages());
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "NAV LEG  %d/%d", st.navLegListPage, listPages());
    drawTextAt(2, 2, colourWhite, fontMed, alignLeft, "FR");
    drawTextAt(4, 2, colourGreen, fontLarge, alignLeft, "(PPOS)");
    drawTextAt(2, 4, colourWhite, fontMed, alignLeft, "TO");
    drawTextAt(4, 4, colourGreen, fontLarge, alignLeft, "%s", dtoLeg->ident.c_str());
    drawTextAt(2, 6, colourWhite, fontMed, alignLeft, "NX");
    drawLegList(st.navLegListPage, 14, 16);

    int index = 0;
    if (!entryBox(6, 6, 3, 4, "#--", index)) return;
    d.nxLegIndex = index;
    clearScratchpad();
    resetPadKey();
    d.dtoStep = 0;
    st.maneuverMenuShown = 0;
    cduState().currentPage = kPageNav;
    flyDirectTo(d.dtoLegIndex, d.nxLegIndex);
    if (d.nxLegIndex > d.dtoLegIndex + 1) d.nxLegIndex = d.dtoLegIndex + 1;
}

}  // namespace

void runDirectToPage() {
    if (guidanceState().directTo.dtoStep == 0)
        chooseDirectTo();
    else
        chooseNext();
    drawRightPromptText(10, 21, "RETURN");
}
