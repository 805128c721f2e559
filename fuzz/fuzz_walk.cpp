// Fuzzes the one walk over the block list onto its three sinks: the display
// pass onto a small pixel picture, the print walk onto a page and the DXF
// text. The first bytes choose the view controls (zoom factors of 0, below 0,
// tiny, huge, infinite or undefined; offset texts that are no numbers), the
// quality, the input format, the drawing origin, the DXF options and an
// aperture table whose sizes and shapes may be anything (thermals whose ring
// cannot be built included); the rest is cut into blocks at "*" and LF.
//
// Checks that the display pass writes no pixel outside the picture, that the
// DXF text ends with its trailer, and that no number line of it reads "nan"
// or "inf".

#include "export/DxfExport.h"
#include "export/PrintWalk.h"
#include "viewer/PixelRaster.h"
#include "viewer/Rendering.h"
#include "settings/NumberText.h"
#include "viewer/SurfaceBase.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace mutaplot;

// The screen picture: the raster of the viewer's surface over a buffer with
// guard pixels around it; the calls reach the raster as from the Qt image
// surface.
class RasterSurface final : public SurfaceBase {
public:
    static constexpr int kWidth = 61;
    static constexpr int kHeight = 43;
    static constexpr int kStride = kWidth + 3;
    static constexpr std::uint32_t kGuard = 0xFF5A5A5A;

    explicit RasterSurface(double dpi)
        : SurfaceBase(kWidth, kHeight, dpi),
          buffer_(static_cast<std::size_t>(kStride * (kHeight + 2)), kGuard),
          raster_(buffer_.data() + kStride, kWidth, kHeight, kStride) {}

    void Clear() override { raster_.Fill(Pixel(backColour_)); }
    void Line(double x1, double y1, double x2, double y2) override {
        const double k = PixelsPerUnit();
        raster_.Line(x1 * k, y1 * k, x2 * k, y2 * k, penWidth_, Ink(drawColour_));
    }
    void Rectangle(double x1, double y1, double x2, double y2) override {
        const double k = PixelsPerUnit();
        raster_.Rectangle(x1 * k, y1 * k, x2 * k, y2 * k, penWidth_, Ink(drawColour_));
    }
    void FilledRectangle(double x1, double y1, double x2, double y2) override {
        const double k = PixelsPerUnit();
        raster_.FilledRectangle(x1 * k, y1 * k, x2 * k, y2 * k, penWidth_, Ink(drawColour_));
    }
    void Circle(double cx, double cy, double r) override {
        const double k = PixelsPerUnit();
        raster_.Circle(cx * k, cy * k, r * k, penWidth_, Ink(drawColour_));
    }
    void FilledCircle(double cx, double cy, double r) override {
        const double k = PixelsPerUnit();
        raster_.FilledCircle(cx * k, cy * k, r * k, penWidth_, Ink(drawColour_), Ink(fillColour_));
    }
    void Arc(double cx, double cy, double r, double start, double end) override {
        constexpr double kTurn = 6.283185307179586;
        double sweep = std::fmod(end - start, kTurn);
        if (sweep <= 0) sweep += kTurn;  // as the screen's surface does
        const double k = PixelsPerUnit();
        raster_.Arc(cx * k, cy * k, r * k, start, sweep, penWidth_, Ink(drawColour_));
    }

    void FilledPolygon(const FilledFigure& figure) override {
        raster_.FillFigure(figure, PixelsPerUnit(), Ink(drawColour_));
    }

    bool GuardsIntact() const {
        for (std::size_t i = 0; i < buffer_.size(); ++i) {
            const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(i) - kStride;
            const bool inside = offset >= 0 && offset < kStride * kHeight && offset % kStride < kWidth;
            if (!inside && buffer_[i] != kGuard) return false;
        }
        return true;
    }

private:
    static std::uint32_t Pixel(SurfaceColour c) { return 0xFF000000u | (c & 0xFFFFFFu); }
    PixelInk Ink(SurfaceColour c) const {
        return {Pixel(InkOf(c)), mode_ == DrawMode::Xor ? PixelOp::Xor : PixelOp::Copy};
    }
    std::vector<std::uint32_t> buffer_;
    PixelRaster raster_;
};

// A printer page that keeps a sum of what it is handed.
class RecordingPage final : public SurfaceBase {
public:
    RecordingPage() : SurfaceBase(4960, 7016, 600) {}
    void Clear() override { ++calls; }
    void Line(double a, double b, double c, double d) override { Take(a + b + c + d); }
    void Rectangle(double a, double b, double c, double d) override { Take(a + b + c + d); }
    void FilledRectangle(double a, double b, double c, double d) override { Take(a + b + c + d); }
    void Circle(double a, double b, double r) override { Take(a + b + r); }
    void FilledCircle(double a, double b, double r) override { Take(a + b + r); }
    void Arc(double a, double b, double r, double s, double e) override { Take(a + b + r + s + e); }
    void FilledPolygon(const FilledFigure& f) override {
        for (const SurfacePoint& p : f.points) Take(p.x + p.y);
    }
    std::size_t calls = 0;
    double sum = 0;

private:
    void Take(double v) {
        ++calls;
        sum += v + penWidth_;
    }
};

class QuietPlatform final : public Dialogs, public Pointer {
public:
    MessageAnswer ShowMessage(const std::string&, const std::string&, MessageButtons) override {
        ++messages;
        return MessageAnswer::Ok;
    }
    std::string OpenFileName(const std::string&, FileDialogFlags) override { return {}; }
    std::string SaveFileName(const std::string&, FileDialogFlags) override { return {}; }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return std::nullopt; }
    bool PrinterSetup() override { return true; }
    void ShowHelp(const std::string&) override {}
    void SetPointer(PointerShape) override {}
    void ProcessPendingEvents() override {}
    std::size_t messages = 0;
};

constexpr float kZooms[] = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 5.0f, 0.0f, -1.0f, -0.5f, 1e-45f,
                            1e-20f, 3.4e38f, 1e30f, std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(), 1.0f};
const char* const kOffsets[] = {"0", "100", "-2500", "abc", "", "nan", "inf", "1e308",
                                "-1e308", "1e-320", "12.5x", "-", ".", "99999999999999999999999",
                                " 7", "+3"};
const char* const kSizes[] = {"0", "0.1", "0.5", "1", "2.54", "10", "-1", "-0.3",
                              "", "abc", "1e308", "nan", "inf", "0.00001", "100000", "3x"};
const char* const kShapes[] = {kShapeRound, kShapeRectangle, kShapeThermalAxes,
                               kShapeThermalDiagonal, "", "?", kShapeThermalAxes,
                               kShapeThermalDiagonal};
const char* const kZoomTexts[] = {"０％", "-100%", "abc", ""};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 7;
    if (size < kHeader) return 0;
    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };

    // View controls.
    const std::uint8_t zoomByte = next();
    const float zoom = kZooms[zoomByte % 16];
    ViewControls controls;
    if (zoomByte & 0x80) controls.zoomText = kZoomTexts[(zoomByte >> 4) % 4];
    else controls.zoomText = zoomByte % 16 < 6 ? kZoomListTexts[zoomByte % 16] : FormatDecimal(zoom);
    controls.offsetXText = kOffsets[next() % 16];
    controls.offsetYText = kOffsets[next() % 16];
    const std::uint8_t quality = next();
    controls.qualityText = quality & 2 ? "??" : quality & 1 ? kQualityFastText : kQualityHighText;
    const std::uint8_t formatByte = next();
    const int inputFormat = formatByte % 13;  // 0 and 12: no format
    const float drawOrigin = formatByte & 0x10 ? 1.0f : formatByte & 0x20 ? 0.5f : 0.0f;
    const double dpi = formatByte & 0x40 ? 1 + formatByte % 7 : 96;
    const std::uint8_t dxfByte = next();
    const DxfOptions dxf{(dxfByte & 1) != 0, (dxfByte & 2) != 0};
    const PrintSetting print{dxfByte & 4 ? 1 : 0};

    // Aperture table.
    ApertureTable table;
    table.loaded = true;
    const std::size_t entries = next();
    for (std::size_t i = 0; i < entries && at + 4 <= size; ++i) {
        ApertureEntry e;
        e.label = "D" + std::to_string(i + kFirstDCode);
        e.sizeX = kSizes[next() % 16];
        e.sizeY = kSizes[next() % 16];
        e.connectWidth = kSizes[next() % 16];
        e.shape = kShapes[next() % 8];
        table.entries.push_back(std::move(e));
    }

    // Blocks.
    InputBlockList blocks;
    std::string_view text(reinterpret_cast<const char*>(data + at), size - at);
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("*\n");
        blocks.Append(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }

    // One set of records for the three walks, as in the viewer.
    ViewTransform transform;
    transform.zoom = zoom;
    PlotState plot;
    std::string currentGCode;
    ArcGeometry arc;
    CurrentAperture aperture;
    ViewState view;
    PlotRecords records{transform, plot, currentGCode, arc, aperture, view};
    QuietPlatform platform;

    // The file's own format: the settings' code and zero mode, overridden by
    // the file's first %FS and %MO.
    ConversionSettings settings;
    settings.inputFormat = static_cast<std::uint8_t>(inputFormat);
    settings.inputZeroMode = static_cast<std::uint8_t>(dxfByte >> 3 & 3);
    const FileFormat format = ScanFileFormat(blocks, settings);

    RasterSurface screen(dpi);
    RunDisplayPass(blocks, table, records, controls, format, drawOrigin, screen, platform,
                   platform);
    if (!screen.GuardsIntact()) std::abort();

    RecordingPage page;
    RunPrint(blocks, table, records, controls, format, drawOrigin, print, page, platform,
             platform);

    const std::vector<std::string> templateLines = {"0", "SECTION", "2", "ENTITIES"};
    const std::string dxfText =
        BuildDxfText(templateLines, blocks, table, records, controls, format, dxf, platform);
    if (!std::string_view(dxfText).ends_with(kDxfTrailer)) std::abort();
    for (std::string_view bad : {"\r\nnan", "\r\n-nan", "\r\ninf", "\r\n-inf"})
        if (dxfText.find(bad) != std::string::npos) std::abort();
    return 0;
}
