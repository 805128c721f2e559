#pragma once
// 表示設定: the viewer's display options — the origin corner, the drawing
// and background colours of the settings record, and where the apertures
// come from (the file's own definitions where it has them, or always the
// aperture list). Not modal. A colour chosen
// on a swatch is stored in the record at once; it reaches the drawing
// surface, like the origin corner, only through ＯＫ.

#include "platform/Dialogs.h"
#include "settings/ConversionSettings.h"

#include <QDialog>
#include <QPointer>

#include <cstdint>
#include <optional>
#include <string>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace mutaplot {

class DataView;

class ViewOption final : public QDialog {
    Q_OBJECT
public:
    // Form_Load: the origin option and both swatches from the record.
    ViewOption(ConversionSettings& settings, Dialogs& dialogs, DataView* viewer);

    QGroupBox *Frame1, *Frame2, *Frame3;
    QRadioButton *Option1, *Option2;  // 左下, 左上
    QRadioButton *Option3, *Option4;  // ファイルの定義（ある場合）, 常にアパーチュア・リスト
    QLabel *Label1, *Label2;          // 描画色, 背景色
    QPushButton *Picture1, *Picture2; // the two swatches
    QPushButton *Command1, *Command2; // ＯＫ, キャンセル

public slots:
    void Picture1_Click();
    void Picture2_Click();
    void Command1_Click();
    void Command2_Click();

private:
    void ChooseColour(std::string& colour, QPushButton* swatch);
    void CloseToViewer();

    ConversionSettings& settings_;
    Dialogs& dialogs_;
    QPointer<DataView> viewer_;
    QButtonGroup* originGroup_;
    QButtonGroup* apertureGroup_;
};

// A colour of the settings record: its text read as a whole number from 0 to
// 0xFFFFFF (0x00BBGGRR); no value for any other text.
std::optional<std::uint32_t> ColourNumber(const std::string& text);

// Shows a colour number's text (0x00BBGGRR as decimal) on a swatch; a text
// that is no colour number leaves the swatch as it is.
void ShowSwatchColour(QPushButton* swatch, const std::string& colourText);

}  // namespace mutaplot
