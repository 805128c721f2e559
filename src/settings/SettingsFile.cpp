#include "settings/SettingsFile.h"

#include "platform/AtomicFile.h"
#include "settings/NumberText.h"
#include "settings/SettingsFields.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <variant>

namespace mutaplot {

namespace {

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) noexcept { return c == '\r' || c == '\n'; }

// Splits the file into items the way the platform's comma-separated item
// reading does: an item ends at a comma or a line end (CR, CR LF, or LF as
// a file edited on Linux has it), blanks
// before it are skipped, an item in double quotes is taken without the quotes
// (and may hold commas), an unquoted item loses its trailing blanks.
class ItemReader {
public:
    explicit ItemReader(std::string_view text) : text_(text) {}

    std::optional<std::string> Next() {
        if (pos_ >= text_.size()) return std::nullopt;
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
        std::string item;
        if (pos_ < text_.size() && text_[pos_] == '"') {
            ++pos_;
            const std::size_t start = pos_;
            while (pos_ < text_.size() && text_[pos_] != '"' && !IsLineEnd(text_[pos_])) ++pos_;
            item.assign(text_.substr(start, pos_ - start));
            if (pos_ < text_.size() && text_[pos_] == '"') ++pos_;
            // Anything between the closing quote and the delimiter is ignored.
            while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
        } else {
            const std::size_t start = pos_;
            while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
            std::string_view raw = text_.substr(start, pos_ - start);
            while (!raw.empty() && IsBlank(raw.back())) raw.remove_suffix(1);
            item.assign(raw);
        }
        SkipDelimiter();
        return item;
    }

private:
    void SkipDelimiter() {
        if (pos_ >= text_.size()) return;
        if (text_[pos_] == ',') {
            ++pos_;
        } else if (text_[pos_] == '\r') {
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        } else if (text_[pos_] == '\n') {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<std::uint8_t> ToCode(std::string_view item) {
    auto value = ParseDecimal(item);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    if (*value < 0.0 || *value > 255.0 || std::floor(*value) != *value) return std::nullopt;
    return static_cast<std::uint8_t>(*value);
}

// A code in the file may be written as any decimal number of a whole value.
constexpr FieldReaders kFileReaders{ToCode, ReadFiniteNumber, ReadFloatNumber};

// A 32-bit float in the shortest decimal text that reads back as the same
// float ("0.1", not the digits of its double widening).
std::string FormatFloat(float value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    double widened = 0.0;
    std::from_chars(buf, res.ptr, widened);
    return FormatDecimal(widened);
}

// A carried-through or text line as written back. Items that the item
// reading would split or trim (a comma, blanks at either end) are written in
// double quotes so that they read back unchanged; plain words, the normal
// case, are written as they are.
std::string LineForFile(const std::string& text) {
    if (text.empty() || text.find('"') != std::string::npos) return text;
    const bool needsQuotes = text.find(',') != std::string::npos || IsBlank(text.front()) ||
                             IsBlank(text.back());
    return needsQuotes ? "\"" + text + "\"" : text;
}

}  // namespace

bool ParseSettingsText(std::string_view bytes, ConversionSettings& settings,
                       SettingsLines& lines) {
    lines = SettingsLines{};
    ItemReader reader(bytes);
    for (const SettingsField& field : kSettingsFields) {
        auto item = reader.Next();
        // Fewer than 26 lines is a damaged file; the later lines may be missing.
        if (!item) return field.line > kRequiredSettingsLines;
        std::string& line = lines[field.line - 1];
        line = std::move(*item);
        if (!AssignFieldText(field.member, line, kFileReaders, settings)) return false;
    }
    return true;
}

bool LoadSettings(const std::filesystem::path& file, ConversionSettings& settings,
                  SettingsLines& lines) {
    lines = SettingsLines{};
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxSettingsFileBytes) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return false;
    return ParseSettingsText(bytes, settings, lines);
}

std::string FormatSettingsText(const ConversionSettings& s, SettingsLines& lines) {
    for (const SettingsField& field : kSettingsFields) {
        std::string& line = lines[field.line - 1];
        std::visit(Overloaded{
                       [](std::monostate) {},  // a free line keeps what was read
                       [&](std::uint8_t ConversionSettings::*m) {
                           line = std::to_string(static_cast<unsigned>(s.*m));
                       },
                       [&](double ConversionSettings::*m) { line = FormatDecimal(s.*m); },
                       [&](float ConversionSettings::*m) { line = FormatFloat(s.*m); },
                       [&](std::string ConversionSettings::*m) { line = s.*m; },
                   },
                   field.member);
    }
    std::string text;
    for (const std::string& line : lines) {
        text += LineForFile(line);
        text += "\r\n";
    }
    return text;
}

bool SaveSettings(const std::filesystem::path& file, const ConversionSettings& settings,
                  SettingsLines& lines) {
    return WriteFileAtomically(file, FormatSettingsText(settings, lines));
}

}  // namespace mutaplot
