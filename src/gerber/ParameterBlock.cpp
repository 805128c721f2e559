#include "gerber/ParameterBlock.h"

#include "settings/NumberText.h"

#include <array>
#include <cmath>

namespace mutaplot::gerber {

namespace {

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
bool IsUpper(char c) noexcept { return c >= 'A' && c <= 'Z'; }

std::string WithoutBlanks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (!IsBlank(c)) out.push_back(c);
    return out;
}

std::string_view Trimmed(std::string_view s) noexcept {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A whole decimal text ("-0.5", "3", ".25"); no exponent.
std::optional<double> ReadNumber(std::string_view s) {
    if (s.empty()) return std::nullopt;
    std::size_t k = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    bool digit = false;
    for (; k < s.size(); ++k) {
        if (IsDigit(s[k])) digit = true;
        else if (s[k] != '.') return std::nullopt;
    }
    if (!digit) return std::nullopt;
    auto v = ParseDecimal(s);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

// A whole number 0 … limit.
std::optional<int> ReadCount(std::string_view s, int limit) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (!IsDigit(c)) return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > limit) return std::nullopt;
    return n;
}

// Letter words ("X3Y2I5.0J4.0", "A0.5B-1"): each letter of `letters` at
// most once, each followed by its number text. False for anything else.
struct Words {
    std::array<std::string_view, 4> text{};
    std::array<bool, 4> given{};
};
bool ReadWords(std::string_view s, std::string_view letters, Words& words) {
    std::size_t k = 0;
    while (k < s.size()) {
        const std::size_t which = letters.find(s[k]);
        if (which == std::string_view::npos || which >= words.text.size() || words.given[which])
            return false;
        std::size_t end = k + 1;
        while (end < s.size() && letters.find(s[end]) == std::string_view::npos) ++end;
        words.given[which] = true;
        words.text[which] = s.substr(k + 1, end - k - 1);
        k = end;
    }
    return true;
}

bool ReadAperture(std::string_view statement, ApertureDefinition& ad) {
    // "ADD" digits name [ "," modifier { "X" modifier } ]. The name is kept
    // as written, blanks inside included, so that it meets its macro (some
    // CAD systems write macro names with blanks); the rest is read without
    // blanks.
    const std::size_t comma = statement.find(',');
    const std::string head = WithoutBlanks(statement.substr(0, comma));
    const std::string_view s = head;
    if (s.size() < 4 || s.compare(0, 3, "ADD") != 0) return false;
    std::size_t k = 3;
    while (k < s.size() && IsDigit(s[k])) ++k;
    auto d = ReadCount(s.substr(3, k - 3), kMaxDCode);
    if (!d) return false;
    ad.dCode = *d;
    // The name begins after the D code's digits in the text as written.
    std::string_view written = statement.substr(0, comma);
    std::size_t digits = 0;
    std::size_t w = 0;
    for (; w < written.size() && digits < k; ++w)
        if (!IsBlank(written[w])) ++digits;
    ad.templateName = std::string(Trimmed(written.substr(w)));
    if (ad.templateName.empty()) return false;
    if (comma == std::string_view::npos) return true;
    const std::string modifiers = WithoutBlanks(statement.substr(comma + 1));
    std::string_view rest = modifiers;
    for (;;) {
        const std::size_t x = rest.find('X');
        // A closing "X" with nothing after it ("C,0.1X") ends the list.
        if (x == std::string_view::npos && rest.empty() && !ad.modifiers.empty()) return true;
        auto v = ReadNumber(rest.substr(0, x));
        if (!v || ad.modifiers.size() >= kMaxModifiers) return false;
        ad.modifiers.push_back(*v);
        if (x == std::string_view::npos) return true;
        rest.remove_prefix(x + 1);
    }
}

bool ReadMacroStatement(std::string_view raw, MacroStatement& out) {
    const std::string_view t = Trimmed(raw);
    if (t.empty()) return false;
    if (t.front() == '$') {
        const std::size_t eq = t.find('=');
        if (eq == std::string_view::npos) return false;
        auto index = ReadCount(WithoutBlanks(t.substr(1, eq - 1)), Expression::kMaxVariable);
        auto value = Expression::Parse(t.substr(eq + 1));
        if (!index || *index < 1 || !value) return false;
        out = MacroVariable{*index, std::move(*value)};
        return true;
    }
    std::size_t k = 0;
    while (k < t.size() && IsDigit(t[k])) ++k;
    auto code = ReadCount(t.substr(0, k), 999);
    if (!code) return false;
    MacroPrimitive p;
    p.code = *code;
    if (p.code == 0) {
        p.comment = std::string(t.substr(k));
        out = std::move(p);
        return true;
    }
    std::string_view rest = Trimmed(t.substr(k));
    if (!rest.empty()) {
        if (rest.front() != ',') return false;
        rest.remove_prefix(1);
        for (;;) {
            const std::size_t comma = rest.find(',');
            auto e = Expression::Parse(rest.substr(0, comma));
            if (!e || p.modifiers.size() >= kMaxModifiers) return false;
            p.modifiers.push_back(std::move(*e));
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
    }
    out = std::move(p);
    return true;
}

}  // namespace

std::vector<std::string> ParseStatements(std::string_view text) {
    std::vector<std::string> out;
    std::string current;
    auto finish = [&] {
        if (!Trimmed(current).empty()) out.push_back(current);
        current.clear();
    };
    for (char c : text) {
        if (c == '\r' || c == '\n') continue;
        if (c == '*') finish();
        else current.push_back(c);
    }
    finish();
    return out;
}

ParameterBlock ParseParameterBlock(std::string_view text) {
    ParameterBlock b;
    const std::vector<std::string> statements = ParseStatements(text);
    if (statements.empty()) return b;
    const std::string_view first = Trimmed(statements.front());
    if (first.size() >= 2 && IsUpper(first[0]) && IsUpper(first[1])) b.code = first.substr(0, 2);
    using Kind = ParameterBlock::Kind;
    const std::string s = WithoutBlanks(first);
    const std::string_view c = b.code;
    const std::string_view args = std::string_view(s).substr(std::min<std::size_t>(2, s.size()));

    if (c == "FS") {
        if ((b.format = ParseFormatStatement(s))) b.kind = Kind::Format;
    } else if (c == "MO") {
        if ((b.mode = ParseModeStatement(s))) b.kind = Kind::Mode;
    } else if (c == "AD") {
        ApertureDefinition ad;
        if (ReadAperture(first, ad)) {
            b.aperture = std::move(ad);
            b.kind = Kind::ApertureDefinition;
        }
    } else if (c == "AM") {
        ApertureMacro m;
        m.name = std::string(Trimmed(first.substr(2)));
        bool ok = !m.name.empty();
        for (std::size_t k = 1; ok && k < statements.size(); ++k) {
            MacroStatement st;
            ok = ReadMacroStatement(statements[k], st);
            if (ok) m.body.push_back(std::move(st));
        }
        if (ok) {
            b.macro = std::move(m);
            b.kind = Kind::ApertureMacro;
        }
    } else if (c == "SR") {
        Words w;
        if (ReadWords(args, "XYIJ", w)) {
            StepRepeat sr;
            auto x = w.given[0] ? ReadCount(w.text[0], kMaxRepeat) : std::optional<int>(1);
            auto y = w.given[1] ? ReadCount(w.text[1], kMaxRepeat) : std::optional<int>(1);
            auto i = w.given[2] ? ReadNumber(w.text[2]) : std::optional<double>(0);
            auto j = w.given[3] ? ReadNumber(w.text[3]) : std::optional<double>(0);
            if (x && y && i && j && *x >= 1 && *y >= 1) {
                sr = {*x, *y, *i, *j};
                b.stepRepeat = sr;
                b.kind = Kind::StepRepeat;
            }
        }
    } else if (c == "LP") {
        if (args == "D" || args == "C") {
            b.polarity = args == "C" ? Polarity::Clear : Polarity::Dark;
            b.kind = Kind::LoadPolarity;
        }
    } else if (c == "IP") {
        if (args == "POS" || args == "NEG") {
            b.imageNegative = args == "NEG";
            b.kind = Kind::ImagePolarity;
        }
    } else if (c == "OF" || c == "IO" || c == "SF") {
        Words w;
        if (ReadWords(args, "AB", w)) {
            const double absent = c == "SF" ? 1.0 : 0.0;
            auto a = w.given[0] ? ReadNumber(w.text[0]) : std::optional<double>(absent);
            auto bb = w.given[1] ? ReadNumber(w.text[1]) : std::optional<double>(absent);
            if (a && bb) {
                if (c == "SF") {
                    b.scaleA = *a, b.scaleB = *bb;
                    b.kind = Kind::ScaleFactor;
                } else {
                    b.offsetA = *a, b.offsetB = *bb;
                    b.kind = c == "OF" ? Kind::Offset : Kind::ImageOffset;
                }
            }
        }
    } else if (c == "MI") {
        Words w;
        if (ReadWords(args, "AB", w)) {
            auto a = w.given[0] ? ReadCount(w.text[0], 1) : std::optional<int>(0);
            auto bb = w.given[1] ? ReadCount(w.text[1], 1) : std::optional<int>(0);
            if (a && bb) {
                b.mirrorA = *a == 1, b.mirrorB = *bb == 1;
                b.kind = Kind::MirrorImage;
            }
        }
    } else if (c == "AS") {
        if (args == "AXBY" || args == "AYBX") {
            b.axesSwapped = args == "AYBX";
            b.kind = Kind::AxisSelect;
        }
    } else if (c == "IR") {
        auto r = ReadCount(args, 270);
        if (r && *r % 90 == 0) {
            b.rotation = *r;
            b.kind = Kind::ImageRotation;
        }
    } else if (c == "LN") {
        b.name = std::string(Trimmed(first.substr(2)));
        b.kind = Kind::LayerName;
    } else if (c == "TF" || c == "TA" || c == "TO" || c == "TD") {
        b.name = std::string(first.substr(2));
        b.kind = Kind::Attribute;
    } else if (!c.empty()) {
        b.kind = Kind::Other;
    }
    return b;
}

}  // namespace mutaplot::gerber
