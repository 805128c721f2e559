// The viewer's print and DXF commands: each runs as one command of the
// export module (export/ViewExport.h) on this window's controls and drawing
// surface. While one runs, the activations its dialogs cause start no
// display pass; the redraw at its end is the display pass itself.

#include "viewer/DataView.h"

#include "export/ViewExport.h"
#include "ui/QtPlatform.h"

namespace mutaplot {

ViewExport& DataView::exportCommands() {
    if (!exports_) {
        ViewHooks hooks;
        hooks.controls = [this] { return Controls(); };
        hooks.clearView = [this] { ClearPicture(); };
        hooks.redrawView = [this] {
            // With no data the command has said so already.
            if (state_.inputBlockList.blockCount() == 0) return;
            inPass_ = false;
            ViewRunView_Click();
            inPass_ = true;
        };
        // The printer of the platform's printer set-up, when there is one.
        auto* qtDialogs = dynamic_cast<QtDialogs*>(&dialogs_);
        exports_ = std::make_shared<ViewExport>(state_, dialogs_, pointer_,
                                                qtDialogs ? &qtDialogs->printer() : nullptr,
                                                std::move(hooks), this);
    }
    return *exports_;
}

namespace {

// Raises the window's pass flag for the run of a command.
class CommandRun {
public:
    explicit CommandRun(bool& inPass) : inPass_(inPass) { inPass_ = true; }
    ~CommandRun() { inPass_ = false; }
    CommandRun(const CommandRun&) = delete;
    CommandRun& operator=(const CommandRun&) = delete;

private:
    bool& inPass_;
};

}  // namespace

void DataView::ViewPrint_Click() {
    if (inPass_) return;
    EnsureEditor();
    CommandRun run(inPass_);
    exportCommands().ViewPrint_Click();
}

void DataView::ViewPNset_Click() { exportCommands().ViewPNset_Click(); }

void DataView::ViewPrintSet_Click() { exportCommands().ViewPrintSet_Click(); }

void DataView::ViewDxfOut_Click() {
    if (inPass_) return;
    EnsureEditor();
    CommandRun run(inPass_);
    exportCommands().ViewDxfOut_Click();
}

void DataView::DxfOption_Click() { exportCommands().DxfOption_Click(); }

}  // namespace mutaplot
