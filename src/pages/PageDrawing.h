#pragma once

#include "cdu/CduRenderer.h"

// Drawing pieces shared by the pages of this folder.

// A listFilledBar placed at (x, y) in page coordinates and scaled by (sx, sy): the white
// highlight behind a selected field, or a black panel that hides what lies below it.
void drawBar(float x, float y, float sx, float sy, const Rgba& colour);

// A highlight bar behind `width` cells starting at `column` of `row`, as entry fields use.
void drawFieldBar(int column, int row, int width, const Rgba& colour = colourWhite);

// A large white prompt text with its arrow: left keys at column 1, right keys right-aligned
// at `column` with the arrow at column 23.
void drawLeftPromptText(int row, const char* text);
void drawRightPromptText(int row, int column, const char* text);

// A prompt-sized listArrow at page coordinates (x, y): 0 degrees points up, 90 left, -90
// right, 180 down.
void drawArrowShape(float x, float y, float degrees, const Rgba& colour);

// Two-unit cross-fill indications of the INIT and DATA pages.
struct CrossFillPrompts {
    bool masterXfill = false;  // the other unit is ready to be the source
    bool xfill = false;        // the other unit has accepted INIT, this one has not
    bool ownReady = false;     // this unit publishes itself as ready
};

// The two-unit exchange is not built yet: no unit has a partner, so every prompt is off.
// When the shared block arrives, this is where the pages read its flags.
CrossFillPrompts crossFillPrompts();
