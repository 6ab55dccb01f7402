// Two real programs side by side as unit 1 and unit 2 against one stand-in simulator, each in
// a working directory of its own: unit 2's INIT page shows XFILL once unit 1 has accepted its
// INIT and until unit 2 accepts too; the block they share goes when both have ended; and the
// flags of a unit killed outright do not outlive both units.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "GuiSession.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "platform/posix/PosixSharedBlock.h"
#include "simlink/UnitExchange.h"

namespace fs = std::filesystem;

namespace {

// One program with its window and screenshot file.
struct UnitProgram {
    UnitProgram(GuiSession& session, const fs::path& dir) : shot(dir / "shot.png") {
        program =
            std::make_unique<Child>(std::vector<std::string>{fs::path(FMS_RUN_DIR) / "fms", "--no-dialogs",
                                                             "--screenshot", shot.string()},
                                    session.env, dir, dir / "fms.log");
        found = window.find(session.display(), program->pid(), 60);
    }
    // Polls screenshots until `condition` holds on one (at most `seconds`).
    bool showsWithin(double seconds, const std::function<bool(const RgbPicture&)>& condition) {
        return waitFor(
            [&] {
                RgbPicture picture;
                return window.screenshot(shot, picture) && condition(picture);
            },
            seconds);
    }
    // The INIT page is up: "NAV DATABASE EXPIRES" in white on row 7.
    bool initShown(const RgbPicture& p) const { return window.pixels(p, 0, 7, 3, isWhiteText) > 20; }
    // "XFILL" in white at column 18 of row 6.
    int xfillPixels(const RgbPicture& p) const { return window.pixels(p, 18, 6, 5, isWhiteText); }
    bool showsInit() {
        return showsWithin(60, [&](const RgbPicture& p) { return initShown(p); });
    }
    bool showsXfill(bool shown) {
        return showsWithin(
            10, [&](const RgbPicture& p) { return initShown(p) && (xfillPixels(p) > 20) == shown; });
    }

    fs::path shot;
    std::unique_ptr<Child> program;
    CduWindow window;
    bool found = false;
};

class TwoUnits : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(fs::path(FMS_RUN_DIR) / "fms")) << "build the fms program first";
        ASSERT_TRUE(fs::exists(fs::path(FMS_RUN_DIR) / "fms-sim")) << "build fms-sim first";
        if (!session.displayReady()) GTEST_SKIP() << session.error << ": the two-unit test did not run";
        ASSERT_TRUE(session.startSimulator({"--scenario", "ksea-ground"})) << session.error;
        // Side by side on the screen, so that each click lands on its own window.
        unit1Dir = session.unitDirectory("unit1", "FMS1:yes\nx_window_position:0\n", true);
        unit2Dir = session.unitDirectory("unit2", "FMS1:no\nx_window_position:512\n", true);
    }
    void TearDown() override { shm_unlink(blockName().c_str()); }

    std::unique_ptr<UnitProgram> start(const fs::path& dir) {
        auto unit = std::make_unique<UnitProgram>(session, dir);
        EXPECT_TRUE(unit->found) << "no window appeared\n" << dir_.read(dir.filename().string() + "/fms.log");
        if (unit->found) unit->window.click("ONOFF");
        return unit;
    }
    std::string blockName() const {
        ScopedEnv groupEnv("FMS_UNIT_GROUP", session.env.at("FMS_UNIT_GROUP").c_str());
        return posixSharedBlockName(kSharedBlockName);
    }
    bool blockExists() const {
        const int fd = shm_open(blockName().c_str(), O_RDONLY, 0);
        if (fd >= 0) close(fd);
        return fd >= 0;
    }

    TempDir dir_;
    GuiSession session{dir_.path()};
    // Both units started, switched on and on their INIT pages.
    void startBothOnInit() {
        unit1 = start(unit1Dir);
        unit2 = start(unit2Dir);
        ASSERT_TRUE(unit1->found && unit2->found);
        ASSERT_TRUE(unit1->showsInit()) << dir_.read("unit1/fms.log");
        ASSERT_TRUE(unit2->showsInit()) << dir_.read("unit2/fms.log");
    }

    fs::path unit1Dir;
    fs::path unit2Dir;
    std::unique_ptr<UnitProgram> unit1;
    std::unique_ptr<UnitProgram> unit2;
};

TEST_F(TwoUnits, Unit2ShowsXfillFromUnit1sInitUntilItsOwn) {
    ASSERT_NO_FATAL_FAILURE(startBothOnInit());
    EXPECT_TRUE(unit2->showsXfill(false));
    EXPECT_TRUE(blockExists());

    unit1->window.click("L5");
    EXPECT_TRUE(unit2->showsXfill(true)) << "unit 1's INIT did not reach unit 2";
    // Unit 1 itself has its INIT: no prompt there.
    EXPECT_TRUE(unit1->showsXfill(false));
    unit2->window.click("L5");
    EXPECT_TRUE(unit2->showsXfill(false)) << "the prompt stayed after unit 2's own INIT";

    for (UnitProgram* unit : {unit1.get(), unit2.get()}) {
        unit->window.key("Escape");
        EXPECT_TRUE(unit->program->waitExit(15)) << "Escape did not end a unit";
        EXPECT_EQ(unit->program->exitStatus(), 0);
    }
    // The last unit to end took the block with it.
    EXPECT_FALSE(blockExists());
    EXPECT_NE(
        dir_.read("unit2/fms.log").find("SHARE MEMORY LIB: Shared memory has been successfully created"),
        std::string::npos);
}

TEST_F(TwoUnits, AKilledUnitsFlagsStayWhileTheOtherRunsAndGoWithBoth) {
    ASSERT_NO_FATAL_FAILURE(startBothOnInit());
    unit1->window.click("L5");
    ASSERT_TRUE(unit2->showsXfill(true));

    // Unit 1 dies without a word: its flag stays for as long as unit 2 runs.
    unit1->program->killHard();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(unit2->showsXfill(true));
    // Then unit 2 dies the same way; the block is left behind with unit 1's flag in it.
    unit2->program->killHard();
    EXPECT_TRUE(blockExists());

    // A unit 2 started afterwards has no partner: no prompt, now or a while later.
    unit2 = start(unit2Dir);
    ASSERT_TRUE(unit2->found);
    ASSERT_TRUE(unit2->showsInit()) << dir_.read("unit2/fms.log");
    EXPECT_TRUE(unit2->showsXfill(false));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    RgbPicture picture;
    ASSERT_TRUE(unit2->window.screenshot(unit2->shot, picture));
    EXPECT_EQ(unit2->xfillPixels(picture), 0);
}

}  // namespace
