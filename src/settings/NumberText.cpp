#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace mutaplot {

std::string FormatDecimal(double value) {
    if (!std::isfinite(value) || value == 0.0) return "0";
    // 15 significant digits, correctly rounded, in scientific form:
    // "d.dddddddddddddde±XX".
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    bool negative = false;
    if (!sci.empty() && sci.front() == '-') {
        negative = true;
        sci.remove_prefix(1);
    }
    const std::size_t e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c != '.') digits.push_back(c);
    int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;
    if (negative) out.push_back('-');
    const int pointPos = exponent + 1;  // digits before the point
    if (pointPos <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-pointPos), '0');
        out += digits;
    } else if (static_cast<std::size_t>(pointPos) >= digits.size()) {
        out += digits;
        out.append(static_cast<std::size_t>(pointPos) - digits.size(), '0');
    } else {
        out += digits.substr(0, static_cast<std::size_t>(pointPos));
        out.push_back('.');
        out += digits.substr(static_cast<std::size_t>(pointPos));
    }
    return out;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<double> ParseDecimal(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                     std::chars_format::general);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return negative ? -value : value;
}

std::optional<double> ParseLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    std::size_t digitCount = i - digitsStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        digitCount += i - fracStart;
        if (i == fracStart) {
            // "12." : the point without fraction digits still ends the number
        }
    }
    if (digitCount == 0) return std::nullopt;
    std::string_view number = text.substr(start, i - start);
    bool negative = false;
    if (number.front() == '+' || number.front() == '-') {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    if (number.front() == '.') {
        // ".5": from_chars needs a digit before the point
        double frac = 0.0;
        std::string tmp = "0";
        tmp += number;
        std::from_chars(tmp.data(), tmp.data() + tmp.size(), frac, std::chars_format::fixed);
        return negative ? -frac : frac;
    }
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed);
    return negative ? -value : value;
}

double RoundHalfUp(double value) noexcept { return std::floor(value + 0.5); }

double RoundHalfEven(double value) noexcept {
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5) return lower;
    if (diff > 0.5) return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

}  // namespace mutaplot
