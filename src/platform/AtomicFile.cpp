#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <climits>
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

// Set by FinishCommandsAfterCommit; g_committed once a target has been
// replaced (under that setting), g_deferredSignal the signal that came after.
std::atomic<bool> g_finishAfterCommit{false};
std::atomic<bool> g_committed{false};
volatile std::sig_atomic_t g_deferredSignal = 0;
static_assert(std::atomic<bool>::is_always_lock_free);

// Removes the temporaries that are open and ends the program by the same
// signal (its default action put back first). A program that finishes its
// commands after a commit keeps running when no temporary was open and a
// target was already replaced: its output is complete.
extern "C" void RemoveTemporariesAndEnd(int signal) {
    const int savedErrno = errno;
    bool anyOpen = false;
    for (auto& slot : g_temporaries) {
        if (slot.state.load(std::memory_order_acquire) == kLive) {
            ::unlink(slot.path);
            anyOpen = true;
        }
    }
    if (!anyOpen && g_finishAfterCommit.load() && g_committed.load()) {
        g_deferredSignal = signal;
        errno = savedErrno;
        return;
    }
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    errno = savedErrno;
    ::raise(signal);  // delivered as soon as the handler returns
}

// Holds the cleanup signals back for a few statements (the rename and the
// bookkeeping after it); a signal that came meanwhile is delivered at the end.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : kCleanupSignals) sigaddset(&set, signal);
        ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

// The longest file name the folder takes (255 on the usual file systems).
std::size_t NameMax(const std::filesystem::path& folder) {
    errno = 0;
    const long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? static_cast<std::size_t>(max) : NAME_MAX;
}

// At most `bytes` bytes of a file name, not cutting a UTF-8 character.
std::string NamePrefix(const std::string& name, std::size_t bytes) {
    if (name.size() <= bytes) return name;
    std::size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut);
}

// Syncs a folder's entries to disk (the rename of a file in it).
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // some file systems refuse it for folders: nothing to do then
    ::close(fd);
}

// The temporary's name: hidden, beside the file it replaces, with an
// absolute folder so that the signal handler finds it whatever the working
// folder is then. A long target name is shortened so that the temporary's
// name stays within the folder's longest name.
std::filesystem::path TemporaryFolder(const std::filesystem::path& target) {
    std::error_code ec;
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    return ec ? folder : absolute;
}

std::string TemporaryPattern(const std::filesystem::path& target) {
    const std::filesystem::path folder = TemporaryFolder(target);
    constexpr std::size_t kAddedBytes = 8;  // "." before, ".XXXXXX" after
    const std::size_t max = NameMax(folder);
    std::string name = ".";
    name += NamePrefix(target.filename().string(), max > kAddedBytes ? max - kAddedBytes : 1);
    name += ".XXXXXX";
    return (folder / name).string();
}

// A target that exists and is neither a regular file nor a folder: a
// device, a FIFO, a socket. It is written into, never replaced.
bool IsSpecialFile(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
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
            handler.sa_flags = 0;
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
    : target_(target.empty() || target == kStandardOutputPath ? target
                                                              : ResolveSaveTarget(target)) {
    if (target_ == kStandardOutputPath) {
        fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        direct_ = true;
        return;
    }
    std::error_code ec;
    if (target_.empty() || std::filesystem::is_directory(target_, ec)) return;
    if (IsSpecialFile(target_)) {
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        direct_ = true;
        return;
    }
    // The handler is in place before the first temporary exists.
    RemoveTemporariesOnSignals();
    tempPath_ = TemporaryPattern(target_);
    fd_ = ::mkostemp(tempPath_.data(), O_CLOEXEC);
    if (fd_ >= 0) slot_ = RegisterTemporary(tempPath_);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
        if (!direct_) {
            ::unlink(tempPath_.c_str());
            ForgetTemporary(slot_);
        }
    }
}

void AtomicFileWriter::Write(std::string_view bytes) {
    if (!ok()) return;
    if (!WriteAll(fd_, bytes)) ok_ = false;
}

bool AtomicFileWriter::Commit() {
    if (!ok()) return false;
    const int fd = fd_;
    fd_ = -1;
    if (direct_) return ::close(fd) == 0;
    TakeTargetMode(fd, target_);
    // The data reach the disk before the name does: a crash after the
    // rename never leaves an empty or partial file under the target's name.
    bool done = ::fsync(fd) == 0;
    done = ::close(fd) == 0 && done;
    {
        SignalsHeld held;
        done = done && std::rename(tempPath_.c_str(), target_.c_str()) == 0;
        if (!done) ::unlink(tempPath_.c_str());
        ForgetTemporary(slot_);  // after the rename: a signal until then still removes it
        slot_ = -1;
        if (done && g_finishAfterCommit.load()) g_committed.store(true);
    }
    if (done) SyncFolder(TemporaryFolder(target_));
    return done;
}

void FinishCommandsAfterCommit() noexcept { g_finishAfterCommit.store(true); }

int SignalAfterCommit() noexcept { return g_deferredSignal; }

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    AtomicFileWriter writer(target);
    writer.Write(bytes);
    return writer.Commit();
}

}  // namespace mutaplot
