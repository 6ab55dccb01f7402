#pragma once

#include <cstddef>
#include <cstdint>

// The server side of the simulator protocol, shared by the stand-in simulator and the
// in-process transport of the tests.

// The simulator's variables as a space of numbered offsets: reads fill `size` bytes at
// `offset`, writes apply them. Offsets the simulator does not know read as zeros.
class OffsetSpace {
public:
    virtual ~OffsetSpace() = default;
    virtual void readOffset(uint32_t offset, uint8_t* destination, uint32_t size) = 0;
    virtual void writeOffset(uint32_t offset, const uint8_t* source, uint32_t size) = 0;
};

// Reply values of an exchange: the batch was performed, or it was refused as a whole.
constexpr uint32_t kSimReplyDone = 1;
constexpr uint32_t kSimReplyRejected = 0;

// Performs the batch of request records in `block` (as the client packed it) against
// `space`: fills the data area of every read record, applies every write record, in order.
// Returns the reply value of the exchange: 1 when the whole batch was valid and performed;
// kSimReplyRejected when a record's id or size is bad or a record or the terminator runs
// past the usable part of the block. The whole batch is checked before any record is
// performed, so a refused batch changes nothing; nothing outside the block is ever touched.
uint32_t answerRequestBlock(uint8_t* block, size_t blockSize, OffsetSpace& space);
