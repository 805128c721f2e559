#pragma once
// The input's own RS-274X parameter blocks during a conversion pass.
//
// Format and unit statements (%FS…*%, %MO…*%, in any spelling the file
// gives them) set the number format the following coordinates are decoded
// by. A format that is one of the format codes is adopted into the input
// settings (format, unit, zero mode), as the header form "*%FS…" always was;
// any other (digits of no code, a unit the code does not have, X and Y
// digits that differ) is kept for this pass only, and the coordinates are
// decoded exactly by its own digits. Incremental notation (%FS.I…) is not
// converted: the coordinate blocks after it are handed on unchanged and
// reported as blocks that could not be converted.
//
// With outputParameters 1 every other parameter block goes to the output
// at its place, whole, its lengths in the output unit; a macro keeps one
// line per statement, every other block stays on one line. The header's two
// lines stand for the input's %FS/%MO; without the header these are
// rewritten in place to the output format and unit. The EOB option adds
// nothing to them: their own "*" end every statement and "%" closes them.

#include "convert/CoordinateWords.h"
#include "convert/FormatHeader.h"
#include "gerber/FormatStatement.h"
#include "settings/ConversionSettings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mutaplot {

class ParameterOutput {
public:
    ParameterOutput(ConversionSettings& settings, OutputBlockList& output)
        : settings_(settings), output_(output), keep_(KeepsParameterBlocks(settings)) {}

    // One whole parameter block of the input (its text between the "%",
    // statements ended by "*"), from input block `number` (1-based). Its
    // output, if any, waits for Flush(). Returns true when it held a format
    // statement that was read.
    bool Take(std::string_view text, std::size_t number, ConverterState& state);

    // Writes the blocks taken since the last Flush() (the header first when
    // it is still due).
    void Flush() {
        if (!queued_.empty()) FlushQueued();
    }

    // The format to decode coordinates by instead of the settings', or
    // nullptr when the settings' input format is in force.
    const OwnInputFormat* own() const noexcept { return own_ ? &*own_ : nullptr; }
    bool incremental() const noexcept { return incremental_; }

    // The input settings were set by the header form "*%FS…" the older way:
    // they are in force again.
    void ForgetFileFormat() noexcept {
        format_.reset();
        Resolve();
    }

private:
    void TakeStatement(std::string_view statement, std::size_t number, ConverterState& state,
                       bool& formatRead, std::string& kept);
    void Resolve();
    Unit InputUnit() const noexcept;
    void Queue(std::string_view text, bool macro);
    void FlushQueued();

    ConversionSettings& settings_;
    OutputBlockList& output_;
    bool keep_;
    std::optional<gerber::FormatStatement> format_;  // the file's last %FS
    std::optional<Unit> unit_;                        // the file's last %MO
    std::optional<OwnInputFormat> own_;
    bool incremental_ = false;
    std::vector<std::string> queued_;
};

}  // namespace mutaplot
