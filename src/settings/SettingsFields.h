#pragma once
// The fields of the settings record as the settings file and the command
// line's --set know them: one table, in file order, walked by the file's
// reading and writing and by the lookup of a field by its name.

#include "settings/ConversionSettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace mutaplot {

// Where a line's value lives in the record. The member's type is the
// field's kind: a small code, a double, a float or a text. std::monostate
// marks a line that belongs to no field.
using SettingsMember =
    std::variant<std::monostate, std::uint8_t ConversionSettings::*, double ConversionSettings::*,
                 float ConversionSettings::*, std::string ConversionSettings::*>;

// The values the command line's --set accepts for a field: a code, number
// or colour number from `lowest` to `highest`, and when `accepts` is given
// only the values it accepts (the format codes: those of the format table).
// The settings file is read as it stands; only --set is held to the range.
struct FieldRange {
    double lowest = 0;
    double highest = 0;
    bool (*accepts)(double) = nullptr;
};

struct SettingsField {
    std::size_t line;       // 1-based line of the settings file
    std::string_view name;  // as --set names it; empty for a free line
    SettingsMember member;
    std::optional<FieldRange> range{};  // every named field has one
};

namespace field_ranges {
bool IsFormatCode(double code) noexcept;
inline constexpr FieldRange kFormat{
    1, static_cast<double>(std::tuple_size_v<decltype(kCoordinateFormats)>), IsFormatCode};
inline constexpr FieldRange kZeroMode{1, 3};
inline constexpr FieldRange kUnit{1, 2};
inline constexpr FieldRange kSeparator{1, 3};
inline constexpr FieldRange kCharCode{1, 2};
inline constexpr FieldRange kTwoOptions{1, 2};
inline constexpr FieldRange kLineBreak{1, 4};
inline constexpr FieldRange kOffOn{0, 1};  // DXF options, the drawing origin
// Far beyond any board, and still exact in the converter's raw counts.
inline constexpr FieldRange kShift{-1e9, 1e9};
inline constexpr FieldRange kColour{0, 0xFFFFFF};  // red + 256 green + 65536 blue
}  // namespace field_ranges

// Every line of the settings file, line 1 first. Lines 1, 8 and 19 are free
// (carried through a save unchanged). Lines 7 and 18 are second copies of
// the units of lines 4 and 12: when read, the later copy wins; when saved,
// both copies are written.
inline constexpr std::array<SettingsField, std::tuple_size_v<SettingsLines>> kSettingsFields{{
    {1, "", std::monostate{}},
    {2, "inputFormat", &ConversionSettings::inputFormat, field_ranges::kFormat},
    {3, "inputZeroMode", &ConversionSettings::inputZeroMode, field_ranges::kZeroMode},
    {4, "inputUnit", &ConversionSettings::inputUnit, field_ranges::kUnit},
    {5, "inputSeparator", &ConversionSettings::inputSeparator, field_ranges::kSeparator},
    {6, "inputCode", &ConversionSettings::inputCode, field_ranges::kCharCode},
    {7, "inputUnit", &ConversionSettings::inputUnit, field_ranges::kUnit},
    {8, "", std::monostate{}},
    {9, "outputCode", &ConversionSettings::outputCode, field_ranges::kCharCode},
    {10, "outputFormat", &ConversionSettings::outputFormat, field_ranges::kFormat},
    {11, "outputZeroMode", &ConversionSettings::outputZeroMode, field_ranges::kZeroMode},
    {12, "outputUnit", &ConversionSettings::outputUnit, field_ranges::kUnit},
    {13, "omitSameCoordinates", &ConversionSettings::omitSameCoordinates, field_ranges::kTwoOptions},
    {14, "outputHeader", &ConversionSettings::outputHeader, field_ranges::kTwoOptions},
    {15, "lineBreak", &ConversionSettings::lineBreak, field_ranges::kLineBreak},
    {16, "outputEob", &ConversionSettings::outputEob, field_ranges::kTwoOptions},
    {17, "modal", &ConversionSettings::modal, field_ranges::kTwoOptions},
    {18, "outputUnit", &ConversionSettings::outputUnit, field_ranges::kUnit},
    {19, "", std::monostate{}},
    {20, "originShiftX", &ConversionSettings::originShiftX, field_ranges::kShift},
    {21, "originShiftY", &ConversionSettings::originShiftY, field_ranges::kShift},
    {22, "drawOrigin", &ConversionSettings::drawOrigin, field_ranges::kOffOn},
    {23, "drawColour", &ConversionSettings::drawColour, field_ranges::kColour},
    {24, "backColour", &ConversionSettings::backColour, field_ranges::kColour},
    {25, "dxfLineWidth", &ConversionSettings::dxfLineWidth, field_ranges::kOffOn},
    {26, "dxfFormat", &ConversionSettings::dxfFormat, field_ranges::kOffOn},
    {27, "outputParameters", &ConversionSettings::outputParameters, field_ranges::kTwoOptions},
}};

// The table is indexed by line: entry i is line i + 1.
constexpr bool SettingsFieldsInLineOrder() {
    for (std::size_t i = 0; i < kSettingsFields.size(); ++i)
        if (kSettingsFields[i].line != i + 1) return false;
    return true;
}
static_assert(SettingsFieldsInLineOrder());

// A new field brings its --set range with it.
constexpr bool EveryNamedFieldHasARange() {
    for (const SettingsField& field : kSettingsFields)
        if (!field.name.empty() && !field.range) return false;
    return true;
}
static_assert(EveryNamedFieldHasARange());

// One callable made of several, for std::visit over a SettingsMember.
template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// How text becomes a value of each kind (the settings file and the command
// line read numbers differently); a text field takes the text as it is.
struct FieldReaders {
    std::optional<std::uint8_t> (*code)(std::string_view);
    std::optional<double> (*number)(std::string_view);
    std::optional<float> (*single)(std::string_view);
};

// The number readers of both: a decimal number (ParseDecimal) that is
// finite, and for a float field also within a float's range.
std::optional<double> ReadFiniteNumber(std::string_view text);
std::optional<float> ReadFloatNumber(std::string_view text);

// Sets the member from text through the reader of its kind. Returns false,
// with the field unchanged, when the reader gives no value; a free line
// sets nothing and gives true.
bool AssignFieldText(const SettingsMember& member, std::string_view text,
                     const FieldReaders& readers, ConversionSettings& settings);

// The first line that holds the field of that name (for a unit, its first
// copy), or nullptr for a name no field has (the empty name included).
const SettingsField* FindSettingsField(std::string_view name) noexcept;

// How SetSettingsField ended.
enum class SetFieldResult { Set, UnknownField, BadValue, OutOfRange };

// SetSettingsField with the reason of a refusal; a value outside the field's
// range (FieldRange) is refused too, changing nothing.
SetFieldResult SetSettingsFieldChecked(ConversionSettings& settings, std::string_view name,
                                       std::string_view value);

}  // namespace mutaplot
