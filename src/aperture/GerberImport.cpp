#include "aperture/GerberImport.h"

#include "aperture/ColmoImport.h"
#include "gerber/ParameterStream.h"
#include "input/BlockReader.h"
#include "platform/WholeFile.h"
#include "settings/NumberText.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <variant>

namespace mutaplot {

namespace {

using gerber::ApertureDefinition;
using gerber::ApertureMacro;
using gerber::MacroPrimitive;
using gerber::MacroVariable;
using gerber::ParameterBlock;

// Primitive codes of an aperture macro.
enum PrimitiveCode : int {
    kComment = 0, kCircle = 1, kVectorLineOld = 2, kOutline = 4, kPolygon = 5, kMoire = 6,
    kThermal = 7, kVectorLine = 20, kCentreLine = 21, kLowerLeftLine = 22
};

struct Point {
    double x, y;
};

Point Rotated(double x, double y, double degrees) noexcept {
    if (degrees == 0) return {x, y};
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    return {x * c - y * s, x * s + y * c};
}

// Grows a centred half extent so that it holds a box of half sizes (rx, ry)
// around a point.
class ExtentBuilder {
public:
    void Cover(Point p, double rx, double ry) noexcept {
        const double x = std::fabs(p.x) + std::fabs(rx);
        const double y = std::fabs(p.y) + std::fabs(ry);
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        extent_.x = std::max(extent_.x, x);
        extent_.y = std::max(extent_.y, y);
        any_ = true;
    }
    std::optional<HalfExtent> Result() const {
        if (!any_ || (extent_.x <= 0 && extent_.y <= 0)) return std::nullopt;
        return extent_;
    }

private:
    HalfExtent extent_;
    bool any_ = false;
};

void CoverPrimitive(const MacroPrimitive& p, const std::vector<double>& vars, ExtentBuilder& out) {
    auto arg = [&](std::size_t k) {
        return k < p.modifiers.size() ? p.modifiers[k].Evaluate(vars) : 0.0;
    };
    // Exposure 0 clears: it takes nothing away from the bound, adds nothing.
    auto dark = [&] { return arg(0) != 0; };
    switch (p.code) {
    case kCircle:
        if (dark()) out.Cover(Rotated(arg(2), arg(3), arg(4)), arg(1) / 2, arg(1) / 2);
        break;
    case kVectorLineOld:
    case kVectorLine:
        if (!dark()) break;
        // Every point of the line lies within half its width of the segment.
        out.Cover(Rotated(arg(2), arg(3), arg(6)), arg(1) / 2, arg(1) / 2);
        out.Cover(Rotated(arg(4), arg(5), arg(6)), arg(1) / 2, arg(1) / 2);
        break;
    case kCentreLine:
    case kLowerLeftLine: {
        if (!dark()) break;
        const double w = arg(1), h = arg(2);
        const double x0 = p.code == kCentreLine ? arg(3) - w / 2 : arg(3);
        const double y0 = p.code == kCentreLine ? arg(4) - h / 2 : arg(4);
        const Point corners[] = {{x0, y0}, {x0 + w, y0}, {x0, y0 + h}, {x0 + w, y0 + h}};
        for (const Point c : corners) out.Cover(Rotated(c.x, c.y, arg(5)), 0, 0);
        break;
    }
    case kOutline: {
        if (!dark() || p.modifiers.size() < 4) break;
        // Points follow the count; the rotation follows the points. A count
        // beyond the modifiers given is held to what is there.
        const std::size_t pairs = (p.modifiers.size() - 2) / 2;
        const double wanted = arg(1) + 1;
        const std::size_t n = wanted >= 1 && wanted < static_cast<double>(pairs)
                                  ? static_cast<std::size_t>(wanted)
                                  : pairs;
        const double rotation = arg(2 + 2 * n);
        for (std::size_t k = 0; k < n; ++k)
            out.Cover(Rotated(arg(2 + 2 * k), arg(3 + 2 * k), rotation), 0, 0);
        break;
    }
    case kPolygon:
        if (dark()) out.Cover(Rotated(arg(2), arg(3), arg(5)), arg(4) / 2, arg(4) / 2);
        break;
    case kMoire: {
        // Outer circle or cross hair (length × thickness), whichever reaches further.
        const double r = std::max(std::fabs(arg(2)) / 2, std::hypot(arg(7) / 2, arg(6) / 2));
        out.Cover(Rotated(arg(0), arg(1), arg(8)), r, r);
        break;
    }
    case kThermal:
        out.Cover(Rotated(arg(0), arg(1), arg(5)), arg(2) / 2, arg(2) / 2);
        break;
    default:  // comments, unknown codes
        break;
    }
}

// The notes' texts, in report order.
const char* NoteText(GerberApproximation a) {
    switch (a) {
    case GerberApproximation::ObroundAsBox: return "長円（O）は外接する矩形（□）として取り込みました";
    case GerberApproximation::PolygonAsCircle: return "多角形（P）は外接円（○）として取り込みました";
    case GerberApproximation::MacroAsBox:
        return "マクロは全体を囲む矩形（□、大きめの概算）として取り込みました";
    case GerberApproximation::HoleDropped: return "穴はアパーチャ・リストに入らないため省きました";
    case GerberApproximation::OutOfRange: return "D10～D500の範囲外のため取り込みませんでした";
    case GerberApproximation::UnknownMacro: return "定義されていないマクロのため取り込みませんでした";
    case GerberApproximation::Unreadable: return "寸法が読めないため取り込みませんでした";
    case GerberApproximation::Count: break;
    }
    return "";
}

bool UsableSize(double v) noexcept { return std::isfinite(v) && v >= 0; }

class Planner {
public:
    explicit Planner(GerberImport& out) : out_(out) {}

    void Take(const ParameterBlock& block) {
        switch (block.kind) {
        case ParameterBlock::Kind::Mode:
            if (!modeSeen_ && block.mode) {
                modeSeen_ = true;
                out_.inch = *block.mode == Unit::Inch;
            }
            break;
        case ParameterBlock::Kind::ApertureMacro:
            if (block.macro) macros_[block.macro->name] = *block.macro;
            break;
        case ParameterBlock::Kind::ApertureDefinition:
            if (block.aperture) Define(*block.aperture);
            break;
        default: break;
        }
    }

private:
    void Note(GerberApproximation a, int dCode) {
        std::vector<int>& codes = out_.notes[a];
        if (std::find(codes.begin(), codes.end(), dCode) == codes.end()) codes.push_back(dCode);
    }

    void Define(const ApertureDefinition& ad) {
        ++out_.definitions;
        const int d = ad.dCode;
        if (d < kFirstDCode || d > kLastDCode) {
            Note(GerberApproximation::OutOfRange, d);
            return;
        }
        const std::vector<double>& m = ad.modifiers;
        auto size = [&m](std::size_t k) { return k < m.size() ? m[k] : -1.0; };
        auto hole = [&](std::size_t k) {
            if (k < m.size() && m[k] > 0) Note(GerberApproximation::HoleDropped, d);
        };
        GerberImportEntry e;
        e.dCode = d;
        const std::string& t = ad.templateName;
        if (t == "C") {
            e.sizeX = e.sizeY = size(0);
            e.shape = kShapeRound;
            hole(1);
        } else if (t == "R" || t == "O") {
            e.sizeX = size(0);
            e.sizeY = size(1);
            e.shape = kShapeRectangle;
            if (t == "O") Note(GerberApproximation::ObroundAsBox, d);
            hole(2);
        } else if (t == "P") {
            e.sizeX = e.sizeY = size(0);
            e.shape = kShapeRound;
            Note(GerberApproximation::PolygonAsCircle, d);
            hole(3);
        } else {
            const auto macro = macros_.find(t);
            if (macro == macros_.end()) {
                Note(GerberApproximation::UnknownMacro, d);
                return;
            }
            const auto extent = MacroExtent(macro->second, m);
            if (!extent) {
                Note(GerberApproximation::Unreadable, d);
                return;
            }
            e.sizeX = 2 * extent->x;
            e.sizeY = 2 * extent->y;
            e.shape = kShapeRectangle;
            Note(GerberApproximation::MacroAsBox, d);
        }
        if (!UsableSize(e.sizeX) || !UsableSize(e.sizeY)) {
            Note(GerberApproximation::Unreadable, d);
            return;
        }
        out_.entries.push_back(e);
    }

    GerberImport& out_;
    std::map<std::string, ApertureMacro, std::less<>> macros_;
    bool modeSeen_ = false;
};

std::string DCodeList(const std::vector<int>& codes) {
    std::string text;
    for (int d : codes) {
        if (!text.empty()) text += ", ";
        text += "D" + std::to_string(d);
    }
    return text;
}

}  // namespace

std::optional<HalfExtent> MacroExtent(const ApertureMacro& macro,
                                      const std::vector<double>& modifiers) {
    std::vector<double> vars(modifiers);
    ExtentBuilder extent;
    for (const gerber::MacroStatement& statement : macro.body) {
        if (const auto* v = std::get_if<MacroVariable>(&statement)) {
            if (v->index < 1 || v->index > gerber::Expression::kMaxVariable) continue;
            const double value = v->value.Evaluate(vars);
            if (vars.size() < static_cast<std::size_t>(v->index))
                vars.resize(static_cast<std::size_t>(v->index), 0.0);
            vars[static_cast<std::size_t>(v->index - 1)] = value;
            continue;
        }
        CoverPrimitive(std::get<MacroPrimitive>(statement), vars, extent);
    }
    return extent.Result();
}

GerberImport ReadGerberApertures(std::string_view bytes) {
    GerberImport out;
    Planner planner(out);
    gerber::ParameterTextCollector parameters(InputSeparator::Lf);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        for (const std::string& text : parameters.Take(bytes.substr(start, end - start)))
            planner.Take(gerber::ParseParameterBlock(text));
        start = end + 1;
    }
    return out;
}

std::size_t ApplyGerberImport(const GerberImport& import, ApertureTable& table) {
    std::size_t written = 0;
    for (const GerberImportEntry& e : import.entries) {
        const auto index = static_cast<std::size_t>(e.dCode - kFirstDCode);
        if (e.dCode < kFirstDCode || index >= table.entries.size()) continue;
        ApertureEntry& entry = table.entries[index];
        entry.sizeX = FormatDecimal(e.sizeX);
        entry.sizeY = FormatDecimal(e.sizeY);
        entry.connectWidth = "0";
        entry.shape = e.shape;
        ++written;
    }
    return written;
}

std::string GerberImportReport(const GerberImport& import, std::size_t written) {
    if (import.notes.empty() && !import.inch) return {};
    std::string text = "RS-274Xのアパーチャ定義から" + std::to_string(written) + "件取り込みました。";
    if (import.inch) text += "\n寸法はファイルの単位（インチ）のまま書き込みました。";
    for (int k = 0; k < static_cast<int>(GerberApproximation::Count); ++k) {
        const auto a = static_cast<GerberApproximation>(k);
        const auto found = import.notes.find(a);
        if (found == import.notes.end()) continue;
        text += "\n";
        text += NoteText(a);
        text += "：";
        text += DCodeList(found->second);
    }
    return text;
}

GerberImportOutcome ImportGerberApertures(const std::filesystem::path& path, ApertureTable& table,
                                          Dialogs& dialogs, Pointer& pointer) {
    std::optional<std::string> bytes;
    GerberImport import;
    std::size_t written = 0;
    {
        BusyPointer busy(pointer);
        bytes = ReadWholeFile(path, kMaxInputFileBytes);  // a Gerber file: the input's limit
        if (bytes) {
            import = ReadGerberApertures(*bytes);
            written = ApplyGerberImport(import, table);
        }
    }
    if (!bytes) {
        ShowCheckMessage(dialogs, kReportCannotOpenMessage);
        return GerberImportOutcome::CannotOpen;
    }
    if (import.definitions == 0) {
        ShowCheckMessage(dialogs, kNoApertureDefinitionsMessage);
        return GerberImportOutcome::NoDefinitions;
    }
    const std::string report = GerberImportReport(import, written);
    if (!report.empty()) ShowCheckMessage(dialogs, report);
    return GerberImportOutcome::Imported;
}

}  // namespace mutaplot
