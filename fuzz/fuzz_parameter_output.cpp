// Fuzzes the parameter blocks kept in the output: the unit scaling of one
// parameter block's text, and the conversion pass with outputParameters 1
// over a file cut into blocks at "*". The first byte chooses the direction
// (bit 0), the decimals 3 … 6 (bits 1-2) and the header (bit 3).
//
// Checks: the same unit on both sides gives the text unchanged; a scaled
// text holds no "inf"/"nan" and converts back again; every output line of
// the pass writes at most one line per block, "*" and "%" of the input
// beyond the header.

#include "convert/ConversionPass.h"
#include "convert/OutputWriter.h"
#include "gerber/ParameterBlock.h"
#include "gerber/UnitScale.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool HoldsNonNumber(std::string_view text) {
    return text.find("inf") != std::string_view::npos || text.find("nan") != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mutaplot;
    if (size < 1) return 0;
    const bool toInch = data[0] & 1;
    const int decimals = 3 + ((data[0] >> 1) & 3);
    const Unit from = toInch ? Unit::Millimetre : Unit::Inch;
    const Unit to = toInch ? Unit::Inch : Unit::Millimetre;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    auto same = gerber::ScaleParameterText(text, from, from, decimals);
    if (!same || *same != text) std::abort();
    if (auto scaled = gerber::ScaleParameterText(text, from, to, decimals)) {
        if (HoldsNonNumber(*scaled) && !HoldsNonNumber(text)) std::abort();
        if (!gerber::ScaleParameterText(*scaled, to, from, decimals)) std::abort();
        (void)gerber::ParseParameterBlock(*scaled);
    }

    // The pass: inch(2.4) or mm(4.6) in, the other unit out, blocks kept.
    ConversionSettings s;
    s.inputFormat = toInch ? 10 : 8;
    s.inputUnit = StoredCode(from);
    s.inputZeroMode = 1;
    s.inputSeparator = 3;
    s.outputFormat = toInch ? 11 : 10;
    s.outputUnit = StoredCode(to);
    s.outputZeroMode = 1;
    s.outputHeader = (data[0] & 8) ? 1 : 2;
    s.outputEob = 1;
    s.lineBreak = 4;
    s.modal = 2;
    s.omitSameCoordinates = 2;
    s.outputParameters = 1;
    BlockList input;
    std::size_t stars = 0;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t star = rest.find('*');
        input.Append(rest.substr(0, star));
        if (star == std::string_view::npos) break;
        ++stars;
        rest.remove_prefix(star + 1);
    }
    ConverterState state;
    std::string gcode;
    BlockList output;
    ConvertBlocks(input, s, state, gcode, output);
    std::size_t percents = 0;
    for (char c : text) percents += c == '%';
    if (output.blockCount() > input.blockCount() + stars + percents + 2) std::abort();
    (void)ComposeOutputFile(output, s);
    return 0;
}
