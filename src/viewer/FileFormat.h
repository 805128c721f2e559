#pragma once
// The coordinate format a walk (display, print, DXF — with the aperture list
// or with the file's own definitions) reads a file in, and the view scale
// follows.
//
// It starts from the input settings (inputFormat's digits and unit,
// inputZeroMode). A file that speaks for itself overrides them: the first
// format statement (%FS…) and the first mode statement (%MOMM / %MOIN) met
// before the file's first coordinate block decide the format exactly as if
// the input settings had named them: digit counts and zero omission from the
// %FS (and the unit of the format code those digits name, as the converter
// adopts it), the unit from the %MO. ScanFileFormat finds them before the
// walk; the view's decimals and picture unit (ComputeViewScale) come from
// its result, in both drawing modes.
//
// A statement met after coordinate data changes only how the following
// numbers are read (CountReader below), never the view's scale or unit.

#include "gerber/FormatStatement.h"
#include "input/BlockList.h"
#include "platform/DrawingSurface.h"
#include "settings/ConversionSettings.h"

#include <optional>
#include <string_view>

namespace mutaplot {

struct FileFormat {
    int integerDigits = 0;  // both 0: no format known (a code outside the
    int decimalDigits = 0;  // table and no statement in the file)
    Unit unit = Unit::None;
    ZeroMode zeros = ZeroMode::LeadingOmitted;
    bool unitStated = false;  // a mode statement gave the unit

    FileFormat() = default;
    // The format of a format code alone, leading zeros omitted, no statement
    // of the file: what callers that know only the settings' code draw, as
    // the walk always did. Deliberately implicit.
    FileFormat(int formatCode) noexcept;  // NOLINT(google-explicit-constructor)

    bool known() const noexcept { return decimalDigits > 0 || integerDigits > 0; }
    int totalDigits() const noexcept { return integerDigits + decimalDigits; }
    // Millimetre unless the unit is inch.
    SurfaceUnit pictureUnit() const noexcept {
        return unit == Unit::Inch ? SurfaceUnit::Inch : SurfaceUnit::Millimetre;
    }
    friend bool operator==(const FileFormat&, const FileFormat&) = default;
};

// The input settings' own format: inputFormat's digits and unit, and
// inputZeroMode (any stored code but "trailing omitted" reads the digits as
// they stand, as the converter does).
FileFormat SettingsFileFormat(const ConversionSettings& settings) noexcept;

// A format statement applied to a format: its X digit counts and zero
// omission, and, unless a mode statement gave the unit, the unit of the
// format code those digits name (a digit count of no code keeps the unit).
// Incremental notation is drawn as absolute.
void ApplyFormatStatement(const gerber::FormatStatement& statement, FileFormat& format) noexcept;
// A mode statement applied to a format: its unit.
void ApplyModeStatement(Unit unit, FileFormat& format) noexcept;

// The first format and the first mode statement among the statements of
// one parameter block's text (without its "%"; "ICAS*MOIN*" holds a mode).
struct FormatStatements {
    std::optional<gerber::FormatStatement> format;
    std::optional<Unit> mode;
};
FormatStatements FindFormatStatements(std::string_view parameterText);

// Whether a data block (parameter blocks removed) holds coordinates: an X,
// Y, I or J word with a number; G04 comments never do.
bool IsCoordinateData(std::string_view block) noexcept;

// The effective format of a file: SettingsFileFormat, overridden by the
// first %FS and the first %MO before the first coordinate block (a data
// block holding an X, Y, I or J word, G04 comments aside). Reads the list
// only up to that block.
FileFormat ScanFileFormat(const InputBlockList& blocks, const ConversionSettings& settings);

// Reads the number of an X, Y, I or J word as a count of the view's last
// digit. Numbers are read in the `reading` format: with trailing zeros
// omitted the converter's restoration (InputDigitCount) applies, otherwise
// the number at the start of the text is taken as the walk always read it.
// When the reading format differs from the view's (a statement after
// coordinate data), the value is taken to the view's decimals and unit.
class CountReader {
public:
    CountReader() = default;  // plain numbers, no conversion
    explicit CountReader(const FileFormat& view) noexcept : view_(view), reading_(view) {}

    // The number at the start of `text`; none when there is none or it is
    // not finite (a coordinate of hundreds of digits is unreadable, never 0).
    std::optional<double> Read(std::string_view text) const;

    // A statement met during the walk.
    void SetReading(const FileFormat& reading) noexcept;
    const FileFormat& reading() const noexcept { return reading_; }

private:
    FileFormat view_;
    FileFormat reading_;
    double factor_ = 1.0;  // reading counts → view counts
};

}  // namespace mutaplot
