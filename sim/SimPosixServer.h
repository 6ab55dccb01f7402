#pragma once

#include <poll.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SimTransport.h"

class OffsetSpace;

// The server side of the local simulator transport, driven by the simulator's main loop:
// it listens on the socket of its kind in the runtime folder and answers every request by
// performing the client's block against an OffsetSpace. A client hands its block over with
// the first request that names it; the server maps it only when it is sealed against
// resizing, and keeps it mapped until the client hands over another one or disconnects, so
// an exchange costs no mapping work. Used from one thread.
class PosixSimServer {
public:
    PosixSimServer(OffsetSpace& space, SimServerKind kind, std::string runtimeDir);
    PosixSimServer(OffsetSpace& space, SimServerKind kind = SimServerKind::Full);  // default folder
    ~PosixSimServer();
    PosixSimServer(const PosixSimServer&) = delete;
    PosixSimServer& operator=(const PosixSimServer&) = delete;

    // Creates the folder and binds the socket. Refuses when another server is listening on
    // it; a socket file left behind by a dead server is replaced. On failure says why.
    bool start(std::string& error);
    // Waits up to timeoutMs (0: no wait, negative: forever) for activity, accepts new
    // clients and answers every request that has arrived. Returns the number of requests
    // answered, or -1 when the server is not started.
    int serveOnce(int timeoutMs);
    // A descriptor of the caller's (a simulator's own input) that also ends serveOnce's wait
    // when it becomes readable, so one wait in the kernel covers both; -1 for none.
    void watch(int fd) { watched_ = fd; }
    void stop();

    bool running() const { return listener_ >= 0; }
    size_t clientCount() const { return clients_.size(); }
    const std::string& socketPath() const { return socketPath_; }

private:
    struct Client {
        int fd = -1;
        std::string blockName;
        uint8_t* view = nullptr;
    };

    void acceptClients();
    // Answers the pending requests of one client; false when it has gone away.
    bool serveClient(Client& client, int& answered);
    // `blockFd` is the block that came with the request, or -1.
    uint32_t performRequest(Client& client, const std::string& blockName, int blockFd);
    static void releaseBlock(Client& client);
    static void dropClient(Client& client);

    OffsetSpace& space_;
    SimServerKind kind_;
    std::string runtimeDir_;
    std::string socketPath_;
    int listener_ = -1;
    int watched_ = -1;
    std::vector<Client> clients_;
    std::vector<pollfd> pollEntries_;  // kept to spare an allocation per pass
};
