#include "platform/AtomicFile.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace mutaplot {

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    if (target.empty()) return false;
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec)) return false;
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    bool ok = true;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (ok && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (ok) {
        // Keep the permissions of a file being replaced; a new file gets the
        // usual 0666 less the umask.
        struct stat st {};
        mode_t mode;
        if (::stat(target.c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
        } else {
            mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        ::fchmod(fd, mode);
    }
    if (::close(fd) != 0) ok = false;
    if (ok) ok = std::rename(pattern.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(pattern.c_str());
    return ok;
}

}  // namespace mutaplot
