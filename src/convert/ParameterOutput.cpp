#include "convert/ParameterOutput.h"

#include "gerber/ParameterBlock.h"
#include "gerber/UnitScale.h"

namespace mutaplot {

namespace {

ZeroMode ZeroModeOf(gerber::ZeroOmission zeros) noexcept {
    switch (zeros) {
        case gerber::ZeroOmission::Trailing: return ZeroMode::TrailingOmitted;
        case gerber::ZeroOmission::None: return ZeroMode::NoneOmitted;
        default: return ZeroMode::LeadingOmitted;
    }
}

// The format code whose digits these are, whatever its unit (the digit
// pairs of the eleven codes all differ), or nullptr.
const CoordinateFormat* CodeOfDigits(const gerber::FormatStatement& f) noexcept {
    if (!f.SameForBothAxes()) return nullptr;
    for (const CoordinateFormat& c : kCoordinateFormats)
        if (c.integerDigits == f.xInteger && c.decimalDigits == f.xDecimal) return &c;
    return nullptr;
}

// Decimals of the output format; lengths keep six when it is not set.
int FormatDecimalsOf(int code) noexcept {
    const CoordinateFormat* f = FindCoordinateFormat(code);
    return f ? f->decimalDigits : 6;
}

std::string_view StatementCode(std::string_view statement) noexcept {
    const std::size_t k = statement.find_first_not_of(" \t");
    return k == std::string_view::npos ? std::string_view{} : statement.substr(k, 2);
}

}  // namespace

Unit ParameterOutput::InputUnit() const noexcept {
    return own_ ? own_->unit : CodeAs<Unit>(settings_.inputUnit);
}

void ParameterOutput::Resolve() {
    own_.reset();
    incremental_ = format_ && format_->incremental;
    const CoordinateFormat* current = FindCoordinateFormat(settings_.inputFormat);
    gerber::FormatStatement f;
    if (format_) {
        f = *format_;
    } else if (current) {
        f.xInteger = f.yInteger = current->integerDigits;
        f.xDecimal = f.yDecimal = current->decimalDigits;
    } else {
        return;  // no digits known: the settings rule (and fail) as before
    }
    // The unit: the file's own, else that of the code the digits name,
    // else the settings'.
    Unit unit = CodeAs<Unit>(settings_.inputUnit);
    if (unit_) unit = *unit_;
    else if (const CoordinateFormat* byDigits = CodeOfDigits(f)) unit = byDigits->unit;
    const ZeroMode zeros = format_ ? ZeroModeOf(format_->zeros) : CodeAs<ZeroMode>(settings_.inputZeroMode);
    if (format_) settings_.inputZeroMode = StoredCode(zeros);
    if (const int code = gerber::FormatCodeFor(f, unit)) {
        settings_.inputFormat = static_cast<std::uint8_t>(code);
        settings_.inputUnit = StoredCode(unit);
        return;
    }
    OwnInputFormat own;
    own.integerDigits[0] = f.xInteger;
    own.integerDigits[1] = f.yInteger;
    own.decimalDigits[0] = f.xDecimal;
    own.decimalDigits[1] = f.yDecimal;
    own.unit = unit;
    own.zeros = zeros;
    own_ = own;
}

bool ParameterOutput::Take(std::string_view text, std::size_t number, ConverterState& state) {
    bool formatRead = false;
    if (StatementCode(text) == "AM") {
        // A macro's statements all belong to it.
        if (keep_) {
            auto scaled = gerber::ScaleParameterText(text, InputUnit(),
                                                     CodeAs<Unit>(settings_.outputUnit),
                                                     FormatDecimalsOf(settings_.outputFormat));
            if (!scaled && state.unconvertedCount++ == 0) state.firstUnconverted = number;
            Queue(scaled ? std::string_view(*scaled) : text, true);
        }
        return false;
    }
    std::string kept;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('*', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view statement = text.substr(start, end - start);
        if (statement.find_first_not_of(" \t") != std::string_view::npos)
            TakeStatement(statement, number, state, formatRead, kept);
        start = end + 1;
    }
    if (keep_ && !kept.empty()) Queue(kept, false);
    return formatRead;
}

void ParameterOutput::TakeStatement(std::string_view statement, std::size_t number,
                                    ConverterState& state, bool& formatRead, std::string& kept) {
    const std::string_view code = StatementCode(statement);
    const bool headerOn = CodeAs<Switch>(settings_.outputHeader) == Switch::On;
    if (code == "FS") {
        if (auto f = gerber::ParseFormatStatement(statement)) {
            format_ = *f;
            formatRead = true;
            Resolve();
        }
        // The output's own statement replaces it.
        if (keep_ && !headerOn) {
            if (const CoordinateFormat* out = FindCoordinateFormat(settings_.outputFormat)) {
                const ZeroMode zeros = CodeAs<ZeroMode>(settings_.outputZeroMode);
                const char letter = zeros == ZeroMode::TrailingOmitted ? 'T'
                                    : zeros == ZeroMode::NoneOmitted   ? 'D'
                                                                       : 'L';
                const std::string digits = std::to_string(out->integerDigits) +
                                           std::to_string(out->decimalDigits);
                kept += "FS";
                kept += letter;
                kept += "AX" + digits + "Y" + digits + "*";
            }
        }
        return;
    }
    if (code == "MO") {
        if (auto unit = gerber::ParseModeStatement(statement)) {
            unit_ = *unit;
            Resolve();
        }
        if (keep_ && !headerOn) {
            const Unit out = CodeAs<Unit>(settings_.outputUnit);
            if (out == Unit::Millimetre) kept += "MOMM*";
            else if (out == Unit::Inch) kept += "MOIN*";
        }
        return;
    }
    if (!keep_) return;
    std::string whole(statement);
    whole.push_back('*');
    auto scaled = gerber::ScaleParameterText(whole, InputUnit(), CodeAs<Unit>(settings_.outputUnit),
                                             FormatDecimalsOf(settings_.outputFormat));
    if (!scaled && state.unconvertedCount++ == 0) state.firstUnconverted = number;
    kept += scaled ? *scaled : whole;
}

void ParameterOutput::Queue(std::string_view text, bool macro) {
    if (!macro) {
        queued_.push_back("%" + std::string(text) + "%");
        return;
    }
    // One line per statement; "%" before the first and after the last.
    std::size_t start = 0;
    const std::size_t first = queued_.size();
    while (start < text.size()) {
        std::size_t end = text.find('*', start);
        if (end == std::string_view::npos) end = text.size() - 1;
        queued_.emplace_back(text.substr(start, end + 1 - start));
        start = end + 1;
    }
    if (queued_.size() == first) queued_.emplace_back();
    queued_[first].insert(0, 1, '%');
    queued_.back().push_back('%');
}

void ParameterOutput::FlushQueued() {
    for (const std::string& line : queued_) {
        if (HeaderStillDue(settings_, output_)) WriteFormatHeader(settings_, output_);
        output_.Append(line);
    }
    queued_.clear();
}

}  // namespace mutaplot
