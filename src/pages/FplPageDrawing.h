#pragma once

#include "cdu/CduRenderer.h"
#include "pages/PageDrawing.h"

// A prompt-sized listArrow at page coordinates (x, y): 0 degrees points up, 90 left, -90
// right, 180 down.
void drawArrowShape(float x, float y, float degrees, const Rgba& colour);
