#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>

#include "TableOffsetSpace.h"
#include "TempDir.h"
#include "SimPosixServer.h"
#include "platform/posix/SimPosixTransport.h"
#include "platform/posix/SimPosixWire.h"
#include "simlink/SimLink.h"
#include "platform/SimWire.h"

namespace {

using simwire::get32;
using simwire::put32;

// Runs a server's loop on its own thread, the way the simulator's main loop drives it.
struct ServingThread {
    explicit ServingThread(PosixSimServer& server)
        : thread([&server](std::stop_token stop) {
              while (!stop.stop_requested()) server.serveOnce(5);
          }) {}
    std::jthread thread;  // asks the loop to stop and joins it when it goes
};

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Serves until `count` more requests were answered or about a second has passed.
int serveUntil(PosixSimServer& server, int count) {
    int answered = 0;
    for (int i = 0; i < 100 && answered < count; ++i) answered += server.serveOnce(10);
    return answered;
}

// A 32768-byte shared-memory block made by hand, as a client would.
uint8_t* makeBlock(const std::string& name, off_t size = kSimBlockSize) {
    const int fd = shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd < 0 || ftruncate(fd, size) != 0) return nullptr;
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    return view == MAP_FAILED ? nullptr : static_cast<uint8_t*>(view);
}

TEST(SimPosixThreads, LinkExchangesThroughThePrivateSocketAndBlock) {
    TempDir dir;
    TableOffsetSpace space;
    space.set32(0x0580, 0x89ABCDEF);
    PosixSimServer server(space, SimServerKind::Full, dir.str());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    EXPECT_EQ(server.socketPath(), dir.str() + "/UIPCMAIN");
    EXPECT_EQ(modeOf(server.socketPath()), 0600u);
    {
        ServingThread serving(server);
        PosixSimTransport transport(dir.str());
        SimLink link(&transport);
        uint32_t result = 99;
        ASSERT_TRUE(link.open(0, result)) << simResultText(result);
        char expected[40];
        std::snprintf(expected, sizeof(expected), "FsasmLib:IPC:%X:1", static_cast<unsigned>(getpid()));
        EXPECT_STREQ(link.blockName(), expected);
        const std::string shmName = std::string("/") + expected;
        EXPECT_EQ(modeOf("/dev/shm" + shmName), 0600u);

        uint32_t heading = 0;
        const int16_t aileron = -200;
        link.read(0x0580, 4, &heading, result);
        link.write(0x0BB6, 2, &aileron, result);
        ASSERT_TRUE(link.process(result)) << simResultText(result);
        EXPECT_EQ(heading, 0x89ABCDEFu);
        link.close();
        EXPECT_LT(shm_open(shmName.c_str(), O_RDONLY, 0), 0);  // removed on close
    }
    ASSERT_EQ(space.writes.size(), 2u);  // the library number, then the aileron
    EXPECT_EQ(space.writes[1].data, (std::vector<uint8_t>{0x38, 0xFF}));  // -200
    server.serveOnce(50);
    EXPECT_EQ(server.clientCount(), 0u);  // the closed link's connection is gone
}

TEST(SimPosixThreads, ServerKindsAreFoundInOrder) {
    TempDir dir;
    PosixSimTransport transport(dir.str());
    SimLink link(&transport);
    uint32_t result = 99;
    EXPECT_FALSE(link.open(0, result));
    EXPECT_EQ(result, SIM_ERR_NOFS);

    TableOffsetSpace space;
    space.set32(0x3308, 0x0000000C);  // a networked client whose simulator is not running
    PosixSimServer networked(space, SimServerKind::NetworkClient, dir.str());
    std::string error;
    ASSERT_TRUE(networked.start(error)) << error;
    {
        ServingThread serving(networked);
        EXPECT_FALSE(link.open(0, result));
        EXPECT_EQ(result, SIM_ERR_RUNNING);
    }
    TableOffsetSpace fullSpace;
    PosixSimServer full(fullSpace, SimServerKind::Full, dir.str());
    ASSERT_TRUE(full.start(error)) << error;
    ServingThread serving(full);
    EXPECT_TRUE(link.open(0, result)) << simResultText(result);
    EXPECT_EQ(link.serverKind(), SimServerKind::Full);
}

TEST(SimPosixTransport, LateRepliesAreNotTakenForTheAnswerToALaterRequest) {
    TempDir dir;
    TableOffsetSpace space;
    PosixSimServer server(space, SimServerKind::Full, dir.str());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    PosixSimTransport transport(dir.str());
    ASSERT_EQ(transport.findServer(), SimServerKind::Full);
    const std::string name = "FsasmLib:IPC:" + std::to_string(getpid()) + ":T";
    ASSERT_EQ(transport.createBlock(name.c_str(), kSimBlockSize), SimBlockStatus::Created);
    uint8_t* block = transport.mapBlock();
    ASSERT_NE(block, nullptr);

    // A bad batch the server will refuse, asked while the server is not serving.
    put32(block, 7);
    uint32_t reply = 99;
    EXPECT_EQ(transport.sendRequest(name.c_str(), 50, reply), SimSendStatus::TimedOut);
    EXPECT_EQ(serveUntil(server, 1), 1);  // answered late: the refusal waits in the socket

    // Now a good batch: the answer must be the one to this request.
    put32(block, 1);
    put32(block + 4, 0x3304);
    put32(block + 8, 4);
    put32(block + 20, 0);
    {
        ServingThread serving(server);
        EXPECT_EQ(transport.sendRequest(name.c_str(), 2000, reply), SimSendStatus::Answered);
    }
    EXPECT_EQ(reply, kSimReplyDone);
    EXPECT_EQ(get32(block + 16), 0x19980005u);

    // A server that goes away fails the request at once instead of timing out.
    server.stop();
    EXPECT_EQ(transport.sendRequest(name.c_str(), 2000, reply), SimSendStatus::Failed);
}

// A raw client of the server socket, to send what a well-behaved link never would.
class RawClient {
public:
    explicit RawClient(const std::string& path) : fd_(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        EXPECT_EQ(connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    }
    ~RawClient() { close(fd_); }
    void sendBytes(const std::string& bytes) { send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    void request(uint32_t sequence, const std::string& name) {
        std::string message(8, '\0');
        put32(reinterpret_cast<uint8_t*>(message.data()), kSimRequestMagic);
        put32(reinterpret_cast<uint8_t*>(message.data()) + 4, sequence);
        sendBytes(message + name);
    }
    // The reply value of the next waiting reply, or -1 when there is none for `sequence`.
    int64_t reply(uint32_t sequence) {
        uint8_t answer[32];
        const ssize_t got = recv(fd_, answer, sizeof(answer), MSG_DONTWAIT);
        if (got != 12 || get32(answer) != kSimReplyMagic || get32(answer + 4) != sequence) return -1;
        return get32(answer + 8);
    }

private:
    int fd_;
};

TEST(SimPosixServer, BadRequestsAreRefusedOrIgnoredAndAnotherClientIsServed) {
    TempDir dir;
    TableOffsetSpace space;
    PosixSimServer server(space, SimServerKind::Full, dir.str());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    RawClient first(server.socketPath());
    RawClient second(server.socketPath());
    server.serveOnce(50);  // accepts both
    EXPECT_EQ(server.clientCount(), 2u);

    // Malformed messages get no answer at all.
    first.sendBytes("junk");
    first.sendBytes(std::string("\1\2\3\4\1\0\0\0ABCD", 12));
    first.request(1, std::string(kSimMaxBlockName + 1, 'A'));
    server.serveOnce(50);
    EXPECT_EQ(first.reply(1), -1);

    // Names the server cannot use are refused, among them a block too short to touch safely.
    const std::string tag = std::to_string(getpid());
    uint8_t* shortBlock = makeBlock("short-" + tag, 100);
    ASSERT_NE(shortBlock, nullptr);
    first.request(2, "no-such-block-" + tag);
    first.request(3, "../etc/" + tag);
    first.request(4, "short-" + tag);
    EXPECT_EQ(serveUntil(server, 3), 3);
    for (uint32_t sequence = 2; sequence <= 4; ++sequence) {
        EXPECT_EQ(first.reply(sequence), int64_t{kSimReplyRejected}) << sequence;
    }
    munmap(shortBlock, 100);
    shm_unlink(("/short-" + tag).c_str());

    // A good batch is performed: a 4-byte write at 0x7000. A second request on the cached
    // block sees the block's current contents.
    uint8_t* block = makeBlock("unit-" + tag);
    ASSERT_NE(block, nullptr);
    const uint32_t words[] = {2, 0x7000, 4, 0xA0, 0};
    for (int w = 0; w < 5; ++w) put32(block + 4 * w, words[w]);
    for (uint32_t value : {0xA0u, 0xB0u}) {
        put32(block + 12, value);
        second.request(value, "unit-" + tag);
        EXPECT_EQ(serveUntil(server, 1), 1);
        EXPECT_EQ(second.reply(value), int64_t{kSimReplyDone});
        EXPECT_EQ(space.table[0x7000], value);
    }
    munmap(block, kSimBlockSize);
    shm_unlink(("/unit-" + tag).c_str());
}

TEST(SimPosixServer, StartRefusesABusySocketAForeignFileOrAnOpenFolder) {
    TempDir dir;
    TableOffsetSpace space;
    std::string error;
    {
        PosixSimServer first(space, SimServerKind::Full, dir.str());
        ASSERT_TRUE(first.start(error)) << error;
        PosixSimServer second(space, SimServerKind::Full, dir.str());
        EXPECT_FALSE(second.start(error));
        EXPECT_NE(error.find("already"), std::string::npos) << error;
    }
    // A socket file left behind by a server that died is replaced.
    {
        const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address{};
        ASSERT_TRUE(simSocketAddress(dir.str(), SimServerKind::Full, address));
        ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
        close(fd);
        PosixSimServer revived(space, SimServerKind::Full, dir.str());
        EXPECT_TRUE(revived.start(error)) << error;
    }
    dir.write("UIPCMAIN", "not a socket");
    PosixSimServer blocked(space, SimServerKind::Full, dir.str());
    EXPECT_FALSE(blocked.start(error));
    EXPECT_EQ(dir.read("UIPCMAIN"), "not a socket");

    const std::string open = dir.str() + "/shared";
    ASSERT_EQ(mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(chmod(open.c_str(), 0755), 0);
    PosixSimServer exposed(space, SimServerKind::Full, open);
    EXPECT_FALSE(exposed.start(error));
}

}  // namespace
