#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace mutaplot {

// The largest aperture list or CAD report read into memory. Real ones are a
// few kilobytes; the limit keeps a wrong file (a disk image, /dev/zero)
// from filling the memory.
inline constexpr std::uint64_t kMaxSideFileBytes = std::uint64_t{64} << 20;

// Reads a whole regular file of at most `maxBytes` bytes into memory; no
// value when it cannot be opened or read, is not a regular file (a folder,
// a device, a FIFO: never waited on), is larger, or ends before the size it
// had when it was opened (another program cut it short meanwhile).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path,
                                         std::uint64_t maxBytes = kMaxSideFileBytes);

}  // namespace mutaplot
