#include "viewer/TracingSurface.h"

#include "settings/NumberText.h"

#include <utility>

namespace mutaplot {

namespace {

constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

const char* ModeName(DrawMode mode) noexcept {
    switch (mode) {
    case DrawMode::Copy: return "copy";
    case DrawMode::Xor: return "xor";
    case DrawMode::Blackness: return "blackness";
    case DrawMode::Whiteness: return "whiteness";
    }
    return "copy";
}

}  // namespace

TracingSurface::TracingSurface(DrawingSurface& inner, std::function<void(std::string_view)> write)
    : inner_(inner), write_(std::move(write)) {}

void TracingSurface::Flush() {
    if (buffer_.empty()) return;
    write_(buffer_);
    buffer_.clear();
}

void TracingSurface::Header() {
    if (headerWritten_) return;
    headerWritten_ = true;
    buffer_ += "surface ";
    buffer_ += FormatDecimal(inner_.ScaleWidth());
    buffer_ += ' ';
    buffer_ += FormatDecimal(inner_.ScaleHeight());
    buffer_ += ' ';
    buffer_ += FormatDecimal(inner_.TwipsPerPixelX());
    buffer_ += '\n';
}

void TracingSurface::Emit(std::string_view name, std::initializer_list<double> numbers,
                          bool withPen) {
    Header();
    buffer_ += name;
    for (double v : numbers) {
        buffer_ += ' ';
        buffer_ += FormatDecimal(v);
    }
    if (withPen) {
        buffer_ += ' ';
        buffer_ += std::to_string(inner_.PenWidth());
    }
    buffer_ += '\n';
    if (buffer_.size() >= kFlushBytes) Flush();
}

void TracingSurface::SetDrawMode(DrawMode mode) {
    const bool changes = mode != inner_.Mode();
    inner_.SetDrawMode(mode);
    if (changes) {
        Header();
        buffer_ += "mode ";
        buffer_ += ModeName(mode);
        buffer_ += '\n';
    }
}

void TracingSurface::SetPolarity(InkPolarity polarity) {
    const bool changes = polarity != inner_.Polarity();
    inner_.SetPolarity(polarity);
    if (changes) {
        Header();
        buffer_ += polarity == InkPolarity::Clear ? "polarity clear\n" : "polarity dark\n";
    }
}

void TracingSurface::FilledPolygon(const FilledFigure& figure) {
    Header();
    buffer_ += "polygon";
    std::size_t contour = 0, point = 0;
    for (const FilledFigure::Part& part : figure.parts) {
        buffer_ += part.rule == FillRule::NonZero ? " nonzero" : " evenodd";
        buffer_ += part.cuts ? '-' : '+';
        const std::size_t contourEnd = std::max(contour, std::min<std::size_t>(part.contourEnd, figure.contourEnds.size()));
        buffer_ += ' ';
        buffer_ += std::to_string(contourEnd - contour);
        for (; contour < contourEnd; ++contour) {
            const std::size_t end = std::max(point, std::min<std::size_t>(figure.contourEnds[contour], figure.points.size()));
            buffer_ += ' ';
            buffer_ += std::to_string(end - point);
            for (; point < end; ++point) {
                buffer_ += ' ';
                buffer_ += FormatDecimal(figure.points[point].x);
                buffer_ += ' ';
                buffer_ += FormatDecimal(figure.points[point].y);
            }
        }
    }
    buffer_ += '\n';
    if (buffer_.size() >= kFlushBytes) Flush();
    inner_.FilledPolygon(figure);
}

void TracingSurface::Clear() {
    Emit("clear", {}, false);
    inner_.Clear();
}

void TracingSurface::Line(double x1, double y1, double x2, double y2) {
    Emit("line", {x1, y1, x2, y2}, true);
    inner_.Line(x1, y1, x2, y2);
}

void TracingSurface::Rectangle(double x1, double y1, double x2, double y2) {
    Emit("rect", {x1, y1, x2, y2}, true);
    inner_.Rectangle(x1, y1, x2, y2);
}

void TracingSurface::FilledRectangle(double x1, double y1, double x2, double y2) {
    Emit("fillrect", {x1, y1, x2, y2}, true);
    inner_.FilledRectangle(x1, y1, x2, y2);
}

void TracingSurface::Circle(double cx, double cy, double radius) {
    Emit("circle", {cx, cy, radius}, true);
    inner_.Circle(cx, cy, radius);
}

void TracingSurface::FilledCircle(double cx, double cy, double radius) {
    Emit("fillcircle", {cx, cy, radius}, true);
    inner_.FilledCircle(cx, cy, radius);
}

void TracingSurface::Arc(double cx, double cy, double radius, double startRadians,
                         double endRadians) {
    Emit("arc", {cx, cy, radius, startRadians, endRadians}, true);
    inner_.Arc(cx, cy, radius, startRadians, endRadians);
}

}  // namespace mutaplot
