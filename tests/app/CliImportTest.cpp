// End-to-end runs of `mutaplot-cli import`.

#include "settings/Cp932.h"
#include "support/TempDir.h"
#include "support/TestInputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace mutaplot {
namespace {

using testing::ReadFileBytes;
using testing::Quote;
using testing::TempDir;

const std::string kCli = std::string(MUTAPLOT_BIN_DIR) + "/mutaplot-cli";
const std::string kReports = std::string(MUTAPLOT_TEST_DATA) + "/aperture/";


struct CliRun {
    int status = -1;
    std::string errors;
};

CliRun RunCli(const TempDir& dir, const std::string& arguments) {
    const auto errFile = dir / "stderr.txt";
    const std::string command = Quote(kCli) + " " + arguments + " 2> " + Quote(errFile.string());
    const int raw = std::system(command.c_str());
    CliRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.errors = ReadFileBytes(errFile);
    return r;
}

// The record of D code d in an .apt file (records are one a line).
std::string Record(const std::string& bytes, int d) {
    std::size_t pos = 0;
    for (int i = 10; i < d; ++i) pos = bytes.find("\r\n", pos) + 2;
    return *Cp932ToUtf8(bytes.substr(pos, bytes.find("\r\n", pos) - pos));
}

TEST(CliImport, LaysTheReportOverTheDefaultList) {
    TempDir dir;
    const auto out = dir / "out.apt";
    const CliRun r = RunCli(dir, "import " + Quote(kReports + "board.info.1.resist") + " " + Quote(out.string()));
    ASSERT_EQ(r.status, 0) << r.errors;
    const std::string bytes = ReadFileBytes(out);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 491);
    EXPECT_EQ(Record(bytes, 24), "\"D24\",\"1.7\",\"2\",\"0.5\",\"＋\"");
    EXPECT_EQ(Record(bytes, 20), "\"D20\",\"1\",\"2\",\"0\",\"□\"");
    // Entries the report does not name are those of fast.apt.
    const std::string fast = ReadFileBytes(std::string(MUTAPLOT_BIN_DIR) + "/fast.apt");
    EXPECT_EQ(Record(bytes, 10), Record(fast, 10));
    EXPECT_EQ(Record(bytes, 500), Record(fast, 500));
}

TEST(CliImport, UsesTheGivenListAndFormat) {
    TempDir dir;
    std::string list;
    for (int d = 10; d <= 500; ++d) list += "D" + std::to_string(d) + ",1,1,0,\"\x81\x9B\"\r\n";
    const auto apt = dir.Write("in.apt", list);
    const auto out = dir / "out.apt";
    CliRun r = RunCli(dir, "import --apertures " + Quote(apt.string()) + " " +
                            Quote(kReports + "board.info.1.power") + " " + Quote(out.string()));
    ASSERT_EQ(r.status, 0) << r.errors;
    std::string bytes = ReadFileBytes(out);
    EXPECT_EQ(Record(bytes, 26), "\"D26\",\"1.2\",\"1.5\",\"0.5\",\"＋\"");
    EXPECT_EQ(Record(bytes, 30), "\"D30\",\"1\",\"1\",\"0\",\"○\"");

    // A format without a reader imports nothing: it says so, fails and
    // leaves the output as it was.
    for (const char* format : {"図研NCF", "other"}) {
        r = RunCli(dir, std::string("import --format ") + format + " --apertures " +
                            Quote(apt.string()) + " " + Quote(kReports + "board.info.1.power") +
                            " " + Quote(out.string()));
        EXPECT_EQ(r.status, 1) << format;
        EXPECT_NE(r.errors.find(std::string("形式「") + format + "」の報告書は読み込めません"),
                  std::string::npos)
            << r.errors;
        EXPECT_NE(r.errors.find("何も取り込まず"), std::string::npos) << r.errors;
        EXPECT_EQ(ReadFileBytes(out), bytes);
    }
    const auto fresh = dir / "fresh.apt";
    r = RunCli(dir, "import --format 図研NCF " + Quote(kReports + "board.info.1.power") + " " +
                        Quote(fresh.string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST(CliImport, BrokenReportFailsWithoutWritingTheOutput) {
    TempDir dir;
    const auto report = dir.Write("bad.info.1.holemark", *Utf8ToCp932("取付け穴\r\n\r\n"));
    const auto out = dir.Write("out.apt", "old");
    CliRun r = RunCli(dir, "import " + Quote(report.string()) + " " + Quote(out.string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.errors.find("確認: 想定されていない書式か、99mm以上のサイズが割り当てられています。"),
              std::string::npos)
        << r.errors;
    EXPECT_EQ(ReadFileBytes(out), "old");

    // A short aperture list cannot be saved.
    const auto shortList = dir.Write("short.apt", "\"D10\",\"1\",\"1\",\"0\",\"\x81\x9B\"\r\n");
    r = RunCli(dir, "import --apertures " + Quote(shortList.string()) + " " +
                        Quote(kReports + "board.info.1.pattern") + " " + Quote(out.string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFileBytes(out), "old");

    r = RunCli(dir, "import " + Quote((dir / "none.info.1.resist").string()) + " " + Quote(out.string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(RunCli(dir, "import only-one-argument").status, 2);
}

}  // namespace
}  // namespace mutaplot
