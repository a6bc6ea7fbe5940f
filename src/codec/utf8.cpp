#include "codec/utf8.h"

namespace orlo::utf8 {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

char32_t Next(std::string_view s, std::size_t& pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = at(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t extra = 0;
    char32_t cp = 0;
    // Bounds of the second byte exclude overlong forms, surrogates and values past U+10FFFF.
    unsigned char lo = 0x80, hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        ++pos;
        return kInvalid;
    }
    if (s.size() - pos <= extra) {
        ++pos;
        return kInvalid;
    }
    const unsigned char second = at(pos + 1);
    if (second < lo || second > hi) {
        ++pos;
        return kInvalid;
    }
    for (std::size_t i = 1; i <= extra; ++i) {
        const unsigned char c = at(pos + i);
        if (!IsContinuation(c)) {
            ++pos;
            return kInvalid;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    pos += extra + 1;
    return cp;
}

std::string Sanitize(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (pos < s.size()) {
        const std::size_t start = pos;
        if (Next(s, pos) == kInvalid) {
            out += "\xEF\xBF\xBD";
        } else {
            out.append(s.substr(start, pos - start));
        }
    }
    return out;
}

}  // namespace orlo::utf8
