#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "ui/BlockListModel.h"
#include "ui/Form1.h"
#include "ui/InsetForm.h"
#include "ui/OutsetForm.h"
#include "UiTestApp.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <memory>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::ReadFileBytes;
using testing::TempDir;

// The worked example: inch(2.4) with leading zeros omitted, converted to
// mm(4.3) with header, EOB, CR LF and modal G codes.
constexpr std::string_view kExampleInput =
    "G54D10*\r\nX1000Y2000D02*\r\nX3000D01*\r\nY5000*\r\nG03X5000Y7000I0J2000D01*\r\n"
    "D02*\r\nX0Y0*\r\nM02*\r\n";

class WholePath : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }
    void SetUp() override {
        form = std::make_unique<Form1>(state, platform, platform, dir.path());
        form->SetEndProcess([] {});
        platform.messages.clear();
    }
    QAction* Action(const char* name) { return form->findChild<QAction*>(name); }

    // Sets the worked example's options through both dialogs, as a user does.
    void ChooseExampleSettings() {
        Action("mnuInput")->trigger();
        InsetForm* in = form->insetForm();
        in->Combo1->setCurrentIndex(7);  // inch(2.4)
        in->Option1->click();
        in->Option4->click();
        in->Option7->click();
        in->Command1->click();
        Action("mnuOut")->trigger();
        OutsetForm* out = form->outsetForm();
        out->Combo1->setCurrentIndex(0);  // mm(4.3)
        out->Option1->click();
        out->Option6->click();
        out->Option8->click();
        out->Option13->click();
        out->Option4->click();
        out->Option15->click();
        out->Option16->click();
        out->Text1->setText("0");
        out->Text2->setText("0");
        out->Command1->click();
    }

    TempDir dir;
    AppState state;
    FakePlatform platform;
    std::unique_ptr<Form1> form;
};

TEST_F(WholePath, OpenSettingsConvertSave) {
    ChooseExampleSettings();
    platform.fileAnswers.push_back(dir.Write("example.gbr", kExampleInput).string());
    Action("mnuOpen")->trigger();
    ASSERT_EQ(state.inputBlockList.blockCount(), 8u);
    EXPECT_EQ(form->gridModel1()->rowCount(), 10);

    Action("mnuRunData")->trigger();
    EXPECT_TRUE(platform.messages.empty());
    BlockListModel* grid = form->gridModel2();
    ASSERT_EQ(grid->rowCount(), 10);  // title row + 9 entries
    EXPECT_EQ(grid->CellBytes(1), "*%FSLAX43Y43*%");
    EXPECT_EQ(grid->CellBytes(4), "G01X2540Y5080D02*");
    EXPECT_EQ(grid->CellBytes(9), "M02*");
    EXPECT_EQ(form->Text1->text(), QString::fromUtf8("入力データ"));
    EXPECT_EQ(form->Text2->text(), QString::fromUtf8("変換データ"));
    EXPECT_EQ(platform.pointer, PointerShape::Default);

    const auto target = dir / "out.gbr";
    platform.fileAnswers.push_back(target.string());
    Action("mnuSave")->trigger();
    EXPECT_EQ(platform.fileFilters.back(), "GBRﾌｧｲﾙ(*.gbr,*.g**)|*.gbr;*.g**");
    EXPECT_TRUE(platform.fileFlags.back().overwritePrompt);
    EXPECT_EQ(ReadFileBytes(target),
              "*%FSLAX43Y43*%\r\n*%MOMM*%\r\nG54D10*\r\nG01X2540Y5080D02*\r\nX7620D01*\r\n"
              "Y12700D01*\r\nG03X12700Y17780I0J5080D01*\r\nG01X0Y0D02*\r\nM02*\r\n");

    // The same result in EBCDIC: *%FSLAX43Y43*% then CR LF as 0D 25.
    Action("mnuOut")->trigger();
    form->outsetForm()->Option17->click();
    form->outsetForm()->Command1->click();
    const auto ebcdic = dir / "out.ebc";
    platform.fileAnswers.push_back(ebcdic.string());
    Action("mnuSave")->trigger();
    const std::string bytes = ReadFileBytes(ebcdic);
    EXPECT_EQ(bytes.substr(0, 16), std::string("\x5C\x6C\xC6\xE2\xD3\xC1\xE7\xF4\xF3\xE8\xF4\xF3\x5C\x6C\x0D\x25", 16));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(WholePath, NoInputAndClearedOutput) {
    ChooseExampleSettings();
    platform.fileAnswers.push_back(dir.Write("example.gbr", kExampleInput).string());
    Action("mnuOpen")->trigger();
    Action("mnuRunData")->trigger();

    // No source data: the message, Text2 cleared, the grid keeps the last rows.
    Action("mnuClearData1")->trigger();
    Action("mnuRunData")->trigger();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "変換元のファイルがありません");
    EXPECT_EQ(platform.messages[0].title, "確認");
    EXPECT_EQ(form->Text2->text(), "");
    EXPECT_EQ(form->gridModel2()->rowCount(), 10);
    EXPECT_EQ(state.outputBlockList.blockCount(), 0u);
    EXPECT_EQ(platform.pointer, PointerShape::Default);

    // Clearing the converted data, then saving: a file without blocks.
    Action("mnuClearData2")->trigger();
    const auto target = dir / "empty.gbr";
    platform.fileAnswers.push_back(target.string());
    Action("mnuSave")->trigger();
    ASSERT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(ReadFileBytes(target), "");  // CR LF after every block, and no block

    // A cancelled save writes nothing.
    Action("mnuSave")->trigger();
    EXPECT_EQ(platform.messages.size(), 1u);
}

}  // namespace
}  // namespace mutaplot
