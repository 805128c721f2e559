#pragma once
// The application object: one instance of each process-wide record, created
// in main() and alive for the whole process. Windows and operations receive
// references to the records they use; a test creates its own instance.

#include "aperture/ApertureTable.h"
#include "convert/CoordinateWords.h"
#include "convert/FormatHeader.h"
#include "export/PrintWalk.h"
#include "input/BlockList.h"
#include "settings/ConversionSettings.h"
#include "viewer/ViewGeometry.h"

#include <filesystem>
#include <string>

namespace mutaplot {

struct AppState {
    ConversionSettings settings;
    SettingsLines settingsLines;
    InputBlockList inputBlockList;
    // The file the input list was last read from; empty when none is loaded
    // (before the first read, after 入力データのクリア). Both window titles name it.
    std::filesystem::path inputFileName;
    OutputBlockList outputBlockList;
    ConverterState converterState;
    // The current G code, shared by the conversion pass (which resets it)
    // and the viewer's display pass (which does not).
    std::string currentGCode;
    // The program's data folder: default settings file, help files and data files.
    std::filesystem::path appPath;
    // The user's configuration folder: its mutapl.ini is read first when it
    // exists, and 設定の保存 writes there. Empty: the settings file of
    // appPath is read and written (the tests).
    std::filesystem::path userConfigFolder;

    // The one aperture table. The aperture editor shows and edits it; when the
    // editor is unloaded by its ｷｬﾝｾﾙ the table is emptied (loaded false) and
    // the next access loads the default list again.
    ApertureTable apertureTable;

    // The viewer's records, shared by the screen, printer and DXF walks. They
    // survive the viewer window's unload.
    ViewTransform viewTransform;
    PlotState plotState;
    ArcGeometry arcGeometry;
    CurrentAperture currentAperture;
    ViewState viewState;
    PrintSetting printSetting;  // in memory only

    PlotRecords BindPlotRecords() {
        return PlotRecords{viewTransform, plotState, currentGCode, arcGeometry, currentAperture,
                           viewState};
    }
};

}  // namespace mutaplot
