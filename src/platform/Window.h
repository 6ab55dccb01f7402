#pragma once

#include <string>

// The program window as the system code sees it: its life, the events the main loop turns
// into key presses and window changes, the pointer for the hover cursor, the cursor shapes,
// the normal (restored) placement and the frame style. The SDL backend implements it;
// without a window (headless runs) the context holds none.
enum class CursorShape { Arrow, Hand };

struct WindowEvent {
    enum class Type {
        Quit,        // the window was closed or the program was asked to end
        Resized,     // new client size in x, y
        Moved,       // new position in x, y
        Minimised,   // no frames until Restored
        Restored,
        MouseDown,   // left button at client pixel x, y
        KeyDown,     // virtual-key code in code (letters 65..90, digits 48..57, pad 96..111, ...)
        KeyUp,
        Char,        // 8-bit character code in code (8 Backspace, 13 Enter, 27 Escape, 160 window action)
        Screenshot,  // F12
    };
    Type type = Type::Quit;
    int x = 0;
    int y = 0;
    int code = 0;
};

class Window {
public:
    virtual ~Window() = default;
    // Creates the window at (x, y) with the given client size, framed or not, with its
    // rendering context made current and shown with the focus. On failure returns the
    // message for the "ERROR" box and releases what was created.
    virtual bool create(const std::string& title, int x, int y, int width, int height, bool frameless,
                        std::string& failure) = 0;
    // Releases the context and the window (safe on a partly created one). A context that
    // cannot be released is reported in `failure` (empty otherwise).
    virtual void destroy(std::string& failure) = 0;
    // The next waiting event; false when none is waiting.
    virtual bool pollEvent(WindowEvent& event) = 0;
    // Sleeps until an event arrives or `timeoutMs` has passed.
    virtual void waitEvent(int timeoutMs) = 0;
    // Shows the frame drawn since the last call (waits for the display's refresh when the
    // driver synchronises with it).
    virtual void present() = 0;
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

// Window sizes FMS.ini may ask for are limited to what a window system can create.
int clampWindowExtent(int pixels);
