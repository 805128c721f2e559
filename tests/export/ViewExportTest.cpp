// The viewer's print and DXF commands as the window's menu runs them, with
// scripted dialogs, and the two option dialogs.

#include "export/ViewExport.h"

#include "aperture/AptFile.h"
#include "input/BlockReader.h"
#include "settings/SettingsFile.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "support/TestInputs.h"
#include "ui/UiTestApp.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

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



// D10 round 2.0, D11 square 1.0, D12 thermal "＋" (CP932).
constexpr const char* kApertures =
    "\"D10\",\"2\",\"2\",\"0\",\"\x81\x9B\"\r\n"
    "\"D11\",\"1\",\"1\",\"0\",\"\x81\xA0\"\r\n"
    "\"D12\",\"1.0\",\"1.6\",\"0.3\",\"\x81\x7B\"\r\n";

constexpr const char* kInput =
    "G54D10\r\nX10000Y10000D02\r\nX50000Y10000D01\r\nG03X30000Y30000I-20000J0D01\r\n"
    "G54D11\r\nX50000Y30000D03\r\nG54D12\r\nX20000Y40000D03\r\n";

class ViewExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        printer = std::make_unique<QPrinter>();
        dir.Write("s.ini", MmSettingsText());
        dir.Write("ap.apt", kApertures);
        dir.Write("in.gbr", kInput);
        SettingsLines lines;
        ASSERT_TRUE(LoadSettings(dir / "s.ini", app->settings, lines));
        ASSERT_EQ(ReadBlockFile(dir / "in.gbr", app->settings, app->inputBlockList,
                                ReaderEntry::Viewer, ui, ui, nullptr),
                  ReadOutcome::Read);
        ASSERT_EQ(LoadAptFile(dir / "ap.apt", app->apertureTable), AptFileOutcome::Ok);
        app->appPath = MUTAPLOT_BIN_DIR;
        ViewHooks hooks;
        hooks.controls = [this] { return controls; };
        hooks.clearView = [this] { events.push_back("clear after " + std::to_string(ui.fileFilters.size())); };
        hooks.redrawView = [this] { events.push_back("redraw"); };
        commands = std::make_unique<ViewExport>(*app, ui, ui, printer.get(), hooks, nullptr);
        commands->printerAvailable = [] { return false; };
    }

    // `mutaplot-cli dxf` of the same files with the given options.
    std::string CliDxf(const std::string& options) {
        const auto out = dir / "cli.dxf";
        const std::string command = Quote(std::string(MUTAPLOT_BIN_DIR) + "/mutaplot-cli") +
                                    " dxf --settings " + Quote((dir / "s.ini").string()) +
                                    " --apertures " + Quote((dir / "ap.apt").string()) + " " +
                                    options + " " + Quote((dir / "in.gbr").string()) + " " +
                                    Quote(out.string()) + " 2>/dev/null";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return ReadFileBytes(out);
    }

    TempDir dir;
    std::unique_ptr<AppState> app = std::make_unique<AppState>();
    FakePlatform ui;
    std::unique_ptr<QPrinter> printer;
    ViewControls controls;
    std::vector<std::string> events;
    std::unique_ptr<ViewExport> commands;
};

TEST_F(ViewExportTest, DxfCommandWritesWhatTheCommandLineWrites) {
    for (int form : {0, 1}) {
        app->settings.dxfFormat = static_cast<std::uint8_t>(form);
        app->settings.dxfLineWidth = static_cast<std::uint8_t>(1 - form);
        controls.zoomText = "２００％";
        controls.offsetXText = "1";
        controls.offsetYText = "0";
        const auto target = dir / ("view" + std::to_string(form) + ".dxf");
        ui.fileAnswers.push_back(target.string());
        events.clear();
        commands->ViewDxfOut_Click();
        EXPECT_EQ(commands->lastDxf(), DxfExportResult::Written);
        const std::string expected =
            CliDxf("--zoom 2 --offset 1,0 --set dxfFormat=" + std::to_string(form) +
                   " --set dxfLineWidth=" + std::to_string(1 - form));
        ASSERT_GT(expected.size(), 100u);
        EXPECT_EQ(ReadFileBytes(target), expected) << "form " << form;
        // The view is cleared after the save dialog and redrawn at the end.
        EXPECT_EQ(events, (std::vector<std::string>{"clear after " + std::to_string(form + 1), "redraw"}));
    }
    EXPECT_EQ(ui.fileFilters.back(), kDxfFileFilter);
    EXPECT_TRUE(ui.fileFlags.back().overwritePrompt);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.pointer, PointerShape::Default);
}

TEST_F(ViewExportTest, WithoutPrinterThePageGoesIntoTheChosenPdfFile) {
    const auto target = dir.Write("page.pdf", "old");
    ui.fileAnswers.push_back(target.string());
    commands->ViewPrint_Click();
    EXPECT_EQ(commands->lastPrint(), PrintOutcome::Printed);
    ASSERT_EQ(ui.fileFilters.size(), 1u);
    EXPECT_EQ(ui.fileFilters[0], "PDFﾌｧｲﾙ(*.pdf)|*.pdf");
    EXPECT_TRUE(ui.fileFlags[0].overwritePrompt);
    EXPECT_EQ(ReadFileBytes(target).substr(0, 5), "%PDF-");
    EXPECT_EQ(events, (std::vector<std::string>{"clear after 1", "redraw"}));
    EXPECT_EQ(ui.pointer, PointerShape::Default);

    // Cancelled: nothing printed, the view untouched.
    events.clear();
    commands->ViewPrint_Click();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(ui.fileFilters.size(), 2u);

    // A file chosen in the printer set-up is printed into without asking.
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString((dir / "setup.pdf").string()));
    commands->ViewPrint_Click();
    EXPECT_EQ(ui.fileFilters.size(), 2u);
    EXPECT_EQ(ReadFileBytes(dir / "setup.pdf").substr(0, 5), "%PDF-");
}

TEST_F(ViewExportTest, PrintSettingDialogChoosesPositiveOrNegative) {
    app->printSetting.printNegative = 1;
    commands->ViewPNset_Click();
    negaposi* form = commands->printSettingForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("印刷設定"));
    EXPECT_EQ(form->Frame1->title(), QString::fromUtf8("印刷設定"));
    EXPECT_EQ(form->Option1->text(), QString::fromUtf8("通常（ポジ）"));
    EXPECT_EQ(form->Option2->text(), QString::fromUtf8("反転（ネガ）"));
    EXPECT_EQ(form->Command1->text(), QString::fromUtf8("ＯＫ"));
    EXPECT_TRUE(form->Option2->isChecked());
    form->Option1->click();
    EXPECT_EQ(app->printSetting.printNegative, 1);  // only ＯＫ stores
    form->Command1->click();
    EXPECT_EQ(app->printSetting.printNegative, 0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ViewExportTest, DxfOptionsDialogStoresOnOkOnly) {
    app->settings.dxfLineWidth = 1;
    app->settings.dxfFormat = 0;
    commands->DxfOption_Click();
    Dxfoutset* form = commands->dxfOptionsForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("DXF出力設定"));
    EXPECT_EQ(form->Frame1->title(), QString::fromUtf8("線幅設定"));
    EXPECT_EQ(form->Frame2->title(), QString::fromUtf8("ﾌｫｰﾏｯﾄ"));
    EXPECT_EQ(form->Option3->text(), QString::fromUtf8("AC1003形式互換"));
    EXPECT_EQ(form->Option4->text(), QString::fromUtf8("AC1009形式互換"));
    EXPECT_EQ(form->Command2->text(), QString::fromUtf8("ＯＫ"));
    EXPECT_EQ(form->Command1->text(), QString::fromUtf8("キャンセル"));
    EXPECT_TRUE(form->Option2->isChecked());
    EXPECT_TRUE(form->Option3->isChecked());
    form->Option1->click();
    form->Option4->click();
    form->Command1->click();  // キャンセル
    EXPECT_EQ(app->settings.dxfLineWidth, 1);
    EXPECT_EQ(app->settings.dxfFormat, 0);

    commands->DxfOption_Click();
    form = commands->dxfOptionsForm();
    EXPECT_TRUE(form->Option2->isChecked());  // a fresh dialog from the record
    form->Option1->click();
    form->Option4->click();
    form->Command2->click();  // ＯＫ
    EXPECT_EQ(app->settings.dxfLineWidth, 0);
    EXPECT_EQ(app->settings.dxfFormat, 1);

    // A stored value other than 0 or 1 leaves its group unselected.
    app->settings.dxfFormat = 7;
    commands->DxfOption_Click();
    form = commands->dxfOptionsForm();
    EXPECT_FALSE(form->Option3->isChecked() || form->Option4->isChecked());
    form->Command2->click();
    EXPECT_EQ(app->settings.dxfFormat, 7);
}

}  // namespace
}  // namespace mutaplot
