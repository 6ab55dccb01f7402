#include "platform/posix/SimPosixWire.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

std::string defaultSimRuntimeDir() {
    const char* own = std::getenv("FMS_SIM_DIR");
    if (own != nullptr && own[0] == '/') {
        return own;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return std::string(runtime) + "/fms-sim";
    }
    return "/tmp/fms-sim-" + std::to_string(static_cast<unsigned long>(geteuid()));
}

bool prepareSimRuntimeDir(const std::string& dir, std::string& error) {
    if (dir.empty()) {
        error = "no folder for the simulator sockets";
        return false;
    }
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + dir + ": " + std::strerror(errno);
        return false;
    }
    // A shared folder such as /tmp could hold a planted link or someone else's folder.
    struct stat info {};
    if (lstat(dir.c_str(), &info) != 0) {
        error = "cannot inspect " + dir + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid() || (info.st_mode & 077) != 0) {
        error = dir + " is not a private folder of this user";
        return false;
    }
    return true;
}

bool simBlockNameValid(const std::string& name) {
    if (name.empty() || name.size() > kSimMaxBlockName) {
        return false;
    }
    for (char c : name) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x21 || static_cast<unsigned char>(c) > 0x7E) {
            return false;
        }
    }
    return true;
}

bool simSocketAddress(const std::string& dir, SimServerKind kind, struct sockaddr_un& address) {
    const char* file = kind == SimServerKind::NetworkClient ? kSimNetworkClientSocket : kSimFullServerSocket;
    const std::string path = dir + "/" + file;
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (kind == SimServerKind::None || path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool peerIsThisUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof(peer);
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == geteuid();
}

bool simPeerHungUp(int fd) {
    pollfd entry{fd, POLLRDHUP, 0};
    return poll(&entry, 1, 0) > 0 && (entry.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}
