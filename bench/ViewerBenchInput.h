#pragma once
// A deterministic photoplotter block list of a board's worth of tracks,
// pads, thermals and arcs, and a full aperture table, built in memory for the
// viewer and DXF benchmarks.

#include "aperture/ApertureTable.h"
#include "input/BlockList.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace mutaplot::bench {

// Platform services that answer at once: OK to every message, cancel to
// every file dialog (or `saveTarget` to the save dialog when set), nothing
// for the pointer.
class NoPlatform final : public Dialogs, public Pointer {
public:
    MessageAnswer ShowMessage(const std::string&, const std::string&, MessageButtons) override {
        return MessageAnswer::Ok;
    }
    std::string OpenFileName(const std::string&, FileDialogFlags) override { return {}; }
    std::string SaveFileName(const std::string&, FileDialogFlags) override { return saveTarget; }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return std::nullopt; }
    bool PrinterSetup() override { return true; }
    void ShowHelp(const std::string&) override {}
    void SetPointer(PointerShape) override {}
    void ProcessPendingEvents() override {}
    std::string saveTarget;
};

inline ApertureTable BenchApertureTable() {
    ApertureTable table;
    for (int d = kFirstDCode; d <= kLastDCode; ++d) {
        switch (d % 4) {
        case 0: table.entries.push_back({"D", "0.25", "0.25", "0", kShapeRound}); break;
        case 1: table.entries.push_back({"D", "1.5", "1.5", "0", kShapeRectangle}); break;
        case 2: table.entries.push_back({"D", "1.0", "1.6", "0.3", kShapeThermalAxes}); break;
        default: table.entries.push_back({"D", "1.2", "1.2", "0", kShapeRound}); break;
        }
    }
    table.loaded = true;
    return table;
}

// About `count` blocks in mm(4.3) coordinates over 200 × 150 mm.
inline InputBlockList BenchBlocks(std::size_t count) {
    InputBlockList blocks;
    blocks.Reserve(count, count * 18);
    std::uint64_t state = 12345;
    auto next = [&state](std::uint64_t range) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return (state >> 33) % range;
    };
    std::string b;
    long x = 0, y = 0;
    blocks.Append("G54D10");
    while (blocks.blockCount() < count) {
        const auto kind = next(100);
        // Tracks run a few millimetres from the last point; moves jump anywhere.
        if (kind >= 2 && kind < 20) {
            x = static_cast<long>(next(200000));
            y = static_cast<long>(next(150000));
        } else {
            x = std::clamp<long>(x + static_cast<long>(next(6001)) - 3000, 0, 200000);
            y = std::clamp<long>(y + static_cast<long>(next(6001)) - 3000, 0, 150000);
        }
        if (kind < 2) {
            b = "G54D" + std::to_string(10 + next(8));
        } else if (kind < 55) {
            b = "X" + std::to_string(x) + "Y" + std::to_string(y) + (kind < 20 ? "D02" : "D01");
        } else if (kind < 60) {
            b = "G02X" + std::to_string(x) + "Y" + std::to_string(y) + "I" + std::to_string(next(2000)) +
                "J-" + std::to_string(next(2000)) + "D01";
        } else if (kind < 61) {
            b = "G01";
        } else {
            b = "X" + std::to_string(x) + "Y" + std::to_string(y) + "D03";
        }
        blocks.Append(b);
    }
    return blocks;
}

}  // namespace mutaplot::bench
