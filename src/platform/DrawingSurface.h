#pragma once
// A drawing surface: the viewer's picture area or a printer page. Coordinates
// are in the surface's unit (millimetres or inches), origin at the top-left
// corner, x to the right and y downwards. The same interface serves the
// screen (a QImage), the printer page and the recorder of the tests.

#include <cstdint>
#include <vector>

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

// Dark figures take the drawing colour; clear figures erase: the background
// colour on screen, the paper's white on a page (black, the field colour,
// when a negative print inks in white).
enum class InkPolarity : std::uint8_t { Dark, Clear };

// Which points a set of closed contours encloses: an odd number of
// crossings, or a winding number other than zero.
enum class FillRule : std::uint8_t { EvenOdd, NonZero };

struct SurfacePoint {
    double x;
    double y;
};

// A filled figure in surface coordinates: closed contours (the last point
// joins the first) grouped into parts. Each part is filled by its rule; the
// parts are combined in order, a part that cuts removing its area from what
// the parts before it cover. The whole figure is inked once.
struct FilledFigure {
    struct Part {
        std::uint32_t contourEnd;  // one past the part's last contour
        FillRule rule;
        bool cuts;
    };
    std::vector<SurfacePoint> points;
    std::vector<std::uint32_t> contourEnds;  // one past each contour's last point
    std::vector<Part> parts;

    // Empties the figure, keeping its storage.
    void Clear() noexcept {
        points.clear();
        contourEnds.clear();
        parts.clear();
    }
    // Closes the contour made of the points added since the last one.
    void EndContour() { contourEnds.push_back(static_cast<std::uint32_t>(points.size())); }
    // Closes the part made of the contours ended since the last one.
    void EndPart(FillRule rule, bool cuts) {
        parts.push_back({static_cast<std::uint32_t>(contourEnds.size()), rule, cuts});
    }
    bool empty() const noexcept { return parts.empty(); }
};

// Where the points of a figure go on a surface: x' = (x + offsetX) / divisor
// and y' = baseY + signY × ((y + offsetY) / divisor), signY −1 turning y over.
struct PointPlacement {
    double offsetX = 0, offsetY = 0;
    double divisor = 1;
    double baseY = 0, signY = 1;

    SurfacePoint Placed(SurfacePoint p) const noexcept {
        return {(p.x + offsetX) / divisor, baseY + signY * ((p.y + offsetY) / divisor)};
    }
};

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
    // Polarity of every figure drawn from now on (dark at the start).
    virtual void SetPolarity(InkPolarity polarity) = 0;
    virtual InkPolarity Polarity() const = 0;

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
    // A filled figure (no outline) in the drawing colour or as its polarity
    // says.
    virtual void FilledPolygon(const FilledFigure& figure) = 0;
    // The same for a figure whose points are first placed by `placement`,
    // for a surface that places them on its way (saving a copy of them).
    // False, drawing nothing, where it does not: the caller places them.
    virtual bool FilledPolygonPlaced(const FilledFigure& /*figure*/, const PointPlacement& /*placement*/) {
        return false;
    }
};

// Device pixels per millimetre of a surface: 56.7 twips per millimetre
// divided by the device's twips per pixel.
inline double PixelsPerMm(const DrawingSurface& surface) {
    return kTwipsPerMm / surface.TwipsPerPixelX();
}

}  // namespace mutaplot
