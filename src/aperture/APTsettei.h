#pragma once
// アパーチュア・リストの設定: the aperture list editor. It is loaded hidden when
// the viewer opens, and loading it loads the default list into the table; its
// grid is a view over the one ApertureTable. OK (記憶) hides it, ｷｬﾝｾﾙ unloads
// it and empties the table, so that the next access loads fast.apt again.
//
// One entry is edited at a time: a click on a row (or Enter, or a double
// click) copies its sizes into the three boxes and disables the grid and the
// file buttons until 変更 or 中止. Every change writes straight into the table,
// so the next drawing uses it without OK (記憶).
//
// Kept on purpose: each time the editor becomes the active window, 中止 and
// 変更 are disabled whatever the state (also in the middle of an edit); the
// grid and the file buttons keep theirs, and 初期値に戻す or ｷｬﾝｾﾙ leads out.

#include "aperture/ApertureTable.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <filesystem>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace mutaplot {

class APTinport;
class ApertureTableModel;
enum class AptFileOutcome;

inline constexpr const char* kAptSetteiTitle = "アパーチュア・リストの設定";

// Refusal of a change with an empty field (title "確認", OK).
inline constexpr const char* kChangeRefusedMessage =
    "変更は受け付けられません。Ｄコードの選択からやり直してください。";

class APTsettei final : public QWidget {
    Q_OBJECT
public:
    // Form_Load: created hidden; fills `table` from the default list
    // (LoadDefaultAptFile with its fallback dialog) unless it is loaded.
    APTsettei(ApertureTable& table, std::filesystem::path appPath, Dialogs& dialogs,
              Pointer& pointer, QWidget* parent = nullptr);
    ~APTsettei() override;

    // Tries the default list again when the table holds none (the default
    // list was missing and its fallback dialog cancelled). True when loaded.
    bool EnsureTableLoaded();

    // What the viewer's アパーチュアの設定 does after showing the editor: grid
    // columns 0 to 3 aligned left, bottom.
    void AlignTitleColumns();

    // Grid row being edited (1-based, the title row is 0), as the grid's
    // current row: 0 when no row is current.
    int CurrentRow() const;
    // Makes grid row `row` (1-based) the current one, as the keyboard does.
    void SetCurrentRow(int row);

    ApertureTableModel* model() const { return model_; }
    // The import dialog while it is loaded, else nullptr.
    APTinport* importDialog() const;
    // The three texts saved when editing began (sizeX, sizeY, connectWidth).
    const std::array<std::string, 3>& editBackup() const { return editBackup_; }

    QTableView* MSFlexGrid1;
    QLabel *Label3, *Label4, *Label1, *Label5;
    QLineEdit *Text1, *Text2, *Text3;
    QComboBox* Combo1;
    QPushButton *Command4, *Command5, *Command6, *Command8, *Command1, *Command2, *Command3,
        *Command7;

public slots:
    void MSFlexGrid1_Click();
    void Command4_Click();  // 中止
    void Command5_Click();  // 変更
    void Command6_Click();  // 初期値に戻す
    void Command8_Click();  // ｲﾝﾎﾟｰﾄ
    void Command1_Click();  // ﾌｧｲﾙ読込
    void Command2_Click();  // ﾌｧｲﾙ保存
    void Command3_Click();  // OK (記憶)
    void Command7_Click();  // ｷｬﾝｾﾙ
    // Each time the editor becomes the active window.
    void Form_Activate();
    // The end of an import, whether a report was chosen or not.
    void ImportEnded();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void SetFileButtonsEnabled(bool enabled);
    void SetEditButtonsEnabled(bool enabled);
    void ClearTextBoxes();
    void RestoreFromBackup();
    // The table entry of the current row, or nullptr when the row holds none.
    ApertureEntry* CurrentEntry();
    void ShowTableReloaded(int keepRow);
    void ReportFileOutcome(AptFileOutcome outcome);
    // The window that OK (記憶) gives the focus to: the shown viewer window
    // (object name "DataView"), else the editor's parent.
    QWidget* ViewerWindow() const;

    ApertureTable& table_;
    std::filesystem::path appPath_;
    Dialogs& dialogs_;
    Pointer& pointer_;
    ApertureTableModel* model_;
    QPointer<APTinport> import_;
    std::array<std::string, 3> editBackup_;
    bool unloading_ = false;
    // The activation that a press on the inactive grid has already handled.
    bool activatedByPress_ = false;
};

}  // namespace mutaplot
