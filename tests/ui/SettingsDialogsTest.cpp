#include "support/FakePlatform.h"
#include "ui/InsetForm.h"
#include "ui/OutsetForm.h"
#include "UiTestApp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstring>

namespace mutaplot {
namespace {

using testing::FakePlatform;

class SettingsDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }
    void TearDown() override {
        delete inset.data();
        delete outset.data();
    }
    static bool Same(const ConversionSettings& a, const ConversionSettings& b) {
        return a.inputFormat == b.inputFormat && a.inputZeroMode == b.inputZeroMode &&
               a.inputUnit == b.inputUnit && a.inputSeparator == b.inputSeparator &&
               a.inputCode == b.inputCode && a.outputCode == b.outputCode &&
               a.outputFormat == b.outputFormat && a.outputZeroMode == b.outputZeroMode &&
               a.outputUnit == b.outputUnit && a.omitSameCoordinates == b.omitSameCoordinates &&
               a.outputHeader == b.outputHeader && a.lineBreak == b.lineBreak &&
               a.outputEob == b.outputEob && a.modal == b.modal &&
               a.originShiftX == b.originShiftX && a.originShiftY == b.originShiftY;
    }
    static ConversionSettings Typical() {
        ConversionSettings s;
        s.inputFormat = 8;
        s.inputZeroMode = 1;
        s.inputUnit = 2;
        s.inputSeparator = 1;
        s.inputCode = 1;
        s.outputCode = 1;
        s.outputFormat = 1;
        s.outputZeroMode = 1;
        s.outputUnit = 1;
        s.omitSameCoordinates = 1;
        s.outputHeader = 1;
        s.lineBreak = 4;
        s.outputEob = 1;
        s.modal = 2;
        return s;
    }

    FakePlatform platform;
    QPointer<InsetForm> inset;
    QPointer<OutsetForm> outset;
};

TEST_F(SettingsDialogs, InputDialogShowsTheRecordAndOkWithoutChangesKeepsIt) {
    ConversionSettings s = Typical();
    const ConversionSettings before = s;
    InsetForm* form = InsetForm::Open(inset, s, nullptr);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("入力設定"));
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->Combo1->count(), 11);  // eleven captions in code order
    EXPECT_EQ(form->Combo1->itemText(0), "mm(4.3)");
    EXPECT_EQ(form->Combo1->itemText(8), "inch(2.5)");
    EXPECT_EQ(form->Combo1->itemText(9), "mm(4.6)");
    EXPECT_EQ(form->Combo1->itemText(10), "inch(2.6)");
    EXPECT_EQ(form->Combo1->currentText(), "inch(2.4)");
    EXPECT_TRUE(form->Option1->isChecked());
    EXPECT_TRUE(form->Option4->isChecked());
    EXPECT_TRUE(form->Option7->isChecked());
    form->Command1->click();
    EXPECT_TRUE(Same(s, before));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(SettingsDialogs, InputDialogOkWritesEveryGroupAndCancelNone) {
    ConversionSettings s = Typical();
    InsetForm* form = InsetForm::Open(inset, s, nullptr);
    form->Combo1->setEditText("mm(5.4)");
    form->Option3->click();
    form->Option6->click();
    form->Option8->click();
    form->Command2->click();  // キャンセル
    EXPECT_TRUE(Same(s, Typical()));

    form = InsetForm::Open(inset, s, nullptr);
    EXPECT_EQ(form->Combo1->currentText(), "inch(2.4)");  // a fresh dialog
    EXPECT_TRUE(form->Option1->isChecked());
    form->Combo1->setEditText("mm(5.4)");
    form->Option3->click();
    form->Option6->click();
    form->Option8->click();
    form->Command1->click();
    EXPECT_EQ(s.inputFormat, 5);
    EXPECT_EQ(s.inputUnit, 1);
    EXPECT_EQ(s.inputZeroMode, 3);
    EXPECT_EQ(s.inputSeparator, 3);
    EXPECT_EQ(s.inputCode, 2);
    // A format text that is no caption changes neither format nor unit.
    form = InsetForm::Open(inset, s, nullptr);
    form->Combo1->setEditText("MM(5.4) ");
    form->Command1->click();
    EXPECT_EQ(s.inputFormat, 5);
    EXPECT_EQ(s.inputUnit, 1);
}

TEST_F(SettingsDialogs, ReopeningWhileOpenDoesNotDoubleTheList) {
    ConversionSettings s = Typical();
    InsetForm::Open(inset, s, nullptr);
    InsetForm* again = InsetForm::Open(inset, s, nullptr);
    EXPECT_EQ(again->Combo1->count(), 11);
    OutsetForm::Open(outset, s, platform, nullptr);
    OutsetForm* out = OutsetForm::Open(outset, s, platform, nullptr);
    EXPECT_EQ(out->Combo1->count(), 11);
}

TEST_F(SettingsDialogs, UnsetRecordOpensWithNothingSelectedAndOkKeepsZeros) {
    ConversionSettings s;  // the settings file was missing
    InsetForm* in = InsetForm::Open(inset, s, nullptr);
    EXPECT_EQ(in->Combo1->currentText(), "");
    for (QRadioButton* o : {in->Option1, in->Option2, in->Option3, in->Option4, in->Option5, in->Option6,
                            in->Option7, in->Option8})
        EXPECT_FALSE(o->isChecked());
    in->Command1->click();
    OutsetForm* out = OutsetForm::Open(outset, s, platform, nullptr);
    EXPECT_EQ(out->Combo1->currentText(), "");
    EXPECT_EQ(out->Text1->text(), "0");
    EXPECT_EQ(out->Text2->text(), "0");
    for (QRadioButton* o : {out->Option1, out->Option4, out->Option6, out->Option8, out->Option10,
                            out->Option13, out->Option14, out->Option16, out->Option17})
        EXPECT_FALSE(o->isChecked());
    out->Command1->click();
    EXPECT_TRUE(Same(s, ConversionSettings{}));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SettingsDialogs, OutputDialogRoundTrip) {
    ConversionSettings s = Typical();
    OutsetForm* form = OutsetForm::Open(outset, s, platform, nullptr);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("出力設定"));
    EXPECT_EQ(form->Combo1->currentText(), "mm(4.3)");
    EXPECT_EQ(form->Combo2->currentText(), "PROTEL");
    EXPECT_TRUE(form->Option1->isChecked());
    EXPECT_TRUE(form->Option6->isChecked());
    EXPECT_TRUE(form->Option8->isChecked());
    EXPECT_TRUE(form->Option13->isChecked());
    EXPECT_TRUE(form->Option4->isChecked());
    EXPECT_TRUE(form->Option15->isChecked());
    EXPECT_TRUE(form->Option16->isChecked());

    form->Combo1->setCurrentIndex(3);  // "mm(5.3)"
    form->Option2->click();
    EXPECT_FALSE(form->Option1->isChecked());
    form->Option7->click();
    form->Option9->click();
    form->Option11->click();
    form->Option5->click();
    form->Option14->click();
    form->Option17->click();
    form->Text1->setText("1.5");
    form->Text2->setText("-0.25");
    form->Command1->click();
    EXPECT_EQ(s.outputFormat, 4);
    EXPECT_EQ(s.outputUnit, 1);
    EXPECT_EQ(s.outputZeroMode, 2);
    EXPECT_EQ(s.omitSameCoordinates, 2);
    EXPECT_EQ(s.outputHeader, 2);
    EXPECT_EQ(s.lineBreak, 2);
    EXPECT_EQ(s.outputEob, 2);
    EXPECT_EQ(s.modal, 1);
    EXPECT_EQ(s.outputCode, 2);
    EXPECT_EQ(s.originShiftX, 1.5);
    EXPECT_EQ(s.originShiftY, -0.25);
    EXPECT_EQ(s.inputFormat, 8);  // input fields untouched

    form = OutsetForm::Open(outset, s, platform, nullptr);
    EXPECT_EQ(form->Text1->text(), "1.5");
    EXPECT_EQ(form->Text2->text(), "-0.25");
    EXPECT_EQ(form->Combo1->currentText(), "mm(5.3)");
    EXPECT_TRUE(form->Option11->isChecked());
    form->Combo1->setCurrentIndex(8);
    form->Command1->click();
    EXPECT_EQ(s.outputFormat, 9);
    EXPECT_EQ(s.outputUnit, 2);
}

TEST_F(SettingsDialogs, OutputDialogCancelAfterChangingEverythingKeepsTheRecord) {
    ConversionSettings s = Typical();
    OutsetForm* form = OutsetForm::Open(outset, s, platform, nullptr);
    form->Combo1->setCurrentIndex(5);
    for (QRadioButton* o : {form->Option3, form->Option7, form->Option9, form->Option12, form->Option5,
                            form->Option14, form->Option17})
        o->click();
    form->Text1->setText("3");
    form->Text2->setText("4");
    form->Command2->click();
    EXPECT_TRUE(Same(s, Typical()));
}

TEST_F(SettingsDialogs, OriginShiftThatIsNoNumberRefusesOk) {
    ConversionSettings s = Typical();
    OutsetForm* form = OutsetForm::Open(outset, s, platform, nullptr);
    form->Option2->click();
    for (const char* bad : {"", "abc", "1.5mm", "inf", "nan", "1,5"}) {
        form->Text1->setText("2");
        form->Text2->setText(QString::fromUtf8(bad));
        form->Command1->click();
        EXPECT_TRUE(form->isVisible()) << bad;
        EXPECT_TRUE(Same(s, Typical())) << bad;  // nothing written back
    }
    ASSERT_EQ(platform.messages.size(), 6u);
    EXPECT_EQ(platform.messages[0].text, kOriginShiftMessage);
    EXPECT_EQ(platform.messages[0].title, "確認");
    EXPECT_EQ(platform.messages[0].buttons, MessageButtons::Ok);
    form->Text2->setText(" 0.125 ");
    form->Command1->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(s.originShiftX, 2.0);
    EXPECT_EQ(s.originShiftY, 0.125);
    EXPECT_EQ(s.outputZeroMode, 2);
}

}  // namespace
}  // namespace mutaplot
