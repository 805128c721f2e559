#pragma once
#include <filesystem>

namespace mutaplot {

// The folder that holds the running executable.
std::filesystem::path ExecutableFolder();

// The data folder of a program in `executableFolder`: that folder itself
// when it holds the data files (a build folder), else ../share/mutaplot
// beside it (an installed system) when that exists, else the folder itself.
std::filesystem::path DataFolderFor(const std::filesystem::path& executableFolder);

// The program's data folder (appPath): the default settings file, the help
// files, fast.apt and the DXF templates are looked up there.
std::filesystem::path ApplicationFolder();

// The user's configuration folder of the program: $XDG_CONFIG_HOME/mutaplot
// (an absolute XDG_CONFIG_HOME only), else $HOME/.config/mutaplot; empty when
// neither is known. 設定の保存 writes mutapl.ini there.
std::filesystem::path UserConfigFolder();

// The settings file read at start-up: the user's mutapl.ini when it exists,
// else the one in the data folder. An empty user folder means the data
// folder alone.
std::filesystem::path SettingsFileToRead(const std::filesystem::path& userFolder,
                                         const std::filesystem::path& dataFolder);

}  // namespace mutaplot
