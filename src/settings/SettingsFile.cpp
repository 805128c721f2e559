#include "settings/SettingsFile.h"

#include "platform/AtomicFile.h"
#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <optional>

namespace mutaplot {

namespace {

constexpr std::size_t kLineCount = 26;

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

// Splits the file into items the way the platform's comma-separated item
// reading does: an item ends at a comma or a line end (CR or CR LF), blanks
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
            while (pos_ < text_.size() && text_[pos_] != '"' && text_[pos_] != '\r') ++pos_;
            item.assign(text_.substr(start, pos_ - start));
            if (pos_ < text_.size() && text_[pos_] == '"') ++pos_;
            // Anything between the closing quote and the delimiter is ignored.
            while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r') ++pos_;
        } else {
            const std::size_t start = pos_;
            while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r') ++pos_;
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

std::optional<double> ToDouble(std::string_view item) {
    auto value = ParseDecimal(item);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return *value;
}

std::optional<float> ToFloat(std::string_view item) {
    auto value = ToDouble(item);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*value);
}

// Sets the field that belongs to `line` (1-based) from its text. Lines 1, 8
// and 19 belong to no field. Returns false when the text does not convert.
bool SetFieldFromLine(std::size_t line, const std::string& text, ConversionSettings& s) {
    std::uint8_t ConversionSettings::*code = nullptr;
    switch (line) {
        case 1: case 8: case 19: return true;
        case 2: code = &ConversionSettings::inputFormat; break;
        case 3: code = &ConversionSettings::inputZeroMode; break;
        case 4: code = &ConversionSettings::inputUnit; break;
        case 5: code = &ConversionSettings::inputSeparator; break;
        case 6: code = &ConversionSettings::inputCode; break;
        case 7: code = &ConversionSettings::inputUnit; break;  // second copy, wins
        case 9: code = &ConversionSettings::outputCode; break;
        case 10: code = &ConversionSettings::outputFormat; break;
        case 11: code = &ConversionSettings::outputZeroMode; break;
        case 12: code = &ConversionSettings::outputUnit; break;
        case 13: code = &ConversionSettings::omitSameCoordinates; break;
        case 14: code = &ConversionSettings::outputHeader; break;
        case 15: code = &ConversionSettings::lineBreak; break;
        case 16: code = &ConversionSettings::outputEob; break;
        case 17: code = &ConversionSettings::modal; break;
        case 18: code = &ConversionSettings::outputUnit; break;  // second copy, wins
        case 25: code = &ConversionSettings::dxfLineWidth; break;
        case 26: code = &ConversionSettings::dxfFormat; break;
        case 20: case 21: {
            auto v = ToDouble(text);
            if (!v) return false;
            (line == 20 ? s.originShiftX : s.originShiftY) = *v;
            return true;
        }
        case 22: {
            auto v = ToFloat(text);
            if (!v) return false;
            s.drawOrigin = *v;
            return true;
        }
        case 23: s.drawColour = text; return true;
        case 24: s.backColour = text; return true;
        default: return false;
    }
    auto v = ToCode(text);
    if (!v) return false;
    s.*code = *v;
    return true;
}

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
    for (std::size_t line = 1; line <= kLineCount; ++line) {
        auto item = reader.Next();
        if (!item) return false;  // fewer than 26 lines
        lines[line - 1] = std::move(*item);
        if (!SetFieldFromLine(line, lines[line - 1], settings)) return false;
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
    auto code = [](std::uint8_t v) { return std::to_string(static_cast<unsigned>(v)); };
    lines[1] = code(s.inputFormat);
    lines[2] = code(s.inputZeroMode);
    lines[3] = code(s.inputUnit);
    lines[4] = code(s.inputSeparator);
    lines[5] = code(s.inputCode);
    lines[6] = code(s.inputUnit);
    lines[8] = code(s.outputCode);
    lines[9] = code(s.outputFormat);
    lines[10] = code(s.outputZeroMode);
    lines[11] = code(s.outputUnit);
    lines[12] = code(s.omitSameCoordinates);
    lines[13] = code(s.outputHeader);
    lines[14] = code(s.lineBreak);
    lines[15] = code(s.outputEob);
    lines[16] = code(s.modal);
    lines[17] = code(s.outputUnit);
    lines[19] = FormatDecimal(s.originShiftX);
    lines[20] = FormatDecimal(s.originShiftY);
    lines[21] = FormatFloat(s.drawOrigin);
    lines[22] = s.drawColour;
    lines[23] = s.backColour;
    lines[24] = code(s.dxfLineWidth);
    lines[25] = code(s.dxfFormat);
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
