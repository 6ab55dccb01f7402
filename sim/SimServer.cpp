#include "SimServer.h"

#include <algorithm>

#include "simlink/SimLink.h"
#include "platform/SimWire.h"

namespace {

// One pass over the records. With `space` null it only checks that every record is
// well-formed and lies inside the usable part; otherwise it also performs them. Both passes
// bound every access, so a block changed between them still cannot lead outside it.
bool walkRequests(uint8_t* block, size_t usable, OffsetSpace* space) {
    size_t pos = 0;
    for (;;) {
        if (usable - pos < 4) {
            return false;  // no room left for the terminator
        }
        const uint32_t id = simwire::get32(block + pos);
        if (id == 0) {
            return true;
        }
        const size_t header = id == 1 ? 16 : id == 2 ? 12 : 0;
        if (header == 0 || usable - pos < header) {
            return false;
        }
        const uint32_t offset = simwire::get32(block + pos + 4);
        const uint32_t size = simwire::get32(block + pos + 8);
        if (size > usable - pos - header) {
            return false;
        }
        if (space != nullptr && size != 0) {
            if (id == 1) {
                space->readOffset(offset, block + pos + header, size);
            } else {
                space->writeOffset(offset, block + pos + header, size);
            }
        }
        pos += header + size;
    }
}

}  // namespace

uint32_t answerRequestBlock(uint8_t* block, size_t blockSize, OffsetSpace& space) {
    if (block == nullptr) {
        return kSimReplyRejected;
    }
    const size_t usable = std::min<size_t>(blockSize, kSimBlockUsable);
    // A bad batch is refused as a whole: nothing of it is performed.
    if (!walkRequests(block, usable, nullptr)) {
        return kSimReplyRejected;
    }
    return walkRequests(block, usable, &space) ? kSimReplyDone : kSimReplyRejected;
}
