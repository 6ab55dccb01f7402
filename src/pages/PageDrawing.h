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
