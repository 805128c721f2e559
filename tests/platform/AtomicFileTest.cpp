#include "platform/AtomicFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

std::size_t FilesIn(const std::filesystem::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

TEST(AtomicFile, ReplacesWholeFileOrLeavesItUntouched) {
    TempDir dir;
    const auto target = dir.Write("out.gbr", "old contents");

    ASSERT_TRUE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(ReadFileBytes(target), "new");

    // A folder as target, and a file in a folder that does not exist, fail.
    EXPECT_FALSE(WriteFileAtomically(dir.path(), "x"));
    EXPECT_FALSE(WriteFileAtomically(dir / "missing/out.gbr", "x"));
    EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(AtomicFile, StreamedPiecesAppearOnlyAfterCommit) {
    TempDir dir;
    const auto target = dir.Write("out.dxf", "previous");
    {
        AtomicFileWriter writer(target);
        writer.Write("  0\r\n");
        writer.Write("EOF\r\n");
        EXPECT_EQ(ReadFileBytes(target), "previous");
        // Abandoned without Commit: target kept, temporary removed.
    }
    EXPECT_EQ(ReadFileBytes(target), "previous");
    EXPECT_EQ(FilesIn(dir.path()), 1u);

    AtomicFileWriter writer(target);
    writer.Write("  0\r\n");
    writer.Write("EOF\r\n");
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadFileBytes(target), "  0\r\nEOF\r\n");
    EXPECT_EQ(FilesIn(dir.path()), 1u);

    AtomicFileWriter nowhere(dir / "missing/out.dxf");
    nowhere.Write("x");
    EXPECT_FALSE(nowhere.ok());
    EXPECT_FALSE(nowhere.Commit());
}

}  // namespace
}  // namespace mutaplot
