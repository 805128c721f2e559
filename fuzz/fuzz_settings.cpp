// Fuzzes the settings file reader. Whatever it accepts must save and read
// back to the same text: saving is idempotent after one pass.

#include "settings/SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace mutaplot;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ConversionSettings settings;
    SettingsLines lines;
    if (!ParseSettingsText(text, settings, lines)) return 0;

    const std::string saved = FormatSettingsText(settings, lines);
    ConversionSettings again;
    SettingsLines linesAgain;
    if (!ParseSettingsText(saved, again, linesAgain)) std::abort();
    const std::string savedAgain = FormatSettingsText(again, linesAgain);
    if (saved != savedAgain) std::abort();
    return 0;
}
