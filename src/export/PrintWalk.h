#pragma once
// Printing the drawing on one page at the viewer's scale: the same walk as
// the display pass, with the page mapping (no rounding) and the page's
// primitives. A positive print draws black on white; a negative print
// blackens the page inside a 3 mm margin and draws in white.

#include "aperture/ApertureTable.h"
#include "input/BlockList.h"
#include "platform/Dialogs.h"
#include "platform/DrawingSurface.h"
#include "platform/Pointer.h"
#include "viewer/ViewGeometry.h"

#include <string_view>

namespace mutaplot {

inline constexpr const char* kNoPrintFileMessage = "印刷元のファイルがありません";

// The margin left around the black field of a negative print, in
// millimetres whatever the data's unit.
inline constexpr double kNegativeMarginMm = 3.0;

// Print setting: positive ("通常（ポジ）") or negative ("反転（ネガ）"),
// held in memory only as the 0-based option of the 印刷設定 dialog.
inline constexpr int kPrintPositive = 0;
inline constexpr int kPrintNegative = 1;
struct PrintSetting {
    int printNegative = kPrintPositive;
    bool negative() const noexcept { return printNegative == kPrintNegative; }
};

// A raw point on the page of height H: like the screen mapping, but the Y
// value is not rounded.
PicturePoint ToPage(double x, double y, double pageHeight, float drawOrigin,
                    const ViewTransform& transform) noexcept;

// The print counterparts of DrawBlock and DrawArc.
void PrintBlock(std::string_view dCode, const PlotRecords& records, float drawOrigin,
                DrawingSurface& page);
void PrintArc(std::string_view gCode, const PlotRecords& records, float drawOrigin,
              DrawingSurface& page);

enum class PrintResult { NoData, Printed, Stopped };

// Sets up the page, draws the negative field when asked, and walks the list
// onto the page. The caller clears the view before, ends the document after
// (also for NoData) and redraws the view.
PrintResult RunPrint(const InputBlockList& blocks, const ApertureTable& table, PlotRecords& records,
                     const ViewControls& controls, const FileFormat& format, float drawOrigin,
                     const PrintSetting& setting, DrawingSurface& page, Dialogs& dialogs,
                     Pointer& pointer);

}  // namespace mutaplot
