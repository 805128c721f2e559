// mutaplot-cli: why an input file could not be read. The windows show one
// general message for all of these; a batch run names the cause as well.

#include "app/CliCommon.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace mutaplot::cli {

void ExplainUnreadableInput(const std::filesystem::path& path, std::uint64_t sizeLimit,
                            ReadFault fault) {
    std::string cause;
    struct stat st {};
    const bool standardInput = path == kStandardInputPath;
    const char* name = standardInput ? "標準入力" : path.c_str();
    if (fault == ReadFault::CutShort) {
        cause = "読み込み中にファイルが短くなりました（他のプログラムが書き換えています）";
    } else if (fault == ReadFault::ReadError) {
        cause = "読み込み中にエラーが起きました";
    } else if (standardInput) {
        // Anything the standard input holds is read; only its content can fail.
    } else if (::stat(path.c_str(), &st) != 0) {
        cause = errno == ENOENT || errno == ENOTDIR ? "ファイルがありません"
                : errno == EACCES                    ? "読み取りの権限がありません"
                                                     : "ファイルを開けません";
    } else if (S_ISDIR(st.st_mode)) {
        cause = "フォルダです。ファイルを指定して下さい";
    } else if (!S_ISREG(st.st_mode)) {
        cause = "通常のファイルではありません";
    } else if (static_cast<std::uint64_t>(st.st_size) > sizeLimit) {
        cause = sizeLimit >= (std::uint64_t{1} << 30)
                    ? "ファイルが大きすぎます（上限 " + std::to_string(sizeLimit >> 30) + " GiB）"
                    : "ファイルが大きすぎます（上限 " + std::to_string(sizeLimit >> 20) + " MiB）";
    } else if (::access(path.c_str(), R_OK) != 0) {
        cause = "読み取りの権限がありません";
    }
    if (!cause.empty()) std::fprintf(stderr, "mutaplot-cli: %s: %s\n", name, cause.c_str());
}

}  // namespace mutaplot::cli
