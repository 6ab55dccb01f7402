#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "TableOffsetSpace.h"
#include "TempDir.h"
#include "platform/posix/SimPosixServer.h"
#include "platform/posix/SimPosixTransport.h"
#include "platform/posix/SimPosixWire.h"
#include "simlink/SimLink.h"
#include "simlink/SimWire.h"

namespace {

using simwire::get32;
using simwire::put32;

// Runs a server's loop on its own thread, the way the simulator's main loop drives it.
class ServingThread {
public:
    explicit ServingThread(PosixSimServer& server)
        : thread_([this, &server] {
              while (!stop_.load(std::memory_order_acquire)) {
                  server.serveOnce(5);
              }
          }) {}
    ~ServingThread() { join(); }
    void join() {
        stop_.store(true, std::memory_order_release);
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Serves until `count` more requests were answered or about a second has passed.
int serveUntil(PosixSimServer& server, int count) {
    int answered = 0;
    for (int i = 0; i < 100 && answered < count; ++i) {
        answered += server.serveOnce(10);
    }
    return answered;
}

TEST(SimPosixThreads, LinkOpensAndExchangesThroughTheSocketAndSharedBlock) {
    TempDir dir;
    TableOffsetSpace space;
    space.set32(0x0580, 0x89ABCDEF);
    PosixSimServer server(space, SimServerKind::Full, dir.str());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    EXPECT_EQ(modeOf(server.socketPath()), 0600u);
    EXPECT_EQ(server.socketPath(), dir.str() + "/UIPCMAIN");

    {
        ServingThread serving(server);
        PosixSimTransport transport(dir.str());
        SimLink link(&transport);
        uint32_t result = 99;
        ASSERT_TRUE(link.open(0, result)) << simResultText(result);
        EXPECT_EQ(link.serverKind(), SimServerKind::Full);
        EXPECT_EQ(link.simulatorVersion(), 0x000Cu);
        const std::string expectedName = "FsasmLib:IPC:" + [] {
            char text[16];
            std::snprintf(text, sizeof(text), "%X", static_cast<unsigned>(getpid()));
            return std::string(text);
        }() + ":1";
        EXPECT_EQ(link.blockName(), expectedName);

        // The block is a shared-memory object of this user only.
        const std::string shmName = "/" + expectedName;
        const int fd = shm_open(shmName.c_str(), O_RDONLY, 0);
        ASSERT_GE(fd, 0);
        struct stat info {};
        ASSERT_EQ(fstat(fd, &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_EQ(info.st_size, static_cast<off_t>(kSimBlockSize));
        close(fd);

        for (int round = 0; round < 3; ++round) {
            uint32_t heading = 0;
            const int16_t aileron = static_cast<int16_t>(-100 * round);
            ASSERT_TRUE(link.read(0x0580, 4, &heading, result));
            ASSERT_TRUE(link.write(0x0BB6, 2, &aileron, result));
            ASSERT_TRUE(link.process(result)) << simResultText(result);
            EXPECT_EQ(heading, 0x89ABCDEFu);
        }
        link.close();
        EXPECT_LT(shm_open(shmName.c_str(), O_RDONLY, 0), 0);  // removed on close
        EXPECT_EQ(errno, ENOENT);
    }
    // The writes reached the server's table, in order.
    ASSERT_EQ(space.writes.size(), 4u);
    EXPECT_EQ(space.writes[0].offset, 0x330Au);
    EXPECT_EQ(space.writes[3].offset, 0x0BB6u);
    EXPECT_EQ(space.writes[3].data, (std::vector<uint8_t>{0x38, 0xFF}));  // -200
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
    ASSERT_TRUE(transport.registerMessage());
    const std::string name = "FsasmLib:IPC:" + std::to_string(getpid()) + ":T";
    ASSERT_EQ(transport.createBlock(name.c_str(), kSimBlockSize), SimBlockStatus::Created);
    EXPECT_EQ(transport.createBlock(name.c_str(), kSimBlockSize), SimBlockStatus::Failed);
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
    transport.unmapBlock();
    transport.closeBlock();
}

// A raw client of the server socket, to send what a well-behaved link never would.
class RawClient {
public:
    explicit RawClient(const std::string& path) {
        fd_ = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        connected_ = connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    }
    ~RawClient() { close(fd_); }
    bool connected() const { return connected_; }
    void sendBytes(const void* data, size_t size) {
        ASSERT_EQ(send(fd_, data, size, MSG_NOSIGNAL), ssize_t(size));
    }
    void request(uint32_t sequence, const std::string& name) {
        std::string message(8, '\0');
        put32(reinterpret_cast<uint8_t*>(message.data()), kSimRequestMagic);
        put32(reinterpret_cast<uint8_t*>(message.data()) + 4, sequence);
        message += name;
        sendBytes(message.data(), message.size());
    }
    // The reply value of the next reply, or -1 when none is waiting.
    int64_t reply(uint32_t expectedSequence) {
        uint8_t answer[32];
        const ssize_t got = recv(fd_, answer, sizeof(answer), MSG_DONTWAIT);
        if (got != 12 || get32(answer) != kSimReplyMagic || get32(answer + 4) != expectedSequence) {
            return -1;
        }
        return get32(answer + 8);
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

TEST(SimPosixServer, BadRequestsAreRefusedOrIgnoredAndTwoClientsAreServed) {
    TempDir dir;
    TableOffsetSpace space;
    PosixSimServer server(space, SimServerKind::Full, dir.str());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;

    RawClient first(server.socketPath());
    RawClient second(server.socketPath());
    ASSERT_TRUE(first.connected());
    ASSERT_TRUE(second.connected());
    server.serveOnce(50);  // accepts both
    EXPECT_EQ(server.clientCount(), 2u);

    // Malformed messages get no answer at all.
    first.sendBytes("junk", 4);
    const uint8_t wrongMagic[12] = {1, 2, 3, 4, 1, 0, 0, 0, 'A', 'B', 'C', 'D'};
    first.sendBytes(wrongMagic, sizeof(wrongMagic));
    first.request(1, std::string(kSimMaxBlockName + 1, 'A'));
    server.serveOnce(50);
    EXPECT_EQ(first.reply(1), -1);

    // Names the server cannot use are refused.
    const std::string tag = std::to_string(getpid());
    first.request(2, "no-such-block-" + tag);
    first.request(3, "../etc/" + tag);
    const std::string shortName = "short-" + tag;
    const int shortFd = shm_open(("/" + shortName).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(shortFd, 0);
    ASSERT_EQ(ftruncate(shortFd, 100), 0);  // touching it past 100 bytes would kill the server
    first.request(4, shortName);
    EXPECT_EQ(serveUntil(server, 3), 3);
    EXPECT_EQ(first.reply(2), int64_t{kSimReplyRejected});
    EXPECT_EQ(first.reply(3), int64_t{kSimReplyRejected});
    EXPECT_EQ(first.reply(4), int64_t{kSimReplyRejected});
    close(shortFd);
    shm_unlink(("/" + shortName).c_str());

    // Each client gets the answer for its own block.
    uint8_t* blocks[2] = {};
    std::string names[2];
    for (int i = 0; i < 2; ++i) {
        names[i] = "unit" + std::to_string(i) + "-" + tag;
        const int fd = shm_open(("/" + names[i]).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, kSimBlockSize), 0);
        void* view = mmap(nullptr, kSimBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        ASSERT_NE(view, MAP_FAILED);
        blocks[i] = static_cast<uint8_t*>(view);
        put32(blocks[i], 2);  // write 4 bytes at 0x7000 + i
        put32(blocks[i] + 4, 0x7000 + i);
        put32(blocks[i] + 8, 4);
        put32(blocks[i] + 12, 0xA0 + i);
        put32(blocks[i] + 16, 0);
    }
    first.request(5, names[0]);
    second.request(9, names[1]);
    EXPECT_EQ(serveUntil(server, 2), 2);
    EXPECT_EQ(first.reply(5), int64_t{kSimReplyDone});
    EXPECT_EQ(second.reply(9), int64_t{kSimReplyDone});
    ASSERT_EQ(space.writes.size(), 2u);
    EXPECT_EQ(space.writes[0].offset + space.writes[1].offset, 0x7000u + 0x7001u);

    // A second request on a cached block sees the block's current contents.
    put32(blocks[0] + 12, 0xB0);
    first.request(6, names[0]);
    EXPECT_EQ(serveUntil(server, 1), 1);
    EXPECT_EQ(first.reply(6), int64_t{kSimReplyDone});
    EXPECT_EQ(space.writes.back().data[0], 0xB0);

    for (int i = 0; i < 2; ++i) {
        munmap(blocks[i], kSimBlockSize);
        shm_unlink(("/" + names[i]).c_str());
    }
}

TEST(SimPosixServer, StartRefusesABusySocketAnUnsafeFolderOrAForeignFile) {
    TempDir dir;
    TableOffsetSpace space;
    std::string error;
    {
        PosixSimServer first(space, SimServerKind::Full, dir.str());
        ASSERT_TRUE(first.start(error)) << error;
        PosixSimServer second(space, SimServerKind::Full, dir.str());
        EXPECT_FALSE(second.start(error));
        EXPECT_NE(error.find("already"), std::string::npos) << error;
        // The other kind has its own socket.
        PosixSimServer networked(space, SimServerKind::NetworkClient, dir.str());
        EXPECT_TRUE(networked.start(error)) << error;
    }

    // A socket file left behind by a server that died is replaced.
    const std::string path = dir.str() + "/UIPCMAIN";
    {
        const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
        close(fd);
    }
    {
        PosixSimServer revived(space, SimServerKind::Full, dir.str());
        EXPECT_TRUE(revived.start(error)) << error;
    }

    dir.write("UIPCMAIN", "not a socket");
    PosixSimServer blocked(space, SimServerKind::Full, dir.str());
    EXPECT_FALSE(blocked.start(error));
    EXPECT_EQ(dir.read("UIPCMAIN"), "not a socket");

    const std::string open = dir.str() + "/shared";
    ASSERT_EQ(mkdir(open.c_str(), 0755), 0);
    ASSERT_EQ(chmod(open.c_str(), 0755), 0);
    PosixSimServer exposed(space, SimServerKind::Full, open);
    EXPECT_FALSE(exposed.start(error));
    EXPECT_FALSE(exposed.running());

    const std::string fresh = dir.str() + "/fresh";
    EXPECT_TRUE(prepareSimRuntimeDir(fresh, error)) << error;
    EXPECT_EQ(modeOf(fresh), 0700u);
}

TEST(SimPosixWire, ShmNamesAndDefaultFolder) {
    EXPECT_EQ(simShmName("FsasmLib:IPC:1A2B:1"), "/FsasmLib:IPC:1A2B:1");
    EXPECT_EQ(simShmName(""), "");
    EXPECT_EQ(simShmName("a/b"), "");
    EXPECT_EQ(simShmName("a b"), "");
    EXPECT_EQ(simShmName(std::string(64, 'x')), "");
    EXPECT_EQ(simShmName(std::string(63, 'x')).size(), 64u);
    EXPECT_FALSE(defaultSimRuntimeDir().empty());
    EXPECT_EQ(defaultSimRuntimeDir()[0], '/');
}

}  // namespace
