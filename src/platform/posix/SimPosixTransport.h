#pragma once

#include <cstdint>
#include <string>

#include "platform/SimTransport.h"

// The client side of the local simulator transport: a sequenced-packet connection to the
// server's Unix-domain socket, and a sealed memory file as the request block, handed to the
// server over that connection with the first request that names it. Both are private to
// this user and this server (socket folder 0700, peer uid checked, block never in a folder).
class PosixSimTransport final : public SimTransport {
public:
    explicit PosixSimTransport(std::string runtimeDir);
    PosixSimTransport();  // in defaultSimRuntimeDir()
    ~PosixSimTransport() override;
    PosixSimTransport(const PosixSimTransport&) = delete;
    PosixSimTransport& operator=(const PosixSimTransport&) = delete;

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

    const std::string& runtimeDir() const { return runtimeDir_; }

private:
    SimSendStatus markLost();

    std::string runtimeDir_;
    int socket_ = -1;
    bool lost_ = false;  // the connection to the server has ended
    uint32_t sequence_ = 0;
    int blockFd_ = -1;
    std::string blockName_;
    bool blockHandedOver_ = false;  // the server holds blockFd_
    uint32_t blockSize_ = 0;
    uint8_t* view_ = nullptr;
};
