#pragma once
// The one settings record of the process: how input is cut and decoded, how
// output is formatted and written, and the viewer's and DXF export's options.
// Coded fields are small 1-based codes in the order of the dialog options;
// 0 means "not set", which is what every field holds before the settings
// file has been read.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace mutaplot {

// The meanings of the coded fields below. The record keeps the small codes
// as they stand in the settings file and the dialogs' option order (any
// value may be stored, 0 "not set" included); code that acts on a field
// reads it through CodeAs<...>() and compares with these names.

// Which zeros of a coordinate number are left out.
enum class ZeroMode : std::uint8_t {
    NotSet = 0,
    LeadingOmitted = 1,
    TrailingOmitted = 2,
    NoneOmitted = 3,
};

// How the input is cut into blocks.
enum class InputSeparator : std::uint8_t { NotSet = 0, Cr = 1, Lf = 2, Star = 3 };

// The character code of the input or output file.
enum class CharCode : std::uint8_t { NotSet = 0, Ascii = 1, Ebcdic = 2 };

// What ends an output block in the file.
enum class LineBreak : std::uint8_t { NotSet = 0, None = 1, Lf = 2, Cr = 3, CrLf = 4 };

// The two-option switches omitSameCoordinates, outputHeader and outputEob
// (the first option turns the behaviour on).
enum class Switch : std::uint8_t { NotSet = 0, On = 1, Off = 2 };

// Whether every output block carries its G code.
enum class GCodeRepeat : std::uint8_t { NotSet = 0, EveryBlock = 1, OnChange = 2 };

// The unit of a coordinate format, and of inputUnit and outputUnit.
enum class Unit : std::uint8_t { None = 0, Millimetre = 1, Inch = 2 };

// A stored code read as its meaning, and a meaning as the code to store.
template <typename Code>
    requires std::is_enum_v<Code>
constexpr Code CodeAs(std::uint8_t stored) noexcept {
    return static_cast<Code>(stored);
}
template <typename Code>
    requires std::is_enum_v<Code>
constexpr std::uint8_t StoredCode(Code code) noexcept {
    return static_cast<std::uint8_t>(code);
}

// Whether a stored code is one of the options (not 0, not out of range).
constexpr bool IsKnown(InputSeparator s) noexcept {
    return s == InputSeparator::Cr || s == InputSeparator::Lf || s == InputSeparator::Star;
}
constexpr bool IsKnown(CharCode c) noexcept { return c == CharCode::Ascii || c == CharCode::Ebcdic; }
constexpr bool IsKnown(LineBreak b) noexcept {
    return b == LineBreak::None || b == LineBreak::Lf || b == LineBreak::Cr || b == LineBreak::CrLf;
}

// Inch <-> mm factor of every unit conversion.
inline constexpr double kMillimetresPerInch = 25.4;

struct ConversionSettings {
    std::uint8_t inputFormat = 0;     // 1..11, see CoordinateFormat
    std::uint8_t inputZeroMode = 0;   // ZeroMode: 1 leading omitted, 2 trailing omitted, 3 none omitted
    std::uint8_t inputUnit = 0;       // Unit: 1 mm, 2 inch
    std::uint8_t inputSeparator = 0;  // InputSeparator: 1 CR / CR LF, 2 LF, 3 "*"
    std::uint8_t inputCode = 0;       // CharCode: 1 ASCII, 2 EBCDIC
    std::uint8_t outputCode = 0;      // CharCode: 1 ASCII, 2 EBCDIC
    std::uint8_t outputFormat = 0;    // 1..11
    std::uint8_t outputZeroMode = 0;  // as inputZeroMode
    std::uint8_t outputUnit = 0;      // Unit: 1 mm, 2 inch
    std::uint8_t omitSameCoordinates = 0;  // Switch: 1 omit unchanged words, 2 always write both
    std::uint8_t outputHeader = 0;    // Switch: 1 write the two header lines, 2 none
    std::uint8_t lineBreak = 0;       // LineBreak: 1 none, 2 LF, 3 CR, 4 CR LF
    std::uint8_t outputEob = 0;       // Switch: 1 end every block with "*", 2 not
    std::uint8_t modal = 0;           // GCodeRepeat: 1 every block carries its G code, 2 repeated left out
    double originShiftX = 0.0;        // added to output X, in the output unit
    double originShiftY = 0.0;
    float drawOrigin = 0.0f;          // 0 bottom-left, 1 top-left
    std::string drawColour;           // colour number as decimal text (0x00BBGGRR)
    std::string backColour;
    std::uint8_t dxfLineWidth = 0;    // 0 lines without width, 1 with width
    std::uint8_t dxfFormat = 0;       // 0 AC1003 compatible, 1 AC1009 compatible
    // Switch: 1 the input's parameter blocks go to the output (lengths in the
    // output unit), 2 they are dropped; 0 (a file without line 27) counts as 2.
    std::uint8_t outputParameters = 0;
    // Held in memory only (not in the settings file): the
    // viewer's aperture source of 表示設定, 0 the file's definitions where it
    // has them, 1 always the aperture list.
    std::uint8_t apertureSource = 0;
};

// The 27 lines of the settings file as read at start-up (index 0 = line 1).
// Lines 1, 8 and 19 belong to no field and pass through a save unchanged.
// Line 27 (outputParameters) came later: a file of 26 lines still reads.
using SettingsLines = std::array<std::string, 27>;
inline constexpr std::size_t kRequiredSettingsLines = 26;

// Whether the conversion keeps the input's parameter blocks (outputParameters 1).
constexpr bool KeepsParameterBlocks(const ConversionSettings& s) noexcept {
    return CodeAs<Switch>(s.outputParameters) == Switch::On;
}

// One of the eleven fixed coordinate formats shared by input and output.
struct CoordinateFormat {
    std::uint8_t code;          // 1..11
    std::string_view caption;   // as shown in the dialogs' drop-down lists
    Unit unit;
    int integerDigits;
    int decimalDigits;
    int totalDigits() const noexcept { return integerDigits + decimalDigits; }
};

// The eleven formats in dialog order ("mm(4.3)" … "inch(2.5)", then the
// six-decimal "mm(4.6)" and "inch(2.6)" as codes 10 and 11).
extern const std::array<CoordinateFormat, 11> kCoordinateFormats;

// The format with the given code, or nullptr for a code outside 1..11.
const CoordinateFormat* FindCoordinateFormat(int code) noexcept;

// The unit code (1 mm, 2 inch) that goes with a format code, 0 when invalid.
std::uint8_t UnitForFormat(int code) noexcept;

// Sets one field by its name (e.g. "inputFormat", "originShiftX", the names
// of kSettingsFields in SettingsFields.h) from text, as the command line's
// --set does: a code as plain digits 0 to 255, a number as decimal text
// (finite), a colour as a colour number; each within its field's range.
// Returns false, changing nothing, for an unknown name or a value that does
// not convert or is out of range.
bool SetSettingsField(ConversionSettings& settings, std::string_view name, std::string_view value);

}  // namespace mutaplot
