#include "pages/NumericField.h"

#include <string>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "navdb/SplitFields.h"
#include "pages/PageDrawing.h"

namespace {

void drawValue(const NumericField& field, int value) {
    const int align = field.rightAligned ? alignRight : alignLeft;
    const bool isSigned = field.negativeEntry != nullptr;
    if (isSigned ? value == 0 : value < 1) {
        const std::string dashes(static_cast<size_t>(field.dashes > 0 ? field.dashes : field.width), '-');
        drawTextAt(field.column, field.row, colourGreen, field.font, align, "%s", dashes.c_str());
    } else if (isSigned) {
        drawTextAt(field.column, field.row, colourGreen, field.font, align, "%+d", value);
    } else {
        drawTextAt(field.column, field.row, colourGreen, field.font, align, field.format, value);
    }
}

}  // namespace

bool runNumericField(const NumericField& field, int& value) {
    KeyState& keys = cduState().keys;
    if (keys.pendingLsk != field.lsk) {
        drawValue(field, value);
        return false;
    }

    if (field.negativeEntry != nullptr && keys.pendingPadKey == kPadPlusMinus) {
        *field.negativeEntry = !*field.negativeEntry;
        resetPadKey();
    }
    const bool negative = field.negativeEntry != nullptr && *field.negativeEntry;
    const std::string typed = keys.scratchpad.substr(0, static_cast<size_t>(field.width));
    if (keys.pendingPadKey == kPadEnter && !typed.empty()) {
        const bool number = typed[0] >= '0' && typed[0] <= '9';
        resetPadKey();
        clearScratchpad();
        if (number) {
            const int typedValue = fieldInt(typed);
            value = negative ? -typedValue : typedValue;
            if (field.negativeEntry != nullptr) *field.negativeEntry = false;
            resetLsk();
            drawValue(field, value);
            return true;
        }
    }

    const int first = field.rightAligned ? field.column - field.width + 1 : field.column;
    drawFieldBar(first, field.row, field.width);
    const int align = field.rightAligned ? alignRight : alignLeft;
    drawTextAt(field.column, field.row, colourBlack, field.font, align, "%s%s", negative ? "-" : "",
               keys.scratchpad.substr(0, static_cast<size_t>(field.width)).c_str());
    return false;
}
