#include "platform/posix/SimPosixTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

// Waits for `events` on `fd` until `deadlineMs`; false on time-out. Restarts after signals.
bool waitFor(int fd, short events, int64_t deadlineMs, bool& failed) {
    failed = false;
    for (;;) {
        const int64_t left = deadlineMs - monotonicMs();
        if (left <= 0) {
            return false;
        }
        pollfd entry{fd, events, 0};
        const int n = poll(&entry, 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            failed = true;
            return false;
        }
        if (n == 0) {
            continue;  // the loop head decides whether time is up
        }
        if ((entry.revents & events) != 0) {
            return true;
        }
        // Hang-up or error without the wanted event: the server is gone.
        failed = true;
        return false;
    }
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
}

uint32_t PosixSimTransport::processId() {
    return static_cast<uint32_t>(getpid());
}

SimBlockStatus PosixSimTransport::createBlock(const char* name, uint32_t size) {
    if (shmFd_ >= 0) {
        return SimBlockStatus::Failed;  // one block per link
    }
    const std::string shmName = simShmName(name);
    if (shmName.empty() || size == 0) {
        return SimBlockStatus::Failed;
    }
    const int fd = shm_open(shmName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno == EEXIST ? SimBlockStatus::AlreadyExists : SimBlockStatus::Failed;
    }
    // Owner read-write whatever the umask; the new object reads as zeros.
    if (fchmod(fd, 0600) != 0 || ftruncate(fd, size) != 0) {
        ::close(fd);
        shm_unlink(shmName.c_str());
        return SimBlockStatus::Failed;
    }
    shmFd_ = fd;
    shmName_ = shmName;
    blockSize_ = size;
    return SimBlockStatus::Created;
}

uint8_t* PosixSimTransport::mapBlock() {
    if (shmFd_ < 0) {
        return nullptr;
    }
    if (view_ == nullptr) {
        void* view = mmap(nullptr, blockSize_, PROT_READ | PROT_WRITE, MAP_SHARED, shmFd_, 0);
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
    if (shmFd_ >= 0) {
        ::close(shmFd_);
        shm_unlink(shmName_.c_str());
        shmFd_ = -1;
        shmName_.clear();
        blockSize_ = 0;
    }
}

SimSendStatus PosixSimTransport::sendRequest(const char* name, int timeoutMs, uint32_t& reply) {
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

    bool failed = false;
    for (;;) {
        const ssize_t sent =
            send(socket_, request, kSimMessageHeader + nameLength, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent >= 0) {
            break;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return SimSendStatus::Failed;
        }
        if (!waitFor(socket_, POLLOUT, deadline, failed)) {
            return failed ? SimSendStatus::Failed : SimSendStatus::TimedOut;
        }
    }

    const int64_t spinUntil = simMonotonicMicros() + kSimSpinMicros;
    for (;;) {
        // Poll without sleeping for a short while first (see kSimSpinMicros).
        if (simMonotonicMicros() >= spinUntil && !waitFor(socket_, POLLIN, deadline, failed)) {
            return failed ? SimSendStatus::Failed : SimSendStatus::TimedOut;
        }
        uint8_t answer[kSimReplySize + 4];
        const ssize_t got = recv(socket_, answer, sizeof(answer), MSG_DONTWAIT);
        if (got == 0) {
            return SimSendStatus::Failed;  // the server closed the connection
        }
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
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
