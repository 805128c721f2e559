#include "ui/FileFilter.h"

#include <vector>

namespace mutaplot {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string QtPatterns(std::string_view patterns) {
    std::string out;
    for (std::string_view p : Split(patterns, ';')) {
        while (!p.empty() && p.front() == ' ') p.remove_prefix(1);
        while (!p.empty() && p.back() == ' ') p.remove_suffix(1);
        if (p.empty()) continue;
        if (!out.empty()) out += ' ';
        out += p == "*.*" ? std::string_view("*") : p;
    }
    return out.empty() ? "*" : out;
}

}  // namespace

std::string QtFileFilter(std::string_view filter) {
    if (filter.empty()) return {};
    const std::vector<std::string_view> parts = Split(filter, '|');
    std::string out;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        if (!out.empty()) out += ";;";
        out += parts[i];
        out += " (";
        out += QtPatterns(i + 1 < parts.size() ? parts[i + 1] : std::string_view());
        out += ')';
    }
    return out;
}

}  // namespace mutaplot
