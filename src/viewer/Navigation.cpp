#include "viewer/Navigation.h"

#include "settings/NumberText.h"

#include <charconv>
#include <cmath>

namespace mutaplot {

namespace {

// −0 is written "0".
double NoNegativeZero(double v) noexcept { return v + 0.0; }

}  // namespace

OriginCorner OriginCornerOf(float drawOrigin) noexcept {
    return IsTopLeftOrigin(drawOrigin) ? OriginCorner::TopLeft : OriginCorner::BottomLeft;
}

double StepDivisor(float zoom) noexcept { return 2.0 * RoundHalfEven(static_cast<double>(zoom) + 1.0); }

ViewPlace ZoomInAboutCentre(const ViewPlace& view, double width, double height) noexcept {
    const float z = view.zoom * 2.0f;
    return {z, NoNegativeZero(RoundHalfEven(view.offsetX - width / 2 / z)),
            NoNegativeZero(RoundHalfEven(view.offsetY - height / 2 / z))};
}

ViewPlace ZoomOutAboutCentre(const ViewPlace& view, double width, double height) noexcept {
    const float z = view.zoom / 2.0f;
    return {z, NoNegativeZero(RoundHalfEven(view.offsetX + width / 4 / z)),
            NoNegativeZero(RoundHalfEven(view.offsetY + height / 4 / z))};
}

ViewPlace MoveView(const ViewPlace& view, MoveDirection direction, double width,
                   double height) noexcept {
    const double k = StepDivisor(view.zoom);
    ViewPlace out = view;
    switch (direction) {
    case MoveDirection::Right: out.offsetX = RoundHalfEven(view.offsetX + width / k); break;
    case MoveDirection::Left: out.offsetX = RoundHalfEven(view.offsetX - width / k); break;
    case MoveDirection::Up: out.offsetY = RoundHalfEven(view.offsetY + height / k); break;
    case MoveDirection::Down: out.offsetY = RoundHalfEven(view.offsetY - height / k); break;
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
                         OriginCorner corner) noexcept {
    const DataPoint p = ReadoutPoint(x, y, view, height, corner);
    return {NoNegativeZero(RoundHalfEven(p.x)), NoNegativeZero(RoundHalfEven(p.y))};
}

PickPoint PickAt(double x, double y, float zoom, double height, OriginCorner corner) noexcept {
    const double z = zoom;
    const double fromEdge = corner == OriginCorner::BottomLeft ? height - y : y;
    return {static_cast<float>(NoNegativeZero(RoundHalfEven(x / z))),
            static_cast<float>(NoNegativeZero(RoundHalfEven(fromEdge / z)))};
}

std::optional<ViewPlace> AreaZoom(DataPoint anchor, DataPoint corner, double offsetX,
                                  double width) noexcept {
    // Both corners at the same readout X: no band.
    if (RoundHalfEven(anchor.x) == corner.x) return std::nullopt;
    double bandWidth = 0;
    ViewPlace out{};
    // The left edge of the new view is the smaller of the two X values, the
    // bottom (or top) edge the smaller Y.
    if (corner.x <= anchor.x) {
        bandWidth = RoundHalfEven(anchor.x + offsetX) - offsetX - corner.x;
        out.offsetX = -corner.x;
    } else {
        bandWidth = corner.x - anchor.x;
        out.offsetX = RoundHalfEven(-anchor.x);
    }
    if (!(bandWidth > 0)) return std::nullopt;
    const double zoom = RoundToHundredths(width / bandWidth);
    if (!(zoom > 0) || !std::isfinite(zoom)) return std::nullopt;
    out.zoom = static_cast<float>(zoom);
    if (!(out.zoom > 0.0f) || !std::isfinite(out.zoom)) return std::nullopt;
    out.offsetY = corner.y <= anchor.y ? -corner.y : RoundHalfEven(-anchor.y);
    out.offsetX = NoNegativeZero(out.offsetX);
    out.offsetY = NoNegativeZero(out.offsetY);
    return out;
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
