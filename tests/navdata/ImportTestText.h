#pragma once

#include <string>
#include <string_view>
#include <vector>

// Small helpers shared by the importer tests.

// The lines of a text, without their line ends.
inline std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

// A source file: the two header lines of the given format version, the rows, the end row.
inline std::string sourceText(int version, std::string_view rows) {
    std::string text = "I\r\n";
    text += std::to_string(version);
    text += " Version - data cycle 2013.10, build 20131334. Test excerpt.\r\n\r\n";
    text += rows;
    text += "99\r\n";
    return text;
}

// Counts by reason, as "reason=count; " in the map's (alphabetical) order.
template <typename Counts>
std::string countsText(const Counts& counts) {
    std::string text;
    for (const auto& [reason, count] : counts) text += reason + "=" + std::to_string(count) + "; ";
    return text;
}
