#pragma once

// Window-level behaviour of the program that does not depend on the window system: the
// viewport rule, the frame toggle and the display rotation.

struct ViewportSize {
    int width = 0;
    int height = 0;
};

// The viewport for a client area of width x height. Hardware mode: full width, three
// quarters of it high. Otherwise the bezel's 0.9 : 1 shape: 0.9 h x h upright, w x 0.9 w
// when rotated by 90 or -90 degrees. Always at the lower left corner of the client area.
ViewportSize computeViewport(int width, int height, bool hardwareMode, int rotationIndex);

// Applies the viewport rule to a new client size: stores the viewport as the window size
// (which FMS.ini then keeps), refreshes the normal placement, sets up the projection.
void resizeViewport(int width, int height);

// Switches between the framed and the frameless window, keeping its place and size.
void toggleWindowFrame();

// Steps the display rotation 0 -> 90 -> -90 -> 0 degrees and re-applies the viewport rule.
void rotateDisplay();

// The rotation angle in degrees for a rotation index (0, 90, -90).
float rotationAngle(int rotationIndex);
