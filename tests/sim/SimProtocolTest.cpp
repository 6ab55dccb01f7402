// fms-sim as a separate process against clients that misbehave or go to the edges of the
// protocol, and a link whose simulator goes away.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SimProcess.h"
#include "SimRawPeer.h"
#include "TempDir.h"
#include "platform/SimWire.h"
#include "platform/posix/SimPosixTransport.h"
#include "simlink/SimLink.h"

namespace {

using Steady = std::chrono::steady_clock;

const std::vector<std::string> kStandStill = {"--no-console", "--speed", "0",     "--wind", "0/0",
                                              "--lat",        "10",      "--lon", "20"};
constexpr double kLatitudeUnit = 2.0951091487837895e-15;
constexpr int kSealed = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL;

// A sealed block holding one read of 8 bytes at 0x0560 (latitude), mapped for the test.
struct LatitudeBlock {
    int fd = makeBlockFile(kSimBlockSize, kSealed);
    uint8_t* view = static_cast<uint8_t*>(
        fd < 0 ? MAP_FAILED : mmap(nullptr, kSimBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));

    LatitudeBlock() {
        if (view == MAP_FAILED) return;
        const uint32_t header[4] = {1, 0x0560, 8, 0};
        std::memcpy(view, header, sizeof header);
    }
    ~LatitudeBlock() {
        if (view != MAP_FAILED) munmap(view, kSimBlockSize);
        if (fd >= 0) close(fd);
    }
    bool ok() const { return view != MAP_FAILED; }
    double latitude() const {
        int64_t raw = 0;
        std::memcpy(&raw, view + 16, sizeof raw);
        return static_cast<double>(raw) * kLatitudeUnit;
    }
};

// A link of its own to the simulator: its transport and the link itself.
struct OwnLink {
    explicit OwnLink(const std::string& runtimeDir) : transport(runtimeDir), link(&transport) {}
    PosixSimTransport transport;
    SimLink link;
};

}  // namespace

TEST(SimLinkLoss, AKilledOrStoppedSimulatorIsReportedAtOnceAndARestartedOneIsLinkedAfresh) {
    TempDir dir;
    auto sim = std::make_unique<SimProcess>(dir, kStandStill);
    ASSERT_TRUE(sim->started());
    PosixSimTransport transport(sim->runtimeDir());
    SimLink link(&transport);
    ASSERT_TRUE(openWithin(link, 5000)) << sim->output();

    // Killed: it cannot close anything itself, and leaves its socket file behind.
    sim->signal(SIGKILL);
    EXPECT_EQ(sim->wait(), 128 + SIGKILL);
    const Steady::time_point start = Steady::now();
    uint32_t result = 99;
    int64_t latRaw = 0;
    ASSERT_TRUE(link.read(0x0560, 8, &latRaw, result));
    EXPECT_FALSE(link.process(result));
    EXPECT_EQ(result, SIM_ERR_SENDMSG);
    EXPECT_FALSE(link.open(0, result));
    EXPECT_EQ(result, SIM_ERR_NOFS);
    // Nine attempts with their 100 ms pauses would take 900 ms.
    EXPECT_LT(Steady::now() - start, std::chrono::milliseconds(500));
    EXPECT_FALSE(link.isOpen());

    // A new simulator replaces the stale socket file and is linked afresh.
    sim = std::make_unique<SimProcess>(dir, kStandStill);
    ASSERT_TRUE(openWithin(link, 5000)) << sim->output();
    ASSERT_TRUE(link.read(0x0560, 8, &latRaw, result));
    ASSERT_TRUE(link.process(result)) << simResultText(result);
    EXPECT_NEAR(static_cast<double>(latRaw) * kLatitudeUnit, 10.0, 1e-9);

    // Stopped cleanly: the open check alone notices, without a request.
    sim->signal(SIGTERM);
    EXPECT_EQ(sim->wait(), 0);
    EXPECT_FALSE(link.open(0, result));
    EXPECT_EQ(result, SIM_ERR_NOFS);
}

// What a client could do to the block the simulator has mapped, or hand it instead of one.
// Before blocks were sealed, shrinking one after the simulator had mapped it killed the
// simulator with SIGBUS, leaving its socket file behind.
TEST(SimProcess, AHostileClientCannotCrashTheSimulator) {
    TempDir dir;
    SimProcess sim(dir, kStandStill);
    ASSERT_TRUE(sim.started());
    OwnLink own(sim.runtimeDir());
    ASSERT_TRUE(openWithin(own.link, 5000)) << sim.output();
    SimRawClient client(sim.socketPath());
    ASSERT_TRUE(client.connected());
    uint32_t sequence = 0;
    const auto ask = [&](std::initializer_list<int> fds) {
        EXPECT_TRUE(client.request(++sequence, "FsasmLib:IPC:FFFF:1", fds));
        return client.reply(sequence, 2000);
    };

    // Refused unsealed, so shrinking it afterwards harms nobody.
    const int unsealed = makeBlockFile(kSimBlockSize, 0);
    ASSERT_GE(unsealed, 0);
    EXPECT_EQ(ask({unsealed}), 0);
    EXPECT_EQ(ftruncate(unsealed, 0), 0);
    EXPECT_EQ(ask({}), 0);
    close(unsealed);

    // A sealed block is served and cannot be resized; another one may replace it.
    LatitudeBlock block;
    LatitudeBlock other;
    ASSERT_TRUE(block.ok() && other.ok());
    EXPECT_EQ(ask({block.fd}), 1);
    EXPECT_NEAR(block.latitude(), 10.0, 1e-9);
    EXPECT_NE(ftruncate(block.fd, 0), 0);
    EXPECT_NE(ftruncate(block.fd, 1 << 20), 0);
    EXPECT_EQ(ask({other.fd}), 1);
    EXPECT_NEAR(other.latitude(), 10.0, 1e-9);

    // The well-behaved link is still served, and the simulator ends normally.
    int64_t latRaw = 0;
    uint32_t result = 0;
    ASSERT_TRUE(own.link.read(0x0560, 8, &latRaw, result));
    EXPECT_TRUE(own.link.process(result)) << simResultText(result);
    own.link.close();
    sim.signal(SIGINT);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_FALSE(std::filesystem::exists(sim.socketPath()));
}

// The statements of docs/simulator-protocol.md that a bridge writer could not guess.
TEST(SimProcess, BehavesAsTheProtocolDocumentSays) {
    TempDir dir;
    SimProcess sim(dir, kStandStill);
    ASSERT_TRUE(sim.started());

    // Sixteen connections are served; the seventeenth is closed at once, so its open fails
    // with "IPC sendmessage failed all retries", until one of the sixteen goes.
    std::vector<std::unique_ptr<OwnLink>> links;
    for (int i = 0; i < 16; ++i) {
        links.push_back(std::make_unique<OwnLink>(sim.runtimeDir()));
        ASSERT_TRUE(openWithin(links.back()->link, 5000)) << i << sim.output();
    }
    OwnLink seventeenth(sim.runtimeDir());
    uint32_t result = 99;
    EXPECT_FALSE(seventeenth.link.open(0, result));
    EXPECT_EQ(result, SIM_ERR_SENDMSG);
    links.pop_back();
    EXPECT_TRUE(openWithin(seventeenth.link, 2000));
    SimLink& link = seventeenth.link;
    links.clear();

    // The simulator code in the low half of 0x3308.
    EXPECT_EQ(link.simulatorVersion(), 0x0008u);

    // Reads after writes in one batch: a writable offset reads what the simulator made of the
    // value, a read-only or unknown one ignores the write.
    const int16_t fullRight = 20000;
    const uint32_t five = 5;
    const uint16_t library = 0x1234;
    const int64_t southPole = -90 / kLatitudeUnit;
    const uint32_t junk = 0xDEADBEEF;
    const int32_t altitudeRaw = 1234567;
    int16_t aileron = 0;
    uint32_t gps = 0;
    uint16_t libraryRead = 0;
    uint32_t simVersion = 0;
    int64_t latRaw = 0;
    uint32_t unknown = 99;
    int32_t altitudeRead = 0;
    link.write(0x0BB6, 2, &fullRight, result);
    link.read(0x0BB6, 2, &aileron, result);
    link.write(0x132C, 4, &five, result);
    link.read(0x132C, 4, &gps, result);
    link.write(0x330A, 2, &library, result);
    link.read(0x330A, 2, &libraryRead, result);
    link.read(0x3308, 4, &simVersion, result);
    link.write(0x0560, 8, &southPole, result);
    link.read(0x0560, 8, &latRaw, result);
    link.write(0x7000, 4, &junk, result);
    link.read(0x7000, 4, &unknown, result);
    link.write(0x07D4, 4, &altitudeRaw, result);
    link.read(0x07D4, 4, &altitudeRead, result);
    ASSERT_TRUE(link.process(result)) << simResultText(result);
    EXPECT_EQ(aileron, 16384);  // limited to full deflection
    EXPECT_EQ(gps, 1u);         // a switch: on or off
    EXPECT_EQ(libraryRead, 0xFADE);
    EXPECT_EQ(simVersion, 0xFADE0008u);
    EXPECT_NEAR(static_cast<double>(latRaw) * kLatitudeUnit, 10.0, 1e-9);
    EXPECT_EQ(unknown, 0u);
    EXPECT_EQ(altitudeRead, altitudeRaw);

    SimRawClient client(sim.socketPath());
    LatitudeBlock block;
    ASSERT_TRUE(block.ok());
    // An empty packet is ignored: no answer, and the connection stays.
    EXPECT_TRUE(sendSimPacket(client.fd(), ""));
    EXPECT_TRUE(client.request(1, "good", {block.fd}));
    EXPECT_EQ(client.reply(1, 2000), 1);
    // Names with bytes outside 0x21..0x7E, or a '/', are refused even with a good block.
    const std::string badNames[] = {"a b", "tab\t", std::string("nul\0", 4), "del\x7F", "hi\x80", "a/b"};
    uint32_t sequence = 1;
    for (const std::string& name : badNames) {
        EXPECT_TRUE(client.request(++sequence, name, {block.fd}));
        EXPECT_EQ(client.reply(sequence, 2000), 0) << name;
    }
    EXPECT_TRUE(client.request(++sequence, "good"));  // the block handed over first stays
    EXPECT_EQ(client.reply(sequence, 2000), 1);

    // A client that sends requests but never reads the replies is dropped once its unread
    // replies fill the socket; the replies queued until then can still be read.
    for (int i = 0; i < 100000 && !client.hungUp(); ++i) {
        if (!client.request(++sequence, "good")) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(client.hungUp());
    int unread = 0;
    uint8_t reply[16];
    // One read may report a reset instead: the simulator closed with requests unread.
    for (int resets = 0;;) {
        const ssize_t got = recv(client.fd(), reply, sizeof reply, MSG_DONTWAIT);
        if (got == 12) {
            ++unread;
        } else if (got < 0 && errno == ECONNRESET && resets++ == 0) {
            continue;
        } else {
            break;
        }
    }
    std::printf("a client that read no replies was dropped after %d of them\n", unread);
    EXPECT_GT(unread, 16);

    // The others are still served.
    ASSERT_TRUE(link.read(0x0560, 8, &latRaw, result));
    EXPECT_TRUE(link.process(result)) << simResultText(result);
}
