#pragma once

#include <cstdint>

#include "platform/SimTransport.h"

struct HWND__;

// The client side of the simulator protocol on Windows: the server's top-level window (class
// "UIPCMAIN", or "FS98MAIN" for the networked client), the registered message
// "FsasmLib:IPC", the request block as a named mapping backed by the paging file, and its
// name handed over as a global atom in the message's first parameter. The reply is the
// message's result, waited for with a time-out while this thread stays blocked.
class Win32SimTransport final : public SimTransport {
public:
    Win32SimTransport() = default;
    ~Win32SimTransport() override;
    Win32SimTransport(const Win32SimTransport&) = delete;
    Win32SimTransport& operator=(const Win32SimTransport&) = delete;

    SimServerKind findServer() override;
    bool registerMessage() override;
    void releaseServer() override;
    bool serverLost() override;
    uint32_t processId() override;
    SimBlockStatus createBlock(const char* name, uint32_t size) override;
    uint8_t* mapBlock() override;
    void unmapBlock() override;
    void closeBlock() override;
    SimSendStatus sendRequest(const char* name, int timeoutMs, uint32_t& reply) override;
    void sleepMs(int ms) override;

private:
    HWND__* server_ = nullptr;
    unsigned message_ = 0;
    uint16_t atom_ = 0;
    void* mapping_ = nullptr;
    uint32_t size_ = 0;
    uint8_t* view_ = nullptr;
};

// The window classes and the message name of the protocol (the server side uses them too).
inline constexpr const char* kSimServerClass = "UIPCMAIN";
inline constexpr const char* kSimNetworkClientClass = "FS98MAIN";
inline constexpr const char* kSimMessageName = "FsasmLib:IPC";
