#include "SimWin32Server.h"

#include <windows.h>

#include <algorithm>

#include "SimServer.h"
#include "platform/win32/Win32SimTransport.h"
#include "simlink/SimLink.h"

namespace {

LRESULT CALLBACK serverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    static const UINT request = RegisterWindowMessageA(kSimMessageName);
    auto* server = reinterpret_cast<SimWin32Server*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (server != nullptr && request != 0 && message == request) return server->answer(wParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

SimWin32Server::SimWin32Server(OffsetSpace& space, std::string windowClass)
    : space_(space), windowClass_(std::move(windowClass)) {}

SimWin32Server::~SimWin32Server() {
    stop();
}

bool SimWin32Server::start(std::string& error) {
    if (window_ != nullptr) return true;
    if (FindWindowExA(nullptr, nullptr, windowClass_.c_str(), nullptr) != nullptr) {
        error = "another simulator server (window class " + windowClass_ + ") is running";
        return false;
    }
    message_ = RegisterWindowMessageA(kSimMessageName);
    if (message_ == 0) {
        error = "cannot register the message " + std::string(kSimMessageName);
        return false;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = serverProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = windowClass_.c_str();
    if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        error = "cannot register the window class " + windowClass_;
        return false;
    }
    classRegistered_ = true;
    // A top-level window, never shown: clients find it by its class.
    window_ = CreateWindowExA(0, windowClass_.c_str(), "fms-sim", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instance, this);
    if (window_ == nullptr) {
        error = "cannot create the server window";
        stop();
        return false;
    }
    return true;
}

int SimWin32Server::serveOnce(int timeoutMs) {
    if (window_ == nullptr) return -1;
    answered_ = 0;
    if (timeoutMs > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeoutMs), QS_ALLINPUT);
    }
    // Peeking also delivers the messages other processes send to the window.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return answered_;
}

void SimWin32Server::stop() {
    releaseBlock();
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    if (classRegistered_) UnregisterClassA(windowClass_.c_str(), GetModuleHandleA(nullptr));
    classRegistered_ = false;
}

void SimWin32Server::releaseBlock() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    view_ = nullptr;
    viewSize_ = 0;
    if (mapping_ != nullptr) CloseHandle(mapping_);
    mapping_ = nullptr;
    blockName_.clear();
}

intptr_t SimWin32Server::answer(uintptr_t atom) {
    ++answered_;
    char name[256] = {};
    const UINT length = GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name);
    if (length == 0) return kSimReplyRejected;
    if (view_ == nullptr || blockName_ != name) {
        releaseBlock();
        mapping_ = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
        if (mapping_ == nullptr) return kSimReplyRejected;
        view_ = static_cast<uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0));
        MEMORY_BASIC_INFORMATION region{};
        if (view_ == nullptr || VirtualQuery(view_, &region, sizeof region) == 0) {
            releaseBlock();
            return kSimReplyRejected;
        }
        // Never past the mapping, whatever size its maker chose.
        viewSize_ = std::min<size_t>(region.RegionSize, kSimBlockSize);
        blockName_ = name;
    }
    if (stallMs > 0) Sleep(static_cast<DWORD>(stallMs));
    const uint32_t value = answerRequestBlock(view_, viewSize_, space_);
    return static_cast<intptr_t>(overrideReply ? reply : value);
}
