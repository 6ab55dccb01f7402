#include "platform/sdl/SdlWindow.h"

#include <algorithm>

#include "Fms.h"
#include "shell/WindowControl.h"

int clampWindowExtent(int pixels) {
    return std::clamp(pixels, 64, 8192);
}

SdlWindow::~SdlWindow() {
    std::string ignored;
    destroy(ignored);
}

bool SdlWindow::create(const std::string& title, int x, int y, int width, int height, bool frameless,
                       std::string& failure) {
    // The click that brings the window to the front also presses the key under it.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
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
    failure.clear();
    return true;
}

void SdlWindow::destroy(std::string& failure) {
    failure.clear();
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

void SdlWindow::swap() {
    if (window_ != nullptr) SDL_GL_SwapWindow(window_);
}

bool SdlWindow::handleWindowEvent(const SDL_WindowEvent& event) {
    ShellState& shell = fms().shell;
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            resizeViewport(event.data1, event.data2);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            shell.windowActive = false;
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SHOWN:
            shell.windowActive = true;
            break;
        case SDL_WINDOWEVENT_MOVED: {
            shell.settings.windowX = event.data1;
            shell.settings.windowY = event.data2;
            const Uint32 state = SDL_GetWindowFlags(window_);
            if ((state & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) == 0) {
                normalX_ = event.data1;
                normalY_ = event.data2;
            }
            break;
        }
        case SDL_WINDOWEVENT_CLOSE:
            return true;
        default:
            break;
    }
    return false;
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
