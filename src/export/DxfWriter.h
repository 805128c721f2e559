#pragma once
// The DXF writer: each stroke, flash and arc of the walk becomes LINE,
// CIRCLE and ARC entities in one of two compatible forms (AC1003 with layer
// "1", colour 7 and linetype CONTINUOUS; AC1009 with layer "0" and a handle
// of its own on every entity). Coordinates keep the data's orientation (Y up) and
// go through the view transform without rounding; aperture sizes are taken
// in the coordinates' unit times the zoom.
//
// Every line ends with CR LF. Several CAM tools read these files by line
// position, so the group-code lines are fixed strings, blanks included.

#include "gerber/ImageWalk.h"
#include "viewer/ViewGeometry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mutaplot {

struct DxfOptions {
    bool ac1009 = false;     // dxfFormat 1
    bool lineWidth = false;  // dxfLineWidth 1: round strokes and arcs as track outlines
};

// The AC1009 entity handles of one export: every entity gets its own,
// counting up in hexadecimal from 2B. A reader keys entities by handle, so a
// handle used twice would make it keep one entity and drop the others.
struct DxfHandles {
    std::uint64_t next = 0x2B;
};

// Appends the entities of one D-code event ("D01" stroke, "D03" flash; "D02"
// and anything else write nothing). A thermal whose angles cannot be
// computed (spoke not narrower than its diameters) writes nothing.
void WriteDxfBlock(std::string_view dCode, const PlotRecords& records, const DxfOptions& options,
                   DxfHandles& handles, std::string& out);

// Appends the entities of the arc in ArcGeometry ("G02" or "G03").
void WriteDxfArc(std::string_view gCode, const PlotRecords& records, const DxfOptions& options,
                 DxfHandles& handles, std::string& out);

// Appends the entities of one object of a file drawn with its own
// definitions (figure in view counts): without line width a stroke is its
// centre LINE and an arc its centre ARC (a CIRCLE when full); flashes,
// regions, and strokes and arcs with line width are the closed outlines of
// their figure's contours.
void WriteDxfImageObject(const gerber::ImageObject& object, const FilledFigure& figure,
                         const ViewTransform& transform, const DxfOptions& options,
                         DxfHandles& handles, std::string& out);

// Appends a number line's text: exactly FormatDecimal's text, made without
// building a temporary string for the usual values.
void AppendDxfNumber(std::string& out, double value);

// The three trailer lines.
inline constexpr std::string_view kDxfTrailer = "ENDSEC\r\n 0\r\nEOF\r\n";

}  // namespace mutaplot
