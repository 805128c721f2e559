// Fuzzes the block cutter in every mode. The first input byte chooses the
// mode and the piece size; the rest is the file content. Each input is cut
// twice, whole and in small pieces, and both cuts must agree.

#include "input/BlockReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace mutaplot;

namespace {

CutResult Cut(std::string_view data, std::uint8_t separator, std::uint8_t code, ReaderEntry entry,
              std::size_t piece, BlockList& blocks) {
    BlockCutter cutter(separator, code, entry, blocks);
    if (piece == 0) {
        cutter.Feed(data);
    } else {
        for (std::size_t i = 0; i < data.size(); i += piece)
            cutter.Feed(data.substr(i, piece));
    }
    return cutter.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t selector = data[0];
    // Bits 0-1: separator 0..3 (0 is invalid); bits 2-3: code 0..3 (1 ASCII,
    // 2 EBCDIC, others invalid); bit 4: viewer entry; bits 5-7: piece size.
    const auto separator = static_cast<std::uint8_t>(selector & 3);
    const auto code = static_cast<std::uint8_t>((selector >> 2) & 3);
    const ReaderEntry entry = (selector & 0x10) ? ReaderEntry::Viewer : ReaderEntry::MainWindow;
    const std::size_t piece = 1 + (selector >> 5);
    const std::string_view content(reinterpret_cast<const char*>(data + 1), size - 1);

    BlockList whole;
    BlockList pieces;
    const CutResult a = Cut(content, separator, code, entry, 0, whole);
    const CutResult b = Cut(content, separator, code, entry, piece, pieces);
    if (a != b || whole.blockCount() != pieces.blockCount()) std::abort();
    for (std::size_t i = 0; i < whole.blockCount(); ++i) {
        if (whole[i] != pieces[i]) std::abort();
        // Every stored block is trimmed at its start.
        if (!whole[i].empty() && whole[i].front() == ' ') std::abort();
        if (code == 1 && separator == 1 && whole[i].size() > kMaxCrLineLength) std::abort();
    }
    if (whole[whole.blockCount()].size() != 0) std::abort();
    return 0;
}
