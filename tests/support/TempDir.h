#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh temporary folder, removed with everything in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // Writes a file below the folder (creating sub-folders) and returns its full path.
    std::filesystem::path write(std::string_view relative, std::string_view content) const;
    // Reads a file below the folder; empty when missing.
    std::string read(std::string_view relative) const;

private:
    std::filesystem::path path_;
};

// Makes `link` stand for `target` (a file or a folder): a symbolic link where the system
// makes one, a copy where it cannot (Windows without the privilege, Wine).
void linkOrCopy(const std::filesystem::path& target, const std::filesystem::path& link);
