#pragma once
// The drawing surface on a Qt paint device: a QImage for the screen and the
// command line, or any other device (a printer page) whose pixel size and
// resolution are known. Antialiasing is off so that every primitive lands on
// whole pixels as on a classic picture box, and exclusive-or drawing restores
// the pixels when a figure is drawn twice.

#include "platform/DrawingSurface.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <memory>

class QPaintDevice;

namespace mutaplot {

class PaintDeviceSurface : public DrawingSurface {
public:
    // `device` must outlive the surface; dpi is the device's pixels per inch.
    PaintDeviceSurface(QPaintDevice& device, int pixelWidth, int pixelHeight, double dpi);
    ~PaintDeviceSurface() override;
    PaintDeviceSurface(const PaintDeviceSurface&) = delete;
    PaintDeviceSurface& operator=(const PaintDeviceSurface&) = delete;

    void SetUnit(SurfaceUnit unit) override { unit_ = unit; }
    SurfaceUnit Unit() const override { return unit_; }
    double ScaleWidth() const override { return pixelWidth_ / PixelsPerUnit(); }
    double ScaleHeight() const override { return pixelHeight_ / PixelsPerUnit(); }
    double TwipsPerPixelX() const override { return twipsPerPixel_; }

    void SetPenWidth(int pixels) override { penWidth_ = pixels < 1 ? 1 : pixels; }
    int PenWidth() const override { return penWidth_; }
    void SetLineStyle(LineStyle style) override { lineStyle_ = style; }
    void SetFillStyle(FillStyle style) override { fillStyle_ = style; }
    void SetDrawMode(DrawMode mode) override;
    DrawMode Mode() const override { return mode_; }
    void SetDrawColour(SurfaceColour colour) override { drawColour_ = colour; }
    void SetFillColour(SurfaceColour colour) override { fillColour_ = colour; }
    void SetBackColour(SurfaceColour colour) override { backColour_ = colour; }

    void Clear() override;
    void Line(double x1, double y1, double x2, double y2) override;
    void Rectangle(double x1, double y1, double x2, double y2) override;
    void FilledRectangle(double x1, double y1, double x2, double y2) override;
    void Circle(double cx, double cy, double radius) override;
    void FilledCircle(double cx, double cy, double radius) override;
    void Arc(double cx, double cy, double radius, double startRadians, double endRadians) override;

    // Ends painting so that the device holds every primitive drawn so far;
    // the next primitive starts painting again.
    void Flush();

protected:
    QPainter& Painter();

private:
    double PixelsPerUnit() const noexcept;
    QColor Ink(SurfaceColour colour) const;
    // Sets the painter's pen and brush only when they differ from what it
    // holds: building and setting them for every primitive costs more than
    // drawing a small figure.
    void UsePen(bool squareCap);
    void UseBrush(bool filled, SurfaceColour colour = 0);
    // True when a figure within these pixel bounds cannot touch the device,
    // whatever its pen: drawing it would change no pixel in any mode.
    bool OutsideDevice(double minX, double minY, double maxX, double maxY) const noexcept;
    QPointF Px(double x, double y) const;
    QRectF PxRect(double x1, double y1, double x2, double y2) const;

    QPaintDevice& device_;
    std::unique_ptr<QPainter> painter_;
    int pixelWidth_;
    int pixelHeight_;
    double twipsPerPixel_;
    SurfaceUnit unit_ = SurfaceUnit::Millimetre;
    int penWidth_ = 1;
    LineStyle lineStyle_ = LineStyle::Solid;
    FillStyle fillStyle_ = FillStyle::Solid;
    DrawMode mode_ = DrawMode::Copy;
    SurfaceColour drawColour_ = kBlack;
    SurfaceColour fillColour_ = kBlack;
    SurfaceColour backColour_ = kWhite;
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

// A surface on its own image (RGB32), white until drawn on.
class QImageSurface final : public PaintDeviceSurface {
public:
    QImageSurface(int pixelWidth, int pixelHeight, double dpi);
    ~QImageSurface() override;
    // The picture as drawn so far.
    const QImage& Image();

private:
    // Constructed before the base class so that it exists when painting starts.
    struct Holder {
        QImage image;
    };
    QImageSurface(std::unique_ptr<Holder> holder, int pixelWidth, int pixelHeight, double dpi);
    std::unique_ptr<Holder> holder_;
};

}  // namespace mutaplot
