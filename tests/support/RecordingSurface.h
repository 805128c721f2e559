#pragma once
// A drawing surface that records every primitive with the pen width it was
// drawn with, so that tests can compare a whole drawing against a list
// worked out by hand.

#include "platform/DrawingSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace mutaplot::testing {

struct Primitive {
    std::string kind;          // "line", "rect", "fillrect", "circle", "fillcircle", "arc", "clear",
                               // "polygon", "clear-polarity", "dark-polarity"
    std::vector<double> args;  // coordinates; arcs: cx, cy, r, start, end (radians)
    int pen = 1;

    friend std::ostream& operator<<(std::ostream& os, const Primitive& p) {
        os << p.kind << "(";
        for (std::size_t i = 0; i < p.args.size(); ++i) os << (i ? ", " : "") << p.args[i];
        return os << ") pen " << p.pen;
    }
};

class RecordingSurface final : public DrawingSurface {
public:
    RecordingSurface(double widthMm = 200.0, double heightMm = 100.0, double twipsPerPixel = 15.0)
        : widthMm_(widthMm), heightMm_(heightMm), twips_(twipsPerPixel) {}

    void SetUnit(SurfaceUnit unit) override { unit_ = unit; }
    SurfaceUnit Unit() const override { return unit_; }
    double ScaleWidth() const override { return unit_ == SurfaceUnit::Inch ? widthMm_ / 25.4 : widthMm_; }
    double ScaleHeight() const override { return unit_ == SurfaceUnit::Inch ? heightMm_ / 25.4 : heightMm_; }
    double TwipsPerPixelX() const override { return twips_; }
    void SetPenWidth(int pixels) override { pen = pixels; }
    int PenWidth() const override { return pen; }
    void SetLineStyle(LineStyle s) override { lineStyle = s; }
    void SetFillStyle(FillStyle s) override { fillStyle = s; }
    void SetDrawMode(DrawMode m) override { mode = m; }
    DrawMode Mode() const override { return mode; }
    void SetDrawColour(SurfaceColour c) override { drawColour = c; }
    void SetFillColour(SurfaceColour c) override { fillColour = c; }
    void SetBackColour(SurfaceColour c) override { backColour = c; }
    void SetPolarity(InkPolarity p) override {
        if (p != polarity) Add(p == InkPolarity::Clear ? "clear-polarity" : "dark-polarity", {});
        polarity = p;
    }
    InkPolarity Polarity() const override { return polarity; }

    void Clear() override { Add("clear", {}); }
    void Line(double x1, double y1, double x2, double y2) override { Add("line", {x1, y1, x2, y2}); }
    void Rectangle(double x1, double y1, double x2, double y2) override { Add("rect", {x1, y1, x2, y2}); }
    void FilledRectangle(double x1, double y1, double x2, double y2) override {
        Add("fillrect", {x1, y1, x2, y2});
    }
    void Circle(double cx, double cy, double r) override { Add("circle", {cx, cy, r}); }
    void FilledCircle(double cx, double cy, double r) override { Add("fillcircle", {cx, cy, r}); }
    void Arc(double cx, double cy, double r, double a, double b) override { Add("arc", {cx, cy, r, a, b}); }
    // A filled figure: its points in order (x, y, x, y …); the figure itself
    // is kept in `figures`.
    void FilledPolygon(const FilledFigure& f) override {
        std::vector<double> args;
        for (const SurfacePoint& p : f.points) {
            args.push_back(p.x);
            args.push_back(p.y);
        }
        Add("polygon", std::move(args));
        figures.push_back(f);
    }

    // The primitives without the clears.
    std::vector<Primitive> Drawn() const {
        std::vector<Primitive> out;
        for (const auto& p : primitives)
            if (p.kind != "clear") out.push_back(p);
        return out;
    }

    std::vector<Primitive> primitives;
    std::vector<FilledFigure> figures;
    InkPolarity polarity = InkPolarity::Dark;
    int pen = 1;
    LineStyle lineStyle = LineStyle::Solid;
    FillStyle fillStyle = FillStyle::Solid;
    DrawMode mode = DrawMode::Copy;
    SurfaceColour drawColour = kBlack, fillColour = kBlack, backColour = kWhite;

private:
    void Add(const char* kind, std::vector<double> args) {
        primitives.push_back(Primitive{kind, std::move(args), pen});
    }
    SurfaceUnit unit_ = SurfaceUnit::Millimetre;
    double widthMm_, heightMm_, twips_;
};

// Compares two drawings primitive by primitive, numbers within `tolerance`.
inline ::testing::AssertionResult SameDrawing(const std::vector<Primitive>& actual,
                                              const std::vector<Primitive>& expected,
                                              double tolerance = 1e-9) {
    if (actual.size() != expected.size()) {
        auto r = ::testing::AssertionFailure() << "drew " << actual.size() << " primitives, expected "
                                               << expected.size() << ":";
        for (const auto& p : actual) r << "\n  " << p;
        return r;
    }
    for (std::size_t i = 0; i < actual.size(); ++i) {
        const Primitive& a = actual[i];
        const Primitive& e = expected[i];
        bool same = a.kind == e.kind && a.pen == e.pen && a.args.size() == e.args.size();
        for (std::size_t k = 0; same && k < a.args.size(); ++k)
            same = std::fabs(a.args[k] - e.args[k]) <= tolerance;
        if (!same)
            return ::testing::AssertionFailure() << "primitive " << i << " is " << a << ", expected " << e;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace mutaplot::testing
