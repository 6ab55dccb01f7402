#include "platform/posix/SimPosixTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/posix/SimPosixWire.h"
#include "platform/SimWire.h"

namespace {

int64_t monotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

enum class Wait : uint8_t { Ready, TimedOut, HungUp, Failed };

// Waits for `events` on `fd` until `deadlineMs`. Restarts after signals. The thread sleeps in
// the kernel until the server's packet wakes it: a waiter that polls in a loop instead
// competes for the processor with the server it waits for, which on a busy machine delays
// the answer by whole scheduler time slices.
Wait waitFor(int fd, short events, int64_t deadlineMs) {
    for (;;) {
        const int64_t left = deadlineMs - monotonicMs();
        if (left <= 0) {
            return Wait::TimedOut;
        }
        pollfd entry{fd, events, 0};
        const int n = poll(&entry, 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Wait::Failed;
        }
        if (n == 0) {
            continue;  // the loop head decides whether time is up
        }
        // A reply sent just before the server went away is still read.
        if ((entry.revents & events) != 0) {
            return Wait::Ready;
        }
        return Wait::HungUp;
    }
}

bool connectionEnded(int error) {
    return error == EPIPE || error == ECONNRESET || error == ENOTCONN || error == ECONNREFUSED;
}

}  // namespace

PosixSimTransport::PosixSimTransport(std::string runtimeDir) : runtimeDir_(std::move(runtimeDir)) {}

PosixSimTransport::PosixSimTransport() : PosixSimTransport(defaultSimRuntimeDir()) {}

PosixSimTransport::~PosixSimTransport() {
    releaseServer();
    unmapBlock();
    closeBlock();
}

SimServerKind PosixSimTransport::findServer() {
    releaseServer();
    for (SimServerKind kind : {SimServerKind::Full, SimServerKind::NetworkClient}) {
        sockaddr_un address{};
        if (!simSocketAddress(runtimeDir_, kind, address)) {
            continue;
        }
        const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return SimServerKind::None;
        }
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
            peerIsThisUser(fd)) {
            socket_ = fd;
            return kind;
        }
        ::close(fd);
    }
    return SimServerKind::None;
}

// The connection made by findServer is the message channel; nothing more to register.
bool PosixSimTransport::registerMessage() {
    return socket_ >= 0;
}

void PosixSimTransport::releaseServer() {
    if (socket_ >= 0) {
        ::close(socket_);
        socket_ = -1;
    }
    lost_ = false;
    blockHandedOver_ = false;  // a new connection gets the block again
}

bool PosixSimTransport::serverLost() {
    if (!lost_ && socket_ >= 0 && simPeerHungUp(socket_)) {
        lost_ = true;
    }
    return lost_;
}

SimSendStatus PosixSimTransport::markLost() {
    lost_ = true;
    return SimSendStatus::Lost;
}

uint32_t PosixSimTransport::processId() {
    return static_cast<uint32_t>(getpid());
}

// The block is an anonymous memory file rather than a named shared-memory object: nobody
// else can open it by name, and its seals keep its size fixed for good, so neither a server
// nor anyone else can shrink it under this process's mapping.
SimBlockStatus PosixSimTransport::createBlock(const char* name, uint32_t size) {
    if (blockFd_ >= 0) {
        return SimBlockStatus::Failed;  // one block per link
    }
    if (!simBlockNameValid(name) || size == 0) {
        return SimBlockStatus::Failed;
    }
    const int fd = memfd_create(name, MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) {
        return SimBlockStatus::Failed;
    }
    // The new file reads as zeros.
    if (ftruncate(fd, size) != 0 || fcntl(fd, F_ADD_SEALS, kSimBlockSeals | F_SEAL_SEAL) != 0) {
        ::close(fd);
        return SimBlockStatus::Failed;
    }
    blockFd_ = fd;
    blockName_ = name;
    blockHandedOver_ = false;
    blockSize_ = size;
    return SimBlockStatus::Created;
}

uint8_t* PosixSimTransport::mapBlock() {
    if (blockFd_ < 0) {
        return nullptr;
    }
    if (view_ == nullptr) {
        void* view = mmap(nullptr, blockSize_, PROT_READ | PROT_WRITE, MAP_SHARED, blockFd_, 0);
        if (view == MAP_FAILED) {
            return nullptr;
        }
        view_ = static_cast<uint8_t*>(view);
    }
    return view_;
}

void PosixSimTransport::unmapBlock() {
    if (view_ != nullptr) {
        munmap(view_, blockSize_);
        view_ = nullptr;
    }
}

void PosixSimTransport::closeBlock() {
    if (blockFd_ >= 0) {
        ::close(blockFd_);
        blockFd_ = -1;
        blockName_.clear();
        blockHandedOver_ = false;
        blockSize_ = 0;
    }
}

SimSendStatus PosixSimTransport::sendRequest(const char* name, int timeoutMs, uint32_t& reply) {
    if (lost_) {
        return SimSendStatus::Lost;
    }
    const size_t nameLength = std::strlen(name);
    if (socket_ < 0 || nameLength == 0 || nameLength > kSimMaxBlockName) {
        return SimSendStatus::Failed;
    }
    const int64_t deadline = monotonicMs() + timeoutMs;
    // Every request carries a new number, so that the late reply to an attempt that timed
    // out is never taken for the reply to a later one.
    const uint32_t sequence = ++sequence_;
    uint8_t request[kSimMessageHeader + kSimMaxBlockName];
    simwire::put32(request, kSimRequestMagic);
    simwire::put32(request + 4, sequence);
    std::memcpy(request + kSimMessageHeader, name, nameLength);

    // The first request naming the block carries the block itself.
    iovec part{request, kSimMessageHeader + nameLength};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    const bool handOver = !blockHandedOver_ && blockFd_ >= 0 && blockName_ == name;
    if (handOver) {
        message.msg_control = control;
        message.msg_controllen = sizeof(control);
        cmsghdr* rights = CMSG_FIRSTHDR(&message);
        rights->cmsg_level = SOL_SOCKET;
        rights->cmsg_type = SCM_RIGHTS;
        rights->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(rights), &blockFd_, sizeof(int));
    }
    for (;;) {
        if (sendmsg(socket_, &message, MSG_DONTWAIT | MSG_NOSIGNAL) >= 0) {
            blockHandedOver_ = blockHandedOver_ || handOver;
            break;
        }
        if (errno == EINTR) {
            continue;
        }
        if (connectionEnded(errno)) {
            return markLost();
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return SimSendStatus::Failed;
        }
        const Wait wait = waitFor(socket_, POLLOUT, deadline);
        if (wait == Wait::HungUp) {
            return markLost();
        }
        if (wait != Wait::Ready) {
            return wait == Wait::TimedOut ? SimSendStatus::TimedOut : SimSendStatus::Failed;
        }
    }

    for (;;) {
        const Wait wait = waitFor(socket_, POLLIN, deadline);
        if (wait == Wait::HungUp) {
            return markLost();
        }
        if (wait != Wait::Ready) {
            return wait == Wait::TimedOut ? SimSendStatus::TimedOut : SimSendStatus::Failed;
        }
        // Descriptors a server might send along are dropped by the kernel: no control buffer.
        uint8_t answer[kSimReplySize + 4];
        const ssize_t got = recv(socket_, answer, sizeof(answer), MSG_DONTWAIT);
        if (got == 0) {
            // The end of the connection, or an empty packet from a server still there.
            if (simPeerHungUp(socket_)) {
                return markLost();
            }
            continue;
        }
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            if (connectionEnded(errno)) {
                return markLost();
            }
            return SimSendStatus::Failed;
        }
        if (static_cast<size_t>(got) == kSimReplySize && simwire::get32(answer) == kSimReplyMagic &&
            simwire::get32(answer + 4) == sequence) {
            reply = simwire::get32(answer + 8);
            return SimSendStatus::Answered;
        }
        // A stale or malformed reply: keep waiting for ours.
    }
}

void PosixSimTransport::sleepMs(int ms) {
    if (ms <= 0) {
        return;
    }
    timespec left{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}
