#pragma once
// One QApplication for all window tests (offscreen platform).

#include <QApplication>

namespace mutaplot::testing {

inline void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);  // lives until the process ends
}

}  // namespace mutaplot::testing
