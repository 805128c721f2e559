#include "aperture/APTsettei.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "ui/InsetForm.h"
#include "viewer/DataView.h"
#include "viewer/PictureBox.h"
#include "viewer/ViewOption.h"
#include "viewer/ViewerFixture.h"
#include "viewer/frmAbout.h"
#include "UiTestApp.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWheelEvent>

#include <QStatusBar>

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::TempDir;

// Screen of 15 twips per pixel: 3.78 pixels per millimetre.
constexpr double kPxPerMm = 3.78;

// Message boxes that behave as a real one does to the window under it: the
// window loses the activation while the box shows and gets it back (as a
// queued event) when the box closes.
class ActivatingDialogs final : public Dialogs {
public:
    explicit ActivatingDialogs(FakePlatform& inner) : inner_(inner) {}
    QPointer<QWidget> window;
    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons) override {
        if (window) {
            QEvent deactivate(QEvent::WindowDeactivate);
            QApplication::sendEvent(window, &deactivate);
            QCoreApplication::postEvent(window, new QEvent(QEvent::WindowActivate));
        }
        return inner_.ShowMessage(text, title, buttons);
    }
    std::string OpenFileName(const std::string& f, FileDialogFlags g) override { return inner_.OpenFileName(f, g); }
    std::string SaveFileName(const std::string& f, FileDialogFlags g) override { return inner_.SaveFileName(f, g); }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t p) override { return inner_.ChooseColour(p); }
    bool PrinterSetup() override { return inner_.PrinterSetup(); }
    void ShowHelp(const std::string& p) override { inner_.ShowHelp(p); }

private:
    FakePlatform& inner_;
};

class Viewer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }
    void SetUp() override {
        state.appPath = dir.path();
        state.settings.inputFormat = 1;  // mm(4.3)
        state.settings.inputSeparator = 1;
        state.settings.inputCode = 1;
        state.apertureTable = MakeTable({{10, "2", "2", "0", kShapeRound}, {11, "2", "1", "0", kShapeRectangle}});
        Open();
    }
    void TearDown() override {
        delete view.data();
        delete editor.data();
    }
    void Open() {
        view = new DataView(state, dialogs, platform, ViewerLinks{&inset, &editor, &owner});
        dialogs.window = view.data();
        // A drawing surface of 756 × 567 pixels: 200 × 150 mm (the status
        // area below it is the window's own addition).
        view->resize(755, 616 + view->statusBar()->sizeHint().height());
        view->show();
        // Let the window's own activation on showing go by.
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    QAction* Action(const char* name) { return view->findChild<QAction*>(name); }
    QString Q(const char* s) { return QString::fromUtf8(s); }
    std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (const auto& m : platform.messages) out.push_back(m.text);
        return out;
    }
    void Mouse(QEvent::Type type, double xMm, double yMm, Qt::MouseButton button = Qt::NoButton) {
        QWidget* p = view->Picture1;
        const QPointF at(xMm * kPxPerMm, yMm * kPxPerMm);
        QMouseEvent e(type, at, p->mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(p, &e);
    }
    void Press(double xMm, double yMm, Qt::MouseButton b = Qt::LeftButton) {
        Mouse(QEvent::MouseButtonPress, xMm, yMm, b);
    }
    void MoveTo(double xMm, double yMm) { Mouse(QEvent::MouseMove, xMm, yMm); }
    void Key(int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(view->Picture1, &e);
    }
    QRgb Pixel(int x, int y) { return view->pictureBox()->image().pixel(x, y); }

    TempDir dir;
    AppState state;
    FakePlatform platform;
    ActivatingDialogs dialogs{platform};
    QWidget owner;
    QPointer<InsetForm> inset;
    QPointer<APTsettei> editor;
    QPointer<DataView> view;
};

TEST_F(Viewer, LoadsWithTheDesignCaptionsListsAndMenus) {
    EXPECT_EQ(view->windowTitle(), Q("Spectaplot＋ Ver1.44"));
    EXPECT_EQ(view->Label1->text(), Q("描画倍率"));
    EXPECT_EQ(view->Label2->text(), Q("描画モード"));
    EXPECT_EQ(view->Label7->text(), Q("ｵﾌｾｯﾄX"));
    EXPECT_EQ(view->Label8->text(), Q("ｵﾌｾｯﾄY"));
    EXPECT_EQ(view->Label5->text(), Q("X="));
    EXPECT_EQ(view->Label6->text(), Q("Y="));
    EXPECT_EQ(view->Label3->text(), "0");
    EXPECT_EQ(view->Label4->text(), "0");
    EXPECT_EQ(view->Text1->text(), "0");
    EXPECT_EQ(view->Text2->text(), "0");
    QStringList zooms;
    for (int i = 0; i < view->Combo1->count(); ++i) zooms << view->Combo1->itemText(i);
    EXPECT_EQ(zooms.join(","), Q("２５％,５０％,１００％,２００％,４００％,５００％"));
    EXPECT_EQ(view->Combo1->currentText(), Q("１００％"));
    ASSERT_EQ(view->Combo2->count(), 2);
    EXPECT_EQ(view->Combo2->itemText(1), Q("高速（低品位）"));
    EXPECT_EQ(view->Combo2->currentText(), Q("低速（高品位）"));
    EXPECT_EQ(state.viewState.viewDrawn, 0.0f);
    // The editor is loaded, hidden, and belongs to the main window.
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(editor->parentWidget(), &owner);
    // The top row keeps its order from the left, the surface below it.
    const QWidget* row[] = {view->Label1, view->Combo1, view->Label2, view->Combo2, view->Label7,
                            view->Text1,  view->Label8, view->Text2,  view->Label5, view->Label3,
                            view->Label6, view->Label4};
    for (std::size_t i = 1; i < std::size(row); ++i) EXPECT_LT(row[i - 1]->x(), row[i]->x()) << i;
    EXPECT_EQ(view->Combo1->x(), 56);  // 840 twips

    // Six menus, every entry, separator and access letter in order.
    QStringList menus;
    for (QAction* a : view->menuBar()->actions()) {
        QString line = a->text();
        if (QMenu* m = a->menu())
            for (QAction* item : m->actions()) line += "|" + (item->isSeparator() ? QString("-") : item->text());
        menus << line;
    }
    EXPECT_EQ(menus.join("\n"),
              Q("ﾌｧｲﾙ(&F)|ファイルを開く|最近使ったファイル|-|印刷|印刷設定|プリンタの設定|-|DXF出力|DXF出力オプション|-|データ表示の終了\n"
                "設定(&G)|アパーチュアの設定|入力設定|原点設定|原点初期値|-|オプション\n"
                "クリア(&D)\n"
                "表示操作(&V)|初期値|全体表示|範囲拡大|中心拡大|中心縮小|移動→|移動←|移動↑|移動↓\n"
                "実行(&R)\n"
                "ﾍﾙﾌﾟ(&H)|目次|-|バージョン情報"));
    for (QAction* a : view->findChildren<QAction*>()) EXPECT_TRUE(a->shortcut().isEmpty());
}

TEST_F(Viewer, LoadingTheViewerLoadsTheDefaultApertureList) {
    delete view.data();
    delete editor.data();
    state.apertureTable = ApertureTable{};
    std::filesystem::copy_file(std::filesystem::path(MUTAPLOT_BIN_DIR) / "fast.apt", dir / "fast.apt");
    Open();
    ASSERT_TRUE(state.apertureTable.loaded);
    ASSERT_EQ(state.apertureTable.entries.size(), 491u);
    EXPECT_EQ(state.apertureTable.entries[19].sizeX, "1");  // D29, 1 mm
    // The editor's ｷｬﾝｾﾙ empties the table and unloads it: the next drawing
    // loads the list again before the pass.
    delete editor.data();
    state.apertureTable = ApertureTable{};
    state.inputBlockList = MakeBlocks({"G54D29", "X10000Y10000D03"});
    Action("ViewRunView")->trigger();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(state.apertureTable.loaded);
    EXPECT_EQ(state.currentAperture.sizeX, 1.0);
}

TEST_F(Viewer, AMissingDefaultListIsNamedAndThePutBackListIsUsedAtOnce) {
    delete view.data();
    delete editor.data();
    state.apertureTable = ApertureTable{};
    state.inputBlockList = MakeBlocks({"G54D29", "X10000Y10000D03"});
    // Opening the viewer: the reason, naming fast.apt and its place, then
    // the dialog titled for what it asks; cancelled.
    Open();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("「fast.apt」が見つかりません。"), std::string::npos);
    EXPECT_NE(Texts()[0].find((dir / "fast.apt").string()), std::string::npos);
    ASSERT_EQ(platform.fileFlags.size(), 1u);
    EXPECT_STREQ(platform.fileFlags[0].title, "アパーチュア・リストを開く");
    EXPECT_FALSE(state.apertureTable.loaded);
    // 実行 asks again, and after a second ｷｬﾝｾﾙ names the missing list
    // (not the input settings).
    platform.messages.clear();
    Action("ViewRunView")->trigger();
    ASSERT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts()[1], "アパーチュア・リストが読み込まれていないため、表示できません。"
                          "「アパーチュアの設定」でアパーチュア・リストを読み込んで下さい。");
    EXPECT_EQ(state.viewState.viewDrawn, 0.0f);
    // The list is put back: the next 実行 loads and draws it, nothing else.
    std::filesystem::copy_file(std::filesystem::path(MUTAPLOT_BIN_DIR) / "fast.apt", dir / "fast.apt");
    platform.messages.clear();
    Action("ViewRunView")->trigger();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(state.apertureTable.loaded);
    EXPECT_EQ(state.viewState.viewDrawn, 1.0f);
    EXPECT_EQ(state.currentAperture.sizeX, 1.0);
}

TEST_F(Viewer, TopRowShowsSixDecimalCoordinatesWholeWithoutOverlap) {
    // A mm 4.6 offset such as -1234.123456 fits its box; the controls of the
    // row keep their order and do not overlap.
    std::vector<QWidget*> row{view->Label1, view->Combo1, view->Label2, view->Combo2,
                              view->Label7, view->Text1,  view->Label8, view->Text2,
                              view->Label5, view->Label3, view->Label6, view->Label4};
    for (QLineEdit* box : {view->Text1, view->Text2}) {
        box->setText(QStringLiteral("-1234.123456"));
        const int textWidth = box->fontMetrics().horizontalAdvance(box->text());
        EXPECT_GE(box->contentsRect().width() - 4, textWidth) << box->objectName().toStdString();
    }
    // A label's design box may run under its neighbour; its caption may not.
    const auto shownRight = [](const QWidget* w) {
        if (const auto* label = qobject_cast<const QLabel*>(w))
            return w->x() + w->fontMetrics().horizontalAdvance(label->text());
        return w->geometry().right();
    };
    for (std::size_t i = 1; i < row.size(); ++i)
        EXPECT_LE(shownRight(row[i - 1]), row[i]->geometry().left())
            << row[i]->objectName().toStdString();
}

TEST_F(Viewer, ResizeRulePlacesTheSurfaceAndIgnoresTooSmallWindows) {
    // Width − 110 twips, height − 1200 twips, top 490 twips.
    // Window 755 × 616 pixels with the design's frame of 120 × 465 twips:
    // (11325 + 120 − 110) / 15 = 755.67 → 756, (9240 + 465 − 1200) / 15 = 567.
    EXPECT_EQ(view->Picture1->geometry(), QRect(0, 33, 756, 567));
    EXPECT_EQ(view->Picture1->size(), QSize(756, 567));
    const QRect before = view->Picture1->geometry();
    view->resize(200, 40);  // 600 + 465 − 1200 twips: no positive height
    QApplication::processEvents();
    EXPECT_EQ(view->Picture1->height(), before.height());
}

TEST_F(Viewer, RunWithoutDataWarnsAndLaterViewChangesDoNotDraw) {
    Action("ViewRunView")->trigger();
    EXPECT_EQ(Texts(), std::vector<std::string>{"表示元のファイルがありません"});
    EXPECT_EQ(platform.messages[0].title, "確認");
    QApplication::processEvents();  // the box's activation: no second pass
    view->resize(900, 700);
    view->Combo1->setCurrentIndex(3);
    view->Combo1_Click();
    Action("ViewZoomUp")->trigger();
    EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(Viewer, MessageBoxesOfThePassNeitherRepeatNorRestartThePass) {
    // Three D codes above the limit: one message per pass.
    state.inputBlockList = MakeBlocks({"G54D600", "X1000Y1000D01", "D700", "G54D600", "X0Y0D01"});
    Action("ViewRunView")->trigger();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(state.viewState.viewDrawn, 1.0f);
    // Its box closing gives the activation back: no new pass, no new box.
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    EXPECT_EQ(platform.messages.size(), 1u);
    // Coming back from another window redraws (once).
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(view, &deactivate);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(view, &activate);
    EXPECT_EQ(platform.messages.size(), 2u);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(Viewer, DrawsFlashesAtHandComputedPixels) {
    // 200 × 150 mm, bottom-left origin, zoom 1. Round 2 mm flash at (10, 10)
    // mm: centre x 37.8 px, y (150 − 10) × 3.78 = 529.2 px, radius 3.78 px.
    // Square 2 × 1 mm flash at (50, 20) mm: columns 49 × 3.78 = 185.22 …
    // 51 × 3.78 = 192.78, rows 129.5 × 3.78 = 489.51 … 130.5 × 3.78 = 493.29.
    state.inputBlockList = MakeBlocks({"G54D10", "X10000Y10000D03", "G54D11", "X50000Y20000D03"});
    Action("ViewRunView")->trigger();
    EXPECT_TRUE(platform.messages.empty());
    const QRgb black = 0xFF000000, white = 0xFFFFFFFF;
    EXPECT_EQ(Pixel(37, 529), black);
    EXPECT_EQ(Pixel(40, 531), black);   // centre (40.5, 531.5): 3.54 px away
    EXPECT_EQ(Pixel(42, 529), white);   // 4.7 px away
    EXPECT_EQ(Pixel(37, 524), white);
    EXPECT_EQ(Pixel(186, 490), black);
    EXPECT_EQ(Pixel(192, 492), black);
    EXPECT_EQ(Pixel(184, 491), white);
    EXPECT_EQ(Pixel(194, 491), white);
    EXPECT_EQ(Pixel(189, 494), white);
    EXPECT_EQ(Pixel(189, 488), white);

    // The options' ＯＫ applies the settings' colours: red drawing (255),
    // cyan background (0xFFFF00); a colour text that is no number keeps it.
    state.settings.drawColour = "255";
    state.settings.backColour = "16776960";
    view->ViewOpt_Click();
    view->viewOption()->Command1_Click();
    view->Redraw();
    EXPECT_EQ(Pixel(37, 529), 0xFFFF0000);
    EXPECT_EQ(Pixel(300, 300), 0xFF00FFFF);
    state.settings.drawColour = "rot";
    view->ViewOpt_Click();
    view->viewOption()->Command1_Click();
    view->Redraw();
    EXPECT_EQ(Pixel(37, 529), 0xFFFF0000);
}

TEST_F(Viewer, CentreZoomMovesKeysAndWheel) {
    Action("ViewZoomUp")->trigger();
    EXPECT_EQ(view->Combo1->currentText(), "2");
    EXPECT_EQ(view->Text1->text(), "-50");
    EXPECT_EQ(view->Text2->text(), "-38");
    EXPECT_EQ(state.viewTransform.zoom, 2.0f);
    Action("ViewZoomDown")->trigger();
    EXPECT_EQ(view->Combo1->currentText(), "1");
    EXPECT_EQ(view->Text1->text(), "0");
    EXPECT_EQ(view->Text2->text(), "0");
    Action("ViewMovRight")->trigger();
    EXPECT_EQ(view->Text1->text(), "50");
    Action("ViewMovDown")->trigger();
    EXPECT_EQ(view->Text2->text(), "-38");

    // Keys and the wheel only after a completed pass.
    Key(Qt::Key_PageUp);
    Key(Qt::Key_Right);
    EXPECT_EQ(view->Combo1->currentText(), "1");
    EXPECT_EQ(view->Text1->text(), "50");
    state.inputBlockList = MakeBlocks({"G54D10", "X0Y0D02"});
    Action("ViewRunView")->trigger();
    Key(Qt::Key_Right);  // the view moves left: oX − 50
    EXPECT_EQ(view->Text1->text(), "0");
    Key(Qt::Key_Up);     // oY − 37.5 → −75.5 → −76
    EXPECT_EQ(view->Text2->text(), "-76");
    Key(Qt::Key_PageUp);
    EXPECT_EQ(view->Combo1->currentText(), "2");
    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->Picture1, &down);
    EXPECT_EQ(view->Combo1->currentText(), "1");

    // 初期値: zoom list, offsets and the converter's origin shift.
    state.settings.originShiftX = 1.5;
    state.settings.originShiftY = -2;
    Action("ViewReset")->trigger();
    EXPECT_EQ(view->Combo1->currentText(), Q("１００％"));
    EXPECT_EQ(state.viewTransform.zoom, 1.0f);
    EXPECT_EQ(view->Text1->text(), "0");
    EXPECT_EQ(view->Text2->text(), "0");
    EXPECT_EQ(state.settings.originShiftX, 0.0);
    EXPECT_EQ(state.settings.originShiftY, 0.0);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Viewer, ReadoutFollowsTheMouse) {
    // Zoom 2, oX −10: x = 30 mm reads 30 / 2 + 10 = 25; y 50 mm on 150 mm,
    // bottom-left: (150 − 50) / 2 − 0 = 50.
    view->Combo1->setCurrentIndex(3);
    view->Combo1_Click();
    view->Text1->setText("-10");
    MoveTo(30, 50);
    EXPECT_EQ(view->Label3->text(), "25");
    EXPECT_EQ(view->Label4->text(), "50");
}

TEST_F(Viewer, AreaZoomFromTheBandWidthEitherWay) {
    // Data X 10 → 50 (and Y 20 → 30) on a surface 200 × 150 mm: the width
    // decides (5; the height would allow 15): zoom 5, oX −10, oY −20.
    const QImage before = view->pictureBox()->image().copy();
    Action("ViewEria")->trigger();
    EXPECT_TRUE(view->areaZoom().armed);
    MoveTo(10, 130);
    Press(10, 130);
    MoveTo(50, 120);
    // The band is drawn in exclusive-or: white on white gives black.
    EXPECT_EQ(Pixel(int(30 * kPxPerMm), int(120 * kPxPerMm)), 0xFF000000);
    Press(50, 120);
    EXPECT_EQ(view->Combo1->currentText(), "5");
    EXPECT_EQ(view->Text1->text(), "-10");
    EXPECT_EQ(view->Text2->text(), "-20");
    EXPECT_EQ(state.viewTransform.zoom, 5.0f);
    EXPECT_FALSE(view->areaZoom().armed);
    // The pass runs whatever viewDrawn is (here: no data).
    EXPECT_EQ(Texts(), std::vector<std::string>{"表示元のファイルがありません"});
    EXPECT_EQ(view->pictureBox()->image(), before);

    // Reversed drag from the same view as before.
    view->Combo1->setCurrentIndex(2);
    view->Combo1_Click();
    view->Text1->setText("0");
    view->Text2->setText("0");
    Action("ViewEria")->trigger();
    MoveTo(50, 120);
    Press(50, 120);
    MoveTo(10, 130);
    Press(10, 130);
    EXPECT_EQ(view->Combo1->currentText(), "5");
    EXPECT_EQ(view->Text1->text(), "-10");
    EXPECT_EQ(view->Text2->text(), "-20");
}

TEST_F(Viewer, WholeViewPutsTheExtentCornersAtHandComputedPixels) {
    Action("ViewFit")->trigger();  // nothing loaded
    EXPECT_EQ(Texts(), std::vector<std::string>{"表示元のファイルがありません"});
    platform.messages.clear();
    // Two round 2 mm flashes far from the origin, at (160, 160) and (240,
    // 200) mm: the extent is X 159 … 241, Y 159 … 201. On 200 × 150 mm with
    // 5 % a side: zoom min(200 / 90.2, 150 / 46.2) = 2.217… → 2.21,
    // oX = 100 / 2.21 − 200 = −154.751, oY = 75 / 2.21 − 180 = −146.063.
    state.inputBlockList = MakeBlocks({"G54D10", "X160000Y160000D03", "X240000Y200000D03"});
    Action("ViewRunView")->trigger();
    EXPECT_EQ(Pixel(100, 100), 0xFFFFFFFF);  // at 100 %, nothing in sight
    Key(Qt::Key_Home);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(view->Combo1->currentText(), "2.21");
    EXPECT_EQ(view->Text1->text(), "-154.751");
    EXPECT_EQ(view->Text2->text(), "-146.063");
    // First flash: centre x (160 − 154.751) × 2.21 = 11.600 mm = 43.85 px,
    // y 150 − (160 − 146.063) × 2.21 = 119.20 mm = 450.58 px, radius
    // 2.21 mm = 8.35 px: its left edge, the extent's, at 35.5 px.
    const QRgb black = 0xFF000000, white = 0xFFFFFFFF;
    EXPECT_EQ(Pixel(43, 450), black);
    EXPECT_EQ(Pixel(38, 450), black);
    EXPECT_EQ(Pixel(33, 450), white);
    // Second flash: centre x (240 − 154.751) × 2.21 = 188.400 mm = 712.15
    // px, y 150 − (200 − 146.063) × 2.21 = 30.80 mm = 116.42 px: the right
    // edge at 720.5 px, the top at 108.1 px.
    EXPECT_EQ(Pixel(712, 116), black);
    EXPECT_EQ(Pixel(718, 116), black);
    EXPECT_EQ(Pixel(723, 116), white);
    EXPECT_EQ(Pixel(712, 111), black);
    EXPECT_EQ(Pixel(712, 105), white);
    // The menu command does the same from any view.
    Action("ViewReset")->trigger();
    Action("ViewFit")->trigger();
    EXPECT_EQ(view->Text1->text(), "-154.751");
    EXPECT_EQ(Pixel(43, 450), black);
}

TEST_F(Viewer, WheelZoomsAboutThePointerAndDraggingPans) {
    state.inputBlockList = MakeBlocks({"G54D10", "X40000Y50000D03"});
    Action("ViewRunView")->trigger();
    // The pointer at (40, 100) mm shows data (40, 50); zoom 2 about it:
    // oX = 40 / 2 − 40 = −20, oY = (150 − 100) / 2 − 50 = −25.
    const QPointF at(40 * kPxPerMm, 100 * kPxPerMm);
    QWheelEvent up(at, view->Picture1->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->Picture1, &up);
    EXPECT_EQ(view->Combo1->currentText(), "2");
    EXPECT_EQ(view->Text1->text(), "-20");
    EXPECT_EQ(view->Text2->text(), "-25");
    // The flash stays under the pointer: centre pixel (151.2, 378).
    EXPECT_EQ(Pixel(151, 378), 0xFF000000);
    EXPECT_EQ(view->Label3->text(), "40");

    // Middle-drag by (+10, −10) mm: the data moves with the pointer,
    // oX −20 + 10 / 2 = −15, oY −25 + 10 / 2 = −20.
    auto send = [&](QEvent::Type type, double x, double y, Qt::MouseButton b, Qt::KeyboardModifiers m) {
        const QPointF p(x * kPxPerMm, y * kPxPerMm);
        QMouseEvent e(type, p, view->Picture1->mapToGlobal(p), b,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b), m);
        QApplication::sendEvent(view->Picture1, &e);
    };
    send(QEvent::MouseButtonPress, 40, 100, Qt::MiddleButton, Qt::NoModifier);
    send(QEvent::MouseMove, 45, 95, Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(view->Text1->text(), "-20");  // nothing redraws while dragging
    send(QEvent::MouseButtonRelease, 50, 90, Qt::MiddleButton, Qt::NoModifier);
    EXPECT_EQ(view->Text1->text(), "-15");
    EXPECT_EQ(view->Text2->text(), "-20");
    EXPECT_EQ(Pixel(int(50 * kPxPerMm), int(90 * kPxPerMm)), 0xFF000000);
    // Shift with the left button drags too, and sets no distance anchor.
    send(QEvent::MouseButtonPress, 50, 90, Qt::LeftButton, Qt::ShiftModifier);
    send(QEvent::MouseButtonRelease, 30, 90, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(view->Text1->text(), "-25");
    EXPECT_EQ(view->distanceLabel()->text(), "");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Viewer, InchAreaZoomByDragReadoutAndDistance) {
    // inch(2.4): the surface of 756 × 567 pixels is 7.875 × 5.90625 inch.
    state.settings.inputFormat = 8;
    view->Combo1_Click();
    const double h = 567.0 / 96;
    auto send = [&](QEvent::Type type, double xInch, double yDataInch, Qt::MouseButton b) {
        // y as data Y with the bottom-left origin at zoom 1, offsets 0.
        const QPointF p(xInch * 96, (h - yDataInch) * 96);
        QMouseEvent e(type, p, view->Picture1->mapToGlobal(p), b,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b),
                      Qt::NoModifier);
        QApplication::sendEvent(view->Picture1, &e);
    };
    // The readout to 0.0001 inch, the distance from the last click.
    send(QEvent::MouseButtonPress, 0.42, 0.64, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, 0.42, 0.64, Qt::LeftButton);
    send(QEvent::MouseMove, 0.94, 0.34, Qt::NoButton);
    EXPECT_EQ(view->Label3->text(), "0.94");
    EXPECT_EQ(view->Label4->text(), "0.34");
    EXPECT_EQ(view->distanceLabel()->text(), QString::fromUtf8("ΔX=0.52 ΔY=-0.3 距離=0.6003 inch"));

    // 範囲拡大 as one drag from 0.42 to 0.94 inch both ways, the cross pointer
    // while it waits: the height decides, 5.90625 / 0.52 = 11.358 → 11.35,
    // and the view starts at 0.42 inch.
    Action("ViewEria")->trigger();
    EXPECT_EQ(view->Picture1->cursor().shape(), Qt::CrossCursor);
    send(QEvent::MouseMove, 0.42, 0.42, Qt::NoButton);
    send(QEvent::MouseButtonPress, 0.42, 0.42, Qt::LeftButton);
    send(QEvent::MouseMove, 0.7, 0.7, Qt::LeftButton);
    send(QEvent::MouseMove, 0.94, 0.94, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, 0.94, 0.94, Qt::LeftButton);
    EXPECT_FALSE(view->areaZoom().armed);
    EXPECT_NE(view->Picture1->cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(view->Combo1->currentText(), "11.35");
    EXPECT_EQ(view->Text1->text(), "-0.42");
    EXPECT_EQ(view->Text2->text(), "-0.42");
    EXPECT_EQ(Texts().back(), "表示元のファイルがありません");  // the pass runs, no data
    // A click that does not move keeps the band for a second click.
    Action("ViewEria")->trigger();
    send(QEvent::MouseButtonPress, 1, 1, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, 1, 1, Qt::LeftButton);
    EXPECT_TRUE(view->areaZoom().bandStarted);
    send(QEvent::MouseButtonPress, 1, 1, Qt::RightButton);
    EXPECT_FALSE(view->areaZoom().armed);
}

TEST_F(Viewer, AreaZoomOfNoWidthOrCancelledChangesNothing) {
    const QImage before = view->pictureBox()->image().copy();
    Action("ViewEria")->trigger();
    MoveTo(40, 40);
    Press(40, 40);
    MoveTo(40.05, 40.05);  // the same readout X and Y: no band
    Press(40.05, 40.05);
    EXPECT_FALSE(view->areaZoom().armed);
    EXPECT_EQ(view->Combo1->currentText(), Q("１００％"));
    EXPECT_EQ(view->Text1->text(), "0");
    EXPECT_EQ(view->pictureBox()->image(), before);  // band erased
    EXPECT_TRUE(platform.messages.empty());          // no pass

    // Moves to whole pixels: every band drawn is erased pixel for pixel.
    Action("ViewEria")->trigger();
    Press(3 / kPxPerMm, 300 / kPxPerMm);
    for (int step = 1; step <= 12; ++step) MoveTo((3 + 16 * step) / kPxPerMm, (300 + 13 * step) / kPxPerMm);
    MoveTo(90, 80);
    Press(60, 60, Qt::RightButton);
    EXPECT_FALSE(view->areaZoom().armed);
    EXPECT_EQ(view->pictureBox()->image(), before);
    EXPECT_EQ(view->PictureSurface().Mode(), DrawMode::Copy);
    EXPECT_EQ(view->Text1->text(), "0");
}

TEST_F(Viewer, OriginPickWaitsForAPressAndCanBeCancelled) {
    // Zoom 2, surface 150 mm high, press at (40, 50) mm: pick (20, 50).
    view->Combo1->setCurrentIndex(3);
    view->Combo1_Click();
    bool crossWhileWaiting = false;
    QTimer::singleShot(0, [&] {
        crossWhileWaiting = view->cursor().shape() == Qt::CrossCursor && view->originPickWaiting();
        EXPECT_EQ(view->pick().x, kPickWaitingMarker);
        Press(40, 50);
    });
    Action("ViewSetOffset")->trigger();
    EXPECT_TRUE(crossWhileWaiting);
    EXPECT_EQ(view->pick().x, 20.0f);
    EXPECT_EQ(view->pick().y, 50.0f);
    EXPECT_EQ(view->Text1->text(), "-20");
    EXPECT_EQ(view->Text2->text(), "-50");
    EXPECT_NE(view->cursor().shape(), Qt::CrossCursor);

    // A fractional offset keeps its fraction: 2.5 − 10 = −7.5.
    view->Text1->setText("2.5");
    QTimer::singleShot(0, [&] { Press(20, 50); });
    Action("ViewSetOffset")->trigger();
    EXPECT_EQ(view->Text1->text(), "-7.5");

    // Escape ends the wait with no change.
    QTimer::singleShot(0, [&] { Key(Qt::Key_Escape); });
    Action("ViewSetOffset")->trigger();
    EXPECT_FALSE(view->originPickWaiting());
    EXPECT_EQ(view->Text1->text(), "-7.5");

    // 原点初期値.
    Action("ViewSetReset")->trigger();
    EXPECT_EQ(view->Text1->text(), "0");
    EXPECT_EQ(view->Text2->text(), "0");
    EXPECT_TRUE(platform.messages.empty());

    // Closing the viewer ends the wait too.
    QTimer::singleShot(0, [&] { view->close(); });
    Action("ViewSetOffset")->trigger();
    EXPECT_EQ(state.viewState.viewDrawn, 0.0f);
}

TEST_F(Viewer, TypedZoomTextThatIsNoEntryDrawsAtThePreviousZoom) {
    state.inputBlockList = MakeBlocks({"G54D10", "X10000Y10000D03"});
    view->Combo1->setCurrentIndex(3);  // ２００％
    view->Combo1_Click();
    view->Combo1->setEditText(Q("300％"));
    Action("ViewRunView")->trigger();
    EXPECT_EQ(state.viewTransform.zoom, 2.0f);
    // (10, 10) mm at zoom 2: x 20 mm → 75.6 px; y 150 − 20 = 130 mm → 491.4 px.
    EXPECT_EQ(Pixel(75, 491), 0xFF000000);
    EXPECT_EQ(Pixel(37, 529), 0xFFFFFFFF);
}

TEST_F(Viewer, ClearStopsRedrawsAndQualityPickRedrawsWhenDrawn) {
    state.inputBlockList = MakeBlocks({"D5"});  // separator message; the pass counts as complete
    Action("ViewRunView")->trigger();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(state.viewState.viewDrawn, 1.0f);
    view->Combo2->setCurrentIndex(1);
    view->Combo2_Click();
    EXPECT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(state.viewState.drawQuality, 1.0f);
    Action("ViewClier")->trigger();
    EXPECT_EQ(state.viewState.viewDrawn, 0.0f);
    view->Combo1->setCurrentIndex(4);
    view->Combo1_Click();
    EXPECT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(state.viewTransform.zoom, 4.0f);
}

TEST_F(Viewer, OptionsDialogStoresColoursAtOnceAndAppliesThemOnOk) {
    state.settings.drawColour = "0";
    state.settings.backColour = "16777215";
    view->ViewOpt_Click();
    ViewOption* o = view->viewOption();
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->windowTitle(), Q("表示設定"));
    EXPECT_EQ(o->Frame1->title(), Q("描画原点"));
    EXPECT_EQ(o->Frame2->title(), Q("描画カラー"));
    EXPECT_EQ(o->Option1->text(), Q("左下"));
    EXPECT_EQ(o->Option2->text(), Q("左上"));
    EXPECT_EQ(o->Label1->text(), Q("描画色"));
    EXPECT_EQ(o->Label2->text(), Q("背景色"));
    EXPECT_EQ(o->Command1->text(), Q("ＯＫ"));
    EXPECT_EQ(o->Command2->text(), Q("キャンセル"));
    EXPECT_TRUE(o->Option1->isChecked());
    // A chosen colour is stored at once; キャンセル does not undo it, nor
    // does it reach the surface.
    platform.colourAnswers.push_back(0x0000FF);
    o->Picture1_Click();
    EXPECT_EQ(state.settings.drawColour, "255");
    o->Option2->setChecked(true);
    o->Command2_Click();
    EXPECT_EQ(state.settings.drawOrigin, 0.0f);
    EXPECT_EQ(view->pictureBox()->drawColour(), kBlack);
    // ＯＫ applies the origin corner and the colours.
    QApplication::processEvents();
    view->ViewOpt_Click();
    o = view->viewOption();
    o->Option2->setChecked(true);
    o->Command1_Click();
    EXPECT_EQ(state.settings.drawOrigin, 1.0f);
    EXPECT_EQ(view->pictureBox()->drawColour(), 0x0000FFu);
    EXPECT_EQ(view->pictureBox()->backColour(), 0xFFFFFFu);
}

TEST_F(Viewer, ClosingTheOptionsRedrawsThroughTheViewersActivation) {
    // One message per pass shows how many passes ran.
    state.inputBlockList = MakeBlocks({"G54D600"});
    Action("ViewRunView")->trigger();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    ASSERT_EQ(platform.messages.size(), 1u);
    view->ViewOpt_Click();
    QApplication::processEvents();
    view->viewOption()->Command1_Click();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(Viewer, HelpVersionEditorAndInputSettings) {
    Action("ViewHeltpTopic")->trigger();
    ASSERT_EQ(platform.helpShown.size(), 1u);
    EXPECT_EQ(platform.helpShown[0], (dir.path() / "view.hlp").string());
    Action("ViewPrintVer")->trigger();
    frmAbout* about = view->aboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), Q("バージョン情報"));
    EXPECT_EQ(about->Label1->text(), Q("Spectaplot+"));
    EXPECT_EQ(about->Label3->text(), Q("Ver.1.44"));
    EXPECT_EQ(about->Command1->text(), Q("ＯＫ"));

    // The editor's ｷｬﾝｾﾙ may unload it: the next command loads it again.
    delete editor.data();
    Action("ViewSetApp")->trigger();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    Action("ViewEnd")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(editor->isVisible());

    Open();
    state.settings.inputFormat = 8;
    Action("ViewSetInForm")->trigger();
    ASSERT_NE(inset, nullptr);
    EXPECT_TRUE(inset->isVisible());
    EXPECT_EQ(inset->Combo1->currentText(), Q("inch(2.4)"));
    delete inset.data();
}

TEST_F(Viewer, FileOpenUsesTheViewersStarLimit) {
    // "*" mode: 150 characters before the first "*" pass the main window's
    // 1000 but not the viewer's 100.
    state.settings.inputSeparator = 3;
    platform.fileAnswers.push_back(dir.Write("long.gbr", std::string(150, 'X') + "*").string());
    Action("ViewFileOpen")->trigger();
    EXPECT_EQ(Texts(), std::vector<std::string>{"「＊」が見つかりませんでした。改行コードの設定を確認して下さい。"});
    platform.fileAnswers.push_back(dir.Write("ok.gbr", "G54D10*X1000Y1000D03*").string());
    Action("ViewFileOpen")->trigger();
    EXPECT_EQ(state.inputBlockList.blockCount(), 2u);
}

}  // namespace
}  // namespace mutaplot
