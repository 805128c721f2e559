#include "input/ParameterBlocks.h"

#include <cstring>

namespace mutaplot {

BlockPart ParameterBlockFilter::Next(std::string_view block) {
    text_ = {};
    const bool hasPercent =
        !block.empty() && std::memchr(block.data(), '%', block.size()) != nullptr;
    if (!block.empty() && block.front() == '*') {
        // Recognised on its raw text; its "%" still count.
        for (char c : block)
            if (c == '%') Toggle();
        return BlockPart::FormatLine;
    }
    if (!hasPercent) {
        // The common case: nothing to remove, no copy.
        if (inside_) {
            ++insideSinceOpening_;
            return BlockPart::Inside;
        }
        text_ = block;
        return BlockPart::Data;
    }

    const bool opensAtStart = block.front() == '%' && !inside_;
    buffer_.clear();
    for (std::size_t k = 0; k < block.size(); ++k) {
        const char c = block[k];
        if (c == '%') {
            // A "*" directly before an opening "%" ends the data in front of it.
            if (!inside_ && k > 0 && block[k - 1] == '*' && !buffer_.empty() && buffer_.back() == '*')
                buffer_.pop_back();
            Toggle();
        } else if (!inside_) {
            buffer_.push_back(c);
        }
    }
    text_ = buffer_;
    if (opensAtStart) return BlockPart::Parameter;
    return buffer_.empty() ? BlockPart::Removed : BlockPart::Data;
}

}  // namespace mutaplot
