#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <zlib.h>

namespace navimport {

// Line access to the world source files. They are untrusted: any byte may appear, lines may
// be of any length and end in CR LF; nothing here assumes more than it checks.

// A source of text lines (without their line end and without a trailing carriage return).
class LineSource {
public:
    virtual ~LineSource() = default;
    // False at end of input.
    virtual bool next(std::string& line) = 0;
    // Fraction of the input consumed so far, 0..1 (for the progress display).
    virtual double progress() const = 0;
};

// Reads a file that may be gzip-compressed or plain text (zlib reads both).
class GzLineSource : public LineSource {
public:
    GzLineSource() = default;
    ~GzLineSource() override;
    GzLineSource(const GzLineSource&) = delete;
    GzLineSource& operator=(const GzLineSource&) = delete;

    bool open(const std::string& path);
    bool next(std::string& line) override;
    double progress() const override;
    // True when a read error (not the end of the file) stopped the input.
    bool failed() const { return failed_; }

private:
    gzFile file_ = nullptr;
    std::uint64_t compressedSize_ = 0;
    bool failed_ = false;
    std::vector<char> buffer_ = std::vector<char>(64 * 1024);
};

// Lines of a text held in memory (tests and the fuzz driver); keeps its own copy.
class StringLineSource : public LineSource {
public:
    explicit StringLineSource(std::string_view text) : text_(text) {}
    bool next(std::string& line) override;
    double progress() const override;

private:
    std::string text_;
    std::size_t pos_ = 0;
};

// Splits a line into blank-separated words (spaces and tabs).
std::vector<std::string_view> splitWords(std::string_view line);

// Strict number conversions: the whole word must be the number. Junk rows in the world files
// must be recognised, not read as 0.
bool parseReal(std::string_view word, double& value);
bool parseInt(std::string_view word, long& value);

// A position inside the valid latitude and longitude ranges.
bool validPosition(double lat, double lon);

// An identifier as the database files hold it: printable ASCII, no comma, upper case.
// Empty when the word cannot be an identifier. `changed` reports a case change.
std::string cleanIdent(std::string_view word, bool* changed = nullptr);

// A name joined from words: commas and bytes outside printable ASCII become blanks, runs of
// blanks collapse, letters are upper-cased (the CDU shows upper case). Empty when nothing is left.
std::string cleanName(const std::vector<std::string_view>& words, std::size_t first);
std::string cleanName(std::string_view text);

// The data cycle named in a file header ("... data cycle 2013.10, ..."), "2013.10"; empty
// when the header names none.
std::string cycleFromHeader(std::string_view header);

}  // namespace navimport
