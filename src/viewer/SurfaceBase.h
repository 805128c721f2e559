#pragma once
// The state that every pixel surface keeps (unit, pixel size and density,
// pen, styles, drawing mode, colours) and its conversion from the surface's
// unit to device pixels. The screen picture and the printer page derive
// from it and add the drawing.

#include "platform/DrawingSurface.h"

namespace mutaplot {

class SurfaceBase : public DrawingSurface {
public:
    // dpi is the device's pixels per inch.
    SurfaceBase(int pixelWidth, int pixelHeight, double dpi) noexcept
        : pixelWidth_(pixelWidth), pixelHeight_(pixelHeight), twipsPerPixel_(kTwipsPerInch / dpi) {}

    void SetUnit(SurfaceUnit unit) override { unit_ = unit; }
    SurfaceUnit Unit() const override { return unit_; }
    double ScaleWidth() const override { return pixelWidth_ / PixelsPerUnit(); }
    double ScaleHeight() const override { return pixelHeight_ / PixelsPerUnit(); }
    double TwipsPerPixelX() const override { return twipsPerPixel_; }

    void SetPenWidth(int pixels) override { penWidth_ = pixels < 1 ? 1 : pixels; }
    int PenWidth() const override { return penWidth_; }
    void SetLineStyle(LineStyle style) override { lineStyle_ = style; }
    void SetFillStyle(FillStyle style) override { fillStyle_ = style; }
    void SetDrawMode(DrawMode mode) override { mode_ = mode; }
    DrawMode Mode() const override { return mode_; }
    void SetDrawColour(SurfaceColour colour) override { drawColour_ = colour; }
    void SetFillColour(SurfaceColour colour) override { fillColour_ = colour; }
    void SetBackColour(SurfaceColour colour) override { backColour_ = colour; }
    void SetPolarity(InkPolarity polarity) override { polarity_ = polarity; }
    InkPolarity Polarity() const override { return polarity_; }

protected:
    double PixelsPerUnit() const noexcept {
        return (unit_ == SurfaceUnit::Inch ? kTwipsPerInch : kTwipsPerMm) / twipsPerPixel_;
    }
    // The colour a figure is inked in: Blackness and Whiteness override it,
    // and a clear figure erases to the background (to the paper's white, or
    // to the black field of a negative print).
    SurfaceColour InkOf(SurfaceColour colour) const noexcept {
        const bool clear = polarity_ == InkPolarity::Clear;
        if (mode_ == DrawMode::Blackness) return clear ? kWhite : kBlack;
        if (mode_ == DrawMode::Whiteness) return clear ? kBlack : kWhite;
        return clear ? backColour_ : colour;
    }

    int pixelWidth_;
    int pixelHeight_;
    double twipsPerPixel_;
    SurfaceUnit unit_ = SurfaceUnit::Millimetre;
    int penWidth_ = 1;
    LineStyle lineStyle_ = LineStyle::Solid;
    FillStyle fillStyle_ = FillStyle::Solid;
    DrawMode mode_ = DrawMode::Copy;
    SurfaceColour drawColour_ = kBlack;
    SurfaceColour fillColour_ = kBlack;
    SurfaceColour backColour_ = kWhite;
    InkPolarity polarity_ = InkPolarity::Dark;
};

}  // namespace mutaplot
