#pragma once
// Import of CAD aperture reports in the colmo output-result layout. A report
// is one of five kinds (told by the end of its file name) and holds sections,
// each opened by a title line and closed by an empty line. In a data line the
// D codes and sizes stand in fixed columns counted from the end of the line;
// the import writes sizeX, sizeY, connectWidth and shape of every entry the
// report names and leaves everything else in the table as it was.

#include "aperture/ApertureTable.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mutaplot {

// Report formats offered by the import dialog.
inline constexpr const char* kColmoFormat = "colmo出力結果file";
inline constexpr const char* kNcfFormat = "図研NCF";  // has a filter but no reader

inline constexpr const char* kColmoFileFilter =
    "ﾊﾟﾀｰﾝﾌｧｲﾙ(*.pattern)|*.info.*.pattern|ﾚｼﾞｽﾄﾌｧｲﾙ(*.resist)|*.info.*.resist|"
    "電源層ﾌｧｲﾙ(*.power)|*.info.*.power|穴図出力ﾌｧｲﾙ(*.holemark)|*.info.*.holemark|"
    "ｼﾙｸﾌｧｲﾙ(*.silk)|*.info.*.silk";
inline constexpr const char* kNcfFileFilter = "NCFﾌｧｲﾙ(*.ncf)|*.ncf";

// A report that breaks the expected layout (title "確認", OK). The message
// shown adds the number of the line where the import stopped.
inline constexpr const char* kColmoLayoutMessage =
    "想定されていない書式か、99mm以上のサイズが割り当てられています。";
// The chosen report cannot be opened or read (title "確認", OK).
inline constexpr const char* kReportCannotOpenMessage =
    "リストのファイルを開けませんでした。ファイル名を確認して下さい。";

// The file filter for a format text (compared exactly); empty for a format
// without a filter.
std::string ImportFileFilter(std::string_view format);

// The lines of a report, decoded from Shift-JIS, blanks (spaces) removed at
// both ends, one element per character, followed by one extra empty line.
using ImportLineList = std::vector<std::u32string>;

enum class ImportReadOutcome { Ok, CannotOpen };

// Cuts report bytes into the line list. A line ends at CR, CR LF or LF
// alone; the list takes as many lines as the report has.
ImportReadOutcome SplitImportLines(std::string_view bytes, ImportLineList& lines);
ImportReadOutcome ReadImportLineList(const std::filesystem::path& path, ImportLineList& lines);

enum class ColmoListKind { None, Pattern, Resist, Power, Holemark };

// The kind from the last four characters of the path, compared exactly
// ("silk" reads as pattern).
ColmoListKind ColmoListKindOf(std::string_view path) noexcept;

struct ColmoParseResult {
    enum class Outcome { Done, UnknownKind, LayoutError };
    Outcome outcome = Outcome::Done;
    std::size_t failedLine = 0;      // index in the line list, for LayoutError
    std::size_t entriesWritten = 0;  // data lines that wrote an entry
};

// Lays the report over the table. Stops at the first line that breaks the
// layout (entries written before it keep their new values); that line
// writes nothing.
ColmoParseResult ParseColmoList(std::string_view path, const ImportLineList& lines,
                                ApertureTable& table);

// The layout message for a failure at index `failedLine` of the line list
// (shown as the 1-based line number of the report).
std::string ColmoLayoutMessage(std::size_t failedLine);

// Reads the chosen report and, for the colmo format, lays it over the table;
// the RS-274X format (kRs274xFormat, GerberImport.h) takes the file's %ADD
// definitions instead; other formats read the file and change nothing. Failures are shown to the
// user; entries written before a layout failure keep their new values.
// Returns false when the import failed.
bool ImportCadReport(std::string_view format, const std::filesystem::path& path,
                     ApertureTable& table, Dialogs& dialogs, Pointer& pointer,
                     ColmoParseResult* result = nullptr);

}  // namespace mutaplot
