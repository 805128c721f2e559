#pragma once
// Writing the converted blocks (ﾌｧｲﾙを保存する): the line-break layout and the
// ASCII or EBCDIC bytes of the output file.

#include "convert/FormatHeader.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "settings/ConversionSettings.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace mutaplot {

// The save dialog's filter (one entry; no default extension is added). The
// window shows the dialog with an empty preset name, the read-only box
// hidden and a prompt before overwriting, then calls SaveConvertedFile.
inline constexpr const char* kGerberSaveFilter = "GBRﾌｧｲﾙ(*.gbr,*.g**)|*.gbr;*.g**";

inline constexpr const char* kSaveFailedMessage =
    "ファイルを保存できませんでした。保存先のフォルダ、ファイル名、空き容量を確認して下さい。";
inline constexpr const char* kEbcdicDoubleByteMessage =
    "出力データに２バイト文字が含まれているため、ＥＢＣＤＩＣで保存できません。";
inline constexpr const char* kOutputLayoutMessage =
    "出力設定の改行コードまたは文字コードが設定されていないため、保存できません。";

// The output text before any character translation: the blocks joined by the
// chosen line break (1 none, 2 LF, 3 CR, 4 CR LF). An ASCII file (outputCode
// 1) ends with CR LF (after every block for line break 4, once at the end
// otherwise); an EBCDIC file (outputCode 2) has separators only between
// blocks. No value for a line break or code outside those.
std::optional<std::string> JoinOutputText(const OutputBlockList& blocks, std::uint8_t lineBreak,
                                          std::uint8_t outputCode);

// Translates every byte through `asciiToEbcdic`. No value when the text holds
// a double-byte (Shift-JIS) character, which has no EBCDIC form; every other
// byte, 0..255, is translated on its own.
std::optional<std::string> TranslateToEbcdic(std::string_view text,
                                             const std::array<std::uint8_t, 256>& asciiToEbcdic);

enum class ComposeError { None, Layout, DoubleByte };

// The bytes of the output file for the current outputCode and lineBreak.
std::optional<std::string> ComposeOutputFile(const OutputBlockList& blocks,
                                             const ConversionSettings& settings,
                                             ComposeError* error = nullptr);

enum class SaveOutcome { Saved, Cancelled, Failed };

// Saves `blocks` to `path` (already chosen in the save dialog; empty = the
// dialog was cancelled: nothing happens). Busy pointer, one pass of pending
// events, then the file is replaced atomically: on any failure a message is
// shown, the previous file stays as it was and `blocks` is untouched. No
// message after a successful save.
SaveOutcome SaveConvertedFile(const std::filesystem::path& path, const OutputBlockList& blocks,
                              const ConversionSettings& settings, Dialogs& dialogs,
                              Pointer& pointer);

}  // namespace mutaplot
