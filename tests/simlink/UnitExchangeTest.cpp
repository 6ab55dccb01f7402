// The block two units share: slots, mirror, predicates and prompt rules on the in-process
// block, the start-up failures, and the POSIX block's lifetime across processes that end or
// are killed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "Harness.h"
#include "ScopedEnv.h"
#include "flightplan/FlightPlanState.h"
#include "pages/CrossFill.h"
#include "pages/PagesState.h"
#include "platform/SharedBlock.h"
#include "platform/posix/PosixSharedBlock.h"
#include "shell/Program.h"
#include "simlink/SimLinkState.h"
#include "simlink/UnitExchange.h"

namespace {

// A unit's context holding a block of `memory`, and a view of the block as the other unit.
struct ExchangeFixture : ::testing::Test {
    void start(bool unit1) {
        ASSERT_TRUE(createSharedBlock(&block, unit1));
        ASSERT_TRUE(openSharedBlock());
        ASSERT_TRUE(other.create(kSharedBlockName, kSharedBlockBytes));
        slots = reinterpret_cast<uint32_t*>(other.map());
    }
    Fms context;
    ScopedFms current{context};
    InProcessSharedMemory memory;
    InProcessSharedBlock block{memory};
    InProcessSharedBlock other{memory};
    uint32_t* slots = nullptr;
};

TEST_F(ExchangeFixture, SlotsAreWholeWordsAndOnlyTheBlocksOwn) {
    testing::internal::CaptureStdout();
    start(true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "SHARE MEMORY: Created from: FMS\n"
              "SHARE MEMORY LIB: Shared memory has been successfully created....\n");
    slots[5] = 0xFFFFFFFF;
    writeSlot(5, 1);  // zero-extended: the whole word is replaced
    writeSlot(1023, 7);
    writeSlot(1024, 9);  // outside the block: nothing
    writeSlot(-1, 9);
    EXPECT_EQ(slots[5], 1u);
    EXPECT_EQ(slots[1023], 7u);
    EXPECT_EQ(memory.blocks.begin()->second.words.size(), 1024u);

    // Unit 1 publishes into slots 0 and 8, and reads unit 2's from 1 and 9.
    publishReadyFlag(true);
    publishInitDone(true);
    EXPECT_EQ(slots[kReadySlotUnit1], 1u);
    EXPECT_EQ(slots[kInitSlotUnit1], 1u);
    EXPECT_EQ(slots[kReadySlotUnit2], 0u);
    refreshMirror();
    EXPECT_TRUE(ownReadySlot());
    EXPECT_FALSE(otherReady(true));
    slots[kReadySlotUnit2] = 1;
    EXPECT_FALSE(otherReady(true));  // not before the mirror is refreshed
    refreshMirror();
    EXPECT_TRUE(otherReady(true));
    EXPECT_FALSE(otherReady(false));
    // The mirror keeps the low byte of each slot.
    slots[kInitSlotUnit2] = 0x0201;
    refreshMirror();
    EXPECT_EQ(context.simlink.exchange.mirror[kInitSlotUnit2], 1);
    EXPECT_TRUE(otherInitDone(false));
    slots[kInitSlotUnit2] = 0x0200;
    refreshMirror();
    EXPECT_FALSE(otherInitDone(false));

    // At the end this unit's flags stay for the unit still running.
    closeSharedBlock();
    writeSlot(kReadySlotUnit1, 0);  // no block any more: nothing happens
    EXPECT_EQ(slots[kReadySlotUnit1], 1u);
    EXPECT_EQ(slots[kInitSlotUnit1], 1u);
}

TEST_F(ExchangeFixture, PromptRulesForUnit2) {
    start(false);
    struct Case {
        uint32_t otherReady, otherInit;
        bool initDone, onGround;
        bool master, xfill;
    };
    const Case cases[] = {
        {0, 0, false, true, false, false},   // a partner with nothing published
        {1, 0, false, true, true, false},    // partner ready, this unit on the ground without INIT
        {1, 0, true, true, false, false},    // ... with INIT
        {1, 0, false, false, false, false},  // ... airborne
        {0, 1, false, false, false, true},   // partner has INIT, this unit not
        {0, 1, true, true, false, false},    // both have INIT
        {1, 1, false, true, true, true},
    };
    for (const Case& c : cases) {
        slots[kReadySlotUnit1] = c.otherReady;
        slots[kInitSlotUnit1] = c.otherInit;
        refreshMirror();
        updateCrossFillPrompts(c.initDone, c.onGround);
        const UnitExchange& ex = context.simlink.exchange;
        EXPECT_EQ(ex.masterXfillPrompt, c.master) << c.otherReady << c.otherInit << c.initDone << c.onGround;
        EXPECT_EQ(ex.xfillPrompt, c.xfill) << c.otherReady << c.otherInit << c.initDone << c.onGround;
    }
    // Unit 2's own flags go to slots 1 and 9.
    publishReadyFlag(true);
    publishInitDone(true);
    EXPECT_EQ(slots[kReadySlotUnit2], 1u);
    EXPECT_EQ(slots[kInitSlotUnit2], 1u);
}

TEST_F(ExchangeFixture, ReadyForACrossFillNeedsGroundPlanFuelAndInit) {
    start(true);
    auto set = [&](bool ground, bool plan, int fuel, bool init) {
        simLinkState().aircraft.onGround = ground ? 1 : 0;
        flightPlanState().planComplete = plan;
        pagesState().fuel.fuelOnBoardLb = fuel;
        pagesState().init.initDone = init;
        publishUnitFlags();
        return slots[kReadySlotUnit1];
    };
    EXPECT_EQ(set(true, true, 4000, true), 1u);
    EXPECT_EQ(set(false, true, 4000, true), 0u);
    EXPECT_EQ(set(true, false, 4000, true), 0u);
    EXPECT_EQ(set(true, true, 0, true), 0u);
    EXPECT_EQ(set(true, true, 4000, false), 0u);
}

TEST(UnitExchangeStartUp, ABlockThatCannotBeMadeEndsTheProgramWithStatusOne) {
    for (bool refuseCreate : {true, false}) {
        Harness h;
        InProcessSharedMemory memory;
        memory.refuseCreate = refuseCreate;
        memory.refuseOpen = !refuseCreate;
        InProcessSharedBlock block(memory);
        h.context.platform.sharedBlock = &block;
        startProgram();
        testing::internal::CaptureStdout();
        EXPECT_EQ(initGraphics(), GraphicsInit::SharedMemoryFailed);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("SHARE MEMORY LIB: Unable to create a file.\n") != std::string::npos,
                  refuseCreate);
    }
}

// --- The POSIX block ---

class PosixBlock : public ::testing::Test {
protected:
    PosixBlock()
        : group_("FMS_UNIT_GROUP", groupName().c_str()), name_(posixSharedBlockName(kSharedBlockName)) {}
    ~PosixBlock() override { shm_unlink(name_.c_str()); }

    static std::string groupName() {
        static std::atomic<int> counter{0};
        return "test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    }
    bool exists() const {
        const int fd = shm_open(name_.c_str(), O_RDONLY, 0);
        if (fd < 0) return false;
        close(fd);
        return true;
    }
    // A holder of the block that sets slot `slot` and dies by SIGKILL without leaving it.
    void killedHolder(int slot) {
        const pid_t child = fork();
        if (child == 0) {
            PosixSharedBlock block;
            if (block.create(kSharedBlockName, kSharedBlockBytes)) {
                reinterpret_cast<uint32_t*>(block.map())[slot] = 1;
                raise(SIGKILL);
            }
            _exit(1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    }

    ScopedEnv group_;
    std::string name_;
};

TEST_F(PosixBlock, TwoHoldersShareOnePrivateBlockThatGoesWithTheLast) {
    EXPECT_EQ(name_.rfind("/FMSSharedMemory-" + std::to_string(geteuid()) + "-test-", 0), 0u) << name_;
    PosixSharedBlock a;
    PosixSharedBlock b;
    ASSERT_TRUE(a.create(kSharedBlockName, kSharedBlockBytes));
    ASSERT_TRUE(b.create(kSharedBlockName, kSharedBlockBytes));
    uint32_t* viewA = reinterpret_cast<uint32_t*>(a.map());
    uint32_t* viewB = reinterpret_cast<uint32_t*>(b.open(kSharedBlockName));
    ASSERT_NE(viewA, nullptr);
    ASSERT_NE(viewB, nullptr);
    viewA[8] = 1;
    EXPECT_EQ(viewB[8], 1u);

    const int fd = shm_open(name_.c_str(), O_RDONLY, 0);
    struct stat st {};
    ASSERT_EQ(fstat(fd, &st), 0);
    close(fd);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_uid, geteuid());
    EXPECT_EQ(st.st_size, 4096);

    // The first to leave leaves its flags; the last takes the block with it.
    EXPECT_TRUE(a.unmap());
    a.close();
    EXPECT_TRUE(exists());
    EXPECT_EQ(viewB[8], 1u);
    b.close();
    EXPECT_FALSE(exists());
}

TEST_F(PosixBlock, FlagsOfAKilledHolderStayWhileAnotherHoldsAndGoAfterBoth) {
    // Alone: the next holder starts from zeros.
    killedHolder(8);
    EXPECT_TRUE(exists());  // nobody could remove it
    {
        PosixSharedBlock next;
        ASSERT_TRUE(next.create(kSharedBlockName, kSharedBlockBytes));
        EXPECT_EQ(reinterpret_cast<uint32_t*>(next.map())[8], 0u);
    }
    EXPECT_FALSE(exists());

    // Beside a running holder the killed one's flag stays, as the block is still in use; once
    // that holder has gone too, a newcomer sees none of it.
    {
        PosixSharedBlock running;
        ASSERT_TRUE(running.create(kSharedBlockName, kSharedBlockBytes));
        const uint32_t* view = reinterpret_cast<uint32_t*>(running.map());
        killedHolder(9);
        EXPECT_EQ(view[9], 1u);
    }
    PosixSharedBlock later;
    ASSERT_TRUE(later.create(kSharedBlockName, kSharedBlockBytes));
    EXPECT_EQ(reinterpret_cast<uint32_t*>(later.map())[9], 0u);
}

TEST_F(PosixBlock, AnObjectOthersMayReadIsRefusedAndBadNamesGiveNoBlock) {
    const int fd = shm_open(name_.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fchmod(fd, 0644), 0);
    close(fd);
    PosixSharedBlock block;
    EXPECT_FALSE(block.create(kSharedBlockName, kSharedBlockBytes));
    EXPECT_EQ(block.map(), nullptr);

    EXPECT_EQ(posixSharedBlockName("FMS/Shared"), "");
    ScopedEnv badGroup("FMS_UNIT_GROUP", "../x");
    EXPECT_EQ(posixSharedBlockName(kSharedBlockName), "");
    EXPECT_FALSE(block.create(kSharedBlockName, kSharedBlockBytes));
}

}  // namespace
