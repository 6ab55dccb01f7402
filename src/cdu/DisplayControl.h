#pragma once

constexpr int kDisplayControlBrightness = 0;  // BRIGHT / DIM / OFF/STBY
constexpr int kDisplayControlVideo = 1;       // UP / DOWN (text and key alignment)

// The display-control overlay over the right half of the screen while it is shown. Its keys
// are taken before the page runs, so that no page can hold them back: R1/R2 brighten and dim
// (or move the alignment in video mode), R3 cancels, R4 switches between the two modes, R5
// switches the unit off. It is drawn after the page, over it.
void handleDisplayControlKeys();
void drawDisplayControl();
