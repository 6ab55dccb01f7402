#pragma once

#include <SDL.h>

#include <string>

#include "platform/Window.h"

// The program window: an SDL window with an OpenGL 1.x compatibility context (double
// buffered, 8 bits per colour channel, 16-bit depth buffer), the stock hand and arrow
// cursors, and the events that concern the window itself.
class SdlWindow final : public Window {
public:
    SdlWindow() = default;
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // Starts SDL video and creates the window at (x, y) with the given client size, framed
    // or not, and its rendering context, made current and shown with the focus. On failure
    // returns the message for the "ERROR" box and releases what was created.
    bool create(const std::string& title, int x, int y, int width, int height, bool frameless,
                std::string& failure);
    // Releases the context, the window and SDL video (safe on a partly created window). A
    // context that cannot be released is reported in `failure` (empty otherwise).
    void destroy(std::string& failure);

    SDL_Window* handle() const { return window_; }
    Uint32 id() const { return window_ != nullptr ? SDL_GetWindowID(window_) : 0; }
    void swap();

    // Applies a window event of this window: size (the viewport rule), minimise and restore,
    // moves (the position and the normal placement). Returns true when the window was closed.
    bool handleWindowEvent(const SDL_WindowEvent& event);

    // Window
    bool pointerPosition(int& x, int& y) override;
    void setCursor(CursorShape shape) override;
    void normalPosition(int& x, int& y) override;
    void clientSize(int& width, int& height) override;
    void setFrameless(bool frameless) override;

private:
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    SDL_Cursor* handCursor_ = nullptr;
    SDL_Cursor* arrowCursor_ = nullptr;
    CursorShape cursor_ = CursorShape::Arrow;
    int normalX_ = 0;
    int normalY_ = 0;
};

// Window sizes FMS.ini may ask for are limited to what a window system can create.
int clampWindowExtent(int pixels);
