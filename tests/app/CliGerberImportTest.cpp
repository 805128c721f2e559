// `mutaplot-cli import --format RS-274X`: an RS-274X file's own apertures.

#include "settings/Cp932.h"
#include "support/TempDir.h"
#include "support/TestInputs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace mutaplot {
namespace {

using testing::Quote;
using testing::ReadFileBytes;
using testing::TempDir;

int RunCli(const TempDir& dir, const std::string& arguments, std::string& errors) {
    const auto errFile = dir / "stderr.txt";
    const std::string command = Quote(std::string(MUTAPLOT_BIN_DIR) + "/mutaplot-cli") + " " +
                                arguments + " 2> " + Quote(errFile.string());
    const int raw = std::system(command.c_str());
    errors = ReadFileBytes(errFile);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(CliGerberImport, WritesTheFilesDefinitionsAndReportsTheApproximations) {
    TempDir dir;
    const auto gbr = dir.Write("top.gtl", "%FSLAX46Y46*%\n%MOMM*%\n%ADD11C,0.25*%\n"
                                          "%ADD12O,1.5X0.8*%\nD11*\nX0Y0D03*\nM02*\n");
    const auto out = dir / "out.apt";
    std::string errors;
    ASSERT_EQ(RunCli(dir, "import --format RS-274X " + Quote(gbr.string()) + " " + Quote(out.string()),
                  errors),
              0)
        << errors;
    const std::string bytes = *Cp932ToUtf8(ReadFileBytes(out));
    EXPECT_NE(bytes.find("\"D11\",\"0.25\",\"0.25\",\"0\",\"○\"\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\"D12\",\"1.5\",\"0.8\",\"0\",\"□\"\r\n"), std::string::npos);
    EXPECT_NE(errors.find("長円（O）は外接する矩形（□）として取り込みました：D12"), std::string::npos)
        << errors;

    // No %ADD: nothing imported, exit 1, nothing written.
    const auto plain = dir.Write("plain.gbr", "D10*\nX0Y0D03*\n");
    const auto none = dir / "none.apt";
    EXPECT_EQ(RunCli(dir, "import --format " + Quote("RS-274X（%ADD）") + " " + Quote(plain.string()) +
                           " " + Quote(none.string()),
                  errors),
              1);
    EXPECT_FALSE(std::filesystem::exists(none));
    EXPECT_NE(errors.find("アパーチャ定義（%ADD）がありません"), std::string::npos) << errors;
}

}  // namespace
}  // namespace mutaplot
