#include "export/PrintWalk.h"

#include "settings/ConversionSettings.h"
#include "viewer/ImageRendering.h"
#include "viewer/PlotWalk.h"
#include "viewer/Rendering.h"

#include <numbers>

namespace mutaplot {

namespace {

// The page maps exactly and turns angles into radians with the full π.
constexpr SurfaceMapping kPageMapping{ToPage, std::numbers::pi};

class PrintSink final : public PlotSink {
public:
    PrintSink(const PlotRecords& records, float drawOrigin, DrawingSurface& page)
        : records_(records), drawOrigin_(drawOrigin), page_(page) {}
    void Block(std::string_view dCode) override { PrintBlock(dCode, records_, drawOrigin_, page_); }
    void Arc(std::string_view gCode) override { PrintArc(gCode, records_, drawOrigin_, page_); }
    void SetPenWidth(int pixels) override { page_.SetPenWidth(pixels); }

private:
    const PlotRecords& records_;
    float drawOrigin_;
    DrawingSurface& page_;
};

}  // namespace

PicturePoint ToPage(double x, double y, double pageHeight, float drawOrigin,
                    const ViewTransform& t) noexcept {
    const double px = (x + t.offsetX) / t.countsPerUnit;
    const double down = (y + t.offsetY) / t.countsPerUnit;
    return {px, IsTopLeftOrigin(drawOrigin) ? down : pageHeight - down};
}

void PrintBlock(std::string_view dCode, const PlotRecords& records, float drawOrigin,
                DrawingSurface& page) {
    const bool stroke = dCode == "D01";
    if (!stroke && dCode != "D03") return;
    const PlotState& plot = records.plot;
    const ViewTransform& t = records.transform;
    const CurrentAperture& a = records.aperture;
    const double h = page.ScaleHeight();
    const double z = t.zoom;
    const PicturePoint p1 = ToPage(plot.xText.value_or(plot.currentX),
                                   plot.yText.value_or(plot.currentY), h, drawOrigin, t);
    const double hx = z * a.sizeX / 2;
    const double hy = z * a.sizeY / 2;

    if (stroke) {
        const PicturePoint p0 = ToPage(plot.currentX, plot.currentY, h, drawOrigin, t);
        if (a.shape == ApertureShape::Round) {
            page.Line(p0.x, p0.y, p1.x, p1.y);
        } else if (a.shape == ApertureShape::Square) {
            const auto c = SquareStrokeCorners(p0.x, p0.y, p1.x, p1.y, hx, hy);
            if (!c) return;
            {
                OnePixelPen pen(page);
                page.SetLineStyle(LineStyle::InsideSolid);
                page.FilledRectangle(c->x1, c->y1, c->x2, c->y2);
            }
            page.SetLineStyle(LineStyle::Solid);
        }
        return;
    }

    page.SetLineStyle(LineStyle::InsideSolid);
    switch (a.shape) {
    case ApertureShape::Round: {
        OnePixelPen pen(page);
        page.FilledCircle(p1.x, p1.y, z * a.sizeX / 2);
        break;
    }
    case ApertureShape::Square: {
        OnePixelPen pen(page);
        page.FilledRectangle(p1.x - hx, p1.y - hy, p1.x + hx, p1.y + hy);
        break;
    }
    case ApertureShape::ThermalAxes:
    case ApertureShape::ThermalDiagonal: {
        page.SetLineStyle(LineStyle::Solid);
        // The printer's gaps are ring width plus spoke width, not widened.
        const auto segments = ComputeThermalSegments(a, kPrintThermalGapFactor, kPageMapping.pi);
        if (!segments) break;
        const double meanRadius = z * (a.sizeX + a.sizeY) / 4;
        for (const ThermalSegment& s : *segments)
            page.Arc(p1.x, p1.y, meanRadius, Radians(s.start, kPageMapping.pi),
                     Radians(s.end, kPageMapping.pi));
        break;
    }
    }
    page.SetLineStyle(LineStyle::Solid);
}

void PrintArc(std::string_view gCode, const PlotRecords& records, float drawOrigin,
              DrawingSurface& page) {
    DrawArcOnSurface(gCode, records, drawOrigin, kPageMapping, page);
}

PrintResult RunPrint(const InputBlockList& blocks, const ApertureTable& table, PlotRecords& records,
                     const ViewControls& controls, const FileFormat& format, float drawOrigin,
                     const PrintSetting& setting, DrawingSurface& page, Dialogs& dialogs,
                     Pointer& pointer) {
    page.SetUnit(SurfaceUnit::Millimetre);
    page.SetFillStyle(FillStyle::Solid);
    page.SetFillColour(kBlack);
    // The page takes the data's unit before the first call that a trace
    // records, so the trace's surface line gives the page in the unit of
    // the calls that follow (inches for inch data).
    PrepareSurfaceWalk(controls, format, records, page);
    page.SetDrawMode(DrawMode::Blackness);
    if (setting.negative()) {
        const double margin = page.Unit() == SurfaceUnit::Inch ? kNegativeMarginMm / kMillimetresPerInch
                                                                : kNegativeMarginMm;
        page.FilledRectangle(margin, margin, page.ScaleWidth() - margin,
                             page.ScaleHeight() - margin);
        page.SetFillColour(kWhite);
        page.SetDrawColour(kWhite);
        page.SetDrawMode(DrawMode::Whiteness);
    }
    // Strokes before the first aperture selection use the current aperture's
    // width at the printer's density.
    if (IsHighQuality(records.view))
        page.SetPenWidth(AperturePenWidth(records.aperture, records.transform));
    BusyPointer busy(pointer);
    if (blocks.blockCount() == 0) {
        ShowCheckMessage(dialogs, kNoPrintFileMessage);
        return PrintResult::NoData;
    }
    if (DrawsFileApertures(blocks, controls)) {
        SurfaceImageSink sink(records.transform, drawOrigin, page);
        gerber::WalkImage(blocks, controls.inputSeparator,
                          ImageViewOf(records.transform, format), sink,
                          dialogs);
        page.SetPolarity(InkPolarity::Dark);
        pointer.SetPointer(PointerShape::Arrow);
        return PrintResult::Printed;
    }
    PrintSink sink(records, drawOrigin, page);
    const WalkEnd end = WalkBlocks(blocks, table, records, kPrintWalkRules, sink, dialogs);
    pointer.SetPointer(PointerShape::Arrow);
    return end == WalkEnd::Relative ? PrintResult::Stopped : PrintResult::Printed;
}

}  // namespace mutaplot
