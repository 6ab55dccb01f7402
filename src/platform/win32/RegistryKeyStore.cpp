#include "platform/win32/RegistryKeyStore.h"

#include <windows.h>

#include <string>

bool RegistryKeyStore::keyExists(std::string_view key) {
    HKEY handle = nullptr;
    const std::string path(key);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

bool RegistryKeyStore::createKey(std::string_view key, int& error) {
    HKEY handle = nullptr;
    const std::string path(key);
    const LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS) {
        error = static_cast<int>(status);
        return false;
    }
    RegCloseKey(handle);
    return true;
}

bool RegistryKeyStore::setString(std::string_view key, std::string_view name, std::string_view value,
                                 int& error) {
    HKEY handle = nullptr;
    const std::string path(key);
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &handle);
    if (status == ERROR_SUCCESS) {
        const std::string valueName(name);
        const std::string text(value);
        // The stored string includes its terminating zero.
        status =
            RegSetValueExA(handle, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1));
        RegCloseKey(handle);
    }
    if (status != ERROR_SUCCESS) {
        error = static_cast<int>(status);
        return false;
    }
    return true;
}

std::optional<std::string> RegistryKeyStore::getString(std::string_view key, std::string_view name) {
    const std::string path(key);
    const std::string valueName(name);
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS ||
        size == 0) {
        return std::nullopt;
    }
    std::string text(size, '\0');
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr, text.data(),
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(size > 0 ? size - 1 : 0);
    const size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
}
