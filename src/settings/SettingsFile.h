#pragma once
// The settings file mutapl.ini: 27 lines (a file of the first 26 still reads), one value per line, CR LF, single-byte
// (code page 932) text. Lines 1, 8 and 19 belong to no field and are carried
// through a save unchanged.

#include "settings/ConversionSettings.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace mutaplot {

inline constexpr const char* kSettingsFileName = "mutapl.ini";
inline constexpr const char* kStartupFileMessage =
    "起動に必要なファイルが見あたらない、もしくは壊れています。";
// Shown (title "確認") by 設定の保存 when the settings file cannot be written;
// the settings stay in memory and the old file stays as it was.
inline constexpr const char* kSettingsSaveFailedMessage =
    "設定ファイルを保存できませんでした。書き込みできるか確認して下さい。";

// A real settings file is a few hundred bytes; anything larger than this is
// treated as damaged rather than read into memory.
inline constexpr std::size_t kMaxSettingsFileBytes = 1 << 20;

// Reads the settings file into `lines` and the fields of `settings`, line by
// line in file order. Returns false when the file is missing, unreadable or
// damaged; the fields set from lines before the failing one keep their new
// values, all later fields keep their previous values. The caller shows
// kStartupFileMessage.
bool LoadSettings(const std::filesystem::path& file, ConversionSettings& settings,
                  SettingsLines& lines);

// Puts the current field values into `lines` and replaces the file with the
// 27 lines, each ended by CR LF (written to a temporary file and renamed over
// the target). Returns false, with the file untouched, when it cannot be
// written; `lines` holds the new values either way. The caller then shows
// kSettingsSaveFailedMessage.
bool SaveSettings(const std::filesystem::path& file, const ConversionSettings& settings,
                  SettingsLines& lines);

// The same two steps over bytes in memory (the file's whole content).
bool ParseSettingsText(std::string_view bytes, ConversionSettings& settings,
                       SettingsLines& lines);
std::string FormatSettingsText(const ConversionSettings& settings, SettingsLines& lines);

}  // namespace mutaplot
