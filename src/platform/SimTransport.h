#pragma once

#include <cstdint>

// Which kind of simulator server answered the search: the interface module running inside
// the simulator ("UIPCMAIN") or its networked client on another PC ("FS98MAIN").
enum class SimServerKind : uint8_t { None, Full, NetworkClient };

enum class SimBlockStatus : uint8_t { Created, AlreadyExists, Failed };

// Outcome of one request message: answered (the reply value is valid), no answer within
// the time-out, the message could not be delivered, or the server has gone away (its
// connection ended, so no later attempt can reach it either).
enum class SimSendStatus : uint8_t { Answered, TimedOut, Failed, Lost };

// The operating-system services the simulator link needs: find a server, create and map the
// named request block, hand the block's name to the server and wait for its 32-bit reply,
// and sleep between attempts. One transport serves one link; only the main thread uses it.
// Sleeping and time-outs go through the transport so that test backends run without waiting.
class SimTransport {
public:
    virtual ~SimTransport() = default;

    // Looks for the full server first, then for a networked client. A found server stays
    // selected until releaseServer().
    virtual SimServerKind findServer() = 0;
    // Prepares the request message for the selected server; false when that is refused.
    virtual bool registerMessage() = 0;
    // Forgets the server and the message (safe when none is held).
    virtual void releaseServer() = 0;
    // True when the server found by findServer() has gone away since (a simulator that was
    // stopped or crashed). Answers at once, without sending anything.
    virtual bool serverLost() = 0;

    virtual uint32_t processId() = 0;

    // Creates a new block of `size` bytes under `name`, private to this link and the server,
    // whose size neither side can change once it is created; an existing block of that name
    // is never reused (AlreadyExists).
    virtual SimBlockStatus createBlock(const char* name, uint32_t size) = 0;
    // Maps the created block read-write; nullptr on failure.
    virtual uint8_t* mapBlock() = 0;
    // Both are safe when nothing is mapped / created.
    virtual void unmapBlock() = 0;
    virtual void closeBlock() = 0;

    // Asks the server to perform the batch in the block named `name` (handing the block
    // over first when the server does not hold it yet), waiting at most `timeoutMs` for its
    // reply.
    virtual SimSendStatus sendRequest(const char* name, int timeoutMs, uint32_t& reply) = 0;

    virtual void sleepMs(int ms) = 0;
};
