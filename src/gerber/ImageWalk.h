#pragma once
// The walk over a block list for a file drawn with its own definitions: it
// reads the file's parameter blocks (format, unit, apertures, macros,
// polarity, step-and-repeat, the older image statements) and its data with
// RS-274X meaning, and hands every flash, stroke, arc and region to a sink
// as a filled figure. The display, the print and the DXF export plug in
// their own sinks.
//
// Positions reach the sink in view counts (picture units × 10^decimals of
// the view, y upwards), so that the view's offsets and zoom apply to them
// as to the written walk's raw coordinates.

#include "input/BlockList.h"
#include "platform/Dialogs.h"
#include "platform/DrawingSurface.h"
#include "settings/ConversionSettings.h"

#include <cstdint>

namespace mutaplot::gerber {

// Messages of the walk (title "確認", OK), each shown at most once a walk.
inline constexpr const char* kUndefinedApertureMessage =
    "ファイルに定義のないＤコードが使用されています。そのＤコードの図形は描画しません。";
inline constexpr const char* kUndrawableApertureMessage =
    "描画できないアパーチュア定義があります。そのＤコードの図形は描画しません。";

enum class ObjectKind : std::uint8_t { Flash, Stroke, Arc, Region };

// One object of the image, besides its figure. Points in view counts.
struct ImageObject {
    ObjectKind kind = ObjectKind::Flash;
    SurfacePoint from{0, 0};    // stroke and arc start; the flash point
    SurfacePoint to{0, 0};      // stroke and arc end
    SurfacePoint centre{0, 0};  // arc centre
    double sweep = 0;           // arc sweep in radians, counter-clockwise positive
    bool round = false;         // drawn with a circular aperture
    double width = 0;           // its diameter, view counts
};

class ImageSink {
public:
    virtual ~ImageSink() = default;
    // %IPNEG: the image is negative; called once, before any object.
    virtual void NegativeImage() = 0;
    // The polarity of the objects that follow (already inverted for a
    // negative image).
    virtual void SetPolarity(InkPolarity polarity) = 0;
    // An object and its filled figure (view counts, y upwards).
    virtual void Object(const ImageObject& object, const FilledFigure& figure) = 0;
    // False for an object the sink draws from the ImageObject alone (a
    // stroke, arc or flash too narrow for its outline to matter): its
    // figure is then not built, and Object gets an empty one.
    virtual bool NeedsFigure(const ImageObject& /*object*/) const { return true; }
};

struct ImageView {
    double countsPerPictureUnit = 1000;  // 10^decimals of the view
    Unit pictureUnit = Unit::Millimetre;
    double tolerance = 0.001;            // arcs as polylines within this, picture units
    // How the file's numbers are read until its own statements say otherwise.
    int integerDigits = 4, decimalDigits = 3;
    ZeroMode zeros = ZeroMode::LeadingOmitted;
    Unit unit = Unit::Millimetre;
};

// True when the blocks hold an aperture definition (%AD): the file is then
// drawn with its own definitions. Stops at the first one.
bool DefinesApertures(const InputBlockList& blocks, InputSeparator separator);

// Walks blocks 0 … blockCount − 1 (M02 ends the walk early).
void WalkImage(const InputBlockList& blocks, InputSeparator separator, const ImageView& view,
               ImageSink& sink, Dialogs& dialogs);

}  // namespace mutaplot::gerber
