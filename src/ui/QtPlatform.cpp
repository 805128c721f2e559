#include "ui/QtPlatform.h"

#include "ui/FileFilter.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace mutaplot {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr const char* kHelpMissingMessage = "ヘルプファイルが見つかりません。";

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName("HelpWindow");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    resize(720, 640);
}

bool HelpWindow::ShowFile(const QString& path) {
    QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) return false;
    // The help files are HTML whatever their name ends in.
    browser_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()), QTextDocument::HtmlResource);
    browser_->scrollToAnchor(QString());
    browser_->moveCursor(QTextCursor::Start);
    setWindowTitle(browser_->documentTitle().isEmpty() ? info.fileName() : browser_->documentTitle());
    return true;
}

QtDialogs::QtDialogs(QWidget* owner) : owner_(owner) {}

QtDialogs::~QtDialogs() {
    if (help_) delete help_.data();
}

QWidget* QtDialogs::Parent() const {
    if (QWidget* active = QApplication::activeWindow()) return active;
    return owner_.data();
}

MessageAnswer QtDialogs::ShowMessage(const std::string& text, const std::string& title,
                                     MessageButtons buttons) {
    QMessageBox box(Parent());
    box.setWindowTitle(Q(title));
    box.setText(Q(text));
    box.setIcon(QMessageBox::NoIcon);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel = nullptr;
    if (buttons == MessageButtons::OkCancel) {
        cancel = box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

std::string QtDialogs::RunFileDialog(bool save, const std::string& filter, FileDialogFlags flags) {
    QFileDialog dialog(Parent());
    dialog.setNameFilter(Q(QtFileFilter(filter)));
    // The open dialog returns a typed name of a missing file too; the reader
    // reports it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QString());  // never add an extension
    QFileDialog::Options options = dialog.options();
    options.setFlag(QFileDialog::ReadOnly, false);
    options.setFlag(QFileDialog::DontConfirmOverwrite, !(save && flags.overwritePrompt));
    dialog.setOptions(options);
    if (flags.title) dialog.setWindowTitle(Q(flags.title));
    else if (save) dialog.setWindowTitle(QString::fromUtf8("名前を付けて保存"));
    if (save) dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8("保存"));
    // The folder of the last file chosen; at first the home folder (never
    // the program's folder with its fast.apt and settings).
    if (memory_ && !memory_->lastFolder().isEmpty() && QFileInfo(memory_->lastFolder()).isDir())
        dialog.setDirectory(memory_->lastFolder());
    else
        dialog.setDirectory(QDir::homePath());
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return {};
    if (memory_) memory_->SetLastFolder(QFileInfo(files.front()).absolutePath());
    return files.front().toStdString();
}

std::string QtDialogs::OpenFileName(const std::string& filter, FileDialogFlags flags) {
    return RunFileDialog(false, filter, flags);
}

std::string QtDialogs::SaveFileName(const std::string& filter, FileDialogFlags flags) {
    return RunFileDialog(true, filter, flags);
}

std::optional<std::uint32_t> QtDialogs::ChooseColour(std::uint32_t preset) {
    // Colours are 0x00BBGGRR.
    const QColor start(preset & 0xFF, (preset >> 8) & 0xFF, (preset >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, Parent());
    if (!chosen.isValid()) return std::nullopt;
    return static_cast<std::uint32_t>(chosen.red()) | (static_cast<std::uint32_t>(chosen.green()) << 8) |
           (static_cast<std::uint32_t>(chosen.blue()) << 16);
}

QPrinter& QtDialogs::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool QtDialogs::PrinterSetup() {
    // The print dialog chooses printer, paper and orientation; here it only
    // sets them up for the next print, so its accepting button says so.
    QPrintDialog dialog(&printer(), Parent());
    dialog.setWindowTitle(QString::fromUtf8("プリンタの設定"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::ShowHelp(const std::string& helpFilePath) {
    if (!help_) help_ = new HelpWindow();
    if (!help_->ShowFile(Q(helpFilePath))) {
        ShowCheckMessage(*this, kHelpMissingMessage);
        return;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

QtPointer::~QtPointer() {
    if (busyShown_) QApplication::restoreOverrideCursor();
}

void QtPointer::SetPointer(PointerShape shape) {
    const bool busy = shape == PointerShape::Busy;
    if (busy && !busyShown_) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!busy && busyShown_) QApplication::restoreOverrideCursor();
    busyShown_ = busy;
    if (!window_) return;
    switch (shape) {
    case PointerShape::Arrow: window_->setCursor(Qt::ArrowCursor); break;
    case PointerShape::Cross: window_->setCursor(Qt::CrossCursor); break;
    case PointerShape::Default: window_->unsetCursor(); break;
    case PointerShape::Busy: break;
    }
}

void QtPointer::ProcessPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace mutaplot
