#pragma once
// 入力設定: the input options of ConversionSettings (format, zero
// suppression, separator, character code). Not modal; filled from the record
// when opened, written back only on ＯＫ; every opening starts from a fresh
// dialog.

#include "settings/ConversionSettings.h"

#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace mutaplot {

class InsetForm final : public QDialog {
    Q_OBJECT
public:
    // Created hidden, with an empty format list and text.
    InsetForm(ConversionSettings& settings, QWidget* parent);

    // Opens the dialog (from the main window or the viewer): replaces any
    // dialog still in `slot` by a fresh one at the same place, fills it from
    // the record and shows it, not modal.
    static InsetForm* Open(QPointer<InsetForm>& slot, ConversionSettings& settings, QWidget* parent);

    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4;
    QComboBox* Combo1;
    QRadioButton *Option1, *Option2, *Option3;  // ゼロ省略
    QRadioButton *Option4, *Option5, *Option6;  // データ区切り
    QRadioButton *Option7, *Option8;            // 文字ｺｰﾄﾞ
    QPushButton *Command1, *Command2;           // ＯＫ, キャンセル

public slots:
    void Command1_Click();
    void Command2_Click();

private:
    void Fill();

    ConversionSettings& settings_;
    QButtonGroup *zeroGroup_, *separatorGroup_, *codeGroup_;
};

}  // namespace mutaplot
