// mutaplot-cli print: prints the data on one page as the viewer's 印刷 does,
// into a PDF file: at the viewer's scale (not fitted to the paper), the
// data's origin at a corner of the page, positive or negative.

// The command needs the block reader and the aperture list files.

#include "app/CliViewerInputs.h"

#include "export/PrintPage.h"
#include "platform/AtomicFile.h"

#include <optional>

namespace mutaplot::cli {

namespace {

inline constexpr const char* kPrintTraceWriteMessage =
    "描画トレースのファイルを書き込めませんでした。保存先を確認して下さい。";

QPageSize PaperOf(const std::string& name) {
    if (name == "A3") return QPageSize(QPageSize::A3);
    if (name == "Letter") return QPageSize(QPageSize::Letter);
    return QPageSize(QPageSize::A4);
}

int RunPrintCommand(const Options& options, CliPlatform& platform) {
    ConversionSettings settings;
    InputBlockList blocks;
    ApertureTable table;
    int exitCode = kExitOk;
    if (!LoadViewerInputs(options, platform, settings, blocks, table, exitCode)) return exitCode;

    CliViewerRecords records;
    PlotRecords bound = records.Bind();
    ViewControls controls = ControlsFromOptions(options, records.transform);
    TakeCliApertureSource(options, settings, controls);
    // The drawing mode the viewer's last display pass would have read.
    ReadDrawQuality(controls.qualityText, records.view);
    PrintSetting setting;
    setting.printNegative = options.negative ? 1 : 0;
    PrintJob job{blocks, table, bound, controls, ScanFileFormat(blocks, settings),
                 settings.drawOrigin, setting, {}};
    std::optional<AtomicFileWriter> traceFile;
    if (!options.traceFile.empty()) {
        traceFile.emplace(options.traceFile);
        job.trace = [&traceFile](std::string_view text) { traceFile->Write(text); };
    }
    const QPageLayout layout =
        PdfPageLayout(PaperOf(options.paper),
                      options.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    const PrintOutcome outcome =
        PrintToPdf(options.positional[1], layout, job, platform, platform);
    if (outcome == PrintOutcome::NoData || outcome == PrintOutcome::Failed) return kExitFailure;
    if (traceFile && !traceFile->Commit()) {
        ShowCheckMessage(platform, kPrintTraceWriteMessage);
        return kExitFailure;
    }
    // Relative data ("G91"): as in the viewer and in render, the page of the
    // blocks before it is printed and the message is a warning.
    return kExitOk;
}

}  // namespace

MUTAPLOT_CLI_COMMAND("print", "print [options] INPUT OUTPUT.pdf", 2, ".pdf", RunPrintCommand);

}  // namespace mutaplot::cli
