// Fuzzes mutaplot-cli's option parsing: the input is cut at NUL bytes into
// the arguments after the program name (the first is the command). Whatever
// the parser accepts must be usable as it stands: a zoom that stays a
// positive finite factor in single precision, finite offsets, a positive
// finite picture size, a dpi from 1 to 10000, and --set pairs with a field
// name. The accepted options then go through the viewer's controls and
// scale and the settings fields, as render and dxf use them.

#include "app/CliViewerInputs.h"

#include "settings/ConversionSettings.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::cerr.rdbuf(nullptr);  // the usage errors are not wanted here
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mutaplot;
    std::vector<std::string> args{"mutaplot-cli"};
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty() && args.size() < 64) {
        const std::size_t nul = text.find('\0');
        args.emplace_back(text.substr(0, nul));
        if (nul == std::string_view::npos) break;
        text.remove_prefix(nul + 1);
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto options = cli::ParseOptions(static_cast<int>(args.size()), argv.data());
    if (!options) return 0;
    const auto& o = *options;
    const float zoom = static_cast<float>(o.zoom);
    if (!(std::isfinite(zoom) && zoom > 0)) std::abort();
    if (!std::isfinite(o.offsetX) || !std::isfinite(o.offsetY)) std::abort();
    if (!(std::isfinite(o.width) && o.width > 0 && std::isfinite(o.height) && o.height > 0))
        std::abort();
    if (o.dpi < 1 || o.dpi > 10000) std::abort();
    for (const auto& [field, value] : o.sets)
        if (field.find('=') != std::string::npos) std::abort();

    for (int format = 1; format <= 9; format += 4) {
        ViewTransform transform;
        const ViewControls controls = cli::ControlsFromOptions(o, transform);
        ComputeViewScale(controls.zoomText, format, controls.offsetXText, controls.offsetYText,
                         transform);
        if (!(transform.zoom > 0) || !std::isfinite(transform.countsPerUnit) ||
            !std::isfinite(transform.offsetX) || !std::isfinite(transform.offsetY))
            std::abort();
    }
    ConversionSettings settings;
    for (const auto& [field, value] : o.sets) SetSettingsField(settings, field, value);
    return 0;
}
