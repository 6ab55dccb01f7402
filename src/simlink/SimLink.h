#pragma once

#include <cstdint>
#include <vector>

#include "platform/SimTransport.h"

// Result codes of every link operation (texts in simResultText).
enum SimResult : uint32_t {
    SIM_OK = 0,
    SIM_ERR_OPEN = 1,  // already open
    SIM_ERR_NOFS = 2,  // no server found
    SIM_ERR_REGMSG = 3,
    SIM_ERR_ATOM = 4,
    SIM_ERR_MAP = 5,
    SIM_ERR_VIEW = 6,
    SIM_ERR_VERSION = 7,
    SIM_ERR_WRONGFS = 8,
    SIM_ERR_NOTOPEN = 9,
    SIM_ERR_NODATA = 10,
    SIM_ERR_TIMEOUT = 11,
    SIM_ERR_SENDMSG = 12,
    SIM_ERR_DATA = 13,
    SIM_ERR_RUNNING = 14,
    SIM_ERR_SIZE = 15,
};

const char* simResultText(uint32_t code);

// Size of the shared request block and the part of it a batch may use (terminator included).
constexpr uint32_t kSimBlockSize = 0x8000;
constexpr uint32_t kSimBlockUsable = 0x7F00;

// Client side of the simulator protocol: requests for numbered simulator offsets are queued
// into the shared block and handed to the server in one exchange by process(). Every
// operation returns true on success and stores its result code in `result`. A failed
// process() writes no destination at all. open() on an open link answers "already open"
// only while the server is still there; a link whose server has gone away is released and
// opened anew, and process() on it fails at once instead of retrying. One link per process,
// used only from the main thread; its transport must outlive it while it is open (the
// destructor closes the link).
class SimLink {
public:
    SimLink() = default;
    explicit SimLink(SimTransport* transport) : transport_(transport) {}
    ~SimLink();
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    void setTransport(SimTransport* transport) { transport_ = transport; }

    bool open(uint32_t requestedSimVersion, uint32_t& result);
    bool close();
    bool read(uint32_t offset, uint32_t size, void* destination, uint32_t& result);
    bool write(uint32_t offset, uint32_t size, const void* source, uint32_t& result);
    bool process(uint32_t& result);

    bool isOpen() const { return view_ != nullptr; }
    uint32_t serverVersion() const { return serverVersion_; }
    uint32_t simulatorVersion() const { return simulatorVersion_; }
    // Incremented by every open that gets as far as naming its block; never reset.
    uint32_t openCounter() const { return openCounter_; }
    // The name of the block of the current (or last attempted) open.
    const char* blockName() const { return blockName_; }
    SimServerKind serverKind() const { return serverKind_; }
    // Bytes of the block the queued records use (the terminator not counted).
    uint32_t queuedBytes() const { return next_; }

private:
    // What the link remembers of every queued record: the block is shared with another
    // process, so the reply is checked against this and read data goes only to the
    // destinations kept here, never to anything found in the block.
    struct QueuedRecord {
        uint32_t position;
        uint32_t id;
        uint32_t offset;
        uint32_t size;
        void* destination;
    };

    bool fail(uint32_t code, uint32_t& result);
    bool replyMatchesBatch(uint32_t batchEnd) const;

    SimTransport* transport_ = nullptr;
    SimServerKind serverKind_ = SimServerKind::None;
    bool messageRegistered_ = false;
    bool blockCreated_ = false;
    uint8_t* view_ = nullptr;
    uint32_t next_ = 0;  // offset of the next record within the block
    uint32_t openCounter_ = 0;
    uint32_t serverVersion_ = 0;
    uint32_t simulatorVersion_ = 0;
    char blockName_[40] = {};
    std::vector<QueuedRecord> queued_;
};
