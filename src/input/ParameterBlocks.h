#pragma once
// RS-274X parameter blocks ("%FSLAX24Y24*%", an aperture macro "%AMOC8*" …
// "…*%") inside the block list. A parameter block may span several blocks,
// stand behind data on one line ("G74*%FSLAN2X34Y34*%"), or, in "*" mode,
// leave its closing "%" at the front of the next block ("%G54D11"). The
// converter and the viewer's walk both take every block through one
// ParameterBlockFilter, so that they see the same data blocks.
//
// One flag, "inside a parameter block", false at the start, is toggled by
// every "%" of every block. Of a data block, the characters from an opening
// "%" to its closing "%" (both included), a "*" directly before an opening
// "%", and every character while the flag is on are removed; what remains
// is the block's data.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mutaplot {

// What a block is once its parameter blocks are removed.
enum class BlockPart : std::uint8_t {
    Data,         // text() is the block's data (the whole block when it had no "%")
    FormatLine,   // first character "*": the raw block goes to format-statement
                  // recognition and produces no output
    Parameter,    // its first character "%" opens a parameter block: dropped
                  // whole; text() is what followed the parameter block in it
    Removed,      // nothing was left after the removal
    Inside,       // wholly inside a parameter block (a macro's middle lines)
};

class ParameterBlockFilter {
public:
    ParameterBlockFilter() { buffer_.reserve(128); }

    // Takes the next block of the list. The text of text() stays valid
    // until the next call.
    BlockPart Next(std::string_view block);

    std::string_view text() const noexcept { return text_; }

    // True while a "%" is not closed yet.
    bool inside() const noexcept { return inside_; }

    // Blocks taken as Inside since the last opening "%": when the list ends
    // with inside() true, these were dropped for want of a closing "%".
    std::size_t insideSinceOpening() const noexcept { return insideSinceOpening_; }

private:
    void Toggle() noexcept {
        inside_ = !inside_;
        if (inside_) insideSinceOpening_ = 0;
    }

    bool inside_ = false;
    std::size_t insideSinceOpening_ = 0;
    std::string buffer_;
    std::string_view text_;
};

}  // namespace mutaplot
