#pragma once
// A parameter block's text with every length in another unit: the sizes and
// holes of standard apertures (%AD C, R, O, P), the length modifiers of each
// macro primitive, step-and-repeat distances (%SR I, J) and image offsets
// (%OF, %IO). Everything else is written as it stands: counts, rotations,
// exposures, variable definitions, comments, attributes, the parameters an
// %AD passes to a macro (the macro scales its own use of them: a length
// modifier that holds a variable becomes "$1x25.4-$3x25.4" or "$1/25.4",
// so that $n keeps the unit of the %AD that passes it).
//
// Changes to the agreed interface: the scaling is given as a pair of units
// (a millimetre length divided by 25.4 stays exact where a multiplication
// by 1/25.4 would not), and the result is nullopt when some statement
// cannot be converted (a macro primitive of unknown code, a number that does
// not read); the caller then keeps the block as it was and reports it.

#include "settings/ConversionSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace mutaplot::gerber {

// text: the characters between the "%" delimiters, statements ended by "*"
// (as ParameterTextCollector gives them). Scaled constants are rounded half
// up to `decimals` decimals and written without trailing zeros. The same
// unit on both sides gives the text unchanged.
std::optional<std::string> ScaleParameterText(std::string_view text, Unit from, Unit to,
                                              int decimals);

// One length in the output form: rounded half up to `decimals` decimals,
// plain decimal notation without trailing zeros ("0.019685", "12.7", "0").
std::string FormatLength(double value, int decimals);

}  // namespace mutaplot::gerber
