#pragma once

#include "cdu/CduRenderer.h"

// Shapes the flight-plan pages place by page coordinates rather than by grid cell.

// A listFilledBar with its left end at x, centred on y, `width` wide and 2 x `halfHeight` high.
void drawBar(float x, float y, float width, float halfHeight, const Rgba& colour);
// A prompt-sized listArrow at (x, y): 0 degrees points up, 90 left, -90 right, 180 down.
void drawArrowShape(float x, float y, float degrees, const Rgba& colour);
// The message annunciator in the top right corner.
void drawMessageAnnunciator();
