#include "shell/DataFolder.h"

#include <cstdio>
#include <filesystem>

#include "platform/KeyStore.h"
#include "platform/Platform.h"

void publishDataPath() {
    KeyStore* store = platform().keyStore;
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
    std::filesystem::path root = std::filesystem::absolute(platform().dataRoot, ec);
    if (ec) root = platform().dataRoot;
    // In the system's own separators ("C:\\fms\\data" on Windows), for the tools that read it.
    store->setString(kKey, "Path", (root.lexically_normal() / "data").make_preferred().string(), error);
}
