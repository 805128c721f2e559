#pragma once
// Spectaplot, the viewer window: the zoom and quality lists, the two origin
// offset boxes and the mouse readout above the drawing surface Picture1, and
// the menus of every viewer command. The window gathers its control texts
// into ViewControls, runs the display pass and the navigation arithmetic of
// the core, and writes the results back into its controls.
//
// A display pass redraws on activation only when the viewer comes back from
// another window; the pass's own message boxes never start another pass.

#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "ui/AppState.h"
#include "viewer/Navigation.h"

#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QMenu;

namespace mutaplot {

class APTsettei;
class InsetForm;
class PictureBox;
class ViewExport;
class ViewOption;
class WindowMemory;
class frmAbout;

inline constexpr const char* kViewHelpFileName = "view.hlp";

// Windows the viewer shares with the main window: the input settings dialog
// (one for both windows) and the aperture list editor, which outlives the
// viewer (its grid holds the aperture table) and is parented to `owner`.
// `fileRead` is told of every file the viewer reads (the main window then
// shows it in its grid and both titles); `memory` holds the recent files and
// the window's geometry.
struct ViewerLinks {
    QPointer<InsetForm>* insetForm = nullptr;
    QPointer<APTsettei>* editor = nullptr;
    QWidget* owner = nullptr;
    std::function<void(const std::filesystem::path&)> fileRead;
    WindowMemory* memory = nullptr;
};

// 実行 without an aperture list (the default list was missing and its dialog
// cancelled).
inline constexpr const char* kNoApertureListMessage =
    "アパーチュア・リストが読み込まれていないため、表示できません。"
    "「アパーチュアの設定」でアパーチュア・リストを読み込んで下さい。";

// 全体表示 when the walk draws nothing.
inline constexpr const char* kNothingToFitMessage = "全体表示できる図形がありません。";

// The rubber band of 範囲拡大, in picture units.
struct AreaZoomState {
    bool armed = false;
    bool bandStarted = false;
    float anchorX = 0, anchorY = 0;
    float cornerX = 0, cornerY = 0;
    double anchorDataX = 0, anchorDataY = 0;
    DrawMode savedDrawMode = DrawMode::Copy;
};

class DataView final : public QMainWindow {
    Q_OBJECT
public:
    // Form_Load. The window deletes itself when it is closed.
    DataView(AppState& state, Dialogs& dialogs, Pointer& pointer, ViewerLinks links,
             QWidget* parent = nullptr);
    ~DataView() override;

    // The control texts as the display pass reads them.
    ViewControls Controls() const;
    // The drawing surface (Picture1) and its widget.
    DrawingSurface& PictureSurface();
    PictureBox* pictureBox() const { return Picture1; }
    // Clears the surface to the background colour.
    void ClearPicture();
    // Clear, then a display pass when a drawing is present.
    void Redraw();

    AppState& appState() const { return state_; }
    Dialogs& dialogs() const { return dialogs_; }
    Pointer& pointer() const { return pointer_; }
    APTsettei* editor() const;
    ViewOption* viewOption() const;
    frmAbout* aboutBox() const;
    const AreaZoomState& areaZoom() const { return areaZoom_; }
    PickPoint pick() const { return pick_; }
    bool originPickWaiting() const { return pickLoop_ != nullptr; }
    const std::filesystem::path& helpFile() const { return helpFile_; }
    // The print and DXF commands of the file menu (DataViewExport.cpp).
    ViewExport& exportCommands();

    // Reads `path` as ファイルを開く does after its dialog (recent files and
    // drops too); a failed read leaves the previous file loaded. True when read.
    bool OpenFile(const std::filesystem::path& path);
    // The title: the written caption and the loaded file's name.
    void ShowTitle();
    // Another file was read: the picture of the previous one goes (nothing is
    // drawn until 実行), and the title names the new file.
    void InputReplaced();
    // Stores the window's geometry in the memory.
    void RememberGeometry();
    QMenu* recentMenu() const { return recentMenu_; }
    // The distance readout in the status area.
    QLabel* distanceLabel() const { return StatusDistance; }

    // The display options' ＯＫ: the settings' colours reach the surface (a
    // colour text that is not a colour number keeps that colour).
    void ApplySettingsColours();

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
    QComboBox *Combo1, *Combo2;
    QLineEdit *Text1, *Text2;
    PictureBox* Picture1;
    QLabel* StatusDistance;

public slots:
    void ViewFileOpen_Click();
    void ViewPrint_Click();     // DataViewExport.cpp
    void ViewPNset_Click();     // DataViewExport.cpp
    void ViewPrintSet_Click();  // DataViewExport.cpp
    void ViewDxfOut_Click();    // DataViewExport.cpp
    void DxfOption_Click();     // DataViewExport.cpp
    void ViewEnd_Click();
    void ViewSetApp_Click();
    void ViewSetInForm_Click();
    void ViewSetOffset_Click();
    void ViewSetReset_Click();
    void ViewOpt_Click();
    void ViewClier_Click();
    void ViewReset_Click();
    void ViewFit_Click();  // 全体表示
    void ViewEria_Click();
    void ViewZoomUp_Click();
    void ViewZoomDown_Click();
    void ViewMovRight_Click();
    void ViewMovLeft_Click();
    void ViewMovUp_Click();
    void ViewMovDown_Click();
    void ViewRunView_Click();
    void ViewHeltpTopic_Click();
    void ViewPrintVer_Click();
    void Combo1_Click();
    void Combo2_Click();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    void LayOutTopRow();
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void PlaceSurface();
    void Picture1_KeyDown(int qtKey);
    void Picture1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at);
    void Picture1_MouseMove(QPointF at);
    void Picture1_MouseUp(Qt::MouseButton button, QPointF at);
    void Picture1_Wheel(int steps, QPointF at);
    void StartBand(QPointF at);
    void FinishBand();
    void FillRecent();
    // What the offsets and the readout are rounded to, and the data's own
    // resolution (Navigation.h).
    double Step() const;
    double Resolution() const;
    void EnsureEditor();
    void ComputeScale();
    void SyncSurfaceUnit();
    ViewPlace CurrentPlace() const;
    void ApplyPlace(const ViewPlace& place, bool writeZoom);
    void Move(MoveDirection direction);
    void DrawBand(double x, double y);
    void EndBand();
    void FocusSurface();

    AppState& state_;
    Dialogs& dialogs_;
    Pointer& pointer_;
    ViewerLinks links_;
    // The top row's design places in twips, from the left.
    struct TopRowPlace {
        QWidget* widget;
        int left, top, width, height;
    };
    std::vector<TopRowPlace> topRow_;
    double twipsPerPixel_;
    std::filesystem::path helpFile_;
    QPointer<APTsettei> ownEditor_;  // when no shared slot was given
    QPointer<InsetForm> ownInsetForm_;
    QPointer<ViewOption> viewOption_;
    QPointer<frmAbout> about_;
    std::shared_ptr<ViewExport> exports_;

    bool inPass_ = false;
    // The window lost the activation while a pass ran (to the pass's own
    // message box): the activation that follows is not a return.
    bool deactivatedByPass_ = false;
    AreaZoomState areaZoom_;
    double readoutX_ = 0, readoutY_ = 0;
    // The picture being dragged: where the press was and the view then.
    struct Drag {
        QPointF from;
        ViewPlace place;
    };
    std::optional<Drag> drag_;
    // The last left click, for the distance readout.
    std::optional<DataPoint> lastClick_;
    WindowMemory* memory_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    PickPoint pick_{0, 0};
    QEventLoop* pickLoop_ = nullptr;
    bool pickTaken_ = false;
};

}  // namespace mutaplot
