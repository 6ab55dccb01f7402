#include "SimChild.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

extern char** environ;

SimChild::SimChild(const std::string& program, const std::string& runtimeDir,
                   const std::vector<std::string>& args, const std::string& outputPath)
    : runtimeDir_(runtimeDir), outputPath_(outputPath) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    // The environment goes in whole, with the runtime folder replaced.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "FMS_SIM_DIR=", 12) != 0) env.emplace_back(*e);
    }
    env.push_back("FMS_SIM_DIR=" + runtimeDir_);
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp;
    std::vector<char*> envp;
    for (std::string& a : argv) argp.push_back(a.data());
    for (std::string& e : env) envp.push_back(e.data());
    argp.push_back(nullptr);
    envp.push_back(nullptr);
    if (posix_spawn(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    console_ = fds[1];
}

SimChild::~SimChild() {
    if (console_ >= 0) close(console_);
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool SimChild::type(const std::string& line) {
    if (console_ < 0) return false;
    const std::string text = line + "\n";
    // A console that has gone away must not end the caller with SIGPIPE.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    const ssize_t n = write(console_, text.data(), text.size());
    sigaction(SIGPIPE, &previous, nullptr);
    return n == static_cast<ssize_t>(text.size());
}

void SimChild::closeConsole() {
    if (console_ >= 0) close(console_);
    console_ = -1;
}

void SimChild::signal(int sig) {
    if (pid_ > 0 && !exited_) kill(pid_, sig);
}

int SimChild::wait(int timeoutMs) {
    if (pid_ <= 0) return -1;
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exited_ = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

std::string SimChild::output() const {
    std::string text;
    std::FILE* f = std::fopen(outputPath_.c_str(), "r");
    if (f == nullptr) return text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
    return text;
}
