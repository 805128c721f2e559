#pragma once
// The application object: one instance of each process-wide record, created
// in main() and alive for the whole process. Windows and operations receive
// references to the records they use; a test creates its own instance.

#include "convert/CoordinateWords.h"
#include "convert/FormatHeader.h"
#include "input/BlockList.h"
#include "settings/ConversionSettings.h"

#include <filesystem>
#include <string>

namespace mutaplot {

struct AppState {
    ConversionSettings settings;
    SettingsLines settingsLines;
    InputBlockList inputBlockList;
    OutputBlockList outputBlockList;
    ConverterState converterState;
    // The current G code, shared by the conversion pass (which resets it)
    // and the viewer's display pass (which does not).
    std::string currentGCode;
    // The program folder: settings file, help files and data files.
    std::filesystem::path appPath;
};

}  // namespace mutaplot
