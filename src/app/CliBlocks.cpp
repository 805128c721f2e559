// mutaplot-cli blocks: the blocks read from a file, one a line, as the main
// window's ﾌｧｲﾙを開く reads them with the current settings.

#include "app/CliCommon.h"

#include "input/BlockReader.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace mutaplot::cli {

namespace {

// A block as one printable line: "\" -> "\\", CR -> "\r", LF -> "\n", other
// control bytes and bytes from 0x80 -> "\xHH" (upper-case hex).
void AppendEscaped(std::string& out, std::string_view block) {
    static constexpr char hex[] = "0123456789ABCDEF";
    for (char ch : block) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c >= 0x7F) {
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0x0F]);
        } else {
            out.push_back(ch);
        }
    }
}

bool WriteOut(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

int RunBlocks(const Options& options, CliPlatform& platform) {
    ConversionSettings settings;
    if (!LoadCliSettings(options, platform, settings)) return kExitUsage;
    InputBlockList blocks;
    ReadFault fault = ReadFault::None;
    const ReadOutcome outcome = ReadBlockFile(options.positional[0], settings, blocks,
                                              ReaderEntry::MainWindow, platform, platform, nullptr,
                                              &fault);
    if (outcome != ReadOutcome::Read) {
        ExplainUnreadableInput(options.positional[0], kMaxInputFileBytes, fault);
        return kExitFailure;
    }

    std::string out;
    constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
    for (std::size_t i = 0; i < blocks.blockCount(); ++i) {
        AppendEscaped(out, blocks[i]);
        out.push_back('\n');
        if (out.size() >= kFlushBytes) {
            if (!WriteOut(out)) return kExitFailure;
            out.clear();
        }
    }
    if (!WriteOut(out) || std::fflush(stdout) != 0) return kExitFailure;
    return kExitOk;
}

}  // namespace

MUTAPLOT_CLI_COMMAND("blocks", "blocks [options] INPUT", 1, nullptr, RunBlocks);

}  // namespace mutaplot::cli
