#pragma once
// Reads a photoplotter file into the block list, cut by the input separator
// and decoded by the input character code of the settings.

#include "input/BlockList.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "settings/ConversionSettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace mutaplot {

// The open-file dialog's filter for photoplotter files.
inline constexpr const char* kPhotoFileFilter =
    "photoﾌｧｲﾙ(*.photo.*)|*.photo.*|GBRﾌｧｲﾙ(*.gbr,*.g**)|*.gbr;*.g**|すべてのﾌｧｲﾙ(*.*)|*.*";

// Status texts of the main window's Text1 during and after a read.
inline constexpr const char* kReadingStatusText = "《読み込み中》しばらくお待ち下さい。";
inline constexpr const char* kInputTitleText = "入力データ";

// A CR-mode line longer than 100 characters, or no LF in the first 100
// characters of an LF-mode file.
inline constexpr const char* kLineBreakMessage =
    "不正なファイル形式か、ファイルの入力形式が異なります。改行コードの設定を確認して下さい。";
// No "*" soon enough in "*" mode.
inline constexpr const char* kStarNotFoundMessage =
    "「＊」が見つかりませんでした。改行コードの設定を確認して下さい。";
// A file of no bytes at all.
inline constexpr const char* kEmptyFileMessage = "ファイルが空です。";
// Every other failure: missing, unreadable or oversized file, a file
// that ends during the LF probe, settings codes out of range.
inline constexpr const char* kFileFormatMessage =
    "不正なファイル形式か、ファイルの入力形式が異なります。改行コードや文字コードの設定を確認して下さい。";

// Length limits of the ASCII modes.
inline constexpr std::size_t kMaxCrLineLength = 100;      // trimmed CR-mode data line
inline constexpr std::size_t kLfProbeLength = 100;        // characters before the first LF
inline constexpr std::size_t kStarLimitMainWindow = 1000; // characters between "*"
inline constexpr std::size_t kStarLimitViewer = 100;

// Files above this size are refused with kFileFormatMessage instead of
// exhausting memory (the list holds about the whole file).
inline constexpr std::uint64_t kMaxInputFileBytes = std::uint64_t{1} << 30;

// Which menu entry started the read: the main window's ﾌｧｲﾙを開く or the
// viewer's ファイルを開く. The viewer shows no status texts and allows 100
// characters (not 1000) before the first "*" in ASCII "*" mode.
enum class ReaderEntry { MainWindow, Viewer };

// The main window's status-text effects of a read; the viewer passes none.
class ReadStatus {
public:
    virtual ~ReadStatus() = default;
    virtual void ShowReading() = 0;        // Text1 = kReadingStatusText
    virtual void ShowInputTitle() = 0;     // Text1 = kInputTitleText
    virtual void ClearOutputStatus() = 0;  // Text2 cleared
};

// Read: the list holds the file's blocks (the window then fills its grid).
// Failed: a message was shown; the list holds the blocks stored before the
// failure (untouched when the file could not be opened).
// Cancelled: no file was chosen; nothing changed.
enum class ReadOutcome { Read, Failed, Cancelled };

// How cutting ended.
enum class CutResult {
    Ok,
    LineTooLong,    // kLineBreakMessage
    StarNotFound,   // kStarNotFoundMessage
    BadFormat,      // kFileFormatMessage
    EmptyFile,      // kEmptyFileMessage
};

// The message for a failed cut.
const char* CutFailureMessage(CutResult result) noexcept;

// Cuts bytes into blocks as they arrive, in pieces of any size (the reader
// feeds large chunks of the file). NUL bytes are dropped first, in every
// mode. Feed() and Finish() stop at the first
// failure and keep returning it. The blocks are appended to `blocks`.
class BlockCutter {
public:
    // `separator` and `code` are the settings' inputSeparator (1 CR / CR LF,
    // 2 LF, 3 "*") and inputCode (1 ASCII, 2 EBCDIC); other values fail with
    // BadFormat.
    BlockCutter(std::uint8_t separator, std::uint8_t code, ReaderEntry entry, BlockList& blocks);

    CutResult Feed(std::string_view bytes);
    // End of the file: the text after the last separator is dropped, except
    // the last line in ASCII CR mode.
    CutResult Finish();

private:
    enum class Mode { AsciiCr, AsciiLf, AsciiStar, Ebcdic, Invalid };

    void FeedAsciiCr(std::string_view bytes);
    void AppendCrLineText(std::string_view text);
    void EndCrLine();
    void FeedAsciiLf(std::string_view bytes);
    void FeedAsciiStar(std::string_view bytes);
    bool StarBlockIsParameter(std::string_view piece) const;
    void FeedEbcdic(std::string_view bytes);
    void EndBlock();

    BlockList& blocks_;
    Mode mode_;
    std::size_t starLimit_;
    CutResult result_ = CutResult::Ok;
    std::string block_;              // the block being built
    std::size_t pendingSpaces_ = 0;  // CR mode: spaces not yet known to be inner
    bool lineHasBytes_ = false;      // CR mode: the current line has begun
    bool afterCr_ = false;           // CR mode: an LF right now belongs to CR LF
    bool inParameterBlock_ = false;  // CR, "*" mode: a "%" block is open after the blocks so far
    bool parameterLine_ = false;     // CR mode: the current line belongs to a "%" block
    bool probeDone_ = false;         // LF mode: an LF was found
    std::size_t probeCount_ = 0;     // LF mode: characters before it so far
    std::size_t counter_ = 0;        // "*" mode: characters since the last "*"
    std::array<std::uint8_t, 256> ebcdicToAscii_{};
    std::array<std::uint8_t, 256> ebcdicAction_{};  // what each translated character does
    std::string translated_;                         // EBCDIC mode: the piece in ASCII
    std::string withoutNul_;                         // ASCII: a step with its NUL bytes dropped
};

// Cuts a whole file content held in memory (no dialogs, no pointer): clears
// `blocks` and fills it.
CutResult CutBlocks(std::string_view bytes, const ConversionSettings& settings,
                    ReaderEntry entry, BlockList& blocks);

// Why a read of an opened file failed, for a caller that names the cause
// (the command line); the user sees kFileFormatMessage either way.
enum class ReadFault {
    None,
    ReadError,  // the system refused a read
    CutShort,   // the file ended before the size it had when it was opened
};

// The path that reads the process's standard input (no size known before,
// the same 1 GiB limit).
inline constexpr const char* kStandardInputPath = "/dev/stdin";

// Reads `path` (already chosen in the open-file dialog; an empty path changes
// nothing and returns Cancelled) into `blocks`: busy pointer and one pass of
// pending events while reading, the status texts through `status` (main
// window; nullptr for the viewer), the failure messages through `dialogs`.
// The pointer and Text1 are restored on every exit. A file that ends before
// the size it had when it was opened, or a read error, fails with
// kFileFormatMessage; `fault` (when given) then says which.
ReadOutcome ReadBlockFile(const std::filesystem::path& path, const ConversionSettings& settings,
                          InputBlockList& blocks, ReaderEntry entry, Dialogs& dialogs,
                          Pointer& pointer, ReadStatus* status, ReadFault* fault = nullptr);

// What the windows read with: ReadBlockFile into a fresh list that replaces
// `blocks` only when the read succeeds. A failed read leaves the previous
// file loaded, so that the grids, the next conversion and the next drawing
// all still work on one and the same list.
ReadOutcome ReadBlockFileKeepingList(const std::filesystem::path& path,
                                     const ConversionSettings& settings, InputBlockList& blocks,
                                     ReaderEntry entry, Dialogs& dialogs, Pointer& pointer,
                                     ReadStatus* status);

// The whole menu command: asks for the file with the open-file dialog
// (kPhotoFileFilter, read-only box hidden), then ReadBlockFile.
ReadOutcome OpenBlockFile(const ConversionSettings& settings, InputBlockList& blocks,
                          ReaderEntry entry, Dialogs& dialogs, Pointer& pointer,
                          ReadStatus* status);

}  // namespace mutaplot
