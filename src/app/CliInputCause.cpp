// mutaplot-cli: why an input file could not be read. The windows show one
// general message for all of these; a batch run names the cause as well.

#include "app/CliCommon.h"

#include "input/BlockReader.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace mutaplot::cli {

static_assert(kMaxInputFileBytes == std::uint64_t{1} << 30, "the message below names the limit");

void ExplainUnreadableInput(const std::filesystem::path& path) {
    const char* cause = nullptr;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        cause = errno == ENOENT || errno == ENOTDIR ? "ファイルがありません"
                : errno == EACCES                    ? "読み取りの権限がありません"
                                                     : "ファイルを開けません";
    } else if (S_ISDIR(st.st_mode)) {
        cause = "フォルダです。ファイルを指定して下さい";
    } else if (!S_ISREG(st.st_mode)) {
        cause = "通常のファイルではありません";
    } else if (static_cast<std::uint64_t>(st.st_size) > kMaxInputFileBytes) {
        cause = "ファイルが大きすぎます（上限 1 GiB）";
    } else if (::access(path.c_str(), R_OK) != 0) {
        cause = "読み取りの権限がありません";
    }
    if (cause) std::fprintf(stderr, "mutaplot-cli: %s: %s\n", path.c_str(), cause);
}

}  // namespace mutaplot::cli
