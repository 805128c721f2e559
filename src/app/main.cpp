// mutaplot: the converter's main window.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8("Mutaplot＋ Ver1.63"));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
