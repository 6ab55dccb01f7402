#include "SimPosixServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "SimServer.h"
#include "platform/SimWire.h"
#include "platform/posix/SimPosixWire.h"
#include "simlink/SimLink.h"

namespace {

// Two units and a few tools at most; more connections are refused rather than letting a
// runaway client use up the descriptors.
constexpr size_t kMaxClients = 16;

// True when something is accepting connections on the socket at `address`.
bool serverListening(const sockaddr_un& address) {
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool listening = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return listening;
}

}  // namespace

PosixSimServer::PosixSimServer(OffsetSpace& space, SimServerKind kind, std::string runtimeDir)
    : space_(space), kind_(kind), runtimeDir_(std::move(runtimeDir)) {}

PosixSimServer::PosixSimServer(OffsetSpace& space, SimServerKind kind)
    : PosixSimServer(space, kind, defaultSimRuntimeDir()) {}

PosixSimServer::~PosixSimServer() {
    stop();
}

bool PosixSimServer::start(std::string& error) {
    if (listener_ >= 0) {
        return true;
    }
    if (!prepareSimRuntimeDir(runtimeDir_, error)) {
        return false;
    }
    sockaddr_un address{};
    if (kind_ == SimServerKind::None || !simSocketAddress(runtimeDir_, kind_, address)) {
        error = "the socket path in " + runtimeDir_ + " is too long";
        return false;
    }
    struct stat info {};
    if (lstat(address.sun_path, &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) {
            error = std::string(address.sun_path) + " exists and is not a socket";
            return false;
        }
        if (serverListening(address)) {
            error = std::string("another simulator is already serving ") + address.sun_path;
            return false;
        }
        unlink(address.sun_path);
    }
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = std::string("cannot create the server socket: ") + std::strerror(errno);
        return false;
    }
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        chmod(address.sun_path, 0600) != 0 || listen(fd, 8) != 0) {
        error = std::string("cannot listen on ") + address.sun_path + ": " + std::strerror(errno);
        close(fd);
        unlink(address.sun_path);
        return false;
    }
    listener_ = fd;
    socketPath_ = address.sun_path;
    return true;
}

void PosixSimServer::stop() {
    for (Client& client : clients_) {
        dropClient(client);
    }
    clients_.clear();
    if (listener_ >= 0) {
        close(listener_);
        listener_ = -1;
        unlink(socketPath_.c_str());
    }
}

void PosixSimServer::releaseBlock(Client& client) {
    if (client.view != nullptr) {
        munmap(client.view, kSimBlockSize);
        client.view = nullptr;
    }
    client.blockName.clear();
}

void PosixSimServer::dropClient(Client& client) {
    releaseBlock(client);
    if (client.fd >= 0) {
        close(client.fd);
        client.fd = -1;
    }
}

void PosixSimServer::acceptClients() {
    for (;;) {
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            return;  // nothing more waiting (or a transient error: try on the next pass)
        }
        if (!peerIsThisUser(fd) || clients_.size() >= kMaxClients) {
            close(fd);
            continue;
        }
        Client client;
        client.fd = fd;
        clients_.push_back(client);
    }
}

namespace {

// Maps a block handed over by a client, or nullptr when it is not fit to map: only a
// memory file sealed against shrinking and growing is safe, because a block the client
// could shrink after this mapping would kill the server with SIGBUS at its next access.
uint8_t* mapSealedBlock(int fd) {
    const int seals = fcntl(fd, F_GET_SEALS);
    struct stat info {};
    if (seals < 0 || (seals & kSimBlockSeals) != kSimBlockSeals || fstat(fd, &info) != 0 ||
        !S_ISREG(info.st_mode) || info.st_size < static_cast<off_t>(kSimBlockSize)) {
        return nullptr;
    }
    void* view = mmap(nullptr, kSimBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    return view == MAP_FAILED ? nullptr : static_cast<uint8_t*>(view);
}

// The descriptors that came with one packet; closed when it has been dealt with.
struct ReceivedFds {
    static constexpr size_t kRoom = 4;
    int fds[kRoom] = {};
    size_t count = 0;
    bool truncated = false;

    explicit ReceivedFds(msghdr& message) {
        truncated = (message.msg_flags & MSG_CTRUNC) != 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS) {
                continue;
            }
            const size_t n = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            for (size_t i = 0; i < n && count < kRoom; ++i) {
                std::memcpy(&fds[count++], CMSG_DATA(c) + i * sizeof(int), sizeof(int));
            }
        }
    }
    ~ReceivedFds() {
        for (size_t i = 0; i < count; ++i) {
            close(fds[i]);
        }
    }
    ReceivedFds(const ReceivedFds&) = delete;
    ReceivedFds& operator=(const ReceivedFds&) = delete;
};

}  // namespace

uint32_t PosixSimServer::performRequest(Client& client, const std::string& blockName, int blockFd) {
    if (!simBlockNameValid(blockName)) {
        return kSimReplyRejected;
    }
    if (blockFd >= 0) {
        releaseBlock(client);
        client.view = mapSealedBlock(blockFd);
        if (client.view == nullptr) {
            return kSimReplyRejected;
        }
        client.blockName = blockName;
    } else if (client.view == nullptr || blockName != client.blockName) {
        return kSimReplyRejected;  // a block that was never handed over
    }
    return answerRequestBlock(client.view, kSimBlockSize, space_);
}

bool PosixSimServer::serveClient(Client& client, int& answered) {
    for (;;) {
        uint8_t request[kSimMessageHeader + kSimMaxBlockName + 1];
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * ReceivedFds::kRoom)];
        iovec part{request, sizeof(request)};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof(control);
        const ssize_t got = recvmsg(client.fd, &message, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Nothing more waiting (true), or the connection failed (false).
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        const ReceivedFds fds(message);
        // A read of 0 bytes is the end of the connection, or an empty packet, which is
        // ignored like any other malformed one.
        if (got == 0) {
            if (simPeerHungUp(client.fd)) {
                return false;
            }
            continue;
        }
        const size_t length = static_cast<size_t>(got);
        // A malformed message (or one cut short by the buffer) gets no answer; the client
        // times out as it would with a server that does not understand it.
        if (length <= kSimMessageHeader || length > kSimMessageHeader + kSimMaxBlockName ||
            simwire::get32(request) != kSimRequestMagic) {
            continue;
        }
        const std::string blockName(reinterpret_cast<const char*>(request + kSimMessageHeader),
                                    length - kSimMessageHeader);
        // At most one block comes with a request.
        const bool fdsUsable = !fds.truncated && fds.count <= 1;
        const uint32_t value = fdsUsable ? performRequest(client, blockName, fds.count == 1 ? fds.fds[0] : -1)
                                         : kSimReplyRejected;
        uint8_t reply[kSimReplySize];
        simwire::put32(reply, kSimReplyMagic);
        simwire::put32(reply + 4, simwire::get32(request + 4));
        simwire::put32(reply + 8, value);
        // Never wait for a client: one that leaves its replies unread until no more fit is
        // dropped.
        if (send(client.fd, reply, sizeof(reply), MSG_DONTWAIT | MSG_NOSIGNAL) != sizeof(reply)) {
            return false;
        }
        ++answered;
    }
}

int PosixSimServer::serveOnce(int timeoutMs) {
    if (listener_ < 0) {
        return -1;
    }
    std::vector<pollfd>& entries = pollEntries_;
    entries.clear();
    entries.push_back({listener_, POLLIN, 0});
    for (const Client& client : clients_) {
        entries.push_back({client.fd, POLLIN, 0});
    }
    if (watched_ >= 0) entries.push_back({watched_, POLLIN, 0});
    const int ready = poll(entries.data(), entries.size(), timeoutMs);
    if (ready <= 0) {
        return 0;
    }
    int answered = 0;
    // Existing clients first (the entries match clients_ before any new one is accepted).
    for (size_t i = 0; i < clients_.size(); ++i) {
        const short events = entries[i + 1].revents;
        if (events == 0) {
            continue;
        }
        if (!serveClient(clients_[i], answered) || (events & (POLLHUP | POLLERR)) != 0) {
            dropClient(clients_[i]);
        }
    }
    std::erase_if(clients_, [](const Client& client) { return client.fd < 0; });
    if ((entries[0].revents & POLLIN) != 0) {
        acceptClients();
    }
    return answered;
}
