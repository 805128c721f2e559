// Random walks over both windows and their dialogs, offscreen: no crash, no
// hang, no sanitizer report, the busy pointer always restored and no origin
// pick left waiting. The seed and the number of steps come from
// MUTAPLOT_MONKEY_SEED and MUTAPLOT_MONKEY_STEPS (scripts/gui-monkey.sh runs
// many seeds); a failure prints the seed and the last steps for a replay.

#include "Monkey.h"
#include "MonkeyLog.h"
#include "ui/UiTestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace mutaplot::testing {
namespace {

long EnvNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return end && *end == '\0' ? value : fallback;
}

class GuiMonkey : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EnsureApplication();
        InstallMonkeyDeathHooks();
    }

    // The walk of one test: `seedOffset` keeps the two walks of a seed apart.
    void Walk(bool damagedProgramFolder, std::uint32_t seedOffset, long defaultSteps) {
        const auto seed = static_cast<std::uint32_t>(EnvNumber("MUTAPLOT_MONKEY_SEED", 20240614)) + seedOffset;
        const long steps = EnvNumber("MUTAPLOT_MONKEY_STEPS", defaultSteps);
        const std::string name = std::string("GuiMonkey.") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        MonkeyLog::Instance().Begin(name, seed, EnvNumber("MUTAPLOT_MONKEY_TRACE", 0) != 0);
        {
            Monkey monkey(seed, damagedProgramFolder);
            monkey.Run(static_cast<int>(steps));
            monkey.PrintSummary();
        }
        if (HasFailure()) MonkeyLog::Instance().Print("failure");
        MonkeyLog::Instance().End();
        RecordProperty("seed", std::to_string(seed));
    }
};

TEST_F(GuiMonkey, RandomWalkOverBothWindows) { Walk(false, 0, 5000); }

// The settings file broken off, the default aperture list missing or broken:
// its file dialog appears whenever the editor loads.
TEST_F(GuiMonkey, RandomWalkWithADamagedProgramFolder) { Walk(true, 1000003, 2500); }

}  // namespace
}  // namespace mutaplot::testing
