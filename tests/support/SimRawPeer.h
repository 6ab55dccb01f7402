#pragma once

#include <sys/types.h>

#include <cstdint>
#include <initializer_list>
#include <string>

// Raw ends of the local simulator socket, for tests that must send what a well-behaved link
// or server never would: malformed packets, blocks of any kind, unread replies.

// A memory file of `size` bytes with `seals` added (0: none); -1 on failure.
int makeBlockFile(off_t size, int seals);

// Sends `bytes` as one packet on `fd` with the descriptors attached; false when it could not
// be sent at once.
bool sendSimPacket(int fd, const std::string& bytes, std::initializer_list<int> fds = {});

// A request packet: magic, sequence number, block name.
std::string simRequestPacket(uint32_t sequence, const std::string& name);

// A connection to a server socket.
class SimRawClient {
public:
    explicit SimRawClient(const std::string& socketPath);
    ~SimRawClient();
    SimRawClient(const SimRawClient&) = delete;
    SimRawClient& operator=(const SimRawClient&) = delete;

    bool connected() const { return connected_; }
    int fd() const { return fd_; }
    bool request(uint32_t sequence, const std::string& name, std::initializer_list<int> fds = {}) {
        return sendSimPacket(fd_, simRequestPacket(sequence, name), fds);
    }
    // The reply value to `sequence`, waiting up to timeoutMs for it (replies to other
    // requests are skipped); -1 when none came.
    int64_t reply(uint32_t sequence, int timeoutMs = 0);
    // True when the server has closed the connection.
    bool hungUp() const;

private:
    int fd_ = -1;
    bool connected_ = false;
};
