#include "viewer/FileFormat.h"

#include "convert/CoordinateWords.h"
#include "gerber/ParameterBlock.h"
#include "gerber/ParameterStream.h"
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

void ApplyFormatStatement(const gerber::FormatStatement& statement, FileFormat& format) noexcept {
    format.integerDigits = statement.xInteger;
    format.decimalDigits = statement.xDecimal;
    switch (statement.zeros) {
    case gerber::ZeroOmission::Leading: format.zeros = ZeroMode::LeadingOmitted; break;
    case gerber::ZeroOmission::Trailing: format.zeros = ZeroMode::TrailingOmitted; break;
    case gerber::ZeroOmission::None: format.zeros = ZeroMode::NoneOmitted; break;
    }
    if (format.unitStated) return;
    // The digit counts name at most one format code, as the converter adopts it.
    for (const CoordinateFormat& f : kCoordinateFormats)
        if (f.integerDigits == statement.xInteger && f.decimalDigits == statement.xDecimal)
            format.unit = f.unit;
}

void ApplyModeStatement(Unit unit, FileFormat& format) noexcept {
    format.unit = unit;
    format.unitStated = true;
}

FormatStatements FindFormatStatements(std::string_view text) {
    FormatStatements found;
    // Most parameter blocks are apertures and macros: no statement to split.
    if (text.find("FS") == std::string_view::npos && text.find("MO") == std::string_view::npos)
        return found;
    for (const std::string& statement : gerber::ParseStatements(text)) {
        if (!found.format) found.format = gerber::ParseFormatStatement(statement);
        if (!found.mode) found.mode = gerber::ParseModeStatement(statement);
    }
    return found;
}

bool IsCoordinateData(std::string_view block) noexcept {
    if (block.substr(0, 3) == "G04") return false;
    for (std::size_t k = 0; k + 1 < block.size(); ++k) {
        const char c = block[k];
        if (c != 'X' && c != 'Y' && c != 'I' && c != 'J') continue;
        const char n = block[k + 1];
        if ((n >= '0' && n <= '9') || n == '+' || n == '-') return true;
    }
    return false;
}

FileFormat ScanFileFormat(const InputBlockList& blocks, const ConversionSettings& settings) {
    FileFormat format = SettingsFileFormat(settings);
    gerber::ParameterTextCollector parameters(CodeAs<InputSeparator>(settings.inputSeparator));
    bool formatSeen = false, modeSeen = false;
    for (std::size_t k = 0; k < blocks.blockCount() && !(formatSeen && modeSeen); ++k) {
        for (const std::string& text : parameters.Take(blocks[k])) {
            const FormatStatements found = FindFormatStatements(text);
            if (found.format && !formatSeen) {
                ApplyFormatStatement(*found.format, format);
                formatSeen = true;
            }
            if (found.mode && !modeSeen) {
                ApplyModeStatement(*found.mode, format);
                modeSeen = true;
            }
        }
        if (parameters.part() == BlockPart::Data && IsCoordinateData(parameters.text())) break;
    }
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
