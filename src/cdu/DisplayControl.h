#pragma once

constexpr int kDisplayControlBrightness = 0;  // BRIGHT / DIM / OFF/STBY
constexpr int kDisplayControlVideo = 1;       // UP / DOWN (text and key alignment)

// The display-control overlay over the right half of the screen, run after the page while it
// is shown: R1/R2 brighten and dim (or move the alignment in video mode), R3 cancels, R4
// switches between the two modes, R5 switches the unit off.
void runDisplayControl();
