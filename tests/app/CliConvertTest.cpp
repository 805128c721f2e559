// Runs `mutaplot-cli convert` end to end: read, convert and save.

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>


namespace mutaplot {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

struct ConvertRun {
    int exitCode = -1;
    std::string err;
};

ConvertRun RunConvert(const TempDir& dir, const std::string& arguments) {
    const auto errPath = dir / "stderr.txt";
    const std::string command = std::string("'") + MUTAPLOT_BIN_DIR + "/mutaplot-cli' convert " +
                                arguments + " 2>'" + errPath.string() + "' >/dev/null";
    const int status = std::system(command.c_str());
    ConvertRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadFileBytes(errPath);
    return r;
}

// The worked example's settings: inch(2.4) leading omitted, CR / CR LF,
// ASCII in; mm(4.3) leading omitted, omission on, header on, CR LF, EOB on,
// modal on, no shift, ASCII out.
std::string WorkedSettings() {
    const char* lines[26] = {"IN", "8", "1", "2", "1", "1", "2", "OUT", "1", "1", "1", "1", "1",
                             "1",  "4", "1", "2", "1", "VIEW", "0", "0", "0", "65535", "0", "0", "0"};
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}

constexpr const char* kWorkedInput =
    "G54D10*\r\nX1000Y2000D02*\r\nX3000D01*\r\nY5000*\r\nG03X5000Y7000I0J2000D01*\r\n"
    "D02*\r\nX0Y0*\r\nM02*\r\n";

class CliConvert : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("s.ini", WorkedSettings());
        dir.Write("in.gbr", kWorkedInput);
    }
    std::string Args(const std::string& extra, const std::string& output) const {
        return "--settings '" + (dir / "s.ini").string() + "' " + extra + " '" +
               (dir / "in.gbr").string() + "' '" + output + "'";
    }
    TempDir dir;
};

TEST_F(CliConvert, WorkedExampleAsciiAndEbcdic) {
    const auto out = (dir / "out.gbr").string();
    ConvertRun r = RunConvert(dir, Args("", out));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFileBytes(out),
              "*%FSLAX43Y43*%\r\n*%MOMM*%\r\nG54D10*\r\nG01X2540Y5080D02*\r\nX7620D01*\r\n"
              "Y12700D01*\r\nG03X12700Y17780I0J5080D01*\r\nG01X0Y0D02*\r\nM02*\r\n");

    r = RunConvert(dir, Args("--set outputCode=2", out));
    EXPECT_EQ(r.exitCode, 0);
    const std::string bytes = ReadFileBytes(out);
    EXPECT_EQ(bytes.substr(0, 16), "\x5C\x6C\xC6\xE2\xD3\xC1\xE7\xF4\xF3\xE8\xF4\xF3\x5C\x6C\x0D\x25");
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\xD4\xF0\xF2\x5C");

    // Without modal and omission; line break LF, trailing zeros omitted.
    r = RunConvert(dir, Args("--set modal=1 --set omitSameCoordinates=2 --set lineBreak=2 "
                             "--set outputZeroMode=2 --set outputHeader=2",
                             out));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(ReadFileBytes(out),
              "G54D10*\nG01X000254Y000508D02*\nG01X000762Y000508D01*\nG01X000762Y00127D01*\n"
              "G03X00127Y001778I0J000508D01*\nG01X0Y0D02*\nM02*\r\n");
}

TEST_F(CliConvert, WarningsStillSucceed) {
    const auto out = (dir / "out.gbr").string();
    dir.Write("in.gbr", "X1000000D01*\r\nY+5D01*\r\nX50D01*\r\n");
    const ConvertRun r = RunConvert(dir, Args("--set outputFormat=7 --set outputUnit=2", out));
    EXPECT_EQ(r.exitCode, 0);
    // 100 inch needs six digits in inch(2.3); "+5" cannot be read.
    EXPECT_NE(r.err.find("確認: Ｘの座標値がオーバーフローしています\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("確認: 座標を変換できないブロックが1個あります（最初は2番目"), std::string::npos) << r.err;
    // The block handed on unchanged is a pass-through block: the header goes
    // in front of the one block stored before it.
    EXPECT_EQ(ReadFileBytes(out),
              "*%FSLAX23Y23*%\r\n*%MOIN*%\r\nG01X100000D01*\r\nY+5D01*\r\nX5D01*\r\n");
}

TEST_F(CliConvert, FailuresExitWithOneAndWriteNothing) {
    const auto out = dir / "out.gbr";
    ConvertRun r = RunConvert(dir, "--settings '" + (dir / "s.ini").string() + "' '" +
                                       (dir / "missing.gbr").string() + "' '" + out.string() + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(out));

    // Read in "*" mode, line ends alone give no block.
    dir.Write("in.gbr", "\r\n");
    r = RunConvert(dir, Args("--set inputSeparator=3", out.string()));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "確認: 変換元のファイルがありません\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    dir.Write("in.gbr", kWorkedInput);
    r = RunConvert(dir, Args("", (dir / "no/such/folder.gbr").string()));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("確認: ファイルを保存できませんでした"), std::string::npos);
}

}  // namespace
}  // namespace mutaplot

