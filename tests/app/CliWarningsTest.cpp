// What a batch user sees from mutaplot-cli when the data or the files are at
// fault: warnings that still write the output, one line per distinct problem,
// the cause of an unreadable input, saves through links, refused numbers.

#include "support/TempDir.h"
#include "support/TestInputs.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace mutaplot {
namespace {

using testing::ReadFileBytes;
using testing::MmSettingsText;
using testing::Quote;
using testing::TempDir;


struct CliRun {
    int status = -1;
    std::string err;
};

CliRun RunCli(const TempDir& dir, const std::string& arguments) {
    const auto errPath = dir / "stderr.txt";
    const std::string command = Quote(std::string(MUTAPLOT_BIN_DIR) + "/mutaplot-cli") + " " +
                                arguments + " 2>" + Quote(errPath.string()) + " >/dev/null";
    const int raw = std::system(command.c_str());
    CliRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.err = ReadFileBytes(errPath);
    return r;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}


constexpr const char* kRelativeMessage =
    "確認: このデータは相対座標で作成されてあります。絶対座標のデータを御使用下さい。\n";
constexpr const char* kDCodeLimit = "使用可能上限を越えたＤコードが使用されています。";

class CliWarnings : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("s.ini", MmSettingsText());
        dir.Write("ap.apt", "\"D10\",\"2\",\"2\",\"0\",\"\x81\x9B\"\r\n");  // D10 round 2 mm
    }
    // Viewer options: 20 x 10 mm at 254 dpi, about 10 px a millimetre.
    std::string ViewerArgs(const std::string& input, const std::filesystem::path& output) const {
        return "--settings " + Quote((dir / "s.ini").string()) + " --apertures " +
               Quote((dir / "ap.apt").string()) + " --size 20,10 --dpi 254 " +
               Quote((dir / input).string()) + " " + Quote(output.string());
    }
    TempDir dir;
};

TEST_F(CliWarnings, RenderOfRelativeDataWritesTheDrawingSoFar) {
    // A stroke along y = 8 mm, then "G91": the flash after it is not drawn.
    dir.Write("in.gbr", "G54D10\r\nX2000Y8000D02\r\nX18000Y8000D01\r\nG91\r\nX5000Y3000D03\r\n");
    const auto out = dir.Write("out.png", "old picture");
    const CliRun r = RunCli(dir, "render " + ViewerArgs("in.gbr", out));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, kRelativeMessage);
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(out.string()), "PNG"));
    EXPECT_EQ(image.pixel(100, 20) & 0xFFFFFFu, 0x000000u);  // the stroke (row 10 - 8 mm)
    EXPECT_EQ(image.pixel(50, 70) & 0xFFFFFFu, 0xFFFFFFu);   // no flash at (5, 3) mm
}

TEST_F(CliWarnings, EachDistinctProblemIsToldOncePerWalk) {
    // D600 is over the usable D codes and D11 has no aperture: each of the
    // two problems is met 3000 times.
    std::string input = "G54D10\r\nX1000Y1000D03\r\n";
    for (int i = 0; i < 3000; ++i) input += "G54D600\r\nX2000Y2000D03\r\nG54D11\r\nX3000D03\r\n";
    dir.Write("in.gbr", input);
    for (const char* command : {"render", "dxf"}) {
        // OUTPUT named as the command writes it (.png, .dxf).
        const auto out = dir / (std::string("out.") + (command == std::string("render") ? "png" : command));
        const CliRun r = RunCli(dir, std::string(command) + " " + ViewerArgs("in.gbr", out));
        EXPECT_EQ(Count(r.err, kDCodeLimit), 1u) << command << "\n" << r.err.substr(0, 2000);
        std::istringstream lines(r.err);
        std::multiset<std::string> seen;
        for (std::string line; std::getline(lines, line);) seen.insert(line);
        EXPECT_GE(seen.size(), 1u);
        EXPECT_LE(seen.size(), 3u) << command << "\n" << r.err.substr(0, 2000);
        for (const auto& line : seen) EXPECT_EQ(seen.count(line), 1u) << command << ": " << line;
    }
}

TEST_F(CliWarnings, AnUnreadableInputNamesItsCause) {
    dir.Write("s.ini", MmSettingsText());
    std::filesystem::create_directories(dir / "folder.gbr");
    const auto big = dir.Write("big.gbr", "");
    std::filesystem::resize_file(big, (std::uint64_t{1} << 30) + 1);  // sparse: no disk used
    struct Case {
        const char* input;
        const char* cause;
    };
    for (const Case c : {Case{"missing.gbr", "ファイルがありません"},
                         Case{"folder.gbr", "フォルダです"},
                         Case{"big.gbr", "ファイルが大きすぎます"}}) {
        const std::string path = (dir / c.input).string();
        for (const std::string command : {"convert", "blocks", "render", "dxf"}) {
            // OUTPUT named as the command writes it.
            const auto out = dir / (command == "render" ? "out.png" : command == "dxf" ? "out.dxf" : "out.gbr");
            std::string args = command;
            args.append(" --settings ").append(Quote((dir / "s.ini").string())).append(" ");
            if (command == "render" || command == "dxf")
                args.append("--apertures ").append(Quote((dir / "ap.apt").string())).append(" ");
            args += Quote(path);
            if (command != "blocks") args.append(" ").append(Quote(out.string()));
            const CliRun r = RunCli(dir, args);
            EXPECT_EQ(r.status, 1) << command << " " << c.input;
            // The general message as the windows show it, then the cause.
            EXPECT_EQ(r.err.rfind("確認: ", 0), 0u) << r.err;
            EXPECT_NE(r.err.find("mutaplot-cli: " + path + ": " + c.cause), std::string::npos)
                << command << " " << c.input << ": " << r.err;
            EXPECT_FALSE(std::filesystem::exists(out));
        }
    }
    // A file that opens but is not what the settings describe gets the
    // message alone.
    dir.Write("bad.gbr", std::string(1200, 'X'));  // no "*" in the first 1000 characters
    const CliRun r = RunCli(dir, "blocks --settings " + Quote((dir / "s.ini").string()) +
                                     " --set inputSeparator=3 " + Quote((dir / "bad.gbr").string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find("mutaplot-cli:"), std::string::npos) << r.err;
}

TEST_F(CliWarnings, ConvertOntoALinkReplacesTheFileBehindIt) {
    dir.Write("in.gbr", "X1000Y2000D01\r\n");
    std::filesystem::create_directories(dir / "real");
    const auto real = dir.Write("real/out.gbr", "old");
    std::filesystem::create_symlink(real, dir / "out.gbr");
    const CliRun r = RunCli(dir, "convert --settings " + Quote((dir / "s.ini").string()) + " " +
                                     Quote((dir / "in.gbr").string()) + " " +
                                     Quote((dir / "out.gbr").string()));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "out.gbr"));
    EXPECT_NE(ReadFileBytes(real), "old");
    EXPECT_NE(ReadFileBytes(real).find("X1000Y2000D01"), std::string::npos) << ReadFileBytes(real);
}

TEST_F(CliWarnings, NumberOptionsThatAreNoUsableNumbersAreUsageErrors) {
    dir.Write("in.gbr", "G54D10\r\nX1000Y1000D03\r\n");
    const auto out = dir / "out.png";
    for (const char* option : {"--zoom inf", "--zoom nan", "--zoom 1e-50", "--zoom 1e300",
                               "--offset nan,0", "--offset 0,inf", "--offset 1e300,0",
                               "--offset 0,-1e10", "--size inf,5", "--dpi nan",
                               "--dpi inf"}) {
        const CliRun r = RunCli(dir, std::string("render ") + option + " " + ViewerArgs("in.gbr", out));
        EXPECT_EQ(r.status, 2) << option;
        EXPECT_FALSE(std::filesystem::exists(out)) << option;
    }
}

}  // namespace
}  // namespace mutaplot
