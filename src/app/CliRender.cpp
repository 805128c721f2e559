// mutaplot-cli render: draws the data as the viewer's 実行(&R) does, onto an
// image of the given size in picture units, and saves it as PNG.

// The command needs the block reader and the aperture list files.

#include "app/CliViewerInputs.h"

#include "platform/AtomicFile.h"
#include "platform/OncePerWalkDialogs.h"
#include "viewer/QImageSurface.h"
#include "viewer/Rendering.h"
#include "viewer/TracingSurface.h"

#include <QBuffer>
#include <QByteArray>

#include <cmath>
#include <optional>

namespace mutaplot::cli {

namespace {

inline constexpr const char* kImageWriteMessage =
    "画像ファイルを書き込めませんでした。保存先を確認して下さい。";
inline constexpr const char* kTraceWriteMessage =
    "描画トレースのファイルを書き込めませんでした。保存先を確認して下さい。";
// Larger pictures would need gigabytes of memory.
constexpr double kMaxPixelsPerSide = 16384;

int RunRender(const Options& options, CliPlatform& platform) {
    ConversionSettings settings;
    InputBlockList blocks;
    ApertureTable table;
    int exitCode = kExitOk;
    if (!LoadViewerInputs(options, platform, settings, blocks, table, exitCode)) return exitCode;

    // The picture is in the data's unit: millimetres, or inches for inch
    // formats (the file's own format where it states one).
    const FileFormat format = ScanFileFormat(blocks, settings);
    const bool inch = format.known() && format.pictureUnit() == SurfaceUnit::Inch;
    const double pixelsPerUnit = (inch ? kTwipsPerInch : kTwipsPerMm) / (kTwipsPerInch / options.dpi);
    // Without --size the picture is 200 x 150 mm, also for inch data (where
    // 200 x 150 picture units would be a picture of several metres).
    const double unitsPerDefault = (inch && !options.sizeGiven) ? 1.0 / kMillimetresPerInch : 1.0;
    const double width = std::round(options.width * unitsPerDefault * pixelsPerUnit);
    const double height = std::round(options.height * unitsPerDefault * pixelsPerUnit);
    if (width < 1 || height < 1 || width > kMaxPixelsPerSide || height > kMaxPixelsPerSide) {
        std::fprintf(stderr, "mutaplot-cli: --size and --dpi give %.0f x %.0f pixels (1 to %.0f a side)\n",
                     width, height, kMaxPixelsPerSide);
        return kExitUsage;
    }

    CliViewerRecords records;
    PlotRecords bound = records.Bind();
    ViewControls controls = ControlsFromOptions(options, records.transform);
    TakeCliApertureSource(options, settings, controls);
    QImageSurface surface(static_cast<int>(width), static_cast<int>(height), options.dpi);
    // The pass sets the same unit after its clear; set now, the trace's
    // first line already gives the picture's size in it.
    surface.SetUnit(inch ? SurfaceUnit::Inch : SurfaceUnit::Millimetre);
    std::optional<AtomicFileWriter> traceFile;
    std::optional<TracingSurface> tracing;
    if (!options.traceFile.empty()) {
        traceFile.emplace(options.traceFile);
        tracing.emplace(surface, [&traceFile](std::string_view text) { traceFile->Write(text); });
    }
    DrawingSurface& drawn = tracing ? static_cast<DrawingSurface&>(*tracing) : surface;
    OncePerWalkDialogs walkDialogs(platform);
    const DisplayPassResult result =
        RunDisplayPass(blocks, table, bound, controls, format, settings.drawOrigin, drawn,
                       walkDialogs, platform);
    if (result == DisplayPassResult::NoData) return kExitFailure;

    // The PNG says its --dpi, so that it prints at the size drawn.
    QImage image = surface.Image();
    constexpr double kInchesPerMetre = 1000.0 / kMillimetresPerInch;
    const int dotsPerMetre = static_cast<int>(std::lround(options.dpi * kInchesPerMetre));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG") ||
        !WriteFileAtomically(options.positional[1], std::string_view(png.constData(), static_cast<std::size_t>(png.size())))) {
        ShowCheckMessage(platform, kImageWriteMessage);
        return kExitFailure;
    }
    if (tracing) {
        tracing->Flush();
        if (!traceFile->Commit()) {
            ShowCheckMessage(platform, kTraceWriteMessage);
            return kExitFailure;
        }
    }
    // Relative data ("G91"): as in the viewer, the drawing so far stays with
    // the message, which was a warning on standard error.
    return kExitOk;
}

}  // namespace

MUTAPLOT_CLI_COMMAND("render", "render [options] INPUT OUTPUT.png", 2, ".png", RunRender);

}  // namespace mutaplot::cli

