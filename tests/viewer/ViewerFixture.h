#pragma once
// Records, aperture tables and block lists for the viewer and export tests.

#include "aperture/ApertureTable.h"
#include "input/BlockList.h"
#include "viewer/ViewGeometry.h"

#include <initializer_list>
#include <string>

namespace mutaplot::testing {

// One instance of every record a walk works on, as the application holds them.
struct ViewerRecords {
    ViewTransform transform;
    PlotState plot;
    std::string currentGCode;
    ArcGeometry arc;
    CurrentAperture aperture;
    ViewState view;
    PlotRecords Bind() { return PlotRecords{transform, plot, currentGCode, arc, aperture, view}; }
};

struct ApertureRow {
    int dCode;
    const char* sizeX;
    const char* sizeY;
    const char* connectWidth;
    const char* shape;
};

// A full table (D10 … D500, all round 0.1 mm) with the given rows replaced.
inline ApertureTable MakeTable(std::initializer_list<ApertureRow> rows) {
    ApertureTable table;
    for (int d = kFirstDCode; d <= kLastDCode; ++d)
        table.entries.push_back({"D" + std::to_string(d), "0.1", "0.1", "0", kShapeRound});
    for (const ApertureRow& r : rows)
        table.entries[static_cast<std::size_t>(r.dCode - kFirstDCode)] =
            ApertureEntry{"D" + std::to_string(r.dCode), r.sizeX, r.sizeY, r.connectWidth, r.shape};
    table.loaded = true;
    return table;
}

inline InputBlockList MakeBlocks(std::initializer_list<const char*> texts) {
    InputBlockList blocks;
    for (const char* t : texts) blocks.Append(t);
    return blocks;
}

}  // namespace mutaplot::testing
