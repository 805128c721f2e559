#include "ui/Form1.h"

#include "aperture/APTsettei.h"
#include "convert/OutputWriter.h"
#include "platform/AppPath.h"
#include "settings/SettingsFile.h"
#include "ui/ActionTable.h"
#include "ui/BlockListModel.h"
#include "ui/DialogParts.h"
#include "ui/InsetForm.h"
#include "ui/MainLayout.h"
#include "ui/ScreenScale.h"
#include "ui/OutsetForm.h"
#include "ui/VerForm.h"
#include "ui/WindowMemory.h"
#include "viewer/DataView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableView>

namespace mutaplot {

namespace {

// The main window's menus, in order.
constexpr MenuRow<Form1> kMenuRows[] = {
    {"mnuFile", "ﾌｧｲﾙ(&F)", nullptr},
    {"mnuOpen", "ﾌｧｲﾙを開く(&O)", &Form1::mnuOpen_Click},
    {"mnuSave", "ﾌｧｲﾙを保存する(&S)", &Form1::mnuSave_Click},
    {"mnuFileNo", nullptr, nullptr},
    {"mnuEnd", "終了(&Q)", &Form1::mnuEnd_Click},
    {"mnuSettei", "設定(&G)", nullptr},
    {"mnuInput", "入力設定", &Form1::mnuInput_Click},
    {"mnuOut", "出力設定", &Form1::mnuOut_Click},
    {"settei_save", "設定の保存", &Form1::settei_save_Click},
    {"mnuClear", "クリア", nullptr},
    {"mnuClearData1", "入力データのクリア", &Form1::mnuClearData1_Click},
    {"mnuClearData2", "変換データのクリア", &Form1::mnuClearData2_Click},
    {"mnuRun", "実行(&R)", nullptr},
    {"mnuRunData", "入力データの変換", &Form1::mnuRunData_Click},
    {"mnuViewData", "入力データの表示", &Form1::mnuViewData_Click},
    {"mnuHelp", "ﾍﾙﾌﾟ(&H)", nullptr},
    {"mnuHelpView", "目次", &Form1::mnuHelpView_Click},
    {"mnuHelpb", nullptr, nullptr},
    {"mnuHelpVer", "バージョン情報", &Form1::mnuHelpVer_Click},
};

}  // namespace

Form1::Form1(AppState& state, Dialogs& dialogs, Pointer& pointer, std::filesystem::path appPath,
             QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      dialogs_(dialogs),
      pointer_(pointer),
      endProcess_([] { QCoreApplication::quit(); }),
      ownMemory_(new WindowMemory({}, this)),
      memory_(ownMemory_) {
    setObjectName("Form1");
    setAcceptDrops(true);
    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);
    Text1 = new QLineEdit(client_);
    Text2 = new QLineEdit(client_);
    for (QLineEdit* text : {Text1, Text2}) {
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
    }
    Text1->setObjectName("Text1");
    Text2->setObjectName("Text2");
    model1_ = new BlockListModel(this);
    model2_ = new BlockListModel(this);
    MSFlexGrid1 = MakeGrid("MSFlexGrid1", model1_);
    MSFlexGrid2 = MakeGrid("MSFlexGrid2", model2_);
    BuildMenus();
    connect(ownMemory_, &WindowMemory::recentChanged, this, &Form1::FillRecent);
    resize(900, 620);
    Form_Load(appPath);
}

Form1::~Form1() = default;

InsetForm* Form1::insetForm() const { return insetForm_; }
OutsetForm* Form1::outsetForm() const { return outsetForm_; }
VerForm* Form1::verForm() const { return verForm_; }
DataView* Form1::dataView() const { return dataView_; }
APTsettei* Form1::aptSettei() const { return aptSettei_; }

QTableView* Form1::MakeGrid(const char* name, BlockListModel* model) {
    auto* grid = new QTableView(client_);
    grid->setObjectName(name);
    grid->setModel(model);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    // Uniform row heights: a million rows cost nothing to lay out.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideNone);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // The column is as wide as the grid, so the part under the vertical
    // scroll bar is reached by scrolling a few pixels.
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->setRowHeight(0, 0);  // the title row
    return grid;
}

void Form1::BuildMenus() {
    BuildMenuBar(menuBar(), this, kMenuRows);
    // The recent files, after ﾌｧｲﾙを保存する.
    auto* file = menuBar()->findChild<QMenu*>("mnuFile");
    recentMenu_ = new QMenu(U(kRecentMenuCaption), file);
    recentMenu_->setObjectName("mnuRecent");
    file->insertMenu(file->findChild<QAction*>("mnuFileNo"), recentMenu_);
    FillRecent();
}

void Form1::UseMemory(WindowMemory* memory) {
    if (memory_ != ownMemory_) disconnect(memory_, nullptr, this, nullptr);
    memory_ = memory ? memory : ownMemory_;
    if (!memory) {
        FillRecent();
        return;
    }
    connect(memory_, &WindowMemory::recentChanged, this, &Form1::FillRecent);
    FillRecent();
    const QByteArray geometry = memory_->Geometry("Form1");
    if (!geometry.isEmpty()) restoreGeometry(geometry);
}

void Form1::FillRecent() {
    FillRecentMenu(recentMenu_, *memory_, [this](const std::string& p) { OpenRecent(p); });
}

void Form1::OpenRecent(const std::string& path) {
    // A file that is gone leaves the list after the read's message.
    if (!OpenInputFile(path) && !std::filesystem::exists(path)) memory_->RemoveRecent(path);
}

void Form1::Form_Load(const std::filesystem::path& appPath) {
    // 1. The settings dialogs exist from the start, hidden and empty.
    insetForm_ = new InsetForm(state_.settings, this);
    outsetForm_ = new OutsetForm(state_.settings, dialogs_, this);
    // 2. Status texts.
    Text1->setText(U(kInputTitleText));
    Text2->clear();
    // 3. Program folder and help file.
    state_.appPath = appPath;
    helpFile_ = appPath / kHelpFileName;
    // 4. Settings file.
    if (!LoadSettings(SettingsFile(), state_.settings, state_.settingsLines))
        ShowCheckMessage(dialogs_, kStartupFileMessage);
    // 5. Title.
    ShowTitles();
}

void Form1::ShowTitles() {
    setWindowTitle(CaptionWithFile(kMainTitle, state_.inputFileName));
    if (dataView_) dataView_->ShowTitle();
}

std::filesystem::path Form1::SettingsFile() const {
    return SettingsFileToRead(state_.userConfigFolder, state_.appPath);
}

std::filesystem::path Form1::SettingsSaveFile() const {
    if (state_.userConfigFolder.empty()) return state_.appPath / kSettingsFileName;
    return state_.userConfigFolder / kSettingsFileName;
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::Form_Resize() {
    const int twipsPerPixel = static_cast<int>(ScreenTwipsPerPixel(*this));
    const MainLayout l = ComputeMainLayout(client_->width(), client_->height(), twipsPerPixel);
    const auto place = [](QWidget* w, const Box& b) { w->setGeometry(b.left, b.top, b.width, b.height); };
    place(MSFlexGrid1, l.grid1);
    place(MSFlexGrid2, l.grid2);
    for (QTableView* grid : {MSFlexGrid1, MSFlexGrid2}) {
        grid->setRowHeight(0, 0);
        grid->setColumnWidth(0, l.columnWidth);
    }
    place(Text1, l.text1);
    place(Text2, l.text2);
}

void Form1::ShowReading() { Text1->setText(U(kReadingStatusText)); }
void Form1::ShowInputTitle() { Text1->setText(U(kInputTitleText)); }
void Form1::ClearOutputStatus() { Text2->clear(); }

void Form1::ShowInputGrid() {
    // Row 0 is the title row; row k + 1 shows entry k, the last row the
    // empty entry after the blocks.
    model1_->Show(state_.inputBlockList, state_.inputBlockList.blockCount() + 2);
    MSFlexGrid1->setRowHeight(0, 0);
    MSFlexGrid1->setCurrentIndex(model1_->index(0, 0));
}

void Form1::ShowConverting() {
    Text1->setText(U(kInputTitleText));
    Text2->setText(U(kConvertingText));
}

void Form1::ShowConvertedTitle() { Text2->setText(U(kConvertedDataTitle)); }

void Form1::ShowOutputBlocks(const OutputBlockList& output) {
    // Row 0 is the title row; row k + 1 shows entry k.
    model2_->Show(output, output.blockCount() + 1);
    MSFlexGrid2->setRowHeight(0, 0);
    MSFlexGrid2->setCurrentIndex(model2_->index(0, 0));
}

void Form1::mnuOpen_Click() {
    const std::string path = dialogs_.OpenFileName(kPhotoFileFilter, FileDialogFlags{true, false});
    OpenInputFile(path);
}

bool Form1::OpenInputFile(const std::filesystem::path& path) {
    // Read into a list of its own: a failed read leaves the previous file,
    // its grid and its title as they were.
    const ReadOutcome outcome = ReadBlockFileKeepingList(
        path, state_.settings, state_.inputBlockList, ReaderEntry::MainWindow, dialogs_, pointer_, this);
    if (outcome != ReadOutcome::Read) return false;
    InputFileRead(path);
    return true;
}

void Form1::InputFileRead(const std::filesystem::path& path) {
    state_.inputFileName = path;
    {
        BusyPointer busy(pointer_);
        ShowInputGrid();
    }
    // The conversion of the previous file is no conversion of this one.
    mnuClearData2_Click();
    if (dataView_) dataView_->InputReplaced();
    ShowTitles();
    memory_->AddRecent(path);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const auto file = DroppedFile(event->mimeData());
    if (!file) return;
    event->acceptProposedAction();
    OpenInputFile(*file);
}

void Form1::mnuSave_Click() {
    const std::string path = dialogs_.SaveFileName(kGerberSaveFilter, FileDialogFlags{true, true});
    SaveConvertedFile(path, state_.outputBlockList, state_.settings, dialogs_, pointer_);
}

void Form1::mnuRunData_Click() {
    RunConversion(state_.inputBlockList, state_.settings, state_.converterState, state_.currentGCode,
                  state_.outputBlockList, dialogs_, pointer_, this);
}

void Form1::mnuEnd_Click() {
    if (dialogs_.ShowMessage(kQuitMessage, kQuitTitle, MessageButtons::OkCancel) == MessageAnswer::Ok) {
        memory_->SetGeometry("Form1", saveGeometry());
        if (dataView_ && dataView_->isVisible()) dataView_->RememberGeometry();
        endProcess_();
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    memory_->SetGeometry("Form1", saveGeometry());
    if (dataView_ && dataView_->isVisible()) dataView_->RememberGeometry();
    event->accept();
    endProcess_();
}

void Form1::mnuInput_Click() { InsetForm::Open(insetForm_, state_.settings, this); }

void Form1::mnuOut_Click() { OutsetForm::Open(outsetForm_, state_.settings, dialogs_, this); }

void Form1::settei_save_Click() {
    // The user's folder is made on the first save.
    const std::filesystem::path file = SettingsSaveFile();
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (!SaveSettings(file, state_.settings, state_.settingsLines))
        ShowCheckMessage(dialogs_, kSettingsSaveFailedMessage);
}

void Form1::mnuClearData1_Click() {
    model1_->Clear();
    MSFlexGrid1->setRowHeight(0, 0);
    state_.inputBlockList.Clear();
    state_.inputFileName.clear();
    ShowTitles();
}

void Form1::mnuClearData2_Click() {
    model2_->Clear();
    MSFlexGrid2->setRowHeight(0, 0);
    state_.outputBlockList.Clear();
    Text1->setText(U(kInputTitleText));
    Text2->clear();
}

void Form1::mnuViewData_Click() {
    // A viewer that is open is brought forward.
    if (!dataView_)
        dataView_ = new DataView(
            state_, dialogs_, pointer_,
            ViewerLinks{&insetForm_, &aptSettei_, this,
                        [this](const std::filesystem::path& p) { InputFileRead(p); }, memory_},
            this);
    dataView_->show();
    dataView_->raise();
    dataView_->activateWindow();
}

void Form1::mnuHelpView_Click() { dialogs_.ShowHelp(helpFile_.string()); }

void Form1::mnuHelpVer_Click() {
    if (!verForm_) verForm_ = new VerForm(this);
    verForm_->show();
    verForm_->raise();
    verForm_->activateWindow();
}

}  // namespace mutaplot
