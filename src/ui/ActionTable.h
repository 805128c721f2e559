#pragma once
// One table of menu rows per window (main window, viewer): each row names a
// menu, a separator or a command and its handler, and BuildMenuBar turns the
// table into the window's menus. Access letters are the "&" letters of the
// captions; no row has a shortcut key.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QString>

namespace mutaplot {

// A row without a handler opens a new menu (when it has a caption) or is a
// separator (no caption). A row with a handler and no open menu is a command
// of the menu bar itself (a top-level entry without items).
template <class Window>
struct MenuRow {
    const char* name;
    const char* caption;
    void (Window::*handler)();
    // A top-level command: the entry on the menu bar runs the handler.
    bool topLevel = false;
};

template <class Window, std::size_t N>
void BuildMenuBar(QMenuBar* bar, Window* window, const MenuRow<Window> (&rows)[N]) {
    QMenu* menu = nullptr;
    for (const MenuRow<Window>& row : rows) {
        if (row.topLevel) {
            QAction* action = bar->addAction(QString::fromUtf8(row.caption));
            action->setObjectName(row.name);
            QObject::connect(action, &QAction::triggered, window, row.handler);
            menu = nullptr;
        } else if (!row.handler && row.caption) {
            menu = bar->addMenu(QString::fromUtf8(row.caption));
            menu->setObjectName(row.name);
            menu->menuAction()->setObjectName(row.name);
        } else if (!row.handler) {
            if (menu) menu->addSeparator()->setObjectName(row.name);
        } else if (menu) {
            QAction* action = menu->addAction(QString::fromUtf8(row.caption));
            action->setObjectName(row.name);
            QObject::connect(action, &QAction::triggered, window, row.handler);
        }
    }
}

}  // namespace mutaplot
