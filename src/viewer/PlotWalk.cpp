#include "viewer/PlotWalk.h"

#include "gerber/ParameterStream.h"
#include "input/ParameterBlocks.h"
#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace mutaplot {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// D blocks numbered below this cannot select an aperture: the blocks were
// most likely cut at the wrong separator.
constexpr double kLowestApertureDCode = 9.0;

// 1-based position of the first `letter` in `text`, 0 when absent.
std::size_t Position(std::string_view text, char letter) noexcept {
    const std::size_t p = text.find(letter);
    return p == kNone ? 0 : p + 1;
}

// Characters `from` … `to` (1-based, inclusive). A run of negative length
// means the words were not in the expected order: no value.
std::optional<std::string_view> Characters(std::string_view text, std::size_t from,
                                           std::size_t to) noexcept {
    if (from == 0 || to + 1 < from || to > text.size()) return std::nullopt;
    return text.substr(from - 1, to + 1 - from);
}

// A coordinate word's value: an empty text stands for `current`, otherwise
// the number at the start of the text in the reading format (what follows
// is ignored).
std::optional<double> CoordinateValue(std::optional<std::string_view> text, double current,
                                      const CountReader& reader) {
    if (!text) return std::nullopt;
    if (text->empty()) return current;
    return reader.Read(*text);
}

// An I or J word's value: empty gives 0.
std::optional<double> OffsetValue(std::optional<std::string_view> text, const CountReader& reader) {
    if (!text) return std::nullopt;
    if (text->empty()) return 0.0;
    return reader.Read(*text);
}

// The sweep in degrees, [0, 360), from `from` to `to` (radians) in the
// block's direction.
double SweepDegrees(double from, double to, bool clockwise) noexcept {
    double sweep = (clockwise ? from - to : to - from) * 180.0 / std::numbers::pi;
    sweep = std::fmod(sweep, 360.0);
    return sweep < 0 ? sweep + 360.0 : sweep;
}

double VectorAngle(double u, double v, double previous) noexcept {
    constexpr double kDegrees = 180.0;
    if (u > 0 && v == 0) return 0.0;
    if (u > 0 && v > 0) return std::atan(std::fabs(v) / std::fabs(u)) * kDegrees / kArcAnglePi;
    if (u == 0 && v > 0) return 90.0;
    if (u < 0 && v > 0) return 90.0 + std::atan(std::fabs(u) / std::fabs(v)) * kDegrees / kArcAnglePi;
    if (u < 0 && v == 0) return 180.0;
    if (u < 0 && v < 0) return 180.0 + std::atan(std::fabs(v) / std::fabs(u)) * kDegrees / kArcAnglePi;
    if (u == 0 && v < 0) return 270.0;
    if (u > 0 && v < 0) return 270.0 + std::atan(std::fabs(u) / std::fabs(v)) * kDegrees / kArcAnglePi;
    return previous;
}

// Whether a run of digits in the block (its integer part) is beyond the
// range of a double: such a number would otherwise read as 0.
bool HasNumberBeyondDoubleRange(std::string_view block) noexcept {
    constexpr std::size_t kSafeDigits = 300;  // 10^300 is well within range
    std::size_t i = 0;
    while (i < block.size()) {
        if (block[i] < '0' || block[i] > '9') {
            ++i;
            continue;
        }
        while (i < block.size() && block[i] == '0') ++i;
        const std::size_t start = i;
        while (i < block.size() && block[i] >= '0' && block[i] <= '9') ++i;
        if (i - start > kSafeDigits) {
            double value = 0;
            const auto r = std::from_chars(block.data() + start, block.data() + i, value);
            if (r.ec == std::errc::result_out_of_range) return true;
        }
    }
    return false;
}

bool IsArcCode(std::string_view g) noexcept { return g == "G02" || g == "G03"; }

class Walker {
public:
    Walker(const InputBlockList& blocks, const ApertureTable& table, PlotRecords& records,
           const WalkRules& rules, PlotSink& sink, Dialogs& dialogs)
        : blocks_(blocks), table_(table), r_(records), rules_(rules), sink_(sink),
          dialogs_(dialogs), reader_(records.transform.fileFormat) {
        work_.reserve(128);
    }

    WalkEnd Run() {
        std::string_view block;
        while (TakeData(block)) {
            if (Unreadable(block)) continue;
            switch (Decode(block)) {
            case Step::Next: break;
            case Step::EndCompleted: return WalkEnd::Completed;
            case Step::EndRelative: return WalkEnd::Relative;
            }
        }
        return WalkEnd::Completed;
    }

private:
    enum class Step { Next, EndCompleted, EndRelative };

    // A block with a number beyond a double's range is passed over, told
    // once per walk; `next_` is then the block's 1-based number.
    bool Unreadable(std::string_view block) {
        if (!HasNumberBeyondDoubleRange(block)) return false;
        if (!unreadableShown_) {
            unreadableShown_ = true;
            ShowCheckMessage(dialogs_, UnreadableNumberMessage(next_));
        }
        return true;
    }

    // The next block that holds data, with its parameter blocks removed as
    // the converter removes them ("%G54D11" after "%ADD11C,0.1" selects D11);
    // blocks that hold none are passed over. False at the end of the list.
    // Format and mode statements on the way change how the following
    // numbers are read.
    bool TakeData(std::string_view& block) {
        const std::size_t count = blocks_.blockCount();
        while (next_ < count) {
            for (const std::string& text : parameters_.Take(blocks_[next_])) AdoptStatements(text);
            ++next_;
            if (parameters_.part() == BlockPart::Data) {
                block = parameters_.text();
                return true;
            }
        }
        return false;
    }

    void AdoptStatements(std::string_view parameterText) {
        const FormatStatements found = FindFormatStatements(parameterText);
        if (!found.format && !found.mode) return;
        FileFormat reading = reader_.reading();
        if (found.format) ApplyFormatStatement(*found.format, reading);
        if (found.mode) ApplyModeStatement(*found.mode, reading);
        reader_.SetReading(reading);
    }

    Step Decode(std::string_view block) {
        for (;;) {
            if (block.empty()) return Step::Next;
            switch (block.front()) {
            case 'G': {
                const std::string_view g3 = block.substr(0, 3);
                if (g3 == "G54") {  // aperture-select prefix: decode the rest alone
                    block.remove_prefix(3);
                    continue;
                }
                return DecodeG(block, g3);
            }
            case 'D': return DecodeD(block);
            case 'X': return DecodeX(block);
            case 'Y': return DecodeY(block);
            default: return Step::Next;
            }
        }
    }

    // Copies the block into the work buffer and appends the modal D code when
    // it has no D word. Returns the 1-based position of its D code.
    std::size_t WithModalDCode(std::string_view block) {
        work_.assign(block);
        const std::size_t d = Position(block, 'D');
        if (d != 0) return d;
        work_ += r_.plot.modalDCode;
        return block.size() + 1;
    }

    Step DecodeG(std::string_view block, std::string_view g3) {
        if (g3 == "G91") {
            if (!rules_.stopAtRelative) return Step::Next;
            ShowCheckMessage(dialogs_, kRelativeDataMessage);
            return Step::EndRelative;
        }
        if (IsArcCode(g3)) {
            // The code is kept apart from the block: taking the next block
            // may reuse the text the block was read from.
            const std::string_view code = g3 == "G02" ? "G02" : "G03";
            std::string_view arcBlock = block;
            if (block.size() == 3) {
                // A bare G02/G03 takes the next block as its arc; as the last
                // block it has none and ends the walk.
                if (!TakeData(arcBlock)) return Step::EndCompleted;
                if (Unreadable(arcBlock)) return Step::Next;
            }
            work_.assign(arcBlock);
            Arc(code);
            return Step::Next;
        }
        if (g3 == "G74" || g3 == "G75") {
            singleQuadrant_ = g3 == "G74";
            return Step::Next;
        }
        if (g3 == "G01") {
            const std::size_t d = WithModalDCode(block);
            const std::string_view b = work_;
            const std::size_t x = Position(b, 'X');
            const std::size_t y = Position(b, 'Y');
            std::optional<double> xv, yv;
            if (x != 0 && y != 0) {
                xv = CoordinateValue(Characters(b, x + 1, y - 1), r_.plot.currentX, reader_);
                yv = CoordinateValue(Characters(b, y + 1, d - 1), r_.plot.currentY, reader_);
            } else if (x != 0) {
                xv = CoordinateValue(Characters(b, x + 1, d - 1), r_.plot.currentX, reader_);
                yv = r_.plot.currentY;
            } else if (y != 0) {
                xv = r_.plot.currentX;
                yv = CoordinateValue(Characters(b, y + 1, d - 1), r_.plot.currentY, reader_);
            } else {
                return Step::Next;
            }
            if (!xv || !yv) return Step::Next;
            Stroke(*xv, *yv, b.substr(d - 1));
            r_.currentGCode = "G01";
            return Step::Next;
        }
        return Step::Next;
    }

    Step DecodeD(std::string_view block) {
        PlotState& plot = r_.plot;
        if (block == "D03") {
            plot.modalDCode = "D03";
            if (!plot.xText) plot.xText = plot.currentX;
            if (!plot.yText) plot.yText = plot.currentY;
            sink_.Block("D03");
            return Step::Next;
        }
        if (block == "D02" || block == "D01") {
            plot.modalDCode = block;
            return Step::Next;
        }
        const std::string_view number = block.substr(1);
        plot.modalDCode = number;
        if (rules_.checkSeparatorDCode) {
            const auto value = ParseDecimal(number);
            if (!value || *value < kLowestApertureDCode) {
                ShowCheckMessage(dialogs_, kSeparatorMismatchMessage);
                return Step::EndCompleted;
            }
        }
        if (auto pen = SelectAperture(number, table_, r_, dialogs_)) sink_.SetPenWidth(*pen);
        return Step::Next;
    }

    Step DecodeX(std::string_view block) {
        const std::size_t d = WithModalDCode(block);
        const std::string_view b = work_;
        if (IsArcCode(r_.currentGCode) && (b.find('I') != kNone || b.find('J') != kNone)) {
            // The arc is read from the block's own text: an appended modal
            // code that is a bare aperture number ("10") would otherwise be
            // read as more digits of the last offset (J-100 → J-10010). An
            // appended D01/D02/D03 ends the offset anyway.
            work_.assign(block);
            const std::string g = r_.currentGCode;
            Arc(g);
            return Step::Next;
        }
        const std::size_t y = Position(b, 'Y');
        std::optional<double> xv, yv;
        if (y == 0) {
            xv = CoordinateValue(Characters(b, 2, d - 1), r_.plot.currentX, reader_);
            yv = r_.plot.currentY;
        } else {
            xv = CoordinateValue(Characters(b, 2, y - 1), r_.plot.currentX, reader_);
            yv = CoordinateValue(Characters(b, y + 1, d - 1), r_.plot.currentY, reader_);
        }
        if (!xv || !yv) return Step::Next;
        Stroke(*xv, *yv, b.substr(d - 1));
        return Step::Next;
    }

    Step DecodeY(std::string_view block) {
        const std::size_t d = WithModalDCode(block);
        const std::string_view b = work_;
        const auto yv = CoordinateValue(Characters(b, 2, d - 1), r_.plot.currentY, reader_);
        if (!yv) return Step::Next;
        Stroke(r_.plot.currentX, *yv, b.substr(d - 1));
        return Step::Next;
    }

    // A coordinate block: the D word (and what follows it) becomes the modal
    // D code and the event's D code; the current point moves to the end.
    void Stroke(double x, double y, std::string_view dCode) {
        PlotState& plot = r_.plot;
        plot.modalDCode.assign(dCode);
        plot.xText = x;
        plot.yText = y;
        sink_.Block(plot.modalDCode);
        plot.currentX = x;
        plot.currentY = y;
    }

    // The arc block is in work_.
    void Arc(std::string_view gCode) {
        PlotState& plot = r_.plot;
        if (!ParseArcBlock(work_, plot, r_.arc, reader_)) return;
        if (singleQuadrant_) ReadSingleQuadrantArc(gCode, plot, r_.arc);
        ArcStartAngle(r_.arc);
        ArcEndAngle(r_.arc, *plot.xText, *plot.yText);
        sink_.Arc(gCode);
        plot.currentX = *plot.xText;
        plot.currentY = *plot.yText;
        r_.currentGCode.assign(gCode);
    }

    const InputBlockList& blocks_;
    const ApertureTable& table_;
    PlotRecords& r_;
    const WalkRules& rules_;
    PlotSink& sink_;
    Dialogs& dialogs_;
    CountReader reader_;  // the file's format as the walk has met it so far
    // G74 (single quadrant) is in force until a block beginning "G75".
    bool singleQuadrant_ = true;
    // Every "%" counted as the converter counts it; the separator plays no
    // part in finding format and mode statements.
    gerber::ParameterTextCollector parameters_{InputSeparator::NotSet};
    std::size_t next_ = 0;  // the next block of the list to take
    std::string work_;
    bool unreadableShown_ = false;
};

}  // namespace

std::string UnreadableNumberMessage(std::size_t firstNumber) {
    return "数値が大きすぎて読み取れないブロックがあります（最初は" + std::to_string(firstNumber) +
           "番目のブロックです）。これらのブロックは描画しませんでした。";
}

bool ParseArcBlock(std::string_view a, PlotState& plot, ArcGeometry& arc,
                   const CountReader& reader) {
    const std::size_t x = Position(a, 'X');
    const std::size_t y = Position(a, 'Y');
    const std::size_t i = Position(a, 'I');
    const std::size_t j = Position(a, 'J');
    std::size_t d = Position(a, 'D');
    if (d == 0) d = a.size() + 1;
    if (i == 0 && j == 0) return false;
    const std::size_t k = i != 0 ? i : j;

    // An absent coordinate keeps the previous value (the current point's).
    double xv = plot.xText.value_or(plot.currentX);
    double yv = plot.yText.value_or(plot.currentY);
    if (x != 0 && y != 0) {
        const auto xs = CoordinateValue(Characters(a, x + 1, y - 1), plot.currentX, reader);
        const auto ys = CoordinateValue(Characters(a, y + 1, k - 1), plot.currentY, reader);
        if (!xs || !ys) return false;
        xv = *xs;
        yv = *ys;
    } else if (x != 0) {
        const auto xs = CoordinateValue(Characters(a, x + 1, k - 1), plot.currentX, reader);
        if (!xs) return false;
        xv = *xs;
    } else if (y != 0) {
        const auto ys = CoordinateValue(Characters(a, y + 1, k - 1), plot.currentY, reader);
        if (!ys) return false;
        yv = *ys;
    }

    std::optional<double> iv = 0.0, jv = 0.0;
    if (i != 0 && j != 0) {
        iv = OffsetValue(Characters(a, i + 1, j - 1), reader);
        jv = OffsetValue(Characters(a, j + 1, d - 1), reader);
    } else if (i != 0) {
        iv = OffsetValue(Characters(a, i + 1, d - 1), reader);
    } else {
        jv = OffsetValue(Characters(a, j + 1, d - 1), reader);
    }
    if (!iv || !jv) return false;

    plot.xText = xv;
    plot.yText = yv;
    arc.offsetI = *iv;
    arc.offsetJ = *jv;
    arc.centreX = plot.currentX + arc.offsetI;
    arc.centreY = plot.currentY + arc.offsetJ;
    arc.radius = std::sqrt(arc.offsetI * arc.offsetI + arc.offsetJ * arc.offsetJ);
    return true;
}

bool ReadSingleQuadrantArc(std::string_view gCode, const PlotState& plot, ArcGeometry& arc) {
    const double sx = plot.currentX, sy = plot.currentY;
    const double ex = plot.xText.value_or(sx), ey = plot.yText.value_or(sy);
    const double startRadius = std::hypot(arc.offsetI, arc.offsetJ);
    const double endRadius = std::hypot(ex - arc.centreX, ey - arc.centreY);
    const double larger = std::max(startRadius, endRadius);
    if (!(std::fabs(startRadius - endRadius) > kSignedArcRadiusTolerance * larger)) return false;

    // The four centres start ± |I|, start ± |J|: the end radius closest to
    // the start radius wins; among equals, the smallest sweep in the block's
    // direction (one of at most 90° where there is one).
    const bool clockwise = gCode == "G02";
    const double ai = std::fabs(arc.offsetI), aj = std::fabs(arc.offsetJ);
    const double tie = 1e-9 * std::max(startRadius, 1.0);
    double bestI = 0, bestJ = 0, bestMiss = 0, bestSweep = 0;
    bool found = false;
    for (const double i : {ai, -ai}) {
        for (const double j : {aj, -aj}) {
            const double miss = std::fabs(std::hypot(ex - sx - i, ey - sy - j) - startRadius);
            const double sweep = SweepDegrees(std::atan2(-j, -i),
                                              std::atan2(ey - sy - j, ex - sx - i), clockwise);
            const bool better = !found || miss < bestMiss - tie ||
                                (miss <= bestMiss + tie && sweep < bestSweep);
            if (!better) continue;
            found = true;
            bestI = i;
            bestJ = j;
            bestMiss = miss;
            bestSweep = sweep;
        }
    }
    arc.offsetI = bestI;
    arc.offsetJ = bestJ;
    arc.centreX = sx + bestI;
    arc.centreY = sy + bestJ;
    arc.radius = startRadius;
    return true;
}

void ArcStartAngle(ArcGeometry& arc) noexcept {
    arc.startAngle = VectorAngle(-arc.offsetI, -arc.offsetJ, arc.startAngle);
}

void ArcEndAngle(ArcGeometry& arc, double endX, double endY) noexcept {
    arc.endAngle = VectorAngle(endX - arc.centreX, endY - arc.centreY, arc.endAngle);
}

void PrepareWalk(const ViewControls& controls, const FileFormat& format, PlotRecords& records) {
    ComputeViewScale(controls.zoomText, format, controls.offsetXText, controls.offsetYText,
                     records.transform);
    records.plot.currentX = 0;
    records.plot.currentY = 0;
    records.plot.modalDCode.clear();
}

WalkEnd WalkBlocks(const InputBlockList& blocks, const ApertureTable& table,
                   PlotRecords& records, const WalkRules& rules, PlotSink& sink,
                   Dialogs& dialogs) {
    return Walker(blocks, table, records, rules, sink, dialogs).Run();
}

}  // namespace mutaplot
