#include "gerber/ApertureShapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mutaplot::gerber {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegrees = kPi / 180.0;
// More variables than any macro uses; a larger $n from a file is refused.
constexpr int kMostVariables = 1000;
// The polygon primitive and the standard polygon have 3 to 12 vertices.
constexpr int kFewestVertices = 3;
constexpr int kMostVertices = 12;
// An outline primitive of more points than this is a damaged file.
constexpr double kMostOutlinePoints = 1e6;

using Points = std::vector<SurfacePoint>;

double SignedArea(const SurfacePoint* p, std::size_t n) noexcept {
    double twice = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const SurfacePoint a = p[i], b = p[i + 1 < n ? i + 1 : 0];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

// Closes the contour of the points added to the figure from `begin` on,
// reversing them first when they do not run the given way round.
void EndOriented(FilledFigure& figure, std::size_t begin, bool counterClockwise) {
    SurfacePoint* const first = figure.points.data() + begin;
    const std::size_t n = figure.points.size() - begin;
    const bool isCounterClockwise = SignedArea(first, n) >= 0;
    if (isCounterClockwise != counterClockwise) std::reverse(first, first + n);
    figure.EndContour();
}

void AddOriented(FilledFigure& figure, const Points& contour, bool counterClockwise) {
    if (contour.size() < 3) return;
    const std::size_t begin = figure.points.size();
    figure.points.insert(figure.points.end(), contour.begin(), contour.end());
    EndOriented(figure, begin, counterClockwise);
}

// Points of a circle of `radius` around (cx, cy), counter-clockwise from angle 0.
Points CirclePoints(double cx, double cy, double radius, double tolerance) {
    const int n = std::max(ArcPieces(radius, 2 * kPi, tolerance), 8);
    Points p;
    p.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double a = 2 * kPi * k / n;
        p.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
    }
    return p;
}

Points RectanglePoints(double cx, double cy, double w, double h) {
    return {{cx - w / 2, cy - h / 2}, {cx + w / 2, cy - h / 2}, {cx + w / 2, cy + h / 2}, {cx - w / 2, cy + h / 2}};
}

// The arc from `from` to `to` radians (counter-clockwise when to > from)
// around (cx, cy), both ends included, appended to `out`.
void AppendArc(Points& out, double cx, double cy, double radius, double from, double to,
               double tolerance) {
    const int n = ArcPieces(radius, std::abs(to - from), tolerance);
    for (int k = 0; k <= n; ++k) {
        const double a = from + (to - from) * k / n;
        out.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
    }
}

Points ObroundPoints(double w, double h, double tolerance) {
    Points p;
    if (w >= h) {
        const double r = h / 2, c = w / 2 - r;
        AppendArc(p, c, 0, r, -kPi / 2, kPi / 2, tolerance);
        AppendArc(p, -c, 0, r, kPi / 2, 3 * kPi / 2, tolerance);
    } else {
        const double r = w / 2, c = h / 2 - r;
        AppendArc(p, 0, c, r, 0, kPi, tolerance);
        AppendArc(p, 0, -c, r, kPi, 2 * kPi, tolerance);
    }
    return p;
}

Points RegularPolygon(double cx, double cy, double diameter, int vertices, double degrees) {
    Points p;
    for (int k = 0; k < vertices; ++k) {
        const double a = degrees * kDegrees + 2 * kPi * k / vertices;
        p.push_back({cx + diameter / 2 * std::cos(a), cy + diameter / 2 * std::sin(a)});
    }
    return p;
}

void Rotate(Points& p, double degrees) {
    if (degrees == 0) return;
    const double c = std::cos(degrees * kDegrees), s = std::sin(degrees * kDegrees);
    for (SurfacePoint& q : p) q = {q.x * c - q.y * s, q.x * s + q.y * c};
}

bool AllFinite(const Points& p) {
    return std::all_of(p.begin(), p.end(), [](SurfacePoint q) { return std::isfinite(q.x) && std::isfinite(q.y); });
}

// Collects the primitives of a macro (or a standard aperture and its hole)
// into parts: runs of added contours become one non-zero part, each cut
// its own.
class ShapeBuilder {
public:
    ShapeBuilder(FlashShape& shape, double tolerance) : shape_(shape), tolerance_(tolerance) {}

    // One primitive: its contours, each counter-clockwise when `hole` is
    // false for it (a ring's inner contour runs the other way).
    void Primitive(bool exposed, const std::vector<std::pair<Points, bool>>& contours) {
        for (const auto& [points, hole] : contours)
            if (!AllFinite(points)) return;
        if (exposed != adding_) EndRun();
        adding_ = exposed;
        for (const auto& [points, hole] : contours) {
            AddOriented(shape_.figure, points, !hole);
            if (exposed && !hole) outline_.insert(outline_.end(), points.begin(), points.end());
        }
    }
    void Finish() {
        EndRun();
        shape_.hull = ConvexHull(outline_);
        shape_.hullEdges = EdgesOf(shape_.hull);
        shape_.valid = true;
    }
    double tolerance() const noexcept { return tolerance_; }

private:
    void EndRun() {
        FilledFigure& f = shape_.figure;
        const std::uint32_t begun = f.parts.empty() ? 0 : f.parts.back().contourEnd;
        if (f.contourEnds.size() > begun) f.EndPart(FillRule::NonZero, !adding_);
    }
    FlashShape& shape_;
    double tolerance_;
    bool adding_ = true;
    Points outline_;
};

// A round or rectangular hole of a standard aperture: modifiers from `at`.
void AddHole(ShapeBuilder& b, const std::vector<double>& m, std::size_t at) {
    if (m.size() <= at || !(m[at] > 0)) return;
    if (m.size() > at + 1 && m[at + 1] > 0)
        b.Primitive(false, {{RectanglePoints(0, 0, m[at], m[at + 1]), false}});
    else
        b.Primitive(false, {{CirclePoints(0, 0, m[at] / 2, b.tolerance()), false}});
}

bool BuildStandard(const ApertureDefinition& d, FlashShape& shape, double tolerance) {
    const std::vector<double>& m = d.modifiers;
    auto at = [&m](std::size_t i) { return i < m.size() ? m[i] : 0.0; };
    ShapeBuilder b(shape, tolerance);
    if (d.templateName == "C") {
        if (m.empty()) return false;
        b.Primitive(true, {{CirclePoints(0, 0, std::abs(m[0]) / 2, tolerance), false}});
        AddHole(b, m, 1);
        shape.round = true;
        shape.diameter = std::abs(m[0]);
    } else if (d.templateName == "R") {
        b.Primitive(true, {{RectanglePoints(0, 0, std::abs(at(0)), std::abs(at(1))), false}});
        AddHole(b, m, 2);
    } else if (d.templateName == "O") {
        b.Primitive(true, {{ObroundPoints(std::abs(at(0)), std::abs(at(1)), tolerance), false}});
        AddHole(b, m, 2);
    } else if (d.templateName == "P") {
        const double n = std::round(at(1));
        if (!(n >= kFewestVertices && n <= kMostVertices)) return false;
        b.Primitive(true, {{RegularPolygon(0, 0, std::abs(at(0)), static_cast<int>(n), at(2)), false}});
        AddHole(b, m, 3);
    } else {
        return false;
    }
    b.Finish();
    return true;
}

// Thermal: the ring between the diameters less a cross of the gap's width,
// as its four quarters.
std::vector<std::pair<Points, bool>> ThermalQuarters(double cx, double cy, double outer, double inner,
                                                     double gap, double tolerance) {
    std::vector<std::pair<Points, bool>> quarters;
    const double ro = outer / 2, ri = std::max(inner / 2, 0.0), g = std::max(gap / 2, 0.0);
    if (!(ro > g * std::sqrt(2.0)) || !(ro > ri)) return quarters;
    for (int q = 0; q < 4; ++q) {
        Points p;
        const double oa = std::asin(g / ro);
        AppendArc(p, 0, 0, ro, oa, kPi / 2 - oa, tolerance);
        if (ri > g * std::sqrt(2.0)) {
            const double ia = std::asin(g / ri);
            AppendArc(p, 0, 0, ri, kPi / 2 - ia, ia, tolerance);
        } else {
            p.push_back({g, g});
        }
        Rotate(p, 90.0 * q);
        for (SurfacePoint& s : p) s = {s.x + cx, s.y + cy};
        quarters.push_back({std::move(p), false});
    }
    return quarters;
}

class MacroEvaluator {
public:
    MacroEvaluator(const ApertureMacro& macro, const std::vector<double>& modifiers,
                   ShapeBuilder& builder)
        : macro_(macro), vars_(modifiers), b_(builder) {}

    bool Run() {
        for (const MacroStatement& statement : macro_.body) {
            if (const auto* v = std::get_if<MacroVariable>(&statement)) {
                if (v->index < 1 || v->index > kMostVariables) return false;
                const double value = v->value.Evaluate(vars_);
                if (vars_.size() < static_cast<std::size_t>(v->index)) vars_.resize(static_cast<std::size_t>(v->index), 0.0);
                vars_[static_cast<std::size_t>(v->index) - 1] = value;
            } else {
                Primitive(std::get<MacroPrimitive>(statement));
            }
        }
        b_.Finish();
        return true;
    }

private:
    void Primitive(const MacroPrimitive& p) {
        values_.clear();
        for (const Expression& e : p.modifiers) values_.push_back(e.Evaluate(vars_));
        auto at = [this](std::size_t i) { return i < values_.size() ? values_[i] : 0.0; };
        const double tol = b_.tolerance();
        const bool exposed = at(0) != 0;  // 1 on, 0 off
        switch (p.code) {
        case 1: {  // circle: exposure, diameter, centre x, y, rotation
            Points c = CirclePoints(at(2), at(3), std::abs(at(1)) / 2, tol);
            Rotate(c, at(4));
            b_.Primitive(exposed, {{std::move(c), false}});
            break;
        }
        case 2:
        case 20: {  // vector line: exposure, width, start x, y, end x, y, rotation
            const double dx = at(4) - at(2), dy = at(5) - at(3);
            const double length = std::hypot(dx, dy);
            if (!(length > 0)) break;
            const double nx = -dy / length * at(1) / 2, ny = dx / length * at(1) / 2;
            Points r = {{at(2) - nx, at(3) - ny}, {at(4) - nx, at(5) - ny}, {at(4) + nx, at(5) + ny}, {at(2) + nx, at(3) + ny}};
            Rotate(r, at(6));
            b_.Primitive(exposed, {{std::move(r), false}});
            break;
        }
        case 21: {  // centre line: exposure, width, height, centre x, y, rotation
            Points r = RectanglePoints(at(3), at(4), std::abs(at(1)), std::abs(at(2)));
            Rotate(r, at(5));
            b_.Primitive(exposed, {{std::move(r), false}});
            break;
        }
        case 22: {  // lower-left line: exposure, width, height, lower-left x, y, rotation
            const double w = std::abs(at(1)), h = std::abs(at(2));
            Points r = RectanglePoints(at(3) + w / 2, at(4) + h / 2, w, h);
            Rotate(r, at(5));
            b_.Primitive(exposed, {{std::move(r), false}});
            break;
        }
        case 4: {  // outline: exposure, n, n + 1 points, rotation
            const double n = std::round(at(1));
            if (!(n >= 1 && n <= kMostOutlinePoints)) break;
            // The last of the n + 1 points should repeat the first; where a
            // file gives another point there, it is a corner of the outline
            // too (the contour closes back to the first point anyway).
            const std::size_t count = static_cast<std::size_t>(n);
            if (values_.size() < 2 + 2 * count) break;
            const std::size_t given = values_.size() >= 4 + 2 * count ? count + 1 : count;
            Points o;
            o.reserve(given);
            for (std::size_t k = 0; k < given; ++k) o.push_back({values_[2 + 2 * k], values_[3 + 2 * k]});
            Rotate(o, at(2 + 2 * (count + 1)));
            b_.Primitive(exposed, {{std::move(o), false}});
            break;
        }
        case 5: {  // polygon: exposure, vertices, centre x, y, diameter, rotation
            const double n = std::round(at(1));
            if (!(n >= kFewestVertices && n <= kMostVertices)) break;
            Points g = RegularPolygon(at(2), at(3), std::abs(at(4)), static_cast<int>(n), 0);
            Rotate(g, at(5));
            b_.Primitive(exposed, {{std::move(g), false}});
            break;
        }
        case 6: {  // moiré: centre x, y, outer diameter, ring width, gap, rings, cross width, cross length, rotation
            const double cx = at(0), cy = at(1), thickness = at(3), gap = at(4);
            const double rings = std::min(std::round(at(5)), 10000.0);
            std::vector<std::pair<Points, bool>> contours;
            double d = at(2);
            for (int k = 0; k < rings && d > 0 && thickness > 0; ++k) {
                contours.push_back({CirclePoints(cx, cy, d / 2, tol), false});
                const double inner = d - 2 * thickness;
                if (inner > 0) contours.push_back({CirclePoints(cx, cy, inner / 2, tol), true});
                d = inner - 2 * gap;
            }
            if (at(6) > 0 && at(7) > 0) {
                contours.push_back({RectanglePoints(cx, cy, at(7), at(6)), false});
                contours.push_back({RectanglePoints(cx, cy, at(6), at(7)), false});
            }
            for (auto& c : contours) Rotate(c.first, at(8));
            b_.Primitive(true, contours);
            break;
        }
        case 7: {  // thermal: centre x, y, outer diameter, inner diameter, gap, rotation
            auto quarters = ThermalQuarters(at(0), at(1), at(2), at(3), at(4), tol);
            for (auto& q : quarters) Rotate(q.first, at(5));
            b_.Primitive(true, quarters);
            break;
        }
        default:  // 0 comment, and codes no file should hold
            break;
        }
    }

    const ApertureMacro& macro_;
    std::vector<double> vars_;
    ShapeBuilder& b_;
    std::vector<double> values_;
};

}  // namespace

int ArcPieces(double radius, double sweepRadians, double tolerance) noexcept {
    constexpr int kMostPieces = 4096;
    const double r = std::abs(radius), sweep = std::abs(sweepRadians);
    if (!std::isfinite(r) || !std::isfinite(sweep) || !(sweep > 0)) return 1;
    double step = kPi / 2;
    if (tolerance > 0 && tolerance < r) step = std::min(step, 2 * std::acos(1 - tolerance / r));
    const double n = std::ceil(sweep / step);
    return static_cast<int>(std::clamp(n, 1.0, static_cast<double>(kMostPieces)));
}

void AddCounterClockwise(FilledFigure& figure, const std::vector<SurfacePoint>& contour) {
    AddOriented(figure, contour, true);
}

void AddCircle(FilledFigure& figure, double cx, double cy, double radius, double tolerance) {
    AddOriented(figure, CirclePoints(cx, cy, radius, tolerance), true);
}

std::vector<SurfacePoint> CircleOffsets(double radius, double tolerance) {
    return CirclePoints(0, 0, radius, tolerance);
}

void AddCircleAround(FilledFigure& figure, SurfacePoint centre, const std::vector<SurfacePoint>& offsets) {
    if (offsets.size() < 3) return;
    const std::size_t begin = figure.points.size();
    for (const SurfacePoint& p : offsets) figure.points.push_back({centre.x + p.x, centre.y + p.y});
    EndOriented(figure, begin, true);
}

std::vector<SurfacePoint> ConvexHull(std::vector<SurfacePoint> p) {
    std::sort(p.begin(), p.end(), [](SurfacePoint a, SurfacePoint b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    if (p.size() < 3) return p;
    auto cross = [](SurfacePoint o, SurfacePoint a, SurfacePoint b) {
        return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
    };
    std::vector<SurfacePoint> hull(2 * p.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p[i]) <= 0) --k;
        hull[k++] = p[i];
    }
    for (std::size_t i = p.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], p[i]) <= 0) --k;
        hull[k++] = p[i];
    }
    hull.resize(k - 1);
    return hull;
}

std::vector<SurfacePoint> EdgesOf(const std::vector<SurfacePoint>& outline) {
    const std::size_t n = outline.size();
    std::vector<SurfacePoint> edges(n);
    for (std::size_t i = 0; i < n; ++i) {
        const SurfacePoint a = outline[i], b = outline[i + 1 < n ? i + 1 : 0];
        edges[i] = {b.x - a.x, b.y - a.y};
    }
    return edges;
}

void AddSweptHull(FilledFigure& figure, const std::vector<SurfacePoint>& hull, SurfacePoint from,
                  SurfacePoint to) {
    AddSweptHullMapped(figure, hull, EdgesOf(hull), from, to, [](SurfacePoint p) { return p; });
}

bool BuildFlashShape(const ApertureDefinition& definition, const MacroTable& macros,
                     double tolerance, FlashShape& shape) {
    shape = FlashShape{};
    const std::string& name = definition.templateName;
    if (name == "C" || name == "R" || name == "O" || name == "P") {
        if (!BuildStandard(definition, shape, tolerance)) {
            shape = FlashShape{};
            return false;
        }
        return true;
    }
    const auto found = macros.find(name);
    if (found == macros.end()) return false;
    ShapeBuilder builder(shape, tolerance);
    if (!MacroEvaluator(found->second, definition.modifiers, builder).Run()) {
        shape = FlashShape{};
        return false;
    }
    return true;
}

}  // namespace mutaplot::gerber
