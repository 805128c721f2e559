#include "settings/Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace mutaplot {

namespace {

// One conversion through iconv. When `lenient`, an invalid or incomplete
// input sequence is replaced by U+FFFD (one input byte skipped) instead of
// failing.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in,
                                   bool lenient) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.resize(in.size() * 3 + 16);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0) {
        std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
            continue;
        }
        if (!lenient) {
            ok = false;
            break;
        }
        // EILSEQ / EINVAL: replace one byte.
        static constexpr char kReplacement[] = "\xEF\xBF\xBD";
        if (outLeft < 3) {
            const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
            out.resize(out.size() * 2 + 3);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
        }
        for (int i = 0; i < 3; ++i) *outPtr++ = kReplacement[i];
        outLeft -= 3;
        ++inPtr;
        --inLeft;
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    return out;
}

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view bytes) {
    return Convert("UTF-8", "CP932", bytes, false);
}

std::string Cp932ToUtf8Lenient(std::string_view bytes) {
    auto r = Convert("UTF-8", "CP932", bytes, true);
    return r ? *r : std::string();
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
    return Convert("CP932", "UTF-8", text, false);
}

}  // namespace mutaplot
