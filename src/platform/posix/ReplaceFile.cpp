#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"

// rename() replaces the target in one step.
bool replaceFile(const std::string& from, const std::string& to, std::string& why) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    why = std::strerror(errno);
    return false;
}
