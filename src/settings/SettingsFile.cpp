// Placeholder until the settings file reader lands.
#include "settings/SettingsFile.h"

namespace mutaplot {

bool LoadSettings(const std::filesystem::path&, ConversionSettings&, SettingsLines&) {
    return false;
}

bool SaveSettings(const std::filesystem::path&, const ConversionSettings&, SettingsLines&) {
    return false;
}

}  // namespace mutaplot
