#pragma once

#include "cdu/CduRenderer.h"

// A numeric entry field of the FUEL pages, placed at its line select key's row and column.
//
// While its key is not pending it shows the value with `format` in green, or `dashes` "-"
// (its width when 0) while the value is below 1. While its key is pending it is in use: a
// white bar of its width with the typed number (the scratchpad, cut to the width) in black;
// ENTER then stores the typed integer, and the key, ENTER and the scratchpad are taken. Text
// that does not start with a digit is not a number: ENTER then only empties the scratchpad.
struct NumericField {
    int lsk = 0;
    int row = 0;
    int column = 0;
    bool rightAligned = false;
    int width = 5;
    const char* format = "%5d";
    int font = fontLarge;
    int dashes = 0;
    // A signed field: +/- flips the sign of the number being typed (shown before it), values
    // other than 0 are shown with their sign, and only 0 shows dashes. Null: unsigned.
    bool* negativeEntry = nullptr;
};

// Runs the field for this frame. True in the frame in which ENTER stored a value.
bool runNumericField(const NumericField& field, int& value);
