#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace orlo::platform {
namespace {

const char* AnsiCharset() {
    const char* name = std::getenv("ORLO_ANSI_CODEPAGE");
    return (name && *name) ? name : "CP936";
}

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle Open(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return IconvHandle();
    return IconvHandle(cd);
}

// Converts the whole input; on an unconvertible sequence either fails or writes `replacement`
// and skips `skip` input bytes (one UTF-8 character or one byte).
std::optional<std::string> Convert(std::string_view in,
                                   const char* to,
                                   const char* from,
                                   const char* replacement,
                                   bool from_utf8) {
    IconvHandle cd = Open(to, from);
    if (!cd) return std::nullopt;
    std::string out;
    out.reserve(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buffer[4096];
    while (left > 0) {
        char* dst = buffer;
        size_t room = sizeof buffer;
        size_t rc = iconv(cd.get(), &src, &left, &dst, &room);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        if (!replacement) return std::nullopt;
        out += replacement;
        size_t skip = 1;
        if (from_utf8) {
            auto lead = static_cast<unsigned char>(*src);
            skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            // Do not skip past what is actually a truncated sequence.
            while (skip > 1 && (skip > left || (static_cast<unsigned char>(src[skip - 1]) & 0xC0) != 0x80)) --skip;
        }
        src += skip;
        left -= skip;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buffer;
    size_t room = sizeof buffer;
    iconv(cd.get(), nullptr, nullptr, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    return out;
}

}  // namespace

std::optional<std::string> Utf8ToAnsi(std::string_view utf8) {
    return Convert(utf8, AnsiCharset(), "UTF-8", nullptr, true);
}

std::string Utf8ToAnsiLossy(std::string_view utf8) {
    return Convert(utf8, AnsiCharset(), "UTF-8", "?", true).value_or(std::string());
}

std::string AnsiToUtf8(std::string_view ansi) {
    return Convert(ansi, "UTF-8", AnsiCharset(), "\xEF\xBF\xBD", false).value_or(std::string());
}

}  // namespace orlo::platform
