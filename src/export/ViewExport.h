#pragma once
// The viewer window's print and DXF commands, each a whole command in the
// order the viewer runs it, so that the window's menu handlers only call
// them: 印刷, 印刷設定, プリンタの設定, DXF出力 and DXF出力オプション.
//
// The window hands in how to read its controls, clear its drawing surface
// and redraw it (its display pass). Where the machine has no printer at all,
// 印刷 asks for a PDF file and prints the page into it.

#include "export/DxfExport.h"
#include "export/ExportDialogs.h"
#include "export/PrintPage.h"
#include "ui/AppState.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

namespace mutaplot {

struct ViewHooks {
    std::function<ViewControls()> controls;  // the zoom, quality and offset texts
    std::function<void()> clearView;         // clears the drawing surface
    std::function<void()> redrawView;        // the display pass (実行)
};

class ViewExport {
public:
    // `printer` is the one printer set-up chooses (the platform's), kept for
    // every print; without one the commands keep a printer of their own.
    // `window` owns the dialogs.
    ViewExport(AppState& app, Dialogs& dialogs, Pointer& pointer, QPrinter* printer,
               ViewHooks hooks, QWidget* window);
    ~ViewExport();
    ViewExport(const ViewExport&) = delete;
    ViewExport& operator=(const ViewExport&) = delete;

    void ViewPrint_Click();
    void ViewPNset_Click();
    void ViewPrintSet_Click();
    void ViewDxfOut_Click();
    void DxfOption_Click();

    // Whether the system has a printer; tests replace it.
    std::function<bool()> printerAvailable;

    negaposi* printSettingForm() const { return negaposi_; }
    Dxfoutset* dxfOptionsForm() const { return dxfoutset_; }
    // The template lines of the last export, kept until the next one.
    const std::vector<std::string>& templateBuffer() const { return templateBuffer_; }
    std::optional<PrintOutcome> lastPrint() const { return lastPrint_; }
    std::optional<DxfExportResult> lastDxf() const { return lastDxf_; }

private:
    // The PDF file of a print without a printer; empty when cancelled.
    std::string ChoosePdfFile();

    AppState& app_;
    Dialogs& dialogs_;
    Pointer& pointer_;
    std::unique_ptr<QPrinter> ownPrinter_;
    QPrinter& printer_;
    ViewHooks hooks_;
    QWidget* window_;
    std::vector<std::string> templateBuffer_;
    QPointer<negaposi> negaposi_;
    QPointer<Dxfoutset> dxfoutset_;
    std::optional<PrintOutcome> lastPrint_;
    std::optional<DxfExportResult> lastDxf_;
};

}  // namespace mutaplot
