#include "platform/sdl/SdlWindow.h"

#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlMessageBoxes.h"

SdlWindow::~SdlWindow() {
    std::string ignored;
    destroy(ignored);
}

bool SdlWindow::create(const std::string& title, int x, int y, int width, int height, bool frameless,
                       std::string& failure) {
    // The click that brings the window to the front also presses the key under it.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // SIGTERM and SIGINT are the program's own (see Termination.h), not quit events.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        failure = "Failed To Register The Window Class.";
        return false;
    }
    videoStarted_ = true;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    if (frameless) flags |= SDL_WINDOW_BORDERLESS;
    window_ =
        SDL_CreateWindow(title.c_str(), x, y, clampWindowExtent(width), clampWindowExtent(height), flags);
    if (window_ == nullptr) {
        destroy(failure);
        failure = "Window Creation Error.";
        return false;
    }
    normalX_ = x;
    normalY_ = y;
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr) {
        destroy(failure);
        failure = "Can't Create A GL Rendering Context.";
        return false;
    }
    if (SDL_GL_MakeCurrent(window_, context_) != 0) {
        destroy(failure);
        failure = "Can't Activate The GL Rendering Context.";
        return false;
    }
    handCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    arrowCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    // The CDU stays on screen for hours without input: no screen saver, no monitor sleep.
    SDL_DisableScreenSaver();
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    SDL_StartTextInput();
    // Frames at the display's refresh rate rather than as fast as the machine can draw (the
    // main loop paces them where the driver cannot).
    SDL_GL_SetSwapInterval(1);
    if (boxes_ != nullptr) boxes_->setParent(window_);
    failure.clear();
    return true;
}

void SdlWindow::destroy(std::string& failure) {
    failure.clear();
    if (boxes_ != nullptr) boxes_->setParent(nullptr);
    if (context_ != nullptr) {
        if (SDL_GL_MakeCurrent(window_, nullptr) != 0) failure = "Release Of DC And RC Failed.";
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (handCursor_ != nullptr) SDL_FreeCursor(handCursor_);
    if (arrowCursor_ != nullptr) SDL_FreeCursor(arrowCursor_);
    handCursor_ = arrowCursor_ = nullptr;
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    if (videoStarted_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted_ = false;
    }
}

void SdlWindow::present() {
    if (window_ != nullptr) SDL_GL_SwapWindow(window_);
}

bool SdlWindow::pollEvent(WindowEvent& event) {
    SDL_Event sdl;
    while (pending_.empty() && SDL_PollEvent(&sdl)) translate(sdl);
    if (pending_.empty()) return false;
    event = pending_.front();
    pending_.pop_front();
    return true;
}

void SdlWindow::waitEvent(int timeoutMs) {
    SDL_WaitEventTimeout(nullptr, timeoutMs);
}

void SdlWindow::translate(const SDL_Event& event) {
    using Type = WindowEvent::Type;
    auto push = [this](Type type, int x = 0, int y = 0, int code = 0) { pending_.push_back({type, x, y, code}); };
    switch (event.type) {
        case SDL_QUIT:
            push(Type::Quit);
            break;
        case SDL_WINDOWEVENT:
            if (window_ == nullptr || event.window.windowID != SDL_GetWindowID(window_)) break;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    push(Type::Resized, event.window.data1, event.window.data2);
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                    push(Type::Minimised);
                    break;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                case SDL_WINDOWEVENT_SHOWN:
                    push(Type::Restored);
                    break;
                case SDL_WINDOWEVENT_MOVED:
                    if ((SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) == 0) {
                        normalX_ = event.window.data1;
                        normalY_ = event.window.data2;
                    }
                    push(Type::Moved, event.window.data1, event.window.data2);
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    push(Type::Quit);
                    break;
                default:
                    break;
            }
            break;
        default:
            appendInputEvents(event, pending_);
            break;
    }
}

bool SdlWindow::pointerPosition(int& x, int& y) {
    if (window_ == nullptr || SDL_GetMouseFocus() != window_) return false;
    SDL_GetMouseState(&x, &y);
    return true;
}

void SdlWindow::setCursor(CursorShape shape) {
    // Set only on a change: the hover test runs every frame.
    if (shape == cursor_) return;
    SDL_Cursor* cursor = shape == CursorShape::Hand ? handCursor_ : arrowCursor_;
    if (cursor == nullptr) return;
    SDL_SetCursor(cursor);
    cursor_ = shape;
}

void SdlWindow::normalPosition(int& x, int& y) {
    x = normalX_;
    y = normalY_;
}

void SdlWindow::clientSize(int& width, int& height) {
    width = height = 0;
    if (window_ != nullptr) SDL_GetWindowSize(window_, &width, &height);
}

void SdlWindow::setFrameless(bool frameless) {
    if (window_ != nullptr) SDL_SetWindowBordered(window_, frameless ? SDL_FALSE : SDL_TRUE);
}
