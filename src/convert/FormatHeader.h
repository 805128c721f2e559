#pragma once
// The RS-274X header lines that can open the output, and the recognition of
// such a format statement in the input.

#include "input/BlockList.h"
#include "settings/ConversionSettings.h"

#include <string_view>

namespace mutaplot {

// The list of converted blocks (entries 0 … outputCount − 1).
using OutputBlockList = BlockList;

// The two header lines for an output format code: the format statement
// ("*%FSLAX43Y43*%" …, leading zeros omitted and absolute) and the unit line
// ("*%MOMM*%" or "*%MOIN*%"). Empty texts for a code outside 1..11.
std::string_view FormatStatementLine(int outputFormat) noexcept;
std::string_view UnitLine(int outputFormat) noexcept;

// Puts the two header lines in front of the blocks already stored in
// `output` (none are lost or overwritten). With outputZeroMode 2 (trailing
// zeros omitted) the statement says so: "*%FSTAX43Y43*%". Does nothing and returns false
// when outputFormat is not 1..11.
bool WriteFormatHeader(const ConversionSettings& settings, OutputBlockList& output);

// Whether the header lines are still to be written when a block is copied
// (or a kept parameter block written). "Not yet written" is told by entry 1
// of the output being empty: so one coordinate block stored before the
// first copied block gets the header in front of it, but after two or more
// (entry 1 then holds a block) the output gets no header at all; an empty
// block stored as entry 1 leaves it due.
inline bool HeaderStillDue(const ConversionSettings& settings,
                           const OutputBlockList& output) noexcept {
    return CodeAs<Switch>(settings.outputHeader) == Switch::On && output[1].empty();
}

// For a block that starts with "*": a block starting with "*%FSLA" sets
// inputZeroMode to 1 (leading zeros omitted), and its characters 8 and 9 (the
// X digit counts, "24" in "*%FSLAX24Y24*%") select inputFormat and inputUnit
// when they are two digits naming one of the nine formats. Anything else
// changes nothing. Returns true when the block was a format statement.
bool RecognizeFormatStatement(std::string_view block, ConversionSettings& settings);

}  // namespace mutaplot
