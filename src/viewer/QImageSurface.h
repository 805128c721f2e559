#pragma once
// The screen's drawing surface: a 32-bit QImage, white until drawn on, that
// the display pass draws into pixel by pixel (see PixelRaster) rather than
// through QPainter, which costs more per call than a small pad's pixels.
// Antialiasing is never used, and exclusive-or drawing restores the pixels
// when a figure is drawn twice.

#include "viewer/PixelRaster.h"
#include "viewer/SurfaceBase.h"

#include <QImage>

namespace mutaplot {

class QImageSurface final : public SurfaceBase {
public:
    QImageSurface(int pixelWidth, int pixelHeight, double dpi);

    void Clear() override;
    void Line(double x1, double y1, double x2, double y2) override;
    void Rectangle(double x1, double y1, double x2, double y2) override;
    void FilledRectangle(double x1, double y1, double x2, double y2) override;
    void Circle(double cx, double cy, double radius) override;
    void FilledCircle(double cx, double cy, double radius) override;
    void Arc(double cx, double cy, double radius, double startRadians, double endRadians) override;
    void FilledPolygon(const FilledFigure& figure) override;
    bool FilledPolygonPlaced(const FilledFigure& figure, const PointPlacement& placement) override;

    // The picture as drawn so far.
    const QImage& Image() const noexcept { return image_; }

private:
    PixelInk InkFor(SurfaceColour colour) const noexcept;

    QImage image_;
    PixelRaster raster_;
};

}  // namespace mutaplot
