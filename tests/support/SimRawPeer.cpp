#include "SimRawPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/SimWire.h"
#include "platform/posix/SimPosixWire.h"

int makeBlockFile(off_t size, int seals) {
    const int fd = memfd_create("test-block", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return -1;
    if (ftruncate(fd, size) != 0 || (seals != 0 && fcntl(fd, F_ADD_SEALS, seals) != 0)) {
        close(fd);
        return -1;
    }
    return fd;
}

bool sendSimPacket(int fd, const std::string& bytes, std::initializer_list<int> fds) {
    iovec part{const_cast<char*>(bytes.data()), bytes.size()};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    std::vector<char> control(CMSG_SPACE(sizeof(int) * fds.size()));
    if (fds.size() != 0) {
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        cmsghdr* rights = CMSG_FIRSTHDR(&message);
        rights->cmsg_level = SOL_SOCKET;
        rights->cmsg_type = SCM_RIGHTS;
        rights->cmsg_len = CMSG_LEN(sizeof(int) * fds.size());
        std::memcpy(CMSG_DATA(rights), fds.begin(), sizeof(int) * fds.size());
    }
    return sendmsg(fd, &message, MSG_DONTWAIT | MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

std::string simRequestPacket(uint32_t sequence, const std::string& name) {
    std::string packet(kSimMessageHeader, '\0');
    simwire::put32(reinterpret_cast<uint8_t*>(packet.data()), kSimRequestMagic);
    simwire::put32(reinterpret_cast<uint8_t*>(packet.data()) + 4, sequence);
    return packet + name;
}

SimRawClient::SimRawClient(const std::string& socketPath)
    : fd_(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
    connected_ = fd_ >= 0 && connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
}

SimRawClient::~SimRawClient() {
    if (fd_ >= 0) close(fd_);
}

int64_t SimRawClient::reply(uint32_t sequence, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{fd_, POLLIN, 0};
        if (poll(&entry, 1, std::max<int>(0, static_cast<int>(left.count()))) <= 0) return -1;
        uint8_t answer[32];
        const ssize_t got = recv(fd_, answer, sizeof(answer), MSG_DONTWAIT);
        if (got <= 0) return -1;
        if (got == 12 && simwire::get32(answer) == kSimReplyMagic && simwire::get32(answer + 4) == sequence) {
            return simwire::get32(answer + 8);
        }
    }
}

bool SimRawClient::hungUp() const {
    return simPeerHungUp(fd_);
}
