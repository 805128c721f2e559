#include "ui/FileFilter.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

TEST(QtFileFilter, TranslatesEveryPairAndKeepsDescriptions) {
    // The open dialog's three entries; one description covers two patterns.
    EXPECT_EQ(QtFileFilter("photoﾌｧｲﾙ(*.photo.*)|*.photo.*|GBRﾌｧｲﾙ(*.gbr,*.g**)|*.gbr;*.g**|"
                           "すべてのﾌｧｲﾙ(*.*)|*.*"),
              "photoﾌｧｲﾙ(*.photo.*) (*.photo.*);;GBRﾌｧｲﾙ(*.gbr,*.g**) (*.gbr *.g**);;"
              "すべてのﾌｧｲﾙ(*.*) (*)");
    // The save dialog's single entry.
    EXPECT_EQ(QtFileFilter("GBRﾌｧｲﾙ(*.gbr,*.g**)|*.gbr;*.g**"), "GBRﾌｧｲﾙ(*.gbr,*.g**) (*.gbr *.g**)");
}

TEST(QtFileFilter, ToleratesOddInput) {
    EXPECT_EQ(QtFileFilter(""), "");
    EXPECT_EQ(QtFileFilter("APT(*.apt)|*.apt; ;*.APT"), "APT(*.apt) (*.apt *.APT)");
    // A description without a pattern shows every file.
    EXPECT_EQ(QtFileFilter("DXF|*.dxf|その他"), "DXF (*.dxf);;その他 (*)");
    EXPECT_EQ(QtFileFilter("空|"), "空 (*)");
}

}  // namespace
}  // namespace mutaplot
