#include "platform/AtomicFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(AtomicFile, SavingOntoALinkReplacesTheFileItLeadsTo) {
    TempDir dir;
    std::filesystem::create_directories(dir / "real");
    const auto real = dir.Write("real/board.gbr", "old");
    const auto link = dir / "board.gbr";
    std::filesystem::create_symlink("real/board.gbr", link);

    ASSERT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), "real/board.gbr");
    EXPECT_EQ(ReadFileBytes(real), "new");
    // The temporary file was made beside the real file and renamed there.
    EXPECT_EQ(FilesIn(dir.path()), 2u);
    EXPECT_EQ(FilesIn(dir / "real"), 1u);

    // A chain of two links, the last one absolute, and a link to a file that
    // does not exist yet.
    const auto second = dir / "second.gbr";
    std::filesystem::create_symlink(link, second);
    ASSERT_TRUE(WriteFileAtomically(second, "third"));
    EXPECT_EQ(ReadFileBytes(real), "third");
    std::filesystem::create_symlink("real/new.dxf", dir / "new.dxf");
    AtomicFileWriter writer(dir / "new.dxf");
    writer.Write("EOF\r\n");
    ASSERT_TRUE(writer.Commit());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "new.dxf"));
    EXPECT_EQ(ReadFileBytes(dir / "real/new.dxf"), "EOF\r\n");
    EXPECT_EQ(ResolveSaveTarget(dir / "new.dxf"), dir / "real/new.dxf");

    // A loop of links resolves to nothing but itself.
    std::filesystem::create_symlink("loop-b", dir / "loop-a");
    std::filesystem::create_symlink("loop-a", dir / "loop-b");
    EXPECT_EQ(ResolveSaveTarget(dir / "loop-a"), dir / "loop-a");
}

// Runs `body` in a child process and returns how the child ended.
int StatusOfChild(void (*body)(const std::filesystem::path&), const std::filesystem::path& target) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body(target);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(AtomicFile, AnEndingSignalRemovesTheTemporaryAndKeepsTheTarget) {
    for (int signal : {SIGINT, SIGTERM}) {
        TempDir dir;
        const auto target = dir.Write("out.dxf", "previous");
        static int s_signal;
        s_signal = signal;
        const int status = StatusOfChild(
            [](const std::filesystem::path& t) {
                AtomicFileWriter writer(t);
                writer.Write("half of the export");
                ::raise(s_signal);
                writer.Commit();  // never reached
            },
            target);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(ReadFileBytes(target), "previous");
        EXPECT_EQ(FilesIn(dir.path()), 1u) << "temporary file left after signal " << signal;
    }

    // A signal the program ignores stays ignored: the save goes on.
    TempDir dir;
    const auto target = dir.Write("out.gbr", "previous");
    const int status = StatusOfChild(
        [](const std::filesystem::path& t) {
            ::signal(SIGINT, SIG_IGN);
            AtomicFileWriter writer(t);
            writer.Write("whole");
            ::raise(SIGINT);
            if (!writer.Commit()) ::_exit(3);
        },
        target);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes(target), "whole");
}

TEST(AtomicFile, ASignalAfterTheRenameLetsACommandLineProgramFinish) {
    // The command line's setting: the target is complete once renamed, so a
    // signal then no longer ends the program; before the commit it still does.
    TempDir dir;
    const auto target = dir.Write("out.gbr", "previous");
    int status = StatusOfChild(
        [](const std::filesystem::path& t) {
            FinishCommandsAfterCommit();
            AtomicFileWriter writer(t);
            writer.Write("complete");
            if (!writer.Commit()) ::_exit(3);
            ::raise(SIGTERM);
            ::_exit(SignalAfterCommit() == SIGTERM ? 0 : 4);
        },
        target);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes(target), "complete");

    status = StatusOfChild(
        [](const std::filesystem::path& t) {
            FinishCommandsAfterCommit();
            RemoveTemporariesOnSignals();
            ::raise(SIGTERM);  // nothing written yet: the program ends
            WriteFileAtomically(t, "never");
        },
        target);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_EQ(ReadFileBytes(target), "complete");
    EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(AtomicFile, TheLongestNamesAreWrittenToo) {
    // The hidden temporary is shortened so that its name still fits 255
    // bytes, for a target name of any valid length (ASCII and UTF-8).
    TempDir dir;
    for (const std::string& name :
         {std::string(255, 'a'), std::string(248, 'b'), std::string(247, 'c') + ".gbr",
          std::string(84 * 3, '\0') /* replaced below */}) {
        std::string fileName = name;
        if (fileName[0] == '\0') {
            fileName.clear();
            for (int i = 0; i < 85; ++i) fileName += "\xE5\x9F\xBA";  // 基, 255 bytes
        }
        const auto target = dir / fileName;
        ASSERT_TRUE(WriteFileAtomically(target, "data")) << fileName.size();
        EXPECT_EQ(ReadFileBytes(target), "data");
        ASSERT_TRUE(WriteFileAtomically(target, "again")) << fileName.size();
        EXPECT_EQ(ReadFileBytes(target), "again");
    }
    EXPECT_EQ(FilesIn(dir.path()), 4u);
}

TEST(AtomicFile, ADeviceOrFifoIsWrittenIntoNeverReplaced) {
    TempDir dir;
    const auto fifo = dir / "pipe.gbr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(WriteFileAtomically(fifo, "through the pipe"));
    char buffer[64] = {};
    const ssize_t got = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0), "through the pipe");
    struct stat st {};
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(FilesIn(dir.path()), 1u);  // no temporary beside it

    // A character device: written into, still a device afterwards.
    ASSERT_TRUE(WriteFileAtomically("/dev/null", "gone"));
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

}  // namespace
}  // namespace mutaplot
