// mutaplot: the converter's main window.
#include "platform/AppPath.h"
#include "ui/AppState.h"
#include "ui/Form1.h"
#include "ui/QtPlatform.h"
#include "ui/WindowMemory.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt's own dialogs (file, colour, print, message buttons) in Japanese.
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    QTranslator qtbase, qt;
    if (qtbase.load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_", translations))
        app.installTranslator(&qtbase);
    if (qt.load(QLocale(QLocale::Japanese, QLocale::Japan), "qt", "_", translations))
        app.installTranslator(&qt);
    // Closing the main window ends the process, whatever else is open.
    QApplication::setQuitOnLastWindowClosed(false);

    auto state = std::make_unique<mutaplot::AppState>();
    mutaplot::QtDialogs dialogs;
    mutaplot::QtPointer pointer;
    // Recent files, the last folder and the window geometry, between runs.
    mutaplot::WindowMemory memory(mutaplot::WindowMemory::UserFile());
    dialogs.SetMemory(&memory);
    mutaplot::Form1 form1(*state, dialogs, pointer, mutaplot::ApplicationFolder());
    form1.UseMemory(&memory);
    dialogs.SetOwner(&form1);
    pointer.SetWindow(&form1);
    form1.show();
    return app.exec();
}
