#include "ui/OutsetForm.h"

#include "settings/NumberText.h"
#include "ui/DialogParts.h"
#include "ui/DialogWindows.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace mutaplot {

namespace {

// An origin shift: a finite decimal number ("inf" and "nan" are refused too).
std::optional<double> ReadOriginShift(const QLineEdit* text) {
    const std::optional<double> value = ParseDecimal(text->text().toStdString());
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

}  // namespace

OutsetForm::OutsetForm(ConversionSettings& settings, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), settings_(settings), dialogs_(dialogs) {
    setObjectName("OutsetForm");
    setWindowTitle(U("出力設定"));
    setAttribute(Qt::WA_DeleteOnClose);

    Frame1 = new QGroupBox(U("出力フォーマット"), this);
    Combo1 = MakeFormatFrame(Frame1);

    Frame2 = new QGroupBox(U("ゼロ省略"), this);
    zeroGroup_ = MakeOptionFrame(Frame2, {&Option1, &Option2, &Option3},
                                 {"リーディング・ゼロ", "トレーリング・ゼロ", "省略無し"});

    Frame4 = new QGroupBox(U("原点移動 (mm/inch)"), this);
    Label1 = new QLabel(U("X"), Frame4);
    Label2 = new QLabel(U("Y"), Frame4);
    Text1 = new QLineEdit(U("0"), Frame4);
    Text2 = new QLineEdit(U("0"), Frame4);
    auto* f4 = new QGridLayout(Frame4);
    f4->addWidget(Label1, 0, 0);
    f4->addWidget(Text1, 0, 1);
    f4->addWidget(Label2, 1, 0);
    f4->addWidget(Text2, 1, 1);

    Frame5 = new QGroupBox(U("同一座標データ省略"), this);
    omitGroup_ = MakeOptionFrame(Frame5, {&Option6, &Option7}, {"する", "しない"});

    Frame6 = new QGroupBox(U("ヘッダ"), this);
    headerGroup_ = MakeOptionFrame(Frame6, {&Option8, &Option9}, {"付ける", "付けない"});
    Label3 = new QLabel(U("ヘッダタイプ"), Frame6);
    Combo2 = new QComboBox(Frame6);
    Combo2->addItem(U("PROTEL"));
    auto* headerType = new QHBoxLayout;
    headerType->addWidget(Label3);
    headerType->addWidget(Combo2);
    static_cast<QVBoxLayout*>(Frame6->layout())->insertLayout(2, headerType);

    Frame7 = new QGroupBox(U("改行"), this);
    lineBreakGroup_ = MakeOptionFrame(Frame7, {&Option10, &Option11, &Option12, &Option13},
                                      {"改行しない", "ﾃﾞｰﾀ毎にLFで改行", "ﾃﾞｰﾀ毎にCRで改行",
                                       "ﾃﾞｰﾀ毎にCR+LFで改行"});
    Frame8 = new QGroupBox(U("ＥＯＢ（＊）コード"), this);
    eobGroup_ = MakeOptionFrame(Frame8, {&Option4, &Option5}, {"付ける", "付けない"});
    Frame9 = new QGroupBox(U("モーダル（同一命令省略）"), this);
    modalGroup_ = MakeOptionFrame(Frame9, {&Option14, &Option15}, {"無し", "有り"});
    Frame3 = new QGroupBox(U("文字ｺｰﾄﾞ"), this);
    codeGroup_ = MakeOptionFrame(Frame3, {&Option16, &Option17}, {"ASCII", "EBCDIC"});
    // Added below the others, so that every earlier control keeps its place.
    Frame10 = new QGroupBox(U("パラメータブロック"), this);
    parametersGroup_ = MakeOptionFrame(Frame10, {&Option18, &Option19}, {"出力する", "出力しない"});

    MakeOkCancel(this, Command1, &OutsetForm::Command1_Click, Command2, &OutsetForm::Command2_Click);

    auto* grid = new QGridLayout;
    grid->addWidget(Frame1, 0, 0);
    grid->addWidget(Frame2, 1, 0);
    grid->addWidget(Frame4, 2, 0);
    grid->addWidget(Frame5, 0, 1);
    grid->addWidget(Frame6, 1, 1);
    grid->addWidget(Frame8, 2, 1);
    grid->addWidget(Frame7, 0, 2);
    grid->addWidget(Frame9, 1, 2);
    grid->addWidget(Frame3, 2, 2);
    grid->addWidget(Frame10, 3, 0);
    LayOutWithButtons(this, grid, {Command1, Command2});
}

OutsetForm* OutsetForm::Open(QPointer<OutsetForm>& slot, ConversionSettings& settings, Dialogs& dialogs,
                             QWidget* parent) {
    return ShowFresh(slot, new OutsetForm(settings, dialogs, parent), [](OutsetForm* form) { form->Fill(); });
}

void OutsetForm::Fill() {
    AppendFormatCaptions(Combo1);
    ShowFormatCaption(Combo1, settings_.outputFormat);
    SelectOnly(zeroGroup_, settings_.outputZeroMode);
    SelectOnly(omitGroup_, settings_.omitSameCoordinates);
    SelectOnly(headerGroup_, settings_.outputHeader);
    SelectOnly(lineBreakGroup_, settings_.lineBreak);
    Text1->setText(QString::fromStdString(FormatDecimal(settings_.originShiftX)));
    Text2->setText(QString::fromStdString(FormatDecimal(settings_.originShiftY)));
    SelectOnly(eobGroup_, settings_.outputEob);
    SelectOnly(modalGroup_, settings_.modal);
    SelectOnly(codeGroup_, settings_.outputCode);
    SelectOnly(parametersGroup_, settings_.outputParameters);
}

void OutsetForm::Command1_Click() {
    // The origin shift is checked first, so that a refused ＯＫ changes nothing.
    const std::optional<double> shiftX = ReadOriginShift(Text1);
    const std::optional<double> shiftY = ReadOriginShift(Text2);
    if (!shiftX || !shiftY) {
        ShowCheckMessage(dialogs_, kOriginShiftMessage);
        (shiftX ? Text2 : Text1)->setFocus();
        return;
    }
    if (auto code = FormatCodeForCaption(Combo1->currentText())) {
        settings_.outputFormat = *code;
        settings_.outputUnit = UnitForFormat(*code);
    }
    if (auto code = SelectedCode(zeroGroup_)) settings_.outputZeroMode = *code;
    if (auto code = SelectedCode(omitGroup_)) settings_.omitSameCoordinates = *code;
    if (auto code = SelectedCode(headerGroup_)) settings_.outputHeader = *code;
    if (auto code = SelectedCode(lineBreakGroup_)) settings_.lineBreak = *code;
    if (auto code = SelectedCode(eobGroup_)) settings_.outputEob = *code;
    if (auto code = SelectedCode(modalGroup_)) settings_.modal = *code;
    if (auto code = SelectedCode(codeGroup_)) settings_.outputCode = *code;
    if (auto code = SelectedCode(parametersGroup_)) settings_.outputParameters = *code;
    settings_.originShiftX = *shiftX;
    settings_.originShiftY = *shiftY;
    close();
}

void OutsetForm::Command2_Click() { close(); }

}  // namespace mutaplot
