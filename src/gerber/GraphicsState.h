#pragma once
// The state of an RS-274X file drawn with its own definitions: how its
// numbers are read (format, zero omission, unit, absolute or incremental),
// its apertures by D code and its macros by name, the current point,
// aperture, interpolation and quadrant mode, region mode, the load and
// image polarity, step-and-repeat, and the image statements of older files
// (%OF, %IO, %MI, %SF, %AS, %IR) as one transform of every point.

#include "gerber/ApertureShapes.h"
#include "gerber/FormatStatement.h"
#include "gerber/ParameterBlock.h"
#include "settings/ConversionSettings.h"

#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace mutaplot::gerber {

enum class Interpolation : std::uint8_t { Linear, Clockwise, CounterClockwise };

struct FileAperture {
    ApertureDefinition definition;
    Unit unit = Unit::Millimetre;   // the unit in force where it was defined
    std::optional<FlashShape> shape;  // built on first use
};

// x' = a·x + b·y + e, y' = c·x + d·y + f.
struct ImageTransform {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    SurfacePoint Apply(SurfacePoint p) const noexcept {
        return {a * p.x + b * p.y + e, c * p.x + d * p.y + f};
    }
    bool Mirrors() const noexcept { return a * d - b * c < 0; }
};

struct GraphicsState {
    FormatStatement format{ZeroOmission::Leading, false, 2, 4, 2, 4};
    Unit unit = Unit::Millimetre;
    bool incremental = false;  // G91 (or the format's I)

    std::unordered_map<int, FileAperture> apertures;
    MacroTable macros;
    int currentDCode = 0;  // 0: none selected yet

    SurfacePoint current{0, 0};  // file units, before the image transform
    Interpolation interpolation = Interpolation::Linear;
    bool multiQuadrant = false;  // G75; G74 (single quadrant) until then
    bool regionMode = false;     // between G36 and G37
    int operation = 2;           // the last D01/D02/D03, for blocks without one

    Polarity loadPolarity = Polarity::Dark;
    bool imageNegative = false;

    // The older image statements, combined into `transform`.
    double offsetA = 0, offsetB = 0;        // %OF
    double imageOffsetA = 0, imageOffsetB = 0;  // %IO
    bool mirrorA = false, mirrorB = false;  // %MI
    double scaleA = 1, scaleB = 1;          // %SF
    bool axesSwapped = false;               // %ASAYBX
    int rotation = 0;                       // %IR, degrees counter-clockwise
    ImageTransform transform;

    // Recomputes `transform`: axes swapped, then scaled, mirrored, moved by
    // the offsets, and last turned by the image rotation.
    void UpdateTransform() noexcept;
};

// Powers of ten for the decimal shift of a coordinate, each the value
// std::pow(10, k) gives: dividing by a table entry gives exactly what
// dividing by the computed power gives, at a fraction of the cost.
inline constexpr int kTabledPowers = 40;
using PowersOfTenTable = std::array<double, 2 * kTabledPowers + 1>;  // 10^-40 … 10^40
PowersOfTenTable MakePowersOfTen();

// 10^k, exactly as std::pow(10, k) gives it.
inline double PowerOfTen(int k) noexcept {
    static const PowersOfTenTable table = MakePowersOfTen();
    if (k < -kTabledPowers || k > kTabledPowers) return std::pow(10.0, k);
    return table[static_cast<std::size_t>(k + kTabledPowers)];
}

// The value of `count` digits read as the integer `digits`, without a
// point: leading omission (and none) gives them `decimals` decimal places,
// trailing omission pads them on the right to integer + decimal digits first.
inline double ShiftedDigits(double digits, int count, ZeroOmission zeros, int integerDigits, int decimals) noexcept {
    int shift = decimals;
    if (zeros == ZeroOmission::Trailing) shift = decimals - (integerDigits + decimals - count);
    return digits / PowerOfTen(shift);
}

// The value of a coordinate word's number text (sign, digits, optional
// point) in the file's unit: a text with a point is read as it stands,
// otherwise its digits as ShiftedDigits reads them. No value when the text
// holds no digit.
std::optional<double> DecodeCoordinate(std::string_view text, ZeroOmission zeros, int integerDigits,
                                       int decimals) noexcept;

}  // namespace mutaplot::gerber
