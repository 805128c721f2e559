#include "viewer/Rendering.h"

#include "viewer/ImageRendering.h"

#include <cmath>

namespace mutaplot {

namespace {

// The screen's thermal drawing works on the arc record itself: each ring
// segment's angles are stored in ArcGeometry before it is drawn, so after a
// thermal flash the record holds the last segment's angles. An arc whose
// start or end vector is zero keeps the previous angle (ArcStartAngle,
// ArcEndAngle), so on screen such an arc after a thermal takes that
// segment's angle; the printer and the DXF export leave the record alone.
void LeaveThermalAnglesInArc(ArcGeometry& arc, const ThermalSegment& segment) noexcept {
    arc.startAngle = segment.start;
    arc.endAngle = segment.end;
}

void DrawThermal(PlotRecords& records, PicturePoint at, DrawingSurface& surface) {
    const CurrentAperture& a = records.aperture;
    const auto segments = ComputeThermalSegments(a, kScreenThermalGapFactor, kScreenPi);
    if (!segments) return;
    const double meanRadius = (a.sizeX + a.sizeY) / 4 * records.transform.zoom;
    for (const ThermalSegment& s : *segments) {
        LeaveThermalAnglesInArc(records.arc, s);
        surface.Arc(at.x, at.y, meanRadius, Radians(s.start, kScreenPi), Radians(s.end, kScreenPi));
    }
}

class DisplaySink final : public PlotSink {
public:
    DisplaySink(PlotRecords& records, float drawOrigin, DrawingSurface& surface)
        : records_(records), drawOrigin_(drawOrigin), surface_(surface) {}
    void Block(std::string_view dCode) override { DrawBlock(dCode, records_, drawOrigin_, surface_); }
    void Arc(std::string_view gCode) override { DrawArc(gCode, records_, drawOrigin_, surface_); }
    void SetPenWidth(int pixels) override { surface_.SetPenWidth(pixels); }

private:
    PlotRecords& records_;
    float drawOrigin_;
    DrawingSurface& surface_;
};

}  // namespace

std::optional<ThermalSegments> ComputeThermalSegments(const CurrentAperture& a, double gapFactor,
                                                      double pi) {
    if (!IsThermal(a.shape)) return std::nullopt;
    const double gap = ((a.sizeY - a.sizeX) * 2 + a.connectWidth * 4) * gapFactor;
    const double circumference = (a.sizeX + a.sizeY) / 4 * 2 * pi;
    const double arc = (circumference - gap) * 360 / circumference / 4;
    if (!std::isfinite(arc) || !(arc > 0) || arc > 90) return std::nullopt;
    const double halfGap = (90 - arc) / 2;
    ThermalSegments out{};
    double start = a.shape == ApertureShape::ThermalAxes ? halfGap : 360 - arc / 2;
    double end = a.shape == ApertureShape::ThermalAxes ? halfGap + arc : arc / 2;
    for (ThermalSegment& s : out) {
        s = {start, end};
        start = end + 2 * halfGap;
        end = start + arc;
    }
    return out;
}

std::optional<RectangleCorners> SquareStrokeCorners(double x0, double y0, double x1, double y1,
                                                    double hx, double hy) noexcept {
    if (y1 < y0 || (y1 == y0 && x0 < x1)) return RectangleCorners{x0 - hx, y0 + hy, x1 + hx, y1 - hy};
    if (y1 > y0 || (y1 == y0 && x0 > x1)) return RectangleCorners{x1 - hx, y1 + hy, x0 + hx, y0 - hy};
    return std::nullopt;
}

void DrawBlock(std::string_view dCode, PlotRecords& records, float drawOrigin,
               DrawingSurface& surface) {
    const bool high = IsHighQuality(records.view);
    if (!high && !IsFastQuality(records.view)) return;
    const bool stroke = dCode == "D01";
    const bool flash = dCode == "D03";
    if (high) {
        surface.SetFillStyle(FillStyle::Solid);
    } else {
        surface.SetPenWidth(1);
        surface.SetFillStyle(FillStyle::Transparent);
    }
    if (!stroke && !flash) return;

    const PlotState& plot = records.plot;
    const ViewTransform& t = records.transform;
    const CurrentAperture& a = records.aperture;
    const double h = surface.ScaleHeight();
    const PicturePoint p1 = ToPicture(plot.xText.value_or(plot.currentX),
                                      plot.yText.value_or(plot.currentY), h, drawOrigin, t);
    const double z = t.zoom;
    const double hx = a.sizeX / 2 * z;
    const double hy = a.sizeY / 2 * z;

    if (stroke) {
        const PicturePoint p0 = ToPicture(plot.currentX, plot.currentY, h, drawOrigin, t);
        if (a.shape == ApertureShape::Round) {
            surface.Line(p0.x, p0.y, p1.x, p1.y);
        } else if (a.shape == ApertureShape::Square) {
            const auto c = SquareStrokeCorners(p0.x, p0.y, p1.x, p1.y, hx, hy);
            if (!c) return;
            if (high) {
                OnePixelPen pen(surface);
                surface.FilledRectangle(c->x1, c->y1, c->x2, c->y2);
            } else {
                surface.Rectangle(c->x1, c->y1, c->x2, c->y2);
            }
        }
        return;
    }

    // Flash at the block's end point.
    switch (a.shape) {
    case ApertureShape::Round: {
        const double r = a.sizeX / 2 * z;
        if (high) {
            OnePixelPen pen(surface);
            surface.FilledCircle(p1.x, p1.y, r);
        } else {
            surface.Circle(p1.x, p1.y, r);
        }
        break;
    }
    case ApertureShape::Square:
        if (high) {
            OnePixelPen pen(surface);
            surface.FilledRectangle(p1.x - hx, p1.y - hy, p1.x + hx, p1.y + hy);
        } else {
            surface.Rectangle(p1.x - hx, p1.y - hy, p1.x + hx, p1.y + hy);
        }
        break;
    case ApertureShape::ThermalAxes:
    case ApertureShape::ThermalDiagonal:
        DrawThermal(records, p1, surface);
        break;
    }
}

void DrawArc(std::string_view gCode, const PlotRecords& records, float drawOrigin,
             DrawingSurface& surface) {
    DrawArcOnSurface(gCode, records, drawOrigin, kScreenMapping, surface);
}

void DrawArcOnSurface(std::string_view gCode, const PlotRecords& records, float drawOrigin,
                      const SurfaceMapping& mapping, DrawingSurface& surface) {
    const bool clockwise = gCode == "G02";
    if (!clockwise && gCode != "G03") return;
    const ArcGeometry& arc = records.arc;
    const ViewTransform& t = records.transform;
    const PicturePoint c =
        mapping.toSurface(arc.centreX, arc.centreY, surface.ScaleHeight(), drawOrigin, t);
    const double radius = arc.radius / t.countsPerUnit;
    double from = 0, to = 0;
    if (IsTopLeftOrigin(drawOrigin)) {  // mirrored top to bottom
        from = clockwise ? 360 - arc.startAngle : 360 - arc.endAngle;
        to = clockwise ? 360 - arc.endAngle : 360 - arc.startAngle;
    } else {
        from = clockwise ? arc.endAngle : arc.startAngle;
        to = clockwise ? arc.startAngle : arc.endAngle;
    }
    surface.Arc(c.x, c.y, radius, Radians(from, mapping.pi), Radians(to, mapping.pi));
}

void PrepareSurfaceWalk(const ViewControls& controls, const FileFormat& format, PlotRecords& records,
                        DrawingSurface& surface) {
    records.transform.pixelsPerMm = PixelsPerMm(surface);
    PrepareWalk(controls, format, records);
    surface.SetUnit(records.transform.pictureUnit);
}

DisplayPassResult RunDisplayPass(const InputBlockList& blocks, const ApertureTable& table,
                                 PlotRecords& records, const ViewControls& controls,
                                 const FileFormat& format, float drawOrigin, DrawingSurface& surface,
                                 Dialogs& dialogs, Pointer& pointer) {
    ReadDrawQuality(controls.qualityText, records.view);
    surface.Clear();
    PrepareSurfaceWalk(controls, format, records, surface);
    BusyPointer busy(pointer);
    if (blocks.blockCount() == 0) {
        ShowCheckMessage(dialogs, kNoDisplayFileMessage);
        return DisplayPassResult::NoData;
    }
    if (DrawsFileApertures(blocks, controls)) {
        SurfaceImageSink sink(records.transform, drawOrigin, surface);
        gerber::WalkImage(blocks, controls.inputSeparator,
                          ImageViewOf(records.transform, format), sink,
                          dialogs);
        surface.SetPolarity(InkPolarity::Dark);
        pointer.SetPointer(PointerShape::Arrow);
        records.view.viewDrawn = kViewDrawn;
        return DisplayPassResult::Completed;
    }
    DisplaySink sink(records, drawOrigin, surface);
    if (WalkBlocks(blocks, table, records, kDisplayWalkRules, sink, dialogs) == WalkEnd::Relative)
        return DisplayPassResult::Stopped;
    pointer.SetPointer(PointerShape::Arrow);
    records.view.viewDrawn = kViewDrawn;
    return DisplayPassResult::Completed;
}

}  // namespace mutaplot
