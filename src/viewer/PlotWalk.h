#pragma once
// The one walk over the block list that the display pass, the print walk and
// the DXF export share when they draw with the aperture list. It reads G, D,
// X, Y, I and J words in its own simple way (word boundaries by letter
// position, words in the order X Y I J D), the numbers in the file's format
// (FileFormat: zero omission restored as the converter restores it), keeps
// the modal state in PlotRecords and hands every stroke, flash and arc to a
// sink; only the sink differs between screen, paper and DXF.

#include "aperture/ApertureTable.h"
#include "input/BlockList.h"
#include "platform/Dialogs.h"
#include "viewer/ViewGeometry.h"

#include <string>
#include <string_view>

namespace mutaplot {

// Receives the events of a walk. Block and Arc read the walk's records
// (current point = start, xText/yText = end, ArcGeometry, CurrentAperture);
// the walk moves the current point after they return.
class PlotSink {
public:
    virtual ~PlotSink() = default;
    // A coordinate block or bare flash with its D-code text ("D01", "D02",
    // "D03"; anything else draws nothing).
    virtual void Block(std::string_view dCode) = 0;
    // An arc block, "G02" or "G03".
    virtual void Arc(std::string_view gCode) = 0;
    // The pen width an aperture selection sets (high quality only).
    virtual void SetPenWidth(int pixels) = 0;
};

// How the three walks differ.
struct WalkRules {
    // A block beginning "G91" shows the relative-data message and ends the
    // walk (display and print); otherwise it is ignored like other G codes.
    bool stopAtRelative = true;
    // A D block numbered below 9 (or not a number) shows the separator
    // message and ends the walk after it (display only); otherwise it goes to
    // SelectAperture like every other D block.
    bool checkSeparatorDCode = true;
};
inline constexpr WalkRules kDisplayWalkRules{true, true};
inline constexpr WalkRules kPrintWalkRules{true, false};
inline constexpr WalkRules kDxfWalkRules{false, false};

// A block holding a number beyond the range of a double (hundreds of
// digits) is not drawn; the walk says so once, naming the first such block
// (numbered from 1, as the converter numbers them).
std::string UnreadableNumberMessage(std::size_t firstNumber);

enum class WalkEnd {
    Completed,  // reached the end of the list (or a separator mismatch ended it)
    Relative,   // stopped at "G91"
};

// What every walk does before its first block: the view scale from the
// controls and the file's format (ScanFileFormat; with the pixel density
// already in the transform), the current point back at 0, 0 and no modal D
// code. xText and yText stay as they are.
void PrepareWalk(const ViewControls& controls, const FileFormat& format, PlotRecords& records);

// Walks blocks 0 … blockCount − 1. The caller prepares the walk first.
// Parameter blocks are removed from the blocks first, as the converter
// removes them (ParameterBlockFilter); a block left without data is passed
// over, also where a bare "G02"/"G03" looks for the block of its arc.
// Blocks whose words cannot be told apart (words out of order, an arc with
// neither I nor J, a coordinate text with no number at its start) are
// skipped. A bare "G02"/"G03" as the last block ends the walk.
// Numbers are read in records.transform.fileFormat (set by PrepareWalk).
// Arcs: G74 (single quadrant) is in force until a block beginning "G75";
// a block beginning "G74" restores it (see ReadSingleQuadrantArc).
WalkEnd WalkBlocks(const InputBlockList& blocks, const ApertureTable& table,
                   PlotRecords& records, const WalkRules& rules, PlotSink& sink,
                   Dialogs& dialogs);

// Reads an arc block: end point into plot.xText/yText (an absent word keeps
// the previous value), I and J into arc.offsetI/J, centre and radius. Returns
// false, changing nothing, when the words cannot be told apart. Numbers are
// read by `reader` (by default as plain numbers).
bool ParseArcBlock(std::string_view arcBlock, PlotState& plot, ArcGeometry& arc,
                   const CountReader& reader = CountReader());

// An arc block read while G74 (single quadrant) is in force, after
// ParseArcBlock: when the offsets taken as signed give start and end radii
// (to the current point and to xText/yText) that differ by more than
// kSignedArcRadiusTolerance of the larger one, the arc is read the single-
// quadrant way: of the four centres (start X ± |I|, start Y ± |J|) the one
// whose end radius is closest to the start radius, among equals the one of
// the smallest sweep in the block's direction ("G02" clockwise), so one of
// at most 90° where there is one. Sets offsets, centre and radius and
// returns true; an arc whose signed reading is consistent stays exactly as
// read (false).
bool ReadSingleQuadrantArc(std::string_view gCode, const PlotState& plot, ArcGeometry& arc);
// Files written for multi-quadrant readers round their arc end points; a
// mismatch of 1 % of the radius is what such rounding never reaches.
inline constexpr double kSignedArcRadiusTolerance = 0.01;

// The arc's start angle (from the centre to the current point) and end angle
// (from the centre to the end point), degrees counter-clockwise from +X in
// [0, 360). A zero vector keeps the previous angle.
void ArcStartAngle(ArcGeometry& arc) noexcept;
void ArcEndAngle(ArcGeometry& arc, double endX, double endY) noexcept;

// The arc angles are computed with π written as 3.14159, as the decoder
// always has; the drawing and the DXF output keep the angles this gives.
inline constexpr double kArcAnglePi = 3.14159;

}  // namespace mutaplot
