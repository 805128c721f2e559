#include "gerber/ParameterStream.h"

#include <cstring>

namespace mutaplot::gerber {

namespace {

// After these the statement goes on in the next block.
bool ContinuesStatement(char c) noexcept {
    return c == ',' || c == '+' || c == '-' || c == '/' || c == '(' || c == '=';
}

}  // namespace

void ParameterTextCollector::EndStatement() {
    while (!open_.empty() && (open_.back() == ' ' || open_.back() == '\t')) open_.pop_back();
    if (open_.empty() || open_.back() == '*' || ContinuesStatement(open_.back())) return;
    open_.push_back('*');
}

const std::vector<std::string>& ParameterTextCollector::Take(std::string_view block) {
    completed_.clear();
    const bool wasInside = filter_.inside();
    const bool hasPercent =
        !block.empty() && std::memchr(block.data(), '%', block.size()) != nullptr;
    if (!hasPercent && !wasInside && (block.empty() || block.front() != '*')) {
        // Plain data, by far the most blocks: the filter would keep its state
        // and give the whole block as data.
        part_ = BlockPart::Data;
        text_ = block;
        return completed_;
    }
    part_ = filter_.Next(block);
    text_ = filter_.text();
    if (!hasPercent) {
        if (wasInside) {
            for (char c : block)
                if (c != '\r' && c != '\n') open_.push_back(c);
            EndStatement();
        }
        return completed_;
    }
    bool inside = wasInside;
    for (char c : block) {
        if (c == '%') {
            if (inside) {
                EndStatement();
                if (!open_.empty() && open_.back() != '*') open_.push_back('*');
                completed_.push_back(std::move(open_));
            }
            open_.clear();
            inside = !inside;
        } else if (inside && c != '\r' && c != '\n') {
            open_.push_back(c);
        }
    }
    if (inside) EndStatement();
    return completed_;
}

}  // namespace mutaplot::gerber
