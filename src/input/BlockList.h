#pragma once
// A list of data blocks (byte strings), kept compact for files of millions of
// blocks: all block texts live in one buffer, with one offset per block. No
// per-block heap allocation.
//
// Entries 0 … blockCount() − 1 are the blocks; entry blockCount() reads as the
// one empty entry that follows them (the grids show it as their last row).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mutaplot {

class BlockList {
public:
    std::size_t blockCount() const noexcept { return ends_.size(); }
    bool empty() const noexcept { return ends_.empty(); }

    // Entry i; i == blockCount() (and beyond) gives the empty text.
    std::string_view operator[](std::size_t i) const noexcept {
        if (i >= ends_.size()) return {};
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(text_.data() + begin, ends_[i] - begin);
    }

    void Append(std::string_view block) {
        text_.append(block);
        ends_.push_back(text_.size());
    }
    void Clear() noexcept {
        text_.clear();
        ends_.clear();
    }
    void Reserve(std::size_t blocks, std::size_t bytes) {
        ends_.reserve(blocks);
        text_.reserve(bytes);
    }
    void ShrinkToFit() {
        text_.shrink_to_fit();
        ends_.shrink_to_fit();
    }
    // Total bytes of all blocks.
    std::size_t textSize() const noexcept { return text_.size(); }
    // All blocks one after another, without separators.
    std::string_view allText() const noexcept { return text_; }

private:
    std::string text_;
    std::vector<std::size_t> ends_;
};

// The text blocks of the last file read, shared by converter and viewer.
using InputBlockList = BlockList;

}  // namespace mutaplot
