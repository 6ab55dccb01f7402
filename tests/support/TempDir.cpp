#include "TempDir.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

TempDir::TempDir() {
    // A random name that nobody else has created: create_directory reports whether this call
    // made the folder, so two tests never share one.
    static std::random_device seed;
    static std::mt19937_64 names(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "fms-test-%012llx", static_cast<unsigned long long>(names() >> 16));
        std::error_code ec;
        if (std::filesystem::create_directory(base / name, ec) && !ec) {
            path_ = base / name;
            // Private to this user, as the simulator's socket folder must be.
            std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, ec);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::write(std::string_view relative, std::string_view content) const {
    std::filesystem::path full = path_ / std::filesystem::path(relative);
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return full;
}

std::string TempDir::read(std::string_view relative) const {
    std::ifstream in(path_ / std::filesystem::path(relative), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void linkOrCopy(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::error_code ec;
    if (std::filesystem::is_directory(target)) {
        std::filesystem::create_directory_symlink(target, link, ec);
    } else {
        std::filesystem::create_symlink(target, link, ec);
    }
    if (ec) std::filesystem::copy(target, link, std::filesystem::copy_options::recursive);
}
