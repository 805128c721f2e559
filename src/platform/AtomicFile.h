#pragma once
// Every save writes a temporary file in the target folder and renames it over
// the target, so that a failed save never destroys the previous file.

#include <filesystem>
#include <string_view>

namespace mutaplot {

// Writes `bytes` as the whole new content of `target`. Returns false (target
// untouched, temporary removed) when anything fails.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace mutaplot
