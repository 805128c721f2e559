#pragma once
// ｱﾊﾟｰﾁｭｱﾘｽﾄのｲﾝﾎﾟｰﾄ: the CAD aperture list import, opened modeless from the
// aperture editor's ｲﾝﾎﾟｰﾄ. ﾌｧｲﾙ選択 asks for a report with the filter of the
// chosen format, lays a colmo report over the table or takes an RS-274X
// file's own aperture definitions (other formats read the file and change
// nothing), tells the editor that the import ended (chosen
// or not) and unloads the dialog. ｷｬﾝｾﾙ only unloads it: the editor's grid
// stays disabled.

#include "aperture/ApertureTable.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace mutaplot {

inline constexpr const char* kAptInportTitle = "ｱﾊﾟｰﾁｭｱﾘｽﾄのｲﾝﾎﾟｰﾄ";
inline constexpr const char* kAptInportPrompt = "CAD又はリスト形式を選択して下さい。";

class APTinport final : public QDialog {
    Q_OBJECT
public:
    // Form_Load: the colmo entry, selected, and the RS-274X entry.
    APTinport(ApertureTable& table, Dialogs& dialogs, Pointer& pointer, QWidget* parent);

    // Hides the dialog and deletes it once control is back in the event loop.
    void Unload();

    QLabel* Label1;
    QComboBox* Combo1;
    QPushButton *Command1, *Command2;

signals:
    // ﾌｧｲﾙ選択 has finished, whether a report was chosen or not.
    void importEnded();

public slots:
    void Command1_Click();  // ﾌｧｲﾙ選択: ImportCadApertureList
    void Command2_Click();  // ｷｬﾝｾﾙ
    void Form_Activate();
    // Esc and the close box act as ｷｬﾝｾﾙ.
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    ApertureTable& table_;
    Dialogs& dialogs_;
    Pointer& pointer_;
    bool unloaded_ = false;
};

}  // namespace mutaplot
