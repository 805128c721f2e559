#include "platform/WholeFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace mutaplot {
namespace {

using testing::TempDir;

TEST(WholeFile, OnlyRegularFilesWithinTheLimitAreRead) {
    TempDir dir;
    const auto small = dir.Write("list.apt", "\"D10\",\"1\"\r\n");
    EXPECT_EQ(ReadWholeFile(small).value_or("?"), "\"D10\",\"1\"\r\n");
    EXPECT_EQ(ReadWholeFile(dir.Write("empty.apt", "")).value_or("?"), "");
    EXPECT_FALSE(ReadWholeFile(small, 5));  // over a limit of 5 bytes
    EXPECT_TRUE(ReadWholeFile(small, 11));

    // A file over the default limit is refused without being read.
    const auto big = dir.Write("big.apt", "");
    std::filesystem::resize_file(big, kMaxSideFileBytes + 1);  // sparse
    EXPECT_FALSE(ReadWholeFile(big));

    // A FIFO without a writer is refused at once, not waited on; a device
    // that never ends (/dev/zero) and a folder are refused too.
    const auto fifo = dir / "pipe.pattern";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(fifo));
    EXPECT_FALSE(ReadWholeFile("/dev/zero"));
    EXPECT_FALSE(ReadWholeFile(dir.path()));
    EXPECT_FALSE(ReadWholeFile(dir / "missing.apt"));
}

}  // namespace
}  // namespace mutaplot
