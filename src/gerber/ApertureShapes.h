#pragma once
// The shapes an RS-274X file's apertures flash: the standard circle,
// rectangle, obround and polygon (each with an optional round hole) and
// aperture macros of every primitive, evaluated with the definition's
// modifiers. A shape is a filled figure in the file's unit, y upwards,
// relative to the flash point; arcs become polylines whose points lie at
// most `tolerance` from the true curve.
//
// Every contour of an added primitive runs counter-clockwise, so that a run
// of added primitives is one non-zero part (their union); an exposure-off
// primitive, a hole, is a part that cuts what the primitives before it
// cover and lets the picture below show through, as a fab's viewer draws it.

#include "gerber/ParameterBlock.h"
#include "platform/DrawingSurface.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mutaplot::gerber {

using MacroTable = std::unordered_map<std::string, ApertureMacro>;

struct FlashShape {
    FilledFigure figure;               // file units, y upwards, around the flash point
    std::vector<SurfacePoint> hull;    // convex hull of the outline, counter-clockwise
    std::vector<SurfacePoint> hullEdges;  // EdgesOf(hull)
    bool round = false;                // a circle: strokes are round-capped tracks
    double diameter = 0;               // of a circle
    bool valid = false;                // false: the definition could not be drawn
};

// Builds the shape of an aperture definition: a standard template or a
// macro of `macros`. Returns false (an empty shape) for an unknown template
// or macro or sizes that are not numbers.
bool BuildFlashShape(const ApertureDefinition& definition, const MacroTable& macros,
                     double tolerance, FlashShape& shape);

// Number of straight pieces that follow an arc of `radius` through
// `sweepRadians` within `tolerance` (at least 1, at most a few thousand).
int ArcPieces(double radius, double sweepRadians, double tolerance) noexcept;

// Appends the points of `contour` to the figure as one contour running
// counter-clockwise (reversed when it runs clockwise).
void AddCounterClockwise(FilledFigure& figure, const std::vector<SurfacePoint>& contour);

// Appends the circle of `radius` around (cx, cy) as a counter-clockwise contour.
void AddCircle(FilledFigure& figure, double cx, double cy, double radius, double tolerance);

// The points of a circle of `radius` around the origin, as AddCircle draws
// it; AddCircleAround(figure, c, CircleOffsets(r, t)) adds the same contour
// as AddCircle(figure, c.x, c.y, r, t), so that a circle drawn many times is
// computed once.
std::vector<SurfacePoint> CircleOffsets(double radius, double tolerance);
void AddCircleAround(FilledFigure& figure, SurfacePoint centre, const std::vector<SurfacePoint>& offsets);

// The convex hull of the points, counter-clockwise.
std::vector<SurfacePoint> ConvexHull(std::vector<SurfacePoint> points);

// The edges of a closed outline as vectors: point k + 1 − point k, the
// last one back to the first.
std::vector<SurfacePoint> EdgesOf(const std::vector<SurfacePoint>& outline);

// The area a convex outline (counter-clockwise, around the origin) sweeps
// when moved from `from` to `to`, as one contour appended to `figure`.
void AddSweptHull(FilledFigure& figure, const std::vector<SurfacePoint>& hull, SurfacePoint from,
                  SurfacePoint to);

// The same with the outline's EdgesOf given, each point passed through
// `map` (SurfacePoint → SurfacePoint) as it is added: a walk maps it to the
// device without a second pass.
template <class Map>
void AddSweptHullMapped(FilledFigure& figure, const std::vector<SurfacePoint>& hull,
                        const std::vector<SurfacePoint>& edges, SurfacePoint from, SurfacePoint to, Map map) {
    const std::size_t n = hull.size();
    if (n == 0 || edges.size() != n) return;
    const double dx = to.x - from.x, dy = to.y - from.y;
    // An edge faces forward when its outward normal points along the move;
    // forward edges are taken at `to`, the others at `from`, joined by the
    // two edges along the move.
    auto forward = [dx, dy, &edges](std::size_t i) { return dx * edges[i].y - dy * edges[i].x >= 0; };
    // The outline of a usual aperture is built on the stack and appended in
    // one go; at most two points for each vertex.
    constexpr std::size_t kOnStack = 64;
    SurfacePoint stack[2 * kOnStack];
    std::size_t count = 0;
    std::vector<SurfacePoint>& out = figure.points;
    auto put = [&](SurfacePoint p) {
        if (n <= kOnStack) stack[count++] = p;
        else out.push_back(p);
    };
    bool before = forward(n - 1);
    for (std::size_t i = 0; i < n; ++i) {
        const bool after = forward(i);
        const SurfacePoint v = hull[i];
        const SurfacePoint atFrom{from.x + v.x, from.y + v.y}, atTo{to.x + v.x, to.y + v.y};
        if (!before && !after) put(map(atFrom));
        else if (before && after) put(map(atTo));
        else if (!before) {
            put(map(atFrom));
            put(map(atTo));
        } else {
            put(map(atTo));
            put(map(atFrom));
        }
        before = after;
    }
    if (n <= kOnStack) out.insert(out.end(), stack, stack + count);
    figure.EndContour();
}

}  // namespace mutaplot::gerber
