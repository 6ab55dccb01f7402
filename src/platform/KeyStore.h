#pragma once

#include <optional>
#include <string>
#include <string_view>

// A small per-user store of named string values grouped under keys (the program records its
// data folder there so that companion tools can find the database).
class KeyStore {
public:
    virtual ~KeyStore() = default;
    virtual bool keyExists(std::string_view key) = 0;
    // Creates an empty key; on failure returns false and sets `error` (an errno value).
    virtual bool createKey(std::string_view key, int& error) = 0;
    // Sets `name` under an existing key; on failure returns false and sets `error`.
    virtual bool setString(std::string_view key, std::string_view name, std::string_view value,
                           int& error) = 0;
    virtual std::optional<std::string> getString(std::string_view key, std::string_view name) = 0;
};

// The store as one text file: "[key]" lines, each followed by its "name=value" lines (values
// escape backslash and line breaks). The file is replaced as a whole on every change, so a
// failed write leaves the previous contents.
class FileKeyStore final : public KeyStore {
public:
    explicit FileKeyStore(std::string path) : path_(std::move(path)) {}
    // $XDG_CONFIG_HOME/fms/keystore.ini, or ~/.config/fms/keystore.ini; empty when neither
    // the variable nor a home folder is known. (POSIX systems only: Windows has the registry.)
    static std::string defaultPath();

    const std::string& path() const { return path_; }
    bool keyExists(std::string_view key) override;
    bool createKey(std::string_view key, int& error) override;
    bool setString(std::string_view key, std::string_view name, std::string_view value, int& error) override;
    std::optional<std::string> getString(std::string_view key, std::string_view name) override;

private:
    std::string path_;
};
