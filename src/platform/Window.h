#pragma once

// The program window as the system code sees it: the pointer for the hover cursor, the
// cursor shapes, the normal (restored) placement and the frame style. The SDL backend
// implements it; without a window (headless runs) the context holds none.
enum class CursorShape { Arrow, Hand };

class Window {
public:
    virtual ~Window() = default;
    // Pointer position in client pixels; false when the pointer is not over the window.
    virtual bool pointerPosition(int& x, int& y) = 0;
    virtual void setCursor(CursorShape shape) = 0;
    // Left/top of the window's normal (not minimised, not maximised) placement.
    virtual void normalPosition(int& x, int& y) = 0;
    // Current client size in pixels.
    virtual void clientSize(int& width, int& height) = 0;
    // Switches between the framed and the frameless style without moving or resizing.
    virtual void setFrameless(bool frameless) = 0;
};
