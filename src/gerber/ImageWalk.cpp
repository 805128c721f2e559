#include "gerber/ImageWalk.h"

#include "gerber/GraphicsState.h"
#include "gerber/ParameterStream.h"
#include "gerber/Region.h"
#include "input/ParameterBlocks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace mutaplot::gerber {

namespace {

// How much further than the view's tolerance the straight pieces of an arc
// drawn with a non-circular aperture may stray from it: 5 × 0.05 pixel.
constexpr double kSweptArcLooseness = 5.0;

// A step-and-repeat of more copies than this is a damaged file.
constexpr long kMostCopies = 1'000'000;

double UnitFactor(Unit from, Unit to) noexcept {
    if (from == to || from == Unit::None || to == Unit::None) return 1.0;
    return from == Unit::Inch ? kMillimetresPerInch : 1.0 / kMillimetresPerInch;
}

// The words of one command ("G01X100Y-200D01"), blanks ignored.
struct Words {
    // The G codes of the command in their order ("G75G03X…D01" sets the
    // quadrant mode and then the interpolation); more than a few in one
    // command is no real file, and the rest are ignored.
    static constexpr std::size_t kMostGCodes = 8;
    std::array<int, kMostGCodes> g{};
    std::size_t gCount = 0;
    std::optional<int> d, m;
    std::optional<double> x, y, i, j;  // in the file's unit
    bool comment = false;  // G04: the rest is text
};

std::optional<int> Integer(std::string_view text, std::size_t& at) {
    constexpr long long kLargerThanAnyCode = 1'000'000'000;
    const std::size_t begin = at;
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        if (value <= std::numeric_limits<int>::max()) value = value * 10 + (text[at] - '0');
    if (at == begin) return std::nullopt;
    if (value > std::numeric_limits<int>::max()) return static_cast<int>(kLargerThanAnyCode);
    return static_cast<int>(value);
}

// Up to this many digits an integer is exact both as a 64-bit count and
// as a double built digit by digit.
constexpr int kExactDigits = 15;

// The coordinate number at `at` (sign, digits, point) read with the file's
// format exactly as DecodeCoordinate reads its text, in one pass over the
// plain digits of real files; 0 where it holds no digit.
double ReadCoordinate(std::string_view text, std::size_t& at, ZeroOmission zeros, int integerDigits,
                      int decimals) {
    const std::size_t begin = at, size = text.size();
    const char* const c = text.data();
    std::size_t k = at;
    bool negative = false;
    if (k < size && (c[k] == '+' || c[k] == '-')) {
        negative = c[k] == '-';
        ++k;
    }
    const std::size_t first = k;
    // Digits beyond the exact ones may wrap the count: it is not used then.
    std::uint64_t digits = 0;
    for (; k < size && static_cast<unsigned char>(c[k] - '0') <= 9; ++k)
        digits = digits * 10 + static_cast<std::uint64_t>(c[k] - '0');
    const int count = static_cast<int>(std::min<std::size_t>(k - first, kExactDigits + 1));
    if (count > kExactDigits || (k < size && c[k] == '.')) {
        while (k < size && ((c[k] >= '0' && c[k] <= '9') || c[k] == '.')) ++k;
        at = k;
        return DecodeCoordinate(text.substr(begin, k - begin), zeros, integerDigits, decimals).value_or(0);
    }
    at = k;
    if (count == 0) return 0;
    const double v = ShiftedDigits(static_cast<double>(digits), count, zeros, integerDigits, decimals);
    return negative ? -v : v;
}

// The words of the command that starts at `at`; it ends at a "*" (taken
// with it) or after its D word (a line whose "*" the reader removed holds
// several commands: "G54D11Y1132D02Y1207D01").
Words ReadWords(std::string_view c, std::size_t& at, const FormatStatement& f) {
    Words w;
    while (at < c.size()) {
        const char letter = c[at++];
        switch (letter) {
        case '*': return w;
        case 'G': {
            const auto code = Integer(c, at);
            if (!code) break;
            if (*code == 4) {  // the rest of the command is its text
                w.comment = true;
                const std::size_t star = c.find('*', at);
                at = star == std::string_view::npos ? c.size() : star + 1;
                return w;
            }
            if (*code == 54 || *code == 55) break;  // aperture prefix, no meaning of its own
            if (w.gCount < Words::kMostGCodes) w.g[w.gCount++] = *code;
            break;
        }
        case 'D':
            w.d = Integer(c, at);
            if (at < c.size() && c[at] == '*') ++at;
            return w;
        case 'M': w.m = Integer(c, at); break;
        case 'N': Integer(c, at); break;
        case 'X':
        case 'Y':
        case 'I':
        case 'J': {
            const bool alongX = letter == 'X' || letter == 'I';
            const double v = ReadCoordinate(c, at, f.zeros, alongX ? f.xInteger : f.yInteger,
                                            alongX ? f.xDecimal : f.yDecimal);
            (letter == 'X' ? w.x : letter == 'Y' ? w.y : letter == 'I' ? w.i : w.j) = v;
            break;
        }
        default: break;  // blanks and anything unknown
        }
    }
    return w;
}

class ImageWalker {
public:
    ImageWalker(const InputBlockList& blocks, InputSeparator separator, const ImageView& view,
                ImageSink& sink, Dialogs& dialogs)
        : blocks_(blocks), view_(view), sink_(sink), dialogs_(dialogs), collector_(separator) {
        s_.format = {view.zeros == ZeroMode::TrailingOmitted ? ZeroOmission::Trailing : ZeroOmission::Leading,
                     false, view.integerDigits, view.decimalDigits, view.integerDigits, view.decimalDigits};
        if (view.unit != Unit::None) s_.unit = view.unit;
    }

    void Run() {
        const std::size_t count = blocks_.blockCount();
        for (;;) {
            while (next_ < count && !ended_) {
                const std::string_view block = blocks_[next_++];
                const std::vector<std::string>& texts = collector_.Take(block);
                const BlockPart part = collector_.part();
                const bool parametersFirst = !block.empty() && block.front() == '%';
                // A step-and-repeat statement may restart the walk at an
                // earlier block: the texts are copied before that can happen.
                // The data text stays valid until then: the walk does not
                // look at it after a restart.
                if (texts.empty()) pending_.clear();
                else pending_.assign(texts.begin(), texts.end());
                const std::string_view data =
                    part == BlockPart::Data || part == BlockPart::Parameter ? collector_.text() : std::string_view();
                if (parametersFirst) {
                    if (Parameters()) continue;
                    Data(data);
                } else {
                    Data(data);
                    if (Parameters()) continue;
                }
            }
            // The end of the file (or M02) closes an open step-and-repeat.
            if (repeat_ && NextCopy()) {
                ended_ = false;
                continue;
            }
            break;
        }
        region_.Clear();
    }

private:
    struct Repeat {
        long x = 1, y = 1;
        double i = 0, j = 0;
        long copy = 0;  // the copy being drawn
        std::size_t resume = 0;
        GraphicsState state;
        ParameterTextCollector collector;
    };

    // The parameter texts of the current block; true when a step-and-repeat
    // restarted the walk.
    bool Parameters() {
        for (const std::string& text : pending_) {
            // A macro is one block; other blocks may hold several statements
            // ("%ICAS*MOIN*%").
            std::string_view t = text;
            while (!t.empty() && (t.front() == ' ' || t.front() == '*')) t.remove_prefix(1);
            if (t.starts_with("AM")) {
                if (KeptAsMerged(text)) continue;
                if (Parameter(ParseParameterBlock(text))) return true;
                continue;
            }
            for (const std::string& statement : ParseStatements(text))
                if (Parameter(ParseParameterBlock(statement + '*'))) return true;
        }
        return false;
    }

    bool Parameter(const ParameterBlock& p) {
        mapStale_ = true;  // the unit, the image statements or the copy may change
        switch (p.kind) {
        case ParameterBlock::Kind::Format:
            if (p.format) {
                s_.format = *p.format;
                s_.incremental = p.format->incremental;
            }
            break;
        case ParameterBlock::Kind::Mode:
            if (p.mode) s_.unit = *p.mode;
            break;
        case ParameterBlock::Kind::ApertureDefinition:
            if (p.aperture) {
                FindMergedMacro(p.aperture->templateName);
                s_.apertures[p.aperture->dCode] = FileAperture{*p.aperture, s_.unit, std::nullopt};
            }
            break;
        case ParameterBlock::Kind::ApertureMacro:
            if (p.macro) s_.macros[p.macro->name] = *p.macro;
            break;
        case ParameterBlock::Kind::LoadPolarity:
            s_.loadPolarity = p.polarity;
            sink_.SetPolarity(Effective());
            break;
        case ParameterBlock::Kind::ImagePolarity:
            if (p.imageNegative && !s_.imageNegative) {
                s_.imageNegative = true;
                sink_.NegativeImage();
                sink_.SetPolarity(Effective());
            }
            break;
        case ParameterBlock::Kind::Offset:
            s_.offsetA = p.offsetA;
            s_.offsetB = p.offsetB;
            s_.UpdateTransform();
            break;
        case ParameterBlock::Kind::ImageOffset:
            s_.imageOffsetA = p.offsetA;
            s_.imageOffsetB = p.offsetB;
            s_.UpdateTransform();
            break;
        case ParameterBlock::Kind::MirrorImage:
            s_.mirrorA = p.mirrorA;
            s_.mirrorB = p.mirrorB;
            s_.UpdateTransform();
            break;
        case ParameterBlock::Kind::ScaleFactor:
            s_.scaleA = p.scaleA;
            s_.scaleB = p.scaleB;
            s_.UpdateTransform();
            break;
        case ParameterBlock::Kind::AxisSelect:
            s_.axesSwapped = p.axesSwapped;
            s_.UpdateTransform();
            break;
        case ParameterBlock::Kind::ImageRotation:
            s_.rotation = p.rotation;
            s_.UpdateTransform();
            break;
        case ParameterBlock::Kind::StepRepeat:
            if (p.stepRepeat) return StepRepeat(*p.stepRepeat);
            break;
        default: break;  // attributes, names, comments
        }
        return false;
    }

    // A macro written on one line ("%AMBOX*21,1,2,1,0,0,0*%") loses its
    // stars where the reader drops them (LF separators): "AMBOX21,1,2,1,0,0,0"
    // no longer says where the name ends. Such a text is kept until a
    // definition names the macro; true when the text is one of them.
    bool KeptAsMerged(const std::string& text) {
        const std::vector<std::string> statements = ParseStatements(text);
        if (statements.size() != 1) return false;
        const std::string& only = statements.front();
        if (only.find(',') == std::string::npos && only.find('=') == std::string::npos) return false;
        if (merged_.size() < kMostMergedMacros) merged_.push_back(only);
        return true;
    }

    // For a definition of a template no macro has: the kept text that begins
    // with "AM" and its name, followed by a primitive code or a variable,
    // read as that macro.
    void FindMergedMacro(const std::string& name) {
        if (merged_.empty() || s_.macros.contains(name)) return;
        if (name == "C" || name == "R" || name == "O" || name == "P") return;
        for (const std::string& text : merged_) {
            std::string_view t = text;
            while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
            if (!t.starts_with("AM")) continue;
            t.remove_prefix(2);
            if (!t.starts_with(name) || t.size() == name.size()) continue;
            const std::string_view body = t.substr(name.size());
            if (!((body.front() >= '0' && body.front() <= '9') || body.front() == '$')) continue;
            ParameterBlock p = ParseParameterBlock("AM" + name + "*" + std::string(body) + "*");
            if (p.kind == ParameterBlock::Kind::ApertureMacro && p.macro) {
                s_.macros[name] = std::move(*p.macro);
                return;
            }
        }
    }

    InkPolarity Effective() const noexcept {
        const bool clear = (s_.loadPolarity == Polarity::Clear) != s_.imageNegative;
        return clear ? InkPolarity::Clear : InkPolarity::Dark;
    }

    // %SR: closes the open block (drawing its next copy from its start when
    // copies remain: true) and opens a new one.
    bool StepRepeat(const gerber::StepRepeat& sr) {
        if (repeat_ && NextCopy()) return true;
        repeat_.reset();
        offset_ = {0, 0};
        const long x = std::max(1, sr.x), y = std::max(1, sr.y);
        // Copies are drawn by walking the block again from its start.
        if (x * y > 1 && x * y <= kMostCopies)
            repeat_ = Repeat{x, y, sr.i, sr.j, 0, next_, s_, collector_};
        return false;
    }

    // Restarts the walk at the open block for its next copy; false when the
    // last copy has been drawn.
    bool NextCopy() {
        mapStale_ = true;
        Repeat& r = *repeat_;
        if (++r.copy >= r.x * r.y) {
            offset_ = {0, 0};
            repeat_.reset();
            return false;
        }
        const Unit unit = s_.unit;
        s_ = r.state;
        s_.unit = unit;
        collector_ = r.collector;
        next_ = r.resume;
        offset_ = {(r.copy % r.x) * r.i, (r.copy / r.x) * r.j};
        sink_.SetPolarity(Effective());
        return true;
    }

    void Data(std::string_view data) {
        for (std::size_t at = 0; at < data.size() && !ended_;) Command(ReadWords(data, at, s_.format));
    }

    void Command(const Words& w) {
        if (w.comment) return;
        for (std::size_t k = 0; k < w.gCount; ++k) {
            switch (w.g[k]) {
            case 1: case 10: case 11: case 12: s_.interpolation = Interpolation::Linear; break;
            case 2: s_.interpolation = Interpolation::Clockwise; break;
            case 3: s_.interpolation = Interpolation::CounterClockwise; break;
            case 36:
                s_.regionMode = true;
                region_.Clear();
                region_.MoveTo(s_.current);
                break;
            case 37:
                if (s_.regionMode) EndRegion();
                s_.regionMode = false;
                break;
            case 70:
                s_.unit = Unit::Inch;
                mapStale_ = true;
                break;
            case 71:
                s_.unit = Unit::Millimetre;
                mapStale_ = true;
                break;
            case 74: s_.multiQuadrant = false; break;
            case 75: s_.multiQuadrant = true; break;
            case 90: s_.incremental = false; break;
            case 91: s_.incremental = true; break;
            default: break;
            }
        }
        if (w.m && (*w.m == 0 || *w.m == 2)) {
            ended_ = true;
            return;
        }
        int operation = 0;
        if (w.d) {
            if (*w.d >= 10) s_.currentDCode = *w.d;
            else if (*w.d >= 1 && *w.d <= 3) operation = *w.d;
        }
        const bool hasCoordinates = w.x || w.y || w.i || w.j;
        if (operation == 0 && hasCoordinates) operation = s_.operation;
        if (operation == 0) return;
        s_.operation = operation;
        Operate(operation, w);
    }

    void Operate(int operation, const Words& w) {
        SurfacePoint target = s_.current;
        if (s_.incremental) {
            target.x += w.x.value_or(0);
            target.y += w.y.value_or(0);
        } else {
            if (w.x) target.x = *w.x;
            if (w.y) target.y = *w.y;
        }
        const double i = w.i.value_or(0), j = w.j.value_or(0);
        const SurfacePoint start = s_.current;
        s_.current = target;
        const bool circular = s_.interpolation != Interpolation::Linear;
        const bool clockwise = s_.interpolation == Interpolation::Clockwise;
        SurfacePoint centre{start.x + i, start.y + j};
        if (circular && !s_.multiQuadrant) centre = SingleQuadrantCentre(start, target, i, j, clockwise);

        if (s_.regionMode) {
            if (operation == 2) region_.MoveTo(target);
            else if (operation == 1) {
                if (circular) region_.ArcTo(target, centre, clockwise, s_.multiQuadrant, FileTolerance(s_.unit));
                else region_.LineTo(target);
            }
            return;
        }
        if (operation == 2) return;
        const FlashShape* shape = Shape();
        if (!shape) return;
        if (operation == 3) Flash(*shape, target);
        else if (circular) ArcStroke(*shape, start, target, centre, clockwise);
        else Stroke(*shape, start, target);
    }

    // Arcs of the current unit's figures are flattened within this.
    double FileTolerance(Unit unit) const noexcept {
        return view_.tolerance / UnitFactor(unit, view_.pictureUnit);
    }

    const FlashShape* Shape() {
        const auto found = s_.apertures.find(s_.currentDCode);
        if (found == s_.apertures.end()) {
            Once(undefinedShown_, kUndefinedApertureMessage);
            return nullptr;
        }
        FileAperture& a = found->second;
        if (!a.shape) {
            a.shape.emplace();
            BuildFlashShape(a.definition, s_.macros, FileTolerance(a.unit), *a.shape);
            // The shape is in the unit of its definition; scaled once to the
            // unit of the coordinates when they differ.
            const double k = UnitFactor(a.unit, s_.unit);
            if (k != 1.0) {
                for (SurfacePoint& p : a.shape->figure.points) p = {p.x * k, p.y * k};
                for (SurfacePoint& p : a.shape->hull) p = {p.x * k, p.y * k};
                a.shape->hullEdges = EdgesOf(a.shape->hull);
                a.shape->diameter *= k;
            }
        }
        if (!a.shape->valid) {
            Once(undrawableShown_, kUndrawableApertureMessage);
            return nullptr;
        }
        return &*a.shape;
    }

    void Once(bool& shown, const char* message) {
        if (shown) return;
        shown = true;
        ShowCheckMessage(dialogs_, message);
    }

    // File units → view counts: the image transform, moved by the copy's
    // offset, then the scale of the unit. `plain` when neither the transform
    // nor the offset changes a point, which then is only scaled (the same
    // numbers as the whole computation).
    struct CountsMap {
        double scale;
        bool plain;
    };
    // Kept until the unit, the image statements or the copy change.
    CountsMap Map() noexcept {
        if (mapStale_) {
            const ImageTransform& t = s_.transform;
            const bool identity = t.a == 1 && t.b == 0 && t.c == 0 && t.d == 1 && t.e == 0 && t.f == 0;
            map_ = {UnitFactor(s_.unit, view_.pictureUnit) * view_.countsPerPictureUnit,
                    identity && offset_.x == 0 && offset_.y == 0};
            mapStale_ = false;
        }
        return map_;
    }
    SurfacePoint Counts(SurfacePoint p, CountsMap m) const noexcept {
        if (m.plain) return {p.x * m.scale, p.y * m.scale};
        const SurfacePoint t = s_.transform.Apply({p.x + offset_.x, p.y + offset_.y});
        return {t.x * m.scale, t.y * m.scale};
    }
    // Calls `use` with the map of file points to view counts as a function
    // object, a plain scaling where the map is plain.
    template <class Use>
    void Mapped(CountsMap m, Use use) {
        if (m.plain) use([k = m.scale](SurfacePoint p) { return SurfacePoint{p.x * k, p.y * k}; });
        else use([this, m](SurfacePoint p) { return Counts(p, m); });
    }
    double CountsOf(double length) const noexcept {
        return length * UnitFactor(s_.unit, view_.pictureUnit) * view_.countsPerPictureUnit;
    }

    // The figure built in file units → view counts, handed on.
    void Emit(const ImageObject& object, CountsMap m) {
        Mapped(m, [&](auto map) {
            for (SurfacePoint& p : figure_.points) p = map(p);
        });
        sink_.Object(object, figure_);
    }

    void Flash(const FlashShape& shape, SurfacePoint at) {
        const CountsMap m = Map();
        ImageObject o;
        o.kind = ObjectKind::Flash;
        o.from = o.to = Counts(at, m);
        o.round = shape.round;
        o.width = CountsOf(shape.diameter);
        if (!Outlined(o)) return;
        // The shape moved to the flash point and mapped in one go.
        const FilledFigure& f = shape.figure;
        figure_.points.resize(f.points.size());
        const SurfacePoint* source = f.points.data();
        SurfacePoint* target = figure_.points.data();
        Mapped(m, [&](auto map) {
            for (std::size_t k = 0, n = f.points.size(); k < n; ++k)
                target[k] = map({source[k].x + at.x, source[k].y + at.y});
        });
        figure_.contourEnds.assign(f.contourEnds.begin(), f.contourEnds.end());
        figure_.parts.assign(f.parts.begin(), f.parts.end());
        sink_.Object(o, figure_);
    }

    // An object the sink draws from the object alone gets no figure.
    bool Outlined(const ImageObject& o) {
        figure_.Clear();
        if (sink_.NeedsFigure(o)) return true;
        sink_.Object(o, figure_);
        return false;
    }

    void Stroke(const FlashShape& shape, SurfacePoint from, SurfacePoint to) {
        const CountsMap m = Map();
        ImageObject o;
        o.kind = ObjectKind::Stroke;
        o.from = Counts(from, m);
        o.to = Counts(to, m);
        o.round = shape.round;
        o.width = CountsOf(shape.diameter);
        if (!Outlined(o)) return;
        Mapped(m, [&](auto map) { AddSweptHullMapped(figure_, shape.hull, shape.hullEdges, from, to, map); });
        figure_.EndPart(FillRule::NonZero, false);
        sink_.Object(o, figure_);
    }

    void ArcStroke(const FlashShape& shape, SurfacePoint from, SurfacePoint to, SurfacePoint centre,
                   bool clockwise) {
        const CountsMap m = Map();
        const double sweep = ArcSweep(from, to, centre, clockwise, s_.multiQuadrant);
        ImageObject o;
        o.kind = ObjectKind::Arc;
        o.from = Counts(from, m);
        o.to = Counts(to, m);
        o.centre = Counts(centre, m);
        o.sweep = s_.transform.Mirrors() ? -sweep : sweep;
        o.round = shape.round;
        o.width = CountsOf(shape.diameter);
        if (!Outlined(o)) return;
        const double tolerance = FileTolerance(s_.unit);
        path_.clear();
        path_.push_back(from);
        // The format draws arcs with circles only; an arc of any other
        // aperture is its outline swept along straight pieces, each piece a
        // filled figure of its own, so it follows the arc more loosely.
        AppendArcPath(path_, from, to, centre, clockwise, s_.multiQuadrant,
                      shape.round ? tolerance : tolerance * kSweptArcLooseness);
        if (shape.round) {
            const double half = shape.diameter / 2;
            const bool full = std::abs(sweep) >= 2 * std::numbers::pi;
            // The band between the radii ± half the width, and a disc at each end.
            contour_.clear();
            inner_.clear();
            for (const SurfacePoint& p : path_) {
                const double dx = p.x - centre.x, dy = p.y - centre.y;
                const double r = std::hypot(dx, dy);
                if (!(r > 0)) continue;
                contour_.push_back({centre.x + dx / r * (r + half), centre.y + dy / r * (r + half)});
                if (r > half) inner_.push_back({centre.x + dx / r * (r - half), centre.y + dy / r * (r - half)});
            }
            if (full) {
                AddCounterClockwise(figure_, contour_);
                if (inner_.size() >= 3) {
                    // The hole runs the other way round.
                    figure_.points.insert(figure_.points.end(), inner_.begin(), inner_.end());
                    if (sweep > 0) std::reverse(figure_.points.end() - static_cast<std::ptrdiff_t>(inner_.size()), figure_.points.end());
                    figure_.EndContour();
                }
            } else {
                if (inner_.size() < path_.size()) inner_.assign(1, centre);
                contour_.insert(contour_.end(), inner_.rbegin(), inner_.rend());
                AddCounterClockwise(figure_, contour_);
                const std::vector<SurfacePoint>& cap = Cap(half, tolerance);
                AddCircleAround(figure_, from, cap);
                AddCircleAround(figure_, to, cap);
            }
            figure_.EndPart(FillRule::NonZero, false);
            Emit(o, m);
        } else {
            // Any other aperture: its outline swept along each straight piece.
            Mapped(m, [&](auto map) {
                for (std::size_t k = 1; k < path_.size(); ++k)
                    AddSweptHullMapped(figure_, shape.hull, shape.hullEdges, path_[k - 1], path_[k], map);
            });
            figure_.EndPart(FillRule::NonZero, false);
            sink_.Object(o, figure_);
        }
    }

    // The disc at the ends of round arcs, computed once for each radius and
    // tolerance.
    const std::vector<SurfacePoint>& Cap(double radius, double tolerance) {
        for (const CapCircle& c : caps_)
            if (c.radius == radius && c.tolerance == tolerance) return c.offsets;
        if (caps_.size() >= kMostCaps) caps_.clear();
        caps_.push_back({radius, tolerance, CircleOffsets(radius, tolerance)});
        return caps_.back().offsets;
    }

    void EndRegion() {
        figure_.Clear();
        if (!region_.Fill(figure_)) return;
        ImageObject o;
        o.kind = ObjectKind::Region;
        Emit(o, Map());
    }

    const InputBlockList& blocks_;
    const ImageView& view_;
    ImageSink& sink_;
    Dialogs& dialogs_;
    ParameterTextCollector collector_;
    GraphicsState s_;
    RegionContours region_;
    std::optional<Repeat> repeat_;
    SurfacePoint offset_{0, 0};  // of the step-and-repeat copy being drawn
    CountsMap map_{1, true};
    bool mapStale_ = true;
    std::size_t next_ = 0;
    bool ended_ = false;
    bool undefinedShown_ = false;
    bool undrawableShown_ = false;
    std::vector<std::string> pending_;
    static constexpr std::size_t kMostMergedMacros = 10000;
    std::vector<std::string> merged_;  // one-line macros without their stars
    FilledFigure figure_;
    std::vector<SurfacePoint> path_, contour_, inner_;
    struct CapCircle {
        double radius, tolerance;
        std::vector<SurfacePoint> offsets;
    };
    static constexpr std::size_t kMostCaps = 64;
    std::vector<CapCircle> caps_;
};

}  // namespace

bool DefinesApertures(const InputBlockList& blocks, InputSeparator separator) {
    ParameterTextCollector collector(separator);
    for (std::size_t k = 0; k < blocks.blockCount(); ++k) {
        for (const std::string& text : collector.Take(blocks[k])) {
            std::string_view t = text;
            while (!t.empty() && (t.front() == '\r' || t.front() == '\n' || t.front() == ' ')) t.remove_prefix(1);
            if (t.starts_with("AD")) return true;
        }
    }
    return false;
}

void WalkImage(const InputBlockList& blocks, InputSeparator separator, const ImageView& view,
               ImageSink& sink, Dialogs& dialogs) {
    ImageWalker(blocks, separator, view, sink, dialogs).Run();
}

}  // namespace mutaplot::gerber
