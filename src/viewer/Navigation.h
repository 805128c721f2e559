#pragma once
// The viewer's navigation arithmetic: zoom about the centre, step moves,
// area zoom, the coordinate readout, the origin pick and the inverse of the
// picture mapping. Pure functions over numbers; the window reads its
// controls, calls these and writes the results back as text.
//
// W and H are the surface's scale width and height in picture units; oX and
// oY the numbers in the offset boxes (picture units); z the zoom factor.

#include "viewer/ViewGeometry.h"

#include <optional>
#include <string>
#include <string_view>

namespace mutaplot {

// Where the data's origin lies on the surface (the settings' drawOrigin).
enum class OriginCorner { BottomLeft, TopLeft };
OriginCorner OriginCornerOf(float drawOrigin) noexcept;

// A view as the navigation commands write it: the zoom factor and the two
// offsets (already rounded where the command rounds them).
struct ViewPlace {
    float zoom;
    double offsetX;
    double offsetY;
};

// The data's own resolution: one count of the input format's last decimal
// (0.001 mm for mm(4.3), 0.0001 inch for inch(2.4)); 1 for no known format.
double DataResolution(const FileFormat& format) noexcept;
// What the readout, the written moves and zooms and the area zoom round to:
// whole millimetres for mm data (as the written examples have them), the
// data's resolution for inch data (whole inches are useless there).
double ReadoutStep(const FileFormat& format) noexcept;
// v rounded to a multiple of `step`, halves to even; step 1 is the written
// whole-number rounding.
double RoundToStep(double v, double step) noexcept;

// The step divisor k = 2 × round(z + 1), halves to even.
double StepDivisor(float zoom) noexcept;

// 中心拡大: z doubled, offsets moved by W / 2 / z and H / 2 / z (new z).
ViewPlace ZoomInAboutCentre(const ViewPlace& view, double width, double height,
                            double step = 1.0) noexcept;
// 中心縮小: z halved, offsets moved back by W / 4 / z and H / 4 / z (new z).
ViewPlace ZoomOutAboutCentre(const ViewPlace& view, double width, double height,
                             double step = 1.0) noexcept;

// The four menu moves; the arrow keys move the other way (the Right arrow
// is 移動←, and so on).
enum class MoveDirection { Right, Left, Up, Down };
ViewPlace MoveView(const ViewPlace& view, MoveDirection direction, double width,
                   double height, double step = 1.0) noexcept;

// The data coordinates (picture units) under the surface point (x, y), not
// rounded; the readout shows them rounded halves to even.
struct DataPoint {
    double x;
    double y;
};
DataPoint ReadoutPoint(double x, double y, const ViewPlace& view, double height,
                       OriginCorner corner) noexcept;
DataPoint RoundedReadout(double x, double y, const ViewPlace& view, double height,
                         OriginCorner corner, double step = 1.0) noexcept;

// pickX / pickY of a press at (x, y): view units (picture units / zoom),
// rounded halves to even. The marker value while an origin pick waits.
inline constexpr float kPickWaitingMarker = 12345.0f;
struct PickPoint {
    float x;
    float y;
};
PickPoint PickAt(double x, double y, float zoom, double height, OriginCorner corner) noexcept;

// 範囲拡大's second corner: from the first corner in data coordinates
// (unrounded) and the readout values (cX, cY) of the last mouse move. The
// left (bottom or top) edge of the view becomes the smaller X (Y), rounded
// to `step`; the zoom is the largest two-decimal value at which the whole
// band fits the width × height surface (the larger side of the band
// decides). No value when both corners have the same readout X and Y, or
// the zoom rounds down to 0 (the corner is then ignored).
std::optional<ViewPlace> AreaZoom(DataPoint anchor, DataPoint corner, double offsetX,
                                  double offsetY, double width, double height,
                                  double step = 1.0) noexcept;

// The wheel: the zoom multiplied by `factor` about the surface point (x, y),
// which keeps the data point under it; offsets rounded to `step`.
ViewPlace ZoomAboutPoint(const ViewPlace& view, double factor, double x, double y,
                         double height, OriginCorner corner, double step) noexcept;

// A drag of the picture by (dx, dy) picture units: the data point under the
// pointer follows it. Offsets rounded to `step`.
ViewPlace PanView(const ViewPlace& view, double dx, double dy, OriginCorner corner,
                  double step) noexcept;

// The data's extent in picture units (zoom 1): every point a stroke, flash
// or arc inks, with the aperture's half size around it.
struct DataExtent {
    double minX, minY, maxX, maxY;
};

// 全体表示: the view that shows the whole extent centred on the width × height
// surface, with a margin of kFitMargin of the extent's size on each side.
// The zoom is rounded down to three significant digits, the offsets to
// `step`. No value for an extent that is not finite.
inline constexpr double kFitMargin = 0.05;
std::optional<ViewPlace> FitExtent(const DataExtent& extent, double width, double height,
                                   double step) noexcept;

// The distance readout from the point last clicked to the point under the
// pointer, in data coordinates, to `resolution`:
// "ΔX=0.52 ΔY=-0.3 距離=0.6003 inch".
std::string DistanceText(DataPoint from, DataPoint to, double resolution, SurfaceUnit unit);

// The raw point that ToPicture maps onto the surface point (x, y) (the
// two-decimal rounding of the bottom-left Y is not undone).
struct RawPoint {
    double x;
    double y;
};
RawPoint FromPicture(double x, double y, double scaleHeight, float drawOrigin,
                     const ViewTransform& transform) noexcept;

// Texts the commands write: the zoom factor as plain decimal ("2", "0.5",
// "0.125", "1.37": the shortest text that reads back as the same single
// precision value, never an exponent), an offset as a whole number ("-12",
// "0"), and an origin-pick offset as plain decimal ("-7.5").
std::string ZoomFactorText(float zoom);
std::string OffsetText(double roundedOffset);
std::string DecimalOffsetText(double offset);

// The number in an offset box; a box that holds no number counts as 0.
double OffsetBoxValue(std::string_view text) noexcept;

}  // namespace mutaplot
