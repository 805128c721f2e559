#pragma once
// The whole parameter blocks of a block list, in order, as their texts
// between the "%" delimiters. The list was cut at line ends or at "*", and
// the cutting took away the "*" that ended statements (every "*" in LF
// mode, a line's last "*" in CR mode, every "*" in "*" mode); the collector
// puts them back: a block boundary inside an open parameter block ends the
// statement there, unless the text so far already ends with "*" or with a
// character after which the statement must go on ("," or an operator). Line
// ends themselves are dropped, and every text ends with "*".
//
// It counts every "%" of every block exactly as ParameterBlockFilter does
// (and runs one, whose verdict part() gives), so that the converter and the
// viewer's walk agree on what is data.
//
// Beyond the agreed interface: part()/text() (the filter's verdict on the
// block just taken), inside(), insideSinceOpening().

#include "input/ParameterBlocks.h"
#include "settings/ConversionSettings.h"

#include <string>
#include <string_view>
#include <vector>

namespace mutaplot::gerber {

class ParameterTextCollector {
public:
    explicit ParameterTextCollector(InputSeparator separator) : separator_(separator) {}

    // Takes the next list block; returns the parameter-block texts (without
    // "%") completed in this block, in order (usually none or one). The
    // reference stays valid until the next call.
    const std::vector<std::string>& Take(std::string_view block);

    // The filter's verdict on the block last taken, and its data text.
    BlockPart part() const noexcept { return part_; }
    std::string_view text() const noexcept { return text_; }

    // True while a "%" is not closed yet.
    bool inside() const noexcept { return filter_.inside(); }

    // As ParameterBlockFilter::insideSinceOpening().
    std::size_t insideSinceOpening() const noexcept { return filter_.insideSinceOpening(); }

private:
    void EndStatement();

    [[maybe_unused]] InputSeparator separator_;
    ParameterBlockFilter filter_;
    BlockPart part_ = BlockPart::Data;
    std::string_view text_;             // the data text of the block last taken
    std::string open_;                  // text of the open parameter block so far
    std::vector<std::string> completed_;
};

}  // namespace mutaplot::gerber
