#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "SimPosixServer.h"
#include "SimRawPeer.h"
#include "TableOffsetSpace.h"
#include "TempDir.h"
#include "platform/SimWire.h"
#include "platform/posix/SimPosixTransport.h"
#include "platform/posix/SimPosixWire.h"
#include "simlink/SimLink.h"

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

// The descriptor numbers of this process, with what each one refers to.
std::vector<std::pair<int, std::string>> openFds() {
    std::vector<std::pair<int, std::string>> fds;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        fds.emplace_back(std::atoi(entry.path().filename().c_str()), target);
    }
    return fds;
}

// This process's descriptor of the memory file called `name`, or -1.
int memoryFileFd(const std::string& name) {
    for (const auto& [fd, target] : openFds()) {
        if (target.rfind("/memfd:" + name + " ", 0) == 0) return fd;
    }
    return -1;
}

TEST(SimPosixThreads, LinkExchangesThroughThePrivateSocketAndASealedBlock) {
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
        // The block is a memory file of that name, in no folder, whose size nobody can change.
        EXPECT_FALSE(std::filesystem::exists(std::string("/dev/shm/") + expected));
        const int block = memoryFileFd(expected);
        ASSERT_GE(block, 0);
        EXPECT_EQ(fcntl(block, F_GET_SEALS), F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL);
        EXPECT_NE(ftruncate(block, 0), 0);
        EXPECT_NE(ftruncate(block, 2 * kSimBlockSize), 0);

        uint32_t heading = 0;
        const int16_t aileron = -200;
        link.read(0x0580, 4, &heading, result);
        link.write(0x0BB6, 2, &aileron, result);
        ASSERT_TRUE(link.process(result)) << simResultText(result);
        EXPECT_EQ(heading, 0x89ABCDEFu);
        link.close();
        EXPECT_EQ(memoryFileFd(expected), -1);  // released on close
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

    // A server that goes away is noticed without a request, and fails every request at once
    // instead of timing out.
    EXPECT_FALSE(transport.serverLost());
    server.stop();
    EXPECT_TRUE(transport.serverLost());
    EXPECT_EQ(transport.sendRequest(name.c_str(), 2000, reply), SimSendStatus::Lost);
}

TEST(SimPosixServer, BadRequestsAreRefusedOrIgnoredAndAnotherClientIsServed) {
    TempDir dir;
    TableOffsetSpace space;
    PosixSimServer server(space, SimServerKind::Full, dir.str());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    SimRawClient first(server.socketPath());
    SimRawClient second(server.socketPath());
    server.serveOnce(50);  // accepts both
    EXPECT_EQ(server.clientCount(), 2u);

    // Malformed messages get no answer at all; an empty one does not end the connection.
    EXPECT_TRUE(sendSimPacket(first.fd(), "junk"));
    EXPECT_TRUE(sendSimPacket(first.fd(), std::string("\1\2\3\4\1\0\0\0ABCD", 12)));
    EXPECT_TRUE(first.request(1, std::string(kSimMaxBlockName + 1, 'A')));
    EXPECT_TRUE(sendSimPacket(first.fd(), ""));
    server.serveOnce(50);
    EXPECT_EQ(first.reply(1), -1);
    EXPECT_EQ(server.clientCount(), 2u);
    EXPECT_FALSE(first.hungUp());

    // A good block under a name the server cannot take, and a name never handed over, are
    // refused.
    const int good = makeBlockFile(kSimBlockSize, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL);
    ASSERT_GE(good, 0);
    first.request(2, "../etc/passwd", {good});
    first.request(3, "never-handed-over");
    EXPECT_EQ(serveUntil(server, 2), 2);
    for (uint32_t sequence = 2; sequence <= 3; ++sequence) {
        EXPECT_EQ(first.reply(sequence), int64_t{kSimReplyRejected}) << sequence;
    }

    // A good batch is performed: a 4-byte write at 0x7000. A second request on the kept block
    // sees the block's current contents.
    uint8_t* block =
        static_cast<uint8_t*>(mmap(nullptr, kSimBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, good, 0));
    ASSERT_NE(block, MAP_FAILED);
    const uint32_t words[] = {2, 0x7000, 4, 0xA0, 0};
    for (int w = 0; w < 5; ++w) put32(block + 4 * w, words[w]);
    second.request(0xA0, "unit", {good});
    put32(block + 12, 0xA0);
    EXPECT_EQ(serveUntil(server, 1), 1);
    EXPECT_EQ(second.reply(0xA0), int64_t{kSimReplyDone});
    EXPECT_EQ(space.table[0x7000], 0xA0);
    put32(block + 12, 0xB0);
    second.request(0xB0, "unit");
    EXPECT_EQ(serveUntil(server, 1), 1);
    EXPECT_EQ(second.reply(0xB0), int64_t{kSimReplyDone});
    EXPECT_EQ(space.table[0x7000], 0xB0);
    munmap(block, kSimBlockSize);
    close(good);
}

// What a client could do to a block the server has mapped, or hand it instead of a block:
// nothing of it may stop the server, and every descriptor it sends is closed again.
TEST(SimPosixServer, AClientCannotShrinkOrSwapTheBlockUnderTheServer) {
    TempDir dir;
    TableOffsetSpace space;
    PosixSimServer server(space, SimServerKind::Full, dir.str());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    SimRawClient client(server.socketPath());
    server.serveOnce(50);
    const size_t fdsBefore = openFds().size();
    uint32_t sequence = 0;
    const auto ask = [&](std::initializer_list<int> fds) {
        EXPECT_TRUE(client.request(++sequence, "unit", fds));
        EXPECT_EQ(serveUntil(server, 1), 1);
        return client.reply(sequence);
    };

    // Blocks the server must not map: without seals, sealed against shrinking only, too
    // short, not a memory file at all, and two at once.
    const int unsealed = makeBlockFile(kSimBlockSize, 0);
    const int shrinkOnly = makeBlockFile(kSimBlockSize, F_SEAL_SHRINK);
    const int tooShort = makeBlockFile(100, F_SEAL_SHRINK | F_SEAL_GROW);
    const int good = makeBlockFile(kSimBlockSize, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL);
    const int other = makeBlockFile(kSimBlockSize, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    for (int fd : {unsealed, shrinkOnly, tooShort, good, other}) ASSERT_GE(fd, 0);
    EXPECT_EQ(ask({unsealed}), int64_t{kSimReplyRejected});
    EXPECT_EQ(ftruncate(unsealed, 0), 0);  // had the server mapped it, this would kill it
    EXPECT_EQ(ask({}), int64_t{kSimReplyRejected});
    EXPECT_EQ(ask({shrinkOnly}), int64_t{kSimReplyRejected});
    EXPECT_EQ(ask({tooShort}), int64_t{kSimReplyRejected});
    EXPECT_EQ(ask({pipeEnds[0]}), int64_t{kSimReplyRejected});
    EXPECT_EQ(ask({good, other}), int64_t{kSimReplyRejected});

    // A sealed block is served; its size cannot be changed afterwards, and zeroing its pages
    // behind the server's back leaves an empty (valid) batch.
    uint8_t* block =
        static_cast<uint8_t*>(mmap(nullptr, kSimBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, good, 0));
    ASSERT_NE(block, MAP_FAILED);
    const uint32_t words[] = {2, 0x7000, 4, 0x11, 0};
    for (int w = 0; w < 5; ++w) put32(block + 4 * w, words[w]);
    EXPECT_EQ(ask({good}), int64_t{kSimReplyDone});
    EXPECT_EQ(space.table[0x7000], 0x11);
    EXPECT_EQ(ftruncate(good, 0), -1);
    EXPECT_EQ(errno, EPERM);
    EXPECT_EQ(fallocate(good, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, kSimBlockSize), 0);
    EXPECT_EQ(ask({}), int64_t{kSimReplyDone});
    munmap(block, kSimBlockSize);

    // Another block under the same name replaces the first.
    uint8_t* replacement =
        static_cast<uint8_t*>(mmap(nullptr, kSimBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, other, 0));
    ASSERT_NE(replacement, MAP_FAILED);
    const uint32_t again[] = {2, 0x7000, 4, 0x22, 0};
    for (int w = 0; w < 5; ++w) put32(replacement + 4 * w, again[w]);
    EXPECT_EQ(ask({other}), int64_t{kSimReplyDone});
    EXPECT_EQ(space.table[0x7000], 0x22);
    munmap(replacement, kSimBlockSize);

    for (int fd : {unsealed, shrinkOnly, tooShort, good, other, pipeEnds[0], pipeEnds[1]}) close(fd);
    EXPECT_EQ(openFds().size(), fdsBefore);  // the server kept none of what it was sent
    EXPECT_EQ(server.clientCount(), 1u);
}

// A server that tries to change the client's block: it cannot resize it, cannot seal it
// against writing, and what it can do (zero its pages, send descriptors or empty packets
// back) only fails the exchange.
TEST(SimPosixTransport, AServerCannotShrinkTheClientsBlock) {
    TempDir dir;
    const size_t fdsBefore = openFds().size();
    sockaddr_un address{};
    ASSERT_TRUE(simSocketAddress(dir.str(), SimServerKind::Full, address));
    const int listener = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(listener, 1), 0);

    int truncateError = 0;
    int sealError = 0;
    int blocksReceived = 0;
    std::thread hostile([&] {
        const int peer = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        const int gift = makeBlockFile(kSimBlockSize, 0);
        for (;;) {
            uint8_t request[128];
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
            iovec part{request, sizeof(request)};
            msghdr message{};
            message.msg_iov = &part;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof(control);
            const ssize_t got = recvmsg(peer, &message, MSG_CMSG_CLOEXEC);
            if (got <= 0) break;
            if (cmsghdr* rights = CMSG_FIRSTHDR(&message)) {
                int fd = -1;
                std::memcpy(&fd, CMSG_DATA(rights), sizeof(int));
                ++blocksReceived;
                truncateError = ftruncate(fd, 0) == 0 ? 0 : errno;
                sealError = fcntl(fd, F_ADD_SEALS, F_SEAL_WRITE) == 0 ? 0 : errno;
                fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, kSimBlockSize);
                close(fd);
            }
            std::string reply(12, '\0');
            put32(reinterpret_cast<uint8_t*>(reply.data()), kSimReplyMagic);
            put32(reinterpret_cast<uint8_t*>(reply.data()) + 4, get32(request + 4));
            put32(reinterpret_cast<uint8_t*>(reply.data()) + 8, kSimReplyDone);
            sendSimPacket(peer, "");  // an empty packet is no answer, nor the end
            sendSimPacket(peer, reply, {gift});
        }
        close(gift);
        close(peer);
    });
    {
        PosixSimTransport transport(dir.str());
        SimLink link(&transport);
        uint32_t result = 99;
        EXPECT_FALSE(link.open(0, result));
        EXPECT_EQ(result, SIM_ERR_DATA);  // the zeroed block is not taken for an answer
    }
    hostile.join();
    EXPECT_EQ(blocksReceived, 1);
    EXPECT_EQ(truncateError, EPERM);
    EXPECT_EQ(sealError, EPERM);
    close(listener);
    EXPECT_EQ(openFds().size(), fdsBefore);  // the descriptors sent back were not kept
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
