#include "ui/BlockListModel.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

// A block of a file without line breaks can be megabytes long: its cell and
// tool tip show its start, and the bytes stay whole in the model.
TEST(BlockListModelTest, HugeBlockShowsItsStartOnly) {
    std::string huge;
    while (huge.size() < 1'000'000) huge += "X12345Y67890D01";
    BlockList list;
    list.Append("G54D10");
    list.Append(huge);
    BlockListModel model;
    model.Show(list, list.blockCount() + 2);

    const QString cell = model.data(model.index(2, 0)).toString();
    ASSERT_EQ(cell.size(), 2000);
    EXPECT_EQ(cell.left(15), "X12345Y67890D01");
    const QString tip = model.data(model.index(2, 0), Qt::ToolTipRole).toString();
    ASSERT_EQ(tip.size(), 2001);
    EXPECT_EQ(tip.back(), QChar(0x2026));
    EXPECT_EQ(model.CellBytes(2).size(), huge.size());

    // A block at the limit shows whole, without the mark.
    BlockList exact;
    exact.Append(huge.substr(0, 2000));
    model.Show(exact, 3);
    EXPECT_EQ(model.data(model.index(1, 0), Qt::ToolTipRole).toString().size(), 2000);
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QString::fromLatin1(huge.substr(0, 2000)));
}

}  // namespace
}  // namespace mutaplot
