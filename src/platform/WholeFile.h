#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace mutaplot {

// Reads a whole file into memory; no value when it cannot be opened or read
// (a folder included).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

}  // namespace mutaplot
