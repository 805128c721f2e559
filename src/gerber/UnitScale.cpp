#include "gerber/UnitScale.h"

#include "gerber/Expression.h"
#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace mutaplot::gerber {

namespace {

struct Scale {
    bool toInch;  // divide by 25.4, else multiply
    int decimals;

    double Apply(double v) const noexcept {
        return toInch ? v / kMillimetresPerInch : v * kMillimetresPerInch;
    }
};

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// A decimal number as Gerber writes one: sign, digits, point; no exponent.
bool IsPlainNumber(std::string_view text) noexcept {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    bool digit = false;
    for (char c : text) {
        if (IsDigit(c)) digit = true;
        else if (c != '.') return false;
    }
    return digit && text.find('.') == text.rfind('.');
}

std::optional<std::string> ScaleNumber(std::string_view text, const Scale& scale) {
    if (!IsPlainNumber(text)) return std::nullopt;
    auto v = ParseDecimal(text);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return FormatLength(scale.Apply(*v), scale.decimals);
}

// A macro modifier that is a length.
std::optional<std::string> ScaleModifier(std::string_view text, const Scale& scale) {
    auto e = Expression::Parse(text);
    if (!e) return std::nullopt;
    if (e->IsConstant()) return FormatLength(scale.Apply(e->Evaluate({})), scale.decimals);
    return (scale.toInch ? e->Divided(kMillimetresPerInch) : e->Scaled(kMillimetresPerInch)).Text();
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t k = text.find(separator);
        parts.push_back(text.substr(0, k));
        if (k == std::string_view::npos) return parts;
        text.remove_prefix(k + 1);
    }
}

// Which modifiers of a primitive (counted from 0 after the code, exposure
// included) are lengths, given how many there are.
bool IsLengthModifier(int code, std::size_t index, std::size_t count) {
    switch (code) {
        case 1: return index >= 1 && index <= 3;               // diameter, centre
        case 2: case 20: return index >= 1 && index <= 5;      // width, start, end
        case 21: case 22: return index >= 1 && index <= 4;     // width, height, point
        case 4: return index >= 2 && index + 1 < count;        // the points (rotation last)
        case 5: return index >= 2 && index <= 4;               // centre, diameter
        case 6: return index <= 4 || index == 6 || index == 7; // all but rings and rotation
        case 7: return index <= 4;                             // centre, diameters, gap
        default: return false;
    }
}

std::optional<std::string> ScaleMacroStatement(std::string_view statement, const Scale& scale) {
    std::size_t k = 0;
    while (k < statement.size() && (statement[k] == ' ' || statement[k] == '\t')) ++k;
    if (k == statement.size() || statement[k] == '$') return std::string(statement);
    const std::size_t codeStart = k;
    while (k < statement.size() && IsDigit(statement[k])) ++k;
    if (k == codeStart) return std::nullopt;
    int code = 0;
    std::from_chars(statement.data() + codeStart, statement.data() + k, code);
    if (code == 0) return std::string(statement);  // comment
    if (code != 1 && code != 2 && code != 20 && code != 21 && code != 22 && code != 4 &&
        code != 5 && code != 6 && code != 7)
        return std::nullopt;
    const std::size_t comma = statement.find(',', k);
    if (comma == std::string_view::npos) return std::string(statement);
    std::string out(statement.substr(0, comma));
    const auto modifiers = Split(statement.substr(comma + 1), ',');
    for (std::size_t i = 0; i < modifiers.size(); ++i) {
        out.push_back(',');
        if (!IsLengthModifier(code, i, modifiers.size())) {
            out += modifiers[i];
            continue;
        }
        auto scaled = ScaleModifier(modifiers[i], scale);
        if (!scaled) return std::nullopt;
        out += *scaled;
    }
    return out;
}

std::optional<std::string> ScaleAperture(std::string_view statement, const Scale& scale) {
    // "ADD" digits template [ "," modifiers ]
    std::size_t k = 3;
    while (k < statement.size() && IsDigit(statement[k])) ++k;
    const std::size_t comma = statement.find(',', k);
    if (comma == std::string_view::npos) return std::string(statement);
    const std::string_view name = statement.substr(k, comma - k);
    const bool standard = name == "C" || name == "R" || name == "O" || name == "P";
    if (!standard) return std::string(statement);  // a macro's parameters keep their unit
    std::string out(statement.substr(0, comma + 1));
    const auto modifiers = Split(statement.substr(comma + 1), 'X');
    for (std::size_t i = 0; i < modifiers.size(); ++i) {
        if (i > 0) out.push_back('X');
        // A polygon's vertex count (1) and rotation (2) stay; an empty
        // modifier (a stray "X" at the end, some CAD programs write one)
        // stays empty.
        const bool length = (name != "P" || i == 0 || i == 3) && !modifiers[i].empty();
        if (!length) {
            out += modifiers[i];
            continue;
        }
        auto scaled = ScaleNumber(modifiers[i], scale);
        if (!scaled) return std::nullopt;
        out += *scaled;
    }
    return out;
}

// Letter words of which those in `lengths` are scaled ("SRX3Y2I5J4", "OFA1B2").
std::optional<std::string> ScaleWords(std::string_view statement, std::string_view letters,
                                      std::string_view lengths, const Scale& scale) {
    std::string out(statement.substr(0, 2));
    std::size_t k = 2;
    while (k < statement.size()) {
        const char letter = statement[k];
        if (letters.find(letter) == std::string_view::npos) return std::nullopt;
        std::size_t end = k + 1;
        while (end < statement.size() && letters.find(statement[end]) == std::string_view::npos)
            ++end;
        const std::string_view number = statement.substr(k + 1, end - k - 1);
        out.push_back(letter);
        if (lengths.find(letter) != std::string_view::npos) {
            auto scaled = ScaleNumber(number, scale);
            if (!scaled) return std::nullopt;
            out += *scaled;
        } else {
            out += number;
        }
        k = end;
    }
    return out;
}

}  // namespace

std::string FormatLength(double value, int decimals) {
    const double factor = std::pow(10.0, decimals);
    double rounded = RoundHalfUp(value * factor) / factor;
    if (rounded == 0 || !std::isfinite(rounded)) rounded = 0;  // no "-0"
    char buf[400];
    auto end = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, decimals).ptr;
    std::string text(buf, end);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

std::optional<std::string> ScaleParameterText(std::string_view text, Unit from, Unit to,
                                              int decimals) {
    const bool convert = from != to && from != Unit::None && to != Unit::None;
    if (!convert) return std::string(text);
    const Scale scale{to == Unit::Inch, decimals};
    std::vector<std::string_view> statements = Split(text, '*');
    if (!statements.empty() && statements.back().empty()) statements.pop_back();
    const bool macro = !statements.empty() && statements.front().substr(0, 2) == "AM";
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < statements.size(); ++i) {
        const std::string_view s = statements[i];
        std::optional<std::string> scaled;
        const std::string_view code = s.substr(0, 2);
        if (macro && i > 0) scaled = ScaleMacroStatement(s, scale);
        else if (code == "AD") scaled = ScaleAperture(s, scale);
        else if (code == "SR") scaled = ScaleWords(s, "XYIJ", "IJ", scale);
        else if (code == "OF" || code == "IO") scaled = ScaleWords(s, "AB", "AB", scale);
        else scaled = std::string(s);
        if (!scaled) return std::nullopt;
        out += *scaled;
        out.push_back('*');
    }
    return out;
}

}  // namespace mutaplot::gerber
