#include "export/DxfWriter.h"

#include "settings/NumberText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace mutaplot {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Entity heads: type name, then the fixed groups of each form up to the
// first coordinate code line (in the AC1009 form, up to the handle).
constexpr std::string_view kLine1003 = "LINE\r\n  8\r\n1\r\n 62\r\n7\r\n  6\r\nCONTINUOUS\r\n 10\r\n";
constexpr std::string_view kLine1009 = "LINE\r\n  5\r\n";
constexpr std::string_view kCircle1003 = "CIRCLE\r\n  8\r\n1\r\n 62\r\n7\r\n  6\r\nCONTINUOUS\r\n 10\r\n";
// The AC1009 circle's centre-X code line is four characters wide.
constexpr std::string_view kCircle1009 = "CIRCLE\r\n  5\r\n";
constexpr std::string_view kArc1003 = "ARC\r\n  8\r\n1\r\n 62\r\n7\r\n  6\r\nCONTINUOUS\r\n 10\r\n";
constexpr std::string_view kArc1009 = "ARC\r\n  5\r\n";
// In the AC1009 form the handle line follows the head, then these.
constexpr std::string_view kAfterHandle = "  8\r\n0\r\n 10\r\n";
constexpr std::string_view kCircleAfterHandle = "  8\r\n0\r\n  10\r\n";

}  // namespace

namespace {

// Lays out the significant digits `digits` (no point, no sign) of a value
// whose first digit has the decimal exponent `exponent`, without exponent
// form and without trailing zeros after the point.
void AppendPlain(std::string& out, bool negative, const char* digits, std::size_t n, int exponent) {
    while (n > 1 && digits[n - 1] == '0') --n;
    if (negative) out += '-';
    const int pointPos = exponent + 1;
    if (pointPos <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-pointPos), '0');
        out.append(digits, n);
    } else if (static_cast<std::size_t>(pointPos) >= n) {
        out.append(digits, n);
        out.append(static_cast<std::size_t>(pointPos) - n, '0');
    } else {
        out.append(digits, static_cast<std::size_t>(pointPos));
        out += '.';
        out.append(digits + pointPos, n - static_cast<std::size_t>(pointPos));
    }
}

// Splits to_chars' scientific text "-d.ddde±xx" into sign, digits and
// exponent; false when the text is not of that form.
bool SplitScientific(const char* first, const char* last, bool& negative, char* digits,
                     std::size_t& n, int& exponent) {
    negative = first != last && *first == '-';
    if (negative) ++first;
    n = 0;
    for (; first != last && *first != 'e'; ++first)
        if (*first != '.') digits[n++] = *first;
    if (first == last || n == 0) return false;
    ++first;  // 'e'
    if (first != last && *first == '+') ++first;
    return std::from_chars(first, last, exponent).ec == std::errc();
}

// Appends q · 10^−decimals (q a whole number) without exponent form and
// without trailing zeros after the point.
void AppendScaled(std::string& out, bool negative, std::uint64_t q, int decimals) {
    char reversed[32];
    int len = 0;
    do {
        reversed[len++] = static_cast<char>('0' + q % 10);
        q /= 10;
    } while (q != 0);
    while (len <= decimals) reversed[len++] = '0';  // a zero before the point
    int fractionEnd = 0;
    while (fractionEnd < decimals && reversed[fractionEnd] == '0') ++fractionEnd;
    char text[40];
    int n = 0;
    if (negative) text[n++] = '-';
    for (int i = len - 1; i >= decimals; --i) text[n++] = reversed[i];
    if (fractionEnd < decimals) {
        text[n++] = '.';
        for (int i = decimals - 1; i >= fractionEnd; --i) text[n++] = reversed[i];
    }
    out.append(text, static_cast<std::size_t>(n));
}

// The common case: a value with at most nine decimals below a million, such
// as a coordinate count divided by a power of ten. When q / 10⁹ reads back
// as v for the whole number q nearest to v · 10⁹, the digits of q (at most
// 15) are v rounded to 15 significant digits.
bool AppendNineDecimals(std::string& out, double v) {
    constexpr double kScale = 1e9;
    if (!(std::abs(v) < 1e6)) return false;
    const double scaled = v * kScale;
    auto q = static_cast<std::int64_t>(scaled);  // exact below 2^52; rounded next
    const double rest = scaled - static_cast<double>(q);
    if (rest >= 0.5) ++q;
    else if (rest <= -0.5) --q;
    if (static_cast<double>(q) / kScale != v) return false;
    AppendScaled(out, q < 0, static_cast<std::uint64_t>(q < 0 ? -q : q), 9);
    return true;
}

// Any other value from 10⁻⁵ to 10¹⁵: v · 10^p, with p chosen for 15 digits
// before the point, is formed in extended precision (10^p is exact there)
// and rounded to a whole number. Its error is far below 10⁻³, so unless the
// product lies that close to a half the rounding is the correct one; those
// rare cases are left to the library.
bool AppendFifteenDigits(std::string& out, double v) {
    // The error bound needs a 64-bit significand (x86's extended precision).
    if constexpr (std::numeric_limits<long double>::digits < 64) return false;
    const double a = std::abs(v);
    if (!(a >= 1e-5 && a < 1e15)) return false;
    static constexpr long double kPow10[] = {
        1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L,
        1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L};
    // Decimal exponent from the binary one (log10 2 ≈ 78913 / 2^18), off by
    // at most one; the scaling below corrects it.
    const int binaryExponent = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7FF) - 1023;
    int p = std::clamp(14 - ((binaryExponent * 78913) >> 18), 0, 21);
    long double m = static_cast<long double>(a) * kPow10[p];
    for (int step = 0; step < 2; ++step) {
        if (m >= 1e15L && p > 0) m = static_cast<long double>(a) * kPow10[--p];
        else if (m < 1e14L && p < 21) m = static_cast<long double>(a) * kPow10[++p];
    }
    if (!(m >= 1e14L && m < 1e15L)) return false;
    auto q = static_cast<std::uint64_t>(m);
    const long double rest = m - static_cast<long double>(q);
    if (std::abs(rest - 0.5L) < 1e-3L) return false;
    if (rest > 0.5L) ++q;
    AppendScaled(out, v < 0, q, p);
    return true;
}

}  // namespace

void AppendDxfNumber(std::string& out, double v) {
    if (v == 0 || !std::isfinite(v)) {
        out += FormatDecimal(v);
        return;
    }
    if (AppendNineDecimals(out, v) || AppendFifteenDigits(out, v)) return;
    // The shortest text that reads back as v: when it has at most 15
    // significant digits, rounding v to 15 digits gives those same digits.
    // Otherwise v is rounded to 15 digits. Either way the text is exactly
    // FormatDecimal's, made without a temporary string.
    constexpr std::size_t kMaxDigits = 15;
    constexpr int kLargestExponent = 20;  // no exponent form for the magnitudes that occur
    char buf[40];
    char digits[24];
    bool negative = false;
    std::size_t n = 0;
    int exponent = 0;
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    if (res.ec != std::errc() || !SplitScientific(buf, res.ptr, negative, digits, n, exponent)) {
        out += FormatDecimal(v);
        return;
    }
    if (n > kMaxDigits) {
        res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific,
                            static_cast<int>(kMaxDigits) - 1);
        if (res.ec != std::errc() || !SplitScientific(buf, res.ptr, negative, digits, n, exponent)) {
            out += FormatDecimal(v);
            return;
        }
    }
    if (exponent > kLargestExponent || exponent < -kLargestExponent) {
        out += FormatDecimal(v);
        return;
    }
    AppendPlain(out, negative, digits, n, exponent);
}

namespace {

struct Point {
    double x;
    double y;
};

class EntityWriter {
public:
    EntityWriter(const DxfOptions& options, DxfHandles& handles, std::string& out)
        : ac1009_(options.ac1009), handles_(handles), out_(out) {}

    void Line(Point a, Point b) {
        Head(kLine1003, kLine1009, kAfterHandle);
        Number(a.x);
        out_ += " 20\r\n";
        Number(a.y);
        if (ac1009_) out_ += " 30\r\n0.0\r\n";
        out_ += " 11\r\n";
        Number(b.x);
        out_ += " 21\r\n";
        Number(b.y);
        if (ac1009_) out_ += " 31\r\n0.0\r\n";
        out_ += " 0\r\n";
    }

    void Circle(Point c, double r) {
        Head(kCircle1003, kCircle1009, kCircleAfterHandle);
        Number(c.x);
        out_ += " 20\r\n";
        Number(c.y);
        out_ += " 40\r\n";
        Number(r);
        out_ += " 0\r\n";
    }

    void Arc(Point c, double r, double a1, double a2) {
        Head(kArc1003, kArc1009, kAfterHandle);
        Number(c.x);
        out_ += " 20\r\n";
        Number(c.y);
        if (ac1009_) out_ += " 30\r\n0\r\n";
        out_ += " 40\r\n";
        Number(r);
        out_ += " 50\r\n";
        Number(a1);
        out_ += " 51\r\n";
        Number(a2);
        out_ += " 0\r\n";
    }

    // An arc whose two angles are equal is a full circle.
    void ArcOrCircle(Point c, double r, double a1, double a2) {
        if (a1 == a2) Circle(c, r);
        else Arc(c, r, a1, a2);
    }

    // A closed outline: in the AC1009 form a closed POLYLINE of VERTEX
    // entities ended by SEQEND; the AC1003 form has no polyline and gets
    // the outline's edges as LINEs.
    void ClosedOutline(const SurfacePoint* points, std::size_t n) {
        if (n < 2) return;
        if (!ac1009_) {
            for (std::size_t k = 0; k < n; ++k) {
                const SurfacePoint a = points[k], b = points[(k + 1) % n];
                Line({a.x, a.y}, {b.x, b.y});
            }
            return;
        }
        Head("", "POLYLINE\r\n  5\r\n", "  8\r\n0\r\n 66\r\n1\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n0.0\r\n 70\r\n1\r\n 0\r\n");
        for (std::size_t k = 0; k < n; ++k) {
            Head("", "VERTEX\r\n  5\r\n", "  8\r\n0\r\n 10\r\n");
            Number(points[k].x);
            out_ += " 20\r\n";
            Number(points[k].y);
            out_ += " 30\r\n0.0\r\n 0\r\n";
        }
        Head("", "SEQEND\r\n  5\r\n", "  8\r\n0\r\n 0\r\n");
    }

    // Four LINEs of the rectangle between corners A and B, in fixed order.
    void Rectangle(Point a, Point b) {
        Line(a, {a.x, b.y});
        Line(a, {b.x, a.y});
        Line({b.x, a.y}, b);
        Line({a.x, b.y}, b);
    }

private:
    void Head(std::string_view head1003, std::string_view head1009, std::string_view afterHandle) {
        if (!ac1009_) {
            out_ += head1003;
            return;
        }
        out_ += head1009;
        char hex[20];
        const auto res = std::to_chars(hex, hex + sizeof hex, handles_.next++, 16);
        for (char* c = hex; c != res.ptr; ++c)
            out_ += static_cast<char>(*c >= 'a' ? *c - 'a' + 'A' : *c);
        out_ += kCrLf;
        out_ += afterHandle;
    }

    void Number(double v) {
        AppendDxfNumber(out_, v);
        out_ += kCrLf;
    }

    bool ac1009_;
    DxfHandles& handles_;
    std::string& out_;
};

Point ToDrawing(double rawX, double rawY, const ViewTransform& t) noexcept {
    return {(rawX + t.offsetX) / t.countsPerUnit, (rawY + t.offsetY) / t.countsPerUnit};
}

double DegreesOf(double radians) noexcept { return radians * 180 / std::numbers::pi; }

void WriteThermal(Point p, const CurrentAperture& a, double z, EntityWriter& w) {
    const double thetaO = std::asin(a.connectWidth / a.sizeY);
    const double thetaI = std::asin(a.connectWidth / a.sizeX);
    if (!std::isfinite(thetaO) || !std::isfinite(thetaI)) return;
    const double ro = z * a.sizeY / 2;
    const double ri = z * a.sizeX / 2;
    const double x = p.x, y = p.y;
    if (a.shape == ApertureShape::ThermalAxes) {
        const double wh = z * a.connectWidth / 2;
        const double co = ro * std::cos(thetaO);
        const double ci = ri * std::cos(thetaI);
        const double ao = DegreesOf(thetaO);
        const double ai = DegreesOf(thetaI);
        w.Line({x + co, y + wh}, {x + ci, y + wh});
        w.Line({x + wh, y + co}, {x + wh, y + ci});
        w.Line({x - wh, y + co}, {x - wh, y + ci});
        w.Line({x - co, y + wh}, {x - ci, y + wh});
        w.Line({x - co, y - wh}, {x - ci, y - wh});
        w.Line({x - wh, y - co}, {x - wh, y - ci});
        w.Line({x + wh, y - co}, {x + wh, y - ci});
        w.Line({x + co, y - wh}, {x + ci, y - wh});
        w.Arc(p, ro, ao, 90 - ao);
        w.Arc(p, ri, ai, 90 - ai);
        w.Arc(p, ro, 90 + ao, 180 - ao);
        w.Arc(p, ri, 90 + ai, 180 - ai);
        w.Arc(p, ro, 180 + ao, 270 - ao);
        w.Arc(p, ri, 180 + ai, 270 - ai);
        w.Arc(p, ro, 270 + ao, 360 - ao);
        w.Arc(p, ri, 270 + ai, 360 - ai);
        return;
    }
    // "×": the same figure turned by 45°.
    const double phiO = thetaO + std::numbers::pi / 4;
    const double phiI = thetaI + std::numbers::pi / 4;
    const double bo = DegreesOf(thetaO) + 45;
    const double bi = DegreesOf(thetaI) + 45;
    const double cO = ro * std::cos(phiO), sO = ro * std::sin(phiO);
    const double cI = ri * std::cos(phiI), sI = ri * std::sin(phiI);
    w.Line({x + cO, y + sO}, {x + cI, y + sI});
    w.Line({x - cO, y + sO}, {x - cI, y + sI});
    w.Line({x - sO, y + cO}, {x - sI, y + cI});
    w.Line({x - sO, y - cO}, {x - sI, y - cI});
    w.Line({x - cO, y - sO}, {x - cI, y - sI});
    w.Line({x + cO, y - sO}, {x + cI, y - sI});
    w.Line({x + sO, y - cO}, {x + sI, y - cI});
    w.Line({x + sO, y + cO}, {x + sI, y + cI});
    w.Arc(p, ro, bo, 180 - bo);
    w.Arc(p, ri, bi, 180 - bi);
    w.Arc(p, ro, 90 + bo, 270 - bo);
    w.Arc(p, ri, 90 + bi, 270 - bi);
    w.Arc(p, ro, 180 + bo, 360 - bo);
    w.Arc(p, ri, 180 + bi, 360 - bi);
    w.Arc(p, ro, 270 + bo, 90 - bo);
    w.Arc(p, ri, 270 + bi, 90 - bi);
}

}  // namespace

void WriteDxfBlock(std::string_view dCode, const PlotRecords& records, const DxfOptions& options,
                   DxfHandles& handles, std::string& out) {
    const bool stroke = dCode == "D01";
    if (!stroke && dCode != "D03") return;
    const PlotState& plot = records.plot;
    const ViewTransform& t = records.transform;
    const CurrentAperture& a = records.aperture;
    const double z = t.zoom;
    const Point p1 = ToDrawing(plot.xText.value_or(plot.currentX),
                               plot.yText.value_or(plot.currentY), t);
    const double hx = z * a.sizeX / 2;
    const double hy = z * a.sizeY / 2;
    EntityWriter w(options, handles, out);

    if (stroke) {
        const Point p0 = ToDrawing(plot.currentX, plot.currentY, t);
        if (a.shape == ApertureShape::Round) {
            if (!options.lineWidth) {
                w.Line(p0, p1);
                return;
            }
            const double r = z * a.sizeX / 2;
            w.Circle(p0, r);
            w.Circle(p1, r);
            const double dx = p1.x - p0.x;
            const double dy = p1.y - p0.y;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d == 0) return;
            const double k = r / d;
            w.Line({p0.x + dy * k, p0.y - dx * k}, {p1.x + dy * k, p1.y - dx * k});
            w.Line({p0.x - dy * k, p0.y + dx * k}, {p1.x - dy * k, p1.y + dx * k});
        } else if (a.shape == ApertureShape::Square) {
            if (p0.y > p1.y || (p0.y == p1.y && p0.x < p1.x))
                w.Rectangle({p0.x - hx, p0.y + hy}, {p1.x + hx, p1.y - hy});
            else if (p0.y < p1.y || (p0.y == p1.y && p0.x > p1.x))
                w.Rectangle({p0.x + hx, p0.y - hy}, {p1.x - hx, p1.y + hy});
        }
        return;
    }

    switch (a.shape) {
    case ApertureShape::Round: w.Circle(p1, z * a.sizeX / 2); break;
    case ApertureShape::Square: w.Rectangle({p1.x - hx, p1.y - hy}, {p1.x + hx, p1.y + hy}); break;
    case ApertureShape::ThermalAxes:
    case ApertureShape::ThermalDiagonal: WriteThermal(p1, a, z, w); break;
    }
}

void WriteDxfArc(std::string_view gCode, const PlotRecords& records, const DxfOptions& options,
                 DxfHandles& handles, std::string& out) {
    const bool clockwise = gCode == "G02";
    if (!clockwise && gCode != "G03") return;
    const ViewTransform& t = records.transform;
    const ArcGeometry& arc = records.arc;
    const Point c = ToDrawing(arc.centreX, arc.centreY, t);
    const double r = arc.radius / t.countsPerUnit;
    // The DXF arc runs counter-clockwise: a clockwise path is written from
    // its end angle to its start angle.
    const double a1 = clockwise ? arc.endAngle : arc.startAngle;
    const double a2 = clockwise ? arc.startAngle : arc.endAngle;
    EntityWriter w(options, handles, out);
    if (!options.lineWidth) {
        w.ArcOrCircle(c, r, a1, a2);
        return;
    }
    const PlotState& plot = records.plot;
    const double ra = static_cast<double>(t.zoom) * records.aperture.sizeX / 2;
    w.Circle(ToDrawing(plot.currentX, plot.currentY, t), ra);
    w.Circle(ToDrawing(plot.xText.value_or(plot.currentX), plot.yText.value_or(plot.currentY), t), ra);
    w.ArcOrCircle(c, r - ra, a1, a2);
    w.ArcOrCircle(c, r + ra, a1, a2);
}

void WriteDxfImageObject(const gerber::ImageObject& object, const FilledFigure& figure,
                         const ViewTransform& transform, const DxfOptions& options,
                         DxfHandles& handles, std::string& out) {
    EntityWriter w(options, handles, out);
    const auto at = [&transform](SurfacePoint p) { return ToDrawing(p.x, p.y, transform); };
    const bool centreLine = !options.lineWidth &&
                            (object.kind == gerber::ObjectKind::Stroke || object.kind == gerber::ObjectKind::Arc);
    if (centreLine && object.kind == gerber::ObjectKind::Stroke) {
        w.Line(at(object.from), at(object.to));
        return;
    }
    if (centreLine) {
        const Point c = at(object.centre), a = at(object.from), b = at(object.to);
        const double radius = std::hypot(a.x - c.x, a.y - c.y);
        double start = DegreesOf(std::atan2(a.y - c.y, a.x - c.x));
        double end = DegreesOf(std::atan2(b.y - c.y, b.x - c.x));
        if (start < 0) start += 360;
        if (end < 0) end += 360;
        if (std::abs(object.sweep) >= 2 * std::numbers::pi) w.Circle(c, radius);
        else if (object.sweep < 0) w.ArcOrCircle(c, radius, end, start);
        else w.ArcOrCircle(c, radius, start, end);
        return;
    }
    // Flashes, regions and strokes with their width: every contour of the
    // figure as a closed outline.
    std::vector<SurfacePoint> contour;
    std::size_t point = 0;
    for (const std::uint32_t endIndex : figure.contourEnds) {
        const std::size_t end = std::min<std::size_t>(endIndex, figure.points.size());
        contour.clear();
        for (; point < end; ++point) {
            const Point p = at(figure.points[point]);
            contour.push_back({p.x, p.y});
        }
        w.ClosedOutline(contour.data(), contour.size());
    }
}

}  // namespace mutaplot
