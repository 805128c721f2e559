#include "ui/QtPlatform.h"
#include "UiTestApp.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <filesystem>

namespace mutaplot {
namespace {

class QtPlatformTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication(); }
};

TEST_F(QtPlatformTest, BusyPointerCoversTheApplicationAndIsRestored) {
    QtPointer pointer;
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        BusyPointer busy(pointer);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        pointer.SetPointer(PointerShape::Busy);  // twice busy, once restored
        pointer.ProcessPendingEvents();
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    QWidget window;
    pointer.SetWindow(&window);
    pointer.SetPointer(PointerShape::Cross);
    EXPECT_EQ(window.cursor().shape(), Qt::CrossCursor);
    pointer.SetPointer(PointerShape::Default);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(QtPlatformTest, HelpFilesOpenAtTheirContentsPage) {
    for (const char* name : {"mutahlp.hlp", "view.hlp"}) {
        const std::filesystem::path file = std::filesystem::path(MUTAPLOT_BIN_DIR) / name;
        ASSERT_TRUE(std::filesystem::exists(file)) << name;
        QtDialogs dialogs;
        dialogs.ShowHelp(file.string());
        HelpWindow* help = dialogs.helpWindow();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        const QString text = help->browser()->toPlainText();
        EXPECT_TRUE(text.contains(QString::fromUtf8("目次"))) << name;
        EXPECT_EQ(help->browser()->verticalScrollBar()->value(), 0);
    }
}

}  // namespace
}  // namespace mutaplot
