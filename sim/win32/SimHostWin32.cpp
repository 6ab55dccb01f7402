#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

#include "SimHost.h"
#include "SimWin32Server.h"

struct SimHostServer::Impl {
    explicit Impl(OffsetSpace& space) : server(space) {}
    SimWin32Server server;
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
    return "window class UIPCMAIN";
}

namespace {

std::atomic<bool> stopFlag{false};

BOOL WINAPI onConsoleControl(DWORD) {
    stopFlag.store(true);
    return TRUE;
}

}  // namespace

void installStopHandlers() {
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

bool stopRequested() {
    return stopFlag.load();
}

// Standard input may be a console or a pipe, neither of which can be polled the same way:
// a reader thread hands over whole lines. It is left blocked in its read at the end (the
// process ends with it).
struct ConsoleInput::Impl {
    std::mutex lock;
    std::vector<std::string> lines;
    bool ended = false;
    std::thread reader;
};

ConsoleInput::ConsoleInput() : impl_(std::make_unique<Impl>()) {
    Impl* impl = impl_.get();
    impl->reader = std::thread([impl] {
        std::string line;
        char chunk[512];
        while (std::fgets(chunk, sizeof chunk, stdin) != nullptr) {
            line += chunk;
            if (line.empty() || line.back() != '\n') {
                if (line.size() > 4096) line.clear();  // nobody types that much on one line
                continue;
            }
            line.pop_back();
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::lock_guard<std::mutex> hold(impl->lock);
            impl->lines.push_back(line);
            line.clear();
        }
        std::lock_guard<std::mutex> hold(impl->lock);
        impl->ended = true;
    });
}

ConsoleInput::~ConsoleInput() {
    if (impl_->reader.joinable()) impl_->reader.detach();
    // The detached reader may still touch the state: keep it for the life of the process.
    impl_.release();
}

bool ConsoleInput::poll(std::vector<std::string>& lines) {
    std::lock_guard<std::mutex> hold(impl_->lock);
    for (std::string& line : impl_->lines) lines.push_back(std::move(line));
    impl_->lines.clear();
    return !impl_->ended || !lines.empty();
}
