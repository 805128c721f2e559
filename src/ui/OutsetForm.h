#pragma once
// 出力設定: the output options of ConversionSettings. Not modal; filled from
// the record when opened, written back only on ＯＫ; every opening starts
// from a fresh dialog. An origin shift that is not a number refuses ＯＫ.

#include "platform/Dialogs.h"
#include "settings/ConversionSettings.h"

#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mutaplot {

// Shown when ＯＫ meets an origin shift that is not a number.
inline constexpr const char* kOriginShiftMessage = "原点移動には数値を入力して下さい。";

class OutsetForm final : public QDialog {
    Q_OBJECT
public:
    OutsetForm(ConversionSettings& settings, Dialogs& dialogs, QWidget* parent);

    static OutsetForm* Open(QPointer<OutsetForm>& slot, ConversionSettings& settings, Dialogs& dialogs,
                            QWidget* parent);

    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4, *Frame5, *Frame6, *Frame7, *Frame8, *Frame9,
        *Frame10;
    QComboBox* Combo1;                                  // 出力フォーマット
    QRadioButton *Option1, *Option2, *Option3;          // ゼロ省略
    QLabel *Label1, *Label2;                            // X, Y
    QLineEdit *Text1, *Text2;                           // 原点移動
    QRadioButton *Option6, *Option7;                    // 同一座標データ省略
    QRadioButton *Option8, *Option9;                    // ヘッダ
    QLabel* Label3;                                     // ヘッダタイプ
    QComboBox* Combo2;                                  // "PROTEL", display only
    QRadioButton *Option10, *Option11, *Option12, *Option13;  // 改行
    QRadioButton *Option4, *Option5;                    // ＥＯＢ（＊）コード
    QRadioButton *Option14, *Option15;                  // モーダル
    QRadioButton *Option16, *Option17;                  // 文字ｺｰﾄﾞ
    QRadioButton *Option18, *Option19;                  // パラメータブロック
    QPushButton *Command1, *Command2;                   // ＯＫ, キャンセル

public slots:
    void Command1_Click();
    void Command2_Click();

private:
    void Fill();

    ConversionSettings& settings_;
    Dialogs& dialogs_;
    QButtonGroup *zeroGroup_, *omitGroup_, *headerGroup_, *lineBreakGroup_, *eobGroup_, *modalGroup_,
        *codeGroup_, *parametersGroup_;
};

}  // namespace mutaplot
