#pragma once

#include "platform/KeyStore.h"

// The key store in the registry under HKEY_CURRENT_USER; error codes are the system's.
class RegistryKeyStore final : public KeyStore {
public:
    bool keyExists(std::string_view key) override;
    bool createKey(std::string_view key, int& error) override;
    bool setString(std::string_view key, std::string_view name, std::string_view value, int& error) override;
    std::optional<std::string> getString(std::string_view key, std::string_view name) override;
};
