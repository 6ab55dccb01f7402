#include "pages/NumberedList.h"

#include <algorithm>
#include <cstdlib>

#include "cdu/CduRenderer.h"
#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "pages/PageDrawing.h"
#include "pages/Paging.h"

namespace {
constexpr int kFirstListRow = 2;
constexpr float kCellWidth = 0.0264f;
}  // namespace

int numberedListPages(int count) {
    return pageCountFor(count, kListEntriesPerPage);
}

void stepNumberedList(int& listPage, int count) {
    // The list page counts from 0 here, as the pages keep it.
    const int pages = numberedListPages(count);
    int page = clampPage(listPage + 1, pages);
    stepPage(page, pages);
    listPage = page - 1;
}

void drawNumberedList(int listPage, const std::vector<std::string>& texts, ListColumns columns) {
    const size_t first = static_cast<size_t>(std::max(listPage, 0)) * kListEntriesPerPage;
    for (size_t i = first; i < texts.size() && i < first + kListEntriesPerPage; ++i) {
        if (texts[i].empty()) continue;
        const int row = kFirstListRow + static_cast<int>(i - first);
        drawTextAt(columns.number, row, colourWhite, fontMed, alignLeft, "%d", static_cast<int>(i + 1));
        drawTextAt(columns.text, row, colourGreen, fontMed, alignLeft, "%s", texts[i].c_str());
    }
}

ListEntry takeListEntry() {
    KeyState& keys = cduState().keys;
    ListEntry entry;
    if (keys.pendingPadKey != kPadEnter) return entry;
    if (keys.scratchpad.empty()) {
        entry.kind = ListEntry::Empty;
    } else {
        entry.kind = ListEntry::Number;
        entry.number = std::atoi(keys.scratchpad.c_str());
    }
    clearScratchpad();
    resetPadKey();
    return entry;
}

void drawSelectionEntryField(int row, int lastColumn) {
    const std::string& typed = cduState().keys.scratchpad;
    drawBar(textColumnX[lastColumn] - 0.026f, textRowY[row] + 0.011f, 2 * kCellWidth, 0.016f, colourWhite);
    const int first = lastColumn - 1;
    if (typed.empty()) {
        drawTextAt(first, row, colourBlack, fontMed, alignLeft, "--");
        return;
    }
    for (size_t i = 0; i < typed.size() && first + static_cast<int>(i) <= lastColumn; ++i)
        drawTextAt(first + static_cast<int>(i), row, colourBlack, fontMed, alignLeft, "%c", typed[i]);
}

void drawReferenceEntryField(int row, bool runwayStep) {
    constexpr int kFirst = 21;
    const std::string& typed = cduState().keys.scratchpad;
    if (runwayStep) {
        cduPush();
        cduColour(colourWhite);
        cduTranslate(textColumnX[kFirst] - 0.004f, textRowY[row] - 0.006f);
        cduScale(2 * kCellWidth + 0.006f, 0.03f);
        cduCallList(listBoxOutline);
        cduPop();
    }
    if (typed.empty()) {
        drawTextAt(kFirst, row, colourWhite, fontMed, alignLeft, "--");
        return;
    }
    const int font = runwayStep ? fontMed : fontLarge;
    for (size_t i = 0; i < typed.size() && kFirst + static_cast<int>(i) < textColumns; ++i)
        drawTextAt(kFirst + static_cast<int>(i), row, colourWhite, font, alignLeft, "%c", typed[i]);
}
