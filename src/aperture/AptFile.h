#pragma once
// Aperture list files (".apt"): CP932 text, five fields per record (label,
// sizeX, sizeY, connectWidth, shape). Reading takes the fields five at a time
// in file order; a line end separates fields just as a comma does. Saving
// writes 491 records of five quoted fields joined by commas, each ended by
// CR LF, through an atomic replace.

#include "aperture/ApertureTable.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mutaplot {

// Name of the default list in the program folder.
inline constexpr const char* kDefaultAptFileName = "fast.apt";

// Filter of the file dialogs that choose an aperture list.
inline constexpr const char* kAptFileFilter = "APTﾌｧｲﾙ(*.apt)|*.apt";
// Title of the dialog that asks for a list when the default one is missing.
inline constexpr const char* kAptOpenTitle = "アパーチュア・リストを開く";

// Before that dialog: why it asks, naming the default list and where it was
// looked for (title "確認", OK).
std::string DefaultAptMissingMessage(const std::filesystem::path& defaultFile);
std::string DefaultAptDamagedMessage(const std::filesystem::path& defaultFile);

// Messages of the table check (title "確認", OK).
inline constexpr const char* kCheckEmptyFieldMessage =
    "Ｄコード確認中エラーが発生しました。入力データを見直して下さい。";
inline constexpr const char* kCheckTooFewEntriesMessage =
    "Ｄコード確認中エラーが発生しました。Ｄコードが500まである事を確認して下さい。";

// Messages of failed file operations (title "確認", OK).
inline constexpr const char* kAptCannotOpenMessage =
    "アパーチュア・リストのファイルを開けませんでした。ファイル名を確認して下さい。";
inline constexpr const char* kAptDamagedMessage =
    "アパーチュア・リストのファイルが途中で切れているか壊れています。"
    "完全なレコードまでを読み込みました。";
inline constexpr const char* kAptSaveTooFewEntriesMessage =
    "Ｄコードが500まで無いため、アパーチュア・リストを保存できませんでした。";
inline constexpr const char* kAptSaveUnencodableMessage =
    "Shift-JISで書けない文字があるため、アパーチュア・リストを保存できませんでした。";
inline constexpr const char* kAptSaveFailedMessage =
    "アパーチュア・リストのファイルを保存できませんでした。保存先を確認して下さい。";

enum class AptFileOutcome {
    Ok,
    CannotOpen,        // load: missing or unreadable file; the table is unchanged
    Damaged,           // load: last record cut short or not CP932; complete records kept
    TooFewEntries,     // save: fewer than 491 entries; nothing written
    Unencodable,       // save: a field has a character without a CP932 form; nothing written
    CannotWrite,       // save: the file could not be written; the old file is untouched
};

// The message for a failed outcome, or nullptr for Ok.
const char* AptFileMessage(AptFileOutcome outcome) noexcept;

// Reads records from CP932 bytes and appends them to `entries`. Returns Ok,
// or Damaged when the bytes end inside a record (or a field is not CP932);
// the complete records before that point are appended all the same.
AptFileOutcome AppendAptRecords(std::string_view bytes, std::vector<ApertureEntry>& entries);

// Replaces all entries by the records of the file and sets the file column
// titles. CannotOpen leaves the table as it was; Damaged keeps the complete
// records (the table is then loaded with them).
AptFileOutcome LoadAptFile(const std::filesystem::path& path, ApertureTable& table);

// Fills a new table from `appFolder`/fast.apt with the default column titles.
// When that file is missing or cut short, asks for another list (filter
// kAptFileFilter) and appends its records after those already read. Returns
// false when the user cancelled: the table is then empty and not loaded.
bool LoadDefaultAptFile(const std::filesystem::path& appFolder, ApertureTable& table,
                        Dialogs& dialogs, Pointer& pointer);

// Writes entries 1 to 491 (CP932, CR LF). A failure leaves the old file as it was.
AptFileOutcome SaveAptFile(const std::filesystem::path& path, const ApertureTable& table);

// The check before the editor keeps the table: no value on success, else the
// message to show.
std::optional<std::string> CheckApertureTable(const ApertureTable& table);

}  // namespace mutaplot
