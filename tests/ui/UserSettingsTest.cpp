// Where the main window reads and saves its settings, and the file named on
// its command line.

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "support/TestInputs.h"
#include "ui/BlockListModel.h"
#include "ui/Form1.h"
#include "UiTestApp.h"

#include <gtest/gtest.h>

#include <memory>

namespace mutaplot {
namespace {

using testing::FakePlatform;
using testing::MmSettingsText;
using testing::ReadFileBytes;
using testing::TempDir;

TEST(UserSettings, ReadFromTheDataFolderUntilTheUserSavesTheirOwn) {
    testing::EnsureApplication();
    TempDir dir;
    const auto data = dir / "share/mutaplot";
    const auto user = dir / "config/mutaplot";  // not there yet
    std::filesystem::create_directories(data);
    const std::string installed = MmSettingsText();
    dir.Write("share/mutaplot/mutapl.ini", installed);
    std::filesystem::permissions(data, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_exec);  // as root-owned

    AppState state;
    state.userConfigFolder = user;
    FakePlatform platform;
    auto form = std::make_unique<Form1>(state, platform, platform, data);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(state.settings.inputFormat, 1);
    EXPECT_EQ(state.settings.lineBreak, 4);

    // 設定の保存 makes the user's folder and writes there; the installed
    // file stays as it was.
    state.settings.outputFormat = 5;
    form->settei_save_Click();
    EXPECT_TRUE(platform.messages.empty());
    const std::string saved = ReadFileBytes(user / "mutapl.ini");
    EXPECT_EQ(saved.substr(0, 4), "IN\r\n");
    EXPECT_NE(saved.find("\r\nOUT\r\n1\r\n5\r\n"), std::string::npos) << saved;
    EXPECT_EQ(ReadFileBytes(data / "mutapl.ini"), installed);

    // The next start reads the user's file.
    AppState next;
    next.userConfigFolder = user;
    FakePlatform again;
    Form1 second(next, again, again, data);
    EXPECT_TRUE(again.messages.empty());
    EXPECT_EQ(next.settings.outputFormat, 5);
    std::filesystem::permissions(data, std::filesystem::perms::owner_all);
}

TEST(UserSettings, TheFileOnTheCommandLineIsReadWithTheSavedSettings) {
    testing::EnsureApplication();
    TempDir dir;
    // A settings file with LF line ends (edited on Linux) reads as well.
    std::string lf = MmSettingsText();
    for (std::size_t at = lf.find("\r\n"); at != std::string::npos; at = lf.find("\r\n", at))
        lf.erase(at, 1);
    dir.Write("mutapl.ini", lf);
    AppState state;
    FakePlatform platform;
    Form1 form(state, platform, platform, dir.path());
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(state.settings.inputSeparator, 1);
    form.OpenInputFile(dir.Write("board.gbr", "G54D10*\r\nX100Y200D01*\r\n").string());
    EXPECT_TRUE(platform.messages.empty());
    ASSERT_EQ(state.inputBlockList.blockCount(), 2u);
    EXPECT_EQ(form.gridModel1()->data(form.gridModel1()->index(1, 0)).toString(), "G54D10");  // CR mode drops the "*"
    // A missing file gets the reader's message, as from the dialog.
    form.OpenInputFile((dir / "missing.gbr").string());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, "確認");
}

}  // namespace
}  // namespace mutaplot
