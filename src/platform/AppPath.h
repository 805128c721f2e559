#pragma once
#include <filesystem>

namespace mutaplot {

// The folder that holds the running executable (appPath): the settings file,
// help files, fast.apt and the DXF templates are looked up there.
std::filesystem::path ApplicationFolder();

}  // namespace mutaplot
