#pragma once
// The extent of what the display pass draws: the same walk over the block
// list, with a sink that only widens a rectangle instead of drawing. It works
// on copies of the walk's records, so the viewer's transform, current point,
// current aperture and G code are left as they are, and it shows no message
// (the display pass shows them when it draws).

#include "aperture/ApertureTable.h"
#include "input/BlockList.h"
#include "viewer/Navigation.h"
#include "viewer/PlotWalk.h"

#include <optional>

namespace mutaplot {

// The extent in picture units at zoom 1 (mm or inch by the input format):
// every stroke's ends and every flash with half the aperture's larger size
// around them, every arc's whole circle with the same allowance. No value
// when nothing would be drawn, or when the format is not known. `format` is
// the file's (ScanFileFormat), as the display pass takes it.
std::optional<DataExtent> WalkDataExtent(const InputBlockList& blocks, const ApertureTable& table,
                                         const PlotRecords& records, const FileFormat& format);

}  // namespace mutaplot
