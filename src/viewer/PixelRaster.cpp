#include "viewer/PixelRaster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace mutaplot {

namespace {

constexpr std::uint32_t kColourBits = 0x00FFFFFF;

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

// First and one-past-last index whose pixel centre lies in [from, to),
// clamped to [0, limit].
int FirstCentreAtOrAfter(double v, int limit) noexcept {
    return static_cast<int>(std::clamp(std::ceil(v - 0.5), 0.0, static_cast<double>(limit)));
}

// p × q for vectors in the usual orientation (y upwards).
double Cross(double px, double py, double qx, double qy) noexcept { return px * qy - py * qx; }

}  // namespace

PixelRaster::Span PixelRaster::Columns(double left, double right) const noexcept {
    return {FirstCentreAtOrAfter(left, width_), FirstCentreAtOrAfter(right, width_) - 1};
}

PixelRaster::Span PixelRaster::Rows(double top, double bottom) const noexcept {
    return {FirstCentreAtOrAfter(top, height_), FirstCentreAtOrAfter(bottom, height_) - 1};
}

void PixelRaster::Ink(int row, Span columns, PixelInk ink) noexcept {
    if (columns.last < columns.first) return;
    std::uint32_t* p = pixels_ + row * stride_;
    if (ink.op == PixelOp::Copy) {
        std::fill(p + columns.first, p + columns.last + 1, ink.argb);
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

void PixelRaster::FigureRow(double yc, const FilledFigure& figure) {
    crossings_.clear();
    for (const std::uint32_t index : active_) {
        const Edge& e = edges_[index];
        crossings_.push_back({e.part, e.x0 + (yc - e.y0) * e.dxdy, e.winding});
    }
    std::sort(crossings_.begin(), crossings_.end(), [](const Crossing& a, const Crossing& b) {
        return a.part != b.part ? a.part < b.part : a.x < b.x;
    });
    result_.clear();
    for (std::size_t a = 0; a < crossings_.size();) {
        const std::uint32_t part = crossings_[a].part;
        const FilledFigure::Part& rules = figure.parts[part];
        partSpans_.clear();
        int winding = 0;
        double start = 0;
        std::size_t b = a;
        for (; b < crossings_.size() && crossings_[b].part == part; ++b) {
            const bool wasInside = rules.rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
            winding += rules.rule == FillRule::NonZero ? crossings_[b].winding : 1;
            const bool isInside = rules.rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
            if (!wasInside && isInside) start = crossings_[b].x;
            else if (wasInside && !isInside && start < crossings_[b].x)
                partSpans_.push_back({start, crossings_[b].x});
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
        if (rules.cuts) Cut(result_, merged_, partSpans_);
        else Unite(result_, merged_, partSpans_);
        result_.swap(partSpans_);
    }
}

bool PixelRaster::FillMonotone(const FilledFigure& figure, double scale, PixelInk ink) {
    if (figure.parts.size() != 1 || figure.parts[0].cuts || figure.parts[0].contourEnd != 1 ||
        figure.contourEnds.size() != 1)
        return false;
    const std::size_t n = std::min<std::size_t>(figure.contourEnds[0], figure.points.size());
    if (n < 3) return false;
    scaled_.resize(n);
    std::size_t top = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const SurfacePoint p{figure.points[k].x * scale, figure.points[k].y * scale};
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
        scaled_[k] = p;
        if (p.y < scaled_[top].y) top = k;
    }
    // Monotone in y: the direction of travel in y turns exactly twice.
    int turns = 0, first = 0, last = 0;
    double bottomY = scaled_[top].y;
    for (std::size_t k = 0; k < n; ++k) {
        const double dy = scaled_[(k + 1) % n].y - scaled_[k].y;
        bottomY = std::max(bottomY, scaled_[k].y);
        if (dy == 0) continue;
        const int sign = dy > 0 ? 1 : -1;
        if (first == 0) first = sign;
        else if (sign != last) ++turns;
        last = sign;
    }
    if (first == 0) return true;  // no height: nothing to fill
    if (first != last) ++turns;
    if (turns != 2) return false;
    const std::vector<SurfacePoint>& q = scaled_;
    // Each chain's current segment [from, to) in its direction.
    std::size_t a0 = top, a1 = (top + 1) % n, b0 = top, b1 = (top + n - 1) % n;
    const Span rows = Rows(q[top].y, bottomY);
    for (int j = rows.first; j <= rows.last; ++j) {
        const double yc = j + 0.5;
        for (std::size_t guard = 0; q[a1].y <= yc && guard < n; ++guard) {
            a0 = a1;
            a1 = (a1 + 1) % n;
        }
        for (std::size_t guard = 0; q[b1].y <= yc && guard < n; ++guard) {
            b0 = b1;
            b1 = (b1 + n - 1) % n;
        }
        if (q[a1].y <= yc || q[b1].y <= yc || q[a0].y > yc || q[b0].y > yc) continue;
        const double xa = q[a0].x + (yc - q[a0].y) * (q[a1].x - q[a0].x) / (q[a1].y - q[a0].y);
        const double xb = q[b0].x + (yc - q[b0].y) * (q[b1].x - q[b0].x) / (q[b1].y - q[b0].y);
        Ink(j, Columns(std::min(xa, xb), std::max(xa, xb)), ink);
    }
    return true;
}

void PixelRaster::FillFigure(const FilledFigure& figure, double scale, PixelInk ink) {
    if (FillMonotone(figure, scale, ink)) return;
    edges_.clear();
    double top = HUGE_VAL, bottom = -HUGE_VAL;
    std::size_t contour = 0, point = 0;
    for (std::size_t p = 0; p < figure.parts.size(); ++p) {
        const std::size_t contourEnd = std::min<std::size_t>(figure.parts[p].contourEnd, figure.contourEnds.size());
        for (; contour < contourEnd; ++contour) {
            const std::size_t end = std::min<std::size_t>(figure.contourEnds[contour], figure.points.size());
            const std::size_t first = point;
            for (std::size_t k = first; k < end; ++k) {
                const SurfacePoint a = figure.points[k];
                const SurfacePoint b = figure.points[k + 1 < end ? k + 1 : first];
                const double x0 = a.x * scale, y0 = a.y * scale, x1 = b.x * scale, y1 = b.y * scale;
                if (!Finite(x0, y0, x1, y1)) return;
                if (y0 == y1) continue;
                Edge e{};
                e.top = std::min(y0, y1);
                e.bottom = std::max(y0, y1);
                e.x0 = x0;
                e.y0 = y0;
                e.dxdy = (x1 - x0) / (y1 - y0);
                if (!std::isfinite(e.dxdy)) return;
                e.part = static_cast<std::uint32_t>(p);
                e.winding = y1 > y0 ? 1 : -1;
                edges_.push_back(e);
                top = std::min(top, e.top);
                bottom = std::max(bottom, e.bottom);
            }
            point = std::max(point, end);
        }
    }
    if (edges_.empty()) return;
    std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });
    const Span rows = Rows(top, bottom);
    active_.clear();
    std::size_t nextEdge = 0;
    for (int j = rows.first; j <= rows.last; ++j) {
        const double yc = j + 0.5;
        while (nextEdge < edges_.size() && edges_[nextEdge].top <= yc)
            active_.push_back(static_cast<std::uint32_t>(nextEdge++));
        std::erase_if(active_, [&](std::uint32_t index) { return edges_[index].bottom <= yc; });
        if (active_.empty()) continue;
        if (active_.size() == 2) {
            // Two crossings (every convex figure, most rows of any): the
            // inside lies between them whatever the rule and the parts.
            const Edge& e0 = edges_[active_[0]];
            const Edge& e1 = edges_[active_[1]];
            if (e0.part == e1.part && !figure.parts[e0.part].cuts) {
                const double x0 = e0.x0 + (yc - e0.y0) * e0.dxdy;
                const double x1 = e1.x0 + (yc - e1.y0) * e1.dxdy;
                Ink(j, Columns(std::min(x0, x1), std::max(x0, x1)), ink);
                continue;
            }
        }
        FigureRow(yc, figure);
        for (const Interval& piece : result_) Ink(j, Columns(piece.from, piece.to), ink);
    }
}

}  // namespace mutaplot
