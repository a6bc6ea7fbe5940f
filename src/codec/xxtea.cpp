#include "codec/xxtea.h"

#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace orlo {

namespace {

constexpr std::uint32_t kDelta = 0x9E3779B9;
using Key = std::array<std::uint32_t, 4>;
using Words = std::vector<std::uint32_t>;

std::uint32_t Mx(std::uint32_t sum, std::uint32_t y, std::uint32_t z, std::uint32_t p, std::uint32_t e, const Key& k) {
    return (((z >> 5) ^ (y << 2)) + ((y >> 3) ^ (z << 4))) ^ ((sum ^ y) + (k[(p & 3) ^ e] ^ z));
}

// Little-endian words; a last partial word is zero-filled. `extra` words are appended as zero.
Words ToWords(ByteView bytes, std::size_t extra) {
    Words w((bytes.size() + 3) / 4 + extra, 0);
    if constexpr (std::endian::native == std::endian::little) {
        if (!bytes.empty()) std::memcpy(w.data(), bytes.data(), bytes.size());
    } else {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            w[i / 4] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (i % 4));
        }
    }
    return w;
}

Bytes ToBytes(const Words& w, std::size_t count) {
    Bytes out(count);
    if constexpr (std::endian::native == std::endian::little) {
        if (count > 0) std::memcpy(out.data(), w.data(), count);
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = static_cast<std::uint8_t>(w[i / 4] >> (8 * (i % 4)));
        }
    }
    return out;
}

Key ToKey(ByteView key) {
    const Words w = ToWords(key.first(key.size() < 16 ? key.size() : 16), 0);
    Key k{};
    for (std::size_t i = 0; i < w.size(); ++i) k[i] = w[i];
    return k;
}

void Encipher(Words& words, const Key& k) {
    const std::uint32_t n = static_cast<std::uint32_t>(words.size());
    if (n < 2) return;
    std::uint32_t* v = words.data();
    std::uint32_t rounds = 6 + 52 / n;
    std::uint32_t sum = 0, z = v[n - 1], y;
    do {
        sum += kDelta;
        const std::uint32_t e = (sum >> 2) & 3;
        std::uint32_t p;
        for (p = 0; p < n - 1; ++p) {
            y = v[p + 1];
            z = v[p] += Mx(sum, y, z, p, e, k);
        }
        y = v[0];
        z = v[n - 1] += Mx(sum, y, z, p, e, k);
    } while (--rounds);
}

void Decipher(Words& words, const Key& k) {
    const std::uint32_t n = static_cast<std::uint32_t>(words.size());
    if (n < 2) return;
    std::uint32_t* v = words.data();
    std::uint32_t rounds = 6 + 52 / n;
    std::uint32_t sum = rounds * kDelta, y = v[0], z;
    do {
        const std::uint32_t e = (sum >> 2) & 3;
        std::uint32_t p;
        for (p = n - 1; p > 0; --p) {
            z = v[p - 1];
            y = v[p] -= Mx(sum, y, z, p, e, k);
        }
        z = v[n - 1];
        y = v[0] -= Mx(sum, y, z, p, e, k);
        sum -= kDelta;
    } while (--rounds);
}

}  // namespace

Bytes XXTeaEncrypt(ByteView data, ByteView key) {
    if (data.empty()) return {};
    Words v = ToWords(data, 1);
    v.back() = static_cast<std::uint32_t>(data.size());
    Encipher(v, ToKey(key));
    return ToBytes(v, v.size() * 4);
}

Bytes XXTeaDecrypt(ByteView data, ByteView key) {
    if (data.empty()) return {};
    Words v = ToWords(data, 0);
    Decipher(v, ToKey(key));
    // Unsigned on purpose: with a single word the lower bound wraps and nothing passes.
    const std::uint32_t n = static_cast<std::uint32_t>(v.size());
    const std::uint32_t m = v.back();
    if (m < 4 * n - 7 || m > 4 * n - 4) return {};
    return ToBytes(v, m);
}

}  // namespace orlo
