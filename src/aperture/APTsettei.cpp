#include "aperture/APTsettei.h"

#include "aperture/APTinport.h"
#include "aperture/ApertureTableModel.h"
#include "aperture/AptFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace mutaplot {

namespace {

QString U8(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr const char* kShapeList[] = {kShapeRound, kShapeRectangle, kShapeThermalAxes,
                                      kShapeThermalDiagonal};

// Alignment the dialog's load gives all five columns, and the one the
// viewer's アパーチュアの設定 gives columns 0 to 3 after showing the editor.
constexpr Qt::Alignment kLoadAlignment = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kTitleColumnsAlignment = Qt::AlignLeft | Qt::AlignBottom;
constexpr int kTitleColumnsAligned = 4;

}  // namespace

APTsettei::APTsettei(ApertureTable& table, std::filesystem::path appPath, Dialogs& dialogs,
                     Pointer& pointer, QWidget* parent)
    : QWidget(parent, Qt::Window),
      table_(table),
      appPath_(std::move(appPath)),
      dialogs_(dialogs),
      pointer_(pointer),
      model_(new ApertureTableModel(table, this)) {
    setObjectName("APTsettei");
    setWindowTitle(U8(kAptSetteiTitle));
    BuildControls();
    // Form_Load: the shape list, the default list (which sets the column
    // titles), all five columns aligned left-centre.
    for (const char* shape : kShapeList) Combo1->addItem(U8(shape));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString());
    EnsureTableLoaded();
    ShowTableReloaded(1);
    for (int c = 0; c < kApertureGridColumnCount; ++c) model_->SetColumnAlignment(c, kLoadAlignment);
    // Browsing until a row is clicked.
    SetEditButtonsEnabled(false);
}

APTsettei::~APTsettei() = default;

APTinport* APTsettei::importDialog() const { return import_; }

void APTsettei::BuildControls() {
    MSFlexGrid1 = new QTableView(this);
    MSFlexGrid1->setObjectName("MSFlexGrid1");
    MSFlexGrid1->setModel(model_);
    MSFlexGrid1->verticalHeader()->hide();
    MSFlexGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MSFlexGrid1->verticalHeader()->setDefaultSectionSize(MSFlexGrid1->fontMetrics().height() + 4);
    MSFlexGrid1->horizontalHeader()->setSectionsClickable(false);
    MSFlexGrid1->horizontalHeader()->setHighlightSections(false);
    MSFlexGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MSFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MSFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    MSFlexGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    MSFlexGrid1->setWordWrap(false);
    MSFlexGrid1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    MSFlexGrid1->installEventFilter(this);
    MSFlexGrid1->viewport()->installEventFilter(this);
    // Columns wide enough for the longer of the two title sets.
    const QFontMetrics fm = MSFlexGrid1->horizontalHeader()->fontMetrics();
    for (int c = 0; c < kApertureGridColumnCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        const int title = std::max(fm.horizontalAdvance(U8(kAptFileColumnTitles[i])),
                                   fm.horizontalAdvance(U8(kDefaultColumnTitles[i])));
        MSFlexGrid1->setColumnWidth(c, std::max(title + 16, fm.horizontalAdvance(QStringLiteral("00.000")) + 12));
    }
    connect(MSFlexGrid1, &QTableView::clicked, this, &APTsettei::MSFlexGrid1_Click);
    connect(MSFlexGrid1, &QTableView::doubleClicked, this, &APTsettei::MSFlexGrid1_Click);

    auto makeLabel = [this](const char* name, const char* caption) {
        auto* label = new QLabel(U8(caption), this);
        label->setObjectName(name);
        return label;
    };
    auto makeText = [this](const char* name) {
        auto* text = new QLineEdit(this);
        text->setObjectName(name);
        return text;
    };
    auto makeButton = [this](const char* name, const char* caption, void (APTsettei::*handler)()) {
        auto* button = new QPushButton(U8(caption), this);
        button->setObjectName(name);
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    Label3 = makeLabel("Label3", "Xｻｲｽﾞ･TH内径");
    Text1 = makeText("Text1");
    Label4 = makeLabel("Label4", "Ｙｻｲｽﾞ･TH外径");
    Text2 = makeText("Text2");
    Label1 = makeLabel("Label1", "TH接続幅");
    Text3 = makeText("Text3");
    Label5 = makeLabel("Label5", "形状");
    Combo1 = new QComboBox(this);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Command4 = makeButton("Command4", "中止", &APTsettei::Command4_Click);
    Command5 = makeButton("Command5", "変更", &APTsettei::Command5_Click);
    Command6 = makeButton("Command6", "初期値に戻す", &APTsettei::Command6_Click);
    Command8 = makeButton("Command8", "ｲﾝﾎﾟｰﾄ", &APTsettei::Command8_Click);
    Command1 = makeButton("Command1", "ﾌｧｲﾙ読込", &APTsettei::Command1_Click);
    Command2 = makeButton("Command2", "ﾌｧｲﾙ保存", &APTsettei::Command2_Click);
    Command3 = makeButton("Command3", "OK (記憶)", &APTsettei::Command3_Click);
    Command7 = makeButton("Command7", "ｷｬﾝｾﾙ", &APTsettei::Command7_Click);

    auto* side = new QVBoxLayout;
    for (auto [label, box] : {std::pair<QLabel*, QWidget*>{Label3, Text1}, {Label4, Text2},
                              {Label1, Text3}, {Label5, Combo1}}) {
        side->addWidget(label);
        side->addWidget(box);
    }
    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(Command4);
    editButtons->addWidget(Command5);
    side->addSpacing(6);
    side->addLayout(editButtons);
    side->addSpacing(12);
    for (QPushButton* b : {Command6, Command8, Command1, Command2}) side->addWidget(b);
    side->addStretch();
    side->addWidget(Command3);
    side->addWidget(Command7);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(MSFlexGrid1, 1);
    layout->addLayout(side);
    int gridWidth = 2 * MSFlexGrid1->frameWidth() + MSFlexGrid1->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < kApertureGridColumnCount; ++c) gridWidth += MSFlexGrid1->columnWidth(c);
    MSFlexGrid1->setMinimumWidth(gridWidth);
    resize(gridWidth + 200, 520);
}

bool APTsettei::EnsureTableLoaded() {
    if (!table_.loaded) {
        LoadDefaultAptFile(appPath_, table_, dialogs_, pointer_);
        ShowTableReloaded(1);
    }
    return table_.loaded;
}

void APTsettei::AlignTitleColumns() {
    for (int c = 0; c < kTitleColumnsAligned; ++c) model_->SetColumnAlignment(c, kTitleColumnsAlignment);
}

int APTsettei::CurrentRow() const {
    const QModelIndex current = MSFlexGrid1->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void APTsettei::SetCurrentRow(int row) {
    if (row < 1 || row > model_->rowCount()) return;
    const int column = std::max(0, MSFlexGrid1->currentIndex().column());
    MSFlexGrid1->setCurrentIndex(model_->index(row - 1, column));
}

ApertureEntry* APTsettei::CurrentEntry() {
    const int row = CurrentRow();
    if (row < 1 || static_cast<std::size_t>(row) > table_.entries.size()) return nullptr;
    return &table_.entries[static_cast<std::size_t>(row - 1)];
}

void APTsettei::ShowTableReloaded(int keepRow) {
    model_->Reload();
    const int rows = model_->rowCount();
    if (rows > 0) SetCurrentRow(std::clamp(keepRow, 1, rows));
}

void APTsettei::SetFileButtonsEnabled(bool enabled) {
    for (QPushButton* b : {Command1, Command2, Command3}) b->setEnabled(enabled);
}

void APTsettei::SetEditButtonsEnabled(bool enabled) {
    Command4->setEnabled(enabled);
    Command5->setEnabled(enabled);
}

void APTsettei::ClearTextBoxes() {
    Text1->clear();
    Text2->clear();
    Text3->clear();
}

void APTsettei::MSFlexGrid1_Click() {
    ApertureEntry* entry = CurrentEntry();
    if (!entry) return;  // no data row under the click
    QPalette palette = MSFlexGrid1->palette();
    palette.setColor(QPalette::Base, Qt::white);
    MSFlexGrid1->setPalette(palette);
    editBackup_ = {entry->sizeX, entry->sizeY, entry->connectWidth};
    Text1->setText(QString::fromStdString(entry->sizeX));
    Text2->setText(QString::fromStdString(entry->sizeY));
    Text3->setText(QString::fromStdString(entry->connectWidth));
    Combo1->setEditText(QString::fromStdString(entry->shape));
    MSFlexGrid1->selectRow(CurrentRow() - 1);
    MSFlexGrid1->setEnabled(false);
    SetFileButtonsEnabled(false);
    SetEditButtonsEnabled(true);
}

void APTsettei::RestoreFromBackup() {
    ApertureEntry* entry = CurrentEntry();
    if (!entry) return;
    entry->sizeX = editBackup_[0];
    entry->sizeY = editBackup_[1];
    entry->connectWidth = editBackup_[2];
    model_->EntryChanged(CurrentRow() - 1);
}

void APTsettei::Command5_Click() {
    // Each box is written as soon as it is found not empty, in this order; an
    // empty one refuses the change and the three sizes go back to editBackup.
    ApertureEntry* entry = CurrentEntry();
    const std::array<std::string, 4> typed = {Text1->text().toStdString(), Text2->text().toStdString(),
                                              Text3->text().toStdString(),
                                              Combo1->currentText().toStdString()};
    bool accepted = true;
    for (std::size_t i = 0; i < typed.size() && accepted; ++i) {
        if (typed[i].empty()) accepted = false;
        else if (entry) ApertureField(*entry, static_cast<int>(i) + 2) = typed[i];
    }
    if (entry) model_->EntryChanged(CurrentRow() - 1);
    if (!accepted) {
        ShowCheckMessage(dialogs_, kChangeRefusedMessage);
        RestoreFromBackup();
    }
    MSFlexGrid1->setEnabled(true);
    SetFileButtonsEnabled(true);
    ClearTextBoxes();
    SetEditButtonsEnabled(false);
}

void APTsettei::Command4_Click() {
    RestoreFromBackup();
    MSFlexGrid1->setEnabled(true);
    SetFileButtonsEnabled(true);
    ClearTextBoxes();
    SetEditButtonsEnabled(false);
}

void APTsettei::ReportFileOutcome(AptFileOutcome outcome) {
    if (const char* message = AptFileMessage(outcome))
        ShowCheckMessage(dialogs_, message);
}

void APTsettei::Command1_Click() {
    MSFlexGrid1->setEnabled(false);
    const std::string path = dialogs_.OpenFileName(kAptFileFilter, FileDialogFlags{true, false});
    AptFileOutcome outcome = AptFileOutcome::Ok;
    if (!path.empty()) {
        const int keepRow = CurrentRow();
        BusyPointer busy(pointer_);
        MSFlexGrid1->setEnabled(true);
        MSFlexGrid1->hide();
        outcome = LoadAptFile(path, table_);
        ShowTableReloaded(keepRow);
    }
    pointer_.SetPointer(PointerShape::Default);
    MSFlexGrid1->show();
    ClearTextBoxes();
    SetEditButtonsEnabled(false);
    MSFlexGrid1->setEnabled(true);
    ReportFileOutcome(outcome);
}

void APTsettei::Command2_Click() {
    // A save dialog, which asks before it replaces a file.
    FileDialogFlags flags;
    flags.hideReadOnly = true;
    flags.overwritePrompt = true;
    const std::string path = dialogs_.SaveFileName(kAptFileFilter, flags);
    AptFileOutcome outcome = AptFileOutcome::Ok;
    if (!path.empty()) {
        BusyPointer busy(pointer_);
        outcome = SaveAptFile(path, table_);
    }
    pointer_.SetPointer(PointerShape::Default);
    ClearTextBoxes();
    SetEditButtonsEnabled(false);
    ReportFileOutcome(outcome);
}

void APTsettei::Command6_Click() {
    AptFileOutcome outcome;
    {
        const int keepRow = CurrentRow();
        BusyPointer busy(pointer_);
        MSFlexGrid1->setEnabled(true);
        MSFlexGrid1->hide();
        outcome = LoadAptFile(appPath_ / kDefaultAptFileName, table_);
        ShowTableReloaded(keepRow);
    }
    MSFlexGrid1->show();
    SetFileButtonsEnabled(true);
    ClearTextBoxes();
    // 中止 and 変更 stay as they were.
    ReportFileOutcome(outcome);
}

void APTsettei::Command3_Click() {
    if (const auto message = CheckApertureTable(table_)) {
        ShowCheckMessage(dialogs_, *message);
        return;
    }
    if (QWidget* viewer = ViewerWindow()) viewer->activateWindow();
    hide();
    ClearTextBoxes();
}

QWidget* APTsettei::ViewerWindow() const {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("DataView") && w->isVisible()) return w;
    return parentWidget() ? parentWidget()->window() : nullptr;
}

void APTsettei::Command7_Click() {
    if (unloading_) return;
    unloading_ = true;
    hide();
    // Unload: the table goes with the editor, every change since the load
    // included; the next access loads the default list again.
    if (import_) import_->Unload();
    table_.entries.clear();
    table_.loaded = false;
    model_->Reload();
    deleteLater();
}

void APTsettei::Command8_Click() {
    MSFlexGrid1->setEnabled(false);
    if (!import_) {
        import_ = new APTinport(table_, dialogs_, pointer_, this);
        connect(import_, &APTinport::importEnded, this, &APTsettei::ImportEnded);
    }
    import_->show();
    import_->raise();
    import_->activateWindow();
}

void APTsettei::ImportEnded() {
    pointer_.SetPointer(PointerShape::Default);
    ShowTableReloaded(CurrentRow());
    MSFlexGrid1->show();
    ClearTextBoxes();
    SetEditButtonsEnabled(false);
    MSFlexGrid1->setEnabled(true);
}

void APTsettei::Form_Activate() { SetEditButtonsEnabled(false); }

void APTsettei::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (!isActiveWindow()) activatedByPress_ = false;
        else if (activatedByPress_) activatedByPress_ = false;  // handled at the press
        else Form_Activate();
    }
    QWidget::changeEvent(event);
}

void APTsettei::closeEvent(QCloseEvent* event) {
    // The close box unloads the editor as ｷｬﾝｾﾙ does; a close() from the
    // program only hides it.
    event->accept();
    if (event->spontaneous()) Command7_Click();
}

bool APTsettei::eventFilter(QObject* watched, QEvent* event) {
    // A click on a row of the inactive editor activates it first and begins
    // the edit second, although the window system reports the activation
    // only after the click.
    if (watched == MSFlexGrid1->viewport() && event->type() == QEvent::MouseButtonPress &&
        isVisible() && !isActiveWindow()) {
        Form_Activate();
        activatedByPress_ = true;
    }
    if (watched == MSFlexGrid1 && event->type() == QEvent::KeyPress && MSFlexGrid1->isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            MSFlexGrid1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace mutaplot
