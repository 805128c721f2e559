// mutaplot-cli dxf: exports the data as the viewer's DXF出力 does, with the
// DXF options of the settings (dxfFormat, dxfLineWidth).

// The command needs the block reader and the aperture list files.

#include "app/CliViewerInputs.h"

#include "export/DxfExport.h"
#include "platform/OncePerWalkDialogs.h"

namespace mutaplot::cli {

namespace {

int RunDxf(const Options& options, CliPlatform& platform) {
    ConversionSettings settings;
    InputBlockList blocks;
    ApertureTable table;
    int exitCode = kExitOk;
    if (!LoadViewerInputs(options, platform, settings, blocks, table, exitCode)) return exitCode;

    CliViewerRecords records;
    PlotRecords bound = records.Bind();
    ViewControls controls = ControlsFromOptions(options, records.transform);
    TakeCliApertureSource(options, settings, controls);
    std::vector<std::string> templateBuffer;
    platform.fileAnswers.clear();
    platform.fileAnswers.push_back(options.positional[1]);
    OncePerWalkDialogs walkDialogs(platform);  // a repeated problem is told once
    const DxfExportResult result =
        RunDxfExport(blocks, table, bound, controls, settings, ApplicationFolder(), templateBuffer,
                     walkDialogs, platform);
    return result == DxfExportResult::Written ? kExitOk : kExitFailure;
}

}  // namespace

MUTAPLOT_CLI_COMMAND("dxf", "dxf [options] INPUT OUTPUT.dxf", 2, ".dxf", RunDxf);

}  // namespace mutaplot::cli

