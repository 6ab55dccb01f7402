#pragma once

#include <SDL.h>

#include <deque>
#include <string>

#include "platform/Window.h"

class SdlMessageBoxes;

// The program window: an SDL window with an OpenGL 1.x compatibility context (double
// buffered, 8 bits per colour channel, 16-bit depth buffer, synchronised with the display's
// refresh where the driver can), the stock hand and arrow cursors, and SDL's events turned
// into window events. The message boxes get the window as their parent while it exists.
class SdlWindow final : public Window {
public:
    explicit SdlWindow(SdlMessageBoxes* boxes = nullptr) : boxes_(boxes) {}
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    bool create(const std::string& title, int x, int y, int width, int height, bool frameless,
                std::string& failure) override;
    void destroy(std::string& failure) override;
    bool pollEvent(WindowEvent& event) override;
    void waitEvent(int timeoutMs) override;
    void present() override;
    bool pointerPosition(int& x, int& y) override;
    void setCursor(CursorShape shape) override;
    void normalPosition(int& x, int& y) override;
    void clientSize(int& width, int& height) override;
    void setFrameless(bool frameless) override;


private:
    // Turns one SDL event into the window events it stands for (none, one or two).
    void translate(const SDL_Event& event);

    SdlMessageBoxes* boxes_;
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    SDL_Cursor* handCursor_ = nullptr;
    SDL_Cursor* arrowCursor_ = nullptr;
    CursorShape cursor_ = CursorShape::Arrow;
    int normalX_ = 0;
    int normalY_ = 0;
    std::deque<WindowEvent> pending_;
};
