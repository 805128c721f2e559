// mutaplot-cli convert: reads a photoplotter file as the main window's
// ﾌｧｲﾙを開く does, runs the conversion pass and saves the result as
// ﾌｧｲﾙを保存する does: the same bytes as the window's save.

#include "app/CliCommon.h"

// The command needs the block reader; it is registered once the reader and
// the character tables are part of the build.

#include "convert/ConversionPass.h"
#include "convert/OutputWriter.h"
#include "input/BlockReader.h"

#include <string>

namespace mutaplot::cli {

namespace {

int RunConvert(const Options& options, CliPlatform& platform) {
    ConversionSettings settings;
    if (!LoadCliSettings(options, platform, settings)) return kExitUsage;
    const std::string& inputPath = options.positional[0];
    const std::string& outputPath = options.positional[1];
    if (outputPath.empty()) {
        ShowCheckMessage(platform, kSaveFailedMessage);
        return kExitFailure;
    }
    InputBlockList input;
    ReadFault fault = ReadFault::None;
    if (ReadBlockFile(inputPath, settings, input, ReaderEntry::MainWindow, platform, platform,
                      nullptr, &fault) != ReadOutcome::Read) {
        ExplainUnreadableInput(inputPath, kMaxInputFileBytes, fault);
        return kExitFailure;
    }
    ConverterState state;
    std::string currentGCode;
    OutputBlockList output;
    if (RunConversion(input, settings, state, currentGCode, output, platform, platform, nullptr) !=
        ConvertOutcome::Converted)
        return kExitFailure;
    input.Clear();
    input.ShrinkToFit();
    return SaveConvertedFile(outputPath, output, settings, platform, platform) == SaveOutcome::Saved
               ? kExitOk
               : kExitFailure;
}

}  // namespace

MUTAPLOT_CLI_COMMAND("convert", "convert [options] INPUT OUTPUT", 2, "", RunConvert);

}  // namespace mutaplot::cli

