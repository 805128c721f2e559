#pragma once
// The viewer's two output settings dialogs. Both are not modal; each opening
// starts from a fresh dialog filled from the records.
//   negaposi "印刷設定": positive or negative print (printNegative, in memory
//     only); ＯＫ alone.
//   Dxfoutset "DXF出力設定": line width and DXF form (dxfLineWidth,
//     dxfFormat of the settings record, saved by the converter's 設定の保存);
//     ＯＫ stores, キャンセル leaves both unchanged.

#include "export/PrintWalk.h"
#include "settings/ConversionSettings.h"

#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace mutaplot {

class negaposi final : public QDialog {
    Q_OBJECT
public:
    negaposi(PrintSetting& setting, QWidget* parent);

    // Replaces any dialog still in `slot` by a fresh one at the same place,
    // selects the option of printNegative and shows it.
    static negaposi* Open(QPointer<negaposi>& slot, PrintSetting& setting, QWidget* parent);

    QGroupBox* Frame1;                  // 印刷設定
    QRadioButton *Option1, *Option2;    // 通常（ポジ）, 反転（ネガ）
    QPushButton* Command1;              // ＯＫ

public slots:
    void Form_Load();
    void Command1_Click();

private:
    PrintSetting& setting_;
    QButtonGroup* group_;
};

class Dxfoutset final : public QDialog {
    Q_OBJECT
public:
    Dxfoutset(ConversionSettings& settings, QWidget* parent);

    static Dxfoutset* Open(QPointer<Dxfoutset>& slot, ConversionSettings& settings, QWidget* parent);

    QGroupBox *Frame1, *Frame2;          // 線幅設定, ﾌｫｰﾏｯﾄ
    QRadioButton *Option1, *Option2;     // 線幅無し, 線幅あり
    QRadioButton *Option3, *Option4;     // AC1003形式互換, AC1009形式互換
    QPushButton *Command2, *Command1;    // ＯＫ, キャンセル

public slots:
    void Form_Load();
    void Command2_Click();
    void Command1_Click();

private:
    ConversionSettings& settings_;
    QButtonGroup *widthGroup_, *formGroup_;
};

}  // namespace mutaplot
