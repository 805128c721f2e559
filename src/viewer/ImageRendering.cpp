#include "viewer/ImageRendering.h"

#include <algorithm>
#include <cmath>

namespace mutaplot {

namespace {

// A hairline arc is drawn in pieces of about two pixels. Their end points
// are turned on from one to the next, and computed afresh every this many
// pieces so that the rounding of the turns cannot add up.
constexpr int kPiecesPerExactPoint = 16;

}  // namespace

SurfaceImageSink::SurfaceImageSink(const ViewTransform& transform, float drawOrigin,
                                   DrawingSurface& surface)
    : transform_(transform), topLeft_(IsTopLeftOrigin(drawOrigin)), surface_(surface),
      height_(surface.ScaleHeight()), width_(surface.ScaleWidth()) {
    surface_.SetPolarity(InkPolarity::Dark);
}

void SurfaceImageSink::NegativeImage() {
    // The whole picture becomes the dark field the image is cut from.
    surface_.SetPolarity(InkPolarity::Dark);
    placed_.Clear();
    placed_.points = {{0, 0}, {width_, 0}, {width_, height_}, {0, height_}};
    placed_.EndContour();
    placed_.EndPart(FillRule::NonZero, false);
    surface_.FilledPolygon(placed_);
}

void SurfaceImageSink::SetPolarity(InkPolarity polarity) { surface_.SetPolarity(polarity); }

// View counts → surface: the view's offsets and counts per unit, y turned
// over for a picture drawn from the bottom up (h + (−y) is h − y exactly).
PointPlacement SurfaceImageSink::Placement() const noexcept {
    const ViewTransform& t = transform_;
    return {t.offsetX, t.offsetY, t.countsPerUnit, topLeft_ ? 0.0 : height_, topLeft_ ? 1.0 : -1.0};
}

SurfacePoint SurfaceImageSink::Placed(SurfacePoint p) const noexcept { return Placement().Placed(p); }

// A stroke, arc or flash of a round aperture narrower than a pixel could
// fall between the pixel centres and vanish; it is drawn as its centre line
// one pixel wide instead (a flash as the one pixel of its point), as the
// aperture list draws its narrowest pens. An aperture of size 0 draws
// nothing, as the format defines.
bool SurfaceImageSink::IsHairline(const gerber::ImageObject& object) const noexcept {
    using gerber::ObjectKind;
    if (object.kind == ObjectKind::Region || !object.round) return false;
    const double widthPixels = object.width / transform_.countsPerUnit * PixelsPerPictureUnit(transform_);
    return widthPixels > 0 && widthPixels < 1.0;
}

bool SurfaceImageSink::NeedsFigure(const gerber::ImageObject& object) const { return !IsHairline(object); }

bool SurfaceImageSink::DrawnAsHairline(const gerber::ImageObject& object) {
    if (!IsHairline(object)) return false;
    const int pen = surface_.PenWidth();
    surface_.SetPenWidth(1);
    if (object.kind != gerber::ObjectKind::Arc) {
        // A stroke, or a flash: a line of no length, one pixel.
        const SurfacePoint a = Placed(object.from), b = Placed(object.to);
        surface_.Line(a.x, a.y, b.x, b.y);
    } else {
        const SurfacePoint centre = object.centre;
        const double rx = object.from.x - centre.x, ry = object.from.y - centre.y;
        const double radiusPixels = std::hypot(rx, ry) / transform_.countsPerUnit * PixelsPerPictureUnit(transform_);
        // Pieces of at most about two pixels along the arc.
        const double pieces = std::ceil(std::abs(object.sweep) * radiusPixels / 2);
        const int n = static_cast<int>(std::clamp(pieces, 1.0, 100000.0));
        // The turn of one piece; (dx, dy) runs from the centre to the end of
        // the piece drawn last.
        const double step = object.sweep / n;
        const double stepCos = std::cos(step), stepSin = std::sin(step);
        double dx = rx, dy = ry;
        SurfacePoint last = Placed(object.from);
        for (int k = 1; k <= n; ++k) {
            SurfacePoint end;
            if (k == n) {
                end = object.to;
            } else if (k % kPiecesPerExactPoint == 0) {
                const double angle = object.sweep * k / n;
                const double c = std::cos(angle), s = std::sin(angle);
                end = {centre.x + rx * c - ry * s, centre.y + rx * s + ry * c};
                dx = rx * c - ry * s;
                dy = rx * s + ry * c;
            } else {
                const double x = dx * stepCos - dy * stepSin, y = dx * stepSin + dy * stepCos;
                dx = x;
                dy = y;
                end = {centre.x + dx, centre.y + dy};
            }
            const SurfacePoint next = Placed(end);
            surface_.Line(last.x, last.y, next.x, next.y);
            last = next;
        }
    }
    surface_.SetPenWidth(pen);
    return true;
}

void SurfaceImageSink::Object(const gerber::ImageObject& object, const FilledFigure& figure) {
    if (DrawnAsHairline(object)) return;
    // The screen places the points itself as it scales them to pixels.
    const PointPlacement placement = Placement();
    if (surface_.FilledPolygonPlaced(figure, placement)) return;
    const std::size_t n = figure.points.size();
    placed_.points.resize(n);
    // x and y of a point side by side, so that both take one division.
    using Pair = double __attribute__((vector_size(16)));
    const SurfacePoint* const in = figure.points.data();
    SurfacePoint* const out = placed_.points.data();
    const Pair offset = {placement.offsetX, placement.offsetY}, counts = {placement.divisor, placement.divisor};
    const Pair sign = {1.0, placement.signY}, base = {0.0, placement.baseY};
    Pair low = {HUGE_VAL, HUGE_VAL}, high = {-HUGE_VAL, -HUGE_VAL};
    for (std::size_t k = 0; k < n; ++k) {
        const Pair p = base + sign * ((Pair{in[k].x, in[k].y} + offset) / counts);
        out[k] = {p[0], p[1]};
        low = p < low ? p : low;
        high = p > high ? p : high;
    }
    const double minX = low[0], minY = low[1], maxX = high[0], maxY = high[1];
    // Figures wholly outside the surface change no pixel.
    if (maxX < 0 || maxY < 0 || minX > width_ || minY > height_) return;
    placed_.contourEnds = figure.contourEnds;
    placed_.parts = figure.parts;
    surface_.FilledPolygon(placed_);
}

gerber::ImageView ImageViewOf(const ViewTransform& transform, const FileFormat& format) {
    gerber::ImageView view;
    view.countsPerPictureUnit = transform.countsPerUnit * transform.zoom;
    view.pictureUnit = transform.pictureUnit == SurfaceUnit::Inch ? Unit::Inch : Unit::Millimetre;
    const double pixelsPerUnit =
        transform.pixelsPerMm * (transform.pictureUnit == SurfaceUnit::Inch ? kMillimetresPerInch : 1.0) * transform.zoom;
    view.tolerance = pixelsPerUnit > 0 ? kArcTolerancePixels / pixelsPerUnit : 1e-3;
    if (format.known()) {
        view.integerDigits = format.integerDigits;
        view.decimalDigits = format.decimalDigits;
    }
    view.zeros = format.zeros;
    view.unit = format.unit == Unit::None ? view.pictureUnit : format.unit;
    return view;
}

bool DrawsFileApertures(const InputBlockList& blocks, const ViewControls& controls) {
    return controls.apertureSource == ApertureSource::FileWhereDefined &&
           gerber::DefinesApertures(blocks, controls.inputSeparator);
}

}  // namespace mutaplot
