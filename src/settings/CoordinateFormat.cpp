#include "settings/ConversionSettings.h"

#include "settings/NumberText.h"

#include <charconv>

namespace mutaplot {

const std::array<CoordinateFormat, 9> kCoordinateFormats{{
    {1, "mm(4.3)", Unit::Millimetre, 4, 3},
    {2, "mm(4.4)", Unit::Millimetre, 4, 4},
    {3, "mm(4.5)", Unit::Millimetre, 4, 5},
    {4, "mm(5.3)", Unit::Millimetre, 5, 3},
    {5, "mm(5.4)", Unit::Millimetre, 5, 4},
    {6, "mm(5.5)", Unit::Millimetre, 5, 5},
    {7, "inch(2.3)", Unit::Inch, 2, 3},
    {8, "inch(2.4)", Unit::Inch, 2, 4},
    {9, "inch(2.5)", Unit::Inch, 2, 5},
}};

const CoordinateFormat* FindCoordinateFormat(int code) noexcept {
    if (code < 1 || code > 9) return nullptr;
    return &kCoordinateFormats[static_cast<std::size_t>(code - 1)];
}

std::uint8_t UnitForFormat(int code) noexcept {
    const CoordinateFormat* f = FindCoordinateFormat(code);
    return f ? static_cast<std::uint8_t>(f->unit) : 0;
}

namespace {

bool ParseCode(std::string_view text, std::uint8_t& out) {
    unsigned value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value > 255) return false;
    out = static_cast<std::uint8_t>(value);
    return true;
}

}  // namespace

bool SetSettingsField(ConversionSettings& s, std::string_view name, std::string_view value) {
    struct CodeField {
        std::string_view name;
        std::uint8_t ConversionSettings::*field;
    };
    static constexpr CodeField codeFields[] = {
        {"inputFormat", &ConversionSettings::inputFormat},
        {"inputZeroMode", &ConversionSettings::inputZeroMode},
        {"inputUnit", &ConversionSettings::inputUnit},
        {"inputSeparator", &ConversionSettings::inputSeparator},
        {"inputCode", &ConversionSettings::inputCode},
        {"outputCode", &ConversionSettings::outputCode},
        {"outputFormat", &ConversionSettings::outputFormat},
        {"outputZeroMode", &ConversionSettings::outputZeroMode},
        {"outputUnit", &ConversionSettings::outputUnit},
        {"omitSameCoordinates", &ConversionSettings::omitSameCoordinates},
        {"outputHeader", &ConversionSettings::outputHeader},
        {"lineBreak", &ConversionSettings::lineBreak},
        {"outputEob", &ConversionSettings::outputEob},
        {"modal", &ConversionSettings::modal},
        {"dxfLineWidth", &ConversionSettings::dxfLineWidth},
        {"dxfFormat", &ConversionSettings::dxfFormat},
    };
    for (const CodeField& f : codeFields) {
        if (f.name != name) continue;
        if (!ParseCode(value, s.*(f.field))) return false;
        // A format code always brings its unit with it, as the dialogs do.
        if (name == "inputFormat") s.inputUnit = UnitForFormat(s.inputFormat);
        if (name == "outputFormat") s.outputUnit = UnitForFormat(s.outputFormat);
        return true;
    }
    if (name == "originShiftX" || name == "originShiftY" || name == "drawOrigin") {
        auto number = ParseDecimal(value);
        if (!number) return false;
        if (name == "originShiftX") s.originShiftX = *number;
        else if (name == "originShiftY") s.originShiftY = *number;
        else s.drawOrigin = static_cast<float>(*number);
        return true;
    }
    if (name == "drawColour") { s.drawColour = std::string(value); return true; }
    if (name == "backColour") { s.backColour = std::string(value); return true; }
    return false;
}

}  // namespace mutaplot
