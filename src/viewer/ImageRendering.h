#pragma once
// Drawing a file with its own aperture definitions (RS-274X meaning) on a
// drawing surface: every flash, stroke, arc and region of the image walk
// becomes one filled figure, placed with the view's offsets and zoom, and
// the file's polarities become the surface's. The screen and the printer
// page share it; both map exactly (the written walk's rounding of the
// screen's Y to hundredths is not applied to these figures).

#include "gerber/ImageWalk.h"
#include "platform/DrawingSurface.h"
#include "viewer/ViewGeometry.h"

namespace mutaplot {

// Largest distance between an arc and the polyline drawn for it, in device pixels.
inline constexpr double kArcTolerancePixels = 0.05;

class SurfaceImageSink final : public gerber::ImageSink {
public:
    SurfaceImageSink(const ViewTransform& transform, float drawOrigin, DrawingSurface& surface);

    void NegativeImage() override;
    void SetPolarity(InkPolarity polarity) override;
    void Object(const gerber::ImageObject& object, const FilledFigure& figure) override;
    bool NeedsFigure(const gerber::ImageObject& object) const override;

private:
    PointPlacement Placement() const noexcept;
    SurfacePoint Placed(SurfacePoint countsPoint) const noexcept;
    bool IsHairline(const gerber::ImageObject& object) const noexcept;
    bool DrawnAsHairline(const gerber::ImageObject& object);

    const ViewTransform& transform_;
    bool topLeft_;
    DrawingSurface& surface_;
    double height_, width_;
    FilledFigure placed_;
};

// The view of an image walk onto a surface with this transform: counts per
// picture unit, picture unit, and arcs flattened within kArcTolerancePixels.
gerber::ImageView ImageViewOf(const ViewTransform& transform, const FileFormat& format);

// Whether a walk draws the file with its own definitions: the controls ask
// for them where the file has them, and it has them.
bool DrawsFileApertures(const InputBlockList& blocks, const ViewControls& controls);

}  // namespace mutaplot
