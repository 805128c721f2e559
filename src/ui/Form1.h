#pragma once
// The converter's main window: the menus that start every converter command,
// the input and converted blocks side by side in two grids, and the two
// status boxes above them. Closing it ends the process.

#include "convert/ConversionPass.h"
#include "input/BlockReader.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "ui/AppState.h"

#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <functional>

class QLineEdit;
class QMenu;
class QTableView;

namespace mutaplot {

class APTsettei;
class BlockListModel;
class WindowMemory;
class DataView;
class InsetForm;
class OutsetForm;
class VerForm;

inline constexpr const char* kMainTitle = "Mutaplot＋ Ver1.63";
inline constexpr const char* kViewerTitle = "Spectaplot＋ Ver1.44";
inline constexpr const char* kQuitMessage = "保存されない変換データは消去されます。";
inline constexpr const char* kQuitTitle = "終了してもよろしいですか？";
inline constexpr const char* kHelpFileName = "mutahlp.hlp";

class Form1 final : public QMainWindow, public ReadStatus, public ConvertStatus {
    Q_OBJECT
public:
    // Runs the start-up sequence: the settings dialogs created hidden, the
    // status texts, the program folder and help file, the settings file
    // (its message shown through `dialogs` when it is missing or damaged),
    // the title.
    Form1(AppState& state, Dialogs& dialogs, Pointer& pointer, std::filesystem::path appPath,
          QWidget* parent = nullptr);
    ~Form1() override;

    // How the process ends (終了 after its question, or the close box).
    // Quits the application unless replaced.
    void SetEndProcess(std::function<void()> endProcess) { endProcess_ = std::move(endProcess); }

    // What the windows remember between runs. The window starts with a
    // memory of this run only; main() hands it the user's (its geometry and
    // recent files then apply at once); nullptr goes back to its own.
    void UseMemory(WindowMemory* memory);
    WindowMemory& memory() const { return *memory_; }

    // Reads `path` as ﾌｧｲﾙを開く does after its dialog (also for a recent
    // file, a dropped one or the file named on the command line; an empty
    // path does nothing). A failed read leaves the previous file loaded and
    // shown. True when the file was read.
    bool OpenInputFile(const std::filesystem::path& path);
    // After a file was read in either window: the input grid shows the new
    // list, the previous conversion goes, both titles name the file, the
    // viewer drops the picture of the previous file.
    void InputFileRead(const std::filesystem::path& path);
    QMenu* recentMenu() const { return recentMenu_; }

    const std::filesystem::path& helpFile() const { return helpFile_; }
    BlockListModel* gridModel1() const { return model1_; }
    BlockListModel* gridModel2() const { return model2_; }
    InsetForm* insetForm() const;
    OutsetForm* outsetForm() const;
    VerForm* verForm() const;
    DataView* dataView() const;
    APTsettei* aptSettei() const;

    QLineEdit *Text1, *Text2;
    QTableView *MSFlexGrid1, *MSFlexGrid2;

    // The status texts of a read and of a conversion, and the output grid.
    void ShowReading() override;
    void ShowInputTitle() override;
    void ClearOutputStatus() override;
    void ShowConverting() override;
    void ShowOutputBlocks(const OutputBlockList& output) override;
    void ShowConvertedTitle() override;

public slots:
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuEnd_Click();
    void mnuInput_Click();
    void mnuOut_Click();
    void settei_save_Click();
    void mnuClearData1_Click();
    void mnuClearData2_Click();
    void mnuRunData_Click();
    void mnuViewData_Click();
    void mnuHelpView_Click();
    void mnuHelpVer_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load(const std::filesystem::path& appPath);
    void BuildMenus();
    void Form_Resize();
    QTableView* MakeGrid(const char* name, BlockListModel* model);
    void ShowInputGrid();
    void ShowTitles();
    void OpenRecent(const std::string& path);
    void FillRecent();
    std::filesystem::path SettingsFile() const;      // the one read at start-up
    std::filesystem::path SettingsSaveFile() const;  // where 設定の保存 writes

    AppState& state_;
    Dialogs& dialogs_;
    Pointer& pointer_;
    std::function<void()> endProcess_;
    std::filesystem::path helpFile_;
    BlockListModel *model1_, *model2_;
    QWidget* client_;
    QPointer<InsetForm> insetForm_;
    QPointer<OutsetForm> outsetForm_;
    QPointer<VerForm> verForm_;
    QPointer<DataView> dataView_;
    // The aperture list editor: loaded by the viewer, kept when it closes.
    QPointer<APTsettei> aptSettei_;
    WindowMemory* ownMemory_;
    WindowMemory* memory_;
    QMenu* recentMenu_ = nullptr;
};

}  // namespace mutaplot
