#pragma once
// A drawing surface that passes every call on to another surface and writes
// one text line for each drawing call, in call order, so that a drawing can
// be compared number for number with another implementation of the drawing
// rules. Used by `mutaplot-cli render --trace` for the screen picture; it
// wraps a printer page the same way.
//
// The lines (LF-terminated, fields separated by one space, numbers written
// by FormatDecimal: at most 15 significant digits, no trailing zeros):
//   surface W H T              scale width and height in the surface's unit
//                              and twips per pixel; once, before the first
//                              call below, with the unit in force then
//   clear
//   mode copy|xor|blackness|whiteness      when the drawing mode changes
//   line x1 y1 x2 y2 P
//   rect x1 y1 x2 y2 P
//   fillrect x1 y1 x2 y2 P
//   circle cx cy r P
//   fillcircle cx cy r P
//   arc cx cy r start end P    angles in radians as handed to the surface
//   polarity dark|clear        when the polarity changes
//   polygon PART …             a filled figure; each part is its rule and
//                              whether it adds or cuts ("nonzero+",
//                              "evenodd-"), its number of contours, then
//                              each contour's number of points and points
//                              x1 y1 x2 y2 …
// Coordinates are in the surface's unit, P is the pen width in pixels at
// that call.

#include "platform/DrawingSurface.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace mutaplot {

class TracingSurface final : public DrawingSurface {
public:
    // `write` receives the text in pieces of whole lines; the surface holds
    // at most about a megabyte before it hands them on. Call Flush after the
    // drawing: lines still held when the surface is destroyed are dropped.
    TracingSurface(DrawingSurface& inner, std::function<void(std::string_view)> write);
    TracingSurface(const TracingSurface&) = delete;
    TracingSurface& operator=(const TracingSurface&) = delete;

    // Hands on the lines held so far.
    void Flush();

    void SetUnit(SurfaceUnit unit) override { inner_.SetUnit(unit); }
    SurfaceUnit Unit() const override { return inner_.Unit(); }
    double ScaleWidth() const override { return inner_.ScaleWidth(); }
    double ScaleHeight() const override { return inner_.ScaleHeight(); }
    double TwipsPerPixelX() const override { return inner_.TwipsPerPixelX(); }
    void SetPenWidth(int pixels) override { inner_.SetPenWidth(pixels); }
    int PenWidth() const override { return inner_.PenWidth(); }
    void SetLineStyle(LineStyle style) override { inner_.SetLineStyle(style); }
    void SetFillStyle(FillStyle style) override { inner_.SetFillStyle(style); }
    void SetDrawMode(DrawMode mode) override;
    DrawMode Mode() const override { return inner_.Mode(); }
    void SetDrawColour(SurfaceColour colour) override { inner_.SetDrawColour(colour); }
    void SetFillColour(SurfaceColour colour) override { inner_.SetFillColour(colour); }
    void SetBackColour(SurfaceColour colour) override { inner_.SetBackColour(colour); }
    void SetPolarity(InkPolarity polarity) override;
    InkPolarity Polarity() const override { return inner_.Polarity(); }

    void Clear() override;
    void Line(double x1, double y1, double x2, double y2) override;
    void Rectangle(double x1, double y1, double x2, double y2) override;
    void FilledRectangle(double x1, double y1, double x2, double y2) override;
    void Circle(double cx, double cy, double radius) override;
    void FilledCircle(double cx, double cy, double radius) override;
    void Arc(double cx, double cy, double radius, double startRadians, double endRadians) override;
    void FilledPolygon(const FilledFigure& figure) override;

private:
    void Header();
    // One line: the name, the numbers, then the pen width when `withPen`.
    void Emit(std::string_view name, std::initializer_list<double> numbers, bool withPen);

    DrawingSurface& inner_;
    std::function<void(std::string_view)> write_;
    std::string buffer_;
    bool headerWritten_ = false;
};

}  // namespace mutaplot
