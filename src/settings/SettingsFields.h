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

struct SettingsField {
    std::size_t line;       // 1-based line of the settings file
    std::string_view name;  // as --set names it; empty for a free line
    SettingsMember member;
};

// Every line of the settings file, line 1 first. Lines 1, 8 and 19 are free
// (carried through a save unchanged). Lines 7 and 18 are second copies of
// the units of lines 4 and 12: when read, the later copy wins; when saved,
// both copies are written.
inline constexpr std::array<SettingsField, std::tuple_size_v<SettingsLines>> kSettingsFields{{
    {1, "", std::monostate{}},
    {2, "inputFormat", &ConversionSettings::inputFormat},
    {3, "inputZeroMode", &ConversionSettings::inputZeroMode},
    {4, "inputUnit", &ConversionSettings::inputUnit},
    {5, "inputSeparator", &ConversionSettings::inputSeparator},
    {6, "inputCode", &ConversionSettings::inputCode},
    {7, "inputUnit", &ConversionSettings::inputUnit},
    {8, "", std::monostate{}},
    {9, "outputCode", &ConversionSettings::outputCode},
    {10, "outputFormat", &ConversionSettings::outputFormat},
    {11, "outputZeroMode", &ConversionSettings::outputZeroMode},
    {12, "outputUnit", &ConversionSettings::outputUnit},
    {13, "omitSameCoordinates", &ConversionSettings::omitSameCoordinates},
    {14, "outputHeader", &ConversionSettings::outputHeader},
    {15, "lineBreak", &ConversionSettings::lineBreak},
    {16, "outputEob", &ConversionSettings::outputEob},
    {17, "modal", &ConversionSettings::modal},
    {18, "outputUnit", &ConversionSettings::outputUnit},
    {19, "", std::monostate{}},
    {20, "originShiftX", &ConversionSettings::originShiftX},
    {21, "originShiftY", &ConversionSettings::originShiftY},
    {22, "drawOrigin", &ConversionSettings::drawOrigin},
    {23, "drawColour", &ConversionSettings::drawColour},
    {24, "backColour", &ConversionSettings::backColour},
    {25, "dxfLineWidth", &ConversionSettings::dxfLineWidth},
    {26, "dxfFormat", &ConversionSettings::dxfFormat},
    {27, "outputParameters", &ConversionSettings::outputParameters},
}};

// The table is indexed by line: entry i is line i + 1.
constexpr bool SettingsFieldsInLineOrder() {
    for (std::size_t i = 0; i < kSettingsFields.size(); ++i)
        if (kSettingsFields[i].line != i + 1) return false;
    return true;
}
static_assert(SettingsFieldsInLineOrder());

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

}  // namespace mutaplot
