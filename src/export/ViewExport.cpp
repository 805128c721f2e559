#include "export/ViewExport.h"

#include "platform/OncePerWalkDialogs.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace mutaplot {

ViewExport::ViewExport(AppState& app, Dialogs& dialogs, Pointer& pointer, QPrinter* printer,
                       ViewHooks hooks, QWidget* window)
    : printerAvailable([] { return !QPrinterInfo::availablePrinters().isEmpty(); }),
      app_(app),
      dialogs_(dialogs),
      pointer_(pointer),
      ownPrinter_(printer ? nullptr : std::make_unique<QPrinter>(QPrinter::HighResolution)),
      printer_(printer ? *printer : *ownPrinter_),
      hooks_(std::move(hooks)),
      window_(window) {}

ViewExport::~ViewExport() = default;

std::string ViewExport::ChoosePdfFile() {
    FileDialogFlags flags;
    flags.hideReadOnly = true;
    flags.overwritePrompt = true;
    return dialogs_.SaveFileName(kPdfFileFilter, flags);
}

void ViewExport::ViewPrint_Click() {
    // A PDF file chosen in the printer set-up, or asked for here when there
    // is no printer; otherwise the system printer.
    std::string pdf;
    if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
        pdf = printer_.outputFileName().toStdString();
    } else if (!printerAvailable()) {
        pdf = ChoosePdfFile();
        if (pdf.empty()) return;
    }
    if (hooks_.clearView) hooks_.clearView();
    // The cleared view repaints before the long walk.
    pointer_.SetPointer(PointerShape::Busy);
    pointer_.ProcessPendingEvents();
    PlotRecords records = app_.BindPlotRecords();
    const PrintJob job{app_.inputBlockList,
                       app_.apertureTable,
                       records,
                       hooks_.controls ? hooks_.controls() : ViewControls(),
                       ScanFileFormat(app_.inputBlockList, app_.settings),
                       app_.settings.drawOrigin,
                       app_.printSetting,
                       {}};
    lastPrint_ = pdf.empty() ? PrintToPrinter(printer_, job, dialogs_, pointer_)
                             : PrintToPdf(pdf, printer_.pageLayout(), job, dialogs_, pointer_);
    pointer_.SetPointer(PointerShape::Default);
    if (hooks_.redrawView) hooks_.redrawView();
}

void ViewExport::ViewPNset_Click() { negaposi::Open(negaposi_, app_.printSetting, window_); }

void ViewExport::ViewPrintSet_Click() { dialogs_.PrinterSetup(); }

void ViewExport::ViewDxfOut_Click() {
    PlotRecords records = app_.BindPlotRecords();
    const ViewControls controls = hooks_.controls ? hooks_.controls() : ViewControls();
    OncePerWalkDialogs once(dialogs_);
    lastDxf_ = RunDxfExport(app_.inputBlockList, app_.apertureTable, records, controls,
                            app_.settings, app_.appPath, templateBuffer_, once, pointer_,
                            hooks_.clearView);
    if (*lastDxf_ == DxfExportResult::Cancelled || *lastDxf_ == DxfExportResult::TemplateUnreadable)
        return;
    pointer_.SetPointer(PointerShape::Default);
    if (hooks_.redrawView) hooks_.redrawView();
}

void ViewExport::DxfOption_Click() { Dxfoutset::Open(dxfoutset_, app_.settings, window_); }

}  // namespace mutaplot
