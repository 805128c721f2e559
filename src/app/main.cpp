// mutaplot: the converter's main window. `mutaplot FILE` opens FILE as
// ﾌｧｲﾙを開く would, with the saved input settings.
#include "platform/AppPath.h"
#include "ui/AppState.h"
#include "ui/Form1.h"
#include "ui/QtPlatform.h"
#include "ui/WindowMemory.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    // Answered before a display is needed.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("mutaplot %s\n", MUTAPLOT_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("usage: mutaplot [FILE]\n"
                        "Opens the main window; FILE (a photoplotter file) is read as\n"
                        "ﾌｧｲﾙを開く reads it, with the saved input settings.\n"
                        "See mutaplot(1).\n");
            return 0;
        }
    }
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

    // The file to open: the first operand (Qt has taken its own options).
    std::string file;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--" && i + 1 < arguments.size()) {
            file = QFile::encodeName(arguments[i + 1]).toStdString();
            break;
        }
        if (!arguments[i].startsWith('-') || arguments[i] == "-") {
            file = QFile::encodeName(arguments[i]).toStdString();
            break;
        }
    }

    auto state = std::make_unique<mutaplot::AppState>();
    state->userConfigFolder = mutaplot::UserConfigFolder();
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
    // Read once the window is up, so that its messages have their owner.
    if (!file.empty()) QTimer::singleShot(0, &form1, [&form1, file] { form1.OpenInputFile(file); });
    return app.exec();
}
