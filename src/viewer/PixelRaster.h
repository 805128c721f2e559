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
//
// Two shortcuts give the same pixels with less work: a single contour that
// each row crosses twice (a stroke, a pad) is filled between its two chains,
// and in copy mode a part made of convex contours that all turn the same way
// (a track swept along an arc's pieces) is filled contour by contour. Both
// compute each crossing from the edge's first point and slope exactly as the
// general fill does.

#include "platform/DrawingSurface.h"

#include <cmath>
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
    // The same with each point first placed by `placement`, exactly as if
    // the figure had been placed before (no copy of its points is made).
    void FillFigure(const FilledFigure& figure, const PointPlacement& placement, double scale, PixelInk ink);

private:
    // A figure's points to pixels: placed, then multiplied by the scale.
    struct PixelMap {
        PointPlacement placement;
        double scale;
    };
    struct Edge {
        double top, bottom;  // rows of centre lines in [top, bottom) cross it
        double x0, y0, dxdy;
        double x;            // where the current row's centre line crosses it
        std::uint32_t part;
        int winding;  // +1 downwards, −1 upwards
    };
    struct Interval {
        double from, to;
    };
    // The spans of the current row from the active edges, which are in
    // order of part and crossing.
    void FigureRow(const FilledFigure& figure);
    void FillFigure(const FilledFigure& figure, const PixelMap& map, PixelInk ink);
    // One contour that every row crosses twice at most (a stroke, a pad):
    // filled between its two chains from top to bottom. False, drawing
    // nothing, for any other figure.
    bool FillMonotone(const FilledFigure& figure, const PixelMap& map, PixelInk ink);
    // One non-zero part of several contours that every row crosses twice at
    // most, all winding the same way round (a track swept along an arc's
    // pieces, an arc's band with its round ends): in copy mode their union
    // is drawn contour by contour. False, drawing nothing, otherwise.
    bool FillMonotoneUnion(const FilledFigure& figure, const PixelMap& map, PixelInk ink);
    // A pad with a hole: a part of up to four such contours winding the same
    // way (one alone by either rule), then a part of one such contour that
    // cuts it. Each row's pieces are united, the hole taken out and every
    // pixel inked once, in either mode. False, drawing nothing, otherwise.
    bool FillHoledPad(const FilledFigure& figure, const PixelMap& map, PixelInk ink);
    // Scales and traces contours [first, end) of the figure into traced_
    // and chainX_ (from index `at`, which moves on). False when one is not
    // crossed twice by every row, they do not all wind the same way or a
    // point is not finite.
    bool TraceContours(const FilledFigure& figure, std::size_t first, std::size_t end, const PixelMap& map,
                       std::size_t& at);
    // The contours' ends in order and within the points; scaled_ made big enough.
    bool ContoursInOrder(const FilledFigure& figure);
    struct Span {
        int first;
        int last;  // inclusive; empty when last < first
    };
    struct Traced {
        Span rows;
        std::size_t at;     // chainX_[at …]: one chain's crossings, two spare, the other's, two spare
        std::size_t count;  // rows
        double left, right; // the contour's extent across
        bool monotone;      // every row crosses the contour twice at most
    };
    // The crossings of a traced contour's two chains, one per row.
    const double* ChainA(const Traced& t) const noexcept { return chainX_.data() + t.at; }
    const double* ChainB(const Traced& t) const noexcept { return chainX_.data() + t.at + t.count + 2; }
    // The crossings of the two chains of the contour q[0 … n − 1] with the
    // centre lines of its rows, from the highest point `top` down to
    // `bottom`, kept in chainX_ from index `at` on; `left` and `right` bound
    // the contour across. Whether each row crosses the contour twice at most
    // is known once both chains are followed to their ends (`monotone`).
    Traced TraceChains(const SurfacePoint* q, std::size_t n, std::size_t top, double bottom, double left,
                       double right, std::size_t at);
    // Inks each traced row between its two crossings.
    void FillTraced(const Traced& t, PixelInk ink) noexcept;

    // First index whose pixel centre lies at or after v, clamped to [0, limit]
    // (⌈v − ½⌉ without a library call: this runs for every row of a figure).
    static int FirstCentreAtOrAfter(double v, int limit) noexcept {
        const double w = v - 0.5;
        if (!(w > 0)) return 0;
        if (w >= limit) return limit;
        const int k = static_cast<int>(w);
        return k + static_cast<int>(k < w);
    }
    // The columns (rows) whose pixel centres lie in [left, right) ([top, bottom)).
    Span Columns(double left, double right) const noexcept {
        return {FirstCentreAtOrAfter(left, width_), FirstCentreAtOrAfter(right, width_) - 1};
    }
    Span Rows(double top, double bottom) const noexcept {
        return {FirstCentreAtOrAfter(top, height_), FirstCentreAtOrAfter(bottom, height_) - 1};
    }
    // The crossings of one chain of such a contour with the rows' centre lines.
    struct ChainEnd {
        int row;            // the row after the last one written
        std::size_t edges;  // how many edges the chain holds
    };
    template <int Step>  // +1 or −1 round the contour
    ChainEnd TraceChain(const SurfacePoint* q, std::size_t n, std::size_t top, Span rows, double* x) const noexcept;
    void Ink(int row, Span columns, PixelInk ink) noexcept;
    void Disc(double cx, double cy, double radius, PixelInk ink) noexcept;
    void Ring(double cx, double cy, double inner, double outer, PixelInk ink) noexcept;
    void ThinLine(double x0, double y0, double x1, double y1, PixelInk ink) noexcept;
    void WideLine(double x0, double y0, double x1, double y1, double radius, PixelInk ink) noexcept;

    // Scratch space of FillFigure, kept between calls so that a figure
    // costs no allocation: the edges, their order by first row (counted
    // into one bucket per row), and the edges that cross the current row.
    std::vector<Edge> edges_;
    std::vector<std::uint32_t> rowOf_, byRow_, rowEnd_, active_;
    std::vector<Interval> result_, partSpans_, merged_;
    std::vector<SurfacePoint> scaled_;
    std::vector<double> chainX_;  // crossings of the two chains, one per row each
    std::vector<Traced> traced_;

    std::uint32_t* pixels_;
    int width_;
    int height_;
    std::ptrdiff_t stride_;
};

}  // namespace mutaplot
