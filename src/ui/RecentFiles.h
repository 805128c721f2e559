#pragma once
// The files opened last, newest first, each once, at most eight: what the
// ﾌｧｲﾙ menus of both windows offer to open again.

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace mutaplot {

inline constexpr std::size_t kRecentFileCount = 8;

class RecentFiles {
public:
    const std::vector<std::string>& paths() const noexcept { return paths_; }

    // The path moves to the front (an earlier place of it goes); the oldest
    // beyond eight drop off.
    void Add(const std::string& path) {
        if (path.empty()) return;
        Remove(path);
        paths_.insert(paths_.begin(), path);
        if (paths_.size() > kRecentFileCount) paths_.resize(kRecentFileCount);
    }
    void Remove(const std::string& path) {
        paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
    }
    // A stored list, as it was saved (empty entries and repeats dropped).
    void Assign(const std::vector<std::string>& stored) {
        paths_.clear();
        for (auto it = stored.rbegin(); it != stored.rend(); ++it) Add(*it);
    }

private:
    std::vector<std::string> paths_;
};

}  // namespace mutaplot
