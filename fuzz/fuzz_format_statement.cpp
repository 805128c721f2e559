// Fuzzes the recognition of a file's own format and unit statements: the
// standard reading of "%FS…*%" and "%MO…*%", the header form "*%FS…", and
// the conversion pass over a file cut into blocks at LF that holds them.
//
// Checks: a statement read has digit counts in their documented ranges and
// names a format code only when that code has its digits and unit; the
// input settings stay within their codes whatever the file says.

#include "convert/ConversionPass.h"
#include "convert/FormatHeader.h"
#include "gerber/FormatStatement.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace mutaplot;

void CheckSettings(const ConversionSettings& s) {
    if (s.inputFormat > 11) std::abort();
    if (s.inputUnit > 2 || s.inputZeroMode > 3) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto f = gerber::ParseFormatStatement(text)) {
        for (int digits : {f->xInteger, f->yInteger})
            if (digits < gerber::kMinIntegerDigits || digits > gerber::kMaxIntegerDigits) std::abort();
        for (int digits : {f->xDecimal, f->yDecimal})
            if (digits < gerber::kMinDecimalDigits || digits > gerber::kMaxDecimalDigits) std::abort();
        for (Unit unit : {Unit::Millimetre, Unit::Inch}) {
            const int code = gerber::FormatCodeFor(*f, unit);
            if (code == 0) continue;
            const CoordinateFormat* c = FindCoordinateFormat(code);
            if (!c || c->unit != unit || !f->SameForBothAxes() ||
                c->integerDigits != f->xInteger || c->decimalDigits != f->xDecimal)
                std::abort();
        }
    }
    if (auto unit = gerber::ParseModeStatement(text))
        if (*unit != Unit::Millimetre && *unit != Unit::Inch) std::abort();

    ConversionSettings s;
    s.inputFormat = 8;
    s.inputUnit = 2;
    s.inputZeroMode = 1;
    (void)RecognizeFormatStatement(text, s);
    CheckSettings(s);

    // The pass, both with the blocks dropped and kept.
    BlockList input;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        input.Append(rest.substr(0, lf));
        if (lf == std::string_view::npos) break;
        rest.remove_prefix(lf + 1);
    }
    for (std::uint8_t keep : {1, 2}) {
        ConversionSettings p;
        p.inputFormat = 8;
        p.inputUnit = 2;
        p.inputZeroMode = 1;
        p.inputSeparator = 2;
        p.outputFormat = 1;
        p.outputUnit = 1;
        p.outputZeroMode = 2;
        p.outputHeader = 1;
        p.outputEob = 1;
        p.lineBreak = 2;
        p.modal = 2;
        p.omitSameCoordinates = 1;
        p.outputParameters = keep;
        ConverterState state;
        std::string gcode;
        BlockList output;
        ConvertBlocks(input, p, state, gcode, output);
        CheckSettings(p);
    }
    return 0;
}
