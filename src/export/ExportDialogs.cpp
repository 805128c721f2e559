#include "export/ExportDialogs.h"

#include "export/DxfExport.h"
#include "ui/DialogParts.h"
#include "ui/DialogWindows.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mutaplot {

namespace {

// The option codes of the frames are 1-based; the records hold 0 or 1.
constexpr int kFirstCode = 1;

}  // namespace

negaposi::negaposi(PrintSetting& setting, QWidget* parent) : QDialog(parent), setting_(setting) {
    setObjectName("negaposi");
    setWindowTitle(U("印刷設定"));
    setAttribute(Qt::WA_DeleteOnClose);
    Frame1 = new QGroupBox(U("印刷設定"), this);
    group_ = MakeOptionFrame(Frame1, {&Option1, &Option2}, {"通常（ポジ）", "反転（ネガ）"});
    Command1 = new QPushButton(U("ＯＫ"), this);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &negaposi::Command1_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(ButtonRow({Command1}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

negaposi* negaposi::Open(QPointer<negaposi>& slot, PrintSetting& setting, QWidget* parent) {
    return ShowFresh(slot, new negaposi(setting, parent), [](negaposi* form) { form->Form_Load(); });
}

void negaposi::Form_Load() { SelectOnly(group_, setting_.printNegative + kFirstCode); }

void negaposi::Command1_Click() {
    if (Option1->isChecked()) setting_.printNegative = kPrintPositive;
    if (Option2->isChecked()) setting_.printNegative = kPrintNegative;
    close();
}

Dxfoutset::Dxfoutset(ConversionSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("Dxfoutset");
    setWindowTitle(U("DXF出力設定"));
    setAttribute(Qt::WA_DeleteOnClose);
    Frame1 = new QGroupBox(U("線幅設定"), this);
    widthGroup_ = MakeOptionFrame(Frame1, {&Option1, &Option2}, {"線幅無し", "線幅あり"});
    Frame2 = new QGroupBox(U("ﾌｫｰﾏｯﾄ"), this);
    formGroup_ = MakeOptionFrame(Frame2, {&Option3, &Option4}, {"AC1003形式互換", "AC1009形式互換"});
    MakeOkCancel(this, Command2, &Dxfoutset::Command2_Click, Command1, &Dxfoutset::Command1_Click);
    auto* frames = new QHBoxLayout;
    frames->addWidget(Frame1);
    frames->addWidget(Frame2);
    LayOutWithButtons(this, frames, {Command2, Command1});
}

Dxfoutset* Dxfoutset::Open(QPointer<Dxfoutset>& slot, ConversionSettings& settings, QWidget* parent) {
    return ShowFresh(slot, new Dxfoutset(settings, parent), [](Dxfoutset* form) { form->Form_Load(); });
}

void Dxfoutset::Form_Load() {
    // A stored value other than 0 or 1 leaves its group as designed (none
    // selected).
    SelectOnly(widthGroup_, settings_.dxfLineWidth + kFirstCode);
    SelectOnly(formGroup_, settings_.dxfFormat + kFirstCode);
}

void Dxfoutset::Command2_Click() {
    if (Option1->isChecked()) settings_.dxfLineWidth = StoredCode(DxfLineWidth::Without);
    if (Option2->isChecked()) settings_.dxfLineWidth = StoredCode(DxfLineWidth::With);
    if (Option3->isChecked()) settings_.dxfFormat = StoredCode(DxfForm::Ac1003);
    if (Option4->isChecked()) settings_.dxfFormat = StoredCode(DxfForm::Ac1009);
    close();
}

void Dxfoutset::Command1_Click() { close(); }

}  // namespace mutaplot
