// The aperture editor and its import dialog, offscreen, with scripted file
// dialogs: every command and state of the editor, and the path editor →
// import of a resist report → a display pass drawing with the imported sizes.

#include "aperture/APTinport.h"
#include "aperture/APTsettei.h"
#include "aperture/ApertureTableModel.h"
#include "aperture/AptFile.h"
#include "aperture/ColmoImport.h"
#include "platform/OncePerWalkDialogs.h"
#include "settings/Cp932.h"
#include "support/FakePlatform.h"
#include "support/RecordingSurface.h"
#include "support/TempDir.h"
#include "ui/AppState.h"
#include "ui/UiTestApp.h"
#include "viewer/Rendering.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

#include <algorithm>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::ReadFileBytes;
using testing::RecordingSurface;
using testing::TempDir;

const std::string kReports = std::string(MUTAPLOT_TEST_DATA) + "/aperture/";

// A default list D10 … D500: round, X = Y = (d − 9) / 100 mm.
std::string DefaultList() {
    std::string s;
    for (int d = kFirstDCode; d <= kLastDCode; ++d) {
        const std::string size = std::to_string(d - 9) + "e-2";
        s += "\"D" + std::to_string(d) + "\"," + std::to_string(d - 9) + "e-2," + size +
             ",\"0\",\"\x81\x9B\"\r\n";
    }
    return s;
}

void DeleteLaterNow() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class AptEditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }
    void SetUp() override {
        dir.Write("fast.apt", DefaultList());
        editor = Open();
    }
    void TearDown() override {
        delete editor.data();
        DeleteLaterNow();
    }
    APTsettei* Open() { return new APTsettei(state.apertureTable, dir.path(), ui, ui); }
    ApertureEntry& Entry(int dCode) { return state.apertureTable.entries[static_cast<std::size_t>(dCode - 10)]; }
    void Click(int dCode) {
        editor->SetCurrentRow(dCode - 9);
        editor->MSFlexGrid1_Click();
    }
    void Type(const char* x, const char* y, const char* cw) {
        editor->Text1->setText(QString::fromUtf8(x));
        editor->Text2->setText(QString::fromUtf8(y));
        editor->Text3->setText(QString::fromUtf8(cw));
    }
    // Browsing: grid and file buttons enabled, 中止 and 変更 disabled, boxes empty.
    void ExpectBrowsing() {
        EXPECT_TRUE(editor->MSFlexGrid1->isEnabled());
        for (QPushButton* b : {editor->Command1, editor->Command2, editor->Command3}) EXPECT_TRUE(b->isEnabled());
        EXPECT_FALSE(editor->Command4->isEnabled());
        EXPECT_FALSE(editor->Command5->isEnabled());
        for (QLineEdit* t : {editor->Text1, editor->Text2, editor->Text3}) EXPECT_TRUE(t->text().isEmpty());
    }
    void ExpectEntry(int dCode, const char* x, const char* y, const char* cw, const char* shape) {
        SCOPED_TRACE("D" + std::to_string(dCode));
        const ApertureEntry& e = Entry(dCode);
        EXPECT_EQ(e.label, "D" + std::to_string(dCode));
        EXPECT_EQ(e.sizeX, x);
        EXPECT_EQ(e.sizeY, y);
        EXPECT_EQ(e.connectWidth, cw);
        EXPECT_EQ(e.shape, shape);
    }
    QString Cell(int gridRow, int column) const {
        return editor->model()->index(gridRow - 1, column).data().toString();
    }
    QString Title(int column) const {
        return editor->model()->headerData(column, Qt::Horizontal).toString();
    }

    TempDir dir;
    FakePlatform ui;
    AppState state;
    QPointer<APTsettei> editor;
};

TEST_F(AptEditorTest, LoadFillsTheTableHiddenWithTheDefaultTitles) {
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(editor->windowTitle(), QString::fromUtf8("アパーチュア・リストの設定"));
    ASSERT_TRUE(state.apertureTable.loaded);
    ASSERT_EQ(state.apertureTable.entries.size(), kApertureCount);
    EXPECT_EQ(editor->model()->rowCount(), 491);
    EXPECT_EQ(editor->model()->columnCount(), 5);
    EXPECT_EQ(Title(0), QString::fromUtf8("Dｺｰﾄﾞ"));
    EXPECT_EQ(Title(1), QString::fromUtf8("ｻｲｽﾞXmm"));
    EXPECT_EQ(Title(3), QString::fromUtf8("TH接続幅"));
    // Grid row 3 is D12: unquoted 3e-2 is read as the number 0.03.
    EXPECT_EQ(Cell(3, 0), "D12");
    EXPECT_EQ(Cell(3, 1), "0.03");
    EXPECT_EQ(Cell(491, 0), "D500");
    EXPECT_EQ(editor->CurrentRow(), 1);
    QStringList shapes;
    for (int i = 0; i < editor->Combo1->count(); ++i) shapes << editor->Combo1->itemText(i);
    EXPECT_EQ(shapes, QStringList({"○", "□", "＋", "×"}));
    EXPECT_TRUE(editor->Combo1->isEditable());
    for (int c = 0; c < 5; ++c) EXPECT_EQ(editor->model()->ColumnAlignment(c), Qt::AlignLeft | Qt::AlignVCenter);
    editor->AlignTitleColumns();
    for (int c = 0; c < 4; ++c) EXPECT_EQ(editor->model()->ColumnAlignment(c), Qt::AlignLeft | Qt::AlignBottom);
    EXPECT_EQ(editor->model()->ColumnAlignment(4), Qt::AlignLeft | Qt::AlignVCenter);
    ExpectBrowsing();
    EXPECT_TRUE(ui.messages.empty());

    // A second editor over a loaded table does not load again.
    Entry(10).sizeX = "9";
    QPointer<APTsettei> second = Open();
    EXPECT_EQ(Entry(10).sizeX, "9");
    delete second.data();
}

TEST_F(AptEditorTest, ChangeWritesTheEntryThatTheNextDrawingUses) {
    Click(12);
    EXPECT_EQ(editor->Text1->text(), "0.03");
    EXPECT_EQ(editor->Text2->text(), "0.03");
    EXPECT_EQ(editor->Text3->text(), "0");
    EXPECT_EQ(editor->Combo1->currentText(), QString::fromUtf8("○"));
    EXPECT_EQ(editor->editBackup(), (std::array<std::string, 3>{"0.03", "0.03", "0"}));
    EXPECT_FALSE(editor->MSFlexGrid1->isEnabled());
    for (QPushButton* b : {editor->Command1, editor->Command2, editor->Command3}) EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(editor->Command4->isEnabled());
    EXPECT_TRUE(editor->Command5->isEnabled());
    const QModelIndexList selected = editor->MSFlexGrid1->selectionModel()->selectedIndexes();
    EXPECT_EQ(selected.size(), 5);
    for (const QModelIndex& i : selected) EXPECT_EQ(i.row(), 2);

    Type("0.8", "0.6", "0.1");
    editor->Combo1->setEditText(QString::fromUtf8("□"));
    editor->Command5_Click();
    ExpectEntry(12, "0.8", "0.6", "0.1", "□");
    ExpectEntry(11, "0.02", "0.02", "0", "○");
    ExpectEntry(13, "0.04", "0.04", "0", "○");
    EXPECT_EQ(Cell(3, 1), "0.8");  // the grid shows it
    ExpectBrowsing();
    EXPECT_EQ(editor->Combo1->currentText(), QString::fromUtf8("□"));  // never emptied
    EXPECT_TRUE(ui.messages.empty());

    // The next drawing takes the new sizes without OK (記憶).
    PlotRecords records = state.BindPlotRecords();
    SelectAperture("12", state.apertureTable, records, ui);
    EXPECT_EQ(state.currentAperture.sizeX, 0.8);
    EXPECT_EQ(state.currentAperture.sizeY, 0.6);
    EXPECT_EQ(state.currentAperture.shape, ApertureShape::Square);
}

TEST_F(AptEditorTest, RefusalAfterEmptyingYRestoresTheEntry) {
    Click(15);
    Type("7", "", "2");
    editor->Combo1->setEditText(QString::fromUtf8("×"));
    editor->Command5_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "変更は受け付けられません。Ｄコードの選択からやり直してください。");
    EXPECT_EQ(ui.messages[0].title, "確認");
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
    ExpectEntry(15, "0.06", "0.06", "0", "○");  // X had been written, then restored
    ExpectBrowsing();

    // An empty shape is refused too; blanks are not empty.
    Click(15);
    Type(" ", "1", "0");
    editor->Combo1->setEditText(QString());
    editor->Command5_Click();
    EXPECT_EQ(ui.messages.size(), 2u);
    ExpectEntry(15, "0.06", "0.06", "0", "○");
}

TEST_F(AptEditorTest, StopAndTypedShapeText) {
    Click(20);
    Type("5", "5", "5");
    editor->Combo1->setEditText(QString::fromUtf8("□"));
    editor->Command4_Click();  // 中止
    ExpectEntry(20, "0.11", "0.11", "0", "○");
    ExpectBrowsing();
    EXPECT_EQ(editor->Combo1->currentText(), QString::fromUtf8("□"));

    // Any text typed into the shape box becomes the shape; sizes are not checked.
    Click(20);
    EXPECT_EQ(editor->Combo1->currentText(), QString::fromUtf8("○"));
    Type("abc", "1", "0");
    editor->Combo1->setEditText(QString::fromUtf8("楕円"));
    editor->Command5_Click();
    ExpectEntry(20, "abc", "1", "0", "楕円");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AptEditorTest, KeyboardAndMouseChooseARowLikeAClick) {
    editor->show();
    editor->SetCurrentRow(5);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(editor->MSFlexGrid1, &enter);
    EXPECT_FALSE(editor->MSFlexGrid1->isEnabled());
    EXPECT_EQ(editor->Text1->text(), "0.05");  // D14
    editor->Command4_Click();

    QWidget* viewport = editor->MSFlexGrid1->viewport();
    const QPoint at = editor->MSFlexGrid1->visualRect(editor->model()->index(2, 3)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &e);
    }
    EXPECT_EQ(editor->CurrentRow(), 3);
    EXPECT_EQ(editor->Text1->text(), "0.03");
    EXPECT_TRUE(editor->Command5->isEnabled());
}

TEST_F(AptEditorTest, ActivationDisablesStopAndChangeInTheMiddleOfAnEdit) {
    QWidget viewer;
    viewer.setWindowTitle("viewer");
    viewer.show();
    editor->show();
    Click(30);
    ASSERT_TRUE(editor->Command5->isEnabled());
    // Over to the viewer and back.
    viewer.activateWindow();
    QCoreApplication::processEvents();
    editor->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(editor->isActiveWindow());
    EXPECT_FALSE(editor->Command4->isEnabled());
    EXPECT_FALSE(editor->Command5->isEnabled());
    EXPECT_FALSE(editor->MSFlexGrid1->isEnabled());
    EXPECT_FALSE(editor->Command1->isEnabled());
    EXPECT_FALSE(editor->Command3->isEnabled());
    // 初期値に戻す leads out: grid and file buttons enabled, 中止/変更 as they were.
    Entry(30).sizeX = "changed";
    editor->Command6_Click();
    EXPECT_EQ(Entry(30).sizeX, "0.21");
    EXPECT_TRUE(editor->MSFlexGrid1->isEnabled());
    EXPECT_TRUE(editor->Command2->isEnabled());
    EXPECT_FALSE(editor->Command5->isEnabled());
    EXPECT_EQ(Title(1), QString::fromUtf8("ｻｲｽﾞX(mm)"));
    EXPECT_EQ(ui.pointer, PointerShape::Default);

    // Coming back by clicking a row: the window system reports the activation
    // after the click, but it counts as coming first, so the edit stays open.
    editor->Command4_Click();
    viewer.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_FALSE(editor->isActiveWindow());
    QWidget* viewport = editor->MSFlexGrid1->viewport();
    const QPoint at = editor->MSFlexGrid1->visualRect(editor->model()->index(0, 1)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &e);
    }
    editor->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(editor->isActiveWindow());
    EXPECT_EQ(editor->Text1->text(), "0.01");  // D10
    EXPECT_TRUE(editor->Command4->isEnabled());
    EXPECT_TRUE(editor->Command5->isEnabled());
    // A later return from the viewer disables them again.
    viewer.activateWindow();
    QCoreApplication::processEvents();
    editor->activateWindow();
    QCoreApplication::processEvents();
    EXPECT_FALSE(editor->Command5->isEnabled());
    editor->hide();
}

TEST_F(AptEditorTest, ResetLeavesStopAndChangeEnabledInAnEdit) {
    Click(10);
    Type("1", "1", "0");
    editor->Command6_Click();
    EXPECT_TRUE(editor->Command4->isEnabled());
    EXPECT_TRUE(editor->MSFlexGrid1->isEnabled());
    EXPECT_TRUE(editor->Text1->text().isEmpty());
    // A reset to a missing default list keeps the table and says so.
    std::filesystem::remove(dir / "fast.apt");
    editor->Command6_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kAptCannotOpenMessage);
    EXPECT_EQ(state.apertureTable.entries.size(), kApertureCount);
}

TEST_F(AptEditorTest, OkChecksAndHidesCancelDiscardsTheTable) {
    QWidget viewer;
    viewer.setObjectName("DataView");
    viewer.show();
    editor->show();
    editor->activateWindow();
    QCoreApplication::processEvents();
    Entry(40).label.clear();
    editor->Command3_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Ｄコード確認中エラーが発生しました。入力データを見直して下さい。");
    EXPECT_TRUE(editor->isVisible());
    Entry(40).label = "D40";

    Click(11);
    Type("2.5", "2.5", "0");
    editor->Command5_Click();
    editor->Text1->setText("left over");
    editor->Command3_Click();  // OK (記憶)
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(editor->Text1->text().isEmpty());
    EXPECT_EQ(Entry(11).sizeX, "2.5");
    QCoreApplication::processEvents();
    EXPECT_TRUE(viewer.isActiveWindow());  // the focus goes to the viewer

    editor->show();
    editor->Command7_Click();  // ｷｬﾝｾﾙ
    EXPECT_FALSE(editor->isVisible());
    EXPECT_FALSE(state.apertureTable.loaded);
    EXPECT_TRUE(state.apertureTable.entries.empty());
    DeleteLaterNow();
    EXPECT_TRUE(editor.isNull());

    // The next access loads fast.apt again.
    editor = Open();
    ASSERT_TRUE(state.apertureTable.loaded);
    EXPECT_EQ(Entry(11).sizeX, "0.02");
    EXPECT_EQ(Title(1), QString::fromUtf8("ｻｲｽﾞXmm"));
}

TEST_F(AptEditorTest, FileLoadThroughTheOpenDialogSaveThroughTheSaveDialog) {
    const auto small = dir.Write("small.apt", "\"A\",\"1\",\"2\",\"0\",\"\x81\xA0\"\r\n\"B\",3,4,0,\"\x81\x7B\"\r\n");
    ui.fileAnswers = {small.string()};
    editor->Command1_Click();  // ﾌｧｲﾙ読込
    ASSERT_EQ(ui.fileFilters.size(), 1u);
    EXPECT_EQ(ui.fileFilters[0], "APTﾌｧｲﾙ(*.apt)|*.apt");
    EXPECT_TRUE(ui.fileFlags[0].hideReadOnly);
    EXPECT_EQ(editor->model()->rowCount(), 2);
    EXPECT_EQ(Cell(2, 4), QString::fromUtf8("＋"));
    EXPECT_EQ(Title(2), QString::fromUtf8("ｻｲｽﾞY(mm)"));
    ExpectBrowsing();
    EXPECT_EQ(ui.pointer, PointerShape::Default);
    EXPECT_TRUE(editor->MSFlexGrid1->isVisibleTo(editor));

    // Saving a table of two entries is refused, the target stays as it was.
    const auto target = dir.Write("out.apt", "old");
    ui.fileAnswers = {target.string()};
    editor->Command2_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kAptSaveTooFewEntriesMessage);
    EXPECT_EQ(ReadFileBytes(target), "old");

    // Reset, change one entry, save to a new name (a missing file is accepted).
    editor->Command6_Click();
    Click(500);
    Type("9.5", "9.5", "0");
    editor->Command5_Click();
    ui.fileAnswers = {(dir / "new.apt").string()};
    editor->Command2_Click();
    EXPECT_EQ(ui.fileFilters.back(), "APTﾌｧｲﾙ(*.apt)|*.apt");
    // ﾌｧｲﾙ保存 asks with the save dialog, which asks before replacing a file
    // (ﾌｧｲﾙ読込 with the open dialog).
    EXPECT_FALSE(ui.saveDialogs.front());
    EXPECT_TRUE(ui.saveDialogs.back());
    EXPECT_TRUE(ui.fileFlags.back().overwritePrompt);
    const std::string saved = ReadFileBytes(dir / "new.apt");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 491);
    EXPECT_NE(saved.find("\"D500\",\"9.5\",\"9.5\",\"0\",\"\x81\x9B\"\r\n"), std::string::npos);

    // A cancelled choice loads nothing and enables the grid again.
    Click(10);
    editor->Command4_Click();
    editor->Command1_Click();
    EXPECT_EQ(Entry(500).sizeX, "9.5");
    ExpectBrowsing();
    EXPECT_EQ(ui.messages.size(), 1u);
}

// ---- the import dialog ------------------------------------------------------

TEST_F(AptEditorTest, ImportOverlaysTheReportAndEnablesTheGrid) {
    editor->show();
    editor->Command8_Click();  // ｲﾝﾎﾟｰﾄ
    EXPECT_FALSE(editor->MSFlexGrid1->isEnabled());
    QPointer<APTinport> dialog = editor->importDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("ｱﾊﾟｰﾁｭｱﾘｽﾄのｲﾝﾎﾟｰﾄ"));
    EXPECT_EQ(dialog->Label1->text(), QString::fromUtf8("CAD又はリスト形式を選択して下さい。"));
    EXPECT_EQ(dialog->Combo1->count(), 2);
    EXPECT_EQ(dialog->Combo1->currentText(), QString::fromUtf8("colmo出力結果file"));
    EXPECT_EQ(dialog->Combo1->itemText(1), QString::fromUtf8("RS-274X（%ADD）"));
    EXPECT_EQ(dialog->Command1->text(), QString::fromUtf8("ﾌｧｲﾙ選択"));
    EXPECT_EQ(dialog->Command2->text(), QString::fromUtf8("ｷｬﾝｾﾙ"));
    // ﾌｧｲﾙ選択 has the focus whenever the dialog is activated.
    dialog->Combo1->setFocus();
    editor->activateWindow();
    QCoreApplication::processEvents();
    dialog->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(dialog->isActiveWindow());
    EXPECT_TRUE(dialog->Command1->hasFocus());

    editor->Text1->setText("x");
    ui.fileAnswers = {kReports + "board.info.1.resist"};
    dialog->Command1_Click();
    EXPECT_EQ(ui.fileFilters.back(), ImportFileFilter(kColmoFormat));
    ExpectEntry(13, "0.3", "0.3", "0", "○");
    ExpectEntry(24, "1.7", "2", "0.5", "＋");
    ExpectEntry(27, "0.18", "0.18", "0", "○");  // not named in the report
    EXPECT_EQ(Cell(15, 2), "2");                // the grid shows D24
    ExpectBrowsing();
    EXPECT_EQ(ui.pointer, PointerShape::Default);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(dialog->isVisible());
    DeleteLaterNow();
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(AptEditorTest, ImportCancelLeavesTheGridDisabled) {
    editor->Command8_Click();
    QPointer<APTinport> dialog = editor->importDialog();
    dialog->Command2_Click();  // ｷｬﾝｾﾙ
    DeleteLaterNow();
    EXPECT_TRUE(dialog.isNull());
    // Esc acts as ｷｬﾝｾﾙ; a second ｲﾝﾎﾟｰﾄ while the dialog is open reuses it.
    editor->Command8_Click();
    dialog = editor->importDialog();
    editor->Command8_Click();
    EXPECT_EQ(editor->importDialog(), dialog.data());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog, &escape);
    DeleteLaterNow();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_FALSE(editor->MSFlexGrid1->isEnabled());
    EXPECT_TRUE(ui.fileFilters.empty());
    // ﾌｧｲﾙ読込, even cancelled, enables it again.
    editor->Command1_Click();
    EXPECT_TRUE(editor->MSFlexGrid1->isEnabled());

    // A cancelled file choice ends the import as a completed one does.
    editor->Command8_Click();
    editor->importDialog()->Command1_Click();
    EXPECT_TRUE(editor->MSFlexGrid1->isEnabled());
    DeleteLaterNow();
    EXPECT_EQ(editor->importDialog(), nullptr);
}

TEST_F(AptEditorTest, OtherFormatsReadTheFileAndImportNothing) {
    for (const char* format : {"図研NCF", "something"}) {
        editor->Command8_Click();
        editor->importDialog()->Combo1->setEditText(QString::fromUtf8(format));
        ui.fileAnswers = {kReports + "board.info.1.resist"};
        editor->importDialog()->Command1_Click();
        DeleteLaterNow();
    }
    ASSERT_EQ(ui.fileFilters.size(), 2u);
    EXPECT_EQ(ui.fileFilters[0], "NCFﾌｧｲﾙ(*.ncf)|*.ncf");
    EXPECT_EQ(ui.fileFilters[1], "");
    ExpectEntry(13, "0.04", "0.04", "0", "○");
    EXPECT_TRUE(editor->MSFlexGrid1->isEnabled());
}

TEST_F(AptEditorTest, BrokenReportKeepsEarlierEntriesAndNamesTheLine) {
    const auto report = dir.Write("bad.info.1.resist",
                                  *Utf8ToCp932("丸スルー\r\nP1            0.250 ---     0.300  13      5\r\n"
                                               "P2            0.250 ---     0.300  1X      5\r\n"));
    editor->Command8_Click();
    ui.fileAnswers = {report.string()};
    editor->importDialog()->Command1_Click();
    ExpectEntry(13, "0.3", "0.3", "0", "○");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "想定されていない書式か、99mm以上のサイズが割り当てられています。（3行目で取り込みを中止しました）");
    EXPECT_TRUE(editor->MSFlexGrid1->isEnabled());
}

// ---- with the display pass --------------------------------------------------

TEST_F(AptEditorTest, ImportedSizesAreDrawnByTheNextDisplayPass) {
    editor->Command8_Click();
    ui.fileAnswers = {kReports + "board.info.1.resist"};
    editor->importDialog()->Command1_Click();

    // mm(4.3): X1000 is 1 mm. D13 flashes a 0.3 mm disc, D20 (1 × 2 mm
    // rectangle) a filled rectangle.
    state.inputBlockList.Clear();
    for (const char* b : {"G54D13", "X1000Y1000D03", "G54D20", "X5000Y2000D03"}) state.inputBlockList.Append(b);
    RecordingSurface surface{200, 100};
    PlotRecords records = state.BindPlotRecords();
    OncePerWalkDialogs once(ui);
    EXPECT_EQ(RunDisplayPass(state.inputBlockList, state.apertureTable, records, ViewControls{}, 1, 0.0f,
                             surface, once, ui),
              DisplayPassResult::Completed);
    const auto drawn = surface.Drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].kind, "fillcircle");
    ASSERT_EQ(drawn[0].args.size(), 3u);
    EXPECT_NEAR(drawn[0].args[0], 1.0, 1e-9);
    EXPECT_NEAR(drawn[0].args[1], 99.0, 1e-9);
    EXPECT_NEAR(drawn[0].args[2], 0.15, 1e-9);
    EXPECT_EQ(drawn[1].kind, "fillrect");
    EXPECT_EQ(drawn[1].args, (std::vector<double>{4.5, 97.0, 5.5, 99.0}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AptEditorTest, WithoutATableADrawingReportsOncePerPass) {
    // The default list is missing and its fallback dialog cancelled.
    editor->Command7_Click();
    DeleteLaterNow();
    std::filesystem::rename(dir / "fast.apt", dir / "elsewhere.apt");
    editor = Open();
    ASSERT_EQ(ui.fileFilters.size(), 1u);
    EXPECT_EQ(ui.fileFilters[0], "APTﾌｧｲﾙ(*.apt)|*.apt");
    EXPECT_FALSE(state.apertureTable.loaded);
    EXPECT_EQ(editor->model()->rowCount(), 0);
    // The dialog came after the reason.
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, DefaultAptMissingMessage(dir / "fast.apt"));
    ui.messages.clear();

    state.inputBlockList.Clear();
    for (const char* b : {"G54D10", "X1000Y1000D03", "G54D11", "X2000Y1000D03", "D12"})
        state.inputBlockList.Append(b);
    RecordingSurface surface;
    PlotRecords records = state.BindPlotRecords();
    for (int pass = 1; pass <= 2; ++pass) {
        OncePerWalkDialogs once(ui);
        RunDisplayPass(state.inputBlockList, state.apertureTable, records, ViewControls{}, 1, 0.0f, surface,
                       once, ui);
        ASSERT_EQ(ui.messages.size(), static_cast<std::size_t>(pass));
        EXPECT_EQ(ui.messages.back().text, kDCodeErrorMessage);
    }

    // Opening the editor tries the default list again.
    std::filesystem::rename(dir / "elsewhere.apt", dir / "fast.apt");
    EXPECT_TRUE(editor->EnsureTableLoaded());
    EXPECT_EQ(editor->model()->rowCount(), 491);
    EXPECT_EQ(editor->CurrentRow(), 1);
    EXPECT_TRUE(editor->EnsureTableLoaded());
    EXPECT_EQ(ui.fileFilters.size(), 1u);  // no second fallback dialog
}

}  // namespace
}  // namespace mutaplot
