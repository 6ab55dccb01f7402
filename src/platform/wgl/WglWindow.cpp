#include "platform/wgl/WglWindow.h"

#include <windows.h>
#include <windowsx.h>

#include "platform/win32/Win32MessageBoxes.h"

namespace {

constexpr const char* kClassName = "OpenGL";

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<WglWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    intptr_t result = 0;
    if (self != nullptr && self->handleMessage(message, wParam, lParam, result)) return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void styles(bool frameless, DWORD& style, DWORD& exStyle) {
    if (frameless) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
    } else {
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }
}

void appendFailure(std::string& failure, const char* text) {
    if (!failure.empty()) failure += "\n";
    failure += text;
}

}  // namespace

WglWindow::~WglWindow() {
    std::string ignored;
    destroy(ignored);
}

bool WglWindow::create(const std::string& title, int x, int y, int width, int height, bool frameless,
                       std::string& failure) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) == 0) {
        failure = "Failed To Register The Window Class.";
        return false;
    }
    classRegistered_ = true;
    cursor_ = LoadCursorA(nullptr, IDC_ARROW);
    shape_ = CursorShape::Arrow;

    DWORD style = 0;
    DWORD exStyle = 0;
    styles(frameless, style, exStyle);
    RECT rect{0, 0, clampWindowExtent(width), clampWindowExtent(height)};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    auto fail = [this, &failure](const char* text) {
        std::string ignored;
        destroy(ignored);
        failure = text;
        return false;
    };
    window_ =
        CreateWindowExA(exStyle, kClassName, title.c_str(), style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y,
                        rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance, this);
    if (window_ == nullptr) return fail("Window Creation Error.");
    deviceContext_ = GetDC(window_);
    if (deviceContext_ == nullptr) return fail("Can't Create A GL Device Context.");

    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;
    const int chosen = ChoosePixelFormat(deviceContext_, &format);
    if (chosen == 0) return fail("Can't Find A Suitable PixelFormat.");
    if (!SetPixelFormat(deviceContext_, chosen, &format)) return fail("Can't Set The PixelFormat.");
    renderContext_ = wglCreateContext(deviceContext_);
    if (renderContext_ == nullptr) return fail("Can't Create A GL Rendering Context.");
    if (!wglMakeCurrent(deviceContext_, renderContext_))
        return fail("Can't Activate The GL Rendering Context.");

    // Frames at the display's refresh rate where the driver offers it (the main loop paces
    // them otherwise).
    using SwapInterval = BOOL(WINAPI*)(int);
    if (auto swapInterval = reinterpret_cast<SwapInterval>(
            reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")))) {
        swapInterval(1);
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(window_);
    if (boxes_ != nullptr) boxes_->setParent(window_);
    failure.clear();
    return true;
}

void WglWindow::destroy(std::string& failure) {
    failure.clear();
    if (boxes_ != nullptr) boxes_->setParent(nullptr);
    if (renderContext_ != nullptr) {
        if (!wglMakeCurrent(nullptr, nullptr)) appendFailure(failure, "Release Of DC And RC Failed.");
        if (!wglDeleteContext(renderContext_)) appendFailure(failure, "Release Rendering Context Failed.");
        renderContext_ = nullptr;
    }
    if (deviceContext_ != nullptr && ReleaseDC(window_, deviceContext_) == 0) {
        appendFailure(failure, "Release Device Context Failed.");
    }
    deviceContext_ = nullptr;
    if (window_ != nullptr && !DestroyWindow(window_)) appendFailure(failure, "Could Not Release hWnd.");
    window_ = nullptr;
    if (classRegistered_ && !UnregisterClassA(kClassName, GetModuleHandleA(nullptr))) {
        appendFailure(failure, "Could Not Unregister Class.");
    }
    classRegistered_ = false;
    pending_.clear();
}

void WglWindow::push(WindowEvent::Type type, int x, int y, int code) {
    pending_.push_back({type, x, y, code});
}

bool WglWindow::handleMessage(unsigned message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
    using Type = WindowEvent::Type;
    result = 0;
    switch (message) {
        case WM_ACTIVATE:
            push(HIWORD(wParam) == 0 ? Type::Restored : Type::Minimised);
            return true;
        case WM_SYSCOMMAND:
            // The CDU stays on screen for hours without input: no screen saver, no monitor sleep.
            return (wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER;
        case WM_CLOSE:
            PostQuitMessage(0);
            return true;
        case WM_SIZE:
            // A minimised window reports 0 x 0, which is no size to keep or save.
            if (wParam != SIZE_MINIMIZED) push(Type::Resized, LOWORD(lParam), HIWORD(lParam));
            return true;
        case WM_WINDOWPOSCHANGING: {
            const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
            // Only real moves: a size or z-order change carries no position.
            if ((position->flags & SWP_NOMOVE) == 0 && !IsIconic(window_))
                push(Type::Moved, position->x, position->y);
            return true;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT) return false;
            SetCursor(cursor_);
            result = TRUE;
            return true;
        case WM_LBUTTONDOWN:
            push(Type::MouseDown, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return true;
        case WM_KEYDOWN: {
            const int code = static_cast<int>(wParam & 0xFF);
            if (code == VK_F12) {
                push(Type::Screenshot);
                return true;
            }
            push(Type::KeyDown, 0, 0, code);
            const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
            const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
            if (ctrl && shift && (code == 'F' || code == 'R')) push(Type::Char, 0, 0, kWindowActionChar);
            return true;
        }
        case WM_KEYUP:
            push(Type::KeyUp, 0, 0, static_cast<int>(wParam & 0xFF));
            return true;
        case WM_CHAR: {
            const int code = static_cast<int>(wParam & 0xFF);
            // Control characters other than Backspace, Enter and Escape (Ctrl+letter) type
            // nothing, and a typed no-break space would arm the window actions: only the key
            // combinations may produce that character.
            if ((code < 32 && code != 8 && code != 13 && code != 27) || code == kWindowActionChar)
                return true;
            push(Type::Char, 0, 0, code);
            return true;
        }
        default:
            return false;
    }
}

bool WglWindow::pollEvent(WindowEvent& event) {
    MSG message;
    while (pending_.empty() && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            push(WindowEvent::Type::Quit);
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (pending_.empty()) return false;
    event = pending_.front();
    pending_.pop_front();
    return true;
}

void WglWindow::waitEvent(int timeoutMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeoutMs < 0 ? 0 : timeoutMs),
                              QS_ALLINPUT);
}

void WglWindow::present() {
    if (deviceContext_ != nullptr) SwapBuffers(deviceContext_);
}

bool WglWindow::pointerPosition(int& x, int& y) {
    if (window_ == nullptr) return false;
    POINT point;
    if (!GetCursorPos(&point) || WindowFromPoint(point) != window_) return false;
    if (!ScreenToClient(window_, &point)) return false;
    RECT client;
    GetClientRect(window_, &client);
    if (point.x < 0 || point.y < 0 || point.x >= client.right || point.y >= client.bottom) return false;
    x = point.x;
    y = point.y;
    return true;
}

void WglWindow::setCursor(CursorShape shape) {
    // Set only on a change: the hover test runs every frame.
    if (shape == shape_) return;
    HCURSOR cursor = LoadCursorA(nullptr, shape == CursorShape::Hand ? IDC_HAND : IDC_ARROW);
    if (cursor == nullptr) return;
    cursor_ = cursor;
    shape_ = shape;
    SetCursor(cursor);
}

void WglWindow::normalPosition(int& x, int& y) {
    x = y = 0;
    if (window_ == nullptr) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window_, &placement)) return;
    x = placement.rcNormalPosition.left;
    y = placement.rcNormalPosition.top;
}

void WglWindow::clientSize(int& width, int& height) {
    width = height = 0;
    RECT client;
    if (window_ == nullptr || !GetClientRect(window_, &client)) return;
    width = client.right - client.left;
    height = client.bottom - client.top;
}

void WglWindow::setFrameless(bool frameless) {
    if (window_ == nullptr) return;
    DWORD style = 0;
    DWORD exStyle = 0;
    styles(frameless, style, exStyle);
    const LONG_PTR visible = GetWindowLongPtrA(window_, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongPtrA(window_, GWL_STYLE,
                      static_cast<LONG_PTR>(style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN) | visible);
    SetWindowLongPtrA(window_, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}
