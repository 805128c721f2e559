#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace mutaplot {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Keep the permissions of a file being replaced; a new file gets the usual
// 0666 less the umask.
void TakeTargetMode(int fd, const std::filesystem::path& target) {
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

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& target) : target_(target) {
    std::error_code ec;
    if (target.empty() || std::filesystem::is_directory(target, ec)) return;
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    tempPath_ = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkstemp(tempPath_.data());
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(tempPath_.c_str());
    }
}

void AtomicFileWriter::Write(std::string_view bytes) {
    if (!ok()) return;
    if (!WriteAll(fd_, bytes)) ok_ = false;
}

bool AtomicFileWriter::Commit() {
    if (!ok()) return false;
    TakeTargetMode(fd_, target_);
    const int fd = fd_;
    fd_ = -1;
    bool done = ::close(fd) == 0 && std::rename(tempPath_.c_str(), target_.c_str()) == 0;
    if (!done) ::unlink(tempPath_.c_str());
    return done;
}

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    AtomicFileWriter writer(target);
    writer.Write(bytes);
    return writer.Commit();
}

}  // namespace mutaplot
