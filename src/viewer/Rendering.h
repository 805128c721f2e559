#pragma once
// Drawing the walk's events on the viewer's surface, in high quality (wide
// pens, filled flashes, thick thermal rings) or fast quality (one-pixel
// outlines), and the display pass that runs the walk onto the screen.

#include "aperture/ApertureTable.h"
#include "input/BlockList.h"
#include "platform/Dialogs.h"
#include "platform/DrawingSurface.h"
#include "platform/Pointer.h"
#include "viewer/PlotWalk.h"
#include "viewer/ViewGeometry.h"

#include <array>
#include <optional>
#include <string_view>

namespace mutaplot {

// The screen turns degrees into radians with π written to nine decimals.
inline constexpr double kScreenPi = 3.141592653;

// Degrees to the radians a surface takes, with the π of that surface.
constexpr double Radians(double degrees, double pi) noexcept { return degrees * pi / 180.0; }

// How a sink places the walk on its surface: the mapping from raw counts to
// surface coordinates and the π its angles are turned into radians with.
// The screen rounds the bottom-left Y to hundredths and uses kScreenPi; the
// printer page maps exactly and uses the full π.
using SurfacePointMapping = PicturePoint (*)(double x, double y, double scaleHeight,
                                             float drawOrigin,
                                             const ViewTransform& transform) noexcept;
struct SurfaceMapping {
    SurfacePointMapping toSurface;
    double pi;
};
inline constexpr SurfaceMapping kScreenMapping{ToPicture, kScreenPi};

// Holds the surface's pen at one pixel while a filled figure (a flash, a
// square stroke) is drawn, so that its outline does not grow it by the
// aperture pen; the previous width comes back when it goes out of scope.
class OnePixelPen {
public:
    explicit OnePixelPen(DrawingSurface& surface) : surface_(surface), saved_(surface.PenWidth()) {
        surface_.SetPenWidth(1);
    }
    ~OnePixelPen() { surface_.SetPenWidth(saved_); }
    OnePixelPen(const OnePixelPen&) = delete;
    OnePixelPen& operator=(const OnePixelPen&) = delete;

private:
    DrawingSurface& surface_;
    int saved_;
};

// One ring segment of a thermal pad, degrees, counter-clockwise start → end.
struct ThermalSegment {
    double start;
    double end;
};
using ThermalSegments = std::array<ThermalSegment, 4>;

// The four ring segments of a thermal ("＋" gaps on the axes, "×" on the
// diagonals). Each gap is gapFactor × (ring width + spoke width) long on the
// mean circle: the screen widens them by 1.1, the printer does not. No value
// when the ring cannot be built (sizes adding up to 0, gaps longer than the
// circumference, not a thermal).
std::optional<ThermalSegments> ComputeThermalSegments(const CurrentAperture& aperture,
                                                      double gapFactor, double pi);
inline constexpr double kScreenThermalGapFactor = 1.1;
inline constexpr double kPrintThermalGapFactor = 1.0;

// Corners of the rectangle a square aperture draws for a stroke from
// (x0, y0) to (x1, y1) in surface coordinates; none for a stroke of length 0.
struct RectangleCorners {
    double x1, y1, x2, y2;
};
std::optional<RectangleCorners> SquareStrokeCorners(double x0, double y0, double x1, double y1,
                                                    double hx, double hy) noexcept;

// Draws one D-code event ("D01" stroke, "D02" move, "D03" flash) with the
// current aperture. A thermal flash leaves its last ring segment's angles in
// ArcGeometry (see LeaveThermalAnglesInArc in Rendering.cpp).
void DrawBlock(std::string_view dCode, PlotRecords& records, float drawOrigin,
               DrawingSurface& surface);

// Draws the arc of ArcGeometry with the current pen, "G02" clockwise or
// "G03" counter-clockwise in the data's orientation.
void DrawArc(std::string_view gCode, const PlotRecords& records, float drawOrigin,
             DrawingSurface& surface);

// The arc drawing of screen and page: the centre and radius through
// `mapping`, the angles mirrored top to bottom for the top-left origin and
// swapped for "G02" (the surface draws counter-clockwise from start to end).
void DrawArcOnSurface(std::string_view gCode, const PlotRecords& records, float drawOrigin,
                      const SurfaceMapping& mapping, DrawingSurface& surface);

// PrepareWalk onto a surface: the transform takes the surface's pixel
// density, and the surface the picture unit of the view scale.
void PrepareSurfaceWalk(const ViewControls& controls, const FileFormat& format, PlotRecords& records,
                        DrawingSurface& surface);

enum class DisplayPassResult {
    NoData,     // no blocks: message shown, nothing drawn
    Completed,  // the walk reached the end: viewDrawn is kViewDrawn
    Stopped,    // "G91": the drawing so far stays, viewDrawn unchanged
};

// The display pass: reads the quality, clears the surface, takes the pixel
// density from it, computes the view scale, resets the current point and
// walks the list onto the surface.
DisplayPassResult RunDisplayPass(const InputBlockList& blocks, const ApertureTable& table,
                                 PlotRecords& records, const ViewControls& controls,
                                 const FileFormat& format, float drawOrigin, DrawingSurface& surface,
                                 Dialogs& dialogs, Pointer& pointer);

}  // namespace mutaplot
