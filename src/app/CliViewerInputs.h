#pragma once
// What `render` and `dxf` share: the block list read as the viewer's
// ファイルを開く reads it, the aperture list as the viewer loads it, and the
// viewer's controls and records set from the command-line options.

#include "app/CliCommon.h"

#include "aperture/AptFile.h"
#include "input/BlockReader.h"
#include "platform/AppPath.h"
#include "platform/WholeFile.h"
#include "settings/NumberText.h"
#include "viewer/ViewGeometry.h"

#include <iterator>
#include <string>

namespace mutaplot::cli {

// One instance of each record the viewer's walks use.
struct CliViewerRecords {
    ViewTransform transform;
    PlotState plot;
    std::string currentGCode;
    ArcGeometry arc;
    CurrentAperture aperture;
    ViewState view;
    PlotRecords Bind() { return PlotRecords{transform, plot, currentGCode, arc, aperture, view}; }
};

inline bool LoadViewerApertures(const Options& options, CliPlatform& platform, ApertureTable& table) {
    const std::filesystem::path defaultFile = ApplicationFolder() / kDefaultAptFileName;
    if (options.apertureFile == defaultFile) {
        if (LoadDefaultAptFile(ApplicationFolder(), table, platform, platform)) return true;
        ShowCheckMessage(platform, kAptCannotOpenMessage);
        return false;
    }
    const AptFileOutcome outcome = LoadAptFile(options.apertureFile, table);
    if (outcome == AptFileOutcome::Ok) return true;
    ShowCheckMessage(platform, AptFileMessage(outcome));
    if (outcome != AptFileOutcome::Damaged) ExplainUnreadableInput(options.apertureFile, kMaxSideFileBytes);
    return outcome == AptFileOutcome::Damaged;  // the complete records are kept
}

// The zoom list holds six factors; any other zoom is set directly, as the
// zoom commands do, and the list text then leaves it alone.
inline ViewControls ControlsFromOptions(const Options& options, ViewTransform& transform) {
    ViewControls controls;
    controls.zoomText = FormatDecimal(options.zoom);
    transform.zoom = static_cast<float>(options.zoom);
    for (std::size_t i = 0; i < std::size(kZoomListFactors); ++i)
        if (static_cast<double>(kZoomListFactors[i]) == options.zoom) controls.zoomText = kZoomListTexts[i];
    controls.offsetXText = FormatDecimal(options.offsetX);
    controls.offsetYText = FormatDecimal(options.offsetY);
    controls.qualityText = options.highQuality ? kQualityHighText : kQualityFastText;
    return controls;
}

// The input settings a walk of the file's own definitions reads; an explicit
// --apertures draws from that list whatever the file defines, otherwise the
// window's rule holds (the file's definitions where it has them).
inline void TakeCliApertureSource(const Options& options, const ConversionSettings& settings,
                                  ViewControls& controls) {
    TakeInputSettings(settings, controls);
    if (options.aperturesGiven) controls.apertureSource = ApertureSource::List;
}

// Settings, blocks and apertures; false (already reported) on failure.
inline bool LoadViewerInputs(const Options& options, CliPlatform& platform,
                             ConversionSettings& settings, InputBlockList& blocks,
                             ApertureTable& table, int& exitCode) {
    if (!LoadCliSettings(options, platform, settings)) {
        exitCode = kExitUsage;
        return false;
    }
    exitCode = kExitFailure;
    ReadFault fault = ReadFault::None;
    if (ReadBlockFile(options.positional[0], settings, blocks, ReaderEntry::Viewer, platform,
                      platform, nullptr, &fault) != ReadOutcome::Read) {
        ExplainUnreadableInput(options.positional[0], kMaxInputFileBytes, fault);
        return false;
    }
    return LoadViewerApertures(options, platform, table);
}

}  // namespace mutaplot::cli
