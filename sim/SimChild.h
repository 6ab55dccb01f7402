#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// fms-sim started as a child process, for tests and benchmarks that need the real program:
// its runtime folder is given (FMS_SIM_DIR), its console is a pipe and its output goes to a
// file. The destructor kills a child that is still running.
class SimChild {
public:
    SimChild(const std::string& program, const std::string& runtimeDir, const std::vector<std::string>& args,
             const std::string& outputPath);
    ~SimChild();
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;

    bool started() const { return pid_ > 0; }
    const std::string& runtimeDir() const { return runtimeDir_; }
    std::string socketPath() const { return runtimeDir_ + "/UIPCMAIN"; }

    // Sends one console line; false when the console is gone.
    bool type(const std::string& line);
    // Closes the console: the child sees the end of its input.
    void closeConsole();
    void signal(int sig);
    // Waits for the child to end: its exit status (128 + signal when killed), or -1 when it
    // did not end within timeoutMs.
    int wait(int timeoutMs = 5000);
    // What the child has printed so far.
    std::string output() const;

private:
    std::string runtimeDir_;
    std::string outputPath_;
    pid_t pid_ = -1;
    int console_ = -1;
    bool exited_ = false;
};
