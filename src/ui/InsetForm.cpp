#include "ui/InsetForm.h"

#include "ui/DialogParts.h"
#include "ui/DialogWindows.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace mutaplot {

InsetForm::InsetForm(ConversionSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("InsetForm");
    setWindowTitle(U("入力設定"));
    setAttribute(Qt::WA_DeleteOnClose);

    Frame1 = new QGroupBox(U("入力フォーマット"), this);
    Combo1 = MakeFormatFrame(Frame1);

    Frame2 = new QGroupBox(U("ゼロ省略"), this);
    zeroGroup_ = MakeOptionFrame(Frame2, {&Option1, &Option2, &Option3},
                                 {"リーディング・ゼロ", "トレーリング・ゼロ", "省略無し"});
    Frame3 = new QGroupBox(U("データ区切り"), this);
    separatorGroup_ = MakeOptionFrame(Frame3, {&Option4, &Option5, &Option6}, {"CR、CR+LF", "LF", "＊"});
    Frame4 = new QGroupBox(U("文字ｺｰﾄﾞ"), this);
    codeGroup_ = MakeOptionFrame(Frame4, {&Option7, &Option8}, {"ASCII", "EBCDIC"});

    MakeOkCancel(this, Command1, &InsetForm::Command1_Click, Command2, &InsetForm::Command2_Click);

    auto* grid = new QGridLayout;
    grid->addWidget(Frame1, 0, 0);
    grid->addWidget(Frame2, 0, 1);
    grid->addWidget(Frame3, 1, 0);
    grid->addWidget(Frame4, 1, 1);
    LayOutWithButtons(this, grid, {Command1, Command2});
}

InsetForm* InsetForm::Open(QPointer<InsetForm>& slot, ConversionSettings& settings, QWidget* parent) {
    return ShowFresh(slot, new InsetForm(settings, parent), [](InsetForm* form) { form->Fill(); });
}

void InsetForm::Fill() {
    AppendFormatCaptions(Combo1);
    ShowFormatCaption(Combo1, settings_.inputFormat);
    SelectOnly(zeroGroup_, settings_.inputZeroMode);
    SelectOnly(separatorGroup_, settings_.inputSeparator);
    SelectOnly(codeGroup_, settings_.inputCode);
}

void InsetForm::Command1_Click() {
    if (auto code = FormatCodeForCaption(Combo1->currentText())) {
        settings_.inputFormat = *code;
        settings_.inputUnit = UnitForFormat(*code);
    }
    if (auto code = SelectedCode(zeroGroup_)) settings_.inputZeroMode = *code;
    if (auto code = SelectedCode(separatorGroup_)) settings_.inputSeparator = *code;
    if (auto code = SelectedCode(codeGroup_)) settings_.inputCode = *code;
    close();
}

void InsetForm::Command2_Click() { close(); }

}  // namespace mutaplot
