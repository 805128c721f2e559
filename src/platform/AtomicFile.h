#pragma once
// Every save writes a temporary file in the target folder and renames it over
// the target, so that a failed save never destroys the previous file.

#include <filesystem>
#include <string_view>

namespace mutaplot {

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
    std::filesystem::path target_;
    std::string tempPath_;
    int fd_ = -1;
    bool ok_ = true;
};

}  // namespace mutaplot
