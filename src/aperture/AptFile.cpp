#include "aperture/AptFile.h"

#include "platform/WholeFile.h"

#include "settings/Cp932.h"
#include "settings/NumberText.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace mutaplot {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// An unquoted field that reads as a decimal number is kept in its shortest
// form ("0.50" -> "0.5"). Words such as "inf" or "nan" are not numbers here.
std::string NormaliseUnquoted(std::string_view text) {
    bool hasDigit = false;
    for (char c : text) hasDigit = hasDigit || (c >= '0' && c <= '9');
    if (!hasDigit) return std::string(text);
    const auto value = ParseDecimal(text);
    if (!value || !std::isfinite(*value)) return std::string(text);
    return FormatDecimal(*value);
}

// Field reader over the raw CP932 bytes. Commas, quotes, CR and LF never occur
// as the second byte of a double-byte character, so the bytes can be cut
// before decoding.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : bytes_(bytes) {
        contentEnd_ = bytes_.size();
        while (contentEnd_ > 0 && (IsBlank(bytes_[contentEnd_ - 1]) || IsLineEnd(bytes_[contentEnd_ - 1])))
            --contentEnd_;
    }

    // Only blanks and line ends are left: the records are over.
    bool AtEndOfRecords() const { return pos_ >= contentEnd_; }

    // Reads the next field as raw bytes (numbers already in shortest form).
    // No value when the data ends before the field is complete: at the end
    // of the bytes (unless a comma promised one more, empty field) or inside
    // an open quote.
    std::optional<std::string> Next() {
        std::size_t i = pos_;
        while (i < bytes_.size() && IsBlank(bytes_[i])) ++i;
        if (i >= bytes_.size()) {
            if (!afterComma_) return std::nullopt;
            pos_ = i;
            afterComma_ = false;
            return std::string();
        }
        std::string field;
        if (bytes_[i] == '"') {
            const std::size_t close = bytes_.find('"', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            field.assign(bytes_.substr(i + 1, close - i - 1));
            i = close + 1;
            // Whatever stands between the closing quote and the separator is dropped.
            while (i < bytes_.size() && bytes_[i] != ',' && !IsLineEnd(bytes_[i])) ++i;
        } else {
            const std::size_t start = i;
            while (i < bytes_.size() && bytes_[i] != ',' && !IsLineEnd(bytes_[i])) ++i;
            std::size_t end = i;
            while (end > start && IsBlank(bytes_[end - 1])) --end;
            field = NormaliseUnquoted(bytes_.substr(start, end - start));
        }
        afterComma_ = false;
        if (i < bytes_.size()) {
            if (bytes_[i] == ',') {
                afterComma_ = true;
                ++i;
            } else if (bytes_[i] == '\r') {
                ++i;
                if (i < bytes_.size() && bytes_[i] == '\n') ++i;
            } else {
                ++i;  // LF
            }
        }
        pos_ = i;
        return field;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t contentEnd_ = 0;  // just after the last byte that is not a blank or line end
    bool afterComma_ = false;
};

// Most fields are plain ASCII, which reads the same in CP932 and UTF-8.
std::optional<std::string> DecodeField(std::string raw) {
    for (char c : raw)
        if (static_cast<unsigned char>(c) >= 0x80) return Cp932ToUtf8(raw);
    return raw;
}

std::string EncodeRecord(const ApertureEntry& entry, bool& ok) {
    std::string record;
    for (int f = 1; f <= kApertureFieldCount; ++f) {
        auto bytes = Utf8ToCp932(ApertureField(entry, f));
        if (!bytes) {
            ok = false;
            return {};
        }
        if (f > 1) record.push_back(',');
        record.push_back('"');
        record += *bytes;
        record.push_back('"');
    }
    record += "\r\n";
    return record;
}

}  // namespace

const char* AptFileMessage(AptFileOutcome outcome) noexcept {
    switch (outcome) {
        case AptFileOutcome::Ok: return nullptr;
        case AptFileOutcome::CannotOpen: return kAptCannotOpenMessage;
        case AptFileOutcome::Damaged: return kAptDamagedMessage;
        case AptFileOutcome::TooFewEntries: return kAptSaveTooFewEntriesMessage;
        case AptFileOutcome::Unencodable: return kAptSaveUnencodableMessage;
        case AptFileOutcome::CannotWrite: return kAptSaveFailedMessage;
    }
    return nullptr;
}

AptFileOutcome AppendAptRecords(std::string_view bytes, std::vector<ApertureEntry>& entries) {
    FieldReader reader(bytes);
    while (!reader.AtEndOfRecords()) {
        ApertureEntry entry;
        for (int f = 1; f <= kApertureFieldCount; ++f) {
            auto raw = reader.Next();
            if (!raw) return AptFileOutcome::Damaged;
            auto text = DecodeField(std::move(*raw));
            if (!text) return AptFileOutcome::Damaged;
            ApertureField(entry, f) = std::move(*text);
        }
        entries.push_back(std::move(entry));
    }
    return AptFileOutcome::Ok;
}

AptFileOutcome LoadAptFile(const std::filesystem::path& path, ApertureTable& table) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) return AptFileOutcome::CannotOpen;
    table.entries.clear();
    SetColumnTitles(table, kAptFileColumnTitles);
    const AptFileOutcome outcome = AppendAptRecords(*bytes, table.entries);
    table.loaded = true;
    return outcome;
}

std::string DefaultAptMissingMessage(const std::filesystem::path& defaultFile) {
    return std::string("アパーチュア・リスト「") + kDefaultAptFileName + "」が見つかりません。\n探した場所: " +
           defaultFile.string() + "\n使用するアパーチュア・リストを選んで下さい。";
}

std::string DefaultAptDamagedMessage(const std::filesystem::path& defaultFile) {
    return std::string("アパーチュア・リスト「") + kDefaultAptFileName +
           "」が途中で切れているか壊れています。\n場所: " + defaultFile.string() +
           "\n読み込めたレコードに続けるアパーチュア・リストを選んで下さい。";
}

bool LoadDefaultAptFile(const std::filesystem::path& appFolder, ApertureTable& table,
                        Dialogs& dialogs, Pointer& pointer) {
    table.entries.clear();
    table.loaded = false;
    SetColumnTitles(table, kDefaultColumnTitles);
    const std::filesystem::path defaultFile = appFolder / kDefaultAptFileName;
    bool missing = false;
    {
        BusyPointer busy(pointer);
        auto bytes = ReadWholeFile(defaultFile);
        if (bytes && AppendAptRecords(*bytes, table.entries) == AptFileOutcome::Ok) {
            table.loaded = true;
            return true;
        }
        missing = !bytes;
    }
    // The default list is missing or broken off: the user is told which file
    // and where, then asked for a list. The records read so far stay at the
    // front, and those of the list the user chooses follow them.
    ShowCheckMessage(dialogs, missing ? DefaultAptMissingMessage(defaultFile)
                                      : DefaultAptDamagedMessage(defaultFile));
    FileDialogFlags flags;
    flags.title = kAptOpenTitle;
    for (;;) {
        const std::string chosen = dialogs.OpenFileName(kAptFileFilter, flags);
        if (chosen.empty()) {
            table.entries.clear();
            table.loaded = false;
            return false;
        }
        std::optional<std::string> bytes;
        AptFileOutcome outcome = AptFileOutcome::CannotOpen;
        {
            BusyPointer busy(pointer);
            bytes = ReadWholeFile(chosen);
            if (bytes) outcome = AppendAptRecords(*bytes, table.entries);
        }
        if (!bytes) {
            ShowCheckMessage(dialogs, kAptCannotOpenMessage);
            continue;  // ask again
        }
        if (outcome != AptFileOutcome::Ok) ShowCheckMessage(dialogs, AptFileMessage(outcome));
        table.loaded = true;
        return true;
    }
}

AptFileOutcome SaveAptFile(const std::filesystem::path& path, const ApertureTable& table) {
    if (table.entries.size() < kApertureCount) return AptFileOutcome::TooFewEntries;
    std::string bytes;
    bytes.reserve(kApertureCount * 40);
    bool ok = true;
    for (std::size_t r = 0; r < kApertureCount && ok; ++r) bytes += EncodeRecord(table.entries[r], ok);
    if (!ok) return AptFileOutcome::Unencodable;
    return WriteFileAtomically(path, bytes) ? AptFileOutcome::Ok : AptFileOutcome::CannotWrite;
}

std::optional<std::string> CheckApertureTable(const ApertureTable& table) {
    const std::size_t count = std::min(table.entries.size(), kApertureCount);
    for (std::size_t r = 0; r < count; ++r)
        for (int f = 1; f <= kApertureFieldCount; ++f)
            if (ApertureField(table.entries[r], f).empty()) return std::string(kCheckEmptyFieldMessage);
    if (table.entries.size() < kApertureCount) return std::string(kCheckTooFewEntriesMessage);
    return std::nullopt;
}

}  // namespace mutaplot
