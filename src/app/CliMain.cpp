// mutaplot-cli: batch use of the converter, viewer and aperture operations.

#include "app/CliCommon.h"

#include "platform/AppPath.h"
#include "settings/NumberText.h"
#include "settings/SettingsFile.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>

namespace mutaplot::cli {

namespace {

struct CommandEntry {
    const char* usage;
    int positionalCount;
    CommandFunction run;
};

std::map<std::string, CommandEntry>& Registry() {
    static std::map<std::string, CommandEntry> registry;
    return registry;
}

void PrintUsage(std::ostream& out = std::cerr) {
    out << "usage:\n";
    for (const auto& [name, entry] : Registry())
        out << "  mutaplot-cli " << entry.usage << "\n";
    out << "options: --settings FILE, --set FIELD=VALUE, --apertures FILE, --zoom Z,\n"
           "         --offset X,Y, --size W,H, --dpi N, --quality high|fast, --format TEXT,\n"
           "         --negative, --paper A4|A3|Letter, --landscape, --trace FILE.txt\n"
           "import --format: colmo出力結果file (default), or RS-274X（%ADD） (also RS-274X):\n"
           "         an RS-274X file's own aperture definitions\n";
}

// A number option's value: "inf" and "nan" read as numbers but are none.
std::optional<double> ParseFinite(std::string_view text) {
    auto value = ParseDecimal(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

bool ParsePair(const std::string& text, double& a, double& b) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) return false;
    auto x = ParseFinite(std::string_view(text).substr(0, comma));
    auto y = ParseFinite(std::string_view(text).substr(comma + 1));
    if (!x || !y) return false;
    a = *x;
    b = *y;
    return true;
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage,
                                         int positionalCount, CommandFunction run) {
    Registry()[name] = CommandEntry{usage, positionalCount, run};
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options o;
    const std::filesystem::path folder = ApplicationFolder();
    o.settingsFile = folder / kSettingsFileName;
    o.apertureFile = folder / "fast.apt";
    if (argc < 2) return std::nullopt;
    o.command = argv[1];
    auto fail = [](const std::string& why) -> std::optional<Options> {
        std::cerr << "mutaplot-cli: " << why << "\n";
        return std::nullopt;
    };
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg.rfind("--", 0) != 0 || arg == "--") {
            o.positional.push_back(arg);
            continue;
        }
        // Options without a value.
        if (arg == "--negative") {
            o.negative = true;
            continue;
        }
        if (arg == "--landscape") {
            o.landscape = true;
            continue;
        }
        if (!value(v)) return fail(arg + " needs a value");
        if (arg == "--settings") {
            o.settingsFile = v;
        } else if (arg == "--set") {
            const auto eq = v.find('=');
            if (eq == std::string::npos) return fail("--set takes FIELD=VALUE");
            o.sets.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        } else if (arg == "--apertures") {
            o.apertureFile = v;
        } else if (arg == "--zoom") {
            // The viewer holds the zoom in single precision.
            auto z = ParseFinite(v);
            if (!z || !(static_cast<float>(*z) > 0) || !std::isfinite(static_cast<float>(*z)))
                return fail("--zoom takes a positive number");
            o.zoom = *z;
        } else if (arg == "--offset") {
            // Far beyond any board, and in raw counts (up to 10^5 a unit)
            // still a finite number.
            constexpr double kMaxOffset = 1e9;
            if (!ParsePair(v, o.offsetX, o.offsetY) || !(std::abs(o.offsetX) <= kMaxOffset) ||
                !(std::abs(o.offsetY) <= kMaxOffset))
                return fail("--offset takes X,Y (each at most 1e9 in size)");
        } else if (arg == "--size") {
            if (!ParsePair(v, o.width, o.height) || !(o.width > 0) || !(o.height > 0))
                return fail("--size takes W,H (positive)");
            o.sizeGiven = true;
        } else if (arg == "--dpi") {
            auto d = ParseFinite(v);
            if (!d || *d < 1 || *d > 10000 || *d != static_cast<int>(*d))
                return fail("--dpi takes a whole number from 1 to 10000");
            o.dpi = static_cast<int>(*d);
        } else if (arg == "--quality") {
            if (v == "high") o.highQuality = true;
            else if (v == "fast") o.highQuality = false;
            else return fail("--quality takes high or fast");
        } else if (arg == "--format") {
            o.reportFormat = v;
        } else if (arg == "--paper") {
            if (v != "A4" && v != "A3" && v != "Letter") return fail("--paper takes A4, A3 or Letter");
            o.paper = v;
        } else if (arg == "--trace") {
            o.traceFile = v;
        } else {
            return fail("unknown option " + arg);
        }
    }
    return o;
}

MessageAnswer CliPlatform::ShowMessage(const std::string& text, const std::string& title,
                                       MessageButtons) {
    ++messageCount;
    std::cerr << title << ": " << text << "\n";
    return MessageAnswer::Ok;
}

std::string CliPlatform::OpenFileName(const std::string&, FileDialogFlags) {
    if (fileAnswers.empty()) return {};
    std::string path = fileAnswers.front();
    fileAnswers.pop_front();
    return path;
}

std::string CliPlatform::SaveFileName(const std::string& filter, FileDialogFlags flags) {
    return OpenFileName(filter, flags);
}

std::optional<std::uint32_t> CliPlatform::ChooseColour(std::uint32_t) { return std::nullopt; }

bool LoadCliSettings(const Options& options, CliPlatform& platform, ConversionSettings& settings) {
    SettingsLines lines;
    if (!LoadSettings(options.settingsFile, settings, lines))
        ShowCheckMessage(platform, kStartupFileMessage);
    for (const auto& [field, value] : options.sets) {
        if (!SetSettingsField(settings, field, value)) {
            std::cerr << "mutaplot-cli: --set " << field << "=" << value
                      << ": unknown field or bad value\n";
            return false;
        }
    }
    return true;
}

}  // namespace mutaplot::cli

#ifndef MUTAPLOT_CLI_NO_MAIN  // the option fuzzer links this file without main()
int main(int argc, char** argv) {
    using namespace mutaplot::cli;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(std::cout);
        return kExitOk;
    }
    auto options = ParseOptions(argc, argv);
    if (!options) {
        PrintUsage();
        return kExitUsage;
    }
    auto it = Registry().find(options->command);
    if (it == Registry().end()) {
        std::cerr << "mutaplot-cli: unknown command " << options->command << "\n";
        PrintUsage();
        return kExitUsage;
    }
    if (static_cast<int>(options->positional.size()) != it->second.positionalCount) {
        std::cerr << "usage: mutaplot-cli " << it->second.usage << "\n";
        return kExitUsage;
    }
    CliPlatform platform;
    return it->second.run(*options, platform);
}
#endif
