#include "codec/alt_base64.h"

#include <array>

#include "codec/text_forms.h"
#include "codec/utf8.h"

namespace orlo {

namespace {

constexpr std::array<std::uint8_t, 256> MakeReverse() {
    std::array<std::uint8_t, 256> r{};  // characters outside the alphabet read as zero bits
    for (std::size_t i = 0; i < kAltBase64Alphabet.size(); ++i) {
        r[static_cast<unsigned char>(kAltBase64Alphabet[i])] = static_cast<std::uint8_t>(i);
    }
    return r;
}
constexpr auto kReverse = MakeReverse();

}  // namespace

std::string AltBase64EncodeBytes(ByteView data) {
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < data.size(); i += 3) {
        const std::size_t n = data.size() - i < 3 ? data.size() - i : 3;
        std::uint32_t v = static_cast<std::uint32_t>(data[i]) << 16;
        if (n > 1) v |= static_cast<std::uint32_t>(data[i + 1]) << 8;
        if (n > 2) v |= data[i + 2];
        out += kAltBase64Alphabet[(v >> 18) & 63];
        out += kAltBase64Alphabet[(v >> 12) & 63];
        out += n > 1 ? kAltBase64Alphabet[(v >> 6) & 63] : '=';
        out += n > 2 ? kAltBase64Alphabet[v & 63] : '=';
    }
    return out;
}

Bytes AltBase64DecodeBytes(std::string_view text) {
    Bytes out;
    out.reserve(text.size() / 4 * 3 + 3);
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            ++i;
            continue;
        }
        std::uint32_t v = 0;
        int sextets = 0;
        for (int k = 0; k < 4 && i < text.size(); ++k, ++i) {
            if (sextets < k || text[i] == '=') continue;  // the group ends at "="
            v |= static_cast<std::uint32_t>(kReverse[static_cast<unsigned char>(text[i])]) << (18 - 6 * k);
            ++sextets;
        }
        const int bytes = sextets * 6 / 8;
        for (int b = 0; b < bytes; ++b) out.push_back(static_cast<std::uint8_t>(v >> (16 - 8 * b)));
    }
    return out;
}

std::string AltBase64Encode(std::string_view text) { return AltBase64EncodeBytes(AsBytes(text)); }

std::string AltBase64Decode(std::string_view text) {
    return utf8::Sanitize(AsString(AltBase64DecodeBytes(AnsiForm(text))));
}

}  // namespace orlo
