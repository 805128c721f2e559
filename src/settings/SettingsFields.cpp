#include "settings/SettingsFields.h"

#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <variant>

namespace mutaplot {

namespace {

// A code on the command line: plain decimal digits, 0 to 255.
std::optional<std::uint8_t> ParseCommandCode(std::string_view text) {
    unsigned value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value > 255) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

// The value the range applies to: the code or number the text converts to,
// for a colour the colour number it spells (plain digits).
std::optional<double> RangeValue(const SettingsMember& member, std::string_view text) {
    if (std::holds_alternative<std::string ConversionSettings::*>(member)) {
        std::uint32_t value = 0;
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
        return value;
    }
    if (std::holds_alternative<std::uint8_t ConversionSettings::*>(member)) {
        auto code = ParseCommandCode(text);
        return code ? std::optional<double>(*code) : std::nullopt;
    }
    return ReadFiniteNumber(text);
}

}  // namespace

namespace field_ranges {
bool IsFormatCode(double code) noexcept {
    return code == std::floor(code) && FindCoordinateFormat(static_cast<int>(code)) != nullptr;
}
}  // namespace field_ranges

std::optional<double> ReadFiniteNumber(std::string_view text) {
    auto number = ParseDecimal(text);
    if (!number || !std::isfinite(*number)) return std::nullopt;
    return number;
}

std::optional<float> ReadFloatNumber(std::string_view text) {
    auto number = ReadFiniteNumber(text);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*number);
}

const SettingsField* FindSettingsField(std::string_view name) noexcept {
    if (name.empty()) return nullptr;
    for (const SettingsField& field : kSettingsFields)
        if (field.name == name) return &field;
    return nullptr;
}

bool AssignFieldText(const SettingsMember& member, std::string_view text,
                     const FieldReaders& readers, ConversionSettings& s) {
    // Stores the reader's value in the member when there is one.
    auto assign = [&s](auto ConversionSettings::*m, auto value) {
        if (value) s.*m = *value;
        return value.has_value();
    };
    return std::visit(
        Overloaded{
            [](std::monostate) { return true; },
            [&](std::uint8_t ConversionSettings::*m) { return assign(m, readers.code(text)); },
            [&](double ConversionSettings::*m) { return assign(m, readers.number(text)); },
            [&](float ConversionSettings::*m) { return assign(m, readers.single(text)); },
            [&](std::string ConversionSettings::*m) {
                s.*m = std::string(text);
                return true;
            },
        },
        member);
}

SetFieldResult SetSettingsFieldChecked(ConversionSettings& s, std::string_view name,
                                       std::string_view value) {
    static constexpr FieldReaders kCommandReaders{ParseCommandCode, ReadFiniteNumber,
                                                  ReadFloatNumber};
    const SettingsField* field = FindSettingsField(name);
    if (!field) return SetFieldResult::UnknownField;
    ConversionSettings trial = s;
    if (!AssignFieldText(field->member, value, kCommandReaders, trial))
        return SetFieldResult::BadValue;
    if (field->range) {
        const FieldRange& range = *field->range;
        const auto number = RangeValue(field->member, value);
        if (!number) return SetFieldResult::BadValue;
        if (*number < range.lowest || *number > range.highest ||
            (range.accepts && !range.accepts(*number)))
            return SetFieldResult::OutOfRange;
    }
    s = std::move(trial);
    // A format code always brings its unit with it, as the dialogs do.
    if (field->member == SettingsMember(&ConversionSettings::inputFormat))
        s.inputUnit = UnitForFormat(s.inputFormat);
    if (field->member == SettingsMember(&ConversionSettings::outputFormat))
        s.outputUnit = UnitForFormat(s.outputFormat);
    return SetFieldResult::Set;
}

bool SetSettingsField(ConversionSettings& s, std::string_view name, std::string_view value) {
    return SetSettingsFieldChecked(s, name, value) == SetFieldResult::Set;
}

}  // namespace mutaplot
