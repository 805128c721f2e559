#include "ui/InsetForm.h"

#include "ui/DialogParts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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

    Command1 = new QPushButton(U("ＯＫ"), this);
    Command2 = new QPushButton(U("キャンセル"), this);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &InsetForm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &InsetForm::Command2_Click);

    auto* grid = new QGridLayout;
    grid->addWidget(Frame1, 0, 0);
    grid->addWidget(Frame2, 0, 1);
    grid->addWidget(Frame3, 1, 0);
    grid->addWidget(Frame4, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

InsetForm* InsetForm::Open(QPointer<InsetForm>& slot, ConversionSettings& settings, QWidget* parent) {
    const bool wasShown = slot && slot->isVisible();
    const QPoint place = wasShown ? slot->pos() : QPoint();
    delete slot.data();
    slot = new InsetForm(settings, parent);
    slot->Fill();
    if (wasShown) slot->move(place);
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
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
