#include "input/BlockReader.h"

#include "input/Charcode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace mutaplot {

namespace {

// Removes leading and trailing spaces (U+0020 only; tabs and other control
// characters stay in the block).
std::string_view TrimSpaces(std::string_view text) noexcept {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool IsLineEnd(char c) noexcept { return c == '\r' || c == '\n'; }

// What an EBCDIC-mode character does once translated.
enum EbcdicAction : std::uint8_t { kAppend = 0, kDrop, kEndIfNotEmpty, kEnd };

// Steps in which an ASCII piece is searched for NUL bytes.
constexpr std::size_t kNulScanStep = std::size_t{16} << 10;

EbcdicAction EbcdicActionFor(char c, InputSeparator separator) noexcept {
    if (c == '\0') return kDrop;  // EBCDIC 0x00 is NUL: tape padding, never data
    if (c == '*') return kEnd;
    if (c == '\n') return separator == InputSeparator::Lf ? kEndIfNotEmpty : kDrop;
    if (c == '\r') return separator == InputSeparator::Star ? kDrop : kEndIfNotEmpty;
    return kAppend;
}

}  // namespace

const char* CutFailureMessage(CutResult result) noexcept {
    switch (result) {
        case CutResult::LineTooLong: return kLineBreakMessage;
        case CutResult::EmptyFile: return kEmptyFileMessage;
        case CutResult::StarNotFound: return kStarNotFoundMessage;
        case CutResult::Ok:
        case CutResult::BadFormat: break;
    }
    return kFileFormatMessage;
}

BlockCutter::BlockCutter(std::uint8_t separatorCode, std::uint8_t charCode, ReaderEntry entry,
                         BlockList& blocks)
    : blocks_(blocks),
      mode_(Mode::Invalid),
      starLimit_(entry == ReaderEntry::Viewer ? kStarLimitViewer : kStarLimitMainWindow) {
    const InputSeparator separator = CodeAs<InputSeparator>(separatorCode);
    const CharCode code = CodeAs<CharCode>(charCode);
    if (IsKnown(separator)) {
        if (code == CharCode::Ascii) {
            mode_ = separator == InputSeparator::Cr   ? Mode::AsciiCr
                    : separator == InputSeparator::Lf ? Mode::AsciiLf
                                                      : Mode::AsciiStar;
        } else if (code == CharCode::Ebcdic) {
            mode_ = Mode::Ebcdic;
            ebcdicToAscii_ = BuildEbcdicToAscii();
            for (std::size_t c = 0; c < 256; ++c)
                ebcdicAction_[c] = EbcdicActionFor(static_cast<char>(c), separator);
        }
    }
    if (mode_ == Mode::Invalid) result_ = CutResult::BadFormat;
}

CutResult BlockCutter::Feed(std::string_view bytes) {
    if (result_ != CutResult::Ok) return result_;
    if (mode_ == Mode::Ebcdic) {
        // NUL is dropped by the action table, after translation.
        FeedEbcdic(bytes);
        return result_;
    }
    if (mode_ == Mode::Invalid) return result_;
    // NUL bytes (tape padding after the end of the data) are never part of a
    // block: they go before any cutting or length check. The piece is looked
    // at in steps small enough to stay in the cache for the cutting that
    // follows; a step without NUL is cut without copying.
    while (!bytes.empty() && result_ == CutResult::Ok) {
        std::string_view step = bytes.substr(0, kNulScanStep);
        bytes.remove_prefix(step.size());
        if (std::memchr(step.data(), '\0', step.size()) != nullptr) {
            withoutNul_.clear();
            for (char c : step)
                if (c != '\0') withoutNul_.push_back(c);
            step = withoutNul_;
        }
        switch (mode_) {
            case Mode::AsciiCr: FeedAsciiCr(step); break;
            case Mode::AsciiLf: FeedAsciiLf(step); break;
            case Mode::AsciiStar: FeedAsciiStar(step); break;
            case Mode::Ebcdic:
            case Mode::Invalid: break;
        }
    }
    return result_;
}

CutResult BlockCutter::Finish() {
    if (result_ != CutResult::Ok) return result_;
    if (mode_ == Mode::AsciiCr && lineHasBytes_) {
        // The last line counts even without a line end.
        EndCrLine();
    } else if (mode_ == Mode::AsciiLf && !probeDone_) {
        // The file ended before the first LF: the probe could not finish.
        result_ = CutResult::BadFormat;
    }
    // Otherwise the text after the last separator is dropped.
    block_.clear();
    return result_;
}

void BlockCutter::EndBlock() {
    blocks_.Append(TrimSpaces(block_));
    block_.clear();
}

// ASCII, CR or CR LF: one block per line. A line ends at CR or CR LF; a lone
// LF is an ordinary character. The trimmed line may be at most 100
// characters; one final "*" is then taken off (without trimming again).
void BlockCutter::FeedAsciiCr(std::string_view bytes) {
    const char* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    if (afterCr_ && n > 0) {
        afterCr_ = false;
        if (p[0] == '\n') i = 1;
    }
    while (i < n) {
        const void* cr = std::memchr(p + i, '\r', n - i);
        const std::size_t end = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - p) : n;
        if (end > i) {
            lineHasBytes_ = true;
            AppendCrLineText(bytes.substr(i, end - i));
            if (result_ != CutResult::Ok) return;
        }
        if (!cr) break;
        EndCrLine();
        i = end + 1;
        if (i < n) {
            if (p[i] == '\n') ++i;
        } else {
            afterCr_ = true;  // the LF of a CR LF may start the next piece
        }
    }
}

// Adds text of the current CR-mode line. Leading spaces are dropped at once;
// trailing ones are only counted until a later character shows they are
// inner spaces, so a line of any length is checked without storing it.
void BlockCutter::AppendCrLineText(std::string_view text) {
    if (block_.empty()) {
        const std::size_t first = text.find_first_not_of(' ');
        if (first == std::string_view::npos) return;
        text.remove_prefix(first);
        parameterLine_ = inParameterBlock_ || text.front() == '%';
    }
    const std::size_t last = text.find_last_not_of(' ');
    if (last == std::string_view::npos) {
        pendingSpaces_ += text.size();
        return;
    }
    const std::size_t bodySize = last + 1;
    if (block_.size() + pendingSpaces_ + bodySize > kMaxCrLineLength) {
        // RS-274X parameter blocks (aperture macros, long %AD lists) may be
        // longer than a data line. Such a line is kept whole as long as it
        // holds no LF, which would show an LF file read in the wrong mode.
        const bool holdsLf = std::memchr(text.data(), '\n', bodySize) != nullptr ||
                             block_.find('\n') != std::string::npos;
        if (!parameterLine_ || holdsLf) {
            result_ = CutResult::LineTooLong;
            return;
        }
    }
    block_.append(pendingSpaces_, ' ');
    block_.append(text.substr(0, bodySize));
    pendingSpaces_ = text.size() - bodySize;
}

void BlockCutter::EndCrLine() {
    // The line is already trimmed; a space before a final "*" stays.
    if (!block_.empty() && block_.back() == '*') block_.pop_back();
    if (std::count(block_.begin(), block_.end(), '%') % 2 != 0)
        inParameterBlock_ = !inParameterBlock_;
    blocks_.Append(block_);
    block_.clear();
    pendingSpaces_ = 0;
    lineHasBytes_ = false;
}

// ASCII, LF: first a probe (an LF must come within the first 100
// characters), then LF ends the block (also when empty), "*" is dropped and
// every other character, CR included, is kept. No block can be stored before
// the probe succeeds, so cutting runs alongside it.
void BlockCutter::FeedAsciiLf(std::string_view bytes) {
    const char* p = bytes.data();
    const std::size_t n = bytes.size();
    if (!probeDone_) {
        const std::size_t span = std::min(n, kLfProbeLength - probeCount_);
        if (span > 0 && std::memchr(p, '\n', span)) {
            probeDone_ = true;
        } else {
            probeCount_ += span;
            if (probeCount_ >= kLfProbeLength) {
                result_ = CutResult::LineTooLong;
                return;
            }
        }
    }
    std::size_t i = 0;
    while (i < n) {
        const void* lf = std::memchr(p + i, '\n', n - i);
        const std::size_t end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - p) : n;
        // Append [i, end) without its "*" characters.
        while (i < end) {
            const void* star = std::memchr(p + i, '*', end - i);
            const std::size_t stop =
                star ? static_cast<std::size_t>(static_cast<const char*>(star) - p) : end;
            block_.append(p + i, stop - i);
            i = star ? stop + 1 : end;
        }
        if (!lf) break;
        EndBlock();
        i = end + 1;
    }
}

// ASCII, "*": "*" ends the block (also when empty); CR and LF are dropped.
// A counter of characters since the last "*" (line ends included) must be
// below the limit whenever a character other than CR or LF arrives.
void BlockCutter::FeedAsciiStar(std::string_view bytes) {
    const char* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const void* star = std::memchr(p + i, '*', n - i);
        const std::size_t end = star ? static_cast<std::size_t>(static_cast<const char*>(star) - p) : n;
        const std::size_t length = end - i;
        // The character at i + k arrives with the counter at counter_ + k.
        // A block of an RS-274X parameter block (a long %AD or macro
        // primitive) is not held to the limit.
        if (counter_ + length > starLimit_ && !StarBlockIsParameter(bytes.substr(i, length))) {
            const std::size_t firstOver = starLimit_ > counter_ ? i + (starLimit_ - counter_) : i;
            for (std::size_t k = firstOver; k < end; ++k) {
                if (!IsLineEnd(p[k])) {
                    result_ = CutResult::StarNotFound;
                    return;
                }
            }
        }
        for (std::size_t k = i; k < end; ++k)
            if (!IsLineEnd(p[k])) block_.push_back(p[k]);
        counter_ += length;
        if (!star) break;
        if (counter_ >= starLimit_ && !StarBlockIsParameter({})) {
            result_ = CutResult::StarNotFound;
            return;
        }
        if (std::count(block_.begin(), block_.end(), '%') % 2 != 0)
            inParameterBlock_ = !inParameterBlock_;
        EndBlock();
        counter_ = 1;  // the "*" itself has been counted
        i = end + 1;
    }
}

// "*" mode: whether the block being cut (what block_ holds, then `piece`)
// belongs to a "%" parameter block: one is open, or the block's first
// character other than a blank or line end is "%".
bool BlockCutter::StarBlockIsParameter(std::string_view piece) const {
    if (inParameterBlock_) return true;
    for (const std::string_view text : {std::string_view(block_), piece}) {
        for (const char c : text) {
            if (c == ' ' || IsLineEnd(c)) continue;
            return c == '%';
        }
    }
    return false;
}

// EBCDIC: every byte is translated first, then CR, LF and "*" act by the
// separator (no length checks in this mode). A block that lies wholly inside
// the piece goes to the list straight from the translated text.
void BlockCutter::FeedEbcdic(std::string_view bytes) {
    const std::size_t n = bytes.size();
    translated_.resize(n);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t k = 0; k < n; ++k) translated_[k] = static_cast<char>(ebcdicToAscii_[in[k]]);

    const char* t = translated_.data();
    auto actionAt = [&](std::size_t k) { return ebcdicAction_[static_cast<unsigned char>(t[k])]; };
    std::size_t i = 0;
    while (i < n) {
        const std::size_t start = i;
        while (i < n && actionAt(i) == kAppend) ++i;
        const std::string_view run(t + start, i - start);
        if (i == n) {
            block_.append(run);
            break;
        }
        const std::uint8_t action = actionAt(i);
        ++i;
        if (action == kDrop) {
            block_.append(run);
            continue;
        }
        std::string_view whole = run;
        if (!block_.empty()) {
            block_.append(run);
            whole = block_;
        }
        const std::string_view trimmed = TrimSpaces(whole);
        if (action == kEnd || !trimmed.empty()) blocks_.Append(trimmed);
        block_.clear();
    }
}

CutResult CutBlocks(std::string_view bytes, const ConversionSettings& settings,
                    ReaderEntry entry, BlockList& blocks) {
    blocks = BlockList{};
    BlockCutter cutter(settings.inputSeparator, settings.inputCode, entry, blocks);
    cutter.Feed(bytes);
    return cutter.Finish();
}

namespace {

constexpr std::size_t kReadChunkBytes = std::size_t{4} << 20;

class FileHandle {
public:
    // O_NONBLOCK: opening a FIFO must not wait for a writer (it is refused
    // as not a regular file right after); regular files ignore the flag.
    explicit FileHandle(const std::filesystem::path& path)
        : fd_(path == kStandardInputPath
                  ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                  : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int fd() const noexcept { return fd_; }
    void Close() noexcept {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// Reads up to `size` bytes; returns the count (0 at end of file), -1 on error.
long ReadSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0 || errno != EINTR) return static_cast<long>(got);
    }
}

// Restores the pointer and Text1 once, on whichever path the read leaves by.
class ReadGuard {
public:
    ReadGuard(Pointer& pointer, ReadStatus* status) : pointer_(pointer), status_(status) {}
    ~ReadGuard() { Restore(); }
    ReadGuard(const ReadGuard&) = delete;
    ReadGuard& operator=(const ReadGuard&) = delete;
    void Busy() { pointer_.SetPointer(PointerShape::Busy); }
    void Restore() {
        if (restored_) return;
        restored_ = true;
        pointer_.SetPointer(PointerShape::Default);
        if (status_) status_->ShowInputTitle();
    }

private:
    Pointer& pointer_;
    ReadStatus* status_;
    bool restored_ = false;
};

}  // namespace

ReadOutcome ReadBlockFile(const std::filesystem::path& path, const ConversionSettings& settings,
                          InputBlockList& blocks, ReaderEntry entry, Dialogs& dialogs,
                          Pointer& pointer, ReadStatus* status, ReadFault* fault) {
    ReadGuard guard(pointer, status);
    if (fault) *fault = ReadFault::None;
    if (path.empty()) return ReadOutcome::Cancelled;

    FileHandle file(path);
    // Ends the read with a message: the file is closed and the pointer and
    // Text1 are restored first, so the message box is answered with the
    // normal pointer.
    auto fail = [&](CutResult why) {
        file.Close();
        if (status && (why == CutResult::LineTooLong || why == CutResult::StarNotFound))
            status->ClearOutputStatus();
        guard.Restore();
        ShowCheckMessage(dialogs, CutFailureMessage(why));
        return ReadOutcome::Failed;
    };

    const bool codesValid = IsKnown(CodeAs<CharCode>(settings.inputCode)) &&
                            IsKnown(CodeAs<InputSeparator>(settings.inputSeparator));
    if (!codesValid || file.fd() < 0) return fail(CutResult::BadFormat);
    struct stat st {};
    // Standard input may be a pipe: read to its end, within the same limit.
    const bool stream = path == kStandardInputPath;
    if (::fstat(file.fd(), &st) != 0 || (!stream && !S_ISREG(st.st_mode)) || st.st_size < 0 ||
        static_cast<std::uint64_t>(st.st_size) > kMaxInputFileBytes)
        return fail(CutResult::BadFormat);
    if (stream && !S_ISREG(st.st_mode)) st.st_size = 0;
    const auto faulty = [&](ReadFault why) {
        if (fault) *fault = why;
        return fail(CutResult::BadFormat);
    };

    // The file is open: from here on the list is replaced.
    CutResult result = CutResult::Ok;
    try {
        blocks = BlockList{};
        blocks.Reserve(0, static_cast<std::size_t>(st.st_size));
        guard.Busy();
        if (status) status->ShowReading();
        pointer.ProcessPendingEvents();

        BlockCutter cutter(settings.inputSeparator, settings.inputCode, entry, blocks);
        const std::size_t chunkSize =
            stream ? kReadChunkBytes
                   : std::min<std::size_t>(kReadChunkBytes, static_cast<std::size_t>(st.st_size) + 1);
        std::unique_ptr<char[]> buffer(new char[chunkSize]);
        std::uint64_t total = 0;
        for (;;) {
            const long got = ReadSome(file.fd(), buffer.get(), chunkSize);
            if (got < 0) return faulty(ReadFault::ReadError);
            if (got == 0) {
                // Cut short by another program while it was read: the
                // blocks so far would be half a file.
                if (total < static_cast<std::uint64_t>(st.st_size))
                    return faulty(ReadFault::CutShort);
                break;
            }
            total += static_cast<std::uint64_t>(got);
            if (total > kMaxInputFileBytes) return fail(CutResult::BadFormat);
            result = cutter.Feed(std::string_view(buffer.get(), static_cast<std::size_t>(got)));
            if (result != CutResult::Ok) break;
        }
        if (result == CutResult::Ok) {
            // An empty file holds no data to convert or draw.
            if (total == 0) return fail(CutResult::EmptyFile);
            result = cutter.Finish();
        }
    } catch (const std::bad_alloc&) {
        result = CutResult::BadFormat;
    } catch (const std::length_error&) {
        result = CutResult::BadFormat;
    }
    if (result != CutResult::Ok) return fail(result);
    file.Close();
    return ReadOutcome::Read;
}

ReadOutcome ReadBlockFileKeepingList(const std::filesystem::path& path,
                                     const ConversionSettings& settings, InputBlockList& blocks,
                                     ReaderEntry entry, Dialogs& dialogs, Pointer& pointer,
                                     ReadStatus* status) {
    InputBlockList fresh;
    const ReadOutcome outcome = ReadBlockFile(path, settings, fresh, entry, dialogs, pointer, status);
    if (outcome == ReadOutcome::Read) blocks = std::move(fresh);
    return outcome;
}

ReadOutcome OpenBlockFile(const ConversionSettings& settings, InputBlockList& blocks,
                          ReaderEntry entry, Dialogs& dialogs, Pointer& pointer,
                          ReadStatus* status) {
    FileDialogFlags flags;
    flags.hideReadOnly = true;
    const std::string path = dialogs.OpenFileName(kPhotoFileFilter, flags);
    return ReadBlockFile(path, settings, blocks, entry, dialogs, pointer, status);
}

}  // namespace mutaplot
