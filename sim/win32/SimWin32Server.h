#pragma once

#include <cstdint>
#include <string>

class OffsetSpace;
struct HWND__;

// The server side of the simulator protocol on Windows: a hidden top-level window of the
// server's class that answers the registered message. The message carries a global atom
// naming the client's request block; the server opens that mapping, performs the batch
// against the offset space and answers with the reply value. The last block stays mapped
// until another one is named, so an exchange costs no mapping work. The thread that starts
// the server must pump its messages (serveOnce).
class SimWin32Server {
public:
    // `windowClass` is the full server's "UIPCMAIN" unless a test plays the networked
    // client ("FS98MAIN").
    explicit SimWin32Server(OffsetSpace& space, std::string windowClass = "UIPCMAIN");
    ~SimWin32Server();
    SimWin32Server(const SimWin32Server&) = delete;
    SimWin32Server& operator=(const SimWin32Server&) = delete;

    // Refuses when a window of the class already exists (another server is running).
    bool start(std::string& error);
    // Waits up to timeoutMs (0: no wait) for messages and handles every one that has arrived;
    // the number of requests answered, or -1 when not started.
    int serveOnce(int timeoutMs);
    void stop();
    bool running() const { return window_ != nullptr; }

    // Misbehaviour for the client's tests: hold each request this long before answering,
    // and answer with this value instead of the batch's.
    int stallMs = 0;
    bool overrideReply = false;
    uint32_t reply = 0;

    // The window procedure's work for the request message.
    intptr_t answer(uintptr_t atom);

private:
    void releaseBlock();

    OffsetSpace& space_;
    std::string windowClass_;
    bool classRegistered_ = false;
    HWND__* window_ = nullptr;
    unsigned message_ = 0;
    int answered_ = 0;
    std::string blockName_;
    void* mapping_ = nullptr;
    uint8_t* view_ = nullptr;
    size_t viewSize_ = 0;
};
