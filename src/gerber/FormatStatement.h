#pragma once
// The file's own coordinate format and unit statements: "%FSLAX46Y46*%",
// "%FSLAN2X34Y34*%", "%MOMM*%", "%MOIN*%", and which of the fixed format
// codes they name.
//
// Beyond the agreed interface: FormatStatement::SameForBothAxes().

#include "settings/ConversionSettings.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace mutaplot::gerber {

// Which zeros of a coordinate number the file leaves out: L, T or D.
enum class ZeroOmission : std::uint8_t { Leading, Trailing, None };

struct FormatStatement {
    ZeroOmission zeros = ZeroOmission::Leading;
    bool incremental = false;  // "I" instead of "A"
    int xInteger = 0, xDecimal = 0, yInteger = 0, yDecimal = 0;

    bool SameForBothAxes() const noexcept {
        return xInteger == yInteger && xDecimal == yDecimal;
    }
};

// Digit counts a format statement may give.
inline constexpr int kMinIntegerDigits = 1, kMaxIntegerDigits = 6;
inline constexpr int kMinDecimalDigits = 3, kMaxDecimalDigits = 6;

// The text of one parameter block without its "%" delimiters, with or
// without a "*" in front ("FSLAX46Y46*", "*FSLAX24Y24*", "FSLAN2X34Y34*";
// line breaks and blanks are ignored). The parts are, in this order: "FS",
// the zero omission L, T or D (absent: L), A or I (absent: A), optional N, G
// words (one digit each), X and Y with two digits each (integer digits 1–6,
// decimals 3–6), optional D and M words, and "*" or the end. Anything else,
// or another statement behind the "*", gives nullopt.
std::optional<FormatStatement> ParseFormatStatement(std::string_view parameterText);

// "MOMM*" → Millimetre, "MOIN*" → Inch (a leading "*", blanks and line
// breaks allowed, the closing "*" optional); anything else nullopt.
std::optional<Unit> ParseModeStatement(std::string_view parameterText);

// The code 1..11 of kCoordinateFormats with these digits (X and Y alike) and
// this unit, or 0 when there is none.
int FormatCodeFor(const FormatStatement& format, Unit unit) noexcept;

}  // namespace mutaplot::gerber
