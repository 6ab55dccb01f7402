// The simulator link over Win32 messages and named mappings: against fms-sim.exe, and against
// a server in this process that misbehaves on purpose.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "TableOffsetSpace.h"
#include "platform/win32/Win32SimTransport.h"
#include "simlink/SimLink.h"
#include "win32/SimWin32Server.h"

namespace {

bool waitForWindow(const char* windowClass, bool present, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if ((FindWindowExA(nullptr, nullptr, windowClass, nullptr) != nullptr) == present) return true;
        Sleep(50);
    }
    return false;
}

// A SimWin32Server pumping its messages on a thread of its own, as a server process would.
class ServerThread {
public:
    ServerThread(TableOffsetSpace& space, const char* windowClass) : server_(space, windowClass) {
        thread_ = std::thread([this] {
            std::string error;
            started_ = server_.start(error) ? 1 : -1;
            while (started_ == 1 && !stop_) server_.serveOnce(10);
            server_.stop();
        });
        while (started_ == 0) Sleep(5);
    }
    ~ServerThread() {
        stop_ = true;
        thread_.join();
    }
    bool started() const { return started_ == 1; }
    SimWin32Server& server() { return server_; }

private:
    SimWin32Server server_;
    std::atomic<int> started_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// fms-sim.exe as a child process, ended at the end of the test.
class SimProcess {
public:
    SimProcess() {
        std::string command = std::string(FMS_RUN_DIR) + "/fms-sim.exe --no-console";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process_) != 0;
    }
    ~SimProcess() { end(); }
    void end() {
        if (!started_) return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        started_ = false;
    }
    bool started() const { return started_; }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

}  // namespace

TEST(Win32Transport, TheLinkOpensReadsAndNoticesTheEndOfFmsSim) {
    ASSERT_TRUE(waitForWindow(kSimServerClass, false, 5000)) << "a simulator server is already running";
    Win32SimTransport transport;
    SimLink link(&transport);
    uint32_t result = 0;
    EXPECT_FALSE(link.open(0, result));
    EXPECT_EQ(result, 2u);  // no server window

    SimProcess sim;
    ASSERT_TRUE(sim.started());
    ASSERT_TRUE(waitForWindow(kSimServerClass, true, 20000));
    ASSERT_TRUE(link.open(0, result)) << result;
    EXPECT_EQ(result, 0u);
    EXPECT_FALSE(link.open(0, result));
    EXPECT_EQ(result, 1u);  // already open, and still working
    uint32_t serverVersion = 0;
    int32_t latitude[2] = {0, 0};
    ASSERT_TRUE(link.read(0x3304, 4, &serverVersion, result));
    ASSERT_TRUE(link.read(0x0560, 8, latitude, result));
    ASSERT_TRUE(link.process(result)) << result;
    EXPECT_GE(serverVersion, 0x19980005u);
    EXPECT_NE(latitude[1], 0);  // the scenario's aircraft is not on the equator

    // A second open after close names a new block and works as well.
    link.close();
    ASSERT_TRUE(link.open(0, result)) << result;

    sim.end();
    ASSERT_TRUE(waitForWindow(kSimServerClass, false, 5000));
    EXPECT_TRUE(transport.serverLost());
    ASSERT_TRUE(link.read(0x3304, 4, &serverVersion, result));
    EXPECT_FALSE(link.process(result));
    EXPECT_EQ(result, 12u);
}

TEST(Win32Transport, WrongVersionsAreRefusedBySevenOrFourteenByTheWindowFound) {
    TableOffsetSpace space;
    space.set32(0x3304, 0x19980004);  // older than the oldest server accepted
    uint32_t result = 0;
    {
        ServerThread full(space, kSimServerClass);
        ASSERT_TRUE(full.started());
        Win32SimTransport transport;
        SimLink link(&transport);
        EXPECT_FALSE(link.open(0, result));
        EXPECT_EQ(result, 7u);
    }
    {
        ServerThread networked(space, kSimNetworkClientClass);
        ASSERT_TRUE(networked.started());
        Win32SimTransport transport;
        SimLink link(&transport);
        EXPECT_FALSE(link.open(0, result));
        EXPECT_EQ(result, 14u);
    }
    // The right version mark opens through the networked client's window too.
    space.set32(0x3304, 0x19980005);
    ServerThread networked(space, kSimNetworkClientClass);
    ASSERT_TRUE(networked.started());
    Win32SimTransport transport;
    SimLink link(&transport);
    EXPECT_TRUE(link.open(0, result)) << result;
}

TEST(Win32Transport, AWrongReplyLeavesTheDestinationsAndASlowServerTimesOut) {
    TableOffsetSpace space;
    space.set32(0x0238, 0x00000C0B);
    ServerThread thread(space, kSimServerClass);
    ASSERT_TRUE(thread.started());
    Win32SimTransport transport;
    SimLink link(&transport);
    uint32_t result = 0;
    ASSERT_TRUE(link.open(0, result)) << result;

    thread.server().reply = 0;
    thread.server().overrideReply = true;
    uint32_t value = 0x55555555;
    ASSERT_TRUE(link.read(0x0238, 4, &value, result));
    EXPECT_FALSE(link.process(result));
    EXPECT_EQ(result, 13u);
    EXPECT_EQ(value, 0x55555555u);

    thread.server().overrideReply = false;
    ASSERT_TRUE(link.read(0x0238, 4, &value, result));
    ASSERT_TRUE(link.process(result)) << result;
    EXPECT_EQ(value, 0x00000C0Bu);

    // A server that holds the request past the time-out: the attempt times out, and the late
    // answer does not disturb the next exchange.
    thread.server().stallMs = 400;
    uint32_t reply = 0;
    uint8_t* block = transport.mapBlock();
    ASSERT_NE(block, nullptr);
    std::memset(block, 0, 4);  // an empty batch
    EXPECT_EQ(transport.sendRequest("", 100, reply), SimSendStatus::TimedOut);
    Sleep(500);
    thread.server().stallMs = 0;
    EXPECT_EQ(transport.sendRequest("", 2000, reply), SimSendStatus::Answered);
    EXPECT_EQ(reply, 1u);
}
