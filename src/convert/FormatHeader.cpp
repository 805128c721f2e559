#include "convert/FormatHeader.h"

#include <array>
#include <tuple>

namespace mutaplot {

namespace {

// The format statements with leading zeros omitted ("L") and absolute
// coordinates ("A"); the header writes "T" instead of "L" for output with
// trailing zeros omitted (see WriteFormatHeader).
constexpr std::array<std::string_view, 11> kFormatStatements = {
    "*%FSLAX43Y43*%", "*%FSLAX44Y44*%", "*%FSLAX45Y45*%", "*%FSLAX53Y53*%",
    "*%FSLAX54Y54*%", "*%FSLAX55Y55*%", "*%FSLAX23Y23*%", "*%FSLAX24Y24*%",
    "*%FSLAX25Y25*%", "*%FSLAX46Y46*%", "*%FSLAX26Y26*%"};
static_assert(kFormatStatements.size() == std::tuple_size_v<decltype(kCoordinateFormats)>);

}  // namespace

std::string_view FormatStatementLine(int outputFormat) noexcept {
    if (!FindCoordinateFormat(outputFormat)) return {};
    return kFormatStatements[static_cast<std::size_t>(outputFormat - 1)];
}

std::string_view UnitLine(int outputFormat) noexcept {
    const CoordinateFormat* format = FindCoordinateFormat(outputFormat);
    if (!format) return {};
    return format->unit == Unit::Millimetre ? "*%MOMM*%" : "*%MOIN*%";
}

bool WriteFormatHeader(const ConversionSettings& settings, OutputBlockList& output) {
    const std::string_view lineL = FormatStatementLine(settings.outputFormat);
    if (lineL.empty()) return false;
    // Numbers written with trailing zeros omitted ("X000254") read as other
    // values under "L": the statement names the omission they are written
    // with. Output with nothing omitted reads the same under "L".
    char buffer[16];
    std::string_view statement = lineL;
    if (CodeAs<ZeroMode>(settings.outputZeroMode) == ZeroMode::TrailingOmitted &&
        lineL.size() <= sizeof buffer) {
        lineL.copy(buffer, lineL.size());
        buffer[4] = 'T';  // "*%FS" then the omission letter
        statement = std::string_view(buffer, lineL.size());
    }
    if (output.empty()) {
        output.Append(statement);
        output.Append(UnitLine(settings.outputFormat));
        return true;
    }
    // Blocks were stored before the first pass-through block: the header goes
    // in front of them.
    OutputBlockList rebuilt;
    rebuilt.Reserve(output.blockCount() + 2, output.textSize() + 32);
    rebuilt.Append(statement);
    rebuilt.Append(UnitLine(settings.outputFormat));
    for (std::size_t k = 0; k < output.blockCount(); ++k) rebuilt.Append(output[k]);
    output = std::move(rebuilt);
    return true;
}

bool RecognizeFormatStatement(std::string_view block, ConversionSettings& settings) {
    if (block.substr(0, 6) != "*%FSLA") return false;
    settings.inputZeroMode = StoredCode(ZeroMode::LeadingOmitted);
    // Characters 8 and 9: the integer and decimal digit counts of X.
    if (block.size() < 9) return true;
    const char a = block[7], b = block[8];
    if (a < '0' || a > '9' || b < '0' || b > '9') return true;
    // The digit counts name at most one of the nine formats.
    for (const CoordinateFormat& format : kCoordinateFormats) {
        if (format.integerDigits != a - '0' || format.decimalDigits != b - '0') continue;
        settings.inputFormat = format.code;
        settings.inputUnit = UnitForFormat(format.code);
        break;
    }
    return true;
}

}  // namespace mutaplot
