#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "TableOffsetSpace.h"
#include "simlink/SimLink.h"
#include "simlink/SimServer.h"
#include "simlink/SimWire.h"

namespace {

using simwire::get32;
using simwire::put32;

// Builds request records by hand, the way a client would pack them.
class RequestBuilder {
public:
    explicit RequestBuilder(uint8_t* block) : block_(block) {}
    size_t read(uint32_t offset, uint32_t size) {
        const size_t at = pos_;
        put32(block_ + pos_, 1);
        put32(block_ + pos_ + 4, offset);
        put32(block_ + pos_ + 8, size);
        put32(block_ + pos_ + 12, 0);
        std::memset(block_ + pos_ + 16, 0, size);
        pos_ += 16 + size;
        return at;
    }
    size_t write(uint32_t offset, const void* data, uint32_t size) {
        const size_t at = pos_;
        put32(block_ + pos_, 2);
        put32(block_ + pos_ + 4, offset);
        put32(block_ + pos_ + 8, size);
        std::memcpy(block_ + pos_ + 12, data, size);
        pos_ += 12 + size;
        return at;
    }
    void end() { put32(block_ + pos_, 0); }
    size_t position() const { return pos_; }

private:
    uint8_t* block_;
    size_t pos_ = 0;
};

class SimServerWalk : public ::testing::Test {
protected:
    SimServerWalk() : block(kSimBlockSize, 0xCD) {}
    uint32_t answer() { return answerRequestBlock(block.data(), block.size(), space); }

    std::vector<uint8_t> block;
    TableOffsetSpace space;
};

TEST_F(SimServerWalk, PerformsReadsAndWritesInOrderAndLeavesTheRestAlone) {
    space.set32(0x0580, 0xA1B2C3D4);
    RequestBuilder b(block.data());
    const size_t before = b.read(0x07D4, 4);
    const uint32_t altitude = 0x00C80000;
    b.write(0x07D4, &altitude, 4);
    const size_t after = b.read(0x07D4, 4);
    const size_t heading = b.read(0x0580, 4);
    const size_t unknown = b.read(0x9000, 3);
    b.end();
    const size_t used = b.position() + 4;

    EXPECT_EQ(answer(), kSimReplyDone);
    EXPECT_EQ(get32(block.data() + before + 16), 0u);  // read before the write saw the old value
    EXPECT_EQ(get32(block.data() + after + 16), 0x00C80000u);
    EXPECT_EQ(get32(block.data() + heading + 16), 0xA1B2C3D4u);
    EXPECT_EQ(block[unknown + 16], 0);
    ASSERT_EQ(space.writes.size(), 1u);
    EXPECT_EQ(space.writes[0].offset, 0x07D4u);
    for (size_t i = used; i < block.size(); ++i) {
        ASSERT_EQ(block[i], 0xCD) << "byte " << i << " outside the batch was touched";
    }
}

TEST_F(SimServerWalk, ABadRecordRefusesTheWholeBatchBeforeAnythingIsDone) {
    const uint16_t aileron = 0x1234;
    struct Case {
        const char* what;
        uint32_t id;
        uint32_t size;
    };
    const Case cases[] = {
        {"unknown id", 3, 4},
        {"id with high bits", 0x80000001, 4},
        {"read size past the block", 1, 0xFFFFFFF0},
        {"read size one past the usable part", 1, kSimBlockUsable - 24 - 16 + 1},
        {"write size past the usable part", 2, kSimBlockUsable},
    };
    for (const Case& c : cases) {
        std::fill(block.begin(), block.end(), 0xCD);
        space.writes.clear();
        space.readCount = 0;
        RequestBuilder b(block.data());
        b.write(0x0BB6, &aileron, 2);
        b.read(0x0580, 4);
        const size_t bad = b.position();
        put32(block.data() + bad, c.id);
        put32(block.data() + bad + 4, 0x0560);
        put32(block.data() + bad + 8, c.size);
        put32(block.data() + bad + 12, 0);
        EXPECT_EQ(answer(), kSimReplyRejected) << c.what;
        EXPECT_TRUE(space.writes.empty()) << c.what;
        EXPECT_EQ(space.readCount, 0) << c.what;
    }
}

TEST_F(SimServerWalk, TheTerminatorMustFitInTheUsablePart) {
    // One read that ends exactly where the terminator still fits: 16 + n + 4 = 32512.
    const uint32_t fits = kSimBlockUsable - 16 - 4;
    RequestBuilder b(block.data());
    b.read(0x0560, fits);
    b.end();
    EXPECT_EQ(answer(), kSimReplyDone);

    // Four bytes longer: the record ends at the limit and there is no room to end the batch,
    // whatever lies beyond the usable part.
    RequestBuilder c(block.data());
    c.read(0x0560, fits + 4);
    put32(block.data() + kSimBlockUsable, 0);
    EXPECT_EQ(answer(), kSimReplyRejected);

    // A batch without any terminator, records chained to the end.
    std::fill(block.begin(), block.end(), 0);
    RequestBuilder d(block.data());
    while (d.position() + 16 + 4 <= kSimBlockUsable) {
        d.read(0x0560, 4);
    }
    put32(block.data() + d.position(), 2);  // a header that would cross the limit
    put32(block.data() + d.position() + 8, 0);
    EXPECT_EQ(answer(), kSimReplyRejected);
}

TEST_F(SimServerWalk, ShortBuffersAreNeverReadPastTheirEnd) {
    // Exactly sized heap buffers, so that the sanitizer sees any byte read past the end.
    for (size_t size : {size_t{0}, size_t{3}, size_t{4}, size_t{11}, size_t{19}, size_t{20}, size_t{40}}) {
        auto buffer = std::make_unique<uint8_t[]>(size + 1);
        uint8_t* data = buffer.get();
        std::memset(data, 0, size + 1);
        if (size >= 4) {
            put32(data, 1);  // a read whose header or data does not fit
        }
        if (size >= 12) {
            put32(data + 8, 4);
        }
        const uint32_t reply = answerRequestBlock(data, size, space);
        if (size == 40) {
            EXPECT_EQ(reply, kSimReplyDone);  // 16 + 4 + terminator fits in 40
        } else {
            EXPECT_EQ(reply, kSimReplyRejected) << size;
        }
    }
    EXPECT_EQ(answerRequestBlock(nullptr, 100, space), kSimReplyRejected);
    // An empty batch is valid and does nothing.
    std::vector<uint8_t> empty(4, 0);
    EXPECT_EQ(answerRequestBlock(empty.data(), empty.size(), space), kSimReplyDone);
    EXPECT_EQ(space.readCount, 1);
}

}  // namespace
