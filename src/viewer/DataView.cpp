#include "viewer/DataView.h"

#include "aperture/APTsettei.h"
#include "input/BlockReader.h"
#include "platform/OncePerWalkDialogs.h"
#include "settings/NumberText.h"
#include "ui/ActionTable.h"
#include "ui/DialogParts.h"
#include "ui/ScreenScale.h"
#include "ui/Form1.h"
#include "ui/InsetForm.h"
#include "ui/WindowMemory.h"
#include "viewer/PictureBox.h"
#include "viewer/Rendering.h"
#include "viewer/ViewOption.h"
#include "viewer/frmAbout.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace mutaplot {

namespace {

constexpr MenuRow<DataView> kViewMenuRows[] = {
    {"ViewFile", "ﾌｧｲﾙ(&F)", nullptr},
    {"ViewFileOpen", "ファイルを開く", &DataView::ViewFileOpen_Click},
    {"ViewFileSep1", nullptr, nullptr},
    {"ViewPrint", "印刷", &DataView::ViewPrint_Click},
    {"ViewPNset", "印刷設定", &DataView::ViewPNset_Click},
    {"ViewPrintSet", "プリンタの設定", &DataView::ViewPrintSet_Click},
    {"ViewFileSep2", nullptr, nullptr},
    {"ViewDxfOut", "DXF出力", &DataView::ViewDxfOut_Click},
    {"DxfOption", "DXF出力オプション", &DataView::DxfOption_Click},
    {"ViewFileSep3", nullptr, nullptr},
    {"ViewEnd", "データ表示の終了", &DataView::ViewEnd_Click},
    {"ViewSet", "設定(&G)", nullptr},
    {"ViewSetApp", "アパーチュアの設定", &DataView::ViewSetApp_Click},
    {"ViewSetInForm", "入力設定", &DataView::ViewSetInForm_Click},
    {"ViewSetOffset", "原点設定", &DataView::ViewSetOffset_Click},
    {"ViewSetReset", "原点初期値", &DataView::ViewSetReset_Click},
    {"ViewSetSep1", nullptr, nullptr},
    {"ViewOpt", "オプション", &DataView::ViewOpt_Click},
    {"ViewClier", "クリア(&D)", &DataView::ViewClier_Click, true},
    {"ViewSettei", "表示操作(&V)", nullptr},
    {"ViewReset", "初期値", &DataView::ViewReset_Click},
    {"ViewFit", "全体表示", &DataView::ViewFit_Click},
    {"ViewEria", "範囲拡大", &DataView::ViewEria_Click},
    {"ViewZoomUp", "中心拡大", &DataView::ViewZoomUp_Click},
    {"ViewZoomDown", "中心縮小", &DataView::ViewZoomDown_Click},
    {"ViewMovRight", "移動→", &DataView::ViewMovRight_Click},
    {"ViewMovLeft", "移動←", &DataView::ViewMovLeft_Click},
    {"ViewMovUp", "移動↑", &DataView::ViewMovUp_Click},
    {"ViewMovDown", "移動↓", &DataView::ViewMovDown_Click},
    {"ViewRunView", "実行(&R)", &DataView::ViewRunView_Click, true},
    {"ViewHelp", "ﾍﾙﾌﾟ(&H)", nullptr},
    {"ViewHeltpTopic", "目次", &DataView::ViewHeltpTopic_Click},
    {"ViewHelpSep1", nullptr, nullptr},
    {"ViewPrintVer", "バージョン情報", &DataView::ViewPrintVer_Click},
};

// Design places of the top row, in twips: left, top, width, height.
struct TwipBox {
    int left, top, width, height;
};

// The surface: left 0, top 490 twips; the window's size less 110 × 1200.
constexpr int kSurfaceTop = 490;
// Pixels kept between a control and the next one pushed along by it.
constexpr int kTopRowGap = 4;
constexpr int kSurfaceWidthLess = 110;
constexpr int kSurfaceHeightLess = 1200;
// The design's window frame in twips: 4-pixel borders and a 23-pixel title.
constexpr int kDesignFrameWidth = 120;
constexpr int kDesignFrameHeight = 465;

std::string Text(const QString& s) { return s.toStdString(); }

// Room for the arrow button, frame and margins of an editable list.
constexpr int kComboChrome = 40;

// The widest coordinate a readout or offset box shows: four integer digits
// and six decimals (mm 4.6).
constexpr const char* kWidestCoordinate = "-0000.000000";
// Room for the frame and margins of a text box.
constexpr int kTextBoxChrome = 10;

// The width a top-row control needs to show its text whole: a label its
// caption, a list its longest entry, an offset box a coordinate to the
// data's resolution.
int TextWidthNeeded(const QWidget* w) {
    const QFontMetrics metrics = w->fontMetrics();
    const int coordinate = metrics.horizontalAdvance(QLatin1String(kWidestCoordinate));
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        int need = metrics.horizontalAdvance(label->text()) + 2;
        // The readouts hold coordinates to the data's resolution.
        if (w->objectName() == QLatin1String("Label3") || w->objectName() == QLatin1String("Label4"))
            need = std::max(need, coordinate + 2);
        return need;
    }
    if (qobject_cast<const QLineEdit*>(w)) return coordinate + kTextBoxChrome;
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = std::max(widest, metrics.horizontalAdvance(combo->itemText(i)));
        return widest + kComboChrome;
    }
    return 0;
}


// The pass's dialogs: before a message box shows, the surface shows what the
// pass has drawn so far.
class ShowDrawingFirst final : public Dialogs {
public:
    ShowDrawingFirst(Dialogs& inner, QWidget& surface) : inner_(inner), surface_(surface) {}
    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons) override {
        surface_.repaint();
        return inner_.ShowMessage(text, title, buttons);
    }
    std::string OpenFileName(const std::string& f, FileDialogFlags g) override { return inner_.OpenFileName(f, g); }
    std::string SaveFileName(const std::string& f, FileDialogFlags g) override { return inner_.SaveFileName(f, g); }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t p) override { return inner_.ChooseColour(p); }
    bool PrinterSetup() override { return inner_.PrinterSetup(); }
    void ShowHelp(const std::string& path) override { inner_.ShowHelp(path); }

private:
    Dialogs& inner_;
    QWidget& surface_;
};

}  // namespace

DataView::DataView(AppState& state, Dialogs& dialogs, Pointer& pointer, ViewerLinks links,
                   QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      state_(state),
      dialogs_(dialogs),
      pointer_(pointer),
      links_(links),
      twipsPerPixel_(ScreenTwipsPerPixel(*this)) {
    setObjectName("DataView");
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    memory_ = links_.memory ? links_.memory : new WindowMemory({}, this);
    BuildControls();
    BuildMenuBar(menuBar(), this, kViewMenuRows);
    // The recent files, after ファイルを開く.
    auto* file = menuBar()->findChild<QMenu*>("ViewFile");
    recentMenu_ = new QMenu(U(kRecentMenuCaption), file);
    recentMenu_->setObjectName("ViewRecent");
    file->insertMenu(file->findChild<QAction*>("ViewFileSep1"), recentMenu_);
    connect(memory_, &WindowMemory::recentChanged, this, &DataView::FillRecent);
    FillRecent();
    // The status area: the distance from the last click.
    StatusDistance = new QLabel(this);
    StatusDistance->setObjectName("StatusDistance");
    statusBar()->addWidget(StatusDistance, 1);
    statusBar()->setSizeGripEnabled(false);
    // The design's client area, 10830 × 6630 twips, with the menu bar and
    // the status area added.
    resize(static_cast<int>(std::lround(10830 / twipsPerPixel_)),
           static_cast<int>(std::lround(6630 / twipsPerPixel_)) + menuBar()->sizeHint().height() +
               statusBar()->sizeHint().height());
    Form_Load();
    const QByteArray geometry = memory_->Geometry("DataView");
    if (!geometry.isEmpty()) restoreGeometry(geometry);
}

void DataView::FillRecent() {
    FillRecentMenu(recentMenu_, *memory_, [this](const std::string& p) {
        // A file that is gone leaves the list after the read's message.
        if (!OpenFile(p) && !std::filesystem::exists(p)) memory_->RemoveRecent(p);
    });
}

void DataView::RememberGeometry() { memory_->SetGeometry("DataView", saveGeometry()); }

void DataView::ShowTitle() { setWindowTitle(CaptionWithFile(kViewerTitle, state_.inputFileName)); }

void DataView::InputReplaced() {
    // The picture shows the previous file: it goes, and nothing redraws
    // until 実行 (the viewer never draws by itself when data is opened).
    if (areaZoom_.armed) EndBand();
    drag_.reset();
    Picture1->SetDragShift({});
    lastClick_.reset();
    StatusDistance->clear();
    ClearPicture();
    state_.viewState.viewDrawn = kViewNotDrawn;
    ComputeScale();  // the new file's format and unit
    ShowTitle();
}

bool DataView::OpenFile(const std::filesystem::path& path) {
    const ReadOutcome outcome = ReadBlockFileKeepingList(path, state_.settings, state_.inputBlockList,
                                                         ReaderEntry::Viewer, dialogs_, pointer_, nullptr);
    if (outcome != ReadOutcome::Read) return false;
    if (links_.fileRead) {
        links_.fileRead(path);  // the main window's grid and both titles
    } else {
        state_.inputFileName = path;
        InputReplaced();
        memory_->AddRecent(path);
    }
    return true;
}

void DataView::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void DataView::dropEvent(QDropEvent* event) {
    const auto file = DroppedFile(event->mimeData());
    if (!file) return;
    event->acceptProposedAction();
    OpenFile(*file);
}

DataView::~DataView() {
    if (pickLoop_) pickLoop_->quit();
}

void DataView::BuildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);
    const auto place = [this](QWidget* w, TwipBox b) {
        topRow_.push_back({w, b.left, b.top, b.width, b.height});
    };
    const auto label = [&](QLabel*& l, const char* name, const char* caption, TwipBox b) {
        l = new QLabel(U(caption), client);
        l->setObjectName(name);
        place(l, b);
    };
    label(Label1, "Label1", "描画倍率", {0, 165, 855, 195});
    label(Label2, "Label2", "描画モード", {2160, 165, 975, 255});
    label(Label7, "Label7", "ｵﾌｾｯﾄX", {4920, 165, 735, 255});
    label(Label8, "Label8", "ｵﾌｾｯﾄY", {6720, 165, 735, 255});
    label(Label5, "Label5", "X=", {9000, 120, 735, 255});
    label(Label3, "Label3", "0", {9240, 120, 735, 255});
    label(Label6, "Label6", "Y=", {9960, 120, 735, 255});
    label(Label4, "Label4", "0", {10200, 120, 615, 255});
    const auto combo = [&](QComboBox*& c, const char* name, TwipBox b) {
        c = new QComboBox(client);
        c->setObjectName(name);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        place(c, b);
    };
    combo(Combo1, "Combo1", {840, 120, 1215, 300});
    combo(Combo2, "Combo2", {3120, 120, 1575, 300});
    connect(Combo1, &QComboBox::activated, this, &DataView::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &DataView::Combo2_Click);
    const auto text = [&](QLineEdit*& t, const char* name, TwipBox b) {
        t = new QLineEdit(U("0"), client);
        t->setObjectName(name);
        place(t, b);
    };
    text(Text1, "Text1", {5640, 120, 975, 270});
    text(Text2, "Text2", {7440, 120, 975, 270});

    Picture1 = new PictureBox(twipsPerPixel_, client);
    Picture1->onKeyDown = [this](int key) { Picture1_KeyDown(key); };
    Picture1->onMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPointF at) {
        Picture1_MouseDown(b, m, at);
    };
    Picture1->onMouseMove = [this](QPointF at) { Picture1_MouseMove(at); };
    Picture1->onMouseUp = [this](Qt::MouseButton b, QPointF at) { Picture1_MouseUp(b, at); };
    Picture1->onWheel = [this](int steps, QPointF at) { Picture1_Wheel(steps, at); };
    // Picture1_Resize: a new size is a cleared picture (PictureBox clears it).
}

void DataView::Form_Load() {
    PlaceSurface();
    helpFile_ = state_.appPath / kHelpFileName;
    EnsureEditor();
    PlaceSurface();
    for (const char* t : kZoomListTexts) Combo1->addItem(U(t));
    Combo1->setCurrentIndex(2);  // "１００％"
    Combo2->addItem(U(kQualityHighText));
    Combo2->addItem(U(kQualityFastText));
    Combo2->setCurrentIndex(0);
    LayOutTopRow();
    // The window shows the whole top row, readouts included.
    int rowEnd = 0;
    for (const TopRowPlace& p : topRow_) rowEnd = std::max(rowEnd, p.widget->geometry().right() + 1);
    if (rowEnd + kTopRowGap > width()) resize(rowEnd + kTopRowGap, height());
    state_.viewState.viewDrawn = kViewNotDrawn;
    ComputeScale();
    if (APTsettei* e = editor()) e->hide();
    ShowTitle();
}

ViewOption* DataView::viewOption() const { return viewOption_; }
frmAbout* DataView::aboutBox() const { return about_; }

void DataView::LayOutTopRow() {
    // The design places in order from the left; a label or list whose text
    // needs more room than its design width pushes the rest along.
    const auto px = [this](int twips) { return static_cast<int>(std::lround(twips / twipsPerPixel_)); };
    std::stable_sort(topRow_.begin(), topRow_.end(),
                     [](const TopRowPlace& a, const TopRowPlace& b) { return a.left < b.left; });
    int nextFree = 0;
    for (const TopRowPlace& p : topRow_) {
        const int need = TextWidthNeeded(p.widget);
        const int width = std::max(px(p.width), need);
        const int left = std::max(px(p.left), nextFree);
        p.widget->setGeometry(left, px(p.top), width, px(p.height));
        nextFree = left + (need > 0 ? need : width) + kTopRowGap;
    }
}

APTsettei* DataView::editor() const {
    return links_.editor ? links_.editor->data() : ownEditor_.data();
}

void DataView::EnsureEditor() {
    // An editor whose default list was missing and its dialog cancelled
    // tries the default list again: a list put back is used at once.
    if (APTsettei* e = editor()) {
        e->EnsureTableLoaded();
        return;
    }
    QPointer<APTsettei>& slot = links_.editor ? *links_.editor : ownEditor_;
    // The editor outlives the viewer: it belongs to the main window.
    slot = new APTsettei(state_.apertureTable, state_.appPath, dialogs_, pointer_, links_.owner);
}

ViewControls DataView::Controls() const {
    ViewControls c;
    c.zoomText = Text(Combo1->currentText());
    c.qualityText = Text(Combo2->currentText());
    c.offsetXText = Text(Text1->text());
    c.offsetYText = Text(Text2->text());
    TakeInputSettings(state_.settings, c);
    return c;
}

DrawingSurface& DataView::PictureSurface() { return Picture1->surface(); }

void DataView::ClearPicture() {
    Picture1->surface().Clear();
    Picture1->ShowDrawing();
}

void DataView::ComputeScale() {
    const ViewControls c = Controls();
    ComputeViewScale(c.zoomText, ScanFileFormat(state_.inputBlockList, state_.settings),
                     c.offsetXText, c.offsetYText, state_.viewTransform);
    SyncSurfaceUnit();
}

void DataView::SyncSurfaceUnit() {
    const FileFormat format = ScanFileFormat(state_.inputBlockList, state_.settings);
    if (format.known()) Picture1->surface().SetUnit(format.pictureUnit());
}

void DataView::ViewRunView_Click() {
    if (inPass_) return;
    inPass_ = true;
    EnsureEditor();
    if (!state_.apertureTable.loaded) {
        // No list: say so, instead of the D-code messages of every aperture.
        inPass_ = false;
        ShowCheckMessage(dialogs_, kNoApertureListMessage);
        return;
    }
    // Each distinct message once per pass.
    ShowDrawingFirst showing(dialogs_, *Picture1);
    OncePerWalkDialogs once(showing);
    PlotRecords records = state_.BindPlotRecords();
    RunDisplayPass(state_.inputBlockList, state_.apertureTable, records, Controls(),
                   ScanFileFormat(state_.inputBlockList, state_.settings),
                   state_.settings.drawOrigin, Picture1->surface(), once,
                   pointer_);
    inPass_ = false;
    Picture1->ShowDrawing();
    FocusSurface();
}

void DataView::Redraw() {
    ClearPicture();
    if (IsViewDrawn(state_.viewState)) ViewRunView_Click();
}

void DataView::FocusSurface() {
    if (isVisible()) Picture1->setFocus(Qt::OtherFocusReason);
}

bool DataView::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate && inPass_) deactivatedByPass_ = true;
    const bool handled = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate) Form_Activate();
    return handled;
}

void DataView::Form_Activate() {
    // Coming back from one of the pass's own message boxes is no return from
    // another window: no second pass.
    if (inPass_ || deactivatedByPass_) {
        deactivatedByPass_ = false;
        if (!inPass_) FocusSurface();
        return;
    }
    if (IsViewDrawn(state_.viewState)) ViewRunView_Click();
    FocusSurface();
}

void DataView::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    Form_Resize();
}

void DataView::PlaceSurface() {
    // The window's outer size: Qt's window size (menu bar included) and a
    // frame of the design's size, since the window system's own frame is
    // not known reliably before the window is shown.
    const double widthTwips = width() * twipsPerPixel_ + kDesignFrameWidth - kSurfaceWidthLess;
    // The status area below the surface is the window's own addition: its
    // height is taken off as part of the frame.
    const double heightTwips = (height() - statusBar()->sizeHint().height()) * twipsPerPixel_ +
                               kDesignFrameHeight - kSurfaceHeightLess;
    const int w = static_cast<int>(std::lround(widthTwips / twipsPerPixel_));
    const int h = static_cast<int>(std::lround(heightTwips / twipsPerPixel_));
    // A window too small for a positive size leaves the surface as it was.
    if (w <= 0 || h <= 0) return;
    Picture1->setGeometry(0, static_cast<int>(std::lround(kSurfaceTop / twipsPerPixel_)), w, h);
}

void DataView::Form_Resize() {
    PlaceSurface();
    if (IsViewDrawn(state_.viewState)) ViewRunView_Click();
}

void DataView::closeEvent(QCloseEvent* e) {
    // Form_Unload; a waiting origin pick ends without a change.
    RememberGeometry();
    state_.viewState.viewDrawn = kViewNotDrawn;
    if (pickLoop_) pickLoop_->quit();
    e->accept();
}

void DataView::Combo1_Click() {
    ComputeScale();
    Redraw();
    FocusSurface();
}

void DataView::Combo2_Click() {
    Redraw();
    FocusSurface();
}

void DataView::ViewClier_Click() {
    ClearPicture();
    state_.viewState.viewDrawn = kViewNotDrawn;
}

void DataView::ViewEnd_Click() {
    if (APTsettei* e = editor()) e->hide();
    close();
}

void DataView::ViewFileOpen_Click() {
    FileDialogFlags flags;
    flags.hideReadOnly = true;
    const std::string path = dialogs_.OpenFileName(kPhotoFileFilter, flags);
    if (!path.empty()) OpenFile(path);
}

void DataView::ViewSetApp_Click() {
    EnsureEditor();
    APTsettei* e = editor();
    e->show();
    e->raise();
    e->activateWindow();
    e->AlignTitleColumns();
}

void DataView::ViewSetInForm_Click() {
    QPointer<InsetForm>& slot = links_.insetForm ? *links_.insetForm : ownInsetForm_;
    InsetForm::Open(slot, state_.settings, links_.owner ? links_.owner : this);
}

void DataView::ViewHeltpTopic_Click() { dialogs_.ShowHelp((state_.appPath / kViewHelpFileName).string()); }

void DataView::ViewPrintVer_Click() {
    if (!about_) about_ = new frmAbout(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void DataView::ViewOpt_Click() {
    if (!viewOption_) viewOption_ = new ViewOption(state_.settings, dialogs_, this);
    viewOption_->show();
    viewOption_->raise();
    viewOption_->activateWindow();
}

void DataView::ApplySettingsColours() {
    SurfaceColour draw = Picture1->drawColour();
    SurfaceColour back = Picture1->backColour();
    if (auto c = ColourNumber(state_.settings.drawColour)) draw = *c;
    if (auto c = ColourNumber(state_.settings.backColour)) back = *c;
    Picture1->SetColours(draw, draw, back);
}

}  // namespace mutaplot
