#include "Monkey.h"

#include "MonkeyLog.h"
#include "export/ViewExport.h"
#include "ui/Form1.h"
#include "viewer/DataView.h"
#include "viewer/PictureBox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace mutaplot::testing {

namespace {

// Texts typed into boxes and lists: numbers, edges, non-numbers, full-width.
const char* const kTexts[] = {
    "", "0", "-0", "1", "-1", "100", "１００％", "２５％", "５００％", "50%", "0.0001", "1e308", "-1e308",
    "1e-320", "nan", "inf", "-inf", "abc", "ｱｲｳ", "99999999999999999999999", "  12  ", "1,5", "0x10",
    "%", "-", ".", "1e", "0.5", "-123.456", "1000000", "0.00000001", "16777215", "-16777216", "１２３",
};

struct KeyChoice {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
};

const KeyChoice kKeys[] = {
    {Qt::Key_PageUp, Qt::NoModifier, "PageUp"},     {Qt::Key_PageDown, Qt::NoModifier, "PageDown"},
    {Qt::Key_Left, Qt::NoModifier, "Left"},         {Qt::Key_Right, Qt::NoModifier, "Right"},
    {Qt::Key_Up, Qt::NoModifier, "Up"},             {Qt::Key_Down, Qt::NoModifier, "Down"},
    {Qt::Key_Escape, Qt::NoModifier, "Escape"},     {Qt::Key_Return, Qt::NoModifier, "Return"},
    {Qt::Key_Enter, Qt::KeypadModifier, "Enter"},   {Qt::Key_Tab, Qt::NoModifier, "Tab"},
    {Qt::Key_Backtab, Qt::ShiftModifier, "Backtab"}, {Qt::Key_Space, Qt::NoModifier, "Space"},
    {Qt::Key_Home, Qt::NoModifier, "Home"},         {Qt::Key_End, Qt::NoModifier, "End"},
    {Qt::Key_Delete, Qt::NoModifier, "Delete"},     {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
    {Qt::Key_F1, Qt::NoModifier, "F1"},             {Qt::Key_F4, Qt::NoModifier, "F4"},
    {Qt::Key_5, Qt::NoModifier, "5"},               {Qt::Key_Minus, Qt::NoModifier, "-"},
    {Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},     {Qt::Key_F, Qt::AltModifier, "Alt+F"},
    {Qt::Key_G, Qt::AltModifier, "Alt+G"},          {Qt::Key_R, Qt::AltModifier, "Alt+R"},
    {Qt::Key_D, Qt::AltModifier, "Alt+D"},          {Qt::Key_V, Qt::AltModifier, "Alt+V"},
    {Qt::Key_H, Qt::AltModifier, "Alt+H"},          {Qt::Key_Down, Qt::AltModifier, "Alt+Down"},
};

std::string Name(const QObject* o) {
    if (!o) return "?";
    const std::string own = o->objectName().toStdString();
    const QWidget* w = qobject_cast<const QWidget*>(o);
    const QWidget* win = w ? w->window() : nullptr;
    const std::string window = win && win != w ? win->objectName().toStdString() + "/" : "";
    return window + (own.empty() ? o->metaObject()->className() : own);
}

std::string Point(QPoint p) { return "(" + std::to_string(p.x()) + "," + std::to_string(p.y()) + ")"; }

// A move of the pointer without a button, as the window system sends it.
void Hover(QWidget* w, QPoint at) {
    QMouseEvent e(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// Types the text as key presses; characters beyond ASCII come as the text of
// a key without a key code, as an input method sends them.
void TypeInto(QWidget* w, const std::string& text) {
    for (QChar c : QString::fromStdString(text)) {
        if (c.unicode() < 0x80 && c.isPrint()) QTest::keyClick(w, c.toLatin1());
        else QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void CloseMenus() {
    for (int i = 0; i < 10; ++i) {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup) break;
        popup->close();
    }
}

// Qt's warnings during a walk, counted by text for the summary (the
// offscreen platform's notes on what it cannot do are left out).
std::map<std::string, int>* g_warnings = nullptr;

void CountWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "Qt fatal: %s\n", qPrintable(text));
        std::abort();
    }
    if (text.startsWith("This plugin does not support")) return;
    if (g_warnings) ++(*g_warnings)[text.toStdString()];
}

}  // namespace

Monkey::Monkey(std::uint32_t seed, bool damagedProgramFolder)
    : rng_(seed), world_(rng_, damagedProgramFolder) {
    g_warnings = &warnings_;
    previousHandler_ = qInstallMessageHandler(CountWarning);
    QueueAnswers();
    form_ = std::make_unique<Form1>(state_, platform_, platform_, world_.programFolder());
    form_->SetEndProcess([] {});
    form_->show();
    pickEnder_.setInterval(0);
    QObject::connect(&pickEnder_, &QTimer::timeout, [this] { EndPick(); });
    // A timer of its own: a timer does not fire again while its handler runs,
    // and a menu may wait inside a step of the pick ender.
    menuCloser_.setInterval(0);
    QObject::connect(&menuCloser_, &QTimer::timeout, [this] { EndMenuWait(); });
    Settle();
}

Monkey::~Monkey() {
    pickEnder_.stop();
    menuCloser_.stop();
    form_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    qInstallMessageHandler(previousHandler_);
    g_warnings = nullptr;
}

int Monkey::Below(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
bool Monkey::Chance(int percent) { return Below(100) < percent; }

QPoint Monkey::PointIn(const QWidget* w, int margin) {
    return {Below(w->width() + 2 * margin) - margin, Below(w->height() + 2 * margin) - margin};
}

std::string Monkey::RandomText() {
    if (Chance(80)) return kTexts[Below(static_cast<int>(std::size(kTexts)))];
    std::string s;
    const int n = Chance(10) ? 400 : Below(16);
    for (int i = 0; i < n; ++i) s += "0123456789.-+eE%"[Below(16)];
    return s;
}

void Monkey::Log(const std::string& what) {
    std::string where = std::to_string(step_);
    if (depth_ > 0) where += "." + std::to_string(subStep_);
    MonkeyLog::Instance().Add(where + ": " + what);
}

DataView* Monkey::viewer() const { return form_->dataView(); }

DataView* Monkey::shownViewer() const {
    DataView* v = viewer();
    return v && v->isVisible() ? v : nullptr;
}

std::vector<QWidget*> Monkey::ShownWindows() const {
    std::vector<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->inherits("QMenu") && !w->objectName().isEmpty()) out.push_back(w);
    // The order of the application's list is no order: by name.
    std::sort(out.begin(), out.end(), [](QWidget* a, QWidget* b) { return a->objectName() < b->objectName(); });
    return out;
}

template <class W>
std::vector<W*> Monkey::ShownChildren(bool enabledOnly) const {
    std::vector<W*> out;
    for (QWidget* window : ShownWindows())
        for (W* w : window->findChildren<W*>())
            if (w->isVisible() && w->window() == window && (!enabledOnly || w->isEnabled())) out.push_back(w);
    return out;
}

void Monkey::QueueAnswers() {
    // Every dialog of the step answers from these; what is left is dropped.
    platform_.fileAnswers.clear();
    queuedFiles_.clear();
    platform_.messageAnswers.clear();
    platform_.colourAnswers.clear();
    const auto& files = world_.answers();
    int total = 0;
    for (const MonkeyFile& f : files) total += f.weight;
    for (int i = 0; i < 3; ++i) {
        if (Chance(12)) {
            platform_.fileAnswers.emplace_back();
            queuedFiles_.push_back("(cancel)");
            continue;
        }
        int r = Below(total);
        std::size_t k = 0;
        while (r >= files[k].weight) r -= files[k++].weight;
        platform_.fileAnswers.push_back(files[k].path);
        queuedFiles_.push_back(files[k].label);
    }
    for (int i = 0; i < 6; ++i) platform_.messageAnswers.push_back(Chance(70) ? MessageAnswer::Ok : MessageAnswer::Cancel);
    for (int i = 0; i < 2; ++i) {
        if (Chance(30)) platform_.colourAnswers.push_back(std::nullopt);
        else platform_.colourAnswers.push_back(static_cast<std::uint32_t>(Below(0x1000000)));
    }
    platform_.printerSetupAnswer = Chance(70);
}

void Monkey::Settle() {
    // The file answers the step took, for the log.
    const std::size_t taken = queuedFiles_.size() - std::min(queuedFiles_.size(), platform_.fileAnswers.size());
    if (taken > 0) {
        std::string names;
        for (std::size_t i = 0; i < taken; ++i) names += (i ? ", " : "") + queuedFiles_[i];
        Log("  file dialogs answered: " + names);
    }
    queuedFiles_.clear();
    CloseMenus();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CloseMenus();
    for (const ShownMessage& m : platform_.messages) ++messagesSeen_[m.text];
    platform_.messages.clear();
    platform_.fileFilters.clear();
    platform_.fileFlags.clear();
    platform_.helpShown.clear();
    platform_.pointerHistory.clear();
}

void Monkey::CheckAfterStep() {
    if (platform_.pointer != PointerShape::Default) {
        ADD_FAILURE() << "the busy pointer stayed after step " << step_;
        failed_ = true;
    }
    if (DataView* v = viewer(); v && v->originPickWaiting()) {
        ADD_FAILURE() << "an origin pick still waits after step " << step_;
        failed_ = true;
    }
    if (failed_) MonkeyLog::Instance().Print("failed check");
}

void Monkey::Run(int steps) {
    MonkeyWatchdog watchdog(std::max(5, std::atoi(qgetenv("MUTAPLOT_MONKEY_HANG_SECONDS").isEmpty()
                                                      ? "20"
                                                      : qgetenv("MUTAPLOT_MONKEY_HANG_SECONDS").constData())));
    for (step_ = 1; step_ <= steps && !failed_; ++step_) {
        watchdog.Tick();
        MonkeyLog::Instance().SetStep(step_);
        const auto began = std::chrono::steady_clock::now();
        QueueAnswers();
        pickEnder_.start();
        menuCloser_.start();
        Step(0);
        menuCloser_.stop();
        pickEnder_.stop();
        Settle();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
        if (took.count() > slowestMs_) {
            slowestMs_ = took.count();
            slowestStep_ = step_;
        }
        CheckAfterStep();
    }
}

void Monkey::PrintSummary() const {
    long shown = 0;
    for (const auto& [text, count] : messagesSeen_) shown += count;
    std::printf("walk: %ld steps, the slowest %ld (%ld ms), %ld messages (%zu distinct)\n", step_ - 1,
                slowestStep_, slowestMs_, shown, messagesSeen_.size());
    if (std::getenv("MUTAPLOT_MONKEY_TRACE"))
        for (const auto& [text, count] : messagesSeen_) std::printf("  %6d  %s\n", count, text.c_str());
    for (const auto& [text, count] : warnings_) std::printf("  Qt warning, %d times: %s\n", count, text.c_str());
}

void Monkey::Step(int depth) {
    depth_ = depth;
    // Every new viewer prints to PDF files only, even where the machine has
    // a printer.
    if (DataView* v = viewer(); v && v != configuredViewer_) {
        v->exportCommands().printerAvailable = [] { return false; };
        configuredViewer_ = v;
    }
    const bool haveViewer = shownViewer() != nullptr;
    // Weights of the kinds of step; the viewer's are 0 while it is closed.
    const int weights[] = {
        haveViewer ? 10 : 30,  // main window menu (入力データの表示 opens the viewer)
        haveViewer ? 22 : 0,   // viewer menu
        12,                    // key
        haveViewer ? 16 : 0,   // mouse on the surface
        haveViewer ? 4 : 0,    // 範囲拡大 and a band
        haveViewer ? 3 : 0,    // wheel
        14,                    // button
        7,                     // typed text
        haveViewer ? 6 : 0,    // zoom or quality list
        5,                     // grid row
        2,                     // resize
        2,                     // close
        2,                     // activate
        form_->isVisible() ? 0 : 3,  // main window shown again
    };
    int total = 0;
    for (int w : weights) total += w;
    int r = Below(total), kind = 0;
    while (r >= weights[kind]) r -= weights[kind++];
    switch (kind) {
    case 0: MenuCommand(form_->menuBar(), "Form1"); break;
    case 1: MenuCommand(viewer()->menuBar(), "DataView"); break;
    case 2: Key(); break;
    case 3: SurfaceMouse(); break;
    case 4: AreaZoom(); break;
    case 5: Wheel(); break;
    case 6: ClickButton(); break;
    case 7: TypeText(); break;
    case 8: ChooseViewerList(); break;
    case 9: ClickGridRow(); break;
    case 10: ResizeWindow(); break;
    case 11: CloseWindow(); break;
    case 12: ActivateWindow(); break;
    default: ShowMainWindow(); break;
    }
    CloseMenus();
    depth_ = depth;
}

void Monkey::MenuCommand(QMenuBar* bar, const char* window) {
    // Opening a file and drawing come up more often, so the other commands
    // find data to work on.
    const QStringList often = {"mnuOpen", "mnuRunData", "ViewFileOpen", "ViewRunView"};
    std::vector<QAction*> commands;
    for (QAction* a : bar->findChildren<QAction*>()) {
        if (a->isSeparator() || a->menu() || a->objectName().isEmpty()) continue;
        for (int i = often.contains(a->objectName()) ? 4 : 1; i > 0; --i) commands.push_back(a);
    }
    if (commands.empty()) return;
    QAction* a = commands[static_cast<std::size_t>(Below(static_cast<int>(commands.size())))];
    Log(std::string(window) + " menu " + a->objectName().toStdString());
    a->trigger();
}

void Monkey::Key() {
    QWidget* target = nullptr;
    DataView* v = shownViewer();
    const int r = Below(10);
    if (v && r < 5) target = v->pictureBox();
    else if (r < 8) target = QApplication::focusWidget();
    if (!target || !target->isVisible()) {
        const auto widgets = ShownChildren<QWidget>(true);
        if (widgets.empty()) return;
        target = widgets[static_cast<std::size_t>(Below(static_cast<int>(widgets.size())))];
    }
    if (Chance(15)) {
        const std::string text = RandomText();
        Log("keys '" + text + "' to " + Name(target));
        TypeInto(target, text);
        return;
    }
    const KeyChoice& k = kKeys[Below(static_cast<int>(std::size(kKeys)))];
    Log(std::string("key ") + k.name + " to " + Name(target));
    QTest::keyClick(target, k.key, k.modifiers);
}

void Monkey::SurfaceMouse() {
    PictureBox* p = shownViewer()->pictureBox();
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const Qt::MouseButton button = buttons[Below(4)];
    const QPoint a = PointIn(p, 20);
    switch (Below(4)) {
    case 0: {
        Log("hover over the surface " + Point(a));
        Hover(p, a);
        break;
    }
    case 1:
        Log("click " + std::to_string(button) + " on the surface " + Point(a));
        QTest::mouseClick(p, button, Qt::NoModifier, a);
        break;
    case 2:
        Log("double click on the surface " + Point(a));
        QTest::mouseDClick(p, button, Qt::NoModifier, a);
        break;
    default: {
        const QPoint b = PointIn(p, 20);
        Log("drag " + std::to_string(button) + " on the surface " + Point(a) + " to " + Point(b));
        QTest::mousePress(p, button, Qt::NoModifier, a);
        for (int i = 1; i <= 4; ++i) QTest::mouseMove(p, a + (b - a) * i / 4);
        QTest::mouseRelease(p, button, Qt::NoModifier, b);
        break;
    }
    }
}

void Monkey::AreaZoom() {
    DataView* v = shownViewer();
    PictureBox* p = v->pictureBox();
    const QPoint a = PointIn(p, 0), b = Chance(10) ? a : PointIn(p, 10);
    Log("area zoom " + Point(a) + " to " + Point(b));
    v->findChild<QAction*>("ViewEria")->trigger();
    QTest::mouseClick(p, Qt::LeftButton, Qt::NoModifier, a);
    for (int i = 1; i <= 3; ++i) Hover(p, a + (b - a) * i / 3);
    QTest::mouseClick(p, Chance(15) ? Qt::RightButton : Qt::LeftButton, Qt::NoModifier, b);
}

void Monkey::Wheel() {
    PictureBox* p = shownViewer()->pictureBox();
    const int angles[] = {120, -120, 240, -360, 15, -15, 60};
    const int angle = angles[Below(static_cast<int>(std::size(angles)))];
    const QPoint at = PointIn(p, 0);
    Log("wheel " + std::to_string(angle) + " at " + Point(at));
    QWheelEvent e(at, p->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(p, &e);
}

void Monkey::ClickButton() {
    // A window first, then one of its buttons: a dialog of many options is
    // not chosen more often than one of two buttons.
    std::vector<std::vector<QAbstractButton*>> byWindow;
    for (QWidget* window : ShownWindows()) {
        std::vector<QAbstractButton*> buttons;
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->isEnabled() && b->window() == window) buttons.push_back(b);
        if (!buttons.empty()) byWindow.push_back(std::move(buttons));
    }
    if (byWindow.empty()) return;
    const auto& buttons = byWindow[static_cast<std::size_t>(Below(static_cast<int>(byWindow.size())))];
    QAbstractButton* b = buttons[static_cast<std::size_t>(Below(static_cast<int>(buttons.size())))];
    Log("click button " + Name(b) + " '" + b->text().toStdString() + "'");
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
}

void Monkey::TypeText() {
    std::vector<QWidget*> boxes;
    for (QLineEdit* e : ShownChildren<QLineEdit>(true))
        if (!e->isReadOnly()) boxes.push_back(e);
    if (boxes.empty()) return;
    QWidget* box = boxes[static_cast<std::size_t>(Below(static_cast<int>(boxes.size())))];
    const std::string text = RandomText();
    const bool enter = Chance(40);
    Log("type '" + text + "' into " + Name(box) + (enter ? " + Return" : ""));
    auto* edit = static_cast<QLineEdit*>(box);
    edit->selectAll();
    TypeInto(edit, text);
    if (enter) QTest::keyClick(edit, Qt::Key_Return);
}

void Monkey::ChooseViewerList() {
    DataView* v = shownViewer();
    QComboBox* combo = Chance(70) ? v->Combo1 : v->Combo2;
    if (Chance(30)) {
        const std::string text = RandomText();
        Log("list " + Name(combo) + " typed '" + text + "' and chosen");
        combo->setEditText(QString::fromStdString(text));
    } else {
        const int index = Below(combo->count());
        Log("list " + Name(combo) + " item " + std::to_string(index) + " chosen");
        combo->setCurrentIndex(index);
    }
    emit combo->activated(combo->currentIndex());
}

void Monkey::ClickGridRow() {
    const auto grids = ShownChildren<QTableView>(false);
    if (grids.empty()) return;
    QTableView* g = grids[static_cast<std::size_t>(Below(static_cast<int>(grids.size())))];
    const int rows = g->model() ? g->model()->rowCount() : 0;
    if (rows == 0) return;
    const int row = Below(rows);
    const QModelIndex index = g->model()->index(row, Below(std::max(1, g->model()->columnCount())));
    g->scrollTo(index);
    const QPoint at = g->visualRect(index).center();
    const bool twice = Chance(20);
    Log("grid " + Name(g) + (twice ? " double click" : " click") + " row " + std::to_string(row));
    if (twice) QTest::mouseDClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    else QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void Monkey::ResizeWindow() {
    const auto windows = ShownWindows();
    if (windows.empty()) return;
    QWidget* w = windows[static_cast<std::size_t>(Below(static_cast<int>(windows.size())))];
    const int sizes[] = {1, 40, 120, 300, 640, 900, 1400, 2200};
    const int width = sizes[Below(8)], height = sizes[Below(7)];
    Log("resize " + Name(w) + " to " + std::to_string(width) + "x" + std::to_string(height));
    w->resize(width, height);
}

void Monkey::CloseWindow() {
    const auto windows = ShownWindows();
    if (windows.empty()) return;
    QWidget* w = windows[static_cast<std::size_t>(Below(static_cast<int>(windows.size())))];
    Log("close " + Name(w));
    w->close();
}

void Monkey::ActivateWindow() {
    const auto windows = ShownWindows();
    if (windows.empty()) return;
    QWidget* w = windows[static_cast<std::size_t>(Below(static_cast<int>(windows.size())))];
    Log("activate " + Name(w));
    w->raise();
    w->activateWindow();
    QCoreApplication::processEvents();
}

void Monkey::ShowMainWindow() {
    Log("show Form1");
    form_->show();
}

void Monkey::EndMenuWait() {
    if (!QApplication::activePopupWidget()) return;
    Log("a waiting menu closed");
    CloseMenus();
}

void Monkey::EndPick() {
    DataView* v = viewer();
    if (endingPick_ || !v || !v->originPickWaiting()) return;
    endingPick_ = true;
    const int outerDepth = depth_;
    // A few steps while the pick waits, then the end of the wait.
    const int inside = Below(4);
    for (subStep_ = 1; subStep_ <= inside; ++subStep_) {
        Step(outerDepth + 1);
        v = viewer();
        if (!v || !v->originPickWaiting()) break;
    }
    depth_ = outerDepth + 1;
    if ((v = viewer()) && v->originPickWaiting()) {
        PictureBox* p = v->pictureBox();
        const QPoint at = PointIn(p, 0);
        switch (Below(5)) {
        case 0:
        case 1:
            Log("pick ends: press on the surface " + Point(at));
            QTest::mouseClick(p, Chance(80) ? Qt::LeftButton : Qt::RightButton, Qt::NoModifier, at);
            break;
        case 2:
        case 3:
            Log("pick ends: Escape");
            QTest::keyClick(p, Qt::Key_Escape);
            break;
        default:
            Log("pick ends: close the viewer");
            v->close();
            break;
        }
    }
    // Still waiting (the surface was hidden, say): the viewer closes.
    if ((v = viewer()) && v->originPickWaiting()) {
        Log("pick ends: the viewer closed by force");
        v->close();
    }
    depth_ = outerDepth;
    endingPick_ = false;
}

}  // namespace mutaplot::testing
