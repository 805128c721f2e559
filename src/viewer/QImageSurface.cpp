#include "viewer/QImageSurface.h"

#include <cmath>
#include <numbers>

namespace mutaplot {

namespace {

// 0x00BBGGRR → an opaque 0xFFRRGGBB pixel.
std::uint32_t PixelOf(SurfaceColour c) noexcept {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

QImage WhiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

}  // namespace

QImageSurface::QImageSurface(int pixelWidth, int pixelHeight, double dpi)
    : SurfaceBase(pixelWidth, pixelHeight, dpi), image_(WhiteImage(pixelWidth, pixelHeight)),
      raster_(reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(), image_.height(),
              image_.bytesPerLine() / 4) {}

PixelInk QImageSurface::InkFor(SurfaceColour colour) const noexcept {
    return {PixelOf(InkOf(colour)), mode_ == DrawMode::Xor ? PixelOp::Xor : PixelOp::Copy};
}

void QImageSurface::Clear() { raster_.Fill(PixelOf(backColour_)); }

void QImageSurface::Line(double x1, double y1, double x2, double y2) {
    const double k = PixelsPerUnit();
    raster_.Line(x1 * k, y1 * k, x2 * k, y2 * k, penWidth_, InkFor(drawColour_));
}

void QImageSurface::Rectangle(double x1, double y1, double x2, double y2) {
    const double k = PixelsPerUnit();
    raster_.Rectangle(x1 * k, y1 * k, x2 * k, y2 * k, penWidth_, InkFor(drawColour_));
}

void QImageSurface::FilledRectangle(double x1, double y1, double x2, double y2) {
    const double k = PixelsPerUnit();
    raster_.FilledRectangle(x1 * k, y1 * k, x2 * k, y2 * k, penWidth_, InkFor(drawColour_));
}

void QImageSurface::Circle(double cx, double cy, double radius) {
    const double k = PixelsPerUnit();
    raster_.Circle(cx * k, cy * k, radius * k, penWidth_, InkFor(drawColour_));
}

void QImageSurface::FilledCircle(double cx, double cy, double radius) {
    const double k = PixelsPerUnit();
    raster_.FilledCircle(cx * k, cy * k, radius * k, penWidth_, InkFor(drawColour_),
                         InkFor(fillColour_));
}

void QImageSurface::Arc(double cx, double cy, double radius, double startRadians,
                        double endRadians) {
    constexpr double kTurn = 2 * std::numbers::pi;
    double sweep = std::fmod(endRadians - startRadians, kTurn);
    if (sweep <= 0) sweep += kTurn;  // counter-clockwise; equal angles give the full circle
    const double k = PixelsPerUnit();
    raster_.Arc(cx * k, cy * k, radius * k, startRadians, sweep, penWidth_, InkFor(drawColour_));
}

void QImageSurface::FilledPolygon(const FilledFigure& figure) {
    raster_.FillFigure(figure, PixelsPerUnit(), InkFor(drawColour_));
}

bool QImageSurface::FilledPolygonPlaced(const FilledFigure& figure, const PointPlacement& placement) {
    raster_.FillFigure(figure, placement, PixelsPerUnit(), InkFor(drawColour_));
    return true;
}

}  // namespace mutaplot
