#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "TableOffsetSpace.h"
#include "platform/Clock.h"
#include "InProcessSimTransport.h"
#include "simlink/SimLink.h"
#include "platform/SimWire.h"

namespace {

class SimLinkTest : public ::testing::Test {
protected:
    // Each call returns the result code, after checking that the boolean agrees with it.
    uint32_t check(bool ok) {
        EXPECT_EQ(ok, result == SIM_OK) << simResultText(result);
        return result;
    }
    uint32_t openCode(uint32_t requested = 0) { return check(link.open(requested, result)); }
    uint32_t readCode(uint32_t offset, uint32_t size, void* to) {
        return check(link.read(offset, size, to, result));
    }
    uint32_t writeCode(uint32_t offset, uint32_t size, const void* from) {
        return check(link.write(offset, size, from, result));
    }
    uint32_t processCode() { return check(link.process(result)); }

    TableOffsetSpace space;
    ManualClock clock;
    InProcessSimTransport transport{&space, &clock};
    SimLink link{&transport};
    uint32_t result = 99;
};

TEST_F(SimLinkTest, OpenAnnouncesTheClientAndOpenWhileOpenKeepsTheLink) {
    uint32_t value = 0;
    EXPECT_EQ(readCode(0x0580, 4, &value), SIM_ERR_NOTOPEN);
    EXPECT_EQ(writeCode(0x0580, 4, &value), SIM_ERR_NOTOPEN);
    EXPECT_EQ(processCode(), SIM_ERR_NOTOPEN);

    transport.pid = 0xABCDEF;
    ASSERT_EQ(openCode(), SIM_OK);
    EXPECT_EQ(link.simulatorVersion(), 0x000Cu);  // only the low half stays
    EXPECT_STREQ(link.blockName(), "FsasmLib:IPC:ABCDEF:1");
    // One pass carrying the library number 1004, then the 100 ms wait.
    EXPECT_EQ(transport.requestCount, 1);
    ASSERT_EQ(space.writes.size(), 1u);
    EXPECT_EQ(space.writes[0].offset, 0x330Au);
    EXPECT_EQ(space.writes[0].data, (std::vector<uint8_t>{0xEC, 0x03}));
    EXPECT_EQ(clock.processMillis(), 100);
    EXPECT_EQ(processCode(), SIM_ERR_NODATA);
    EXPECT_EQ(writeCode(0x0BB6, 2, nullptr), SIM_ERR_DATA);  // nothing to copy from
    EXPECT_EQ(link.queuedBytes(), 0u);

    EXPECT_EQ(openCode(), SIM_ERR_OPEN);
    EXPECT_STREQ(link.blockName(), "FsasmLib:IPC:ABCDEF:1");
    EXPECT_TRUE(transport.blockExists());
    EXPECT_EQ(transport.requestCount, 1);

    EXPECT_TRUE(link.close());
    EXPECT_FALSE(transport.blockExists());
    EXPECT_FALSE(transport.serverHeld());
    EXPECT_TRUE(link.close());  // closing twice is harmless
    // Even if the first block were still around, the next open names a different one.
    transport.existingBlocks.insert("FsasmLib:IPC:ABCDEF:1");
    ASSERT_EQ(openCode(), SIM_OK);
    EXPECT_STREQ(link.blockName(), "FsasmLib:IPC:ABCDEF:2");
}

TEST_F(SimLinkTest, FailedOpensReleaseEverythingTheyTook) {
    transport.kind = SimServerKind::None;
    EXPECT_EQ(openCode(), SIM_ERR_NOFS);
    transport.kind = SimServerKind::Full;
    transport.refuseMessage = true;
    EXPECT_EQ(openCode(), SIM_ERR_REGMSG);
    EXPECT_EQ(link.openCounter(), 0u);  // the counter moves only once a block is to be named
    EXPECT_FALSE(transport.serverHeld());

    transport.refuseMessage = false;
    transport.existingBlocks.insert("FsasmLib:IPC:1A2B:1");
    EXPECT_EQ(openCode(), SIM_ERR_MAP);
    EXPECT_FALSE(transport.blockExists());
    EXPECT_FALSE(transport.serverHeld());
    transport.refuseMapping = true;
    EXPECT_EQ(openCode(), SIM_ERR_VIEW);
    EXPECT_FALSE(transport.blockExists());
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(transport.requestCount, 0);

    transport.refuseMapping = false;
    ASSERT_EQ(openCode(), SIM_OK);
    EXPECT_STREQ(link.blockName(), "FsasmLib:IPC:1A2B:3");
}

TEST_F(SimLinkTest, VersionWordsDecideAcceptanceAndTheError) {
    space.set32(0x3308, 0xBEEF000C);  // not the server's mark
    transport.kind = SimServerKind::NetworkClient;
    EXPECT_EQ(openCode(), SIM_ERR_RUNNING);
    EXPECT_FALSE(transport.blockExists());
    transport.kind = SimServerKind::Full;
    EXPECT_EQ(openCode(), SIM_ERR_VERSION);

    space.set32(0x3308, 0xFADE000C);
    space.set32(0x3304, 0x19980004);  // one below the oldest accepted server
    EXPECT_EQ(openCode(), SIM_ERR_VERSION);
    space.set32(0x3304, 0x19980005);
    EXPECT_EQ(openCode(0x000B), SIM_ERR_WRONGFS);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(openCode(0x000C), SIM_OK);
}

TEST_F(SimLinkTest, OpenWaitsUpToFivePassesForTheVersions) {
    space.set32(0x3304, 0);  // no version yet
    EXPECT_EQ(openCode(), SIM_ERR_VERSION);
    EXPECT_EQ(transport.requestCount, 5);
    EXPECT_EQ(clock.processMillis(), 500);
    EXPECT_EQ(space.writes.size(), 1u);  // the library number goes with the first pass only

    // A server that fills its version in only on the third pass is accepted then.
    int requests = 0;
    transport.beforeAnswer = [&](uint8_t*, size_t) {
        if (++requests == 3) space.set32(0x3304, 0x19980005);
    };
    EXPECT_EQ(openCode(), SIM_OK);
    EXPECT_EQ(requests, 3);
    EXPECT_EQ(clock.processMillis(), 500 + 300);
}

TEST_F(SimLinkTest, ExchangeRetriesNineTimesThenReportsWhy) {
    ASSERT_EQ(openCode(), SIM_OK);
    const int64_t start = clock.processMillis();
    space.set32(0x0580, 7);
    uint32_t heading = 0xDEADBEEF;

    transport.answer = InProcessSimTransport::Answer::Never;
    readCode(0x0580, 4, &heading);
    EXPECT_EQ(processCode(), SIM_ERR_TIMEOUT);
    EXPECT_EQ(transport.requestCount, 1 + 9);
    EXPECT_EQ(clock.processMillis() - start, 9 * (2000 + 100));
    EXPECT_EQ(heading, 0xDEADBEEFu);
    EXPECT_TRUE(link.isOpen());  // a failed exchange does not close the link
    EXPECT_EQ(link.queuedBytes(), 0u);

    transport.answer = InProcessSimTransport::Answer::Undeliverable;
    readCode(0x0580, 4, &heading);
    EXPECT_EQ(processCode(), SIM_ERR_SENDMSG);
    EXPECT_EQ(transport.requestCount, 1 + 18);

    // Eight silent attempts are still within the rule: the ninth answer counts.
    transport.answer = InProcessSimTransport::Answer::Normally;
    transport.unansweredRequests = 8;
    const int64_t before = clock.processMillis();
    readCode(0x0580, 4, &heading);
    EXPECT_EQ(processCode(), SIM_OK);
    EXPECT_EQ(heading, 7u);
    EXPECT_EQ(clock.processMillis() - before, 8 * (2000 + 100));

    // An open against a silent server fails with the exchange's code and closes again.
    link.close();
    transport.answer = InProcessSimTransport::Answer::Never;
    EXPECT_EQ(openCode(), SIM_ERR_TIMEOUT);
    EXPECT_FALSE(transport.blockExists());
}

TEST_F(SimLinkTest, AServerThatWentAwayIsNotRetriedAndOpenNoLongerSaysAlreadyOpen) {
    ASSERT_EQ(openCode(), SIM_OK);
    space.set32(0x0580, 7);
    uint32_t heading = 0xDEADBEEF;
    transport.stopServer();
    const int requests = transport.requestCount;
    const int64_t start = clock.processMillis();
    readCode(0x0580, 4, &heading);
    EXPECT_EQ(processCode(), SIM_ERR_SENDMSG);
    EXPECT_EQ(transport.requestCount, requests + 1);  // one attempt, no 100 ms pauses
    EXPECT_EQ(clock.processMillis(), start);
    EXPECT_EQ(heading, 0xDEADBEEFu);

    // The open check releases the dead link and finds no server.
    EXPECT_EQ(openCode(), SIM_ERR_NOFS);
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(transport.blockExists());
    EXPECT_FALSE(transport.serverHeld());

    // A server started again is linked afresh, under a new block name; until then, and
    // after, a live link still answers "already open".
    transport.startServer();
    EXPECT_EQ(openCode(), SIM_OK);
    EXPECT_STREQ(link.blockName(), "FsasmLib:IPC:1A2B:2");
    EXPECT_EQ(openCode(), SIM_ERR_OPEN);
    transport.stopServer();
    transport.startServer();  // a restart between two checks
    EXPECT_EQ(openCode(), SIM_OK);
    EXPECT_STREQ(link.blockName(), "FsasmLib:IPC:1A2B:3");
    readCode(0x0580, 4, &heading);
    EXPECT_EQ(processCode(), SIM_OK);
    EXPECT_EQ(heading, 7u);
}

TEST_F(SimLinkTest, RecordsArePackedBackToBackWithZeroedReadAreas) {
    ASSERT_EQ(openCode(), SIM_OK);
    // A first exchange leaves server data in the block where the next batch's read goes.
    const uint8_t latitude[8] = {1, 2, 3, 4, 5, 6, 7, 0x80};
    space.set(0x0560, latitude, 8);
    uint8_t lat[8] = {};
    readCode(0x0560, 8, lat);
    ASSERT_EQ(processCode(), SIM_OK);

    std::vector<uint8_t> sent;
    transport.beforeAnswer = [&](uint8_t* block, size_t) { sent.assign(block, block + 80); };
    const int16_t aileron = -1638;
    uint8_t second = 0;
    uint32_t sentinel = 0xCAFEF00D;
    space.set(0x023A, "\x2A", 1);
    readCode(0x0560, 8, lat);
    writeCode(0x0BB6, 2, &aileron);
    readCode(0x023A, 1, &second);
    readCode(0x0580, 0, &sentinel);  // a size-0 read: a bare header, nothing copied
    EXPECT_EQ(link.queuedBytes(), 24u + 14u + 17u + 16u);
    ASSERT_EQ(processCode(), SIM_OK);

    // Hand-packed: read (id 1, offset, size, [client field], 8 zero bytes), write (id 2,
    // offset, size, -1638 little-endian), read of one byte, read of none, terminator.
    const std::vector<uint8_t> expected = {
        1, 0, 0, 0,    0x60, 0x05, 0, 0, 8, 0,    0,    0,    0,    0, 0, 0, 0, 0,    0,    0, 0, 0, 0, 0, 2,
        0, 0, 0, 0xB6, 0x0B, 0,    0, 2, 0, 0,    0,    0x9A, 0xF9, 1, 0, 0, 0, 0x3A, 0x02, 0, 0, 1, 0, 0, 0,
        0, 0, 0, 0,    0,    1,    0, 0, 0, 0x80, 0x05, 0,    0,    0, 0, 0, 0, 0,    0,    0, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < expected.size(); ++i) {
        const bool clientField = (i >= 12 && i < 16) || (i >= 50 && i < 54) || (i >= 67 && i < 71);
        if (!clientField) {
            EXPECT_EQ(sent[i], expected[i]) << "byte " << i;
        }
    }
    EXPECT_EQ(std::memcmp(lat, latitude, 8), 0);
    EXPECT_EQ(second, 0x2A);
    EXPECT_EQ(sentinel, 0xCAFEF00Du);
    EXPECT_EQ(space.writes.back().data, (std::vector<uint8_t>{0x9A, 0xF9}));
}

TEST_F(SimLinkTest, BatchLimitCountsTheTerminator) {
    ASSERT_EQ(openCode(), SIM_OK);
    // The largest single read: 16 + 32492 + 4 = 32512.
    std::vector<uint8_t> big(32492, 0x55);
    space.set(0x10000 + 32491, "\x22", 1);
    ASSERT_EQ(readCode(0x10000, 32492, big.data()), SIM_OK);
    uint32_t spare = 0;
    EXPECT_EQ(readCode(0x0580, 0, &spare), SIM_ERR_SIZE);
    EXPECT_EQ(writeCode(0x0580, 0, &spare), SIM_ERR_SIZE);
    ASSERT_EQ(processCode(), SIM_OK);
    EXPECT_EQ(big[0], 0);
    EXPECT_EQ(big.back(), 0x22);
    EXPECT_EQ(readCode(0x10000, 32493, big.data()), SIM_ERR_SIZE);

    // A read and a write that end exactly at the limit, then the same with one byte more.
    std::vector<uint8_t> payload(32381, 0x77);
    uint8_t small[100] = {};
    readCode(0x0560, 100, small);
    ASSERT_EQ(writeCode(0x20000, 32380, payload.data()), SIM_OK);
    EXPECT_EQ(link.queuedBytes() + 4, 32512u);
    ASSERT_EQ(processCode(), SIM_OK);
    EXPECT_EQ(space.writes.back().data.size(), 32380u);
    small[0] = 0xEE;
    readCode(0x0560, 100, small);
    EXPECT_EQ(writeCode(0x20000, 32381, payload.data()), SIM_ERR_SIZE);
    EXPECT_EQ(link.queuedBytes(), 116u);  // what was queued stays queued
    ASSERT_EQ(processCode(), SIM_OK);
    EXPECT_EQ(small[0], 0);

    // Sizes near the top of the 32-bit range must not wrap around the limit check.
    EXPECT_EQ(readCode(0x0560, 0xFFFFFFFFu, small), SIM_ERR_SIZE);
    EXPECT_EQ(writeCode(0x0560, 0xFFFFFFF0u, payload.data()), SIM_ERR_SIZE);
}

// A fixed batch: a read of 8 bytes at block position 0, a write of 2 bytes at 24, a read of
// 4 bytes at 38, the terminator at 58.
class SimLinkReplyTest : public SimLinkTest {
protected:
    void SetUp() override {
        ASSERT_EQ(openCode(), SIM_OK);
        space.set(0x0560, "\x09\x09\x09\x09\x09\x09\x09\x09", 8);
        space.set32(0x0580, 0x11223344);
    }
    uint32_t queueAndProcess() {
        std::memset(lat, 0xA5, sizeof(lat));
        heading = 0xA5A5A5A5;
        const int16_t aileron = 100;
        readCode(0x0560, 8, lat);
        writeCode(0x0BB6, 2, &aileron);
        readCode(0x0580, 4, &heading);
        return processCode();
    }
    bool destinationsUntouched() const {
        return std::all_of(lat, lat + 8, [](uint8_t b) { return b == 0xA5; }) && heading == 0xA5A5A5A5;
    }

    uint8_t lat[8] = {};
    uint32_t heading = 0;
};

TEST_F(SimLinkReplyTest, ReplyOtherThanOneLeavesEveryDestinationUntouched) {
    for (uint32_t reply : {0u, 2u, 0xFFFFFFFFu}) {
        transport.replyOverride = reply;
        EXPECT_EQ(queueAndProcess(), SIM_ERR_DATA) << reply;
        EXPECT_TRUE(destinationsUntouched()) << reply;
    }
    transport.replyOverride.reset();
    EXPECT_EQ(queueAndProcess(), SIM_OK);
    EXPECT_EQ(heading, 0x11223344u);
}

TEST_F(SimLinkReplyTest, AReturnedBlockThatDiffersFromTheBatchIsNotUsedAtAll) {
    using simwire::put32;
    const std::vector<std::pair<const char*, std::function<void(uint8_t*)>>> corruptions = {
        {"huge size of the first read", [](uint8_t* b) { put32(b + 8, 0x7FFFFFFF); }},
        {"size of the last read grown by one", [](uint8_t* b) { put32(b + 38 + 8, 5); }},
        {"size of the last read past the block", [](uint8_t* b) { put32(b + 38 + 8, 0xFFFFFFF0); }},
        {"unknown id on the write", [](uint8_t* b) { put32(b + 24, 7); }},
        {"first read turned into a write", [](uint8_t* b) { put32(b, 2); }},
        {"last read ended early", [](uint8_t* b) { put32(b + 38, 0); }},
        {"offset of the first read changed", [](uint8_t* b) { put32(b + 4, 0x0561); }},
        {"client field of the last read changed", [](uint8_t* b) { put32(b + 38 + 12, 0x0804A000); }},
        {"terminator overwritten", [](uint8_t* b) { put32(b + 58, 1); }},
    };
    for (const auto& [what, corrupt] : corruptions) {
        transport.afterAnswer = [&corrupt = corrupt](uint8_t* block, size_t) { corrupt(block); };
        EXPECT_EQ(queueAndProcess(), SIM_ERR_DATA) << what;
        EXPECT_TRUE(destinationsUntouched()) << what;
    }

    // The data areas are the server's to fill: changing them is no corruption.
    transport.afterAnswer = [](uint8_t* block, size_t) {
        block[16] = 0x42;  // first byte of the first read's data
        block[36] = 0x00;  // the write's data
    };
    EXPECT_EQ(queueAndProcess(), SIM_OK);
    EXPECT_EQ(lat[0], 0x42);
    EXPECT_EQ(lat[1], 9);
    EXPECT_EQ(heading, 0x11223344u);
}

}  // namespace
