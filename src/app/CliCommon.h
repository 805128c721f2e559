#pragma once
// Shared parts of mutaplot-cli: option parsing, the settings it works with,
// and the command-line implementation of the platform services.
//
// Each command lives in its own Cli<Command>.cpp and registers itself with
// MUTAPLOT_CLI_COMMAND; CliMain.cpp dispatches on the first argument.

#include "input/BlockReader.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "settings/ConversionSettings.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mutaplot::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// --strict: the command succeeded but reported warnings (overflow,
// unconverted or dropped blocks, drawing messages, a missing settings file).
inline constexpr int kExitWarnings = 3;

struct Options {
    std::string command;
    std::vector<std::string> positional;      // INPUT, OUTPUT … ("-": standard input / output)
    bool help = false;                        // --help after the command: its usage
    bool strict = false;                      // --strict: exit 3 on warnings
    std::filesystem::path settingsFile;       // --settings (default: DefaultSettingsFile())
    std::vector<std::pair<std::string, std::string>> sets;  // --set FIELD=VALUE, in order
    std::filesystem::path apertureFile;       // --apertures (default: fast.apt in the data folder)
    bool aperturesGiven = false;              // --apertures given: draw from the list always
    double zoom = 1.0;                        // --zoom
    double offsetX = 0.0, offsetY = 0.0;      // --offset X,Y
    double width = 200.0, height = 150.0;     // --size W,H
    bool sizeGiven = false;                   // false: 200 x 150 mm, whatever the unit
    int dpi = 96;                             // --dpi
    bool highQuality = true;                  // --quality high|fast
    std::string reportFormat = "colmo出力結果file";  // --format
    bool negative = false;                    // --negative (print: 反転（ネガ）)
    std::string paper = "A4";                 // --paper A4|A3|Letter (print)
    bool landscape = false;                   // --landscape (print)
    std::filesystem::path traceFile;          // --trace (render, print): the drawing calls as text
};

// Parses argv: the command first, then options and operands in any order.
// An option's value follows as the next argument or after "=" (--zoom=2);
// "--" ends the options (what follows are operands, also "-x"); "-" alone is
// an operand. On a usage error returns no value and writes the reason to
// standard error.
std::optional<Options> ParseOptions(int argc, char** argv);

// The settings file read when --settings is not given: the user's
// (UserSettingsFile()) when it exists, else mutapl.ini in the data folder.
std::filesystem::path DefaultSettingsFile();

// Message boxes go to standard error as "確認: <text>" and are answered OK;
// file dialogs answer from a queue of paths (empty = cancelled); the pointer
// does nothing. Counts the messages so that a command can tell whether
// anything was reported.
class CliPlatform final : public Dialogs, public Pointer {
public:
    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons) override;
    std::string OpenFileName(const std::string& filter, FileDialogFlags flags) override;
    std::string SaveFileName(const std::string& filter, FileDialogFlags flags) override;
    std::optional<std::uint32_t> ChooseColour(std::uint32_t preset) override;
    bool PrinterSetup() override { return true; }
    void ShowHelp(const std::string&) override {}
    void SetPointer(PointerShape) override {}
    void ProcessPendingEvents() override {}

    std::deque<std::string> fileAnswers;  // answers of the file dialogs, in order
    int messageCount = 0;
};

// Loads the settings file named by the options (or the default) and applies
// the --set overrides. A missing or damaged file is reported with the
// start-up message (as at start-up); returns false only when a --set names an
// unknown field or a bad value (usage error, reported on standard error).
bool LoadCliSettings(const Options& options, CliPlatform& platform, ConversionSettings& settings);

// After a read of an input file failed with the general read message: one
// more line on standard error naming what kept the file from being read (no
// such file, a folder, not a regular file, over the size limit, no
// permission, cut short or a read error while it was read); nothing when the
// file could be read and its content was at fault.
void ExplainUnreadableInput(const std::filesystem::path& path,
                            std::uint64_t sizeLimit = kMaxInputFileBytes,
                            ReadFault fault = ReadFault::None);

// Command registry. `outputExtension` is what OUTPUT must end with
// (case-insensitive; "" any name, nullptr a command without OUTPUT).
using CommandFunction = int (*)(const Options&, CliPlatform&);
struct CommandRegistration {
    CommandRegistration(const char* name, const char* usage, int positionalCount,
                        const char* outputExtension, CommandFunction run);
};

#define MUTAPLOT_CLI_COMMAND(name, usage, positionalCount, outputExtension, function) \
    static const ::mutaplot::cli::CommandRegistration registration_##function{ \
        name, usage, positionalCount, outputExtension, function}

}  // namespace mutaplot::cli
