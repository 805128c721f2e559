#include "export/DxfExport.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "viewer/ViewerFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <unistd.h>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MakeBlocks;
using testing::MakeTable;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::ViewerRecords;

class DxfExportTest : public ::testing::Test {
protected:
    DxfExportTest() {
        dir.Write("head.lst", "AC1003 head\r\n  0");
        dir.Write("head2.lst", "AC1009 head\r\n  0\r\n");
        settings.inputFormat = 1;
    }
    DxfExportResult Run() {
        return RunDxfExport(blocks, table, records, controls, settings, dir.path(), buffer, ui, ui);
    }
    TempDir dir;
    ViewerRecords r;
    PlotRecords records = r.Bind();
    ViewControls controls;
    ConversionSettings settings;
    ApertureTable table = MakeTable({{10, "2.0", "2.0", "0", "○"}});
    InputBlockList blocks = MakeBlocks({"D10", "G91", "X1000Y2000D03"});
    std::vector<std::string> buffer;
    FakePlatform ui;
};

TEST_F(DxfExportTest, WritesTemplateEntitiesAndTrailerOfTheChosenForm) {
    const auto target = dir / "out.dxf";
    ui.fileAnswers.push_back(target.string());
    EXPECT_EQ(Run(), DxfExportResult::Written);
    // "G91" does not stop the export.
    EXPECT_EQ(ReadFileBytes(target),
              "AC1003 head\r\n  0\r\nCIRCLE\r\n  8\r\n1\r\n 62\r\n7\r\n  6\r\nCONTINUOUS\r\n"
              " 10\r\n1\r\n 20\r\n2\r\n 40\r\n1\r\n 0\r\nENDSEC\r\n 0\r\nEOF\r\n");
    ASSERT_EQ(ui.fileFilters.size(), 1u);
    EXPECT_EQ(ui.fileFilters[0], "DXFﾌｧｲﾙ(*.dxf)|*.dxf");
    EXPECT_TRUE(ui.fileFlags[0].overwritePrompt);
    EXPECT_TRUE(ui.fileFlags[0].hideReadOnly);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.pointer, PointerShape::Default);

    settings.dxfFormat = 1;
    ui.fileAnswers.push_back(target.string());
    EXPECT_EQ(Run(), DxfExportResult::Written);
    EXPECT_EQ(ReadFileBytes(target).substr(0, 18), "AC1009 head\r\n  0\r\n");
}

TEST_F(DxfExportTest, CancelWritesNothingButTheTemplateWasRead) {
    EXPECT_EQ(Run(), DxfExportResult::Cancelled);
    EXPECT_EQ(buffer, (std::vector<std::string>{"AC1003 head", "  0"}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "out.dxf"));
}

TEST_F(DxfExportTest, MissingTemplateIsReportedBeforeTheDialog) {
    std::filesystem::remove(dir / "head.lst");
    EXPECT_EQ(Run(), DxfExportResult::TemplateUnreadable);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kDxfTemplateMessage);
    EXPECT_EQ(ui.messages[0].title, "確認");
    EXPECT_TRUE(ui.fileFilters.empty());
}

TEST_F(DxfExportTest, UnwritableTargetIsReportedAndLeavesNoFile) {
    const auto target = dir / "missing-folder" / "out.dxf";
    ui.fileAnswers.push_back(target.string());
    EXPECT_EQ(Run(), DxfExportResult::WriteFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kDxfWriteMessage);
    EXPECT_FALSE(std::filesystem::exists(target));
    // An existing file that cannot be replaced keeps its content.
    const auto locked = dir / "locked";
    std::filesystem::create_directory(locked);
    dir.Write("locked/old.dxf", "old");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    ui.fileAnswers.push_back((locked / "old.dxf").string());
    const bool canStillWrite = ::access(locked.c_str(), W_OK) == 0;  // root ignores permissions
    if (!canStillWrite) {
        EXPECT_EQ(Run(), DxfExportResult::WriteFailed);
        EXPECT_EQ(ReadFileBytes(locked / "old.dxf"), "old");
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

TEST_F(DxfExportTest, NoBlocksGivesTemplateAndTrailer) {
    blocks = MakeBlocks({});
    const auto target = dir / "empty.dxf";
    ui.fileAnswers.push_back(target.string());
    EXPECT_EQ(Run(), DxfExportResult::Written);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kNoDisplayFileMessage);
    EXPECT_EQ(ReadFileBytes(target), "AC1003 head\r\n  0\r\nENDSEC\r\n 0\r\nEOF\r\n");
}

TEST(DxfOptionsTest, StoredCodesOfTheSettings) {
    // 1 chooses AC1009 and lines with width; 0, and any other stored value,
    // AC1003 and lines without width.
    ConversionSettings s;
    for (const auto& [code, on] : {std::pair{0, false}, std::pair{1, true}, std::pair{2, false}}) {
        s.dxfFormat = static_cast<std::uint8_t>(code);
        s.dxfLineWidth = static_cast<std::uint8_t>(code);
        EXPECT_EQ(DxfOptionsOf(s).ac1009, on) << code;
        EXPECT_EQ(DxfOptionsOf(s).lineWidth, on) << code;
    }
    s.dxfFormat = 1;
    s.dxfLineWidth = 0;
    EXPECT_TRUE(DxfOptionsOf(s).ac1009);
    EXPECT_FALSE(DxfOptionsOf(s).lineWidth);
}

TEST(DxfTemplateFilesTest, InstalledTemplatesEndInsideAnOpenEntitiesSection) {
    for (const char* name : {kDxfTemplateAc1003, kDxfTemplateAc1009}) {
        const auto lines = ReadDxfTemplate(std::filesystem::path(MUTAPLOT_BIN_DIR) / name);
        ASSERT_TRUE(lines) << name;
        ASSERT_GE(lines->size(), 4u);
        const auto n = lines->size();
        EXPECT_EQ((*lines)[n - 1], "  0") << name;
        EXPECT_EQ((*lines)[n - 2], "ENTITIES") << name;
        EXPECT_EQ((*lines)[n - 3], "  2") << name;
        EXPECT_EQ((*lines)[n - 4], "SECTION") << name;
    }
    const auto head = ReadDxfTemplate(std::filesystem::path(MUTAPLOT_BIN_DIR) / kDxfTemplateAc1003);
    const auto head2 = ReadDxfTemplate(std::filesystem::path(MUTAPLOT_BIN_DIR) / kDxfTemplateAc1009);
    EXPECT_NE(std::find(head->begin(), head->end(), "AC1003"), head->end());
    EXPECT_NE(std::find(head2->begin(), head2->end(), "AC1009"), head2->end());
}

}  // namespace
}  // namespace mutaplot
