#include "platform/win32/Win32SimTransport.h"

#include <windows.h>

Win32SimTransport::~Win32SimTransport() {
    releaseServer();
    unmapBlock();
    closeBlock();
}

SimServerKind Win32SimTransport::findServer() {
    releaseServer();
    if (HWND window = FindWindowExA(nullptr, nullptr, kSimServerClass, nullptr)) {
        server_ = window;
        return SimServerKind::Full;
    }
    if (HWND window = FindWindowExA(nullptr, nullptr, kSimNetworkClientClass, nullptr)) {
        server_ = window;
        return SimServerKind::NetworkClient;
    }
    return SimServerKind::None;
}

bool Win32SimTransport::registerMessage() {
    message_ = RegisterWindowMessageA(kSimMessageName);
    return message_ != 0;
}

void Win32SimTransport::releaseServer() {
    server_ = nullptr;
    message_ = 0;
}

bool Win32SimTransport::serverLost() {
    return server_ != nullptr && !IsWindow(server_);
}

uint32_t Win32SimTransport::processId() {
    return static_cast<uint32_t>(GetCurrentProcessId());
}

SimBlockStatus Win32SimTransport::createBlock(const char* name, uint32_t size) {
    if (mapping_ != nullptr || atom_ != 0 || name == nullptr || size == 0) return SimBlockStatus::Failed;
    atom_ = GlobalAddAtomA(name);
    if (atom_ == 0) return SimBlockStatus::Failed;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    // A mapping of this name made by someone else is never used: its size and contents are theirs.
    const bool existed = mapping != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    if (mapping == nullptr || existed) {
        if (mapping != nullptr) CloseHandle(mapping);
        closeBlock();
        return existed ? SimBlockStatus::AlreadyExists : SimBlockStatus::Failed;
    }
    mapping_ = mapping;
    size_ = size;
    return SimBlockStatus::Created;
}

uint8_t* Win32SimTransport::mapBlock() {
    if (mapping_ == nullptr) return nullptr;
    if (view_ == nullptr) view_ = static_cast<uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0));
    return view_;
}

void Win32SimTransport::unmapBlock() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    view_ = nullptr;
}

void Win32SimTransport::closeBlock() {
    if (atom_ != 0) GlobalDeleteAtom(atom_);
    atom_ = 0;
    if (mapping_ != nullptr) CloseHandle(mapping_);
    mapping_ = nullptr;
    size_ = 0;
}

SimSendStatus Win32SimTransport::sendRequest(const char*, int timeoutMs, uint32_t& reply) {
    if (server_ == nullptr || message_ == 0 || atom_ == 0) return SimSendStatus::Failed;
    if (!IsWindow(server_)) return SimSendStatus::Lost;
    DWORD_PTR result = 0;
    SetLastError(0);
    if (SendMessageTimeoutA(server_, message_, atom_, 0, SMTO_BLOCK, static_cast<UINT>(timeoutMs), &result) !=
        0) {
        reply = static_cast<uint32_t>(result);
        return SimSendStatus::Answered;
    }
    if (!IsWindow(server_)) return SimSendStatus::Lost;
    const DWORD error = GetLastError();
    return error == 0 || error == ERROR_TIMEOUT ? SimSendStatus::TimedOut : SimSendStatus::Failed;
}

void Win32SimTransport::sleepMs(int ms) {
    if (ms > 0) Sleep(static_cast<DWORD>(ms));
}
