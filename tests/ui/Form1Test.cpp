#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "ui/BlockListModel.h"
#include "ui/Form1.h"
#include "ui/InsetForm.h"
#include "ui/OutsetForm.h"
#include "ui/VerForm.h"
#include "ui/WindowMemory.h"
#include "aperture/APTsettei.h"
#include "viewer/DataView.h"
#include "UiTestApp.h"

#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::TempDir;

class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }
    void SetUp() override {
        Start();
        // Reading needs a separator and a character code (no settings file here).
        state.settings.inputSeparator = 1;
        state.settings.inputCode = 1;
    }

    void Start() {
        form = std::make_unique<Form1>(state, platform, platform, dir.path());
        form->SetEndProcess([this] { ++endCount; });
        form->resize(800, 500);
        form->show();
    }
    // Opens a file through the scripted open dialog.
    void Open(const std::string& name, std::string_view bytes) {
        platform.fileAnswers.push_back(dir.Write(name, bytes).string());
        form->mnuOpen_Click();
    }
    QAction* Action(const char* name) { return form->findChild<QAction*>(name); }
    std::string Cell(BlockListModel* model, int row) {
        return model->data(model->index(row, 0)).toString().toStdString();
    }

    TempDir dir;
    AppState state;
    FakePlatform platform;
    std::unique_ptr<Form1> form;
    int endCount = 0;
};

TEST_F(MainWindow, StartUpWithoutSettingsFileWarnsOnceAndShowsTitleAndTexts) {
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Mutaplot＋ Ver1.63"));
    EXPECT_EQ(form->Text1->text(), QString::fromUtf8("入力データ"));
    EXPECT_EQ(form->Text2->text(), "");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "起動に必要なファイルが見あたらない、もしくは壊れています。");
    EXPECT_EQ(platform.messages[0].title, "確認");
    EXPECT_EQ(state.appPath, dir.path());
    EXPECT_EQ(form->helpFile(), dir.path() / "mutahlp.hlp");
    // The settings dialogs exist from the start, hidden.
    ASSERT_NE(form->insetForm(), nullptr);
    ASSERT_NE(form->outsetForm(), nullptr);
    EXPECT_FALSE(form->insetForm()->isVisible());
    EXPECT_EQ(form->insetForm()->Combo1->count(), 0);
    // Grids start with the title row alone, one column.
    EXPECT_EQ(form->gridModel1()->rowCount(), 1);
    EXPECT_EQ(form->gridModel1()->columnCount(), 1);
    EXPECT_EQ(form->gridModel2()->rowCount(), 1);
}

TEST_F(MainWindow, MenusAreExactlyAsDesigned) {
    const char* expected[][6] = {
        {"ﾌｧｲﾙ(&F)", "ﾌｧｲﾙを開く(&O)", "ﾌｧｲﾙを保存する(&S)", "最近使ったファイル", "-", "終了(&Q)"},
        {"設定(&G)", "入力設定", "出力設定", "設定の保存", nullptr},
        {"クリア", "入力データのクリア", "変換データのクリア", nullptr, nullptr},
        {"実行(&R)", "入力データの変換", "入力データの表示", nullptr, nullptr},
        {"ﾍﾙﾌﾟ(&H)", "目次", "-", "バージョン情報", nullptr},
    };
    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_EQ(menus.size(), 5);
    for (int m = 0; m < 5; ++m) {
        EXPECT_EQ(menus[m]->text(), QString::fromUtf8(expected[m][0]));
        const QList<QAction*> entries = menus[m]->menu()->actions();
        int count = 0;
        for (int e = 1; e < 6 && expected[m][e]; ++e, ++count) {
            ASSERT_LT(count, entries.size());
            QAction* a = entries[count];
            if (std::string(expected[m][e]) == "-") {
                EXPECT_TRUE(a->isSeparator());
            } else {
                EXPECT_EQ(a->text(), QString::fromUtf8(expected[m][e]));
                EXPECT_TRUE(a->shortcut().isEmpty());
            }
        }
        EXPECT_EQ(entries.size(), count);
    }
    EXPECT_NE(Action("mnuRunData"), nullptr);
    EXPECT_NE(Action("settei_save"), nullptr);
}

TEST_F(MainWindow, QuitQuestionCancelKeepsEverythingOkEnds) {
    platform.messages.clear();
    platform.messageAnswers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    Action("mnuEnd")->trigger();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "保存されない変換データは消去されます。");
    EXPECT_EQ(platform.messages[0].title, "終了してもよろしいですか？");
    EXPECT_EQ(platform.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(endCount, 0);
    EXPECT_TRUE(form->isVisible());
    Action("mnuEnd")->trigger();
    EXPECT_EQ(endCount, 1);
}

TEST_F(MainWindow, CloseBoxEndsWithoutQuestion) {
    platform.messages.clear();
    form->close();
    EXPECT_EQ(endCount, 1);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(MainWindow, OpenShowsEveryBlockAndTheEmptyLastRow) {
    Open("a.gbr", "G54D10*\r\nX100Y200D02*\r\n\r\nM02*");
    EXPECT_EQ(state.inputBlockList.blockCount(), 4u);
    BlockListModel* grid = form->gridModel1();
    ASSERT_EQ(grid->rowCount(), 6);  // title row, 4 blocks, the empty entry
    EXPECT_EQ(Cell(grid, 0), "");
    EXPECT_EQ(Cell(grid, 1), "G54D10");
    EXPECT_EQ(Cell(grid, 2), "X100Y200D02");
    EXPECT_EQ(Cell(grid, 3), "");
    EXPECT_EQ(Cell(grid, 4), "M02");
    EXPECT_EQ(Cell(grid, 5), "");
    EXPECT_EQ(form->MSFlexGrid1->rowHeight(0), 0);
    EXPECT_EQ(form->Text1->text(), QString::fromUtf8("入力データ"));
    EXPECT_EQ(platform.pointer, PointerShape::Default);
    EXPECT_EQ(platform.fileFilters.back(),
              "photoﾌｧｲﾙ(*.photo.*)|*.photo.*|GBRﾌｧｲﾙ(*.gbr,*.g**)|*.gbr;*.g**|すべてのﾌｧｲﾙ(*.*)|*.*");
}

TEST_F(MainWindow, CancelledOpenLeavesListAndGridAlone) {
    Open("a.gbr", "A*\r\nB*\r\n");
    form->mnuOpen_Click();  // no scripted answer: cancelled
    EXPECT_EQ(state.inputBlockList.blockCount(), 2u);
    EXPECT_EQ(form->gridModel1()->rowCount(), 4);
    EXPECT_EQ(Cell(form->gridModel1(), 2), "B");
}

TEST_F(MainWindow, GridsShowShiftJisTextDecoded) {
    Open("j.gbr", "G04 \x83\x65\x83\x58\x83\x67*\r\n");  // "テスト" in CP932
    EXPECT_EQ(Cell(form->gridModel1(), 1), "G04 テスト");
    EXPECT_EQ(form->gridModel1()->CellBytes(1), "G04 \x83\x65\x83\x58\x83\x67");
}

TEST_F(MainWindow, ClearingInputAndConvertedData) {
    Open("a.gbr", "A*\r\nB*\r\n");
    BlockList converted;
    converted.Append("A*");
    converted.Append("B*");
    state.outputBlockList = converted;
    form->ShowConverting();
    form->ShowOutputBlocks(state.outputBlockList);
    form->ShowConvertedTitle();
    EXPECT_EQ(form->gridModel2()->rowCount(), 3);
    EXPECT_EQ(Cell(form->gridModel2(), 2), "B*");
    EXPECT_EQ(form->Text2->text(), QString::fromUtf8("変換データ"));

    Action("mnuClearData1")->trigger();
    EXPECT_EQ(state.inputBlockList.blockCount(), 0u);
    EXPECT_EQ(form->gridModel1()->rowCount(), 1);
    EXPECT_EQ(form->gridModel2()->rowCount(), 3);  // converted data untouched
    EXPECT_EQ(form->Text2->text(), QString::fromUtf8("変換データ"));

    form->Text1->setText("x");
    Action("mnuClearData2")->trigger();
    EXPECT_EQ(state.outputBlockList.blockCount(), 0u);
    EXPECT_EQ(form->gridModel2()->rowCount(), 1);
    EXPECT_EQ(form->Text1->text(), QString::fromUtf8("入力データ"));
    EXPECT_EQ(form->Text2->text(), "");
}

// What the grids show is what the next 変換, 実行 or save works on.
TEST_F(MainWindow, FailedReadKeepsThePreviousFileGridsAndTitle) {
    Open("board.gbr", "G54D10*\r\nX100Y200D03*\r\n");
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Mutaplot＋ Ver1.63 - board.gbr"));
    platform.messages.clear();
    // A binary file: no CR within 100 characters.
    Open("a.out", std::string("\x7f" "ELF\x02\x01\x01") + std::string(300, '\0') + std::string(200, 'x'));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "不正なファイル形式か、ファイルの入力形式が異なります。改行コードの設定を確認して下さい。");
    EXPECT_EQ(state.inputBlockList.blockCount(), 2u);
    EXPECT_EQ(state.inputBlockList[0], "G54D10");
    EXPECT_EQ(form->gridModel1()->rowCount(), 4);
    EXPECT_EQ(Cell(form->gridModel1(), 2), "X100Y200D03");
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Mutaplot＋ Ver1.63 - board.gbr"));
    // An empty file has its own message and changes nothing either.
    Open("empty.gbr", "");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].text, "ファイルが空です。");
    EXPECT_EQ(state.inputBlockList.blockCount(), 2u);
    EXPECT_EQ(form->gridModel1()->rowCount(), 4);
    // 入力データのクリア: nothing is loaded, the caption stands alone.
    Action("mnuClearData1")->trigger();
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Mutaplot＋ Ver1.63"));
}

TEST_F(MainWindow, OpeningAFileClearsThePreviousConversion) {
    Open("a.gbr", "A*\r\nB*\r\n");
    BlockList converted;
    converted.Append("A*");
    state.outputBlockList = converted;
    form->ShowOutputBlocks(state.outputBlockList);
    form->ShowConvertedTitle();
    Open("b.gbr", "C*\r\n");
    EXPECT_EQ(state.outputBlockList.blockCount(), 0u);
    EXPECT_EQ(form->gridModel2()->rowCount(), 1);
    EXPECT_EQ(form->Text2->text(), "");
    EXPECT_EQ(Cell(form->gridModel1(), 1), "C");
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Mutaplot＋ Ver1.63 - b.gbr"));
}

TEST_F(MainWindow, AFileOpenedInTheViewerShowsInBothWindows) {
    state.apertureTable.entries.assign(491, ApertureEntry{"D", "0.1", "0.1", "0", kShapeRound});
    state.apertureTable.loaded = true;
    Open("first.gbr", "A*\r\n");
    Action("mnuViewData")->trigger();
    DataView* view = form->dataView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Spectaplot＋ Ver1.44 - first.gbr"));
    BlockList converted;
    converted.Append("A*");
    state.outputBlockList = converted;
    form->ShowOutputBlocks(state.outputBlockList);

    platform.fileAnswers.push_back(dir.Write("second.gbr", "G54D10*\r\nX1Y1D03*\r\nM02*\r\n").string());
    view->findChild<QAction*>("ViewFileOpen")->trigger();
    EXPECT_EQ(state.inputBlockList.blockCount(), 3u);
    ASSERT_EQ(form->gridModel1()->rowCount(), 5);
    EXPECT_EQ(Cell(form->gridModel1(), 3), "M02");
    EXPECT_EQ(form->gridModel2()->rowCount(), 1);  // the old conversion went
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Mutaplot＋ Ver1.63 - second.gbr"));
    EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Spectaplot＋ Ver1.44 - second.gbr"));
    // A file opened in the main window names itself in the viewer too, and
    // the viewer's picture of the previous file goes.
    view->findChild<QAction*>("ViewRunView")->trigger();
    EXPECT_EQ(state.viewState.viewDrawn, 1.0f);
    Open("third.gbr", "B*\r\n");
    EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Spectaplot＋ Ver1.44 - third.gbr"));
    EXPECT_EQ(state.viewState.viewDrawn, 0.0f);
    // Both ﾌｧｲﾙ menus list the files, newest first.
    ASSERT_EQ(form->recentMenu()->actions().size(), 3);
    EXPECT_TRUE(form->recentMenu()->actions()[0]->text().endsWith("third.gbr"));
    ASSERT_EQ(view->recentMenu()->actions().size(), 3);
    EXPECT_TRUE(view->recentMenu()->actions()[1]->text().endsWith("second.gbr"));
    view->close();
}

TEST_F(MainWindow, RecentFilesFolderAndGeometryOutliveTheRun) {
    const QString ini = QString::fromStdString((dir / "windows.ini").string());
    {
        WindowMemory memory(ini);
        form->UseMemory(&memory);
        EXPECT_FALSE(form->recentMenu()->isEnabled());
        for (int i = 1; i <= 9; ++i) Open("f" + std::to_string(i) + ".gbr", "A*\r\n");
        memory.SetLastFolder("/tmp");
        form->setGeometry(40, 50, 640, 480);
        form->close();  // the close box stores the geometry
        // Eight files, the newest first; a pick opens it again.
        const QList<QAction*> recent = form->recentMenu()->actions();
        ASSERT_EQ(recent.size(), 8);
        EXPECT_EQ(recent[0]->text(), "&1 " + QString::fromStdString((dir / "f9.gbr").string()));
        EXPECT_EQ(recent[7]->text(), "&8 " + QString::fromStdString((dir / "f2.gbr").string()));
        dir.Write("f5.gbr", "Q*\r\n");
        recent[4]->trigger();
        EXPECT_EQ(state.inputBlockList[0], "Q");
        EXPECT_TRUE(form->recentMenu()->actions()[0]->text().endsWith("f5.gbr"));
        // A file that has gone leaves the list after its message.
        std::filesystem::remove(dir / "f9.gbr");
        form->recentMenu()->actions()[1]->trigger();
        EXPECT_EQ(form->recentMenu()->actions().size(), 7);
        form->UseMemory(nullptr);
    }
    WindowMemory again(ini);
    ASSERT_EQ(again.recent().paths().size(), 7u);
    EXPECT_EQ(again.recent().paths()[0], (dir / "f5.gbr").string());
    EXPECT_EQ(again.lastFolder(), "/tmp");
    EXPECT_FALSE(again.Geometry("Form1").isEmpty());
}

TEST_F(MainWindow, ADroppedFileOpensAsByTheMenu) {
    const auto path = dir.Write("dropped.gbr", "G54D10*\r\n");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_EQ(state.inputBlockList.blockCount(), 1u);
    EXPECT_EQ(Cell(form->gridModel1(), 1), "G54D10");
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Mutaplot＋ Ver1.63 - dropped.gbr"));
    // Text is no file.
    QMimeData text;
    text.setText("G54D10");
    QDragEnterEvent textEnter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &textEnter);
    EXPECT_FALSE(textEnter.isAccepted());
}

TEST_F(MainWindow, GridKeepsItsRowsWhenTheListChangesBehindIt) {
    Open("a.gbr", "A*\r\nB*\r\n");
    state.inputBlockList.Clear();  // e.g. a read in the viewer
    state.inputBlockList.Append("Z");
    EXPECT_EQ(form->gridModel1()->rowCount(), 4);
    EXPECT_EQ(Cell(form->gridModel1(), 1), "A");
}

TEST_F(MainWindow, ResizeToATinyWindowAndBack) {
    // The layout is in twips: 15 to the pixel on the 96 dpi test screen.
    ASSERT_EQ(form->screen()->logicalDotsPerInchX(), 96.0);
    const int menu = form->height() - form->centralWidget()->height();
    // The grids leave 525 twips (35 pixels) of the inside free: 30 pixels
    // inside leave them no height, 40 pixels leave them 75 twips (5 pixels).
    for (const auto& [inside, gridHeight] : {std::pair{30, 0}, std::pair{40, 5}}) {
        form->resize(300, menu + inside);
        QCoreApplication::processEvents();
        ASSERT_EQ(form->centralWidget()->height(), inside);
        EXPECT_EQ(form->MSFlexGrid1->height(), gridHeight);
        EXPECT_EQ(form->MSFlexGrid2->height(), gridHeight);
        EXPECT_EQ(form->MSFlexGrid1->width(), 150);
    }
    form->resize(1, 1);
    QCoreApplication::processEvents();
    form->resize(1000, 700);
    QCoreApplication::processEvents();
    const int inner = form->centralWidget()->width();
    const int innerHeight = form->centralWidget()->height();
    // 1000 pixels = 15000 twips: half 7500 twips = 500 pixels; the second
    // grid starts 15 twips (one pixel) before the middle, 480 twips (32
    // pixels) down; both are 525 twips (35 pixels) shorter than the inside.
    ASSERT_EQ(inner, 1000);
    for (QTableView* grid : {form->MSFlexGrid1, form->MSFlexGrid2}) {
        EXPECT_EQ(grid->y(), 32);
        EXPECT_EQ(grid->width(), 500);
        EXPECT_EQ(grid->height(), innerHeight - 35);
        EXPECT_EQ(grid->rowHeight(0), 0);
    }
    EXPECT_EQ(form->MSFlexGrid2->x(), 499);
    EXPECT_EQ(form->MSFlexGrid2->columnWidth(0), 500);
    EXPECT_EQ(form->MSFlexGrid1->x(), 0);
    EXPECT_EQ(form->MSFlexGrid1->columnWidth(0), form->MSFlexGrid1->width());
    EXPECT_NEAR(form->MSFlexGrid1->width(), inner / 2, 1);
    EXPECT_NEAR(form->MSFlexGrid2->x(), inner / 2 - 1, 1);
    EXPECT_EQ(form->Text2->x(), form->MSFlexGrid2->x());
    EXPECT_GT(form->MSFlexGrid1->height(), 500);
}

TEST_F(MainWindow, DialogsVersionBoxViewerAndHelpOpenFromTheMenus) {
    state.settings.inputFormat = 8;
    Action("mnuInput")->trigger();
    ASSERT_TRUE(form->insetForm()->isVisible());
    EXPECT_EQ(form->insetForm()->Combo1->currentText(), "inch(2.4)");
    Action("mnuOut")->trigger();
    ASSERT_TRUE(form->outsetForm()->isVisible());

    Action("mnuHelpVer")->trigger();
    VerForm* ver = form->verForm();
    ASSERT_NE(ver, nullptr);
    EXPECT_EQ(ver->windowTitle(), QString::fromUtf8("バージョン情報"));
    EXPECT_EQ(ver->Label1->text(), "Mutaplot+");
    EXPECT_EQ(ver->Label2->text(), "Ver.1.63");
    EXPECT_EQ(ver->Command1->text(), QString::fromUtf8("ＯＫ"));
    EXPECT_FALSE(ver->isModal());
    ver->Command1->click();
    EXPECT_FALSE(ver->isVisible());

    Action("mnuViewData")->trigger();
    ASSERT_NE(form->dataView(), nullptr);
    EXPECT_EQ(form->dataView()->windowTitle(), QString::fromUtf8("Spectaplot＋ Ver1.44"));
    form->dataView()->close();
    EXPECT_EQ(endCount, 0);  // closing the viewer does not end the process

    Action("mnuHelpView")->trigger();
    ASSERT_EQ(platform.helpShown.size(), 1u);
    EXPECT_EQ(platform.helpShown[0], (dir.path() / "mutahlp.hlp").string());
}

TEST_F(MainWindow, ViewerOpensOnceAndReopensWithItsDefaults) {
    state.apertureTable.entries.assign(491, ApertureEntry{"D", "0.1", "0.1", "0", kShapeRound});
    state.apertureTable.loaded = true;
    Action("mnuViewData")->trigger();
    QPointer<DataView> view = form->dataView();
    ASSERT_NE(view, nullptr);
    // A second 入力データの表示 brings the same window forward.
    Action("mnuViewData")->trigger();
    EXPECT_EQ(form->dataView(), view.data());
    QPointer<APTsettei> editor = form->aptSettei();
    ASSERT_NE(editor, nullptr);

    // The viewer's 入力設定 is the main window's dialog, on the one record.
    view->findChild<QAction*>("ViewSetInForm")->trigger();
    ASSERT_NE(form->insetForm(), nullptr);
    EXPECT_TRUE(form->insetForm()->isVisible());
    form->insetForm()->close();

    view->findChild<QAction*>("ViewZoomUp")->trigger();
    EXPECT_EQ(view->Combo1->currentText(), "2");
    state.currentAperture.sizeX = 1.25;
    view->close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(form->aptSettei(), editor.data());  // the editor stays loaded

    Action("mnuViewData")->trigger();
    ASSERT_NE(form->dataView(), nullptr);
    EXPECT_EQ(form->dataView()->Combo1->currentText(), QString::fromUtf8("１００％"));
    EXPECT_EQ(form->dataView()->Text1->text(), "0");
    EXPECT_EQ(form->dataView()->Text2->text(), "0");
    EXPECT_EQ(state.viewTransform.zoom, 1.0f);
    EXPECT_EQ(state.currentAperture.sizeX, 1.25);
    EXPECT_EQ(form->aptSettei(), editor.data());
    form->dataView()->close();
}

}  // namespace
}  // namespace mutaplot
