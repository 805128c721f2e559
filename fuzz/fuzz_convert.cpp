// Fuzzes the conversion pass and the output layout: the first bytes choose
// the settings, the rest is cut into blocks at LF.

#include "convert/ConversionPass.h"
#include "convert/OutputWriter.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mutaplot;
    if (size < 12) return 0;
    ConversionSettings s;
    // Mostly valid codes, sometimes out of range.
    auto code = [&](std::size_t k, int count) {
        return static_cast<std::uint8_t>(data[k] % (count + 2));
    };
    s.inputFormat = code(0, 9);
    s.inputZeroMode = code(1, 3);
    s.inputUnit = UnitForFormat(s.inputFormat);
    s.outputFormat = code(2, 9);
    s.outputZeroMode = code(3, 3);
    s.outputUnit = UnitForFormat(s.outputFormat);
    s.omitSameCoordinates = code(4, 2);
    s.outputHeader = code(5, 2);
    s.lineBreak = code(6, 4);
    s.outputEob = code(7, 2);
    s.modal = code(8, 2);
    s.outputCode = code(9, 2);
    s.originShiftX = static_cast<double>(static_cast<std::int8_t>(data[10])) / 8.0;
    s.originShiftY = static_cast<double>(static_cast<std::int8_t>(data[11])) * 1e3;
    std::string_view text(reinterpret_cast<const char*>(data + 12), size - 12);
    BlockList input;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        input.Append(text.substr(0, lf));
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
    ConverterState state;
    std::string gcode;
    BlockList output;
    ConvertBlocks(input, s, state, gcode, output);
    // Every input block gives at most one output block, plus the header.
    if (output.blockCount() > input.blockCount() + 2) __builtin_trap();
    ComposeOutputFile(output, s);
    return 0;
}
