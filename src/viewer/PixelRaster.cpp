#include "viewer/PixelRaster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mutaplot {

namespace {

constexpr std::uint32_t kColourBits = 0x00FFFFFF;
// How many rows ahead a tall figure's pixels are fetched.
constexpr int kRowsAhead = 4;
// How many crossings the union of several contours holds at most (16 MB).
constexpr std::size_t kMostTracedCrossings = std::size_t{1} << 21;

bool Finite(double a, double b, double c, double d) noexcept {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Index of the pixel holding coordinate v, a coordinate on a pixel border
// going to the pixel before it (so that a one-pixel band [v − ½, v + ½)
// and a thin line at v ink the same pixels). Clamped to [lo, hi] first so
// that far-away coordinates cannot overflow.
int PixelOf(double v, int lo, int hi) noexcept {
    const double i = std::ceil(v) - 1;
    return static_cast<int>(std::clamp(i, static_cast<double>(lo), static_cast<double>(hi)));
}

// False when the centre line of no row of the picture (rows 0 … height − 1)
// lies in [top, bottom): such an edge never crosses a row. True when unsure
// (coordinates too large to place exactly).
bool CrossesCentre(double top, double bottom, int height) noexcept {
    if (bottom <= 0.5 || top > height - 0.5) return false;
    if (top < 0) return true;  // reaches row 0, whose centre lies below 0
    // The first centre at or below the top; exact, as top < height here.
    const double w = top - 0.5;
    const double k = static_cast<double>(static_cast<int>(w));
    double centre = (k < w ? k + 1 : k) + 0.5;
    if (centre < top) centre += 1;
    if (centre - 1 >= top) centre -= 1;
    return centre < bottom;
}

// Writes `argb` into a[0 … n − 1], n ≥ 1. Most spans of the picture are a
// few pixels long and change length from row to row, which a loop pays for
// in mispredicted branches; up to 16 pixels take two to four overlapping
// 16-byte writes instead.
[[gnu::always_inline]] inline void FillSpan(std::uint32_t* a, int n, std::uint32_t argb) noexcept {
    if (n <= 3) {
        a[0] = argb;
        a[n >> 1] = argb;
        a[n - 1] = argb;
        return;
    }
    const std::uint32_t four[4] = {argb, argb, argb, argb};
    if (n <= 8) {
        std::memcpy(a, four, sizeof four);
        std::memcpy(a + n - 4, four, sizeof four);
    } else if (n <= 16) {
        std::memcpy(a, four, sizeof four);
        std::memcpy(a + 4, four, sizeof four);
        std::memcpy(a + n - 8, four, sizeof four);
        std::memcpy(a + n - 4, four, sizeof four);
    } else {
        std::fill(a, a + n, argb);
    }
}

// p × q for vectors in the usual orientation (y upwards).
double Cross(double px, double py, double qx, double qy) noexcept { return px * qy - py * qx; }

}  // namespace

void PixelRaster::Ink(int row, Span columns, PixelInk ink) noexcept {
    if (columns.last < columns.first) return;
    std::uint32_t* p = pixels_ + row * stride_;
    if (ink.op == PixelOp::Copy) {
        FillSpan(p + columns.first, columns.last - columns.first + 1, ink.argb);
        return;
    }
    const std::uint32_t bits = ink.argb & kColourBits;
    for (int i = columns.first; i <= columns.last; ++i) p[i] ^= bits;
}

void PixelRaster::Fill(std::uint32_t argb) noexcept {
    for (int j = 0; j < height_; ++j) Ink(j, {0, width_ - 1}, {argb, PixelOp::Copy});
}

void PixelRaster::Disc(double cx, double cy, double radius, PixelInk ink) noexcept {
    if (!(radius > 0)) return;
    const double r2 = radius * radius;
    const Span rows = Rows(cy - radius, cy + radius);
    for (int j = rows.first; j <= rows.last; ++j) {
        const double dy = j + 0.5 - cy;
        const double h2 = r2 - dy * dy;
        if (h2 <= 0) continue;
        const double h = std::sqrt(h2);
        Ink(j, Columns(cx - h, cx + h), ink);
    }
}

void PixelRaster::Ring(double cx, double cy, double inner, double outer, PixelInk ink) noexcept {
    if (!(inner > 0)) {
        Disc(cx, cy, outer, ink);
        return;
    }
    if (!(outer > inner)) return;
    const double outer2 = outer * outer;
    const double inner2 = inner * inner;
    const Span rows = Rows(cy - outer, cy + outer);
    for (int j = rows.first; j <= rows.last; ++j) {
        const double dy = j + 0.5 - cy;
        const double a2 = outer2 - dy * dy;
        if (a2 <= 0) continue;
        const double a = std::sqrt(a2);
        const double b2 = inner2 - dy * dy;
        if (b2 > 0) {
            // The same root as Disc takes for this row, so that a disc of
            // the inner radius fills exactly the hole.
            const double b = std::sqrt(b2);
            Ink(j, Columns(cx - a, cx - b), ink);
            Ink(j, Columns(cx + b, cx + a), ink);
        } else {
            Ink(j, Columns(cx - a, cx + a), ink);
        }
    }
}

void PixelRaster::ThinLine(double x0, double y0, double x1, double y1, PixelInk ink) noexcept {
    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    // Walk the main axis pixel by pixel; the other coordinate is taken at
    // each pixel's centre line (the end points' own values at the ends).
    double a0 = steep ? y0 : x0, b0 = steep ? x0 : y0;
    double a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
    if (a0 > a1) {
        std::swap(a0, a1);
        std::swap(b0, b1);
    }
    const int mainLimit = (steep ? height_ : width_) - 1;
    const int crossLimit = (steep ? width_ : height_) - 1;
    const int first = PixelOf(a0, -1, mainLimit + 1);
    const int last = PixelOf(a1, -1, mainLimit + 1);
    const double slope = a1 > a0 ? (b1 - b0) / (a1 - a0) : 0;
    auto crossAt = [&](int k) {
        const double at = std::clamp(k + 0.5, a0, a1);
        return PixelOf(b0 + (at - a0) * slope, -1, crossLimit + 1);
    };
    const int from = std::max(first, 0);
    const int to = std::min(last, mainLimit);
    if (!steep) {
        // Runs of one row become one span.
        int runStart = from;
        int runRow = from <= to ? crossAt(from) : 0;
        for (int k = from; k <= to + 1; ++k) {
            const int row = k <= to ? crossAt(k) : -2;
            if (k <= to && row == runRow) continue;
            if (runRow >= 0 && runRow <= crossLimit) Ink(runRow, {runStart, k - 1}, ink);
            runStart = k;
            runRow = row;
        }
        return;
    }
    for (int k = from; k <= to; ++k) {
        const int column = crossAt(k);
        if (column >= 0 && column <= crossLimit) Ink(k, {column, column}, ink);
    }
}

void PixelRaster::WideLine(double x0, double y0, double x1, double y1, double radius,
                           PixelInk ink) noexcept {
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0) {
        Disc(x0, y0, radius, ink);
        return;
    }
    // The pen's track: the band along the line (a quadrilateral) and a disc
    // at each end. The whole is convex, so each row is one span.
    const double nx = -dy / length * radius, ny = dx / length * radius;
    const std::array<double, 8> quad = {x0 + nx, y0 + ny, x1 + nx, y1 + ny,
                                        x1 - nx, y1 - ny, x0 - nx, y0 - ny};
    const double r2 = radius * radius;
    const Span rows = Rows(std::min(y0, y1) - radius, std::max(y0, y1) + radius);
    for (int j = rows.first; j <= rows.last; ++j) {
        const double yc = j + 0.5;
        double lo = HUGE_VAL, hi = -HUGE_VAL;
        for (int e = 0; e < 4; ++e) {
            const double px = quad[2 * e], py = quad[2 * e + 1];
            const double qx = quad[(2 * e + 2) % 8], qy = quad[(2 * e + 3) % 8];
            if ((py <= yc) == (qy <= yc)) continue;
            const double x = px + (yc - py) * (qx - px) / (qy - py);
            lo = std::min(lo, x);
            hi = std::max(hi, x);
        }
        for (const auto& [ex, ey] : {std::pair{x0, y0}, std::pair{x1, y1}}) {
            const double h2 = r2 - (yc - ey) * (yc - ey);
            if (h2 <= 0) continue;
            const double h = std::sqrt(h2);
            lo = std::min(lo, ex - h);
            hi = std::max(hi, ex + h);
        }
        if (lo < hi) Ink(j, Columns(lo, hi), ink);
    }
}

void PixelRaster::Line(double x0, double y0, double x1, double y1, double penWidth,
                       PixelInk ink) noexcept {
    if (!Finite(x0, y0, x1, y1) || !std::isfinite(penWidth)) return;
    if (penWidth <= 1) ThinLine(x0, y0, x1, y1, ink);
    else WideLine(x0, y0, x1, y1, penWidth / 2, ink);
}

void PixelRaster::Rectangle(double x0, double y0, double x1, double y1, double penWidth,
                            PixelInk ink) noexcept {
    if (!Finite(x0, y0, x1, y1) || !std::isfinite(penWidth)) return;
    const double h = std::max(penWidth, 1.0) / 2;
    const double left = std::min(x0, x1), right = std::max(x0, x1);
    const double top = std::min(y0, y1), bottom = std::max(y0, y1);
    const Span outer = Columns(left - h, right + h);
    const Span leftEdge = Columns(left - h, left + h);
    const Span rightEdge = Columns(right - h, right + h);
    const bool hollow = left + h < right - h;
    const Span rows = Rows(top - h, bottom + h);
    const Span inner = Rows(top + h, bottom - h);
    for (int j = rows.first; j <= rows.last; ++j) {
        if (hollow && j >= inner.first && j <= inner.last) {
            Ink(j, leftEdge, ink);
            Ink(j, rightEdge, ink);
        } else {
            Ink(j, outer, ink);
        }
    }
}

void PixelRaster::FilledRectangle(double x0, double y0, double x1, double y1, double penWidth,
                                  PixelInk ink) noexcept {
    if (!Finite(x0, y0, x1, y1) || !std::isfinite(penWidth)) return;
    const double h = std::max(penWidth, 1.0) / 2;
    const Span columns = Columns(std::min(x0, x1) - h, std::max(x0, x1) + h);
    const Span rows = Rows(std::min(y0, y1) - h, std::max(y0, y1) + h);
    for (int j = rows.first; j <= rows.last; ++j) Ink(j, columns, ink);
}

void PixelRaster::Circle(double cx, double cy, double radius, double penWidth,
                         PixelInk ink) noexcept {
    if (!Finite(cx, cy, radius, penWidth)) return;
    const double h = std::max(penWidth, 1.0) / 2;
    const double r = std::abs(radius);
    Ring(cx, cy, r - h, r + h, ink);
}

void PixelRaster::FilledCircle(double cx, double cy, double radius, double penWidth,
                               PixelInk outline, PixelInk inside) noexcept {
    if (!Finite(cx, cy, radius, penWidth)) return;
    const double h = std::max(penWidth, 1.0) / 2;
    const double r = std::abs(radius);
    Ring(cx, cy, r - h, r + h, outline);
    Disc(cx, cy, r - h, inside);
}

void PixelRaster::Arc(double cx, double cy, double radius, double startRadians,
                      double sweepRadians, double penWidth, PixelInk ink) noexcept {
    if (!Finite(cx, cy, radius, penWidth) || !std::isfinite(startRadians) ||
        !std::isfinite(sweepRadians))
        return;
    const double pen = std::max(penWidth, 1.0) / 2;
    const double r = std::abs(radius);
    const double inner = r - pen, outer = r + pen;
    if (sweepRadians >= 2 * std::numbers::pi) {
        Ring(cx, cy, inner, outer, ink);
        return;
    }
    // Directions of the two ends, y upwards; their points on the picture.
    const double ax = std::cos(startRadians), ay = std::sin(startRadians);
    const double bx = std::cos(startRadians + sweepRadians), by = std::sin(startRadians + sweepRadians);
    const double e0x = cx + r * ax, e0y = cy - r * ay;
    const double e1x = cx + r * bx, e1y = cy - r * by;
    const bool wide = sweepRadians > std::numbers::pi;
    auto inSector = [&](double vx, double vy) {
        const bool afterStart = Cross(ax, ay, vx, vy) >= 0;
        const bool beforeEnd = Cross(vx, vy, bx, by) >= 0;
        return wide ? (afterStart || beforeEnd) : (afterStart && beforeEnd);
    };
    // Bounds: the ends, and every axis direction the arc passes.
    double left = std::min(e0x, e1x), right = std::max(e0x, e1x);
    double top = std::min(e0y, e1y), bottom = std::max(e0y, e1y);
    if (inSector(1, 0)) right = cx + r;
    if (inSector(-1, 0)) left = cx - r;
    if (inSector(0, 1)) top = cy - r;
    if (inSector(0, -1)) bottom = cy + r;
    const Span bounds = Columns(left - pen, right + pen);
    const Span rows = Rows(top - pen, bottom + pen);

    const double outer2 = outer * outer, inner2 = inner > 0 ? inner * inner : -1;
    const double pen2 = pen * pen;
    for (int j = rows.first; j <= rows.last; ++j) {
        const double yc = j + 0.5;
        const double dy = yc - cy;
        // Candidate columns: the ring's pieces on this row and the two end
        // caps, merged so that no pixel is visited twice.
        std::array<Span, 4> candidates{};
        int n = 0;
        const double a2 = outer2 - dy * dy;
        if (a2 > 0) {
            const double a = std::sqrt(a2);
            const double b2 = inner2 - dy * dy;
            if (b2 > 0) {
                const double b = std::sqrt(b2);
                candidates[n++] = Columns(cx - a, cx - b);
                candidates[n++] = Columns(cx + b, cx + a);
            } else {
                candidates[n++] = Columns(cx - a, cx + a);
            }
        }
        for (const auto& [ex, ey] : {std::pair{e0x, e0y}, std::pair{e1x, e1y}}) {
            const double h2 = pen2 - (yc - ey) * (yc - ey);
            if (h2 <= 0) continue;
            const double h = std::sqrt(h2);
            candidates[n++] = Columns(ex - h, ex + h);
        }
        for (int c = 1; c < n; ++c)  // at most four: insertion sort by first column
            for (int d = c; d > 0 && candidates[d].first < candidates[d - 1].first; --d)
                std::swap(candidates[d], candidates[d - 1]);
        int next = bounds.first;  // first column not yet visited
        for (int c = 0; c < n; ++c) {
            const int from = std::max(candidates[c].first, next);
            const int to = std::min(candidates[c].last, bounds.last);
            int runStart = -1;
            for (int i = from; i <= to + 1; ++i) {
                bool in = false;
                if (i <= to) {
                    const double vx = i + 0.5 - cx, vy = -dy;
                    const double d2 = vx * vx + vy * vy;
                    in = (d2 < outer2 && d2 >= inner2 && inSector(vx, vy)) ||
                         (i + 0.5 - e0x) * (i + 0.5 - e0x) + (yc - e0y) * (yc - e0y) < pen2 ||
                         (i + 0.5 - e1x) * (i + 0.5 - e1x) + (yc - e1y) * (yc - e1y) < pen2;
                }
                if (in && runStart < 0) runStart = i;
                if (!in && runStart >= 0) {
                    Ink(j, {runStart, i - 1}, ink);
                    runStart = -1;
                }
            }
            next = std::max(next, to + 1);
        }
    }
}

namespace {

// Sorted, disjoint intervals: `into` becomes a ∪ b.
template <typename Interval>
void Unite(const std::vector<Interval>& a, const std::vector<Interval>& b,
           std::vector<Interval>& into) {
    into.clear();
    std::size_t i = 0, k = 0;
    while (i < a.size() || k < b.size()) {
        const Interval next = (k >= b.size() || (i < a.size() && a[i].from <= b[k].from)) ? a[i++] : b[k++];
        if (!into.empty() && next.from <= into.back().to) into.back().to = std::max(into.back().to, next.to);
        else into.push_back(next);
    }
}

// `into` becomes a \ b.
template <typename Interval>
void Cut(const std::vector<Interval>& a, const std::vector<Interval>& b,
         std::vector<Interval>& into) {
    into.clear();
    std::size_t k = 0;
    for (Interval piece : a) {
        while (k < b.size() && b[k].to <= piece.from) ++k;
        std::size_t c = k;
        while (c < b.size() && b[c].from < piece.to) {
            if (b[c].from > piece.from) into.push_back({piece.from, b[c].from});
            piece.from = std::max(piece.from, b[c].to);
            ++c;
        }
        if (piece.from < piece.to) into.push_back(piece);
    }
}

}  // namespace

void PixelRaster::FigureRow(const FilledFigure& figure) {
    result_.clear();
    for (std::size_t a = 0; a < active_.size();) {
        const std::uint32_t part = edges_[active_[a]].part;
        const FilledFigure::Part& rules = figure.parts[part];
        const bool nonZero = rules.rule == FillRule::NonZero;
        partSpans_.clear();
        int winding = 0;
        double start = 0;
        std::size_t b = a;
        for (; b < active_.size() && edges_[active_[b]].part == part; ++b) {
            const Edge& e = edges_[active_[b]];
            const bool wasInside = nonZero ? winding != 0 : (winding & 1) != 0;
            winding += nonZero ? e.winding : 1;
            const bool isInside = nonZero ? winding != 0 : (winding & 1) != 0;
            if (!wasInside && isInside) start = e.x;
            else if (wasInside && !isInside && start < e.x) partSpans_.push_back({start, e.x});
        }
        a = b;
        if (partSpans_.empty()) continue;
        // Spans of one part may touch (cut-ins): unite them among themselves first.
        merged_.clear();
        for (const Interval& piece : partSpans_) {
            if (!merged_.empty() && piece.from <= merged_.back().to)
                merged_.back().to = std::max(merged_.back().to, piece.to);
            else merged_.push_back(piece);
        }
        if (result_.empty() && !rules.cuts) {
            result_.swap(merged_);
            continue;
        }
        if (rules.cuts) Cut(result_, merged_, partSpans_);
        else Unite(result_, merged_, partSpans_);
        result_.swap(partSpans_);
    }
}


namespace {

// The shape of one closed contour for the fills between two chains.
struct ContourShape {
    std::size_t top = 0;  // a highest point
    double bottom = 0;    // the lowest y
    double left = 0, right = 0;
    bool flat = true;     // no height at all
};

using Pair = double __attribute__((vector_size(16)));

// x and y of a point side by side, so that both take one division:
// (base + sign × ((p + offset) / divisor)) × scale, the operations of
// placing the point and then scaling it.
struct PairMap {
    Pair offset, divisor, base, sign, scale;
    Pair Mapped(SurfacePoint p) const noexcept { return (base + sign * ((Pair{p.x, p.y} + offset) / divisor)) * scale; }
    SurfacePoint operator()(SurfacePoint p) const noexcept {
        const Pair v = Mapped(p);
        return {v[0], v[1]};
    }
};

// Maps the contour in[0 … n − 1] into out[] and finds its shape on the way,
// x and y side by side. False when a point is not finite.
bool MappedShape(const SurfacePoint* in, std::size_t n, const PairMap& map, SurfacePoint* out,
                 ContourShape& c) noexcept {
    Pair v = map.Mapped(in[0]);
    out[0] = {v[0], v[1]};
    Pair low = v, high = v;
    // x × 0 is 0 for every finite x and NaN otherwise.
    Pair nonFinite = v * 0;
    std::size_t topIndex = 0;
    for (std::size_t k = 1; k < n; ++k) {
        v = map.Mapped(in[k]);
        out[k] = {v[0], v[1]};
        nonFinite += v * 0;
        topIndex = v[1] < low[1] ? k : topIndex;  // the first highest point
        low = v < low ? v : low;
        high = v > high ? v : high;
    }
    c.top = topIndex;
    c.bottom = high[1];
    c.left = low[0];
    c.right = high[0];
    c.flat = !(high[1] > low[1]);
    return nonFinite[0] == 0 && nonFinite[1] == 0;
}

PairMap PairMapOf(const PointPlacement& p, double scale) noexcept {
    return {Pair{p.offsetX, p.offsetY}, Pair{p.divisor, p.divisor}, Pair{0.0, p.baseY}, Pair{1.0, p.signY},
            Pair{scale, scale}};
}

}  // namespace

// One side of a contour that every row crosses once: the chain of its points
// from the top point round the contour in direction Step (+1 or −1), while
// it goes down. Each row whose centre line yc a segment [from, to) of the
// chain reaches (from.y ≤ yc < to.y) gets its crossing in x[row − rows.first]
// from the first row on. The crossing is computed from the segment's first
// point in the contour's own order and its slope, exactly as the general
// fill computes it for the same edge. The chain is followed to its end
// below the last row too, so that its edges are all counted.
template <int Step>
PixelRaster::ChainEnd PixelRaster::TraceChain(const SurfacePoint* q, std::size_t n, std::size_t top, Span rows,
                                              double* x) const noexcept {
    std::size_t from = top;
    // The first row whose centre lies at or below the segment's first point.
    int first = std::max(rows.first, FirstCentreAtOrAfter(q[top].y, height_));
    double fx = q[top].x, fy = q[top].y;
    std::size_t edges = 0;
    for (; edges < n; ++edges) {
        const std::size_t to = Step > 0 ? (from + 1 == n ? 0 : from + 1) : (from == 0 ? n - 1 : from - 1);
        const double tx = q[to].x, ty = q[to].y;
        if (ty < fy) break;  // the chain turns upwards: the other side's
        if (first > rows.last) {  // below the last row: only counted
            from = to;
            fy = ty;
            continue;
        }
        const int next = FirstCentreAtOrAfter(ty, height_);
        // The segment's first point in the contour's own order.
        const double ax = Step > 0 ? fx : tx, ay = Step > 0 ? fy : ty;
        const double dxdy = Step > 0 ? (tx - fx) / (ty - fy) : (fx - tx) / (fy - ty);
        // Most segments of a round outline reach one row or none: the first
        // two rows are written whatever the segment reaches, so that no
        // branch depends on it. A row written beyond the segment's own is
        // written again by the segment that reaches it, which comes later
        // (x has room for two rows past the last).
        double* const out = x + (first - rows.first);
        out[0] = ax + ((first + 0.5) - ay) * dxdy;
        out[1] = ax + ((first + 1.5) - ay) * dxdy;
        const int last = std::min(rows.last, next - 1);
        for (int j = first + 2; j <= last; ++j) x[j - rows.first] = ax + ((j + 0.5) - ay) * dxdy;
        first = std::max(first, next);
        from = to;
        fx = tx;
        fy = ty;
    }
    return {first, edges};
}

PixelRaster::Traced PixelRaster::TraceChains(const SurfacePoint* q, std::size_t n, std::size_t top,
                                             double bottom, double left, double right, std::size_t at) {
    const Span rows = Rows(q[top].y, bottom);
    if (rows.last < rows.first) return {rows, at, 0, left, right, true};
    const auto count = static_cast<std::size_t>(rows.last - rows.first + 1);
    const std::size_t need = at + 2 * count + 4;
    if (chainX_.size() < need) chainX_.resize(std::max(need, 2 * chainX_.size()));
    // The first rows are asked for now, while the chains are traced (the
    // fill asks for each further row a few rows ahead).
    const int column = left > 0 ? (left < width_ - 1 ? static_cast<int>(left) : width_ - 1) : 0;
    for (int r = 0; r < kRowsAhead && rows.first + r <= rows.last; ++r)
        __builtin_prefetch(pixels_ + (rows.first + r) * stride_ + column, 1);
    double* const xa = chainX_.data() + at;
    double* const xb = xa + count + 2;
    // Each chain writes its rows from the first on without a gap; rows a
    // chain stops short of (it cannot for a contour every row crosses
    // twice) are marked unreached.
    const auto unreached = [&](double* x, int end) {
        if (end <= rows.last) std::fill(x + (end - rows.first), x + count, std::numeric_limits<double>::quiet_NaN());
    };
    const ChainEnd a = TraceChain<+1>(q, n, top, rows, xa);
    const ChainEnd b = TraceChain<-1>(q, n, top, rows, xb);
    unreached(xa, a.row);
    unreached(xb, b.row);
    // Going down from the top both ways, the two chains meet at the bottom
    // and hold every edge between them exactly when each row crosses the
    // contour twice at most.
    return {rows, at, count, left, right, a.edges + b.edges >= n};
}

void PixelRaster::FillTraced(const Traced& t, PixelInk ink) noexcept {
    const std::size_t count = t.count;
    if (count == 0) return;
    const double* const xa = ChainA(t);
    const double* const xb = ChainB(t);
    const std::uint32_t argb = ink.argb;
    const std::uint32_t bits = argb & kColourBits;
    const bool copy = ink.op == PixelOp::Copy;
    const std::ptrdiff_t stride = stride_;
    std::uint32_t* p = pixels_ + t.rows.first * stride;
    // Inks columns [first, end) of the row at p, and asks for the row a few
    // rows below (an address past the picture is only a hint, never read).
    const auto inkRow = [&](std::uint32_t* row, int first, int end) {
        if (end <= first) return;
        __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(row + first) +
                                                         kRowsAhead * stride * sizeof(std::uint32_t)),
                           1);
        if (copy) FillSpan(row + first, end - first, argb);
        else
            for (int i = first; i < end; ++i) row[i] ^= bits;
    };
    std::size_t r = 0;
    // A contour well inside the picture's width needs no clamping of its
    // columns: ⌈x − ½⌉ is then the truncation of x − ½ plus one unless exact.
    if (t.left > 1 && t.right < width_ - 1) {
#if defined(__SSE2__)
        // Two rows at a time. Where a chain does not reach a row (NaN), the
        // minimum and the maximum both give the other chain's crossing (or
        // both NaN, which converts to one number): no columns.
        const __m128d half = _mm_set1_pd(0.5);
        for (; r + 2 <= count; r += 2, p += 2 * stride) {
            const __m128d a = _mm_loadu_pd(xa + r), b = _mm_loadu_pd(xb + r);
            const __m128d w0 = _mm_sub_pd(_mm_min_pd(a, b), half);
            const __m128d w1 = _mm_sub_pd(_mm_max_pd(a, b), half);
            const __m128i k0 = _mm_cvttpd_epi32(w0), k1 = _mm_cvttpd_epi32(w1);
            // One more where the truncation is below w (all-ones masks, of
            // which the low halves are taken).
            const __m128i up0 = _mm_castpd_si128(_mm_cmplt_pd(_mm_cvtepi32_pd(k0), w0));
            const __m128i up1 = _mm_castpd_si128(_mm_cmplt_pd(_mm_cvtepi32_pd(k1), w1));
            const __m128i first = _mm_sub_epi32(k0, _mm_shuffle_epi32(up0, _MM_SHUFFLE(3, 3, 2, 0)));
            const __m128i end = _mm_sub_epi32(k1, _mm_shuffle_epi32(up1, _MM_SHUFFLE(3, 3, 2, 0)));
            alignas(16) std::int32_t spans[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(spans), _mm_unpacklo_epi64(first, end));
            inkRow(p, spans[0], spans[2]);
            inkRow(p + stride, spans[1], spans[3]);
        }
#endif
        for (; r < count; ++r, p += stride) {
            const double a = xa[r], b = xb[r];
            if (!(a == a && b == b)) continue;
            const double w0 = std::min(a, b) - 0.5, w1 = std::max(a, b) - 0.5;
            const int k0 = static_cast<int>(w0), k1 = static_cast<int>(w1);
            inkRow(p, k0 + static_cast<int>(k0 < w0), k1 + static_cast<int>(k1 < w1));
        }
        return;
    }
    for (; r < count; ++r, p += stride) {
        const double a = xa[r], b = xb[r];
        // A row one chain does not reach (NaN) gives no columns.
        if (!(a == a && b == b)) continue;
        const Span columns = Columns(std::min(a, b), std::max(a, b));
        inkRow(p, columns.first, columns.last + 1);
    }
}

bool PixelRaster::FillMonotone(const FilledFigure& figure, const PixelMap& map, PixelInk ink) {
    if (figure.parts.size() != 1 || figure.parts[0].cuts || figure.parts[0].contourEnd != 1 ||
        figure.contourEnds.size() != 1)
        return false;
    const std::size_t n = std::min<std::size_t>(figure.contourEnds[0], figure.points.size());
    if (n < 3) return false;
    if (scaled_.size() < n) scaled_.resize(n);
    ContourShape c;
    if (!MappedShape(figure.points.data(), n, PairMapOf(map.placement, map.scale), scaled_.data(), c)) return false;
    if (c.flat) return true;  // no height: nothing to fill
    if (c.right < 0 || c.left > width_) return true;  // outside the picture
    const Traced t = TraceChains(scaled_.data(), n, c.top, c.bottom, c.left, c.right, 0);
    if (!t.monotone) return false;
    FillTraced(t, ink);
    return true;
}

bool PixelRaster::TraceContours(const FilledFigure& figure, std::size_t firstContour, std::size_t endContour,
                                const PixelMap& map, std::size_t& at) {
    int side = 0;
    const PairMap pairs = PairMapOf(map.placement, map.scale);
    std::size_t start = firstContour == 0 ? 0 : figure.contourEnds[firstContour - 1];
    for (std::size_t k = firstContour; k < endContour; ++k) {
        const std::size_t end = figure.contourEnds[k];
        const std::size_t n = end - start;
        SurfacePoint* q = scaled_.data() + start;
        const SurfacePoint* in = figure.points.data() + start;
        start = end;
        if (n == 0) continue;
        ContourShape c;
        if (!MappedShape(in, n, pairs, q, c)) return false;
        // A contour wholly beside the picture gives no row any crossing.
        if (n < 3 || c.flat || c.right < 0 || c.left > width_) continue;
        // A huge figure of many contours is left to the general fill rather
        // than holding all its crossings at once.
        if (at > kMostTracedCrossings) return false;
        const Traced t = TraceChains(q, n, c.top, c.bottom, c.left, c.right, at);
        if (!t.monotone) return false;
        if (t.count == 0) continue;  // no row of the picture
        at += 2 * t.count + 4;
        traced_.push_back(t);
        const double* const xa = ChainA(t);
        const double* const xb = ChainB(t);
        for (std::size_t r = 0; r < t.count; ++r) {
            const int s = xa[r] < xb[r] ? 1 : xa[r] > xb[r] ? -1 : 0;
            if (s == 0) continue;
            if (side != 0 && s != side) return false;
            side = s;
        }
    }
    return true;
}

bool PixelRaster::ContoursInOrder(const FilledFigure& figure) {
    for (std::size_t k = 1; k < figure.contourEnds.size(); ++k)
        if (figure.contourEnds[k] < figure.contourEnds[k - 1]) return false;
    if (figure.contourEnds.empty() || figure.contourEnds.back() > figure.points.size()) return false;
    if (scaled_.size() < figure.contourEnds.back()) scaled_.resize(figure.contourEnds.back());
    return true;
}

bool PixelRaster::FillMonotoneUnion(const FilledFigure& figure, const PixelMap& map, PixelInk ink) {
    if (ink.op != PixelOp::Copy || figure.parts.size() != 1 || figure.parts[0].cuts ||
        figure.parts[0].rule != FillRule::NonZero || figure.contourEnds.size() < 2 ||
        figure.parts[0].contourEnd != figure.contourEnds.size() || !ContoursInOrder(figure))
        return false;
    // Every contour is crossed twice by each row it reaches, so between its
    // two crossings its winding number is +1 where the chain going on round
    // the contour from the top lies on the left and −1 where it lies on the
    // right. When that side is the same on every row of every contour, the
    // sum is non-zero exactly where one of them covers the point, and in
    // copy mode their union is drawn contour by contour.
    traced_.clear();
    std::size_t at = 0;
    if (!TraceContours(figure, 0, figure.contourEnds.size(), map, at)) return false;
    // In copy mode a pixel inked by several contours simply takes the ink again.
    for (const Traced& t : traced_) FillTraced(t, ink);
    return true;
}

bool PixelRaster::FillHoledPad(const FilledFigure& figure, const PixelMap& map, PixelInk ink) {
    constexpr std::size_t kMostContours = 4;  // of the pad, each row's pieces merged in place
    if (figure.parts.size() != 2 || figure.parts[0].cuts || !figure.parts[1].cuts ||
        figure.contourEnds.size() > kMostContours + 1 || figure.parts[1].contourEnd != figure.contourEnds.size() ||
        figure.parts[0].contourEnd + 1 != figure.contourEnds.size() || figure.parts[0].contourEnd == 0 ||
        (figure.parts[0].contourEnd > 1 && figure.parts[0].rule != FillRule::NonZero) || !ContoursInOrder(figure))
        return false;
    // The pad's contours as in a union (one alone fills between its chains
    // by either rule), then the hole's, which is cut from each row's pieces.
    traced_.clear();
    std::size_t at = 0;
    const std::size_t padContours = figure.parts[0].contourEnd;
    if (!TraceContours(figure, 0, padContours, map, at)) return false;
    const std::size_t pad = traced_.size();
    if (pad == 0) return true;  // nothing of the pad in the picture
    if (!TraceContours(figure, padContours, padContours + 1, map, at)) return false;
    const Traced* const hole = traced_.size() > pad ? &traced_[pad] : nullptr;
    int top = traced_[0].rows.first, bottom = traced_[0].rows.last;
    for (std::size_t k = 1; k < pad; ++k) {
        top = std::min(top, traced_[k].rows.first);
        bottom = std::max(bottom, traced_[k].rows.last);
    }
    // The crossings of traced contour t with row j, in order; false when
    // the row lies outside it or is empty there.
    auto piece = [&](const Traced& t, int j, Interval& out) {
        if (j < t.rows.first || j > t.rows.last) return false;
        const double a = ChainA(t)[j - t.rows.first], b = ChainB(t)[j - t.rows.first];
        if (!(a == a && b == b)) return false;
        out = {std::min(a, b), std::max(a, b)};
        return out.from < out.to;
    };
    std::array<Interval, kMostContours> pieces{};
    for (int j = top; j <= bottom; ++j) {
        std::size_t count = 0;
        for (std::size_t k = 0; k < pad; ++k) {
            Interval p{};
            if (!piece(traced_[k], j, p)) continue;
            std::size_t d = count++;
            for (; d > 0 && p.from < pieces[d - 1].from; --d) pieces[d] = pieces[d - 1];
            pieces[d] = p;
        }
        Interval cut{};
        const bool cuts = hole && piece(*hole, j, cut);
        for (std::size_t k = 0; k < count;) {
            Interval united = pieces[k++];
            while (k < count && pieces[k].from <= united.to) united.to = std::max(united.to, pieces[k++].to);
            if (!cuts || cut.to <= united.from || cut.from >= united.to) {
                Ink(j, Columns(united.from, united.to), ink);
                continue;
            }
            if (united.from < cut.from) Ink(j, Columns(united.from, cut.from), ink);
            if (cut.to < united.to) Ink(j, Columns(cut.to, united.to), ink);
        }
    }
    return true;
}

void PixelRaster::FillFigure(const FilledFigure& figure, double scale, PixelInk ink) {
    FillFigure(figure, PixelMap{PointPlacement{}, scale}, ink);
}

void PixelRaster::FillFigure(const FilledFigure& figure, const PointPlacement& placement, double scale,
                             PixelInk ink) {
    FillFigure(figure, PixelMap{placement, scale}, ink);
}

void PixelRaster::FillFigure(const FilledFigure& figure, const PixelMap& map, PixelInk ink) {
    if (FillMonotone(figure, map, ink) || FillMonotoneUnion(figure, map, ink) || FillHoledPad(figure, map, ink))
        return;
    const PairMap pairs = PairMapOf(map.placement, map.scale);
    edges_.clear();
    double top = HUGE_VAL, bottom = -HUGE_VAL, left = HUGE_VAL, right = -HUGE_VAL;
    std::size_t contour = 0, point = 0;
    for (std::size_t p = 0; p < figure.parts.size(); ++p) {
        const std::size_t contourEnd = std::min<std::size_t>(figure.parts[p].contourEnd, figure.contourEnds.size());
        for (; contour < contourEnd; ++contour) {
            const std::size_t end = std::min<std::size_t>(figure.contourEnds[contour], figure.points.size());
            const std::size_t first = point;
            for (std::size_t k = first; k < end; ++k) {
                const SurfacePoint a = pairs(figure.points[k]);
                const SurfacePoint b = pairs(figure.points[k + 1 < end ? k + 1 : first]);
                const double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
                if (!Finite(x0, y0, x1, y1)) return;
                left = std::min({left, x0, x1});
                right = std::max({right, x0, x1});
                if (y0 == y1 || !CrossesCentre(std::min(y0, y1), std::max(y0, y1), height_)) continue;
                const double dxdy = (x1 - x0) / (y1 - y0);
                if (!std::isfinite(dxdy)) return;
                // Written in place: the edge list is filled for every edge of every figure.
                Edge& e = edges_.emplace_back();
                e.top = std::min(y0, y1);
                e.bottom = std::max(y0, y1);
                e.x0 = x0;
                e.y0 = y0;
                e.dxdy = dxdy;
                e.x = 0;
                e.part = static_cast<std::uint32_t>(p);
                e.winding = y1 > y0 ? 1 : -1;
                top = std::min(top, e.top);
                bottom = std::max(bottom, e.bottom);
            }
            point = std::max(point, end);
        }
    }
    if (edges_.empty()) return;
    const Span rows = Rows(top, bottom);
    // Figures wholly outside the picture change no pixel.
    if (rows.last < rows.first || right < 0 || left > width_) return;

    // The edges in order of the first row whose centre line they reach
    // (the picture's first row for edges that start above it), by counting
    // into one bucket per row; edges that start below the picture are left
    // out. rowEnd_[r] ends the bucket of row rows.first + r in byRow_.
    const int rowCount = rows.last - rows.first + 1;
    rowEnd_.assign(static_cast<std::size_t>(rowCount) + 1, 0);
    rowOf_.resize(edges_.size());
    for (std::size_t k = 0; k < edges_.size(); ++k) {
        // The smallest row whose centre j + 0.5 is at or below the edge's
        // top (kept edges start above the picture's last centre line).
        const double edgeTop = edges_[k].top;
        int j = rows.first;
        if (edgeTop > j + 0.5) {
            // ⌈top − ½⌉, exact: top − ½ is exact for tops in (½, height].
            const double w = edgeTop - 0.5;
            const int k = static_cast<int>(w);
            j = std::min(k + static_cast<int>(k < w), rows.last + 1);
        }
        const auto r = static_cast<std::uint32_t>(j - rows.first);
        rowOf_[k] = r;
        if (j <= rows.last) ++rowEnd_[r + 1];
    }
    for (int r = 0; r < rowCount; ++r) rowEnd_[static_cast<std::size_t>(r) + 1] += rowEnd_[static_cast<std::size_t>(r)];
    byRow_.resize(rowEnd_[static_cast<std::size_t>(rowCount)]);
    for (std::size_t k = 0; k < edges_.size(); ++k) {
        const std::uint32_t r = rowOf_[k];
        if (r < static_cast<std::uint32_t>(rowCount)) byRow_[rowEnd_[r]++] = static_cast<std::uint32_t>(k);
    }

    // The active edges stay in order of part and crossing: from one row to
    // the next the order changes little, so an insertion sort keeps it.
    auto before = [&](std::uint32_t a, std::uint32_t b) {
        const Edge& ea = edges_[a];
        const Edge& eb = edges_[b];
        return ea.part != eb.part ? ea.part < eb.part : ea.x < eb.x;
    };
    active_.clear();
    std::size_t next = 0;
    for (int r = 0; r < rowCount; ++r) {
        const int j = rows.first + r;
        const double yc = j + 0.5;
        for (; next < rowEnd_[static_cast<std::size_t>(r)]; ++next) active_.push_back(byRow_[next]);
        std::erase_if(active_, [&](std::uint32_t index) { return edges_[index].bottom <= yc; });
        if (active_.empty()) continue;
        for (const std::uint32_t index : active_) {
            Edge& e = edges_[index];
            e.x = e.x0 + (yc - e.y0) * e.dxdy;
        }
        if (active_.size() == 2) {
            // Two crossings (every convex figure, most rows of any): the
            // inside lies between them whatever the rule and the parts.
            const Edge& e0 = edges_[active_[0]];
            const Edge& e1 = edges_[active_[1]];
            if (e0.part == e1.part && !figure.parts[e0.part].cuts) {
                Ink(j, Columns(std::min(e0.x, e1.x), std::max(e0.x, e1.x)), ink);
                continue;
            }
        }
        for (std::size_t c = 1; c < active_.size(); ++c) {
            const std::uint32_t moving = active_[c];
            std::size_t d = c;
            for (; d > 0 && before(moving, active_[d - 1]); --d) active_[d] = active_[d - 1];
            active_[d] = moving;
        }
        FigureRow(figure);
        for (const Interval& piece : result_) Ink(j, Columns(piece.from, piece.to), ink);
    }
}

}  // namespace mutaplot
