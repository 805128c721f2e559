// mutaplot: the converter's main window.
#include "platform/AppPath.h"
#include "ui/AppState.h"
#include "ui/Form1.h"
#include "ui/QtPlatform.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Closing the main window ends the process, whatever else is open.
    QApplication::setQuitOnLastWindowClosed(false);

    auto state = std::make_unique<mutaplot::AppState>();
    mutaplot::QtDialogs dialogs;
    mutaplot::QtPointer pointer;
    mutaplot::Form1 form1(*state, dialogs, pointer, mutaplot::ApplicationFolder());
    dialogs.SetOwner(&form1);
    pointer.SetWindow(&form1);
    form1.show();
    return app.exec();
}
