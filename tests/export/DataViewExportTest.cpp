// The viewer window's file menu entries for printing and DXF output, run
// through the window's own actions with scripted dialogs.

#include "export/ViewExport.h"
#include "viewer/DataView.h"

#include "input/BlockReader.h"
#include "settings/SettingsFile.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "support/TestInputs.h"
#include "viewer/ViewerFixture.h"
#include "ui/UiTestApp.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QComboBox>
#include <QLineEdit>

#include <cstdlib>
#include <memory>
#include <sys/wait.h>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::ReadFileBytes;
using testing::MmSettingsText;
using testing::Quote;
using testing::TempDir;


// Message boxes that take the activation from the viewer and hand it back
// when they close, as real ones do.
class ActivatingDialogs final : public Dialogs {
public:
    explicit ActivatingDialogs(FakePlatform& inner) : inner_(inner) {}
    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons) override {
        const MessageAnswer answer = inner_.ShowMessage(text, title, buttons);
        if (window) {
            QEvent away(QEvent::WindowDeactivate);
            QCoreApplication::sendEvent(window, &away);
            QEvent back(QEvent::WindowActivate);
            QCoreApplication::sendEvent(window, &back);
        }
        return answer;
    }
    std::string OpenFileName(const std::string& f, FileDialogFlags g) override { return inner_.OpenFileName(f, g); }
    std::string SaveFileName(const std::string& f, FileDialogFlags g) override { return inner_.SaveFileName(f, g); }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t p) override { return inner_.ChooseColour(p); }
    bool PrinterSetup() override { return inner_.PrinterSetup(); }
    void ShowHelp(const std::string& path) override { inner_.ShowHelp(path); }
    QWidget* window = nullptr;

private:
    FakePlatform& inner_;
};


// Strokes, an arc and flashes with apertures of the default list.
constexpr const char* kInput =
    "G54D13\r\nX10000Y10000D02\r\nX50000Y10000D01\r\nG03X30000Y30000I-20000J0D01\r\n"
    "G54D20\r\nX50000Y30000D03\r\nX60000Y30000D03\r\n";

class DataViewExport : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        dir.Write("s.ini", MmSettingsText());
        dir.Write("in.gbr", kInput);
        SettingsLines lines;
        ASSERT_TRUE(LoadSettings(dir / "s.ini", app->settings, lines));
        ASSERT_EQ(ReadBlockFile(dir / "in.gbr", app->settings, app->inputBlockList,
                                ReaderEntry::Viewer, ui, ui, nullptr),
                  ReadOutcome::Read);
        // The program folder: default aperture list and DXF templates.
        app->appPath = MUTAPLOT_BIN_DIR;
        view = new DataView(*app, ui, ui, ViewerLinks{});
        view->exportCommands().printerAvailable = [] { return false; };
    }
    void TearDown() override { delete view.data(); }

    void Trigger(const char* name) {
        QAction* action = view->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }

    // `mutaplot-cli dxf` with the default aperture list, as the viewer loads it.
    std::string CliDxf(const std::string& options) {
        const auto out = dir / "cli.dxf";
        const std::string command = Quote(std::string(MUTAPLOT_BIN_DIR) + "/mutaplot-cli") +
                                    " dxf --settings " + Quote((dir / "s.ini").string()) + " " +
                                    options + " " + Quote((dir / "in.gbr").string()) + " " +
                                    Quote(out.string()) + " 2>/dev/null";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return ReadFileBytes(out);
    }

    TempDir dir;
    std::unique_ptr<AppState> app = std::make_unique<AppState>();
    FakePlatform ui;
    QPointer<DataView> view;
};

TEST_F(DataViewExport, DxfOutputEqualsTheCommandLineAndRedrawsTheView) {
    view->Combo1->setCurrentIndex(3);  // "２００％"
    view->Text1->setText("1");
    app->settings.dxfFormat = 1;
    const auto target = dir / "view.dxf";
    ui.fileAnswers.push_back(target.string());
    Trigger("ViewDxfOut");
    EXPECT_EQ(view->exportCommands().lastDxf(), DxfExportResult::Written);
    const std::string expected = CliDxf("--zoom 2 --offset 1,0 --set dxfFormat=1");
    ASSERT_GT(expected.size(), 100u);
    EXPECT_EQ(ReadFileBytes(target), expected);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(app->viewState.viewDrawn, 1.0f);  // the display pass ran after the export
    EXPECT_EQ(ui.pointer, PointerShape::Default);
}

TEST_F(DataViewExport, CancelledDxfDialogWritesNothingAndDrawsNothing) {
    Trigger("ViewDxfOut");
    EXPECT_EQ(view->exportCommands().lastDxf(), DxfExportResult::Cancelled);
    EXPECT_FALSE(view->exportCommands().templateBuffer().empty());
    EXPECT_EQ(app->viewState.viewDrawn, 0.0f);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST_F(DataViewExport, PrintWithoutPrinterWritesThePdfAndRedraws) {
    const auto target = dir / "page.pdf";
    ui.fileAnswers.push_back(target.string());
    Trigger("ViewPrint");
    EXPECT_EQ(view->exportCommands().lastPrint(), PrintOutcome::Printed);
    EXPECT_EQ(ReadFileBytes(target).substr(0, 5), "%PDF-");
    EXPECT_EQ(app->viewState.viewDrawn, 1.0f);

    // No data: one message, not a second one from the redraw.
    app->inputBlockList = InputBlockList();
    ui.fileAnswers.push_back((dir / "empty.pdf").string());
    Trigger("ViewPrint");
    EXPECT_EQ(view->exportCommands().lastPrint(), PrintOutcome::NoData);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kNoPrintFileMessage);
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.pdf"));
}

TEST_F(DataViewExport, MessagesDuringAPrintOrExportStartNoDisplayPassInside) {
    // D600 is past the list: the walk reports it (once) and goes on.
    app->inputBlockList = testing::MakeBlocks(
        {"G54D13", "X10000Y10000D02", "X20000Y10000D01", "G54D600", "X30000Y10000D01"});
    ActivatingDialogs dialogs(ui);
    auto* drawn = new DataView(*app, dialogs, ui, ViewerLinks{});
    dialogs.window = drawn;
    drawn->exportCommands().printerAvailable = [] { return false; };
    drawn->ViewRunView_Click();
    ASSERT_EQ(app->viewState.viewDrawn, 1.0f);
    ASSERT_EQ(ui.messages.size(), 1u);

    // The print walk's message, then the redraw's: a pass started by the
    // activation in between would add a third.
    ui.messages.clear();
    ui.fileAnswers.push_back((dir / "page.pdf").string());
    drawn->ViewPrint_Click();
    EXPECT_EQ(drawn->exportCommands().lastPrint(), PrintOutcome::Printed);
    EXPECT_EQ(ui.messages.size(), 2u);

    ui.messages.clear();
    ui.fileAnswers.push_back((dir / "out.dxf").string());
    drawn->ViewDxfOut_Click();
    EXPECT_EQ(drawn->exportCommands().lastDxf(), DxfExportResult::Written);
    EXPECT_EQ(ui.messages.size(), 2u);
    delete drawn;
}

TEST_F(DataViewExport, OptionDialogsOpenFromTheMenu) {
    Trigger("ViewPNset");
    ASSERT_NE(view->exportCommands().printSettingForm(), nullptr);
    EXPECT_TRUE(view->exportCommands().printSettingForm()->isVisible());
    Trigger("DxfOption");
    ASSERT_NE(view->exportCommands().dxfOptionsForm(), nullptr);
    EXPECT_TRUE(view->exportCommands().dxfOptionsForm()->isVisible());
}

}  // namespace
}  // namespace mutaplot
