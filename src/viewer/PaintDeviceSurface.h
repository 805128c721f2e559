#pragma once
// The drawing surface on a Qt paint device whose pixel size and resolution
// are known, such as a printer page, drawn with QPainter. Antialiasing is
// off so that every primitive lands on whole pixels, and exclusive-or
// drawing restores the pixels when a figure is drawn twice. Blackness and
// Whiteness ink every figure black or white whatever its colours, and the
// inside-solid line style keeps the outline of a figure within its edge.
//
// Painting starts with the first primitive (on a printer: the document
// begins) and ends with Flush (the document ends and is sent).

#include "viewer/SurfaceBase.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <memory>

class QPaintDevice;

namespace mutaplot {

// A colour number 0x00BBGGRR as a Qt colour.
QColor QColorOf(SurfaceColour colour);

class PaintDeviceSurface : public SurfaceBase {
public:
    // `device` must outlive the surface; dpi is the device's pixels per inch.
    PaintDeviceSurface(QPaintDevice& device, int pixelWidth, int pixelHeight, double dpi);
    ~PaintDeviceSurface() override;
    PaintDeviceSurface(const PaintDeviceSurface&) = delete;
    PaintDeviceSurface& operator=(const PaintDeviceSurface&) = delete;


    void SetDrawMode(DrawMode mode) override;

    void Clear() override;
    void Line(double x1, double y1, double x2, double y2) override;
    void Rectangle(double x1, double y1, double x2, double y2) override;
    void FilledRectangle(double x1, double y1, double x2, double y2) override;
    void Circle(double cx, double cy, double radius) override;
    void FilledCircle(double cx, double cy, double radius) override;
    void Arc(double cx, double cy, double radius, double startRadians, double endRadians) override;
    void FilledPolygon(const FilledFigure& figure) override;

    // Ends painting so that the device holds every primitive drawn so far;
    // the next primitive starts painting again.
    void Flush();

    // True once the device refused to start painting (a printer or PDF file
    // that cannot be opened); nothing is drawn after that.
    bool PaintFailed() const noexcept { return paintFailed_; }
    // True when painting has started at least once (a page was begun).
    bool PaintStarted() const noexcept { return paintStarted_; }

protected:
    // The active painter, started on first use; null when the device
    // refused to paint.
    QPainter* Painter();

private:
    QColor Ink(SurfaceColour colour) const;
    // Sets the painter's pen and brush only when they differ from what it
    // holds: building and setting them for every primitive costs more than
    // drawing a small figure.
    void UsePen(bool squareCap);
    void UseBrush(bool filled, SurfaceColour colour = 0);
    // True when a figure within these pixel bounds cannot touch the device,
    // whatever its pen: drawing it would change no pixel in any mode.
    bool OutsideDevice(double minX, double minY, double maxX, double maxY) const noexcept;
    // A circle of the current pen, its inside in the fill colour when filled.
    void Ellipse(double cx, double cy, double radius, bool filled);
    // Pen widths in device pixels by which an inside-solid outline is moved
    // inwards: half the pen, none for the solid style.
    double InsideInset() const noexcept;
    QPointF Px(double x, double y) const;
    QRectF PxRect(double x1, double y1, double x2, double y2) const;

    QPaintDevice& device_;
    std::unique_ptr<QPainter> painter_;
    bool paintFailed_ = false;
    bool paintStarted_ = false;
    // What the painter holds; reset when painting starts again.
    bool penSet_ = false;
    QRgb penInk_ = 0;
    int penSetWidth_ = 0;
    bool penSquare_ = false;
    bool brushSet_ = false;
    bool brushFilled_ = false;
    QRgb brushInk_ = 0;
    struct ArcShape {
        double radius = -1;
        double start = 0;
        double sweep = 0;
        QPainterPath path;
    };
    std::array<ArcShape, 8> arcShapes_;
    std::size_t nextArcShape_ = 0;
};

}  // namespace mutaplot
