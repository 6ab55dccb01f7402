#include "platform/KeyStore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/Files.h"

namespace {

// The store is tiny; a larger file is not ours and is not read.
constexpr size_t kMaxStoreBytes = 1 << 20;

struct Entry {
    std::string name;
    std::string value;
};

struct Section {
    std::string key;
    std::vector<Entry> entries;
};

std::string escapeValue(std::string_view value) {
    std::string out;
    for (char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescapeValue(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

// Keys are written inside "[...]" and names before "="; refuse what would not read back.
bool validKey(std::string_view key) {
    return !key.empty() && key.find_first_of("]\n\r") == std::string_view::npos;
}

bool validName(std::string_view name) {
    return !name.empty() && name.find_first_of("=\n\r[") == std::string_view::npos;
}

std::vector<Section> load(const std::string& path) {
    std::vector<Section> sections;
    std::string text;
    if (!readFileCapped(path, text, kMaxStoreBytes)) return sections;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
            continue;
        }
        const size_t eq = line.find('=');
        if (sections.empty() || eq == std::string::npos || eq == 0) continue;
        sections.back().entries.push_back({line.substr(0, eq), unescapeValue(line.substr(eq + 1))});
    }
    return sections;
}

bool save(const std::string& path, const std::vector<Section>& sections, int& error) {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) {
        error = ec.value();
        return false;
    }
    std::ostringstream out;
    for (const Section& s : sections) {
        out << '[' << s.key << "]\n";
        for (const Entry& e : s.entries) out << e.name << '=' << escapeValue(e.value) << '\n';
    }
    const std::string text = out.str();
    std::string why;
    if (!writeFileAtomically(path, text, &why)) {
        error = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

Section* findSection(std::vector<Section>& sections, std::string_view key) {
    for (Section& s : sections) {
        if (s.key == key) return &s;
    }
    return nullptr;
}

}  // namespace

bool FileKeyStore::keyExists(std::string_view key) {
    std::vector<Section> sections = load(path_);
    return findSection(sections, key) != nullptr;
}

bool FileKeyStore::createKey(std::string_view key, int& error) {
    if (!validKey(key) || path_.empty()) {
        error = EINVAL;
        return false;
    }
    std::vector<Section> sections = load(path_);
    if (findSection(sections, key) != nullptr) return true;
    sections.push_back({std::string(key), {}});
    return save(path_, sections, error);
}

bool FileKeyStore::setString(std::string_view key, std::string_view name, std::string_view value,
                             int& error) {
    if (!validName(name)) {
        error = EINVAL;
        return false;
    }
    std::vector<Section> sections = load(path_);
    Section* section = findSection(sections, key);
    if (section == nullptr) {
        error = ENOENT;
        return false;
    }
    bool replaced = false;
    for (Entry& e : section->entries) {
        if (e.name == name) {
            e.value = value;
            replaced = true;
        }
    }
    if (!replaced) section->entries.push_back({std::string(name), std::string(value)});
    return save(path_, sections, error);
}

std::optional<std::string> FileKeyStore::getString(std::string_view key, std::string_view name) {
    std::vector<Section> sections = load(path_);
    Section* section = findSection(sections, key);
    if (section == nullptr) return std::nullopt;
    for (const Entry& e : section->entries) {
        if (e.name == name) return e.value;
    }
    return std::nullopt;
}
