#include "pages/IdentField.h"

#include <string>

#include "cdu/CduState.h"
#include "flightplan/FlightPlanState.h"
#include "navdb/NavDbState.h"
#include "pages/PagesState.h"
#include "simlink/SimLinkState.h"
#include "cdu/KeyInput.h"
#include "pages/IdentPage.h"
#include "pages/PageDrawing.h"

IdentMatches* identCandidatesOf(int page) {
    switch (page) {
        case kPageFpl:
            return &pagesState().fpl.identCandidates;
        case kPageData:
            return &pagesState().data.identList;
        case kPageFuel:
            return &pagesState().fuel.candidates;
        default:
            return nullptr;
    }
}

bool runIdentField(IdentField& field, int lsk, int row, int column, bool rightAligned, int width) {
    KeyState& keys = cduState().keys;
    const int align = rightAligned ? alignRight : alignLeft;
    const int first = rightAligned ? column - width + 1 : column;

    if (keys.pendingLsk != lsk) {
        if (field.text.empty())
            drawTextAt(column, row, colourGreen, fontLarge, align, "%s", std::string(width, '-').c_str());
        else
            drawTextAt(column, row, colourGreen, fontLarge, align, "%s", field.text.c_str());
        return false;
    }

    field.text = keys.scratchpad.substr(0, static_cast<size_t>(width));
    if (keys.pendingPadKey == kPadEnter && !field.text.empty()) {
        const int asking = cduState().currentPage;
        IdentMatches* target = identCandidatesOf(asking);
        IdentMatches found = findIdentifier(navDbState().database, field.text, simLinkState().aircraft.position);
        if (asking == kPageData) pagesState().data.searchText = field.text;
        if (asking == kPageFuel) pagesState().fuel.searchText = field.text;
        if (target != nullptr) *target = found;
        openIdentPage(asking);
        resetPadKey();
        field.text.clear();
        clearScratchpad();
        resetLsk();
        return true;
    }
    drawFieldBar(first, row, width);
    drawTextAt(column, row, colourBlack, fontLarge, align, "%s", field.text.c_str());
    return false;
}
