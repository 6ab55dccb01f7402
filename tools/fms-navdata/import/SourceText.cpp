#include "import/SourceText.h"

#include <charconv>
#include <cmath>
#include <sys/stat.h>

namespace navimport {

GzLineSource::~GzLineSource() {
    if (file_ != nullptr) gzclose(file_);
}

bool GzLineSource::open(const std::string& path) {
    if (file_ != nullptr) gzclose(file_);
    failed_ = false;
    struct stat info {};
    compressedSize_ = ::stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    file_ = gzopen(path.c_str(), "rb");
    if (file_ == nullptr) return false;
    gzbuffer(file_, 256 * 1024);
    return true;
}

bool GzLineSource::next(std::string& line) {
    line.clear();
    if (file_ == nullptr) return false;
    bool gotAny = false;
    // gzgets stops at a newline or a full buffer; long lines arrive in pieces.
    while (gzgets(file_, buffer_.data(), static_cast<int>(buffer_.size())) != nullptr) {
        gotAny = true;
        std::string_view piece(buffer_.data());
        bool complete = !piece.empty() && piece.back() == '\n';
        line.append(piece);
        if (complete) break;
    }
    if (!gotAny) {
        int error = 0;
        gzerror(file_, &error);
        if (error != Z_OK) failed_ = true;
        return false;
    }
    // A NUL byte inside a line ends what gzgets reports; the rest of that line is lost, which
    // only affects junk lines.
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return true;
}

double GzLineSource::progress() const {
    if (file_ == nullptr || compressedSize_ == 0) return 0.0;
    z_off_t offset = gzoffset(file_);
    if (offset < 0) return 0.0;
    double fraction = static_cast<double>(offset) / static_cast<double>(compressedSize_);
    return fraction > 1.0 ? 1.0 : fraction;
}

bool StringLineSource::next(std::string& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    line.assign(text_.substr(pos_, end - pos_));
    pos_ = end + 1;
    while (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

double StringLineSource::progress() const {
    return text_.empty() ? 1.0 : static_cast<double>(pos_ > text_.size() ? text_.size() : pos_) / text_.size();
}

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool parseReal(std::string_view word, double& value) {
    if (!word.empty() && word.front() == '+') word.remove_prefix(1);
    if (word.empty()) return false;
    double parsed = 0.0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool parseInt(std::string_view word, long& value) {
    if (!word.empty() && word.front() == '+') word.remove_prefix(1);
    if (word.empty()) return false;
    long parsed = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (error != std::errc() || end != word.data() + word.size()) return false;
    value = parsed;
    return true;
}

bool validPosition(double lat, double lon) {
    return lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0;
}

std::string cleanIdent(std::string_view word, bool* changed) {
    std::string ident;
    ident.reserve(word.size());
    bool caseChanged = false;
    for (char c : word) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == ',') return {};
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
            caseChanged = true;
        }
        ident += c;
    }
    if (changed != nullptr) *changed = caseChanged;
    return ident;
}

std::string cleanName(std::string_view text) {
    std::string name;
    name.reserve(text.size());
    bool pendingBlank = false;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == ',') {
            pendingBlank = !name.empty();
            continue;
        }
        if (pendingBlank) name += ' ';
        pendingBlank = false;
        name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return name;
}

std::string cleanName(const std::vector<std::string_view>& words, std::size_t first) {
    std::string joined;
    for (std::size_t i = first; i < words.size(); ++i) {
        if (!joined.empty()) joined += ' ';
        joined.append(words[i]);
    }
    return cleanName(joined);
}

std::string cycleFromHeader(std::string_view header) {
    constexpr std::string_view kKey = "data cycle ";
    std::size_t at = header.find(kKey);
    if (at == std::string_view::npos) return {};
    std::string_view rest = header.substr(at + kKey.size());
    std::size_t end = 0;
    while (end < rest.size() && ((rest[end] >= '0' && rest[end] <= '9') || rest[end] == '.')) ++end;
    return std::string(rest.substr(0, end));
}

}  // namespace navimport
