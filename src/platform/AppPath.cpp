#include "platform/AppPath.h"

#include "settings/SettingsFile.h"

#include <cstdlib>
#include <system_error>

namespace mutaplot {

namespace {

// Files that only a data folder holds.
constexpr const char* kDataMarkers[] = {kSettingsFileName, "fast.apt"};

bool HoldsData(const std::filesystem::path& folder) {
    std::error_code ec;
    for (const char* name : kDataMarkers)
        if (std::filesystem::exists(folder / name, ec)) return true;
    return false;
}

}  // namespace

std::filesystem::path ExecutableFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec);
    return exe.parent_path();
}

std::filesystem::path DataFolderFor(const std::filesystem::path& executableFolder) {
    if (HoldsData(executableFolder)) return executableFolder;
    const std::filesystem::path shared =
        executableFolder.parent_path() / "share" / "mutaplot";
    std::error_code ec;
    if (std::filesystem::is_directory(shared, ec)) return shared;
    return executableFolder;
}

std::filesystem::path ApplicationFolder() { return DataFolderFor(ExecutableFolder()); }

std::filesystem::path UserConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return std::filesystem::path(xdg) / "mutaplot";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::filesystem::path(home) / ".config" / "mutaplot";
    return {};
}

std::filesystem::path SettingsFileToRead(const std::filesystem::path& userFolder,
                                         const std::filesystem::path& dataFolder) {
    std::error_code ec;
    if (!userFolder.empty() && std::filesystem::exists(userFolder / kSettingsFileName, ec))
        return userFolder / kSettingsFileName;
    return dataFolder / kSettingsFileName;
}

}  // namespace mutaplot
