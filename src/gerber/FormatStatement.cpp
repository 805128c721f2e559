#include "gerber/FormatStatement.h"

#include <string>

namespace mutaplot::gerber {

namespace {

// The statement without blanks and line breaks, and without one "*" in
// front; short statements only (longer ones are not these statements).
constexpr std::size_t kLongestStatement = 64;

bool Compact(std::string_view text, std::string& out) {
    out.clear();
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (out.size() >= kLongestStatement) return false;
        out.push_back(c);
    }
    if (!out.empty() && out.front() == '*') out.erase(0, 1);
    return true;
}

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<FormatStatement> ParseFormatStatement(std::string_view parameterText) {
    std::string s;
    if (!Compact(parameterText, s) || s.compare(0, 2, "FS") != 0) return std::nullopt;
    std::size_t k = 2;
    auto at = [&](std::size_t i) { return i < s.size() ? s[i] : '\0'; };
    FormatStatement f;
    if (at(k) == 'L') f.zeros = ZeroOmission::Leading, ++k;
    else if (at(k) == 'T') f.zeros = ZeroOmission::Trailing, ++k;
    else if (at(k) == 'D') f.zeros = ZeroOmission::None, ++k;
    if (at(k) == 'A') ++k;
    else if (at(k) == 'I') f.incremental = true, ++k;
    // Sequence number and preparatory code digits: read and ignored.
    for (char word : {'N', 'G'}) {
        if (at(k) != word) continue;
        if (!IsDigit(at(k + 1))) return std::nullopt;
        k += 2;
    }
    auto digits = [&](char letter, int& integer, int& decimal) {
        if (at(k) != letter || !IsDigit(at(k + 1)) || !IsDigit(at(k + 2))) return false;
        integer = at(k + 1) - '0';
        decimal = at(k + 2) - '0';
        k += 3;
        return integer >= kMinIntegerDigits && integer <= kMaxIntegerDigits &&
               decimal >= kMinDecimalDigits && decimal <= kMaxDecimalDigits;
    };
    if (!digits('X', f.xInteger, f.xDecimal) || !digits('Y', f.yInteger, f.yDecimal))
        return std::nullopt;
    for (char word : {'D', 'M'}) {
        if (at(k) != word) continue;
        if (!IsDigit(at(k + 1))) return std::nullopt;
        k += 2;
    }
    if (at(k) == '*') ++k;
    if (k != s.size()) return std::nullopt;
    return f;
}

std::optional<Unit> ParseModeStatement(std::string_view parameterText) {
    std::string s;
    if (!Compact(parameterText, s)) return std::nullopt;
    if (!s.empty() && s.back() == '*') s.pop_back();
    if (s == "MOMM") return Unit::Millimetre;
    if (s == "MOIN") return Unit::Inch;
    return std::nullopt;
}

int FormatCodeFor(const FormatStatement& format, Unit unit) noexcept {
    if (!format.SameForBothAxes()) return 0;
    for (const CoordinateFormat& f : kCoordinateFormats)
        if (f.unit == unit && f.integerDigits == format.xInteger &&
            f.decimalDigits == format.xDecimal)
            return f.code;
    return 0;
}

}  // namespace mutaplot::gerber
