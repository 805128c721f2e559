// mutaplot-cli in scripts: options in both forms, standard streams, OUTPUT
// names that fit the command, special targets, settings ranges, side files
// that are no regular files, imports that import nothing, --strict.

#include "support/TempDir.h"
#include "support/TestInputs.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace mutaplot {
namespace {

using testing::MmSettingsText;
using testing::Quote;
using testing::ReadFileBytes;
using testing::TempDir;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command line in which CLI stands for the program; standard
// output and error are kept. A hang ends after 60 s (status 124).
CliRun RunShell(const TempDir& dir, std::string line) {
    const std::string cli = "timeout 60 " + Quote(std::string(MUTAPLOT_BIN_DIR) + "/mutaplot-cli");
    for (std::size_t at = line.find("CLI"); at != std::string::npos; at = line.find("CLI", at))
        line.replace(at, 3, cli);
    const std::string command = "cd " + Quote(dir.path().string()) + " && { " + line + " ; } 2>" +
                                Quote((dir / "stderr.txt").string()) + " >" +
                                Quote((dir / "stdout.txt").string());
    const int raw = std::system(command.c_str());
    CliRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadFileBytes(dir / "stdout.txt");
    r.err = ReadFileBytes(dir / "stderr.txt");
    return r;
}

// The converter's worked example: inch(2.4) leading omitted in; mm(4.3)
// out with omission, header, CR LF, EOB and modal (w.ini).
std::string WorkedSettings() {
    const char* lines[26] = {"IN", "8", "1", "2", "1", "1", "2", "OUT", "1", "1", "1", "1", "1",
                             "1",  "4", "1", "2", "1", "VIEW", "0", "0", "0", "65535", "0", "0", "0"};
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}
constexpr const char* kInput =
    "G54D10*\r\nX1000Y2000D02*\r\nX3000D01*\r\nY5000*\r\nG03X5000Y7000I0J2000D01*\r\n"
    "D02*\r\nX0Y0*\r\nM02*\r\n";
constexpr const char* kConverted =
    "*%FSLAX43Y43*%\r\n*%MOMM*%\r\nG54D10*\r\nG01X2540Y5080D02*\r\nX7620D01*\r\n"
    "Y12700D01*\r\nG03X12700Y17780I0J5080D01*\r\nG01X0Y0D02*\r\nM02*\r\n";

class CliSafety : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("w.ini", WorkedSettings());
        dir.Write("s.ini", MmSettingsText());
        dir.Write("in.gbr", kInput);
        dir.Write("ap.apt", "\"D10\",\"2\",\"2\",\"0\",\"\x81\x9B\"\r\n");
    }
    // The converter's settings, or the viewer's mm settings, apertures and
    // a 20 x 10 mm picture.
    static std::string Common(bool viewer = false) {
        return viewer ? "--settings s.ini --apertures ap.apt --size 20,10 --dpi 254 "
                      : "--settings w.ini ";
    }
    TempDir dir;
};

TEST_F(CliSafety, OptionsTakeTheirValueEitherWayAndDoubleDashEndsThem) {
    CliRun r = RunShell(dir, "CLI convert --settings=w.ini --set=modal=2 --set outputHeader=1 "
                             "in.gbr out.gbr");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "out.gbr"), kConverted);

    // After "--" a name that starts with "-" is a file.
    dir.Write("-in.gbr", kInput);
    r = RunShell(dir, "CLI convert " + Common() + "-- -in.gbr -out.gbr");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "-out.gbr"), kConverted);

    // "--" does not count as a file; a flag takes no value.
    EXPECT_EQ(RunShell(dir, "CLI blocks --settings w.ini -- in.gbr").status, 0);
    EXPECT_EQ(RunShell(dir, "CLI print --negative=1 in.gbr out.pdf").status, 2);
    EXPECT_EQ(RunShell(dir, "CLI render --zoom= in.gbr out.png").status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.png"));
}

TEST_F(CliSafety, VersionAndEachCommandsHelp) {
    CliRun r = RunShell(dir, "CLI --version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "mutaplot-cli 1.63\n");
    for (const char* command : {"blocks", "convert", "render", "dxf", "print", "import"}) {
        r = RunShell(dir, std::string("CLI ") + command + " --help");
        EXPECT_EQ(r.status, 0) << command << r.err;
        EXPECT_EQ(r.out.rfind(std::string("usage: mutaplot-cli ") + command, 0), 0u) << r.out;
        EXPECT_NE(r.out.find("--strict"), std::string::npos) << command;
        EXPECT_EQ(r.err, "") << command;
    }
    // Only the options of the command are listed.
    r = RunShell(dir, "CLI render --help");
    EXPECT_NE(r.out.find("--dpi"), std::string::npos);
    EXPECT_EQ(r.out.find("--paper"), std::string::npos);
}

TEST_F(CliSafety, DashReadsStandardInputAndWritesStandardOutput) {
    CliRun r = RunShell(dir, "CLI convert " + Common() + "- - < in.gbr");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kConverted);
    r = RunShell(dir, "cat in.gbr | CLI blocks --settings w.ini -");
    EXPECT_EQ(r.status, 0) << r.err;
    // CR mode: each line is a block, its "*" dropped.
    EXPECT_EQ(r.out, "G54D10\nX1000Y2000D02\nX3000D01\nY5000\nG03X5000Y7000I0J2000D01\n"
                     "D02\nX0Y0\nM02\n");
    // No file named "-" appears, no temporary either.
    EXPECT_FALSE(std::filesystem::exists(dir / "-"));
    r = RunShell(dir, "CLI render " + Common(true) + "in.gbr - | head -c 8 | od -An -c");
    EXPECT_NE(r.out.find("P   N   G"), std::string::npos) << r.out;
    // An empty standard input holds no data: the general read message.
    r = RunShell(dir, "CLI blocks --settings w.ini - < /dev/null");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("確認: ", 0), 0u) << r.err;
}

TEST_F(CliSafety, OutputMustFitTheCommandAndNeverBeTheInput) {
    // The trap of a glob: the second Gerber file taken as the picture.
    const auto second = dir.Write("second.gbr", "second board");
    for (const char* command : {"render", "print", "dxf", "import"}) {
        const CliRun r = RunShell(dir, std::string("CLI ") + command + " " + Common(true) +
                                           "in.gbr second.gbr");
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_NE(r.err.find("(nothing written)"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadFileBytes(second), "second board");
    // The extension in any case.
    EXPECT_EQ(RunShell(dir, "CLI render " + Common(true) + "in.gbr OUT.PNG").status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "OUT.PNG"));

    // convert onto its own input, directly or through a link.
    std::filesystem::create_symlink("in.gbr", dir / "link.gbr");
    for (const char* target : {"in.gbr", "./in.gbr", "link.gbr"}) {
        const CliRun r = RunShell(dir, "CLI convert " + Common() + "in.gbr " + target);
        EXPECT_EQ(r.status, 2) << target;
        EXPECT_EQ(ReadFileBytes(dir / "in.gbr"), kInput) << target;
    }

    // The trace on OUTPUT (or on INPUT) is a usage error; the picture stays.
    const auto picture = dir.Write("x.png", "old picture");
    CliRun r = RunShell(dir, "CLI render " + Common(true) + "--trace x.png in.gbr x.png");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(ReadFileBytes(picture), "old picture");
    EXPECT_EQ(RunShell(dir, "CLI print " + Common(true) + "--trace in.gbr in.gbr p.pdf").status, 2);
    EXPECT_EQ(ReadFileBytes(dir / "in.gbr"), kInput);
}

TEST_F(CliSafety, AFifoTargetIsWrittenIntoAndStaysAFifo) {
    ASSERT_EQ(::mkfifo((dir / "pipe.gbr").c_str(), 0600), 0);
    const CliRun r =
        RunShell(dir, "cat pipe.gbr > got.txt & CLI convert " + Common() + "in.gbr pipe.gbr; wait");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "got.txt"), kConverted);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "pipe.gbr").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // A folder is still refused.
    std::filesystem::create_directory(dir / "folder.gbr");
    EXPECT_EQ(RunShell(dir, "CLI convert " + Common() + "in.gbr folder.gbr").status, 1);
}

TEST_F(CliSafety, SetRefusesValuesOutsideTheFieldsRange) {
    // Format codes follow the format table; the others their options.
    for (const char* set : {"outputFormat=42", "inputFormat=0", "outputFormat=99",
                            "outputZeroMode=4", "inputSeparator=0", "lineBreak=5", "dxfFormat=2",
                            "drawColour=16777216", "drawColour=red", "originShiftX=1e12"}) {
        const CliRun r = RunShell(dir, std::string("CLI convert ") + Common() + "--set " + set +
                                           " in.gbr out.gbr");
        EXPECT_EQ(r.status, 2) << set;
        EXPECT_NE(r.err.find("--set " + std::string(set)), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.gbr")) << set;
    }
    const CliRun r = RunShell(dir, "CLI convert " + Common() + "--set outputFormat=42 in.gbr o.gbr");
    EXPECT_NE(r.err.find("out of range (1 to "), std::string::npos) << r.err;
    for (const char* set : {"outputFormat=9", "outputZeroMode=3", "lineBreak=4", "dxfFormat=1",
                            "drawColour=16777215", "originShiftX=-2.5"})
        EXPECT_EQ(RunShell(dir, std::string("CLI convert ") + Common() + "--set " + set +
                                    " in.gbr out.gbr").status,
                  0)
            << set;
}

TEST_F(CliSafety, ApertureListsAndReportsMustBeRegularFilesOfSensibleSize) {
    ASSERT_EQ(::mkfifo((dir / "pipe.apt").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "pipe.info.1.pattern").c_str(), 0600), 0);
    const auto big = dir.Write("big.apt", "");
    std::filesystem::resize_file(big, std::uint64_t{2} << 30);  // sparse
    struct Case {
        std::string line;
        std::string cause;
    };
    const std::string report = std::string(MUTAPLOT_TEST_DATA) + "/aperture/board.info.1.pattern";
    for (const Case& c : {
             Case{"CLI render --settings s.ini --apertures pipe.apt in.gbr o.png",
                  "pipe.apt: 通常のファイルではありません"},
             Case{"CLI dxf --settings s.ini --apertures /dev/zero in.gbr o.dxf",
                  "/dev/zero: 通常のファイルではありません"},
             Case{"CLI render --settings s.ini --apertures big.apt in.gbr o.png",
                  "big.apt: ファイルが大きすぎます"},
             Case{"CLI import --apertures pipe.apt " + Quote(report) + " o.apt",
                  "pipe.apt: 通常のファイルではありません"},
             Case{"CLI import --apertures ap.apt pipe.info.1.pattern o.apt",
                  "pipe.info.1.pattern: 通常のファイルではありません"},
         }) {
        const CliRun r = RunShell(dir, c.line);
        EXPECT_EQ(r.status, 1) << c.line << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("確認: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.cause), std::string::npos) << c.line << "\n" << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "o.png") || std::filesystem::exists(dir / "o.dxf") ||
                     std::filesystem::exists(dir / "o.apt"));
    }
}

TEST_F(CliSafety, AnImportThatImportsNothingWritesNothing) {
    const auto output = dir.Write("out.apt", "old list");
    dir.Write("board.gbr.pattern", kInput);      // a Gerber file under a report's name
    dir.Write("empty.info.1.pattern", "");     // nothing at all
    dir.Write("board.info.1.txt", "report");   // no known kind
    for (const char* report : {"board.gbr.pattern", "empty.info.1.pattern", "board.info.1.txt"}) {
        const CliRun r =
            RunShell(dir, std::string("CLI import --apertures ap.apt ") + report + " out.apt");
        EXPECT_EQ(r.status, 1) << report;
        EXPECT_NE(r.err.find("何も取り込まず、out.apt も書き込みませんでした"), std::string::npos)
            << r.err;
        EXPECT_EQ(ReadFileBytes(output), "old list") << report;
    }
    // A real report still imports (over the default list).
    const std::string report = std::string(MUTAPLOT_TEST_DATA) + "/aperture/board.info.1.pattern";
    EXPECT_EQ(RunShell(dir, "CLI import " + Quote(report) + " out.apt").status, 0);
    EXPECT_NE(ReadFileBytes(output), "old list");
}

TEST_F(CliSafety, AHugeCoordinateIsUnreadableNotDrawnAtZero) {
    // Block 3 holds a 400-digit X: the walk passes it over and says so once;
    // the stroke of block 4 starts where block 2 left the pen.
    // LF blocks: a CR line of 400 digits would be refused as too long.
    const std::string huge(400, '9');
    dir.Write("huge.gbr", "G54D10\nX2000Y5000D02\nX" + huge + "Y5000D01\nX18000Y5000D01\n"
                          "X" + huge + "D01\n");
    for (const char* command : {"render", "dxf", "print"}) {
        const std::string out = std::string("out.") + (command == std::string("render") ? "png"
                                                       : command == std::string("dxf") ? "dxf"
                                                                                        : "pdf");
        const std::string trace =
            std::string(command == std::string("render") ? "--trace t.txt " : "") + "--set inputSeparator=2 ";
        const CliRun r =
            RunShell(dir, std::string("CLI ") + command + " " + Common(true) + trace + "huge.gbr " + out);
        EXPECT_EQ(r.status, 0) << command << r.err;
        EXPECT_EQ(r.err,
                  "確認: 数値が大きすぎて読み取れないブロックがあります（最初は3番目のブロックです）。"
                  "これらのブロックは描画しませんでした。\n")
            << command;
        // --strict turns the warning into exit status 3.
        EXPECT_EQ(RunShell(dir, std::string("CLI ") + command + " --strict " + Common(true) +
                                    "--set inputSeparator=2 huge.gbr " + out).status,
                  3)
            << command;
    }
    // The render trace: one stroke from (2, 5) to (18, 5), none through 0.
    const std::string trace = ReadFileBytes(dir / "t.txt");
    EXPECT_EQ(trace.find("line 0 "), std::string::npos) << trace;
}

TEST_F(CliSafety, RenderWritesItsDpiIntoThePng) {
    for (int dpi : {96, 300}) {
        const CliRun r = RunShell(dir, "CLI render --settings s.ini --apertures ap.apt --size 20,10 "
                                       "--dpi " + std::to_string(dpi) + " in.gbr out.png");
        ASSERT_EQ(r.status, 0) << r.err;
        QImage image;
        ASSERT_TRUE(image.load(QString::fromStdString((dir / "out.png").string()), "PNG"));
        // PNG stores whole dots per metre: dpi / 0.0254, rounded.
        EXPECT_EQ(image.dotsPerMeterX(), static_cast<int>(std::lround(dpi / 0.0254))) << dpi;
        EXPECT_EQ(image.dotsPerMeterY(), static_cast<int>(std::lround(dpi / 0.0254))) << dpi;
        EXPECT_EQ(image.width(), static_cast<int>(std::lround(20 / 25.4 * dpi)));
    }
}

TEST_F(CliSafety, StrictStopsABatchOnWarningsOnly) {
    // A clean conversion: 0 with or without --strict.
    EXPECT_EQ(RunShell(dir, "CLI convert --strict " + Common() + "in.gbr out.gbr").status, 0);
    // Coordinate overflow: 2.54 mm shifted by 9999 mm is beyond mm(4.3).
    const std::string args = Common() + "--set originShiftX=9999 in.gbr out.gbr";
    EXPECT_EQ(RunShell(dir, "CLI convert " + args).status, 0);
    const CliRun r = RunShell(dir, "CLI convert --strict " + args);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "out.gbr"));
    // A failure stays 1.
    EXPECT_EQ(RunShell(dir, "CLI convert --strict " + Common() + "missing.gbr out.gbr").status, 1);
}

}  // namespace
}  // namespace mutaplot
