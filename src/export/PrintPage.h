#pragma once
// Printing the viewer's drawing on one page of a Qt paint device: the
// system printer, or a PDF file. The page's origin is the top-left corner of
// its printable area; painting starts the document and ending it sends the
// page (a positive print of no data therefore makes no page at all).

#include "export/PrintWalk.h"

#include <QPageLayout>

#include <filesystem>
#include <functional>
#include <string_view>

class QPaintDevice;
class QPrinter;

namespace mutaplot {

inline constexpr const char* kPdfFileFilter = "PDFﾌｧｲﾙ(*.pdf)|*.pdf";
// Failures of the page itself (title "確認", OK).
inline constexpr const char* kPrinterFailedMessage =
    "印刷できませんでした。プリンタの設定を確認して下さい。";
inline constexpr const char* kPdfWriteMessage =
    "PDFファイルを書き込めませんでした。保存先を確認して下さい。";

// PDF pages are drawn at this many device pixels per inch.
inline constexpr int kPdfResolution = 1200;

// What one print reads.
struct PrintJob {
    const InputBlockList& blocks;
    const ApertureTable& table;
    PlotRecords& records;
    ViewControls controls;
    FileFormat format = FileFormat(1);  // ScanFileFormat of the blocks
    float drawOrigin = kDrawOriginBottomLeft;
    PrintSetting setting;
    // When set, receives the trace of every page call (TracingSurface).
    std::function<void(std::string_view)> trace;
};

enum class PrintOutcome {
    Printed,  // the page was printed
    NoData,   // no blocks: message shown; a negative print still made its page
    Stopped,  // incremental data: message shown, the page holds the blocks before
    Failed,   // the printer or the file refused the page: message shown
};

// Draws the job on one page of the device and ends the document. Each
// distinct message of the walk is shown once. `pageMade` (when given) tells
// whether a page was begun at all.
PrintOutcome PrintOnDevice(QPaintDevice& device, const PrintJob& job, Dialogs& dialogs,
                           Pointer& pointer, const char* failureMessage,
                           bool* pageMade = nullptr);

// The page on the system printer, with its printer, paper and orientation.
PrintOutcome PrintToPrinter(QPrinter& printer, const PrintJob& job, Dialogs& dialogs,
                            Pointer& pointer);

// The page as a PDF file of the given paper and orientation, its whole page
// printable. Written to a temporary file beside the target and renamed over
// it at the end (AtomicFileWriter): a failed print leaves an existing file
// untouched, and a print that makes no page writes no file.
PrintOutcome PrintToPdf(const std::filesystem::path& target, const QPageLayout& layout,
                        const PrintJob& job, Dialogs& dialogs, Pointer& pointer);

// A portrait or landscape page of the paper, without margins.
QPageLayout PdfPageLayout(const QPageSize& paper, QPageLayout::Orientation orientation);

}  // namespace mutaplot
