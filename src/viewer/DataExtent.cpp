#include "viewer/DataExtent.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace mutaplot {

namespace {

// The walk's messages belong to the display pass; the extent walk is silent.
class SilentDialogs final : public Dialogs {
public:
    MessageAnswer ShowMessage(const std::string&, const std::string&, MessageButtons) override {
        return MessageAnswer::Ok;
    }
    std::string OpenFileName(const std::string&, FileDialogFlags) override { return {}; }
    std::string SaveFileName(const std::string&, FileDialogFlags) override { return {}; }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return std::nullopt; }
    bool PrinterSetup() override { return false; }
    void ShowHelp(const std::string&) override {}
};

class ExtentSink final : public PlotSink {
public:
    ExtentSink(const PlotRecords& records, double countsPerUnit)
        : r_(records), counts_(countsPerUnit) {}

    void Block(std::string_view dCode) override {
        const PlotState& p = r_.plot;
        const double endX = p.xText.value_or(p.currentX);
        const double endY = p.yText.value_or(p.currentY);
        if (dCode == "D01") {
            Add(p.currentX, p.currentY, Allowance());
            Add(endX, endY, Allowance());
        } else if (dCode == "D03") {
            Add(endX, endY, Allowance());
        }
    }
    void Arc(std::string_view gCode) override {
        if (gCode != "G02" && gCode != "G03") return;
        const ArcGeometry& a = r_.arc;
        Add(a.centreX, a.centreY, std::abs(a.radius) / counts_ + Allowance());
    }
    void SetPenWidth(int) override {}

    std::optional<DataExtent> extent() const {
        if (!any_) return std::nullopt;
        return e_;
    }

private:
    // Half the aperture's larger size (the outer diameter of a thermal).
    double Allowance() const {
        const CurrentAperture& a = r_.aperture;
        const double size = std::max(std::abs(a.sizeX), std::abs(a.sizeY));
        return std::isfinite(size) ? size / 2 : 0.0;
    }
    // A raw point with a margin in picture units.
    void Add(double rawX, double rawY, double margin) {
        const double x = rawX / counts_, y = rawY / counts_;
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(margin)) return;
        if (!any_) e_ = {x, y, x, y};
        any_ = true;
        e_.minX = std::min(e_.minX, x - margin);
        e_.maxX = std::max(e_.maxX, x + margin);
        e_.minY = std::min(e_.minY, y - margin);
        e_.maxY = std::max(e_.maxY, y + margin);
    }

    const PlotRecords& r_;
    double counts_;
    DataExtent e_{};
    bool any_ = false;
};

}  // namespace

std::optional<DataExtent> WalkDataExtent(const InputBlockList& blocks, const ApertureTable& table,
                                         const PlotRecords& records, const FileFormat& format) {
    const double counts = 1.0 / DataResolution(format);
    if (!format.known() || blocks.blockCount() == 0) return std::nullopt;
    // Copies: the walk below must not move the viewer's own state.
    ViewTransform transform = records.transform;
    PlotState plot = records.plot;
    std::string gCode = records.currentGCode;
    ArcGeometry arc = records.arc;
    CurrentAperture aperture = records.aperture;
    ViewState view = records.view;
    PlotRecords copy{transform, plot, gCode, arc, aperture, view};
    PrepareWalk(ViewControls{}, format, copy);
    ExtentSink sink(copy, counts);
    SilentDialogs silent;
    WalkBlocks(blocks, table, copy, kDisplayWalkRules, sink, silent);
    return sink.extent();
}

}  // namespace mutaplot
