#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "platform/Window.h"

class Win32MessageBoxes;
struct HWND__;
struct HDC__;
struct HGLRC__;
struct HICON__;

// The program window on Windows: window class "OpenGL" (own device context), a framed
// overlapped window or a frameless popup, a double-buffered RGBA pixel format with a 16-bit
// depth buffer and a WGL context. The window procedure turns messages into window events:
// activation and minimising, closing, sizes and moves, left clicks, key-downs, key-ups and
// characters; the screen saver and monitor power-off are swallowed while it runs.
class WglWindow final : public Window {
public:
    explicit WglWindow(Win32MessageBoxes* boxes = nullptr) : boxes_(boxes) {}
    ~WglWindow() override;
    WglWindow(const WglWindow&) = delete;
    WglWindow& operator=(const WglWindow&) = delete;

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

    HWND__* handle() const { return window_; }
    // The window procedure's work for one message; false when the default procedure should
    // handle it. `result` is the message's result otherwise.
    bool handleMessage(unsigned message, uintptr_t wParam, intptr_t lParam, intptr_t& result);

private:
    void push(WindowEvent::Type type, int x = 0, int y = 0, int code = 0);

    Win32MessageBoxes* boxes_;
    bool classRegistered_ = false;
    HWND__* window_ = nullptr;
    HDC__* deviceContext_ = nullptr;
    HGLRC__* renderContext_ = nullptr;
    HICON__* cursor_ = nullptr;  // the cursor shown over the client area (HCURSOR)
    CursorShape shape_ = CursorShape::Arrow;
    std::deque<WindowEvent> pending_;
};

// The character that, after a letter's key-down, asks for a window action (frame toggle with
// "F", display rotation with "R"); Ctrl+Shift+F and Ctrl+Shift+R deliver it.
inline constexpr int kWindowActionChar = 160;
