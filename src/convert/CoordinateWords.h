#pragma once
// Coordinate words of the converter: finding the X, Y, I, J and D words of a
// block, decoding their numbers in the input format, converting them (unit,
// origin shift, scale, half-up rounding) and writing them again in the output
// format. The viewer decodes blocks in its own way and does not use these.
//
// Decoding is strict: a number is an optional "-" followed by one or more
// digits. The words are read in the order X, Y, I, J, D first; a block that
// does not read that way is read again as words in any order (as RS-274X
// allows: "Y6200X9000D03", "G03I150J0X3550Y1701D01"), each letter at most
// once and all before the D part. Anything else is reported as not decodable
// (no value), so that the pass can hand such a block on unchanged instead of
// inventing digits. Blocks of any length are decoded (no limit on the
// position of a letter).

#include "settings/ConversionSettings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mutaplot {

// The converter's coordinate state, kept between the blocks of one pass.
// `currentGCode` is not here: it is shared with the viewer's display pass and
// owned by the application (see RunConversion).
struct ConverterState {
    std::string xDigits;          // X number as last given in the input ("" = 0)
    std::string yDigits;          // Y number likewise
    double lastX = 0.0;           // last output X, signed whole number in output counts
    double lastY = 0.0;
    std::uint8_t changedAxes = 0; // 0 both (or start of pass), 1 only X, 2 only Y
    bool overflowX = false;       // an X or I value needed more than N_out digits
    bool overflowY = false;       // a Y or J value likewise
    std::string currentDCode = "D02";
    // Blocks the pass could not convert and handed on unchanged: coordinate
    // blocks it cannot decode, and copied blocks that carry coordinate words.
    std::size_t unconvertedCount = 0;
    std::size_t firstUnconverted = 0;  // 1-based number of the first such input block
    // Blocks dropped with a parameter block although they may hold data: a
    // block that opens a parameter block and has more after its closing
    // "%", and the blocks after a "%" that is never closed.
    std::size_t droppedCount = 0;
    std::size_t firstDropped = 0;      // 1-based number of the first such input block
};

// Puts the state into its start-of-pass values (currentGCode is reset by the
// caller: it lives elsewhere).
void ResetConverterState(ConverterState& state);

// The number texts and D part found in a block (views into the block).
struct BlockWords {
    std::string_view x, y, i, j;
    bool hasX = false, hasY = false, hasI = false, hasJ = false;
    std::string_view dPart;  // from the first "D" to the end of the block
    bool wordInDPart = false;  // an X, Y, I or J stands in the D part
};

// A linear block that starts with "X", "Y" or "G01" and holds a "D". No value
// when the words cannot be read (see the class comment). The X/Y texts are
// only those the block gives; the caller keeps the others.
std::optional<BlockWords> ExtractLinearWords(std::string_view block);

// An arc block (words X, Y, I, J, D, each but D optional). No value when the
// words cannot be read or when it has neither I nor J.
std::optional<BlockWords> ExtractArcWords(std::string_view block);

// The words of a block in any order: an optional leading "G01"/"G02"/"G03",
// then X, Y and (with `arc`) I and J words, each at most once, then the D
// part. No value for anything else.
std::optional<BlockWords> ExtractWordsInAnyOrder(std::string_view block, bool arc);

// True when `text` is an optional "-" followed by at least one digit.
bool IsCoordinateNumber(std::string_view text) noexcept;

enum class Axis { X, Y };

// The input's number format as the file's own format and unit statements
// give it, used when they name none of the format codes (say 3.5 digits, or
// 2.4 digits in millimetres): digits per axis, unit and zero omission.
struct OwnInputFormat {
    int integerDigits[2] = {0, 0};  // X, Y
    int decimalDigits[2] = {0, 0};
    Unit unit = Unit::None;
    ZeroMode zeros = ZeroMode::LeadingOmitted;
};

// Decodes an X or Y number text ("" counts as 0) in the input format and
// converts it to a signed whole number of output counts (unit, origin shift
// of its axis, scale, floor(v + 0.5)). No value when the formats are not set
// or the result is not a finite number. With `own`, the input format, unit
// and zero mode are those of `own` instead of the settings'.
std::optional<double> ConvertCoordinate(std::string_view text, Axis axis,
                                        const ConversionSettings& settings,
                                        const OwnInputFormat* own = nullptr);

// An I or J centre offset: its sign is held apart from the text and the
// magnitude is converted without origin shift.
struct ConvertedOffset {
    bool negative = false;
    double magnitude = 0.0;
};
std::optional<ConvertedOffset> ConvertOffset(std::string_view text,
                                             const ConversionSettings& settings,
                                             Axis axis = Axis::X,
                                             const OwnInputFormat* own = nullptr);

// The whole number of input counts a coordinate's digit text stands for
// (digits only, no sign): with trailing zeros omitted, zeros are appended up
// to `totalDigits` characters (the input format's integer and decimal
// digits); otherwise the digits are read as they stand. Exact up to 2^53 and
// correctly rounded beyond; no value when the number is not finite. The
// converter's decoding and the viewer's walks restore zeros with this one
// rule.
std::optional<double> InputDigitCount(std::string_view digits, ZeroMode zeros, int totalDigits);

// Appends the output digits of a non-negative whole value by outputZeroMode
// and outputFormat. Returns true when the value needs more than N_out digits
// (overflow); such a value is written with all its digits in every mode.
bool AppendOutputDigits(std::string& out, double magnitude, const ConversionSettings& settings);

// Word assembly. Each appends to `out` and updates the state as follows:
// FormatLinearXY updates lastX, lastY and changedAxes and leaves out unchanged
// words when omitSameCoordinates is 1; FormatArcXY always writes both words
// and only updates lastX and lastY; FormatArcIJ writes the offsets the block
// gives. All set the overflow flags.
void FormatLinearXY(double x, double y, const ConversionSettings& settings,
                    ConverterState& state, std::string& out);
void FormatArcXY(double x, double y, const ConversionSettings& settings,
                 ConverterState& state, std::string& out);
void FormatArcIJ(const std::optional<ConvertedOffset>& i, const std::optional<ConvertedOffset>& j,
                 const ConversionSettings& settings, ConverterState& state, std::string& out);

}  // namespace mutaplot
