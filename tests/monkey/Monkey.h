#pragma once
// A seeded random walk over the converter's main window, the viewer and the
// dialogs they open, offscreen: menu commands, keys, clicks and drags on the
// drawing surface, typed texts, button clicks, grid rows, resizes, closes and
// activations, with the file, message and colour dialogs answered at random
// from the walk's files. The same seed gives the same walk.
//
// The origin pick runs a wait of its own until a press on the surface or
// Escape; a timer of the walk ends every such wait (after a few steps inside
// it), so no step can wait for a user.

#include "MonkeyWorld.h"
#include "support/FakePlatform.h"
#include "ui/AppState.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

class QMenuBar;
class QWidget;

namespace mutaplot {

class DataView;
class Form1;

namespace testing {

class Monkey {
public:
    Monkey(std::uint32_t seed, bool damagedProgramFolder);
    ~Monkey();

    // Runs the steps; stops early at a failed check (a gtest failure).
    void Run(int steps);
    // Steps run, the messages shown (each text with its count when
    // MUTAPLOT_MONKEY_TRACE is set) and Qt's warnings, on standard output.
    void PrintSummary() const;

private:
    // Random choices.
    int Below(int n);
    bool Chance(int percent);
    QPoint PointIn(const QWidget* w, int margin);
    std::string RandomText();

    void Step(int depth);
    void QueueAnswers();
    void Settle();
    void CheckAfterStep();
    void Log(const std::string& what);

    // The kinds of step.
    void MenuCommand(QMenuBar* bar, const char* window);
    void Key();
    void SurfaceMouse();
    void AreaZoom();
    void Wheel();
    void ClickButton();
    void TypeText();
    void ChooseViewerList();
    void ClickGridRow();
    void ResizeWindow();
    void CloseWindow();
    void ActivateWindow();
    void ShowMainWindow();

    // The timers' ends of a waiting origin pick and of a menu that waits on
    // its own (the menu bar's extension button).
    void EndPick();
    void EndMenuWait();

    DataView* viewer() const;
    DataView* shownViewer() const;
    std::vector<QWidget*> ShownWindows() const;
    template <class W>
    std::vector<W*> ShownChildren(bool enabledOnly) const;

    std::mt19937 rng_;
    MonkeyWorld world_;
    AppState state_;
    FakePlatform platform_;
    std::unique_ptr<Form1> form_;
    QTimer pickEnder_, menuCloser_;
    QPointer<DataView> configuredViewer_;
    bool endingPick_ = false;
    long step_ = 0;
    int subStep_ = 0;
    int depth_ = 0;
    bool failed_ = false;
    std::map<std::string, int> messagesSeen_;
    long slowestStep_ = 0, slowestMs_ = 0;
    std::vector<std::string> queuedFiles_;
    std::map<std::string, int> warnings_;
    QtMessageHandler previousHandler_ = nullptr;  // labels of the file answers queued
};

}  // namespace testing
}  // namespace mutaplot
