#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/SimTransport.h"

class Clock;
class OffsetSpace;

// A simulator transport whose server is an OffsetSpace in the same process: a request runs
// answerRequestBlock on the block directly. Waits and time-outs advance the given clock
// (a ManualClock in tests) instead of passing real time; without a clock they take no time.
// The public members below let tests make the server misbehave.
class InProcessSimTransport final : public SimTransport {
public:
    enum class Answer : uint8_t {
        Normally,
        Never,          // every request times out
        Undeliverable,  // every request fails to reach the server
    };

    explicit InProcessSimTransport(OffsetSpace* server, Clock* clock = nullptr)
        : server_(server), clock_(clock) {}

    // What the search finds (None: no server running).
    SimServerKind kind = SimServerKind::Full;
    bool refuseMessage = false;
    bool refuseMapping = false;
    Answer answer = Answer::Normally;
    // The next this many requests time out; answering resumes afterwards.
    int unansweredRequests = 0;
    // Replaces the reply value of answered requests.
    std::optional<uint32_t> replyOverride;
    // Names of blocks that some other owner already holds.
    std::set<std::string> existingBlocks;
    uint32_t pid = 0x1A2B;
    // Called with the block before and after the server performs it (to corrupt it).
    std::function<void(uint8_t* block, size_t size)> beforeAnswer;
    std::function<void(uint8_t* block, size_t size)> afterAnswer;

    // What happened, for the tests to check.
    int requestCount = 0;
    int answeredCount = 0;
    int64_t waitedMs = 0;
    std::vector<std::string> createdBlocks;
    std::string lastRequestName;
    // Stops the server: the link's connection ends and searches find no server until
    // startServer() starts a new one (the ended connection stays ended).
    void stopServer() {
        serverRunning_ = false;
        connectionEnded_ = true;
    }
    void startServer() { serverRunning_ = true; }

    bool serverHeld() const { return serverHeld_; }
    bool messageHeld() const { return messageHeld_; }
    bool blockExists() const { return !blockName_.empty(); }
    bool blockMapped() const { return mapped_; }

    SimServerKind findServer() override;
    bool registerMessage() override;
    void releaseServer() override;
    bool serverLost() override { return serverHeld_ && connectionEnded_; }
    uint32_t processId() override { return pid; }
    SimBlockStatus createBlock(const char* name, uint32_t size) override;
    uint8_t* mapBlock() override;
    void unmapBlock() override { mapped_ = false; }
    void closeBlock() override;
    SimSendStatus sendRequest(const char* name, int timeoutMs, uint32_t& reply) override;
    void sleepMs(int ms) override;

private:
    OffsetSpace* server_;
    Clock* clock_;
    bool serverHeld_ = false;
    bool serverRunning_ = true;
    bool connectionEnded_ = false;
    bool messageHeld_ = false;
    bool mapped_ = false;
    std::string blockName_;
    std::vector<uint8_t> block_;
};
