#include "viewer/FileFormat.h"

#include "convert/CoordinateWords.h"
#include "settings/NumberText.h"

#include <cmath>

namespace mutaplot {

FileFormat::FileFormat(int formatCode) noexcept {
    if (const CoordinateFormat* f = FindCoordinateFormat(formatCode)) {
        integerDigits = f->integerDigits;
        decimalDigits = f->decimalDigits;
        unit = f->unit;
    }
}

FileFormat SettingsFileFormat(const ConversionSettings& settings) noexcept {
    FileFormat format(settings.inputFormat);
    format.zeros = CodeAs<ZeroMode>(settings.inputZeroMode);
    return format;
}

void CountReader::SetReading(const FileFormat& reading) noexcept {
    reading_ = reading;
    factor_ = 1.0;
    if (!view_.known() || !reading_.known()) return;
    factor_ = std::pow(10.0, view_.decimalDigits - reading_.decimalDigits);
    if (reading_.unit == Unit::Inch && view_.unit == Unit::Millimetre) factor_ *= kMillimetresPerInch;
    if (reading_.unit == Unit::Millimetre && view_.unit == Unit::Inch) factor_ /= kMillimetresPerInch;
}

std::optional<double> CountReader::Read(std::string_view text) const {
    // Sign and digit run, the zeros restored as the converter restores them
    // (digits as they stand unless trailing zeros are omitted). A number
    // with a decimal point carries its own scale and is read as written.
    std::optional<double> value;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i < text.size() && text[i] == '.') {
        value = ParseLeadingNumber(text);
    } else if (i > start) {
        value = InputDigitCount(text.substr(start, i - start), reading_.zeros, reading_.totalDigits());
        if (value && negative) value = -*value;
    }
    if (!value) return std::nullopt;
    const double v = *value * factor_;
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace mutaplot

namespace mutaplot {

// Until the parameter model lands: the settings alone.
FileFormat ScanFileFormat(const InputBlockList&, const ConversionSettings& settings) {
    return SettingsFileFormat(settings);
}

}  // namespace mutaplot
