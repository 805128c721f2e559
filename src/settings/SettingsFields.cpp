#include "settings/SettingsFields.h"

#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace mutaplot {

namespace {

// A code on the command line: plain decimal digits, 0 to 255.
std::optional<std::uint8_t> ParseCommandCode(std::string_view text) {
    unsigned value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value > 255) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

// A number on the command line; as in the settings file, NaN and
// infinities are refused, and a float field only takes what a float holds.
std::optional<double> ParseCommandNumber(std::string_view text) {
    auto number = ParseDecimal(text);
    if (!number || !std::isfinite(*number)) return std::nullopt;
    return number;
}

std::optional<float> ParseCommandFloat(std::string_view text) {
    auto number = ParseCommandNumber(text);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*number);
}

}  // namespace

const SettingsField* FindSettingsField(std::string_view name) noexcept {
    if (name.empty()) return nullptr;
    for (const SettingsField& field : kSettingsFields)
        if (field.name == name) return &field;
    return nullptr;
}

bool SetSettingsField(ConversionSettings& s, std::string_view name, std::string_view value) {
    const SettingsField* field = FindSettingsField(name);
    if (!field) return false;
    const bool set = std::visit(
        Overloaded{
            [](std::monostate) { return false; },
            [&](std::uint8_t ConversionSettings::*m) {
                auto code = ParseCommandCode(value);
                if (code) s.*m = *code;
                return code.has_value();
            },
            [&](double ConversionSettings::*m) {
                auto number = ParseCommandNumber(value);
                if (number) s.*m = *number;
                return number.has_value();
            },
            [&](float ConversionSettings::*m) {
                auto number = ParseCommandFloat(value);
                if (number) s.*m = *number;
                return number.has_value();
            },
            [&](std::string ConversionSettings::*m) {
                s.*m = std::string(value);
                return true;
            },
        },
        field->member);
    if (!set) return false;
    // A format code always brings its unit with it, as the dialogs do.
    if (field->member == SettingsMember(&ConversionSettings::inputFormat))
        s.inputUnit = UnitForFormat(s.inputFormat);
    if (field->member == SettingsMember(&ConversionSettings::outputFormat))
        s.outputUnit = UnitForFormat(s.outputFormat);
    return true;
}

}  // namespace mutaplot
