#include "aperture/AptFile.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "settings/NumberText.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::ReadFileBytes;
using testing::TempDir;

// Shape symbols as CP932 bytes.
constexpr const char* kRoundSjis = "\x81\x9B";
constexpr const char* kSquareSjis = "\x81\xA0";
constexpr const char* kPlusSjis = "\x81\x7B";
constexpr const char* kCrossSjis = "\x81\x7E";

ApertureEntry Entry(std::string label, std::string x, std::string y, std::string cw,
                    std::string shape) {
    return ApertureEntry{std::move(label), std::move(x), std::move(y), std::move(cw),
                         std::move(shape)};
}

void ExpectEntry(const ApertureEntry& e, const char* label, const char* x, const char* y,
                 const char* cw, const char* shape) {
    EXPECT_EQ(e.label, label);
    EXPECT_EQ(e.sizeX, x);
    EXPECT_EQ(e.sizeY, y);
    EXPECT_EQ(e.connectWidth, cw);
    EXPECT_EQ(e.shape, shape);
}

// A complete table: D10 … D500, round 0.1 mm unless changed.
ApertureTable FullTable(std::size_t count = kApertureCount) {
    ApertureTable t;
    for (std::size_t i = 0; i < count; ++i)
        t.entries.push_back(Entry("D" + std::to_string(i + 10), "0.1", "0.1", "0", "○"));
    return t;
}

// `count` records "D<n>","0.1","0.1","0","○" CR LF.
std::string Records(std::size_t count, std::size_t firstDCode = 10) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i)
        s += "\"D" + std::to_string(firstDCode + i) + "\",\"0.1\",\"0.1\",\"0\",\"" + kRoundSjis + "\"\r\n";
    return s;
}

TEST(AptFile, SaveWritesQuotedCp932RecordsAndLoadsThemBack) {
    TempDir dir;
    ApertureTable table = FullTable();
    table.entries[0] = Entry("D10", "0.5", "0.5", "0", "○");
    table.entries[1] = Entry("D11", "1.27", "2.54", "0", "□");
    table.entries[2] = Entry("Ｄ１２ｺｰﾄﾞ", "1.7", "2", "0.5", "＋");
    table.entries[3] = Entry("D13, inner", "1.2", "1.5", "0.5", "×");
    table.entries[490] = Entry("D500", "", " ", "0", "?");

    const auto path = dir / "list.apt";
    ASSERT_EQ(SaveAptFile(path, table), AptFileOutcome::Ok);
    const std::string bytes = ReadFileBytes(path);
    const std::string expectedStart =
        std::string("\"D10\",\"0.5\",\"0.5\",\"0\",\"") + kRoundSjis + "\"\r\n" +
        "\"D11\",\"1.27\",\"2.54\",\"0\",\"" + kSquareSjis + "\"\r\n" +
        "\"\x82\x63\x82\x50\x82\x51\xBA\xB0\xC4\xDE\",\"1.7\",\"2\",\"0.5\",\"" + kPlusSjis + "\"\r\n" +
        "\"D13, inner\",\"1.2\",\"1.5\",\"0.5\",\"" + kCrossSjis + "\"\r\n";
    EXPECT_EQ(bytes.substr(0, expectedStart.size()), expectedStart);
    EXPECT_TRUE(bytes.ends_with("\"D500\",\"\",\" \",\"0\",\"?\"\r\n"));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 491);

    ApertureTable back;
    ASSERT_EQ(LoadAptFile(path, back), AptFileOutcome::Ok);
    ASSERT_EQ(back.entries.size(), 491u);
    for (std::size_t i = 0; i < 491; ++i) {
        SCOPED_TRACE(i);
        for (int f = 1; f <= 5; ++f)
            EXPECT_EQ(ApertureField(back.entries[i], f), ApertureField(table.entries[i], f));
    }
    EXPECT_TRUE(back.loaded);
}

TEST(AptFile, ReadsFieldsFiveAtATimeWhateverTheLineBreaks) {
    TempDir dir;
    // Ten fields on one line, a record spread over three lines, unquoted
    // numbers in shortest form, an empty field, a quoted comma, blanks.
    const std::string text = std::string("\"D10\",0.50,\"0.50\", 1.000 ,\"") + kRoundSjis +
                             "\",D11,+2.5e1,,0,\"" + kSquareSjis + "\"\r\n" +
                             "\"a,b\",\"1\"\r\n\"2\"\n\"0\"\r" + kPlusSjis + "\r\n";
    ApertureTable table;
    ASSERT_EQ(LoadAptFile(dir.Write("t.apt", text), table), AptFileOutcome::Ok);
    ASSERT_EQ(table.entries.size(), 3u);
    ExpectEntry(table.entries[0], "D10", "0.5", "0.50", "1", "○");
    ExpectEntry(table.entries[1], "D11", "25", "", "0", "□");
    ExpectEntry(table.entries[2], "a,b", "1", "2", "0", "＋");
}

TEST(AptFile, EmptyFieldBeforeLineEndAndTextAfterClosingQuote) {
    TempDir dir;
    ApertureTable table;
    const std::string text = "\"D10\",\"1\",\"1\",\"0\",\r\n  \"D11\"x ,\"2\",\"3\",\"0.5\",\"?\"";
    ASSERT_EQ(LoadAptFile(dir.Write("t.apt", text), table), AptFileOutcome::Ok);
    ASSERT_EQ(table.entries.size(), 2u);
    ExpectEntry(table.entries[0], "D10", "1", "1", "0", "");
    ExpectEntry(table.entries[1], "D11", "2", "3", "0.5", "?");
}

TEST(AptFile, LoadSetsFileTitlesAndKeepsEveryRecord) {
    TempDir dir;
    ApertureTable table;
    SetColumnTitles(table, kDefaultColumnTitles);
    ASSERT_EQ(LoadAptFile(dir.Write("long.apt", Records(500)), table), AptFileOutcome::Ok);
    EXPECT_EQ(table.entries.size(), 500u);
    EXPECT_EQ(table.columnTitles[1], "ｻｲｽﾞX(mm)");
    EXPECT_EQ(table.columnTitles[2], "ｻｲｽﾞY(mm)");
    EXPECT_EQ(table.columnTitles[3], "ｻｲｽﾞCW");
    EXPECT_EQ(table.entries[499].label, "D509");
    EXPECT_FALSE(CheckApertureTable(table));

    // Entries past 491 are neither checked nor saved.
    table.entries[495].sizeX.clear();
    EXPECT_FALSE(CheckApertureTable(table));
    const auto saved = dir / "saved.apt";
    ASSERT_EQ(SaveAptFile(saved, table), AptFileOutcome::Ok);
    EXPECT_EQ(ReadFileBytes(saved), Records(491));
}

TEST(AptFile, CheckReportsEmptyFieldBeforeShortTable) {
    ApertureTable table = FullTable();
    EXPECT_FALSE(CheckApertureTable(table));
    table.entries[200].connectWidth = " ";  // blanks are not empty
    EXPECT_FALSE(CheckApertureTable(table));
    table.entries[490].shape.clear();
    EXPECT_EQ(CheckApertureTable(table), kCheckEmptyFieldMessage);

    ApertureTable shortTable = FullTable(300);
    EXPECT_EQ(CheckApertureTable(shortTable), kCheckTooFewEntriesMessage);
    shortTable.entries[299].label.clear();
    EXPECT_EQ(CheckApertureTable(shortTable), kCheckEmptyFieldMessage);
    EXPECT_EQ(CheckApertureTable(ApertureTable{}), kCheckTooFewEntriesMessage);
}

TEST(AptFile, CutShortFileKeepsTheCompleteRecords) {
    TempDir dir;
    ApertureTable table = FullTable();
    EXPECT_EQ(LoadAptFile(dir.Write("a.apt", Records(3) + "\"D13\",\"0.2\",\"0.2\""), table),
              AptFileOutcome::Damaged);
    EXPECT_EQ(table.entries.size(), 3u);
    EXPECT_TRUE(table.loaded);
    EXPECT_EQ(table.columnTitles[3], "ｻｲｽﾞCW");

    // An open quote at the end, and a field that is not CP932.
    EXPECT_EQ(LoadAptFile(dir.Write("b.apt", Records(2) + "\"D12\",\"1\",\"1\",\"0\",\"\x81"), table),
              AptFileOutcome::Damaged);
    EXPECT_EQ(table.entries.size(), 2u);
    EXPECT_EQ(LoadAptFile(dir.Write("c.apt", Records(1) + "\"D11\",\"1\",\"1\",\"0\",\"\x81\x20\"\r\n" + Records(1)),
                          table),
              AptFileOutcome::Damaged);
    EXPECT_EQ(table.entries.size(), 1u);

    // Trailing blank lines end the file without damage.
    EXPECT_EQ(LoadAptFile(dir.Write("d.apt", Records(2) + "\r\n\r\n  \r\n"), table), AptFileOutcome::Ok);
    EXPECT_EQ(table.entries.size(), 2u);
    EXPECT_STREQ(AptFileMessage(AptFileOutcome::Damaged), kAptDamagedMessage);
}

TEST(AptFile, MissingFileLeavesTheTableAsItWas) {
    TempDir dir;
    ApertureTable table = FullTable();
    SetColumnTitles(table, kDefaultColumnTitles);
    EXPECT_EQ(LoadAptFile(dir / "none.apt", table), AptFileOutcome::CannotOpen);
    EXPECT_EQ(LoadAptFile(dir.path(), table), AptFileOutcome::CannotOpen);
    EXPECT_EQ(table.entries.size(), 491u);
    EXPECT_EQ(table.columnTitles[1], "ｻｲｽﾞXmm");
}

TEST(AptFile, FailedSaveLeavesTheOldFileUntouched) {
    TempDir dir;
    const auto path = dir.Write("old.apt", "old contents");
    EXPECT_EQ(SaveAptFile(path, FullTable(490)), AptFileOutcome::TooFewEntries);
    EXPECT_EQ(ReadFileBytes(path), "old contents");

    ApertureTable table = FullTable();
    table.entries[5].label = "D15 \xF0\x9F\x98\x80";  // no CP932 form
    EXPECT_EQ(SaveAptFile(path, table), AptFileOutcome::Unencodable);
    EXPECT_EQ(ReadFileBytes(path), "old contents");

    EXPECT_EQ(SaveAptFile(dir / "missing-folder" / "x.apt", FullTable()), AptFileOutcome::CannotWrite);
    EXPECT_EQ(SaveAptFile(dir.path(), FullTable()), AptFileOutcome::CannotWrite);
    EXPECT_STREQ(AptFileMessage(AptFileOutcome::TooFewEntries), kAptSaveTooFewEntriesMessage);
    EXPECT_EQ(AptFileMessage(AptFileOutcome::Ok), nullptr);
}

TEST(AptFile, GridShowsTitlesAndFieldsCellForCell) {
    ApertureTable table = FullTable(2);
    SetColumnTitles(table, kAptFileColumnTitles);
    table.entries[1] = Entry("D11", "1", "2", "0.5", "×");
    EXPECT_EQ(ApertureGridRowCount(table), 3);
    EXPECT_EQ(ApertureCellText(table, 0, 0), "Dｺｰﾄﾞ");
    EXPECT_EQ(ApertureCellText(table, 0, 4), "形状");
    EXPECT_EQ(ApertureCellText(table, 2, 0), "D11");
    EXPECT_EQ(ApertureCellText(table, 2, 1), "1");
    EXPECT_EQ(ApertureCellText(table, 2, 2), "2");
    EXPECT_EQ(ApertureCellText(table, 2, 3), "0.5");
    EXPECT_EQ(ApertureCellText(table, 2, 4), "×");
    EXPECT_EQ(ApertureCellText(table, 3, 0), "");
    EXPECT_EQ(ApertureCellText(table, 1, 5), "");
    EXPECT_EQ(ShapeNumberOf("○"), 0);
    EXPECT_EQ(ShapeNumberOf("□"), 1);
    EXPECT_EQ(ShapeNumberOf("＋"), 2);
    EXPECT_EQ(ShapeNumberOf("×"), 3);
    EXPECT_EQ(ShapeNumberOf("+"), -1);
    EXPECT_EQ(table.ForDCode(11), &table.entries[1]);
}

TEST(DefaultAptFile, LoadsFastAptWithTheDefaultTitles) {
    TempDir dir;
    dir.Write("fast.apt", Records(491));
    FakePlatform platform;
    ApertureTable table;
    ASSERT_TRUE(LoadDefaultAptFile(dir.path(), table, platform, platform));
    EXPECT_TRUE(table.loaded);
    EXPECT_EQ(table.entries.size(), 491u);
    EXPECT_EQ(table.columnTitles[0], "Dｺｰﾄﾞ");
    EXPECT_EQ(table.columnTitles[1], "ｻｲｽﾞXmm");
    EXPECT_EQ(table.columnTitles[2], "ｻｲｽﾞYmm");
    EXPECT_EQ(table.columnTitles[3], "TH接続幅");
    EXPECT_EQ(table.columnTitles[4], "形状");
    EXPECT_TRUE(platform.fileFilters.empty());
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.pointer, PointerShape::Default);

    // A reset loads the same file with the file titles.
    ASSERT_EQ(LoadAptFile(dir / "fast.apt", table), AptFileOutcome::Ok);
    EXPECT_EQ(table.columnTitles[1], "ｻｲｽﾞX(mm)");
}

TEST(DefaultAptFile, CutShortDefaultIsFollowedByTheChosenList) {
    TempDir dir;
    dir.Write("fast.apt", Records(2) + "\"D12\",\"9\"");
    const auto other = dir.Write("other.apt", Records(3, 100));
    FakePlatform platform;
    platform.fileAnswers = {(dir / "nothing-here.apt").string(), other.string()};
    ApertureTable table;
    ASSERT_TRUE(LoadDefaultAptFile(dir.path(), table, platform, platform));
    ASSERT_EQ(table.entries.size(), 5u);
    EXPECT_EQ(table.entries[1].label, "D11");
    EXPECT_EQ(table.entries[2].label, "D100");
    EXPECT_EQ(table.entries[4].label, "D102");
    ASSERT_EQ(platform.fileFilters.size(), 2u);
    EXPECT_EQ(platform.fileFilters[0], "APTﾌｧｲﾙ(*.apt)|*.apt");
    EXPECT_TRUE(platform.fileFlags[0].hideReadOnly);
    EXPECT_STREQ(platform.fileFlags[0].title, "アパーチュア・リストを開く");
    // First the reason, naming the list and its place; then the typed name
    // of a missing file is reported and the question repeated.
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text,
              "アパーチュア・リスト「fast.apt」が途中で切れているか壊れています。\n場所: " +
                  (dir / "fast.apt").string() + "\n読み込めたレコードに続けるアパーチュア・リストを選んで下さい。");
    EXPECT_EQ(platform.messages[1].text, kAptCannotOpenMessage);
    EXPECT_EQ(platform.messages[1].title, "確認");
    EXPECT_EQ(platform.pointer, PointerShape::Default);
}

TEST(DefaultAptFile, CancelledChoiceLeavesNoTable) {
    TempDir dir;
    FakePlatform platform;
    ApertureTable table;
    dir.Write("fast.apt", Records(4) + "\"D14\"");
    EXPECT_FALSE(LoadDefaultAptFile(dir.path(), table, platform, platform));
    EXPECT_FALSE(table.loaded);
    EXPECT_TRUE(table.entries.empty());
    EXPECT_EQ(platform.fileFilters.size(), 1u);
    EXPECT_EQ(platform.messages.size(), 1u);  // the reason, before the dialog
}

TEST(DefaultAptFile, AMissingListIsNamedWithItsPlaceBeforeTheDialog) {
    TempDir dir;
    FakePlatform platform;
    platform.fileAnswers = {dir.Write("mine.apt", Records(491)).string()};
    ApertureTable table;
    ASSERT_TRUE(LoadDefaultAptFile(dir.path(), table, platform, platform));
    EXPECT_EQ(table.entries.size(), 491u);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "アパーチュア・リスト「fast.apt」が見つかりません。\n探した場所: " +
                                             (dir / "fast.apt").string() +
                                             "\n使用するアパーチュア・リストを選んで下さい。");
    EXPECT_EQ(platform.messages[0].title, "確認");
    ASSERT_EQ(platform.fileFlags.size(), 1u);
    EXPECT_STREQ(platform.fileFlags[0].title, "アパーチュア・リストを開く");
}

TEST(DefaultAptFile, ShippedListIsCompleteAndPassesTheCheck) {
    FakePlatform platform;
    ApertureTable table;
    ASSERT_TRUE(LoadDefaultAptFile(MUTAPLOT_BIN_DIR, table, platform, platform));
    ASSERT_EQ(table.entries.size(), 491u);
    EXPECT_FALSE(CheckApertureTable(table));
    int shapes[4] = {};
    for (std::size_t i = 0; i < table.entries.size(); ++i) {
        EXPECT_EQ(table.entries[i].label, "D" + std::to_string(i + 10));
        const int n = ShapeNumberOf(table.entries[i].shape);
        ASSERT_GE(n, 0);
        ++shapes[n];
        EXPECT_TRUE(ParseDecimal(table.entries[i].sizeX)) << i;
    }
    EXPECT_GT(shapes[1], 0);
    EXPECT_GT(shapes[2], 0);
    EXPECT_GT(shapes[3], 0);
}

}  // namespace
}  // namespace mutaplot
