#include "simlink/SimLink.h"

#include <bit>
#include <cstdio>
#include <cstring>

#include "simlink/SimOffsets.h"
#include "platform/SimWire.h"

// Offset values are copied into the caller's variables byte for byte, as the server stores
// them (little-endian).
static_assert(std::endian::native == std::endian::little, "the simulator protocol is little-endian");

namespace {

constexpr uint32_t kReadId = 1;
constexpr uint32_t kWriteId = 2;
constexpr uint32_t kReadHeader = 16;
constexpr uint32_t kWriteHeader = 12;
constexpr uint32_t kTerminator = 4;

constexpr int kSendAttempts = 9;
constexpr int kSendTimeoutMs = 2000;
constexpr int kRetryWaitMs = 100;
constexpr int kOpenPasses = 5;
constexpr int kOpenPassWaitMs = 100;

constexpr uint32_t kServerVersionOffset = simvar::kServerVersion.offset;
constexpr uint32_t kSimVersionOffset = simvar::kSimulatorVersion.offset;
constexpr uint32_t kClientVersionOffset = simvar::kClientLibVersion.offset;
constexpr uint16_t kClientLibraryVersion = 1004;
constexpr uint32_t kMinServerVersion = 0x19980005;
constexpr uint32_t kSimVersionMark = 0xFADE;

const char* const kResultTexts[] = {
    "Okay",
    "Attempt to Open when already Open",
    "Cannot link to FSUIPC or WideClient",
    "Failed to Register common message with Windows",
    "Failed to create Atom for mapping filename",
    "Failed to create a file mapping object",
    "Failed to open a view to the file map",
    "Incorrect version of FSUIPC, or not FSUIPC",
    "Sim is not version requested",
    "Call cannot execute, link not Open",
    "Call cannot execute: no requests accumulated",
    "IPC timed out all retries",
    "IPC sendmessage failed all retries",
    "IPC request contains bad data",
    "Maybe running on WideClient, but FS not running on Server, or wrong FSUIPC",
    "Read or Write request cannot be added, memory for Process is full",
};

}  // namespace

const char* simResultText(uint32_t code) {
    if (code >= sizeof(kResultTexts) / sizeof(kResultTexts[0])) {
        return "Unknown result code";
    }
    return kResultTexts[code];
}

SimLink::~SimLink() {
    if (view_ != nullptr || serverKind_ != SimServerKind::None) {
        close();
    }
}

bool SimLink::fail(uint32_t code, uint32_t& result) {
    result = code;
    return false;
}

bool SimLink::open(uint32_t requestedSimVersion, uint32_t& result) {
    if (view_ != nullptr) {
        // A link whose server has gone away is open in name only: it is released and a new
        // link is opened in its place, so that the caller learns whether a server is there.
        if (!transport_->serverLost()) {
            return fail(SIM_ERR_OPEN, result);
        }
        close();
    }
    serverVersion_ = 0;
    simulatorVersion_ = 0;
    serverKind_ = transport_ != nullptr ? transport_->findServer() : SimServerKind::None;
    if (serverKind_ == SimServerKind::None) {
        return fail(SIM_ERR_NOFS, result);
    }
    if (!transport_->registerMessage()) {
        close();
        return fail(SIM_ERR_REGMSG, result);
    }
    messageRegistered_ = true;

    // A new name for every attempt, so that a block left behind by an earlier open of this
    // process never collides with this one.
    ++openCounter_;
    std::snprintf(blockName_, sizeof(blockName_), "FsasmLib:IPC:%X:%X", transport_->processId(),
                  openCounter_);

    if (transport_->createBlock(blockName_, kSimBlockSize) != SimBlockStatus::Created) {
        close();
        return fail(SIM_ERR_MAP, result);
    }
    blockCreated_ = true;
    view_ = transport_->mapBlock();
    if (view_ == nullptr) {
        close();
        return fail(SIM_ERR_VIEW, result);
    }
    next_ = 0;
    queued_.clear();

    const SimServerKind kind = serverKind_;
    for (int pass = 0; pass < kOpenPasses; ++pass) {
        if (serverVersion_ != 0 && simulatorVersion_ != 0) {
            break;
        }
        uint32_t code = SIM_OK;
        bool ok = read(kServerVersionOffset, 4, &serverVersion_, code) &&
                  read(kSimVersionOffset, 4, &simulatorVersion_, code);
        if (ok && pass == 0) {
            ok = write(kClientVersionOffset, 2, &kClientLibraryVersion, code);
        }
        if (ok) {
            ok = process(code);
        }
        if (!ok) {
            close();
            return fail(code, result);
        }
        transport_->sleepMs(kOpenPassWaitMs);
    }

    if (serverVersion_ < kMinServerVersion || (simulatorVersion_ >> 16) != kSimVersionMark) {
        close();
        return fail(kind == SimServerKind::NetworkClient ? SIM_ERR_RUNNING : SIM_ERR_VERSION, result);
    }
    simulatorVersion_ &= 0xFFFF;
    if (requestedSimVersion != 0 && requestedSimVersion != simulatorVersion_) {
        close();
        return fail(SIM_ERR_WRONGFS, result);
    }
    result = SIM_OK;
    return true;
}

bool SimLink::close() {
    if (transport_ != nullptr) {
        if (serverKind_ != SimServerKind::None || messageRegistered_) {
            transport_->releaseServer();
        }
        if (view_ != nullptr) {
            transport_->unmapBlock();
        }
        if (blockCreated_) {
            transport_->closeBlock();
        }
    }
    serverKind_ = SimServerKind::None;
    messageRegistered_ = false;
    view_ = nullptr;
    blockCreated_ = false;
    next_ = 0;
    queued_.clear();
    return true;
}

bool SimLink::read(uint32_t offset, uint32_t size, void* destination, uint32_t& result) {
    if (view_ == nullptr) {
        return fail(SIM_ERR_NOTOPEN, result);
    }
    if (uint64_t{next_} + size + kReadHeader + kTerminator > kSimBlockUsable) {
        return fail(SIM_ERR_SIZE, result);
    }
    uint8_t* record = view_ + next_;
    // The fourth field only numbers the record; the destination itself stays on this side.
    const uint32_t ordinal = static_cast<uint32_t>(queued_.size()) + 1;
    simwire::put32(record, kReadId);
    simwire::put32(record + 4, offset);
    simwire::put32(record + 8, size);
    simwire::put32(record + 12, ordinal);
    std::memset(record + kReadHeader, 0, size);
    queued_.push_back({next_, kReadId, offset, size, destination});
    next_ += kReadHeader + size;
    result = SIM_OK;
    return true;
}

bool SimLink::write(uint32_t offset, uint32_t size, const void* source, uint32_t& result) {
    if (view_ == nullptr) {
        return fail(SIM_ERR_NOTOPEN, result);
    }
    if (source == nullptr && size != 0) {
        return fail(SIM_ERR_DATA, result);
    }
    if (uint64_t{next_} + size + kWriteHeader + kTerminator > kSimBlockUsable) {
        return fail(SIM_ERR_SIZE, result);
    }
    uint8_t* record = view_ + next_;
    simwire::put32(record, kWriteId);
    simwire::put32(record + 4, offset);
    simwire::put32(record + 8, size);
    if (size != 0) {
        std::memcpy(record + kWriteHeader, source, size);
    }
    queued_.push_back({next_, kWriteId, offset, size, nullptr});
    next_ += kWriteHeader + size;
    result = SIM_OK;
    return true;
}

// The server may only have filled the data areas of the read records: every header must be
// as it was sent and the batch must still end where it ended. Anything else means the block
// cannot be trusted and none of it is used.
bool SimLink::replyMatchesBatch(uint32_t batchEnd) const {
    for (size_t i = 0; i < queued_.size(); ++i) {
        const QueuedRecord& rec = queued_[i];
        const uint8_t* record = view_ + rec.position;
        if (simwire::get32(record) != rec.id || simwire::get32(record + 4) != rec.offset ||
            simwire::get32(record + 8) != rec.size) {
            return false;
        }
        if (rec.id == kReadId && simwire::get32(record + 12) != i + 1) {
            return false;
        }
    }
    return simwire::get32(view_ + batchEnd) == 0;
}

bool SimLink::process(uint32_t& result) {
    if (view_ == nullptr) {
        return fail(SIM_ERR_NOTOPEN, result);
    }
    if (next_ == 0) {
        return fail(SIM_ERR_NODATA, result);
    }
    const uint32_t batchEnd = next_;
    simwire::put32(view_ + batchEnd, 0);
    next_ = 0;

    SimSendStatus status = SimSendStatus::Failed;
    uint32_t reply = 0;
    for (int attempt = 0; attempt < kSendAttempts; ++attempt) {
        status = transport_->sendRequest(blockName_, kSendTimeoutMs, reply);
        // A server that has gone away cannot answer a retry either.
        if (status == SimSendStatus::Answered || status == SimSendStatus::Lost) {
            break;
        }
        transport_->sleepMs(kRetryWaitMs);
    }

    uint32_t code = SIM_OK;
    if (status != SimSendStatus::Answered) {
        code = status == SimSendStatus::TimedOut ? SIM_ERR_TIMEOUT : SIM_ERR_SENDMSG;
    } else if (reply != 1 || !replyMatchesBatch(batchEnd)) {
        code = SIM_ERR_DATA;
    } else {
        for (const QueuedRecord& rec : queued_) {
            if (rec.id == kReadId && rec.size != 0 && rec.destination != nullptr) {
                std::memcpy(rec.destination, view_ + rec.position + kReadHeader, rec.size);
            }
        }
    }
    queued_.clear();
    result = code;
    return code == SIM_OK;
}
