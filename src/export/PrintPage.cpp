#include "export/PrintPage.h"

#include "platform/AtomicFile.h"
#include "platform/OncePerWalkDialogs.h"
#include "viewer/PaintDeviceSurface.h"
#include "viewer/TracingSurface.h"

#include <QPdfWriter>
#include <QPrinter>
#include <QIODevice>

#include <optional>

namespace mutaplot {

namespace {

// The PDF writer's output device: its many small pieces are gathered and
// handed on to the temporary file of an atomic replace in large ones.
class AtomicFileDevice final : public QIODevice {
public:
    explicit AtomicFileDevice(AtomicFileWriter& writer) : writer_(writer) {
        buffer_.reserve(kPiece);
        open(QIODevice::WriteOnly);
    }
    ~AtomicFileDevice() override { Pass(); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        buffer_.append(data, static_cast<std::size_t>(length));
        if (buffer_.size() >= kPiece) Pass();
        return writer_.ok() ? length : -1;
    }

private:
    static constexpr std::size_t kPiece = 1 << 20;
    void Pass() {
        writer_.Write(buffer_);
        buffer_.clear();
    }
    AtomicFileWriter& writer_;
    std::string buffer_;
};

}  // namespace

PrintOutcome PrintOnDevice(QPaintDevice& device, const PrintJob& job, Dialogs& dialogs,
                           Pointer& pointer, const char* failureMessage, bool* pageMade) {
    PaintDeviceSurface page(device, device.width(), device.height(), device.logicalDpiX());
    std::optional<TracingSurface> tracing;
    if (job.trace) tracing.emplace(page, job.trace);
    DrawingSurface& drawn = tracing ? static_cast<DrawingSurface&>(*tracing) : page;
    OncePerWalkDialogs once(dialogs);
    const PrintResult result = RunPrint(job.blocks, job.table, job.records, job.controls,
                                        job.format, job.drawOrigin, job.setting, drawn, once,
                                        pointer);
    if (tracing) tracing->Flush();
    page.Flush();  // the end of the document: the page is printed
    if (pageMade) *pageMade = page.PaintStarted();
    if (page.PaintFailed()) {
        ShowCheckMessage(dialogs, failureMessage);
        return PrintOutcome::Failed;
    }
    switch (result) {
    case PrintResult::NoData: return PrintOutcome::NoData;
    case PrintResult::Stopped: return PrintOutcome::Stopped;
    case PrintResult::Printed: break;
    }
    return PrintOutcome::Printed;
}

PrintOutcome PrintToPrinter(QPrinter& printer, const PrintJob& job, Dialogs& dialogs,
                            Pointer& pointer) {
    printer.setFullPage(false);  // origin at the printable area
    return PrintOnDevice(printer, job, dialogs, pointer, kPrinterFailedMessage);
}

QPageLayout PdfPageLayout(const QPageSize& paper, QPageLayout::Orientation orientation) {
    return QPageLayout(paper, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

PrintOutcome PrintToPdf(const std::filesystem::path& target, const QPageLayout& layout,
                        const PrintJob& job, Dialogs& dialogs, Pointer& pointer) {
    AtomicFileWriter writer(target);
    if (!writer.ok()) {
        ShowCheckMessage(dialogs, kPdfWriteMessage);
        return PrintOutcome::Failed;
    }
    PrintOutcome outcome;
    bool pageMade = false;
    {
        AtomicFileDevice file(writer);
        QPdfWriter pdf(&file);
        pdf.setResolution(kPdfResolution);
        pdf.setPageLayout(PdfPageLayout(layout.pageSize(), layout.orientation()));
        pdf.setCreator(QStringLiteral("Mutaplot"));
        outcome = PrintOnDevice(pdf, job, dialogs, pointer, kPdfWriteMessage, &pageMade);
    }
    // No page, no file: the writer removes its temporary.
    if (outcome == PrintOutcome::Failed || !pageMade) return outcome;
    if (!writer.Commit()) {
        ShowCheckMessage(dialogs, kPdfWriteMessage);
        return PrintOutcome::Failed;
    }
    return outcome;
}

}  // namespace mutaplot
