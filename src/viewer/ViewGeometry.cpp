#include "viewer/ViewGeometry.h"

#include "settings/ConversionSettings.h"
#include "settings/NumberText.h"

#include <cmath>
#include <cstring>

namespace mutaplot {

namespace {

// D codes above this are skipped with the limit message; D501 itself passes
// the check and then finds no row in a full table.
constexpr double kHighestCheckedDCode = 501.0;

}  // namespace

std::optional<int> FormatDecimals(int inputFormat) noexcept {
    const CoordinateFormat* format = FindCoordinateFormat(inputFormat);
    if (!format) return std::nullopt;
    return format->decimalDigits;
}

std::optional<SurfaceUnit> PictureUnitOfFormat(int inputFormat) noexcept {
    const CoordinateFormat* format = FindCoordinateFormat(inputFormat);
    if (!format) return std::nullopt;
    return format->unit == Unit::Inch ? SurfaceUnit::Inch : SurfaceUnit::Millimetre;
}

void ComputeViewScale(std::string_view zoomText, const FileFormat& format,
                      std::string_view offsetXText, std::string_view offsetYText,
                      ViewTransform& transform) {
    for (std::size_t i = 0; i < std::size(kZoomListTexts); ++i)
        if (zoomText == kZoomListTexts[i]) transform.zoom = kZoomListFactors[i];
    if (!format.known()) return;
    transform.pictureUnit = format.pictureUnit();
    transform.fileFormat = format;
    const double countsPerPictureUnit = std::pow(10.0, format.decimalDigits);
    if (auto x = ParseLeadingNumber(offsetXText)) transform.offsetX = *x * countsPerPictureUnit;
    if (auto y = ParseLeadingNumber(offsetYText)) transform.offsetY = *y * countsPerPictureUnit;
    transform.countsPerUnit = countsPerPictureUnit / transform.zoom;
}

void TakeInputSettings(const ConversionSettings& settings, ViewControls& controls) noexcept {
    const auto separator = CodeAs<InputSeparator>(settings.inputSeparator);
    controls.inputSeparator = IsKnown(separator) ? separator : InputSeparator::Lf;
    controls.apertureSource = CodeAs<ApertureSource>(settings.apertureSource) == ApertureSource::List
                                  ? ApertureSource::List
                                  : ApertureSource::FileWhereDefined;
}

void ReadDrawQuality(std::string_view qualityText, ViewState& view) noexcept {
    if (qualityText == kQualityHighText) view.drawQuality = kDrawQualityHigh;
    else if (qualityText == kQualityFastText) view.drawQuality = kDrawQualityFast;
}

double RoundToHundredths(double value) noexcept { return RoundHalfEven(value * 100.0) / 100.0; }

PicturePoint ToPicture(double x, double y, double scaleHeight, float drawOrigin,
                       const ViewTransform& transform) noexcept {
    PicturePoint p;
    p.x = (x + transform.offsetX) / transform.countsPerUnit;
    if (IsTopLeftOrigin(drawOrigin))
        p.y = (y + transform.offsetY) / transform.countsPerUnit;
    else
        p.y = RoundToHundredths(scaleHeight - (y + transform.offsetY) / transform.countsPerUnit);
    return p;
}

double PixelsPerPictureUnit(const ViewTransform& transform) noexcept {
    return transform.pictureUnit == SurfaceUnit::Inch ? transform.pixelsPerMm * kMillimetresPerInch
                                                      : transform.pixelsPerMm;
}

int AperturePenWidth(const CurrentAperture& aperture, const ViewTransform& transform) noexcept {
    const bool thermal = IsThermal(aperture.shape);
    const double width = thermal ? (aperture.sizeY - aperture.sizeX) / 2 : aperture.sizeX;
    const double pixels = width * PixelsPerPictureUnit(transform) * transform.zoom;
    if (!(pixels >= 1.0)) return 1;
    const double rounded = RoundHalfEven(pixels);
    // A pen wider than any device could draw is a damaged list, not a drawing.
    constexpr double kWidestPen = 1 << 20;
    return static_cast<int>(rounded < kWidestPen ? rounded : kWidestPen);
}

std::optional<int> SelectAperture(std::string_view dNumberText, const ApertureTable& table,
                                  PlotRecords& records, Dialogs& dialogs) {
    const auto number = ParseDecimal(dNumberText);
    if (number && *number > kHighestCheckedDCode) {
        ShowCheckMessage(dialogs, kDCodeLimitMessage);
        return std::nullopt;
    }
    auto fail = [&dialogs]() -> std::optional<int> {
        ShowCheckMessage(dialogs, kDCodeErrorMessage);
        return std::nullopt;
    };
    if (!number) return fail();
    // The number is taken as a 16-bit integer, halves to even.
    const double code = RoundHalfEven(*number);
    if (code < -32768.0 || code > 32767.0) return fail();
    const ApertureEntry* found = table.ForDCode(static_cast<int>(code));
    if (!found) return fail();
    const ApertureEntry& entry = *found;

    // Fields are taken one after the other; a failure keeps those before it.
    CurrentAperture& aperture = records.aperture;
    const auto sizeX = ParseDecimal(entry.sizeX);
    if (!sizeX) return fail();
    aperture.sizeX = *sizeX;
    const auto sizeY = ParseDecimal(entry.sizeY);
    if (!sizeY) return fail();
    aperture.sizeY = *sizeY;
    const auto connect = ParseDecimal(entry.connectWidth);
    if (!connect) return fail();
    aperture.connectWidth = *connect;
    if (entry.shape == kShapeRound) aperture.shape = ApertureShape::Round;
    else if (entry.shape == kShapeRectangle) aperture.shape = ApertureShape::Square;
    else if (entry.shape == kShapeThermalAxes) aperture.shape = ApertureShape::ThermalAxes;
    else if (entry.shape == kShapeThermalDiagonal) aperture.shape = ApertureShape::ThermalDiagonal;

    if (!IsHighQuality(records.view)) return std::nullopt;
    return AperturePenWidth(aperture, records.transform);
}

}  // namespace mutaplot
