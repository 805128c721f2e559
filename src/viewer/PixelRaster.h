#pragma once
// Draws the viewer's figures straight into a buffer of 32-bit pixels, without
// antialiasing. The display pass draws a million small figures; a general
// painter spends more on each call than the few pixels of a pad cost, so the
// screen picture is drawn here directly.
//
// Coordinates are in pixels: pixel (i, j) covers [i, i + 1) × [j, j + 1) and
// is inked when its centre (i + 0.5, j + 0.5) lies inside the figure. Edges
// belong to the figure at the top and left and not at the bottom and right,
// so a band of width w covers exactly w pixels across and figures that meet
// do not overlap. Every figure inks each of its pixels once, so drawing it
// twice in exclusive-or mode restores the picture.
//
// Filled figures (polygons of several contours and parts) are filled by
// scanline: on each row the crossings of the edges with the row's centre
// line give the spans of each part by its fill rule, the parts' spans are
// united or cut in order, and the resulting disjoint spans are inked, each
// pixel once. A pixel belongs to a figure when its centre lies inside; an
// edge through a centre counts for the pixel right of and below it.

#include "platform/DrawingSurface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mutaplot {

// How a figure's pixels take the ink: replaced by it, or combined with it by
// exclusive-or (the alpha byte is kept).
enum class PixelOp : std::uint8_t { Copy, Xor };

struct PixelInk {
    std::uint32_t argb = 0xFF000000;  // 0xAARRGGBB as in a 32-bit image
    PixelOp op = PixelOp::Copy;
};

class PixelRaster {
public:
    // `pixels` holds `height` rows of `stride` pixels each, of which the
    // first `width` are the picture; the buffer must outlive the raster.
    PixelRaster(std::uint32_t* pixels, int width, int height, std::ptrdiff_t stride) noexcept
        : pixels_(pixels), width_(width), height_(height), stride_(stride) {}

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }

    void Fill(std::uint32_t argb) noexcept;

    // A line with a pen `penWidth` pixels wide. A one-pixel pen inks one pixel
    // per column (per row when the line is steep), both end pixels included;
    // wider pens have round ends. A line of no length leaves a dot.
    void Line(double x0, double y0, double x1, double y1, double penWidth, PixelInk ink) noexcept;

    // The outline of the rectangle between two opposite corners, the pen
    // centred on its edges (square corners).
    void Rectangle(double x0, double y0, double x1, double y1, double penWidth,
                   PixelInk ink) noexcept;

    // The rectangle between two opposite corners together with its outline:
    // all of it in one ink.
    void FilledRectangle(double x0, double y0, double x1, double y1, double penWidth,
                         PixelInk ink) noexcept;

    // A circle outline; the pen is centred on the circle.
    void Circle(double cx, double cy, double radius, double penWidth, PixelInk ink) noexcept;

    // A disc: its outline ring in `outline`, the inside in `inside`.
    void FilledCircle(double cx, double cy, double radius, double penWidth, PixelInk outline,
                      PixelInk inside) noexcept;

    // A circular arc from `startRadians` counter-clockwise, as seen on the
    // picture (y downwards), through `sweepRadians` (0 < sweep ≤ 2π; 2π is
    // the whole circle). The ends are round.
    void Arc(double cx, double cy, double radius, double startRadians, double sweepRadians,
             double penWidth, PixelInk ink) noexcept;

    // The figure with every coordinate multiplied by `scale` (surface units
    // to pixels). Figures with a coordinate that is not finite draw nothing.
    void FillFigure(const FilledFigure& figure, double scale, PixelInk ink);

private:
    struct Edge {
        double top, bottom;  // rows of centre lines in [top, bottom) cross it
        double x0, y0, dxdy;
        std::uint32_t part;
        int winding;  // +1 downwards, −1 upwards
    };
    struct Crossing {
        std::uint32_t part;
        double x;
        int winding;
    };
    struct Interval {
        double from, to;
    };
    void FigureRow(double yc, const FilledFigure& figure);
    // One contour that every row crosses twice at most (a stroke, a pad):
    // filled between its two chains from top to bottom. False, drawing
    // nothing, for any other figure.
    bool FillMonotone(const FilledFigure& figure, double scale, PixelInk ink);

    struct Span {
        int first;
        int last;  // inclusive; empty when last < first
    };
    Span Columns(double left, double right) const noexcept;
    Span Rows(double top, double bottom) const noexcept;
    void Ink(int row, Span columns, PixelInk ink) noexcept;
    void Disc(double cx, double cy, double radius, PixelInk ink) noexcept;
    void Ring(double cx, double cy, double inner, double outer, PixelInk ink) noexcept;
    void ThinLine(double x0, double y0, double x1, double y1, PixelInk ink) noexcept;
    void WideLine(double x0, double y0, double x1, double y1, double radius, PixelInk ink) noexcept;

    // Scratch space of FillFigure, kept between calls.
    std::vector<Edge> edges_;
    std::vector<std::uint32_t> active_;
    std::vector<Crossing> crossings_;
    std::vector<Interval> result_, partSpans_, merged_;
    std::vector<SurfacePoint> scaled_;

    std::uint32_t* pixels_;
    int width_;
    int height_;
    std::ptrdiff_t stride_;
};

}  // namespace mutaplot
