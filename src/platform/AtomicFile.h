#pragma once
// Every save writes a temporary file in the target folder and renames it over
// the target, so that a failed save never destroys the previous file.
//
// A target that is a symbolic link is written through the link: the file it
// leads to is replaced (the temporary file lies in that file's folder) and the
// link stays. A program ended by SIGINT, SIGTERM or SIGHUP while a temporary
// file is open removes it before it ends (see RemoveTemporariesOnSignals).
// The temporary's data are synced to disk before the rename, and the folder
// after it.
//
// A target that exists and is not a regular file (a device such as
// /dev/null, a FIFO, a socket) is written into directly and never replaced;
// kStandardOutputPath writes to the process's standard output. Neither uses
// a temporary file.

#include <filesystem>
#include <string_view>

namespace mutaplot {

// The target that stands for standard output.
inline constexpr const char* kStandardOutputPath = "/dev/stdout";

// Writes `bytes` as the whole new content of `target`. Returns false (target
// untouched, temporary removed) when anything fails.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// The same for output too large to hold in memory: pieces are written to the
// temporary file as they come, and Commit renames it over the target. A
// writer destroyed without a successful Commit removes its temporary file and
// leaves the target untouched.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::filesystem::path& target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False once anything has failed (the temporary could not be created or
    // a write failed); later writes are ignored.
    bool ok() const noexcept { return fd_ >= 0 && ok_; }
    void Write(std::string_view bytes);
    // Closes the temporary and renames it over the target; false on failure.
    bool Commit();

private:
    std::filesystem::path target_;  // the file replaced: the target, its links followed
    std::string tempPath_;
    int fd_ = -1;
    bool direct_ = false;  // written into the target itself (no temporary)
    int slot_ = -1;  // the temporary's entry among those removed on a signal
    bool ok_ = true;
};

// The file a save onto `target` replaces: `target` with its symbolic links
// followed (also a link to a file that does not exist yet). A loop of links,
// or more than 40 of them, gives `target` unchanged.
std::filesystem::path ResolveSaveTarget(const std::filesystem::path& target);

// Installs, once per process, the handler that removes the open temporary
// files on SIGINT, SIGTERM and SIGHUP and then ends the program by the same
// signal. A signal the program ignores or handles itself is left alone. Each
// writer calls it before it creates its temporary; a program may call it
// earlier.
void RemoveTemporariesOnSignals();

// For a program whose outputs are complete once renamed into place (the
// command line): a cleanup signal that arrives when no temporary is open and
// a target has already been replaced no longer ends the program; the
// command finishes normally and SignalAfterCommit tells which signal came
// (0: none).
void FinishCommandsAfterCommit() noexcept;
int SignalAfterCommit() noexcept;

}  // namespace mutaplot
