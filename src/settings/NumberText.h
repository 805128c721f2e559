#pragma once
// Number <-> text helpers shared by every module. Numbers are never read or
// written through the C locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mutaplot {

// The one form in which the system writes decimal numbers as text (settings
// file, dialogs, .apt sizes, DXF number lines): at most 15 significant digits,
// no trailing zeros, no point for whole values, "-" right before the first
// digit, "." as the point, never an exponent. 0.3 + 0.9 gives "1.2",
// 100000 gives "100000", -0.25 gives "-0.25". NaN and infinities give "0".
std::string FormatDecimal(double value);

// Reads a whole text as a decimal number: blanks around it are allowed, an
// optional sign, digits with an optional "." fraction (an exponent is
// accepted too). Anything else, or an empty text, gives no value.
std::optional<double> ParseDecimal(std::string_view text);

// Reads the number at the start of a text and ignores what follows it:
// leading blanks, optional sign, digits, optional "." and fraction digits.
// No digits at all gives no value. Used where the viewer reads coordinate
// or offset texts.
std::optional<double> ParseLeadingNumber(std::string_view text);

// The converter's rounding: floor(v + 0.5), halves go up (towards +inf).
double RoundHalfUp(double value) noexcept;

// The viewer's rounding: to the nearest integer, halves to the even one.
double RoundHalfEven(double value) noexcept;

}  // namespace mutaplot
