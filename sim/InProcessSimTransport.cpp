#include "InProcessSimTransport.h"

#include "platform/Clock.h"
#include "SimServer.h"

SimServerKind InProcessSimTransport::findServer() {
    serverHeld_ = kind != SimServerKind::None && serverRunning_;
    connectionEnded_ = false;
    return serverHeld_ ? kind : SimServerKind::None;
}

bool InProcessSimTransport::registerMessage() {
    messageHeld_ = serverHeld_ && !refuseMessage;
    return messageHeld_;
}

void InProcessSimTransport::releaseServer() {
    serverHeld_ = false;
    messageHeld_ = false;
}

SimBlockStatus InProcessSimTransport::createBlock(const char* name, uint32_t size) {
    if (existingBlocks.count(name) != 0 || (!blockName_.empty() && blockName_ == name)) {
        return SimBlockStatus::AlreadyExists;
    }
    if (!blockName_.empty()) {
        return SimBlockStatus::Failed;  // one block per link
    }
    blockName_ = name;
    block_.assign(size, 0);
    createdBlocks.push_back(blockName_);
    return SimBlockStatus::Created;
}

uint8_t* InProcessSimTransport::mapBlock() {
    if (blockName_.empty() || refuseMapping) {
        return nullptr;
    }
    mapped_ = true;
    return block_.data();
}

void InProcessSimTransport::closeBlock() {
    blockName_.clear();
    // Released, so that a link still writing into the old block is caught by the sanitizers.
    std::vector<uint8_t>().swap(block_);
    mapped_ = false;
}

void InProcessSimTransport::sleepMs(int ms) {
    waitedMs += ms;
    if (clock_ != nullptr) {
        clock_->sleepMs(ms);
    }
}

SimSendStatus InProcessSimTransport::sendRequest(const char* name, int timeoutMs, uint32_t& reply) {
    ++requestCount;
    lastRequestName = name;
    if (serverLost()) {
        return SimSendStatus::Lost;
    }
    if (!messageHeld_ || answer == Answer::Undeliverable) {
        return SimSendStatus::Failed;
    }
    if (answer == Answer::Never || unansweredRequests > 0) {
        if (unansweredRequests > 0) {
            --unansweredRequests;
        }
        sleepMs(timeoutMs);
        return SimSendStatus::TimedOut;
    }
    // The server looks the block up by name, as a real one would.
    if (blockName_.empty() || blockName_ != name) {
        reply = kSimReplyRejected;
        ++answeredCount;
        return SimSendStatus::Answered;
    }
    if (beforeAnswer) {
        beforeAnswer(block_.data(), block_.size());
    }
    reply =
        server_ != nullptr ? answerRequestBlock(block_.data(), block_.size(), *server_) : kSimReplyRejected;
    if (afterAnswer) {
        afterAnswer(block_.data(), block_.size());
    }
    if (replyOverride) {
        reply = *replyOverride;
    }
    ++answeredCount;
    return SimSendStatus::Answered;
}
