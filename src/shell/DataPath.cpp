#include "shell/DataPath.h"

#include <cstdio>
#include <filesystem>

#include "Fms.h"
#include "platform/KeyStore.h"

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
    return joinPath(fms().shell.dataRoot, relative);
}

void publishDataPath() {
    KeyStore* store = fms().platform.keyStore;
    if (store == nullptr) return;
    static constexpr const char* kKey = "SOFTWARE\\ORX1-FMS";
    int error = 0;
    if (!store->keyExists(kKey)) {
        std::printf("Creating registry key: %s\n", kKey);
        if (!store->createKey(kKey, error)) {
            std::printf("Error: %d Could not find or create %s\n", error, kKey);
            return;
        }
    }
    std::error_code ec;
    std::filesystem::path root = std::filesystem::absolute(fms().shell.dataRoot, ec);
    if (ec) root = fms().shell.dataRoot;
    store->setString(kKey, "Path", joinPath(root.lexically_normal().string(), "data"), error);
}
