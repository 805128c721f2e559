#include "viewer/PaintDeviceSurface.h"

#include <QPaintDevice>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mutaplot {

QColor QColorOf(SurfaceColour c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

PaintDeviceSurface::PaintDeviceSurface(QPaintDevice& device, int pixelWidth, int pixelHeight,
                                       double dpi)
    : SurfaceBase(pixelWidth, pixelHeight, dpi), device_(device) {}

PaintDeviceSurface::~PaintDeviceSurface() { Flush(); }

QPainter* PaintDeviceSurface::Painter() {
    if (paintFailed_) return nullptr;
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(&device_)) {
            painter_.reset();
            paintFailed_ = true;
            return nullptr;
        }
        paintStarted_ = true;
        painter_->setRenderHint(QPainter::Antialiasing, false);
        penSet_ = false;
        brushSet_ = false;
        SetDrawMode(mode_);
    }
    return painter_.get();
}

double PaintDeviceSurface::InsideInset() const noexcept {
    return lineStyle_ == LineStyle::InsideSolid ? penWidth_ / 2.0 : 0.0;
}

void PaintDeviceSurface::Flush() {
    if (painter_) painter_->end();
    painter_.reset();
}

void PaintDeviceSurface::SetDrawMode(DrawMode mode) {
    mode_ = mode;
    if (!painter_) return;
    painter_->setCompositionMode(mode == DrawMode::Xor ? QPainter::RasterOp_SourceXorDestination
                                                       : QPainter::CompositionMode_SourceOver);
}

QColor PaintDeviceSurface::Ink(SurfaceColour colour) const { return QColorOf(InkOf(colour)); }

void PaintDeviceSurface::UsePen(bool squareCap) {
    const QRgb ink = Ink(drawColour_).rgb();
    if (penSet_ && ink == penInk_ && penWidth_ == penSetWidth_ && squareCap == penSquare_) return;
    painter_->setPen(squareCap ? QPen(QColor::fromRgb(ink), penWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
                               : QPen(QColor::fromRgb(ink), penWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    penSet_ = true;
    penInk_ = ink;
    penSetWidth_ = penWidth_;
    penSquare_ = squareCap;
}

void PaintDeviceSurface::UseBrush(bool filled, SurfaceColour colour) {
    const QRgb ink = filled ? Ink(colour).rgb() : 0;
    if (brushSet_ && filled == brushFilled_ && ink == brushInk_) return;
    if (filled) painter_->setBrush(QColor::fromRgb(ink));
    else painter_->setBrush(Qt::NoBrush);
    brushSet_ = true;
    brushFilled_ = filled;
    brushInk_ = ink;
}

QPointF PaintDeviceSurface::Px(double x, double y) const {
    const double k = PixelsPerUnit();
    return QPointF(x * k, y * k);
}

QRectF PaintDeviceSurface::PxRect(double x1, double y1, double x2, double y2) const {
    return QRectF(Px(x1, y1), Px(x2, y2)).normalized();
}

bool PaintDeviceSurface::OutsideDevice(double minX, double minY, double maxX,
                                       double maxY) const noexcept {
    const double margin = penWidth_ + 2.0;
    return maxX + margin < 0 || maxY + margin < 0 || minX - margin > pixelWidth_ ||
           minY - margin > pixelHeight_;
}

void PaintDeviceSurface::Clear() {
    QPainter* p = Painter();
    if (!p) return;
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(QRect(0, 0, pixelWidth_, pixelHeight_), QColorOf(backColour_));
    SetDrawMode(mode_);
}

void PaintDeviceSurface::Line(double x1, double y1, double x2, double y2) {
    const QPointF a = Px(x1, y1), b = Px(x2, y2);
    if (OutsideDevice(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
                      std::max(a.y(), b.y())))
        return;
    QPainter* p = Painter();
    if (!p) return;
    UsePen(false);
    if (a == b) p->drawPoint(a);  // a line of no length still leaves its dot
    else p->drawLine(a, b);
}

void PaintDeviceSurface::Rectangle(double x1, double y1, double x2, double y2) {
    const QRectF r = PxRect(x1, y1, x2, y2);
    if (OutsideDevice(r.left(), r.top(), r.right(), r.bottom())) return;
    QPainter* p = Painter();
    if (!p) return;
    UsePen(false);
    UseBrush(false);
    const double inset = InsideInset();
    p->drawRect(r.adjusted(inset, inset, -inset, -inset));
}

void PaintDeviceSurface::FilledRectangle(double x1, double y1, double x2, double y2) {
    const QRectF r = PxRect(x1, y1, x2, y2);
    if (OutsideDevice(r.left(), r.top(), r.right(), r.bottom())) return;
    QPainter* p = Painter();
    if (!p) return;
    if (lineStyle_ == LineStyle::InsideSolid) {
        // Outline and inside share the drawing colour, and the outline lies
        // within the edge: exactly the rectangle's area is inked.
        p->fillRect(r, Ink(drawColour_));
        return;
    }
    UsePen(true);
    UseBrush(true, drawColour_);
    p->drawRect(r);
}

void PaintDeviceSurface::Ellipse(double cx, double cy, double radius, bool filled) {
    const double r = radius * PixelsPerUnit();
    const QPointF c = Px(cx, cy);
    if (OutsideDevice(c.x() - std::abs(r), c.y() - std::abs(r), c.x() + std::abs(r), c.y() + std::abs(r)))
        return;
    QPainter* p = Painter();
    if (!p) return;
    const double inset = InsideInset();
    if (inset > 0 && std::abs(r) > 0) {
        // The outline's outer edge lies on the circle. A filled circle whose
        // outline has the inside's ink is the disc alone.
        if (filled) {
            p->setPen(Qt::NoPen);
            penSet_ = false;
            UseBrush(true, fillColour_);
            p->drawEllipse(c, r, r);
            if (Ink(fillColour_) == Ink(drawColour_)) return;
        }
        const double inner = std::max(std::abs(r) - inset, 0.0);
        UsePen(false);
        UseBrush(false);
        p->drawEllipse(c, inner, inner);
        return;
    }
    UsePen(false);
    UseBrush(filled, fillColour_);
    p->drawEllipse(c, r, r);
}

void PaintDeviceSurface::Circle(double cx, double cy, double radius) { Ellipse(cx, cy, radius, false); }

void PaintDeviceSurface::FilledCircle(double cx, double cy, double radius) {
    Ellipse(cx, cy, radius, true);
}

void PaintDeviceSurface::Arc(double cx, double cy, double radius, double startRadians,
                             double endRadians) {
    const double r = radius * PixelsPerUnit();
    const QPointF c = Px(cx, cy);
    if (OutsideDevice(c.x() - std::abs(r), c.y() - std::abs(r), c.x() + std::abs(r), c.y() + std::abs(r)))
        return;
    QPainter* p = Painter();
    if (!p) return;
    const double start = startRadians * 180 / std::numbers::pi;
    double sweep = std::fmod((endRadians - startRadians) * 180 / std::numbers::pi, 360.0);
    if (sweep <= 0) sweep += 360;  // counter-clockwise; equal angles give the full circle
    UsePen(false);
    UseBrush(false);
    // The ring segments of a thermal repeat at every pad: their curve is
    // built once around the origin and moved to each centre.
    ArcShape* shape = nullptr;
    for (ArcShape& a : arcShapes_)
        if (a.radius == r && a.start == start && a.sweep == sweep) shape = &a;
    if (!shape) {
        shape = &arcShapes_[nextArcShape_];
        nextArcShape_ = (nextArcShape_ + 1) % arcShapes_.size();
        const QRectF atOrigin(-r, -r, 2 * r, 2 * r);
        QPainterPath path;
        path.arcMoveTo(atOrigin, start);
        path.arcTo(atOrigin, start, sweep);
        *shape = {r, start, sweep, path};
    }
    p->drawPath(shape->path.translated(c));
}

void PaintDeviceSurface::FilledPolygon(const FilledFigure& figure) {
    const double k = PixelsPerUnit();
    // Each part as a path of its contours and fill rule; the parts united
    // or cut in order.
    QPainterPath whole;
    double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
    std::size_t contour = 0, point = 0;
    for (std::size_t p = 0; p < figure.parts.size(); ++p) {
        const FilledFigure::Part& part = figure.parts[p];
        QPainterPath path;
        path.setFillRule(part.rule == FillRule::NonZero ? Qt::WindingFill : Qt::OddEvenFill);
        const std::size_t contourEnd = std::min<std::size_t>(part.contourEnd, figure.contourEnds.size());
        for (; contour < contourEnd; ++contour) {
            const std::size_t end = std::min<std::size_t>(figure.contourEnds[contour], figure.points.size());
            for (std::size_t i = point; i < end; ++i) {
                const double x = figure.points[i].x * k, y = figure.points[i].y * k;
                if (!std::isfinite(x) || !std::isfinite(y)) return;
                minX = std::min(minX, x);
                minY = std::min(minY, y);
                maxX = std::max(maxX, x);
                maxY = std::max(maxY, y);
                if (i == point) path.moveTo(x, y);
                else path.lineTo(x, y);
            }
            if (end > point) path.closeSubpath();
            point = std::max(point, end);
        }
        if (part.cuts) {
            if (!whole.isEmpty()) whole = whole.subtracted(path);
        } else {
            whole = whole.isEmpty() ? path : whole.united(path);
        }
    }
    if (whole.isEmpty() || OutsideDevice(minX, minY, maxX, maxY)) return;
    QPainter* p = Painter();
    if (!p) return;
    p->fillPath(whole, Ink(drawColour_));
}

}  // namespace mutaplot
