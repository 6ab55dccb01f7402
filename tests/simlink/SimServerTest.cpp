#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "TableOffsetSpace.h"
#include "simlink/SimLink.h"
#include "SimServer.h"
#include "platform/SimWire.h"

namespace {

using simwire::get32;
using simwire::put32;

// Packs request records by hand, the way a client would; each call returns the record's
// position in the block.
class RequestBuilder {
public:
    explicit RequestBuilder(uint8_t* block) : block_(block) {}
    size_t record(uint32_t id, uint32_t offset, uint32_t size, const void* data = nullptr) {
        const size_t at = pos_;
        const size_t header = id == 1 ? 16 : 12;
        put32(block_ + at, id);
        put32(block_ + at + 4, offset);
        put32(block_ + at + 8, size);
        put32(block_ + at + 12, 0);
        if (data != nullptr) std::memcpy(block_ + at + header, data, size);
        pos_ += header + size;
        return at;
    }
    size_t end() {
        put32(block_ + pos_, 0);
        return pos_ + 4;
    }
    size_t position() const { return pos_; }

private:
    uint8_t* block_;
    size_t pos_ = 0;
};

class SimServerWalk : public ::testing::Test {
protected:
    uint32_t answer() { return answerRequestBlock(block.data(), block.size(), space); }

    std::vector<uint8_t> block = std::vector<uint8_t>(kSimBlockSize, 0xCD);
    TableOffsetSpace space;
};

TEST_F(SimServerWalk, PerformsRecordsInOrderAndTouchesNothingElse) {
    space.set32(0x0580, 0xA1B2C3D4);
    RequestBuilder b(block.data());
    const uint32_t altitude = 0x00C80000;
    const size_t before = b.record(1, 0x07D4, 4);
    b.record(2, 0x07D4, 4, &altitude);
    const size_t after = b.record(1, 0x07D4, 4);
    const size_t heading = b.record(1, 0x0580, 4);
    const size_t unknown = b.record(1, 0x9000, 3);
    const size_t used = b.end();

    EXPECT_EQ(answer(), kSimReplyDone);
    EXPECT_EQ(get32(block.data() + before + 16), 0u);  // read before the write: the old value
    EXPECT_EQ(get32(block.data() + after + 16), 0x00C80000u);
    EXPECT_EQ(get32(block.data() + heading + 16), 0xA1B2C3D4u);
    EXPECT_EQ(block[unknown + 16], 0);
    ASSERT_EQ(space.writes.size(), 1u);
    EXPECT_EQ(space.writes[0].offset, 0x07D4u);
    EXPECT_TRUE(std::all_of(block.begin() + used, block.end(), [](uint8_t v) { return v == 0xCD; }));
}

TEST_F(SimServerWalk, ABadRecordRefusesTheWholeBatchBeforeAnythingIsDone) {
    struct Case {
        const char* what;
        uint32_t id;
        uint32_t size;
    };
    const Case cases[] = {
        {"unknown id", 3, 4},
        {"id with high bits", 0x80000001, 4},
        {"read size past the block", 1, 0xFFFFFFF0},
        {"read size one past the usable part", 1, kSimBlockUsable - 34 - 16 - 4 + 1},
        {"write size past the usable part", 2, kSimBlockUsable},
    };
    const uint16_t aileron = 0x1234;
    for (const Case& c : cases) {
        space.writes.clear();
        space.readCount = 0;
        RequestBuilder b(block.data());
        b.record(2, 0x0BB6, 2, &aileron);
        b.record(1, 0x0580, 4);
        b.record(c.id, 0x0560, 0);
        put32(block.data() + 34 + 8, c.size);
        EXPECT_EQ(answer(), kSimReplyRejected) << c.what;
        EXPECT_TRUE(space.writes.empty()) << c.what;
        EXPECT_EQ(space.readCount, 0) << c.what;
    }
}

TEST_F(SimServerWalk, TheTerminatorMustFitInTheUsablePart) {
    // One read that ends exactly where the terminator still fits: 16 + n + 4 = 32512.
    const uint32_t fits = kSimBlockUsable - 16 - 4;
    RequestBuilder(block.data()).record(1, 0x0560, fits);
    put32(block.data() + 16 + fits, 0);
    EXPECT_EQ(answer(), kSimReplyDone);
    // Four bytes longer: no room left to end the batch, whatever lies beyond the usable part.
    RequestBuilder(block.data()).record(1, 0x0560, fits + 4);
    put32(block.data() + kSimBlockUsable, 0);
    EXPECT_EQ(answer(), kSimReplyRejected);
}

TEST_F(SimServerWalk, ShortBuffersAreNeverReadPastTheirEnd) {
    // Exactly sized heap buffers holding a 4-byte read, so the sanitizer sees any overrun;
    // 16 + 4 + terminator needs 24 bytes.
    for (size_t size : {0, 3, 4, 11, 19, 20, 23, 24}) {
        auto buffer = std::make_unique<uint8_t[]>(std::max<size_t>(size, 1));
        std::vector<uint8_t> full(24, 0);
        put32(full.data(), 1);
        put32(full.data() + 8, 4);
        std::memcpy(buffer.get(), full.data(), size);
        EXPECT_EQ(answerRequestBlock(buffer.get(), size, space),
                  size == 24 ? kSimReplyDone : kSimReplyRejected)
            << size;
    }
    EXPECT_EQ(answerRequestBlock(nullptr, 100, space), kSimReplyRejected);
}

}  // namespace
