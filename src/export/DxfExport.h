#pragma once
// The DXF export command: template lines, then the entities of a walk over
// the block list with the viewer's transform, then the trailer. The file is
// streamed to a temporary file beside the target and renamed over it at the
// end, so a failed export leaves no half-written file.

#include "aperture/ApertureTable.h"
#include "export/DxfWriter.h"
#include "input/BlockList.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "settings/ConversionSettings.h"
#include "viewer/ViewGeometry.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mutaplot {

inline constexpr const char* kDxfTemplateAc1003 = "head.lst";
inline constexpr const char* kDxfTemplateAc1009 = "head2.lst";
inline constexpr const char* kDxfFileFilter = "DXFﾌｧｲﾙ(*.dxf)|*.dxf";

// Failures of the export (title "確認", OK).
inline constexpr const char* kDxfTemplateMessage =
    "DXFのテンプレートファイルを読み込めませんでした。プログラムのフォルダを確認して下さい。";
inline constexpr const char* kDxfWriteMessage =
    "DXFファイルを書き込めませんでした。保存先を確認して下さい。";

// The settings' DXF options, stored as the 0-based option of the DXF出力設定
// dialog: dxfLineWidth (lines without or with width) and dxfFormat (the
// AC1003 or the AC1009 compatible form). Any other stored value selects no
// option in the dialog and exports like the first.
enum class DxfLineWidth : std::uint8_t { Without = 0, With = 1 };
enum class DxfForm : std::uint8_t { Ac1003 = 0, Ac1009 = 1 };

DxfOptions DxfOptionsOf(const ConversionSettings& settings) noexcept;

// The template of the chosen form in the program folder.
std::filesystem::path DxfTemplatePath(const std::filesystem::path& appFolder, bool ac1009);

// Splits template bytes into lines: CR or CR LF ends a line, a lone LF is
// part of the line. A last line without an end is kept.
std::vector<std::string> SplitTemplateLines(std::string_view bytes);

// Reads the template's lines; no value when the file cannot be read.
std::optional<std::vector<std::string>> ReadDxfTemplate(const std::filesystem::path& path);

// The whole DXF text: template lines (each with CR LF), the entities of the
// export walk over `blocks`, the trailer. Computes the view scale from the
// controls, resets the current point and the modal D code; with no blocks
// shows the no-file message and writes template and trailer only.
std::string BuildDxfText(const std::vector<std::string>& templateLines, const InputBlockList& blocks,
                         const ApertureTable& table, PlotRecords& records,
                         const ViewControls& controls, const FileFormat& format, const DxfOptions& options,
                         Dialogs& dialogs);

enum class DxfExportResult { Written, Cancelled, TemplateUnreadable, WriteFailed };

// The viewer's DXF出力: reads the template into `templateBuffer` (kept until
// the next export), asks for the file name, builds the text and writes it.
// Every failure is reported through `dialogs`. `beforeWalk` (the viewer's
// clearing of its surface) runs once a file name was chosen, before the
// walk; the caller redraws the view after a chosen export.
DxfExportResult RunDxfExport(const InputBlockList& blocks, const ApertureTable& table,
                             PlotRecords& records, const ViewControls& controls,
                             const ConversionSettings& settings,
                             const std::filesystem::path& appFolder,
                             std::vector<std::string>& templateBuffer, Dialogs& dialogs,
                             Pointer& pointer, const std::function<void()>& beforeWalk = {});

}  // namespace mutaplot
