#include "platform/AppPath.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace mutaplot {
namespace {

using testing::TempDir;

TEST(AppPath, DataBesideTheProgramFirstThenShareMutaplot) {
    TempDir dir;
    const auto bin = dir / "bin";
    const auto share = dir / "share/mutaplot";
    std::filesystem::create_directories(bin);
    // Nothing anywhere: the program's folder.
    EXPECT_EQ(DataFolderFor(bin), bin);
    // An installed system: bin/ holds the programs only.
    std::filesystem::create_directories(share);
    EXPECT_EQ(DataFolderFor(bin), share);
    // A build folder: the data beside the programs win.
    dir.Write("bin/fast.apt", "");
    EXPECT_EQ(DataFolderFor(bin), bin);
}

TEST(AppPath, TheUsersSettingsAreReadWhenTheyExist) {
    TempDir dir;
    const auto user = dir / "config/mutaplot";
    const auto data = dir / "share/mutaplot";
    EXPECT_EQ(SettingsFileToRead(user, data), data / "mutapl.ini");
    EXPECT_EQ(SettingsFileToRead({}, data), data / "mutapl.ini");
    std::filesystem::create_directories(user);
    dir.Write("config/mutaplot/mutapl.ini", "");
    EXPECT_EQ(SettingsFileToRead(user, data), user / "mutapl.ini");
}

TEST(AppPath, TheUsersConfigurationFolderFollowsXdg) {
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg ? savedXdg : "", home = savedHome ? savedHome : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    ::setenv("HOME", "/home/cam", 1);
    EXPECT_EQ(UserConfigFolder(), std::filesystem::path("/tmp/cfg/mutaplot"));
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(UserConfigFolder(), std::filesystem::path("/home/cam/.config/mutaplot"));
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserConfigFolder(), std::filesystem::path("/home/cam/.config/mutaplot"));
    ::unsetenv("HOME");
    EXPECT_EQ(UserConfigFolder(), std::filesystem::path());
    if (savedXdg) ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    if (savedHome) ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace mutaplot
