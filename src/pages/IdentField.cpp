#include "pages/IdentField.h"

#include <string>

#include "Fms.h"
#include "cdu/KeyInput.h"
#include "pages/IdentPage.h"
#include "pages/PageDrawing.h"

IdentMatches* identCandidatesOf(int page) {
    Fms& f = fms();
    switch (page) {
        case kPageFpl:
            return &f.flightplan.identCandidates;
        case kPageData:
            return &f.pages.data.identList;
        case kPageFuel:
            return &f.pages.fuel.candidates;
        default:
            return nullptr;
    }
}

bool drawIdentField(IdentField& field, int lsk, int row, int column, bool rightAligned, int width) {
    Fms& f = fms();
    KeyState& keys = f.cdu.keys;
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
        const int asking = f.cdu.currentPage;
        IdentMatches* target = identCandidatesOf(asking);
        IdentMatches found = findIdentifier(f.navdb.database, field.text);
        if (asking == kPageData) f.pages.data.searchText = field.text;
        if (asking == kPageFuel) f.pages.fuel.searchText = field.text;
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
