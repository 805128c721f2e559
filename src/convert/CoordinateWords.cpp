#include "convert/CoordinateWords.h"

#include "settings/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace mutaplot {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Powers of ten as exact doubles (10^0 … 10^22 are all exact).
constexpr std::array<double, 23> kPow10 = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The values of ConverterState::changedAxes.
constexpr std::uint8_t kBothAxesChanged = 0;  // also the start of a pass
constexpr std::uint8_t kOnlyXChanged = 1;
constexpr std::uint8_t kOnlyYChanged = 2;

// First occurrences of the word letters in a block.
struct LetterPositions {
    std::size_t x = npos, y = npos, i = npos, j = npos, d = npos;
    bool wordInDPart = false;  // an X, Y, I or J after the first D
};

LetterPositions FindLetters(std::string_view block) noexcept {
    LetterPositions p;
    for (std::size_t k = 0; k < block.size(); ++k) {
        switch (block[k]) {
            case 'X': if (p.x == npos) p.x = k; p.wordInDPart |= p.d != npos; break;
            case 'Y': if (p.y == npos) p.y = k; p.wordInDPart |= p.d != npos; break;
            case 'I': if (p.i == npos) p.i = k; p.wordInDPart |= p.d != npos; break;
            case 'J': if (p.j == npos) p.j = k; p.wordInDPart |= p.d != npos; break;
            case 'D': if (p.d == npos) p.d = k; break;
            default: break;
        }
    }
    return p;
}

// The number text of a word: from after its letter up to `end`. False when
// the end lies before the letter (words out of order) or the text is not a
// number.
bool TakeNumber(std::string_view block, std::size_t letter, std::size_t end,
                std::string_view& out) noexcept {
    if (end == npos || end <= letter) return false;
    out = block.substr(letter + 1, end - letter - 1);
    return IsCoordinateNumber(out);
}

// Reads a digit text longer than the fast path takes (digits only), with
// `zeros` zeros appended, as a double correctly rounded.
std::optional<double> ReadLongDigits(std::string_view digits, int zeros) {
    std::string text(digits);
    text.append(static_cast<std::size_t>(zeros), '0');
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Reads a digit text (digits only, any length) and appends `zeros` zeros to
// it, as a double: exact up to 2^53 and correctly rounded beyond.
inline std::optional<double> ReadDigits(std::string_view digits, int zeros) {
    if (digits.size() + static_cast<std::size_t>(zeros) <= 19) {
        std::uint64_t n = 0;
        for (char c : digits) n = n * 10 + static_cast<std::uint64_t>(c - '0');
        for (int k = 0; k < zeros; ++k) n *= 10;
        return static_cast<double>(n);
    }
    return ReadLongDigits(digits, zeros);
}

// Zeros to append to a digit text read with trailing zeros omitted: up to
// N_in characters (the sign of a negative X or Y counts as one more
// character of the target, so it comes to the same).
inline int AppendedZeros(std::string_view digits, ZeroMode zeros, int totalDigits) noexcept {
    if (zeros == ZeroMode::TrailingOmitted && totalDigits > 0 &&
        digits.size() < static_cast<std::size_t>(totalDigits))
        return totalDigits - static_cast<int>(digits.size());
    return 0;
}

// Input decoding and conversion to output counts of an unsigned digit text,
// in the order: zero restoration, divide by 10^d_in, sign, unit, shift,
// multiply by 10^d_out, floor(v + 0.5). The steps run one by one in doubles.
std::optional<double> ConvertDigits(std::string_view digits, bool negative, double shift,
                                    const ConversionSettings& s, Axis axis,
                                    const OwnInputFormat* own) {
    const CoordinateFormat* out = FindCoordinateFormat(s.outputFormat);
    if (!out) return std::nullopt;
    int inDecimals, inTotal;
    ZeroMode inZeros;
    Unit inUnit;
    if (own) {
        const int a = axis == Axis::X ? 0 : 1;
        inDecimals = own->decimalDigits[a];
        inTotal = own->integerDigits[a] + own->decimalDigits[a];
        inZeros = own->zeros;
        inUnit = own->unit;
        if (inDecimals < 0 || inDecimals > 22 || inTotal < 0) return std::nullopt;
    } else {
        const CoordinateFormat* in = FindCoordinateFormat(s.inputFormat);
        if (!in) return std::nullopt;
        inDecimals = in->decimalDigits;
        inTotal = in->totalDigits();
        inZeros = CodeAs<ZeroMode>(s.inputZeroMode);
        inUnit = CodeAs<Unit>(s.inputUnit);
    }
    auto n = ReadDigits(digits, AppendedZeros(digits, inZeros, inTotal));
    if (!n) return std::nullopt;
    double v = *n / kPow10[static_cast<std::size_t>(inDecimals)];
    if (negative) v = -v;
    const Unit outUnit = CodeAs<Unit>(s.outputUnit);
    if (inUnit == Unit::Inch && outUnit == Unit::Millimetre) v = v * kMillimetresPerInch;
    else if (inUnit == Unit::Millimetre && outUnit == Unit::Inch) v = v / kMillimetresPerInch;
    v = v + shift;
    v = v * kPow10[static_cast<std::size_t>(out->decimalDigits)];
    v = RoundHalfUp(v);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

int OutputDigitCount(const ConversionSettings& s) noexcept {
    const CoordinateFormat* out = FindCoordinateFormat(s.outputFormat);
    return out ? out->totalDigits() : 0;
}

// Appends one word: its letter, "-" for a negative value, its digits. Returns
// the overflow of the value.
bool AppendWord(std::string& out, char letter, bool negative, double magnitude,
                const ConversionSettings& s) {
    out.push_back(letter);
    if (negative) out.push_back('-');
    return AppendOutputDigits(out, magnitude, s);
}

bool AppendSignedWord(std::string& out, char letter, double value, const ConversionSettings& s) {
    return AppendWord(out, letter, value < 0, value < 0 ? -value : value, s);
}

// The overflow test of a value that is not written (an omitted word).
bool Overflows(double magnitude, const ConversionSettings& s) noexcept {
    return magnitude > kPow10[static_cast<std::size_t>(OutputDigitCount(s))] - 1;
}

}  // namespace

std::optional<double> InputDigitCount(std::string_view digits, ZeroMode zeros, int totalDigits) {
    return ReadDigits(digits, AppendedZeros(digits, zeros, totalDigits));
}

void ResetConverterState(ConverterState& state) {
    state.xDigits.clear();
    state.yDigits.clear();
    state.lastX = 0.0;
    state.lastY = 0.0;
    state.changedAxes = kBothAxesChanged;
    state.overflowX = false;
    state.overflowY = false;
    state.currentDCode = "D02";
    state.unconvertedCount = 0;
    state.firstUnconverted = 0;
    state.droppedCount = 0;
    state.firstDropped = 0;
}

bool IsCoordinateNumber(std::string_view text) noexcept {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::optional<BlockWords> ExtractWordsInAnyOrder(std::string_view block, bool arc) {
    BlockWords w;
    std::size_t k = 0;
    const std::string_view head = block.substr(0, 3);
    if (head == "G01" || head == "G02" || head == "G03") k = 3;
    while (k < block.size() && block[k] != 'D') {
        const char letter = block[k];
        std::string_view* number = nullptr;
        bool* has = nullptr;
        switch (letter) {
            case 'X': number = &w.x; has = &w.hasX; break;
            case 'Y': number = &w.y; has = &w.hasY; break;
            case 'I': if (arc) { number = &w.i; has = &w.hasI; } break;
            case 'J': if (arc) { number = &w.j; has = &w.hasJ; } break;
            default: break;
        }
        if (!has || *has) return std::nullopt;
        std::size_t end = k + 1;
        if (end < block.size() && block[end] == '-') ++end;
        while (end < block.size() && block[end] >= '0' && block[end] <= '9') ++end;
        *number = block.substr(k + 1, end - k - 1);
        if (!IsCoordinateNumber(*number)) return std::nullopt;
        *has = true;
        k = end;
    }
    if (k == block.size()) return std::nullopt;
    if (arc && !w.hasI && !w.hasJ) return std::nullopt;
    w.dPart = block.substr(k);
    // Words behind the D part would be lost with it.
    if (w.dPart.find_first_of("XYIJ") != npos) return std::nullopt;
    return w;
}

namespace {

std::optional<BlockWords> ExtractLinearWordsInOrder(std::string_view block) {
    const LetterPositions p = FindLetters(block);
    if (p.d == npos) return std::nullopt;
    BlockWords w;
    w.dPart = block.substr(p.d);
    w.wordInDPart = p.wordInDPart;
    if (block.front() == 'X') {
        w.hasX = true;
        w.hasY = p.y != npos;
        if (!TakeNumber(block, 0, w.hasY ? p.y : p.d, w.x)) return std::nullopt;
        if (w.hasY && !TakeNumber(block, p.y, p.d, w.y)) return std::nullopt;
    } else if (block.front() == 'Y') {
        // The Y word runs up to the D part; an X after it belongs to the D part.
        w.hasY = true;
        if (!TakeNumber(block, 0, p.d, w.y)) return std::nullopt;
    } else if (block.substr(0, 3) == "G01") {
        w.hasX = p.x != npos;
        w.hasY = p.y != npos;
        if (w.hasX && !TakeNumber(block, p.x, w.hasY ? p.y : p.d, w.x)) return std::nullopt;
        if (w.hasY && !TakeNumber(block, p.y, p.d, w.y)) return std::nullopt;
    } else {
        return std::nullopt;
    }
    return w;
}

std::optional<BlockWords> ExtractArcWordsInOrder(std::string_view block) {
    const LetterPositions p = FindLetters(block);
    if (p.d == npos) return std::nullopt;
    BlockWords w;
    w.dPart = block.substr(p.d);
    w.wordInDPart = p.wordInDPart;
    w.hasX = p.x != npos;
    w.hasY = p.y != npos;
    w.hasI = p.i != npos;
    w.hasJ = p.j != npos;
    if (!w.hasI && !w.hasJ) return std::nullopt;
    if (w.hasX) {
        const std::size_t end = w.hasY ? p.y : (w.hasI ? p.i : p.j);
        if (!TakeNumber(block, p.x, end, w.x)) return std::nullopt;
    }
    if (w.hasY && !TakeNumber(block, p.y, w.hasI ? p.i : p.j, w.y)) return std::nullopt;
    if (w.hasI && !TakeNumber(block, p.i, w.hasJ ? p.j : p.d, w.i)) return std::nullopt;
    if (w.hasJ && !TakeNumber(block, p.j, p.d, w.j)) return std::nullopt;
    return w;
}

}  // namespace

std::optional<BlockWords> ExtractLinearWords(std::string_view block) {
    auto w = ExtractLinearWordsInOrder(block);
    if (!w) w = ExtractWordsInAnyOrder(block, false);
    return w;
}

std::optional<BlockWords> ExtractArcWords(std::string_view block) {
    auto w = ExtractArcWordsInOrder(block);
    if (!w) w = ExtractWordsInAnyOrder(block, true);
    return w;
}

std::optional<double> ConvertCoordinate(std::string_view text, Axis axis,
                                        const ConversionSettings& settings,
                                        const OwnInputFormat* own) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    const double shift = axis == Axis::X ? settings.originShiftX : settings.originShiftY;
    return ConvertDigits(text, negative, shift, settings, axis, own);
}

std::optional<ConvertedOffset> ConvertOffset(std::string_view text,
                                             const ConversionSettings& settings, Axis axis,
                                             const OwnInputFormat* own) {
    ConvertedOffset offset;
    if (!text.empty() && text.front() == '-') {
        offset.negative = true;
        text.remove_prefix(1);
    }
    auto magnitude = ConvertDigits(text, false, 0.0, settings, axis, own);
    if (!magnitude) return std::nullopt;
    offset.magnitude = *magnitude;
    return offset;
}

bool AppendOutputDigits(std::string& out, double magnitude, const ConversionSettings& settings) {
    const std::size_t n = static_cast<std::size_t>(OutputDigitCount(settings));
    char buf[400];
    char* end;
    if (magnitude < 1e19) {
        end = std::to_chars(buf, buf + sizeof buf, static_cast<std::uint64_t>(magnitude)).ptr;
    } else {
        // Every digit of the (whole) value, as an exact decimal expansion.
        end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed, 0).ptr;
    }
    const std::string_view digits(buf, static_cast<std::size_t>(end - buf));
    const bool overflow = digits.size() > n;
    const ZeroMode mode = CodeAs<ZeroMode>(settings.outputZeroMode);
    if (overflow || mode == ZeroMode::LeadingOmitted) {
        out += digits;
    } else if (mode == ZeroMode::NoneOmitted) {
        out.append(n - digits.size(), '0');
        out += digits;
    } else if (mode == ZeroMode::TrailingOmitted) {
        // Pad to N_out, then cut the zeros after the last non-zero digit;
        // at least one character stays (0002540 gives 000254, 0 gives 0).
        std::size_t lastNonZero = digits.find_last_not_of('0');
        if (lastNonZero == npos) {
            out.push_back('0');
        } else {
            out.append(n - digits.size(), '0');
            out += digits.substr(0, lastNonZero + 1);
        }
    } else {
        out += digits;
    }
    return overflow;
}

void FormatLinearXY(double x, double y, const ConversionSettings& settings,
                    ConverterState& state, std::string& out) {
    if (x != state.lastX) state.changedAxes = y != state.lastY ? kBothAxesChanged : kOnlyXChanged;
    else if (y != state.lastY) state.changedAxes = kOnlyYChanged;
    state.lastX = x;
    state.lastY = y;
    bool writeX = true, writeY = true;
    if (CodeAs<Switch>(settings.omitSameCoordinates) == Switch::On) {
        writeX = state.changedAxes != kOnlyYChanged;
        writeY = state.changedAxes != kOnlyXChanged;
    }
    if (writeX) state.overflowX |= AppendSignedWord(out, 'X', x, settings);
    else state.overflowX |= Overflows(std::fabs(x), settings);
    if (writeY) state.overflowY |= AppendSignedWord(out, 'Y', y, settings);
    else state.overflowY |= Overflows(std::fabs(y), settings);
}

void FormatArcXY(double x, double y, const ConversionSettings& settings,
                 ConverterState& state, std::string& out) {
    state.lastX = x;
    state.lastY = y;
    state.overflowX |= AppendSignedWord(out, 'X', x, settings);
    state.overflowY |= AppendSignedWord(out, 'Y', y, settings);
}

void FormatArcIJ(const std::optional<ConvertedOffset>& i, const std::optional<ConvertedOffset>& j,
                 const ConversionSettings& settings, ConverterState& state, std::string& out) {
    if (i) state.overflowX |= AppendWord(out, 'I', i->negative, i->magnitude, settings);
    if (j) state.overflowY |= AppendWord(out, 'J', j->negative, j->magnitude, settings);
}

}  // namespace mutaplot
