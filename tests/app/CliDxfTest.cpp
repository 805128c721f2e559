// Runs `mutaplot-cli dxf` end to end: template, entities of the walk, trailer.

#include "support/TempDir.h"
#include "support/TestInputs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <sys/wait.h>

namespace mutaplot {
namespace {

using testing::ReadFileBytes;
using testing::MmSettingsText;
using testing::Quote;
using testing::TempDir;

const std::string kBin = std::string(MUTAPLOT_BIN_DIR);


struct DxfRun {
    int exitCode = -1;
    std::string err;
};

DxfRun RunDxf(const TempDir& dir, const std::string& arguments) {
    const auto errPath = dir / "stderr.txt";
    const std::string command = Quote(kBin + "/mutaplot-cli") + " dxf " + arguments + " 2>" +
                                Quote(errPath.string()) + " >/dev/null";
    const int status = std::system(command.c_str());
    DxfRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadFileBytes(errPath);
    return r;
}


// D10 round 2.0, D11 square 1.0 x 1.0 (CP932 "○" and "□").
constexpr const char* kApertures =
    "\"D10\",\"2\",\"2\",\"0\",\"\x81\x9B\"\r\n"
    "\"D11\",\"1\",\"1\",\"0\",\"\x81\xA0\"\r\n";

constexpr const char* kInput =
    "G54D10\r\nX10000Y10000D02\r\nX50000Y10000D01\r\nG54D11\r\nX50000Y30000D03\r\n";

// The template's lines, each ended by CR LF: a line ends at CR or CR LF, a
// lone LF belongs to the line, an unended last line is ended.
std::string TemplateText(const std::string& name) {
    const std::string bytes = ReadFileBytes(kBin + "/" + name);
    std::string out, line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            line += bytes[i];
            continue;
        }
        out += line + "\r\n";
        line.clear();
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
    if (!line.empty()) out += line + "\r\n";
    return out;
}

std::string Lines(std::initializer_list<const char*> items) {
    std::string out;
    for (const char* item : items) out += std::string(item) + "\r\n";
    return out;
}

// The entity forms, written out line by line; the closing " 0" of each
// entity is included.
std::string Line1003(const char* x, const char* y, const char* x2, const char* y2) {
    return Lines({"LINE", "  8", "1", " 62", "7", "  6", "CONTINUOUS", " 10", x, " 20", y, " 11",
                  x2, " 21", y2, " 0"});
}
std::string Line1009(const char* handle, const char* x, const char* y, const char* x2,
                     const char* y2) {
    return Lines({"LINE", "  5", handle, "  8", "0", " 10", x, " 20", y, " 30", "0.0", " 11", x2,
                  " 21", y2, " 31", "0.0", " 0"});
}
std::string Circle1003(const char* cx, const char* cy, const char* r) {
    return Lines({"CIRCLE", "  8", "1", " 62", "7", "  6", "CONTINUOUS", " 10", cx, " 20", cy,
                  " 40", r, " 0"});
}
std::string Circle1009(const char* handle, const char* cx, const char* cy, const char* r) {
    return Lines({"CIRCLE", "  5", handle, "  8", "0", "  10", cx, " 20", cy, " 40", r, " 0"});
}

const std::string kTrailer = "ENDSEC\r\n 0\r\nEOF\r\n";

class CliDxf : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("s.ini", MmSettingsText());
        dir.Write("ap.apt", kApertures);
        dir.Write("in.gbr", kInput);
    }
    std::string Args(const std::string& extra, const std::filesystem::path& output) const {
        return "--settings " + Quote((dir / "s.ini").string()) + " --apertures " +
               Quote((dir / "ap.apt").string()) + " " + extra + " " +
               Quote((dir / "in.gbr").string()) + " " + Quote(output.string());
    }
    TempDir dir;
};

TEST_F(CliDxf, WorkedExampleInBothFormsAndLineWidths) {
    const auto out = dir / "out.dxf";
    // The square flash at (50, 30), half size 0.5.
    const std::string flash1003 = Line1003("49.5", "29.5", "49.5", "30.5") +
                                  Line1003("49.5", "29.5", "50.5", "29.5") +
                                  Line1003("50.5", "29.5", "50.5", "30.5") +
                                  Line1003("49.5", "30.5", "50.5", "30.5");
    // In the AC1009 form every entity has its own handle, counting from 2B.
    const auto flash1009 = [](const char* h1, const char* h2, const char* h3, const char* h4) {
        return Line1009(h1, "49.5", "29.5", "49.5", "30.5") +
               Line1009(h2, "49.5", "29.5", "50.5", "29.5") +
               Line1009(h3, "50.5", "29.5", "50.5", "30.5") +
               Line1009(h4, "49.5", "30.5", "50.5", "30.5");
    };

    DxfRun r = RunDxf(dir, Args("--set dxfFormat=0 --set dxfLineWidth=0", out));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFileBytes(out), TemplateText("head.lst") + Line1003("10", "10", "50", "10") +
                                      flash1003 + kTrailer);

    // With line width the round stroke becomes its outline: both end
    // circles (radius 1), then the sides at y = 9 and y = 11.
    r = RunDxf(dir, Args("--set dxfFormat=0 --set dxfLineWidth=1", out));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFileBytes(out),
              TemplateText("head.lst") + Circle1003("10", "10", "1") + Circle1003("50", "10", "1") +
                  Line1003("10", "9", "50", "9") + Line1003("10", "11", "50", "11") + flash1003 +
                  kTrailer);

    r = RunDxf(dir, Args("--set dxfFormat=1 --set dxfLineWidth=0", out));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFileBytes(out), TemplateText("head2.lst") + Line1009("2B", "10", "10", "50", "10") +
                                      flash1009("2C", "2D", "2E", "2F") + kTrailer);

    r = RunDxf(dir, Args("--set dxfFormat=1 --set dxfLineWidth=1", out));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFileBytes(out),
              TemplateText("head2.lst") + Circle1009("2B", "10", "10", "1") +
                  Circle1009("2C", "50", "10", "1") + Line1009("2D", "10", "9", "50", "9") +
                  Line1009("2E", "10", "11", "50", "11") + flash1009("2F", "30", "31", "32") +
                  kTrailer);
}

TEST_F(CliDxf, ZoomAndOffsetScaleAndShiftEverything) {
    // (raw / 1000 + offset) x zoom: the stroke (10, 10)-(50, 10) with offset
    // (1, 2) at zoom 0.5 runs (5.5, 6)-(25.5, 6); the flash centre (50, 30)
    // goes to (25.5, 16) and its half size to 0.25.
    const auto out = dir / "out.dxf";
    const DxfRun r = RunDxf(dir, Args("--zoom 0.5 --offset 1,2", out));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFileBytes(out),
              TemplateText("head.lst") + Line1003("5.5", "6", "25.5", "6") +
                  Line1003("25.25", "15.75", "25.25", "16.25") +
                  Line1003("25.25", "15.75", "25.75", "15.75") +
                  Line1003("25.75", "15.75", "25.75", "16.25") +
                  Line1003("25.25", "16.25", "25.75", "16.25") + kTrailer);
}

TEST_F(CliDxf, UnwritableTargetFailsAndLeavesNoFile) {
    const auto out = dir / "no" / "such" / "out.dxf";
    const DxfRun r = RunDxf(dir, Args("", out));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("確認: ", 0), 0u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"ap.apt", "in.gbr", "s.ini", "stderr.txt"}));
}

}  // namespace
}  // namespace mutaplot
