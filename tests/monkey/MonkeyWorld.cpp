#include "MonkeyWorld.h"

#include <fstream>

namespace mutaplot::testing {

namespace {

std::string ReadAll(const std::filesystem::path& p) { return ReadFileBytes(p); }

int Uniform(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

std::string RandomBytes(std::mt19937& rng, int n) {
    std::string s(static_cast<std::size_t>(n), '\0');
    for (char& c : s) c = static_cast<char>(Uniform(rng, 0, 255));
    return s;
}

// The bytes cut at a random place.
std::string Truncated(std::mt19937& rng, const std::string& bytes) {
    if (bytes.empty()) return bytes;
    return bytes.substr(0, static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(bytes.size()) - 1)));
}

// NUL bytes at random places.
std::string WithNuls(std::mt19937& rng, std::string bytes) {
    const int n = Uniform(rng, 1, 40);
    for (int i = 0; i < n; ++i)
        bytes.insert(static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(bytes.size()))), 1, '\0');
    return bytes;
}

// Line ends and block ends changed at random: CR alone, LF alone, none.
std::string MixedEnds(std::mt19937& rng, const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\r' || c == '\n' || c == '*') {
            switch (Uniform(rng, 0, 3)) {
            case 0: break;
            case 1: out += '\r'; break;
            case 2: out += '\n'; break;
            default: out += c; break;
            }
        } else {
            out += c;
        }
    }
    return out;
}

std::string Number(std::mt19937& rng) {
    static const char* const kEdges[] = {"0", "-0", "99999999999999999999", "-2147483648", "2147483648",
                                         "1", "-1", "00000", "", "+5", "1.5", "-", "9e9"};
    if (Uniform(rng, 0, 3) == 0) return kEdges[Uniform(rng, 0, std::size(kEdges) - 1)];
    std::string s = Uniform(rng, 0, 4) == 0 ? "-" : "";
    const int digits = Uniform(rng, 1, 10);
    for (int i = 0; i < digits; ++i) s += static_cast<char>('0' + Uniform(rng, 0, 9));
    return s;
}

}  // namespace

std::string RandomBoard(std::mt19937& rng, int blocks) {
    static const char* const kCodes[] = {"G01", "G02", "G03", "G04", "G36", "G37", "G54", "G70", "G71",
                                         "G74", "G75", "G90", "G91", "M00", "M02", "M30"};
    std::string s;
    for (int b = 0; b < blocks; ++b) {
        switch (Uniform(rng, 0, 9)) {
        case 0: s += kCodes[Uniform(rng, 0, std::size(kCodes) - 1)]; break;
        case 1: s += "G54D" + Number(rng); break;
        case 2: s += "%ADD" + Number(rng) + "C," + Number(rng) + "*%"; break;
        case 3: s += "%FSLAX" + std::to_string(Uniform(rng, 0, 9)) + std::to_string(Uniform(rng, 0, 9)) + "Y66*%"; break;
        case 4: s += RandomBytes(rng, Uniform(rng, 0, 6)); break;
        default:
            if (Uniform(rng, 0, 2) == 0) s += kCodes[Uniform(rng, 0, 3)];
            if (Uniform(rng, 0, 3) != 0) s += "X" + Number(rng);
            if (Uniform(rng, 0, 3) != 0) s += "Y" + Number(rng);
            if (Uniform(rng, 0, 3) == 0) s += "I" + Number(rng) + "J" + Number(rng);
            s += "D0" + std::to_string(Uniform(rng, 0, 4));
            break;
        }
        s += Uniform(rng, 0, 9) == 0 ? "\n" : "*\r\n";
    }
    return s;
}

MonkeyWorld::MonkeyWorld(std::mt19937& rng, bool damagedProgramFolder) {
    const std::filesystem::path bin = MUTAPLOT_BIN_DIR;
    const std::filesystem::path reports = std::filesystem::path(MUTAPLOT_TEST_DATA) / "aperture";

    // The program folder: its files may be saved over, so they are copies.
    programFolder_ = dir_ / "program";
    std::filesystem::create_directories(programFolder_);
    for (const char* name : {"mutapl.ini", "fast.apt", "head.lst", "head2.lst", "mutahlp.hlp", "view.hlp"})
        if (std::filesystem::exists(bin / name)) std::filesystem::copy_file(bin / name, programFolder_ / name);
    const std::string aptList = ReadAll(bin / "fast.apt");
    if (damagedProgramFolder) {
        const std::string ini = ReadAll(bin / "mutapl.ini");
        std::ofstream(programFolder_ / "mutapl.ini", std::ios::binary) << Truncated(rng, ini) << RandomBytes(rng, 20);
        if (Uniform(rng, 0, 1) == 0) std::filesystem::remove(programFolder_ / "fast.apt");
        else std::ofstream(programFolder_ / "fast.apt", std::ios::binary) << Truncated(rng, aptList);
    }

    // Boards: the samples, then damaged and random ones.
    const std::string board = ReadAll(bin / "samples" / "sample-board.gbr");
    const std::string boardMm = ReadAll(bin / "samples" / "sample-board-mm.gbr");
    Add("sample-board", Write("sample-board.gbr", board), 8);
    Add("sample-board-mm", Write("sample-board-mm.gbr", boardMm), 8);
    Add("random-bytes", Write("random-bytes.gbr", RandomBytes(rng, Uniform(rng, 0, 6000))));
    Add("truncated", Write("truncated.gbr", Truncated(rng, board)));
    Add("nuls", Write("nuls.gbr", WithNuls(rng, boardMm)));
    Add("mixed-ends", Write("mixed-ends.gbr", MixedEnds(rng, board)));
    Add("random-board", Write("random-board.gbr", RandomBoard(rng, 600)));
    std::string hugeLine;
    while (hugeLine.size() < 300000) hugeLine += "X" + Number(rng) + "Y" + Number(rng) + "D01";
    Add("huge-line", Write("huge-line.gbr", "G54D10*\r\n" + hugeLine + "\r\nM02*\r\n"));
    Add("empty", Write("empty.gbr", ""));

    // Aperture lists and CAD reports.
    Add("fast.apt", Write("fast.apt", aptList), 3);
    Add("damaged.apt", Write("damaged.apt", WithNuls(rng, Truncated(rng, aptList)) + RandomBytes(rng, 40)));
    for (const char* name : {"board.info.1.resist", "board.info.1.pattern", "board.info.1.holemark",
                             "board.info.1.power", "board.info.2.silk"}) {
        const std::string report = ReadAll(reports / name);
        Add(name, Write(name, report), 2);
        if (std::string(name) == "board.info.1.resist")
            Add("damaged-report", Write("damaged.info", MixedEnds(rng, WithNuls(rng, Truncated(rng, report)))));
    }

    // Save targets, a folder, a missing file, a folder that does not exist.
    Add("out.gbr", dir_ / "out.gbr");
    Add("out.dxf", dir_ / "out.dxf");
    Add("out.apt", dir_ / "out.apt");
    Add("out.pdf", dir_ / "out.pdf", 2);
    std::filesystem::create_directories(dir_ / "folder");
    Add("folder", dir_ / "folder");
    Add("missing", dir_ / "missing.gbr");
    Add("no-such-folder", dir_ / "no-such-folder" / "out.gbr");
}

void MonkeyWorld::Add(const std::string& label, const std::filesystem::path& path, int weight) {
    answers_.push_back({label, path.string(), weight});
}

std::filesystem::path MonkeyWorld::Write(const std::string& name, const std::string& bytes) {
    return dir_.Write(name, bytes);
}

}  // namespace mutaplot::testing
