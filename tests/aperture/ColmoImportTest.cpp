#include "aperture/ColmoImport.h"

#include "settings/Cp932.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::TempDir;

const std::string kData = std::string(MUTAPLOT_TEST_DATA) + "/aperture/";

// A table whose entries all read "x" (label "D<n>"), so that every change shows.
ApertureTable MarkedTable(std::size_t count = kApertureCount) {
    ApertureTable t;
    for (std::size_t i = 0; i < count; ++i)
        t.entries.push_back({"D" + std::to_string(i + 10), "x", "x", "x", "x"});
    return t;
}

std::string RightJustify(std::string s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

// A data line laid out from its end: far-left size [L-37,6], left size
// [L-30,6], left D code [L-23,3], right size [L-16,6], right D code [L-9,3],
// end word [L-1,2]. `end` is two ASCII characters or "無し".
std::string DataLine(const std::string& prefix, const std::string& far, const std::string& lsize,
                     const std::string& ld, const std::string& rsize, const std::string& rd,
                     const std::string& end = " 1") {
    return prefix + RightJustify(far, 6) + " " + RightJustify(lsize, 6) + " " + RightJustify(ld, 3) +
           "    " + RightJustify(rsize, 6) + " " + RightJustify(rd, 3) + "     " + end;
}

ImportLineList Lines(const std::vector<std::string>& utf8Lines) {
    std::string bytes;
    for (const auto& l : utf8Lines) bytes += *Utf8ToCp932(l) + "\r\n";
    ImportLineList lines;
    EXPECT_EQ(SplitImportLines(bytes, lines), ImportReadOutcome::Ok);
    return lines;
}

ImportLineList ReadSample(const std::string& name) {
    ImportLineList lines;
    EXPECT_EQ(ReadImportLineList(kData + name, lines), ImportReadOutcome::Ok);
    return lines;
}

void ExpectEntry(const ApertureTable& t, int dCode, const char* x, const char* y, const char* cw,
                 const char* shape) {
    SCOPED_TRACE("D" + std::to_string(dCode));
    const ApertureEntry* e = t.ForDCode(dCode);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->label, "D" + std::to_string(dCode));
    EXPECT_EQ(e->sizeX, x);
    EXPECT_EQ(e->sizeY, y);
    EXPECT_EQ(e->connectWidth, cw);
    EXPECT_EQ(e->shape, shape);
}

void ExpectUnchanged(const ApertureTable& t, int dCode) { ExpectEntry(t, dCode, "x", "x", "x", "x"); }

// ---- reading the report ---------------------------------------------------

TEST(ImportLineList, TrimsSpacesAndEndsLinesAtCrCrLfOrLf) {
    ImportLineList lines;
    ASSERT_EQ(SplitImportLines("  ab c \r\r\n\t x\ny \rlast  ", lines), ImportReadOutcome::Ok);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], U"ab c");
    EXPECT_EQ(lines[1], U"");
    EXPECT_EQ(lines[2], U"\t x");  // a tab is part of the line, a lone LF ends it
    EXPECT_EQ(lines[3], U"y");
    EXPECT_EQ(lines[4], U"last");
    EXPECT_EQ(lines[5], U"");  // the extra empty line

    ASSERT_EQ(SplitImportLines("one\r\n", lines), ImportReadOutcome::Ok);
    EXPECT_EQ(lines, (ImportLineList{U"one", U""}));
    ASSERT_EQ(SplitImportLines("", lines), ImportReadOutcome::Ok);
    EXPECT_EQ(lines, (ImportLineList{U""}));
    // LF CR is two line ends with an empty line between them.
    ASSERT_EQ(SplitImportLines("a\n\rb\n", lines), ImportReadOutcome::Ok);
    EXPECT_EQ(lines, (ImportLineList{U"a", U"", U"b", U""}));
}

TEST(ImportLineList, LfOnlyReportImportsLikeItsCrLfTwin) {
    // The resist sample with every CR LF turned into LF gives the same lines.
    ImportLineList crlf = ReadSample("board.info.1.resist");
    std::string bytes;
    for (char c : testing::ReadFileBytes(kData + "board.info.1.resist"))
        if (c != '\r') bytes.push_back(c);
    ImportLineList lf;
    ASSERT_EQ(SplitImportLines(bytes, lf), ImportReadOutcome::Ok);
    EXPECT_EQ(lf, crlf);
    ApertureTable t = MarkedTable();
    EXPECT_EQ(ParseColmoList("x.resist", lf, t).outcome, ColmoParseResult::Outcome::Done);
    ExpectEntry(t, 24, "1.7", "2", "0.5", "＋");
}

TEST(ImportLineList, CountsDoubleByteCharactersAsOne) {
    ImportLineList lines;
    // "ライン 幅" in Shift-JIS: 9 bytes, 5 characters; a stray byte counts as one.
    ASSERT_EQ(SplitImportLines("\x83\x89\x83\x43\x83\x93 \x95\x9D\r\n\x81\xFF", lines),
              ImportReadOutcome::Ok);
    EXPECT_EQ(lines[0], U"ライン 幅");
    EXPECT_EQ(lines[0].size(), 5u);
    EXPECT_EQ(lines[1].size(), 2u);
}

TEST(ImportLineList, TakesMoreLinesThanOnePerFiveBytes) {
    ImportLineList lines;
    // 20 bytes of which 5 are line ends: 6 lines (one more than 20 / 5 + 1)
    // and the extra empty line.
    EXPECT_EQ(SplitImportLines(std::string(5, '\r') + std::string(15, 'a'), lines),
              ImportReadOutcome::Ok);
    EXPECT_EQ(lines.size(), 7u);
    // Nothing but line ends: one empty line each.
    EXPECT_EQ(SplitImportLines(std::string(1000, '\n'), lines), ImportReadOutcome::Ok);
    EXPECT_EQ(lines.size(), 1001u);
    // A report of a title, short data lines and many empty lines after it
    // still imports.
    const std::string line = DataLine("P", "", "", "", "0.5", "11");
    std::string report = *Utf8ToCp932("丸スルー") + "\r\n" + line + "\r\n" + std::string(400, '\r');
    ASSERT_EQ(SplitImportLines(report, lines), ImportReadOutcome::Ok);
    EXPECT_EQ(lines.size(), 403u);
    ApertureTable t = MarkedTable();
    EXPECT_EQ(ParseColmoList("x.resist", lines, t).outcome, ColmoParseResult::Outcome::Done);
    ExpectEntry(t, 11, "0.5", "0.5", "0", "○");
    EXPECT_EQ(ReadImportLineList(kData + "no-such.info.1.resist", lines), ImportReadOutcome::CannotOpen);
}

TEST(ColmoListKind, TakesTheKindFromTheLastFourCharacters) {
    EXPECT_EQ(ColmoListKindOf("/a/b.info.1.pattern"), ColmoListKind::Pattern);
    EXPECT_EQ(ColmoListKindOf("b.silk"), ColmoListKind::Pattern);
    EXPECT_EQ(ColmoListKindOf("b.resist"), ColmoListKind::Resist);
    EXPECT_EQ(ColmoListKindOf("b.power"), ColmoListKind::Power);
    EXPECT_EQ(ColmoListKindOf("b.holemark"), ColmoListKind::Holemark);
    EXPECT_EQ(ColmoListKindOf("ower"), ColmoListKind::Power);
    EXPECT_EQ(ColmoListKindOf("b.PATTERN"), ColmoListKind::None);
    EXPECT_EQ(ColmoListKindOf("b.pattern.txt"), ColmoListKind::None);
    EXPECT_EQ(ColmoListKindOf("ern"), ColmoListKind::None);
    EXPECT_EQ(ImportFileFilter("colmo出力結果file"),
              "ﾊﾟﾀｰﾝﾌｧｲﾙ(*.pattern)|*.info.*.pattern|ﾚｼﾞｽﾄﾌｧｲﾙ(*.resist)|*.info.*.resist|"
              "電源層ﾌｧｲﾙ(*.power)|*.info.*.power|穴図出力ﾌｧｲﾙ(*.holemark)|*.info.*.holemark|"
              "ｼﾙｸﾌｧｲﾙ(*.silk)|*.info.*.silk");
    EXPECT_EQ(ImportFileFilter("図研NCF"), "NCFﾌｧｲﾙ(*.ncf)|*.ncf");
    EXPECT_EQ(ImportFileFilter("colmo"), "");
}

// ---- the sample reports, one per kind -------------------------------------

TEST(ParseColmoList, ResistReportCoversEverySection) {
    ApertureTable t = MarkedTable();
    const auto r = ParseColmoList(kData + "board.info.1.resist", ReadSample("board.info.1.resist"), t);
    EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::Done);
    EXPECT_EQ(r.entriesWritten, 18u);
    ExpectEntry(t, 11, "0.15", "0.15", "0", "○");   // ライン: far-left size
    ExpectEntry(t, 12, "0.25", "0.25", "0", "○");   // ライン: right group
    ExpectEntry(t, 13, "0.3", "0.3", "0", "○");     // 丸スルー
    ExpectEntry(t, 14, "1.2", "1.2", "0", "○");     // 丸スルー: left size
    ExpectEntry(t, 15, "0.4", "0.6", "0", "○");     // 丸アパー: first and second size
    ExpectEntry(t, 16, "0.7", "0.7", "0", "○");
    ExpectEntry(t, 17, "1.5", "1.5", "0", "□");     // 角スルー "---"
    ExpectEntry(t, 18, "1.6", "1.6", "0", "○");     // 角スルー "==="
    ExpectEntry(t, 19, "1.7", "1.7", "0", "□");     // 角スルー left group
    ExpectEntry(t, 20, "1", "2", "0", "□");         // 角アパー
    ExpectEntry(t, 21, "0.8", "0.8", "0", "□");
    ExpectEntry(t, 22, "2.5", "2.5", "0", "○");     // 矩形塗り: far-left size
    ExpectEntry(t, 23, "3.2", "3.2", "0", "○");     // 取付け穴
    ExpectEntry(t, 24, "1.7", "2", "0.5", "＋");    // サーマル from 0.8
    ExpectEntry(t, 25, "1.2", "1.5", "0.5", "＋");  // サーマル from 0.3, left group
    ExpectEntry(t, 26, "0.9", "0.9", "0", "○");     // サーマル "===": plain pad
    ExpectUnchanged(t, 27);
    ExpectUnchanged(t, 28);  // only in the second 丸スルー section
    // ノンソー comes first in the file but is processed after ライン.
    ExpectEntry(t, 29, "0.5", "0.5", "0", "○");
    ExpectUnchanged(t, 10);
    ExpectUnchanged(t, 500);
}

TEST(ParseColmoList, PatternAndSilkReports) {
    for (const char* name : {"board.info.1.pattern", "board.info.2.silk"}) {
        SCOPED_TRACE(name);
        ApertureTable t = MarkedTable();
        const auto r = ParseColmoList(kData + name, ReadSample(name), t);
        EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::Done);
        EXPECT_EQ(r.entriesWritten, 4u);
        ExpectEntry(t, 11, "0.2", "0.2", "0", "○");  // ライン: left size, not far-left
        ExpectEntry(t, 15, "0.4", "0.9", "0", "○");  // 丸アパー: Y from the left size
        ExpectEntry(t, 18, "1.6", "1.6", "0", "○");
        ExpectEntry(t, 19, "1.7", "1.7", "0", "□");
        ExpectUnchanged(t, 24);  // サーマル is not read, even its broken line
    }
}

TEST(ParseColmoList, PowerReport) {
    ApertureTable t = MarkedTable();
    const auto r = ParseColmoList(kData + "board.info.1.power", ReadSample("board.info.1.power"), t);
    EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::Done);
    ExpectEntry(t, 11, "0.15", "0.15", "0", "○");
    ExpectEntry(t, 18, "1.6", "1.6", "0", "○");     // 角スルー: always round
    ExpectEntry(t, 19, "1.7", "1.7", "0", "○");
    ExpectEntry(t, 24, "1.7", "2", "0.5", "＋");    // left "---": thermal from the right
    ExpectEntry(t, 25, "0.3", "0.3", "0", "○");     // left "===": plain pad from the right
    ExpectEntry(t, 26, "1.2", "1.5", "0.5", "＋");  // otherwise thermal from the left
    ExpectUnchanged(t, 30);
}

TEST(ParseColmoList, HolemarkReport) {
    ApertureTable t = MarkedTable();
    const auto r = ParseColmoList(kData + "board.info.1.holemark", ReadSample("board.info.1.holemark"), t);
    EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::Done);
    EXPECT_EQ(r.entriesWritten, 5u);
    ExpectEntry(t, 18, "1.6", "1.6", "0", "○");
    ExpectEntry(t, 19, "1.7", "1.7", "0", "○");
    ExpectEntry(t, 22, "2.5", "2.5", "0", "○");
    ExpectEntry(t, 24, "1.9", "2.2", "0.5", "＋");
    ExpectEntry(t, 25, "0.5", "0.5", "0", "○");
}

TEST(ParseColmoList, NameEndingInNoKindImportsNothing) {
    ApertureTable t = MarkedTable();
    const auto lines = ReadSample("board.info.1.pattern");
    const auto r = ParseColmoList("/tmp/board.info.1.PATTERN", lines, t);
    EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::UnknownKind);
    ExpectUnchanged(t, 11);
}

// ---- single rules ------------------------------------------------------------

TEST(ParseColmoList, SizesAreWrittenInShortestForm) {
    ApertureTable t = MarkedTable();
    const auto lines = Lines({"サーマル",
                              DataLine("T ", "", "", "---", " 0.1", "40"),
                              DataLine("T ", "", "", "---", "0.0500", "41"),
                              DataLine("T ", "", "", "===", "===", "---"),  // left D "===" ... see below
                              ""});
    // The third line has right D "---" and left D "===": a thermal from the
    // left group, whose D code is no number: the import stops there.
    const auto r = ParseColmoList("x.resist", lines, t);
    EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::LayoutError);
    EXPECT_EQ(r.failedLine, 3u);
    ExpectEntry(t, 40, "1", "1.3", "0.5", "＋");
    ExpectEntry(t, 41, "0.95", "1.25", "0.5", "＋");

    ApertureTable p = MarkedTable();
    ParseColmoList("x.resist", Lines({"丸スルー", DataLine("PAD ", "", "", "", " 0.200", " 42"), ""}), p);
    ExpectEntry(p, 42, "0.2", "0.2", "0", "○");
}

TEST(ParseColmoList, TitleNeedsItsFirstFourCharacters) {
    ApertureTable t = MarkedTable();
    // "ライン" alone is no title; "ラインX" neither. The real title comes later.
    const auto r = ParseColmoList("x.pattern",
                                  Lines({"ライン", "ラインX", DataLine("PAD ", "", "", "", "0.5", "11"), "",
                                         "ライン 幅", DataLine("PAD ", "", "", "", "0.6", "12"), ""}),
                                  t);
    EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::Done);
    ExpectUnchanged(t, 11);
    ExpectEntry(t, 12, "0.6", "0.6", "0", "○");
}

TEST(ParseColmoList, LineEndingInNoneIsSkippedWhateverItsLength) {
    ApertureTable t = MarkedTable();
    const auto r = ParseColmoList("x.holemark",
                                  Lines({"取付け穴", "無し", "穴 無し", DataLine("PAD ", "", "", "", "4", "11"), ""}), t);
    EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::Done);
    EXPECT_EQ(r.entriesWritten, 1u);
    ExpectEntry(t, 11, "4", "4", "0", "○");
}

// ---- layouts that stop the import -------------------------------------------

struct BrokenCase {
    const char* what;
    std::vector<std::string> lines;
    std::size_t failedLine;
};

TEST(ParseColmoList, BrokenLayoutStopsAtTheLineAndKeepsEarlierEntries) {
    const std::string good = DataLine("PAD ", "", "", "", "0.5", "11");
    const std::vector<BrokenCase> cases = {
        {"header followed by an empty line", {"丸スルー", good, "", "ノンソー", "", ""}, 4},
        {"header at the end", {"丸スルー", good, "", "ノンソー"}, 4},
        {"one-character line", {"丸スルー", good, "1"}, 2},
        {"too short for the right D code", {"丸スルー", good, "12345678 9"}, 2},
        {"too short for the left group", {"丸スルー", good, DataLine("P", "", "", "", "", "---").substr(19)}, 2},
        {"D code not a number", {"丸スルー", good, DataLine("PAD ", "", "", "", "0.3", "D1")}, 2},
        {"size not a number", {"丸スルー", good, DataLine("PAD ", "", "", "", "0.3mm", "12")}, 2},
        {"blank size", {"丸スルー", good, DataLine("PAD ", "", "", "", "", "12")}, 2},
        {"D9 would be the title row", {"丸スルー", good, DataLine("PAD ", "", "", "", "0.3", "9")}, 2},
        {"D501 is past the table", {"丸スルー", good, DataLine("PAD ", "", "", "", "0.3", "501")}, 2},
        {"fractional D code", {"丸スルー", good, DataLine("PAD ", "", "", "", "0.3", "1.5")}, 2},
        {"R1 with === on the right", {"丸スルー", good, DataLine("PAD ", "", "0.3", "12", "", "===")}, 2},
        {"section running into the next title", {"丸スルー", good, "角スルー", DataLine("PAD ", "", "", "", "0.3", "12"), ""}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ApertureTable t = MarkedTable();
        const auto r = ParseColmoList("x.resist", Lines(c.lines), t);
        EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::LayoutError);
        EXPECT_EQ(r.failedLine, c.failedLine);
        ExpectEntry(t, 11, "0.5", "0.5", "0", "○");
        ExpectUnchanged(t, 12);
        EXPECT_EQ(t.entries.size(), kApertureCount);
    }
}

TEST(ParseColmoList, DCodeRangeFollowsTheTableSize) {
    ApertureTable shortTable = MarkedTable(3);  // D10 … D12
    EXPECT_EQ(ParseColmoList("x.resist", Lines({"丸スルー", DataLine("PAD ", "", "", "", "1", "13"), ""}), shortTable).outcome,
              ColmoParseResult::Outcome::LayoutError);
    EXPECT_EQ(ParseColmoList("x.resist", Lines({"丸スルー", DataLine("PAD ", "", "", "", "1", "12"), ""}), shortTable).outcome,
              ColmoParseResult::Outcome::Done);
    ApertureTable t = MarkedTable();
    EXPECT_EQ(ParseColmoList("x.resist", Lines({"丸スルー", DataLine("PAD ", "", "", "", "1", "500"), ""}), t).outcome,
              ColmoParseResult::Outcome::Done);
    ExpectEntry(t, 500, "1", "1", "0", "○");
}

TEST(ParseColmoList, LongLinesAndLateTitlesAreReadNormally) {
    std::vector<std::string> lines(300, "----");
    lines.push_back("角アパーチュア");
    lines.push_back(DataLine(std::string(280, '.'), "", "", "", "0.35", "14"));
    lines.push_back("");
    ApertureTable t = MarkedTable();
    const auto r = ParseColmoList("x.power", Lines(lines), t);
    EXPECT_EQ(r.outcome, ColmoParseResult::Outcome::Done);
    ExpectEntry(t, 14, "0.35", "0.35", "0", "□");
}

TEST(ImportCadReport, ReadsTheChosenReportAndReportsFailures) {
    TempDir dir;
    FakePlatform platform;
    ApertureTable t = MarkedTable();
    const std::string good = *Utf8ToCp932("丸スルー\r\n" + DataLine("PAD ", "", "", "", "0.5", "11") + "\r\n");
    const auto report = dir.Write("a.info.1.resist", good);
    EXPECT_TRUE(ImportCadReport("colmo出力結果file", report, t, platform, platform));
    ExpectEntry(t, 11, "0.5", "0.5", "0", "○");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.pointer, PointerShape::Default);

    // Another format reads the file and changes nothing.
    const auto other = dir.Write("b.info.1.resist", *Utf8ToCp932("丸スルー\r\n" + DataLine("PAD ", "", "", "", "0.9", "12") + "\r\n"));
    EXPECT_TRUE(ImportCadReport("図研NCF", other, t, platform, platform));
    ExpectUnchanged(t, 12);

    const auto broken = dir.Write("c.info.1.resist", *Utf8ToCp932("丸スルー\r\n\r\n"));
    ColmoParseResult result;
    EXPECT_FALSE(ImportCadReport("colmo出力結果file", broken, t, platform, platform, &result));
    EXPECT_EQ(result.failedLine, 1u);
    ASSERT_EQ(platform.messages.size(), 1u);
    // The message names the report line where the import stopped (line 2).
    EXPECT_EQ(platform.messages[0].text,
              "想定されていない書式か、99mm以上のサイズが割り当てられています。（2行目で取り込みを中止しました）");
    EXPECT_EQ(platform.messages[0].title, "確認");

    // A good line, then one whose D code is no number: the first entry is
    // kept, the message names line 3.
    const auto half = dir.Write("d.info.1.resist", *Utf8ToCp932("丸スルー\n" + DataLine("PAD ", "", "", "", "0.7", "13") +
                                                                 "\n" + DataLine("PAD ", "", "", "", "0.8", "X4") + "\n"));
    EXPECT_FALSE(ImportCadReport("colmo出力結果file", half, t, platform, platform));
    ExpectEntry(t, 13, "0.7", "0.7", "0", "○");
    EXPECT_EQ(platform.messages.back().text,
              "想定されていない書式か、99mm以上のサイズが割り当てられています。（3行目で取り込みを中止しました）");

    EXPECT_FALSE(ImportCadReport("colmo出力結果file", dir / "gone.resist", t, platform, platform));
    EXPECT_EQ(platform.messages.back().text, kReportCannotOpenMessage);
    EXPECT_EQ(platform.pointer, PointerShape::Default);
}

}  // namespace
}  // namespace mutaplot
