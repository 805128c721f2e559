// mutaplot-cli print: prints the data on one page as the viewer's 印刷 does,
// into a PDF file: at the viewer's scale (not fitted to the paper), the
// data's origin at a corner of the page, positive or negative.

// The command needs the block reader and the aperture list files.

#include "app/CliViewerInputs.h"

#include "export/PrintPage.h"

namespace mutaplot::cli {

namespace {

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
    const ViewControls controls = ControlsFromOptions(options, records.transform);
    // The drawing mode the viewer's last display pass would have read.
    ReadDrawQuality(controls.qualityText, records.view);
    PrintSetting setting;
    setting.printNegative = options.negative ? 1 : 0;
    const PrintJob job{blocks, table, bound, controls, settings.inputFormat, settings.drawOrigin,
                       setting};
    const QPageLayout layout =
        PdfPageLayout(PaperOf(options.paper),
                      options.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    const PrintOutcome outcome =
        PrintToPdf(options.positional[1], layout, job, platform, platform);
    // Relative data: the page of the blocks before "G91" is written, but the
    // print failed.
    return outcome == PrintOutcome::Printed ? kExitOk : kExitFailure;
}

}  // namespace

MUTAPLOT_CLI_COMMAND("print", "print [options] INPUT OUTPUT.pdf", 2, RunPrintCommand);

}  // namespace mutaplot::cli
