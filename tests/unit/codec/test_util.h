// Helpers shared by the codec tests.
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "codec/bytes.h"

namespace orlo::test {

inline Bytes FromHex(std::string_view hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return out;
}

inline std::string ToHex(ByteView b) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (std::uint8_t c : b) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

inline Bytes RandomBytes(std::size_t n, std::mt19937& rng) {
    Bytes out(n);
    for (auto& b : out) b = static_cast<std::uint8_t>(rng());
    return out;
}

}  // namespace orlo::test
