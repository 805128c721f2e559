#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
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

// The temporary files open at this moment, for the signal handler. The
// handler may run at any instant, so it only reads entries that are complete
// (state Live) and calls nothing but unlink and raise. A fixed table: no
// allocation, no lock. A temporary that finds no free entry (more than
// kTemporarySlots saves at once) is still written, just not removed on a
// signal.
constexpr int kTemporarySlots = 64;
constexpr std::size_t kTemporaryPathBytes = 4096;
enum SlotState : int { kFree, kFilling, kLive };
struct TemporarySlot {
    std::atomic<int> state{kFree};
    char path[kTemporaryPathBytes];
};
TemporarySlot g_temporaries[kTemporarySlots];
static_assert(std::atomic<int>::is_always_lock_free);

int RegisterTemporary(const std::string& path) {
    if (path.size() >= kTemporaryPathBytes) return -1;
    RemoveTemporariesOnSignals();
    for (int i = 0; i < kTemporarySlots; ++i) {
        int expected = kFree;
        if (g_temporaries[i].state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(g_temporaries[i].path, path.c_str(), path.size() + 1);
            g_temporaries[i].state.store(kLive, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

void ForgetTemporary(int slot) {
    if (slot >= 0) g_temporaries[slot].state.store(kFree, std::memory_order_release);
}

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Installed with SA_RESETHAND: the signal's default action is back in place
// when this runs, and the signal raised again is delivered as soon as the
// handler returns, ending the program as it would have ended.
extern "C" void RemoveTemporariesAndEnd(int signal) {
    const int savedErrno = errno;
    for (auto& slot : g_temporaries)
        if (slot.state.load(std::memory_order_acquire) == kLive) ::unlink(slot.path);
    errno = savedErrno;
    ::raise(signal);
}

// The temporary's name: hidden, beside the file it replaces, with an
// absolute folder so that the signal handler finds it whatever the working
// folder is then.
std::string TemporaryPattern(const std::filesystem::path& target) {
    std::error_code ec;
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    if (!ec) folder = absolute;
    std::string name = ".";
    name += target.filename().string();
    name += ".XXXXXX";
    return (folder / name).string();
}

}  // namespace

void RemoveTemporariesOnSignals() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : kCleanupSignals) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) != 0) continue;
            const bool isDefault =
                !(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_DFL;
            if (!isDefault) continue;  // ignored (nohup) or handled by the program
            struct sigaction handler {};
            handler.sa_handler = RemoveTemporariesAndEnd;
            sigemptyset(&handler.sa_mask);
            for (int other : kCleanupSignals) sigaddset(&handler.sa_mask, other);
            handler.sa_flags = SA_RESETHAND;
            ::sigaction(signal, &handler, nullptr);
        }
    });
}

std::filesystem::path ResolveSaveTarget(const std::filesystem::path& target) {
    std::filesystem::path path = target;
    for (int links = 0; links <= 40; ++links) {
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(path, ec);
        if (ec || !std::filesystem::is_symlink(status)) return path;
        const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
        if (ec) return target;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return target;  // a loop of links
}

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& target)
    : target_(target.empty() ? target : ResolveSaveTarget(target)) {
    std::error_code ec;
    if (target_.empty() || std::filesystem::is_directory(target_, ec)) return;
    tempPath_ = TemporaryPattern(target_);
    fd_ = ::mkstemp(tempPath_.data());
    if (fd_ >= 0) slot_ = RegisterTemporary(tempPath_);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(tempPath_.c_str());
        ForgetTemporary(slot_);
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
    ForgetTemporary(slot_);  // after the rename: a signal until then still removes it
    slot_ = -1;
    return done;
}

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    AtomicFileWriter writer(target);
    writer.Write(bytes);
    return writer.Commit();
}

}  // namespace mutaplot
