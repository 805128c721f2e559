// Runs the built mutaplot-cli end to end.

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace mutaplot {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliResult RunCli(const TempDir& dir, const std::string& arguments) {
    const auto errPath = dir / "stderr.txt";
    const std::string command = std::string("'") + MUTAPLOT_BIN_DIR + "/mutaplot-cli' " +
                                arguments + " 2>'" + errPath.string() + "'";
    CliResult r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int status = ::pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadFileBytes(errPath);
    return r;
}

// A settings file with the given separator (line 5) and character code (line 6).
std::string SettingsText(int separator, int code) {
    std::string lines[26] = {"IN", "8", "1", "2", std::to_string(separator), std::to_string(code),
                             "2", "OUT", "1", "1", "1", "1", "1", "1", "4", "1", "2", "1",
                             "VIEW", "0", "0", "0", "65535", "0", "0", "1"};
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

TEST(CliBlocks, PrintsOneEscapedBlockPerLine) {
    TempDir dir;
    dir.Write("cr.ini", SettingsText(1, 1));
    dir.Write("in.gbr", "G54D10*\r\nG04 a\\b\tc\x85\x7f*\r\n\r\nM02*");
    const CliResult r = RunCli(dir, "blocks --settings '" + (dir / "cr.ini").string() + "' '" +
                                        (dir / "in.gbr").string() + "'");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "G54D10\nG04 a\\\\b\\x09c\\x85\\x7F\n\nM02\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliBlocks, SetOverridesTheSettingsFile) {
    TempDir dir;
    dir.Write("cr.ini", SettingsText(1, 1));
    dir.Write("in.gbr", "G54D10*\r\nX100Y200D02*\r\n\r\nM02*");
    const std::string files =
        "--settings '" + (dir / "cr.ini").string() + "' '" + (dir / "in.gbr").string() + "'";
    CliResult lf = RunCli(dir, "blocks --set inputSeparator=2 " + files);
    EXPECT_EQ(lf.exitCode, 0);
    EXPECT_EQ(lf.out, "G54D10\\r\nX100Y200D02\\r\n\\r\n");

    // EBCDIC bytes of "A" LF "B" LF in LF mode.
    dir.Write("e.gbr", "\xC1\x25\xC2\x25");
    CliResult e = RunCli(dir, "blocks --set inputCode=2 --set inputSeparator=2 --settings '" +
                                  (dir / "cr.ini").string() + "' '" + (dir / "e.gbr").string() + "'");
    EXPECT_EQ(e.exitCode, 0);
    EXPECT_EQ(e.out, "A\nB\n");
}

TEST(CliBlocks, FailuresAndUsageErrors) {
    TempDir dir;
    dir.Write("cr.ini", SettingsText(1, 1));
    const std::string settings = "--settings '" + (dir / "cr.ini").string() + "' ";

    CliResult missing = RunCli(dir, "blocks " + settings + "'" + (dir / "none.gbr").string() + "'");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    // The general message, then the cause for a batch user.
    EXPECT_EQ(missing.err,
              "確認: 不正なファイル形式か、ファイルの入力形式が異なります。"
              "改行コードや文字コードの設定を確認して下さい。\n"
              "mutaplot-cli: " + (dir / "none.gbr").string() + ": ファイルがありません\n");

    dir.Write("long.gbr", std::string(150, 'X') + "\r\n");
    CliResult tooLong = RunCli(dir, "blocks " + settings + "'" + (dir / "long.gbr").string() + "'");
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_EQ(tooLong.err,
              "確認: 不正なファイル形式か、ファイルの入力形式が異なります。"
              "改行コードの設定を確認して下さい。\n");

    EXPECT_EQ(RunCli(dir, "blocks").exitCode, 2);
    EXPECT_EQ(RunCli(dir, "blocks a b").exitCode, 2);
    EXPECT_EQ(RunCli(dir, "blocks --set noSuchField=1 " + settings + "x.gbr").exitCode, 2);
}

}  // namespace
}  // namespace mutaplot
