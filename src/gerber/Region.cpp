#include "gerber/Region.h"

#include "gerber/ApertureShapes.h"

#include <cmath>
#include <numbers>

namespace mutaplot::gerber {

namespace {

constexpr double kTurn = 2 * std::numbers::pi;
constexpr int kPointsPerExactDirection = 16;

double Angle(SurfacePoint p, SurfacePoint centre) noexcept {
    return std::atan2(p.y - centre.y, p.x - centre.x);
}

double Distance(SurfacePoint a, SurfacePoint b) noexcept { return std::hypot(a.x - b.x, a.y - b.y); }

}  // namespace

double ArcSweep(SurfacePoint start, SurfacePoint end, SurfacePoint centre, bool clockwise,
                bool fullCircle) noexcept {
    const bool closed = start.x == end.x && start.y == end.y;
    if (closed) return fullCircle ? (clockwise ? -kTurn : kTurn) : 0.0;
    double sweep = Angle(end, centre) - Angle(start, centre);
    if (clockwise) {
        while (sweep >= 0) sweep -= kTurn;
        while (sweep < -kTurn) sweep += kTurn;
    } else {
        while (sweep <= 0) sweep += kTurn;
        while (sweep > kTurn) sweep -= kTurn;
    }
    return sweep;
}

void AppendArcPath(std::vector<SurfacePoint>& out, SurfacePoint start, SurfacePoint end,
                   SurfacePoint centre, bool clockwise, bool fullCircle, double tolerance) {
    const double sweep = ArcSweep(start, end, centre, clockwise, fullCircle);
    const double r0 = Distance(start, centre), r1 = Distance(end, centre);
    if (sweep == 0 || !std::isfinite(sweep) || !std::isfinite(r0) || !std::isfinite(r1)) {
        out.push_back(end);
        return;
    }
    const double a0 = Angle(start, centre);
    const int n = ArcPieces(std::max(r0, r1), sweep, tolerance);
    if (n > 1) {
        // The direction from the centre is turned on by one piece's angle
        // from point to point, and computed afresh every few points so that
        // the rounding of the turns cannot add up.
        const double step = sweep / n, stepCos = std::cos(step), stepSin = std::sin(step);
        double c = std::cos(a0), s = std::sin(a0);
        for (int k = 1; k < n; ++k) {
            const double t = static_cast<double>(k) / n;
            if (k % kPointsPerExactDirection == 0) {
                const double a = a0 + sweep * t;
                c = std::cos(a);
                s = std::sin(a);
            } else {
                const double turnedCos = c * stepCos - s * stepSin;
                s = s * stepCos + c * stepSin;
                c = turnedCos;
            }
            const double r = r0 + (r1 - r0) * t;
            out.push_back({centre.x + r * c, centre.y + r * s});
        }
    }
    out.push_back(end);
}

SurfacePoint SingleQuadrantCentre(SurfacePoint start, SurfacePoint end, double i, double j,
                                  bool clockwise) noexcept {
    i = std::abs(i);
    j = std::abs(j);
    constexpr double kQuarter = kTurn / 4 * (1 + 1e-9);
    SurfacePoint best = {start.x + i, start.y + j};
    double bestDifference = HUGE_VAL;
    bool bestWithinQuarter = false;
    for (const double si : {1.0, -1.0}) {
        for (const double sj : {1.0, -1.0}) {
            const SurfacePoint c{start.x + si * i, start.y + sj * j};
            const double difference = std::abs(Distance(start, c) - Distance(end, c));
            const bool within = std::abs(ArcSweep(start, end, c, clockwise, false)) <= kQuarter;
            if ((within && !bestWithinQuarter) || (within == bestWithinQuarter && difference < bestDifference)) {
                best = c;
                bestDifference = difference;
                bestWithinQuarter = within;
            }
        }
    }
    return best;
}

void RegionContours::EndContour() {
    // A contour whose last point returns to its first needs no closing point.
    if (current_.size() > 1 && current_.back().x == current_.front().x && current_.back().y == current_.front().y)
        current_.pop_back();
    if (current_.size() >= 3) AddCounterClockwise(contours_, current_);
    current_.clear();
}

void RegionContours::MoveTo(SurfacePoint p) {
    EndContour();
    at_ = p;
}

void RegionContours::LineTo(SurfacePoint p) {
    if (current_.empty()) current_.push_back(at_);
    current_.push_back(p);
    at_ = p;
}

void RegionContours::ArcTo(SurfacePoint end, SurfacePoint centre, bool clockwise, bool fullCircle,
                           double tolerance) {
    if (current_.empty()) current_.push_back(at_);
    AppendArcPath(current_, at_, end, centre, clockwise, fullCircle, tolerance);
    at_ = end;
}

bool RegionContours::Fill(FilledFigure& figure) {
    EndContour();
    if (contours_.contourEnds.empty()) return false;
    const std::uint32_t base = static_cast<std::uint32_t>(figure.points.size());
    figure.points.insert(figure.points.end(), contours_.points.begin(), contours_.points.end());
    for (const std::uint32_t end : contours_.contourEnds) figure.contourEnds.push_back(base + end);
    figure.EndPart(FillRule::NonZero, false);
    contours_.Clear();
    return true;
}

void RegionContours::Clear() noexcept {
    current_.clear();
    contours_.Clear();
}

}  // namespace mutaplot::gerber
