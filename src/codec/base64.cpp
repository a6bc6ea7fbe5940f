#include "codec/base64.h"

#include <array>

namespace orlo {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> MakeReverse() {
    std::array<std::int8_t, 256> r{};
    r.fill(-1);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        r[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    }
    return r;
}
constexpr auto kReverse = MakeReverse();

}  // namespace

std::string Base64Encode(ByteView data) {
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= data.size(); i += 3) {
        const std::uint32_t v = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const std::size_t rest = data.size() - i;
    if (rest > 0) {
        const std::uint32_t v = (data[i] << 16) | (rest == 2 ? data[i + 1] << 8 : 0);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

Result<Bytes> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return Result<Bytes>::Fail("Base64 text length " + std::to_string(text.size()) + " is not a multiple of 4");
    }
    std::size_t pad = 0;
    if (!text.empty() && text.back() == '=') pad = text[text.size() - 2] == '=' ? 2 : 1;
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const std::size_t chars = last ? 4 - pad : 4;
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            int d = 0;
            if (k < chars) {
                d = kReverse[static_cast<unsigned char>(c)];
                if (d < 0) {
                    return Result<Bytes>::Fail(
                        c == '='
                            ? "Base64 padding in the middle of the text at offset " + std::to_string(i + k)
                            : "Base64 text has a character outside the alphabet at offset " + std::to_string(i + k));
                }
            }
            v = (v << 6) | static_cast<std::uint32_t>(d);
        }
        out.push_back(static_cast<std::uint8_t>(v >> 16));
        if (chars > 2) out.push_back(static_cast<std::uint8_t>(v >> 8));
        if (chars > 3) out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

std::string Utf8Base64(std::string_view text) { return Base64Encode(AsBytes(text)); }

}  // namespace orlo
