#include "platform/Termination.h"

#include <dirent.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::atomic<bool> requested{false};

// Child processes of this process. A message box may run in one (the window system's
// dialogs are shown from a forked child while the main thread waits for it); ending it
// hands the main thread back so that it can end the program.
void endChildProcesses() {
    const pid_t self = getpid();
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || pid <= 0) continue;
        const std::string path = std::string("/proc/") + entry->d_name + "/stat";
        FILE* stat = std::fopen(path.c_str(), "r");
        if (stat == nullptr) continue;
        long parent = 0;
        // "pid (name) state ppid ...": the name may hold spaces, so read from its last ')'.
        char line[512];
        if (std::fgets(line, sizeof line, stat) != nullptr) {
            const std::string text(line);
            const size_t close = text.rfind(')');
            if (close != std::string::npos) std::sscanf(text.c_str() + close + 1, " %*c %ld", &parent);
        }
        std::fclose(stat);
        // SIGKILL: a child forked from the main thread has these signals blocked as well.
        if (parent == self) kill(static_cast<pid_t>(pid), SIGKILL);
    }
    closedir(proc);
}

}  // namespace

void watchTerminationRequests() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    // Blocked here, in the main thread, so that every thread created later inherits the
    // mask and only the watcher takes them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        for (;;) {
            int signal = 0;
            if (sigwait(&signals, &signal) != 0) continue;
            // A second request means the first one was not enough: end at once.
            if (requested.exchange(true, std::memory_order_acq_rel)) _exit(128 + signal);
            endChildProcesses();
        }
    }).detach();
}

bool terminationRequested() {
    return requested.load(std::memory_order_acquire);
}
