#include "convert/OutputWriter.h"

#include "platform/AtomicFile.h"

#include "input/Charcode.h"

#include <new>

namespace mutaplot {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string_view Separator(LineBreak lineBreak) noexcept {
    switch (lineBreak) {
        case LineBreak::Lf: return "\n";
        case LineBreak::Cr: return "\r";
        case LineBreak::CrLf: return kCrLf;
        default: return {};
    }
}

// Shift-JIS (code page 932) lead and trail bytes of a double-byte character.
bool IsLeadByte(unsigned char b) noexcept { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned char b) noexcept { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

}  // namespace

std::optional<std::string> JoinOutputText(const OutputBlockList& blocks, std::uint8_t lineBreak,
                                          std::uint8_t outputCode) {
    const LineBreak layout = CodeAs<LineBreak>(lineBreak);
    const CharCode code = CodeAs<CharCode>(outputCode);
    if (!IsKnown(layout) || !IsKnown(code)) return std::nullopt;
    const std::string_view separator = Separator(layout);
    const std::size_t count = blocks.blockCount();
    std::string text;
    text.reserve(blocks.textSize() + count * separator.size() + 2);
    for (std::size_t k = 0; k < count; ++k) {
        if (k > 0) text += separator;
        text += blocks[k];
    }
    // An ASCII file always ends with CR LF; for line break 4 that is the
    // CR LF after the last block, and an empty list then gives no bytes.
    if (code == CharCode::Ascii && (layout != LineBreak::CrLf || count > 0)) text += kCrLf;
    return text;
}

std::optional<std::string> TranslateToEbcdic(std::string_view text,
                                             const std::array<std::uint8_t, 256>& asciiToEbcdic) {
    std::string bytes(text.size(), '\0');
    for (std::size_t k = 0; k < text.size(); ++k) {
        const auto b = static_cast<unsigned char>(text[k]);
        if (IsLeadByte(b) && k + 1 < text.size() &&
            IsTrailByte(static_cast<unsigned char>(text[k + 1])))
            return std::nullopt;
        bytes[k] = static_cast<char>(asciiToEbcdic[b]);
    }
    return bytes;
}

std::optional<std::string> ComposeOutputFile(const OutputBlockList& blocks,
                                             const ConversionSettings& settings,
                                             ComposeError* error) {
    auto fail = [&](ComposeError e) -> std::optional<std::string> {
        if (error) *error = e;
        return std::nullopt;
    };
    if (error) *error = ComposeError::None;
    auto text = JoinOutputText(blocks, settings.lineBreak, settings.outputCode);
    if (!text) return fail(ComposeError::Layout);
    if (CodeAs<CharCode>(settings.outputCode) == CharCode::Ascii) return text;
    auto bytes = TranslateToEbcdic(*text, BuildAsciiToEbcdic());
    if (!bytes) return fail(ComposeError::DoubleByte);
    return bytes;
}

SaveOutcome SaveConvertedFile(const std::filesystem::path& path, const OutputBlockList& blocks,
                              const ConversionSettings& settings, Dialogs& dialogs,
                              Pointer& pointer) {
    if (path.empty()) return SaveOutcome::Cancelled;
    BusyPointer busy(pointer);
    pointer.ProcessPendingEvents();
    ComposeError error = ComposeError::None;
    std::optional<std::string> bytes;
    try {
        bytes = ComposeOutputFile(blocks, settings, &error);
    } catch (const std::bad_alloc&) {
        ShowCheckMessage(dialogs, kSaveFailedMessage);
        return SaveOutcome::Failed;
    }
    if (!bytes) {
        ShowCheckMessage(dialogs, error == ComposeError::DoubleByte ? kEbcdicDoubleByteMessage
                                                                    : kOutputLayoutMessage);
        return SaveOutcome::Failed;
    }
    if (!WriteFileAtomically(path, *bytes)) {
        ShowCheckMessage(dialogs, kSaveFailedMessage);
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Saved;
}

}  // namespace mutaplot
