// mutaplot-cli: batch use of the converter, viewer and aperture operations.

#include "app/CliCommon.h"

#include "platform/AppPath.h"
#include "platform/AtomicFile.h"
#include "settings/NumberText.h"
#include "settings/SettingsFields.h"
#include "settings/SettingsFile.h"

#include <algorithm>
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
    const char* outputExtension;
    CommandFunction run;
};

std::map<std::string, CommandEntry>& Registry() {
    static std::map<std::string, CommandEntry> registry;
    return registry;
}

// What each command does, for its --help.
struct CommandText {
    const char* name;
    const char* summary;
};
constexpr CommandText kCommandTexts[] = {
    {"blocks", "The blocks read from INPUT, one a line on standard output, as the main\n"
               "window's ﾌｧｲﾙを開く reads them (\\\\ \\r \\n \\xHH escapes)."},
    {"convert", "Read INPUT, convert it with the output settings and save it as OUTPUT,\n"
                "as the main window does. OUTPUT must not be INPUT."},
    {"render", "Draw the data as the viewer's 実行(R) does and save the picture as PNG\n"
               "(its resolution is --dpi)."},
    {"dxf", "Export the data as DXF, as the viewer's DXF出力 does (dxfFormat,\n"
            "dxfLineWidth of the settings)."},
    {"print", "Print the data on one page as the viewer's 印刷 does, into a PDF file."},
    {"import", "Lay a CAD aperture report (colmo output, *.pattern, *.silk, *.resist,\n"
               "*.power, *.holemark), or with --format RS-274X an RS-274X file's own %ADD\n"
               "definitions, over the aperture list and save the result as .apt.\n"
               "A report that imports nothing writes nothing and exits 1."},
};

// The options, and the commands each applies to ("" all).
struct OptionText {
    const char* option;
    const char* commands;
    const char* text;
};
constexpr OptionText kOptionTexts[] = {
    {"--settings FILE", "", "settings file (default: the user's ~/.config/mutaplot/mutapl.ini\n"
                            "                       when it exists, else mutapl.ini in the data folder)"},
    {"--set FIELD=VALUE", "", "override one settings field by name (may repeat); values out of\n"
                              "                       the field's range are refused"},
    {"--apertures FILE", "render dxf print import", "aperture list (default: fast.apt in the data folder)"},
    {"--zoom Z", "render dxf print", "zoom factor (default 1)"},
    {"--offset X,Y", "render dxf print", "origin offsets in picture units (default 0,0)"},
    {"--size W,H", "render", "picture size in picture units (default 200 x 150 mm)"},
    {"--dpi N", "render", "pixels per inch, 1 to 10000 (default 96)"},
    {"--quality high|fast", "render print", "drawing mode (default high)"},
    {"--format TEXT", "import", "report format: \"colmo出力結果file\" (default) or \"RS-274X（%ADD）\"\n"
                               "                       (also RS-274X)"},
    {"--negative", "print", "print 反転（ネガ）"},
    {"--paper A4|A3|Letter", "print", "paper (default A4)"},
    {"--landscape", "print", "landscape page"},
    {"--trace FILE", "render print", "one line per drawing-surface call (not OUTPUT, not INPUT)"},
    {"--strict", "", "exit 3 when the command succeeded with warnings"},
    {"--help", "", "this command's usage"},
};

bool AppliesTo(const OptionText& option, const std::string& command) {
    if (option.commands[0] == '\0') return true;
    const std::string list = std::string(" ") + option.commands + " ";
    return list.find(" " + command + " ") != std::string::npos;
}

void PrintUsage(std::ostream& out = std::cerr) {
    out << "usage:\n";
    for (const auto& [name, entry] : Registry())
        out << "  mutaplot-cli " << entry.usage << "\n";
    out << "  mutaplot-cli COMMAND --help | --help | --version\n"
           "options: --settings FILE, --set FIELD=VALUE, --apertures FILE, --zoom Z,\n"
           "         --offset X,Y, --size W,H, --dpi N, --quality high|fast, --format TEXT,\n"
           "         --negative, --paper A4|A3|Letter, --landscape, --trace FILE.txt, --strict\n"
           "An option's value follows it or comes after '=' (--zoom=2); '--' ends the options.\n"
           "'-' as INPUT reads standard input, as OUTPUT writes standard output.\n"
           "Exit status: 0 success, 1 failure, 2 usage error, 3 warnings with --strict.\n"
           "import --format: colmo出力結果file (default), or RS-274X（%ADD） (also RS-274X):\n"
           "         an RS-274X file's own aperture definitions\n"
           "formats (inputFormat, outputFormat): 1 mm(4.3) 2 mm(4.4) 3 mm(4.5) 4 mm(5.3)\n"
           "         5 mm(5.4) 6 mm(5.5) 7 inch(2.3) 8 inch(2.4) 9 inch(2.5) 10 mm(4.6)\n"
           "         11 inch(2.6); a file's own %FS/%MO statements switch the input format\n"
           "outputParameters: 1 keep the input's parameter blocks (%AD, %AM, %SR, ...,\n"
           "         lengths in the output unit), 2 drop them (0 or absent = 2)\n"

           "mutaplot-cli COMMAND --help describes a command; see also mutaplot-cli(1).\n";
}

void PrintCommandUsage(const std::string& name, const CommandEntry& entry) {
    std::cout << "usage: mutaplot-cli " << entry.usage << "\n\n";
    for (const CommandText& text : kCommandTexts)
        if (name == text.name) std::cout << text.summary << "\n\n";
    if (name != "import")
        std::cout << "INPUT '-' reads standard input.\n";
    if (entry.outputExtension) {
        std::cout << "OUTPUT '-' writes standard output";
        if (entry.outputExtension[0] != '\0')
            std::cout << "; any other OUTPUT must end in " << entry.outputExtension;
        std::cout << ".\nAn existing OUTPUT that is a device or FIFO is written into, a regular\n"
                     "file is replaced only when the new one is complete.\n";
    } else {
        std::cout << "\n";
    }
    std::cout << "\noptions:\n";
    for (const OptionText& option : kOptionTexts) {
        if (!AppliesTo(option, name)) continue;
        std::string head = "  " + std::string(option.option);
        if (head.size() < 22) head.resize(23, ' ');
        else head += "\n" + std::string(23, ' ');
        std::cout << head << option.text << "\n";
    }
    std::cout << "\nExit status: 0 success, 1 failure, 2 usage error, 3 warnings with --strict.\n";
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

bool EndsWithNoCase(const std::string& text, std::string_view ending) {
    if (text.size() < ending.size()) return false;
    return std::equal(ending.begin(), ending.end(), text.end() - static_cast<long>(ending.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

// Whether two paths name the same file: the same file when both exist
// (links followed), else the same normalised absolute path.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec)) {
        const bool same = std::filesystem::equivalent(a, b, ec);
        return !ec && same;
    }
    const auto ca = std::filesystem::weakly_canonical(ResolveSaveTarget(a), ec);
    const auto cb = std::filesystem::weakly_canonical(ResolveSaveTarget(b), ec);
    return !ec && ca == cb;
}

int UsageError(const std::string& why) {
    std::cerr << "mutaplot-cli: " << why << "\n";
    return kExitUsage;
}

// Checks the operands against the command and puts the standard streams in
// place of "-". Returns kExitOk or kExitUsage (reported).
int CheckOperands(Options& o, const CommandEntry& entry) {
    std::string& input = o.positional[0];
    if (input == "-") {
        if (o.command == "import")
            return UsageError("import needs the report's file name (its ending tells the kind)");
        input = kStandardInputPath;
    }
    if (!entry.outputExtension) return kExitOk;
    std::string& output = o.positional[1];
    if (output == "-") {
        output = kStandardOutputPath;
    } else if (!output.empty() && !EndsWithNoCase(output, entry.outputExtension)) {
        return UsageError(o.command + " writes OUTPUT as " + entry.outputExtension + ": " + output +
                          " (nothing written)");
    } else if (!output.empty() && input != kStandardInputPath && SameFile(input, output)) {
        return UsageError("OUTPUT is INPUT itself: " + output + " (nothing written)");
    }
    if (!o.traceFile.empty()) {
        if (o.traceFile == "-") o.traceFile = kStandardOutputPath;
        if (o.traceFile == output || SameFile(o.traceFile, output))
            return UsageError("--trace and OUTPUT name the same file: " + o.traceFile.string());
        if (input != kStandardInputPath && SameFile(o.traceFile, input))
            return UsageError("--trace names INPUT: " + o.traceFile.string());
    }
    return kExitOk;
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage,
                                         int positionalCount, const char* outputExtension,
                                         CommandFunction run) {
    Registry()[name] = CommandEntry{usage, positionalCount, outputExtension, run};
}

std::filesystem::path DefaultSettingsFile() {
    return SettingsFileToRead(UserConfigFolder(), ApplicationFolder());
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options o;
    const std::filesystem::path folder = ApplicationFolder();
    o.settingsFile = DefaultSettingsFile();
    o.apertureFile = folder / "fast.apt";
    if (argc < 2) return std::nullopt;
    o.command = argv[1];
    auto fail = [](const std::string& why) -> std::optional<Options> {
        std::cerr << "mutaplot-cli: " << why << "\n";
        return std::nullopt;
    };
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg == "-" || arg.rfind("--", 0) != 0) {
            o.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // --name=value or --name value.
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        bool* flag = arg == "--negative"    ? &o.negative
                     : arg == "--landscape" ? &o.landscape
                     : arg == "--strict"    ? &o.strict
                     : arg == "--help"      ? &o.help
                                            : nullptr;
        if (flag) {
            if (inlineValue) return fail(arg + " takes no value");
            *flag = true;
            continue;
        }
        static const char* const kValueOptions[] = {
            "--settings", "--set", "--apertures", "--zoom", "--offset", "--size", "--dpi",
            "--quality", "--format", "--paper", "--trace"};
        if (std::find(std::begin(kValueOptions), std::end(kValueOptions), arg) ==
            std::end(kValueOptions))
            return fail("unknown option " + arg);
        std::string v;
        if (inlineValue) {
            v = *inlineValue;
        } else {
            if (i + 1 >= argc) return fail(arg + " needs a value");
            v = argv[++i];
        }
        if (arg == "--settings") {
            o.settingsFile = v;
        } else if (arg == "--set") {
            const auto eq = v.find('=');
            if (eq == std::string::npos) return fail("--set takes FIELD=VALUE");
            o.sets.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        } else if (arg == "--apertures") {
            o.apertureFile = v;
            o.aperturesGiven = true;
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
            if (v.empty()) return fail("--trace needs a file name");
            o.traceFile = v;
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
    for (const auto& [name, value] : options.sets) {
        const SetFieldResult result = SetSettingsFieldChecked(settings, name, value);
        if (result == SetFieldResult::Set) continue;
        std::cerr << "mutaplot-cli: --set " << name << "=" << value << ": ";
        if (result == SetFieldResult::UnknownField) {
            std::cerr << "unknown field or bad value\n";
        } else if (result == SetFieldResult::OutOfRange) {
            const FieldRange& range = *FindSettingsField(name)->range;
            std::cerr << "out of range (" << FormatDecimal(range.lowest) << " to "
                      << FormatDecimal(range.highest) << ")\n";
        } else {
            std::cerr << "unknown field or bad value\n";
        }
        return false;
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
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "mutaplot-cli " MUTAPLOT_VERSION "\n";
        return kExitOk;
    }
    // The cleanup of temporaries is in place before anything is read; a
    // signal after the output is in place lets the command finish.
    mutaplot::RemoveTemporariesOnSignals();
    mutaplot::FinishCommandsAfterCommit();
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
    if (options->help) {
        PrintCommandUsage(it->first, it->second);
        return kExitOk;
    }
    if (static_cast<int>(options->positional.size()) != it->second.positionalCount) {
        std::cerr << "usage: mutaplot-cli " << it->second.usage << "\n";
        return kExitUsage;
    }
    if (CheckOperands(*options, it->second) != kExitOk) return kExitUsage;
    CliPlatform platform;
    const int status = it->second.run(*options, platform);
    if (status == kExitOk && options->strict && platform.messageCount > 0) return kExitWarnings;
    return status;
}
#endif
