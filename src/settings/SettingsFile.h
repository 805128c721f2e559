#pragma once
// The settings file mutapl.ini: 26 lines, one value per line, CR LF.

#include "settings/ConversionSettings.h"

#include <filesystem>
#include <string>

namespace mutaplot {

inline constexpr const char* kSettingsFileName = "mutapl.ini";
inline constexpr const char* kStartupFileMessage =
    "起動に必要なファイルが見あたらない、もしくは壊れています。";

// Reads the settings file into `lines` and the fields of `settings`, line by
// line in file order. Returns false when the file is missing, unreadable or
// damaged; the fields set from lines before the failing one keep their new
// values, all later fields keep their previous values. The caller shows
// kStartupFileMessage.
bool LoadSettings(const std::filesystem::path& file, ConversionSettings& settings,
                  SettingsLines& lines);

// Puts the current field values into `lines` and replaces the file with the
// 26 lines, each ended by CR LF (written to a temporary file and renamed over
// the target). Returns false, with the file untouched, when it cannot be
// written; `lines` holds the new values either way.
bool SaveSettings(const std::filesystem::path& file, const ConversionSettings& settings,
                  SettingsLines& lines);

}  // namespace mutaplot
