#pragma once

#include <memory>
#include <string>
#include <vector>

class OffsetSpace;

// What fms-sim needs from the operating system: the server side of the local simulator
// transport, requests to stop (Ctrl+C, termination) and console lines read without blocking
// the simulation. posix/ and win32/ implement it.

class SimHostServer {
public:
    explicit SimHostServer(OffsetSpace& space);
    ~SimHostServer();
    SimHostServer(const SimHostServer&) = delete;
    SimHostServer& operator=(const SimHostServer&) = delete;

    // Starts serving; on failure says why.
    bool start(std::string& error);
    // Waits up to timeoutMs for requests and answers every one that has arrived; the number
    // answered, or -1 when not started.
    int serveOnce(int timeoutMs);
    void stop();
    // Where clients find the server, for the start-up line.
    std::string address() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Turns the system's stop requests into stopRequested() instead of ending the process.
void installStopHandlers();
bool stopRequested();

// Lines typed on standard input, collected without blocking the simulation.
class ConsoleInput {
public:
    ConsoleInput();
    ~ConsoleInput();
    ConsoleInput(const ConsoleInput&) = delete;
    ConsoleInput& operator=(const ConsoleInput&) = delete;
    // Appends the complete lines that have arrived; false at the end of input.
    bool poll(std::vector<std::string>& lines);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
