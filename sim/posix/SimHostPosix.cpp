#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "SimHost.h"
#include "SimPosixServer.h"

struct SimHostServer::Impl {
    explicit Impl(OffsetSpace& space) : server(space, SimServerKind::Full) {}
    PosixSimServer server;
};

SimHostServer::SimHostServer(OffsetSpace& space) : impl_(std::make_unique<Impl>(space)) {}
SimHostServer::~SimHostServer() = default;

bool SimHostServer::start(std::string& error) {
    return impl_->server.start(error);
}

int SimHostServer::serveOnce(int timeoutMs) {
    return impl_->server.serveOnce(timeoutMs);
}

void SimHostServer::stop() {
    impl_->server.stop();
}

std::string SimHostServer::address() const {
    return impl_->server.socketPath();
}

namespace {

volatile sig_atomic_t stopFlag = 0;

void onSignal(int) {
    stopFlag = 1;
}

}  // namespace

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a client that vanishes mid-reply must not end the simulator
}

bool stopRequested() {
    return stopFlag != 0;
}

struct ConsoleInput::Impl {
    std::string pending;
};

ConsoleInput::ConsoleInput() : impl_(std::make_unique<Impl>()) {}
ConsoleInput::~ConsoleInput() = default;

bool ConsoleInput::poll(std::vector<std::string>& lines) {
    pollfd entry{STDIN_FILENO, POLLIN, 0};
    if (::poll(&entry, 1, 0) <= 0) return true;
    char chunk[512];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return false;
    std::string& pending = impl_->pending;
    if (n > 0) pending.append(chunk, static_cast<size_t>(n));
    size_t newline;
    while ((newline = pending.find('\n')) != std::string::npos) {
        lines.push_back(pending.substr(0, newline));
        pending.erase(0, newline + 1);
    }
    if (pending.size() > 4096) pending.clear();  // nobody types that much on one line
    return true;
}
