#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/posix/PseudoTerminal.h"

// A keypad board on a pseudo-terminal: a thread answers every identification query with
// `reply` (none when empty: a silent port). A slow board sends its replies after the first
// one `laterReplyDelayMs` late.
class FakeBoard {
public:
    explicit FakeBoard(std::string reply, int laterReplyDelayMs = 0)
        : reply_(std::move(reply)), laterReplyDelayMs_(laterReplyDelayMs) {
        thread_ = std::thread([this] { run(); });
    }
    ~FakeBoard() { stop(); }
    FakeBoard(const FakeBoard&) = delete;
    FakeBoard& operator=(const FakeBoard&) = delete;

    const std::string& device() const { return pty_.slavePath(); }
    bool ok() const { return pty_.ok(); }
    int queries() const { return queries_; }
    // Bytes as the board's key scan would send them.
    bool sendKeys(const std::string& bytes) { return pty_.send(bytes); }

private:
    void stop() {
        running_ = false;
        if (thread_.joinable()) thread_.join();
    }
    void run() {
        while (running_) {
            for (char c : pty_.receive(64, 10)) {
                if (static_cast<uint8_t>(c) == 0xCE) {
                    if (++queries_ > 1 && laterReplyDelayMs_ > 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(laterReplyDelayMs_));
                    if (!reply_.empty()) pty_.send(reply_);
                }
            }
        }
    }

    PseudoTerminal pty_;
    std::string reply_;
    int laterReplyDelayMs_ = 0;
    std::atomic<bool> running_{true};
    std::atomic<int> queries_{0};
    std::thread thread_;
};
