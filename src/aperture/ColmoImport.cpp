#include "aperture/ColmoImport.h"

#include "aperture/GerberImport.h"

#include "platform/WholeFile.h"

#include "settings/Cp932.h"
#include "settings/NumberText.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace mutaplot {

namespace {

// ---- reading the report -------------------------------------------------

std::u32string Utf8ToCodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = b;
        if (b >= 0xF0) {
            extra = 3;
            cp = b & 0x07;
        } else if (b >= 0xE0) {
            extra = 2;
            cp = b & 0x0F;
        } else if (b >= 0xC0) {
            extra = 1;
            cp = b & 0x1F;
        }
        ++i;
        for (int k = 0; k < extra && i < utf8.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        out.push_back(cp);
    }
    return out;
}

std::u32string DecodeLine(std::string_view bytes) {
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::u32string(bytes.begin(), bytes.end());
    // A byte that is not Shift-JIS becomes U+FFFD and counts as one character.
    return Utf8ToCodePoints(Cp932ToUtf8Lenient(bytes));
}

// Removes spaces (only spaces) at both ends.
std::u32string TrimSpaces(std::u32string line) {
    std::size_t end = line.size();
    while (end > 0 && line[end - 1] == U' ') --end;
    std::size_t start = 0;
    while (start < end && line[start] == U' ') ++start;
    return line.substr(start, end - start);
}

// ---- the layout of a report ---------------------------------------------

enum Section { kLines, kRoundThrough, kRoundAperture, kSquareThrough, kSquareAperture,
               kRectangleFill, kMountingHole, kThermal, kNonSoldered, kSectionCount };

// Section titles, in processing order: a line opens a section when its
// first four characters are one of them. Only the first line with a title
// counts.
constexpr std::array<std::u32string_view, kSectionCount> kSectionTitles = {
    U"ライン ", U"丸スルー", U"丸アパー", U"角スルー", U"角アパー",
    U"矩形塗り", U"取付け穴", U"サーマル", U"ノンソー"};

constexpr std::u32string_view kNoDCodeWord = U"無し";
constexpr std::u32string_view kUnusedGroup = U"---";
constexpr std::u32string_view kPlainPadMarker = U"===";

// A thermal from pad size s: inner diameter s + 0.9, outer s + 1.2, spokes 0.5.
constexpr double kThermalInnerAdd = 0.9;
constexpr double kThermalOuterAdd = 1.2;
constexpr const char* kThermalConnectWidth = "0.5";
constexpr const char* kNoConnectWidth = "0";

// One data line: fields are cut by 1-based character position. A start
// before position 1 breaks the layout; a start past the end gives an empty text.
class DataLine {
public:
    explicit DataLine(const std::u32string& text) : text_(text) {}
    long long Length() const { return static_cast<long long>(text_.size()); }

    std::optional<std::u32string_view> Field(long long position, std::size_t count) const {
        if (position < 1) return std::nullopt;
        const auto start = static_cast<std::size_t>(position - 1);
        if (start >= text_.size()) return std::u32string_view();
        return std::u32string_view(text_).substr(start, count);
    }
    // Positions counted from the end of the line.
    std::optional<std::u32string_view> EndWord() const { return Field(Length() - 1, 2); }
    std::optional<std::u32string_view> RightDCode() const { return Field(Length() - 9, 3); }
    std::optional<std::u32string_view> RightSize() const { return Field(Length() - 16, 6); }
    std::optional<std::u32string_view> LeftDCode() const { return Field(Length() - 23, 3); }
    std::optional<std::u32string_view> LeftSize() const { return Field(Length() - 30, 6); }
    std::optional<std::u32string_view> FarLeftSize() const { return Field(Length() - 37, 6); }
    std::optional<std::u32string_view> FirstSize() const { return Field(1, 6); }
    std::optional<std::u32string_view> SecondSize() const { return Field(7, 6); }

private:
    const std::u32string& text_;
};

// A decimal number with blanks around it; no value for anything else.
std::optional<double> ReadNumber(std::optional<std::u32string_view> field) {
    if (!field) return std::nullopt;
    std::string ascii;
    bool hasDigit = false;
    for (char32_t c : *field) {
        if (c >= 0x80) return std::nullopt;
        hasDigit = hasDigit || (c >= U'0' && c <= U'9');
        ascii.push_back(static_cast<char>(c));
    }
    if (!hasDigit) return std::nullopt;
    auto value = ParseDecimal(ascii);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

struct PendingEntry {
    std::size_t index = 0;  // entry index (D code − 10)
    double sizeX = 0;
    double sizeY = 0;
    const char* connectWidth = kNoConnectWidth;
    const char* shape = kShapeRound;
};

class LineRules {
public:
    LineRules(const DataLine& line, const ApertureTable& table) : line_(line), table_(table) {}

    // A D code must name an existing entry: D10 up to the last entry.
    std::optional<std::size_t> EntryIndex(std::optional<std::u32string_view> field) const {
        auto d = ReadNumber(field);
        if (!d || *d != std::floor(*d) || *d < kFirstDCode) return std::nullopt;
        const double index = *d - kFirstDCode;
        if (index >= static_cast<double>(table_.entries.size())) return std::nullopt;
        return static_cast<std::size_t>(index);
    }

    std::optional<PendingEntry> Pad(std::optional<std::u32string_view> dField,
                                    std::optional<std::u32string_view> sizeField,
                                    const char* shape) const {
        auto index = EntryIndex(dField);
        auto size = ReadNumber(sizeField);
        if (!index || !size) return std::nullopt;
        return PendingEntry{*index, *size, *size, kNoConnectWidth, shape};
    }

    std::optional<PendingEntry> Thermal(std::optional<std::u32string_view> dField,
                                        std::optional<std::u32string_view> sizeField) const {
        auto index = EntryIndex(dField);
        auto s = ReadNumber(sizeField);
        if (!index || !s) return std::nullopt;
        return PendingEntry{*index, *s + kThermalInnerAdd, *s + kThermalOuterAdd,
                            kThermalConnectWidth, kShapeThermalAxes};
    }

    // R1: plain pad from the right group, or from the left group when the
    // right D code is "---" (the far-left size where the section says so).
    std::optional<PendingEntry> PlainPad(bool farLeft, const char* shape) const {
        auto right = line_.RightDCode();
        if (!right) return std::nullopt;
        if (*right == kUnusedGroup)
            return Pad(line_.LeftDCode(), farLeft ? line_.FarLeftSize() : line_.LeftSize(), shape);
        return Pad(right, line_.RightSize(), shape);
    }

    // R2: aperture with two sizes. The left group takes X from the first six
    // characters and Y from the next six (pattern lists: Y from the left size).
    std::optional<PendingEntry> TwoSizes(bool pattern, const char* shape) const {
        auto right = line_.RightDCode();
        if (!right) return std::nullopt;
        if (*right != kUnusedGroup) return Pad(right, line_.RightSize(), shape);
        auto index = EntryIndex(line_.LeftDCode());
        auto x = ReadNumber(line_.FirstSize());
        auto y = ReadNumber(pattern ? line_.LeftSize() : line_.SecondSize());
        if (!index || !x || !y) return std::nullopt;
        return PendingEntry{*index, *x, *y, kNoConnectWidth, shape};
    }

    // R3: square through-hole of pattern and resist lists.
    std::optional<PendingEntry> SquareThrough() const {
        auto left = line_.LeftDCode();
        if (!left) return std::nullopt;
        if (*left == kUnusedGroup) return Pad(line_.RightDCode(), line_.RightSize(), kShapeRectangle);
        if (*left == kPlainPadMarker) return Pad(line_.RightDCode(), line_.RightSize(), kShapeRound);
        return Pad(left, line_.LeftSize(), kShapeRectangle);
    }

    // R4: thermal of resist and holemark lists, decided by the right D code.
    std::optional<PendingEntry> ThermalByRight() const {
        auto right = line_.RightDCode();
        if (!right) return std::nullopt;
        if (*right == kUnusedGroup) return Thermal(line_.LeftDCode(), line_.LeftSize());
        if (*right == kPlainPadMarker) return Pad(line_.LeftDCode(), line_.LeftSize(), kShapeRound);
        return Thermal(right, line_.RightSize());
    }

    // R5: thermal of power lists, decided by the left D code.
    std::optional<PendingEntry> ThermalByLeft() const {
        auto left = line_.LeftDCode();
        if (!left) return std::nullopt;
        if (*left == kUnusedGroup) return Thermal(line_.RightDCode(), line_.RightSize());
        if (*left == kPlainPadMarker) return Pad(line_.RightDCode(), line_.RightSize(), kShapeRound);
        return Thermal(left, line_.LeftSize());
    }

private:
    const DataLine& line_;
    const ApertureTable& table_;
};

std::optional<PendingEntry> ApplyRule(Section section, ColmoListKind kind, const LineRules& rules) {
    const bool pattern = kind == ColmoListKind::Pattern;
    switch (section) {
        case kLines:
        case kRectangleFill:
            return rules.PlainPad(!pattern, kShapeRound);
        case kRoundThrough:
        case kMountingHole:
        case kNonSoldered:
            return rules.PlainPad(false, kShapeRound);
        case kRoundAperture:
            return rules.TwoSizes(pattern, kShapeRound);
        case kSquareAperture:
            return rules.TwoSizes(pattern, kShapeRectangle);
        case kSquareThrough:
            if (pattern || kind == ColmoListKind::Resist) return rules.SquareThrough();
            return rules.PlainPad(false, kShapeRound);
        case kThermal:
            if (kind == ColmoListKind::Power) return rules.ThermalByLeft();
            return rules.ThermalByRight();
        case kSectionCount:
            break;
    }
    return std::nullopt;
}

}  // namespace

std::string ImportFileFilter(std::string_view format) {
    if (format == kColmoFormat) return kColmoFileFilter;
    if (format == kNcfFormat) return kNcfFileFilter;
    if (format == kRs274xFormat) return kRs274xFileFilter;
    return {};
}

ImportReadOutcome SplitImportLines(std::string_view bytes, ImportLineList& lines) {
    lines.clear();
    // A first guess at the room needed, one line per five bytes; the list
    // grows past it when a report has many short or empty lines.
    lines.reserve(bytes.size() / 5 + 2);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        std::size_t next;
        if (end == std::string_view::npos) {
            end = bytes.size();
            next = end;
        } else {
            next = end + 1;
            if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
        }
        lines.push_back(TrimSpaces(DecodeLine(bytes.substr(start, end - start))));
        start = next;
    }
    lines.emplace_back();  // the extra empty line that ends the last section
    return ImportReadOutcome::Ok;
}

ImportReadOutcome ReadImportLineList(const std::filesystem::path& path, ImportLineList& lines) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) {
        lines.assign(1, std::u32string());
        return ImportReadOutcome::CannotOpen;
    }
    return SplitImportLines(*bytes, lines);
}

ColmoListKind ColmoListKindOf(std::string_view path) noexcept {
    if (path.size() < 4) return ColmoListKind::None;
    const std::string_view ending = path.substr(path.size() - 4);
    if (ending == "tern" || ending == "silk") return ColmoListKind::Pattern;
    if (ending == "sist") return ColmoListKind::Resist;
    if (ending == "ower") return ColmoListKind::Power;
    if (ending == "mark") return ColmoListKind::Holemark;
    return ColmoListKind::None;
}

ColmoParseResult ParseColmoList(std::string_view path, const ImportLineList& lines,
                                ApertureTable& table) {
    ColmoParseResult result;
    const ColmoListKind kind = ColmoListKindOf(path);
    if (kind == ColmoListKind::None) {
        result.outcome = ColmoParseResult::Outcome::UnknownKind;
        return result;
    }

    std::array<std::optional<std::size_t>, kSectionCount> headers;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() < 4) continue;
        const std::u32string_view start = std::u32string_view(lines[i]).substr(0, 4);
        for (std::size_t t = 0; t < kSectionCount; ++t)
            if (!headers[t] && start == kSectionTitles[t]) headers[t] = i;
    }

    static const std::u32string kEmpty;
    auto lineAt = [&](std::size_t i) -> const std::u32string& {
        return i < lines.size() ? lines[i] : kEmpty;
    };

    for (std::size_t t = 0; t < kSectionCount; ++t) {
        if (!headers[t]) continue;
        const auto section = static_cast<Section>(t);
        if (section == kThermal && kind == ColmoListKind::Pattern) continue;
        // The line after the title is always a data line, even when empty.
        std::size_t i = *headers[t] + 1;
        do {
            const DataLine line(lineAt(i));
            auto endWord = line.EndWord();
            std::optional<PendingEntry> entry;
            if (endWord && *endWord == kNoDCodeWord) {
                ++i;
                continue;
            }
            if (endWord) entry = ApplyRule(section, kind, LineRules(line, table));
            if (!entry) {
                result.outcome = ColmoParseResult::Outcome::LayoutError;
                result.failedLine = i;
                return result;
            }
            ApertureEntry& target = table.entries[entry->index];
            target.sizeX = FormatDecimal(entry->sizeX);
            target.sizeY = FormatDecimal(entry->sizeY);
            target.connectWidth = entry->connectWidth;
            target.shape = entry->shape;
            ++result.entriesWritten;
            ++i;
        } while (!lineAt(i).empty());
    }
    return result;
}

std::string ColmoLayoutMessage(std::size_t failedLine) {
    return std::string(kColmoLayoutMessage) + "（" + std::to_string(failedLine + 1) +
           "行目で取り込みを中止しました）";
}

bool ImportCadReport(std::string_view format, const std::filesystem::path& path,
                     ApertureTable& table, Dialogs& dialogs, Pointer& pointer,
                     ColmoParseResult* result) {
    if (format == kRs274xFormat) {
        const auto outcome = ImportGerberApertures(path, table, dialogs, pointer);
        return outcome == GerberImportOutcome::Imported;
    }
    ImportLineList lines;
    ImportReadOutcome read;
    ColmoParseResult parsed;
    {
        BusyPointer busy(pointer);
        read = ReadImportLineList(path, lines);
        if (read == ImportReadOutcome::Ok && format == kColmoFormat)
            parsed = ParseColmoList(path.string(), lines, table);
    }
    if (result) *result = parsed;
    if (read == ImportReadOutcome::CannotOpen) {
        ShowCheckMessage(dialogs, kReportCannotOpenMessage);
        return false;
    }
    if (parsed.outcome == ColmoParseResult::Outcome::LayoutError) {
        ShowCheckMessage(dialogs, ColmoLayoutMessage(parsed.failedLine));
        return false;
    }
    return true;
}

}  // namespace mutaplot
