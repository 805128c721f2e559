// mutaplot-cli import: lays a CAD aperture report over the aperture list and
// saves the result as an .apt file.

#include "app/CliCommon.h"

#include "aperture/AptFile.h"
#include "aperture/ColmoImport.h"
#include "aperture/GerberImport.h"
#include "platform/AppPath.h"
#include "platform/AtomicFile.h"
#include "platform/WholeFile.h"

#include <iostream>

namespace mutaplot::cli {

namespace {

bool LoadApertures(const Options& options, CliPlatform& platform, ApertureTable& table) {
    const std::filesystem::path defaultFile = ApplicationFolder() / kDefaultAptFileName;
    if (options.apertureFile == defaultFile) {
        // As when the editor is first loaded; the fallback file dialog has no
        // answer on the command line, which leaves no table.
        if (LoadDefaultAptFile(ApplicationFolder(), table, platform, platform)) return true;
        ShowCheckMessage(platform, kAptCannotOpenMessage);
        return false;
    }
    const AptFileOutcome outcome = LoadAptFile(options.apertureFile, table);
    if (outcome == AptFileOutcome::Ok) return true;
    ShowCheckMessage(platform, AptFileMessage(outcome));
    if (outcome != AptFileOutcome::Damaged) ExplainUnreadableInput(options.apertureFile, kMaxSideFileBytes);
    // A damaged list keeps its complete records; the save reports it when
    // they do not reach D500.
    return outcome == AptFileOutcome::Damaged;
}

// An import that imports nothing writes nothing: the same message form and
// exit status whatever the reason.
int NothingImported(const std::filesystem::path& output, const std::string& why) {
    std::cerr << "mutaplot-cli: " << why << "何も取り込まず、" << output.string()
              << " も書き込みませんでした\n";
    return kExitFailure;
}

int RunImport(const Options& options, CliPlatform& platform) {
    const std::filesystem::path report = options.positional[0];
    const std::filesystem::path output = options.positional[1];
    const std::string shownOutput =
        output == kStandardOutputPath ? std::string("標準出力") : output.string();

    // The colmo report and an RS-274X file's %ADD have readers: any other
    // format would import nothing, so nothing is written either.
    const bool rs274x =
        options.reportFormat == kRs274xFormat || options.reportFormat == kRs274xFormatShort;
    if (options.reportFormat != kColmoFormat && !rs274x)
        return NothingImported(shownOutput,
                               "形式「" + options.reportFormat + "」の報告書は読み込めません。");
    if (!rs274x && ColmoListKindOf(report.string()) == ColmoListKind::None)
        return NothingImported(shownOutput,
                               report.string() +
                                   ": ファイル名が報告書の種類（pattern、silk、resist、power、"
                                   "holemark）で終わっていないため、");

    ApertureTable table;
    if (!LoadApertures(options, platform, table)) return kExitFailure;

    if (rs274x) {
        // Nothing imported (no file, no %ADD) is a failure: nothing written.
        const GerberImportOutcome outcome = ImportGerberApertures(report, table, platform, platform);
        if (outcome == GerberImportOutcome::CannotOpen) ExplainUnreadableInput(report);
        if (outcome != GerberImportOutcome::Imported) return kExitFailure;
    } else {
        ColmoParseResult result;
        if (!ImportCadReport(options.reportFormat, report, table, platform, platform, &result)) {
            // A layout failure's message already names the line where it stopped.
            if (result.outcome != ColmoParseResult::Outcome::LayoutError)
                ExplainUnreadableInput(report, kMaxSideFileBytes);
            return kExitFailure;
        }
        if (result.entriesWritten == 0)
            return NothingImported(shownOutput,
                                   report.string() +
                                       ": アパーチュアの記録（報告書の表）が見つからないため、");
    }

    const AptFileOutcome saved = SaveAptFile(output, table);
    if (saved != AptFileOutcome::Ok) {
        ShowCheckMessage(platform, AptFileMessage(saved));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

MUTAPLOT_CLI_COMMAND("import", "import [options] REPORT OUTPUT.apt", 2, ".apt", RunImport);

}  // namespace mutaplot::cli
