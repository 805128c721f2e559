#pragma once
// The platform services implemented with Qt: message boxes, file, colour and
// printer dialogs, the help window, the mouse pointer and one pass of pending
// window events.

#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "ui/WindowMemory.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QPrinter;
class QTextBrowser;

namespace mutaplot {

// Shows an HTML help file from its first (contents) page.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Loads the file and shows its contents page; false when it cannot be read.
    bool ShowFile(const QString& path);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

class QtDialogs final : public Dialogs {
public:
    // `owner` is the window the dialogs belong to (may be set later); when it
    // is not set, the active window is used.
    explicit QtDialogs(QWidget* owner = nullptr);
    ~QtDialogs() override;
    void SetOwner(QWidget* owner) { owner_ = owner; }
    // Where the file dialogs start (the folder of the last file chosen) is
    // kept in `memory` when one is given.
    void SetMemory(WindowMemory* memory) { memory_ = memory; }

    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons) override;
    std::string OpenFileName(const std::string& filter, FileDialogFlags flags) override;
    std::string SaveFileName(const std::string& filter, FileDialogFlags flags) override;
    std::optional<std::uint32_t> ChooseColour(std::uint32_t preset) override;
    bool PrinterSetup() override;
    void ShowHelp(const std::string& helpFilePath) override;

    // The printer chosen in PrinterSetup, used by the next print.
    QPrinter& printer();
    HelpWindow* helpWindow() const { return help_; }

private:
    QWidget* Parent() const;
    std::string RunFileDialog(bool save, const std::string& filter, FileDialogFlags flags);

    QPointer<QWidget> owner_;
    QPointer<WindowMemory> memory_;
    QPointer<HelpWindow> help_;
    std::unique_ptr<QPrinter> printer_;
};

class QtPointer final : public Pointer {
public:
    explicit QtPointer(QWidget* window = nullptr) : window_(window) {}
    ~QtPointer() override;
    void SetWindow(QWidget* window) { window_ = window; }

    // Busy covers every window of the application (no command can run while
    // it shows); arrow and cross apply to the pointer's own window.
    void SetPointer(PointerShape shape) override;
    // Repaints and handles the window events waiting now; user input is held
    // back until the running command ends, so no second command can start
    // inside it.
    void ProcessPendingEvents() override;

private:
    QPointer<QWidget> window_;
    bool busyShown_ = false;
};

}  // namespace mutaplot
