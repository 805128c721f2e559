#include "export/PrintPage.h"

#include "platform/OncePerWalkDialogs.h"
#include "viewer/PaintDeviceSurface.h"

#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace mutaplot {

PrintOutcome PrintOnDevice(QPaintDevice& device, const PrintJob& job, Dialogs& dialogs,
                           Pointer& pointer, const char* failureMessage, bool* pageMade) {
    PaintDeviceSurface page(device, device.width(), device.height(), device.logicalDpiX());
    OncePerWalkDialogs once(dialogs);
    const PrintResult result = RunPrint(job.blocks, job.table, job.records, job.controls,
                                        job.inputFormat, job.drawOrigin, job.setting, page, once,
                                        pointer);
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
    QSaveFile file(QString::fromStdString(target.string()));
    if (!file.open(QIODevice::WriteOnly)) {
        ShowCheckMessage(dialogs, kPdfWriteMessage);
        return PrintOutcome::Failed;
    }
    PrintOutcome outcome;
    bool pageMade = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(PdfPageLayout(layout.pageSize(), layout.orientation()));
        writer.setCreator(QStringLiteral("Mutaplot"));
        outcome = PrintOnDevice(writer, job, dialogs, pointer, kPdfWriteMessage, &pageMade);
    }
    if (outcome == PrintOutcome::Failed) return outcome;
    if (!pageMade) {
        file.cancelWriting();  // no page, no file
        return outcome;
    }
    if (!file.commit()) {
        ShowCheckMessage(dialogs, kPdfWriteMessage);
        return PrintOutcome::Failed;
    }
    return outcome;
}

}  // namespace mutaplot
