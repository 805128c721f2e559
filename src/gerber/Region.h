#pragma once
// Regions (G36 … G37) of an RS-274X file: closed contours of straight and
// circular segments, filled. Each contour of a region statement is a region
// of its own; they are kept counter-clockwise so that together they are
// one non-zero part, their union. A contour that runs into itself and back
// (a cut-in to a hole) leaves the hole open, as the format intends.
//
// Also the circular path of an arc block, shared by strokes and contours.

#include "platform/DrawingSurface.h"

#include <vector>

namespace mutaplot::gerber {

// The points of the arc from `start` to `end` around `centre`, clockwise or
// counter-clockwise, appended to `out` without the start point (the caller
// has it) and ending exactly at `end`. Start and end at different distances
// from the centre give a spiral between the two radii. Equal start and end
// give the full circle when `fullCircle` is set, nothing otherwise.
void AppendArcPath(std::vector<SurfacePoint>& out, SurfacePoint start, SurfacePoint end,
                   SurfacePoint centre, bool clockwise, bool fullCircle, double tolerance);

// The sweep in radians (negative for clockwise) of such an arc.
double ArcSweep(SurfacePoint start, SurfacePoint end, SurfacePoint centre, bool clockwise,
                bool fullCircle) noexcept;

// The centre of a single-quadrant arc (G74): I and J are unsigned, and of
// the four centres start ± (|I|, |J|) the one is taken whose end radius is
// closest to its start radius among those whose sweep is at most 90°.
SurfacePoint SingleQuadrantCentre(SurfacePoint start, SurfacePoint end, double i, double j,
                                  bool clockwise) noexcept;

class RegionContours {
public:
    // D02 in region mode: closes the contour being built and starts one at `p`.
    void MoveTo(SurfacePoint p);
    // D01 in linear mode.
    void LineTo(SurfacePoint p);
    // D01 in a circular mode.
    void ArcTo(SurfacePoint end, SurfacePoint centre, bool clockwise, bool fullCircle,
               double tolerance);
    // G37: the closed contours, counter-clockwise, appended to `figure` as
    // one non-zero part; the builder is emptied. False when no contour has
    // an area.
    bool Fill(FilledFigure& figure);
    // Drops everything (a region left open at the end of the file).
    void Clear() noexcept;

private:
    void EndContour();
    std::vector<SurfacePoint> current_;
    SurfacePoint at_{0, 0};
    FilledFigure contours_;
};

}  // namespace mutaplot::gerber
