#include "viewer/ImageRendering.h"

#include <algorithm>
#include <cmath>

namespace mutaplot {

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

void SurfaceImageSink::Object(const gerber::ImageObject&, const FilledFigure& figure) {
    const ViewTransform& t = transform_;
    placed_.points.resize(figure.points.size());
    double minX = HUGE_VAL, maxX = -HUGE_VAL, minY = HUGE_VAL, maxY = -HUGE_VAL;
    for (std::size_t k = 0; k < figure.points.size(); ++k) {
        const SurfacePoint p = figure.points[k];
        const double x = (p.x + t.offsetX) / t.countsPerUnit;
        const double down = (p.y + t.offsetY) / t.countsPerUnit;
        const double y = topLeft_ ? down : height_ - down;
        placed_.points[k] = {x, y};
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
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
