#include "platform/Files.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/Platform.h"

std::string joinPath(std::string_view root, std::string_view relative) {
    while (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
    if (root.empty()) root = ".";
    std::string path;
    path.reserve(root.size() + relative.size() + 1);
    path.append(root);
    if (path.back() != '/') path.push_back('/');
    path.append(relative);
    return path;
}

std::string dataPath(std::string_view relative) {
    return joinPath(platform().dataRoot, relative);
}

bool readFileCapped(const std::string& path, std::string& out, size_t maxBytes) {
    out.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    bool ok = true;
    size_t n;
    while (ok && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (out.size() + n > maxBytes) {
            ok = false;
            break;
        }
        out.append(buffer, n);
    }
    if (std::ferror(file)) ok = false;
    std::fclose(file);
    if (!ok) out.clear();
    return ok;
}

bool writeFileAtomically(const std::string& path, std::string_view text, std::string* error) {
    namespace fs = std::filesystem;
    auto fail = [error](const std::string& why) {
        if (error != nullptr) *error = why;
        return false;
    };
    std::error_code ec;
    const fs::path target(path);
    // Unique per process (two units may share a folder) and per call (threads of one process).
    static std::atomic<unsigned> serial{0};
    const std::string temporary =
        path + "." + std::to_string(static_cast<long>(getpid())) + "." + std::to_string(serial++) + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return fail("cannot write " + temporary + ": " + std::strerror(errno));
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    const int writeErrno = errno;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        fs::remove(temporary, ec);
        return fail("cannot write " + temporary + ": " + std::strerror(writeErrno != 0 ? writeErrno : EIO));
    }
    std::string why;
    if (!replaceFile(temporary, path, why)) {
        fs::remove(temporary, ec);
        return fail("cannot rename " + temporary + " to " + path + ": " + why);
    }
    return true;
}

bool createParentFolders(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return true;
    std::error_code ec;
    std::filesystem::create_directories(parent, ec);
    return !ec;
}
