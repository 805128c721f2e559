#pragma once
// A drawing surface: the viewer's picture area or a printer page. Coordinates
// are in the surface's unit (millimetres or inches), origin at the top-left
// corner, x to the right and y downwards. The same interface serves the
// screen (a QImage), the printer page and the recorder of the tests.

#include <cstdint>

namespace mutaplot {

enum class SurfaceUnit : std::uint8_t { Millimetre, Inch };

// Copy draws in the drawing colour; Xor combines the drawing colour with what
// is there (drawing the same figure twice restores the pixels); Blackness and
// Whiteness make every pixel drawn black or white whatever the colours.
enum class DrawMode : std::uint8_t { Copy, Xor, Blackness, Whiteness };

// InsideSolid keeps a wide outline inside the figure's boundary.
enum class LineStyle : std::uint8_t { Solid, InsideSolid };

// Whether Circle and FilledCircle interiors are painted (printer fill state;
// the drawing calls below say explicitly what they fill).
enum class FillStyle : std::uint8_t { Solid, Transparent };

// Colours are 0x00BBGGRR (red in the low byte).
using SurfaceColour = std::uint32_t;
inline constexpr SurfaceColour kBlack = 0x000000;
inline constexpr SurfaceColour kWhite = 0xFFFFFF;

// 56.7 twips make a millimetre, 1440 an inch.
inline constexpr double kTwipsPerMm = 56.7;
inline constexpr double kTwipsPerInch = 1440.0;

class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Unit of the coordinate system; scale width and height follow it.
    virtual void SetUnit(SurfaceUnit unit) = 0;
    virtual SurfaceUnit Unit() const = 0;
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    // Device twips per pixel in X (15 for a 96 dpi screen).
    virtual double TwipsPerPixelX() const = 0;

    // Pen width in device pixels (at least 1). Wider lines have round ends.
    virtual void SetPenWidth(int pixels) = 0;
    virtual int PenWidth() const = 0;
    virtual void SetLineStyle(LineStyle style) = 0;
    virtual void SetFillStyle(FillStyle style) = 0;
    virtual void SetDrawMode(DrawMode mode) = 0;
    virtual DrawMode Mode() const = 0;
    virtual void SetDrawColour(SurfaceColour colour) = 0;
    virtual void SetFillColour(SurfaceColour colour) = 0;
    virtual void SetBackColour(SurfaceColour colour) = 0;

    // Paints the whole surface in the background colour.
    virtual void Clear() = 0;
    // Line with the current pen.
    virtual void Line(double x1, double y1, double x2, double y2) = 0;
    // Rectangle outline (current pen) between two opposite corners.
    virtual void Rectangle(double x1, double y1, double x2, double y2) = 0;
    // Rectangle filled in the drawing colour between two opposite corners.
    virtual void FilledRectangle(double x1, double y1, double x2, double y2) = 0;
    // Circle outline with the current pen.
    virtual void Circle(double cx, double cy, double radius) = 0;
    // Circle filled in the fill colour, outlined in the drawing colour.
    virtual void FilledCircle(double cx, double cy, double radius) = 0;
    // Circular arc from startRadians counter-clockwise (as seen on the
    // surface) to endRadians. Equal angles draw the full circle.
    virtual void Arc(double cx, double cy, double radius, double startRadians,
                     double endRadians) = 0;
};

// Device pixels per millimetre of a surface: 56.7 twips per millimetre
// divided by the device's twips per pixel.
inline double PixelsPerMm(const DrawingSurface& surface) {
    return kTwipsPerMm / surface.TwipsPerPixelX();
}

}  // namespace mutaplot
