#include "viewer/Navigation.h"

#include "settings/NumberText.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <limits>

namespace mutaplot {

namespace {

// −0 is written "0".
double NoNegativeZero(double v) noexcept { return v + 0.0; }

}  // namespace

OriginCorner OriginCornerOf(float drawOrigin) noexcept {
    return IsTopLeftOrigin(drawOrigin) ? OriginCorner::TopLeft : OriginCorner::BottomLeft;
}

double DataResolution(const FileFormat& format) noexcept {
    return format.known() ? 1.0 / std::pow(10.0, format.decimalDigits) : 1.0;
}

double ReadoutStep(const FileFormat& format) noexcept {
    return format.known() && format.pictureUnit() == SurfaceUnit::Inch ? DataResolution(format) : 1.0;
}

double RoundToStep(double v, double step) noexcept {
    if (step == 1.0 || !(step > 0)) return NoNegativeZero(RoundHalfEven(v));
    // Dividing by the step's inverse (a whole number) keeps 0.42 / 0.0001 exact.
    const double perUnit = std::round(1.0 / step);
    return NoNegativeZero(RoundHalfEven(v * perUnit) / perUnit);
}

double StepDivisor(float zoom) noexcept { return 2.0 * RoundHalfEven(static_cast<double>(zoom) + 1.0); }

ViewPlace ZoomInAboutCentre(const ViewPlace& view, double width, double height,
                            double step) noexcept {
    const float z = view.zoom * 2.0f;
    return {z, RoundToStep(view.offsetX - width / 2 / z, step),
            RoundToStep(view.offsetY - height / 2 / z, step)};
}

ViewPlace ZoomOutAboutCentre(const ViewPlace& view, double width, double height,
                             double step) noexcept {
    const float z = view.zoom / 2.0f;
    return {z, RoundToStep(view.offsetX + width / 4 / z, step),
            RoundToStep(view.offsetY + height / 4 / z, step)};
}

ViewPlace MoveView(const ViewPlace& view, MoveDirection direction, double width,
                   double height, double step) noexcept {
    const double k = StepDivisor(view.zoom);
    ViewPlace out = view;
    switch (direction) {
    case MoveDirection::Right: out.offsetX = RoundToStep(view.offsetX + width / k, step); break;
    case MoveDirection::Left: out.offsetX = RoundToStep(view.offsetX - width / k, step); break;
    case MoveDirection::Up: out.offsetY = RoundToStep(view.offsetY + height / k, step); break;
    case MoveDirection::Down: out.offsetY = RoundToStep(view.offsetY - height / k, step); break;
    }
    out.offsetX = NoNegativeZero(out.offsetX);
    out.offsetY = NoNegativeZero(out.offsetY);
    return out;
}

DataPoint ReadoutPoint(double x, double y, const ViewPlace& view, double height,
                       OriginCorner corner) noexcept {
    const double z = view.zoom;
    const double fromEdge = corner == OriginCorner::BottomLeft ? height - y : y;
    return {x / z - view.offsetX, fromEdge / z - view.offsetY};
}

DataPoint RoundedReadout(double x, double y, const ViewPlace& view, double height,
                         OriginCorner corner, double step) noexcept {
    const DataPoint p = ReadoutPoint(x, y, view, height, corner);
    return {RoundToStep(p.x, step), RoundToStep(p.y, step)};
}

PickPoint PickAt(double x, double y, float zoom, double height, OriginCorner corner) noexcept {
    const double z = zoom;
    const double fromEdge = corner == OriginCorner::BottomLeft ? height - y : y;
    return {static_cast<float>(NoNegativeZero(RoundHalfEven(x / z))),
            static_cast<float>(NoNegativeZero(RoundHalfEven(fromEdge / z)))};
}

std::optional<ViewPlace> AreaZoom(DataPoint anchor, DataPoint corner, double offsetX,
                                  double offsetY, double width, double height,
                                  double step) noexcept {
    // The band's left edge is the smaller of the two X values, its bottom
    // (or top) edge the smaller Y. Taken the written way: the anchor side
    // as it rounds in the offset box.
    const auto side = [step](double anchorV, double cornerV, double offset, double& bandSize) {
        if (cornerV <= anchorV) {
            bandSize = RoundToStep(anchorV + offset, step) - offset - cornerV;
            return -cornerV;
        }
        bandSize = cornerV - anchorV;
        return RoundToStep(-anchorV, step);
    };
    double bandWidth = 0, bandHeight = 0;
    ViewPlace out{};
    out.offsetX = NoNegativeZero(side(anchor.x, corner.x, offsetX, bandWidth));
    out.offsetY = NoNegativeZero(side(anchor.y, corner.y, offsetY, bandHeight));
    // Whichever side needs the smaller zoom decides, so that the whole band
    // shows; a side of no size leaves it to the other.
    // A side shorter than half a step is no side (the corners share that
    // readout value, up to the last bit of the anchor).
    double fit = std::numeric_limits<double>::infinity();
    if (bandWidth >= step / 2) fit = std::min(fit, width / bandWidth);
    if (bandHeight >= step / 2) fit = std::min(fit, height / bandHeight);
    if (!std::isfinite(fit)) return std::nullopt;
    // Two decimals, rounded down (the band must not outgrow the surface);
    // the tiny allowance keeps an exact 5 from becoming 4.99.
    const double zoom = std::floor(fit * 100.0 + 1e-9) / 100.0;
    if (!(zoom > 0) || !std::isfinite(zoom)) return std::nullopt;
    out.zoom = static_cast<float>(zoom);
    if (!(out.zoom > 0.0f) || !std::isfinite(out.zoom)) return std::nullopt;
    return out;
}

ViewPlace ZoomAboutPoint(const ViewPlace& view, double factor, double x, double y,
                         double height, OriginCorner corner, double step) noexcept {
    const DataPoint under = ReadoutPoint(x, y, view, height, corner);
    ViewPlace out = view;
    out.zoom = static_cast<float>(view.zoom * factor);
    if (!(out.zoom > 0.0f) || !std::isfinite(out.zoom)) return view;
    const double z = out.zoom;
    const double fromEdge = corner == OriginCorner::BottomLeft ? height - y : y;
    out.offsetX = RoundToStep(x / z - under.x, step);
    out.offsetY = RoundToStep(fromEdge / z - under.y, step);
    return out;
}

ViewPlace PanView(const ViewPlace& view, double dx, double dy, OriginCorner corner,
                  double step) noexcept {
    const double z = view.zoom;
    ViewPlace out = view;
    out.offsetX = RoundToStep(view.offsetX + dx / z, step);
    // Y grows upwards with the bottom-left origin, downwards with the top-left.
    const double dyData = corner == OriginCorner::BottomLeft ? -dy / z : dy / z;
    out.offsetY = RoundToStep(view.offsetY + dyData, step);
    return out;
}

std::optional<ViewPlace> FitExtent(const DataExtent& e, double width, double height,
                                   double step) noexcept {
    if (!std::isfinite(e.minX) || !std::isfinite(e.maxX) || !std::isfinite(e.minY) ||
        !std::isfinite(e.maxY) || e.maxX < e.minX || e.maxY < e.minY || !(width > 0) ||
        !(height > 0))
        return std::nullopt;
    const double spanX = (e.maxX - e.minX) * (1 + 2 * kFitMargin);
    const double spanY = (e.maxY - e.minY) * (1 + 2 * kFitMargin);
    double fit = std::numeric_limits<double>::infinity();
    if (spanX > 0) fit = std::min(fit, width / spanX);
    if (spanY > 0) fit = std::min(fit, height / spanY);
    if (!std::isfinite(fit)) fit = 1.0;  // a single point: centre it at zoom 1
    // Three significant digits, rounded down, so the margin stays.
    const double magnitude = std::pow(10.0, std::floor(std::log10(fit)) - 2);
    double zoom = std::floor(fit / magnitude + 1e-9) * magnitude;
    // Read back through single precision: the zoom list shows the float.
    ViewPlace out{};
    out.zoom = static_cast<float>(zoom);
    if (!(out.zoom > 0.0f) || !std::isfinite(out.zoom)) return std::nullopt;
    zoom = out.zoom;
    const double centreX = (e.minX + e.maxX) / 2;
    const double centreY = (e.minY + e.maxY) / 2;
    // The surface point of data X is (X + oX) × z, from the left edge; Y the
    // same from the origin's edge.
    out.offsetX = RoundToStep(width / 2 / zoom - centreX, step);
    out.offsetY = RoundToStep(height / 2 / zoom - centreY, step);
    return out;
}

std::string DistanceText(DataPoint from, DataPoint to, double resolution, SurfaceUnit unit) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const auto text = [resolution](double v) { return FormatDecimal(RoundToStep(v, resolution)); };
    return "ΔX=" + text(dx) + " ΔY=" + text(dy) + " 距離=" + text(std::hypot(dx, dy)) +
           (unit == SurfaceUnit::Inch ? " inch" : " mm");
}

RawPoint FromPicture(double x, double y, double scaleHeight, float drawOrigin,
                     const ViewTransform& transform) noexcept {
    const double c = transform.countsPerUnit;
    const double fromEdge = IsTopLeftOrigin(drawOrigin) ? y : scaleHeight - y;
    return {x * c - transform.offsetX, fromEdge * c - transform.offsetY};
}

std::string ZoomFactorText(float zoom) {
    if (!std::isfinite(zoom)) return "0";
    // Shortest fixed-point text that reads back as the same float.
    char buffer[128];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, zoom, std::chars_format::fixed);
    if (result.ec != std::errc()) return FormatDecimal(zoom);
    return std::string(buffer, result.ptr);
}

std::string OffsetText(double roundedOffset) { return FormatDecimal(NoNegativeZero(roundedOffset)); }

std::string DecimalOffsetText(double offset) { return FormatDecimal(NoNegativeZero(offset)); }

double OffsetBoxValue(std::string_view text) noexcept {
    return ParseLeadingNumber(text).value_or(0.0);
}

}  // namespace mutaplot
