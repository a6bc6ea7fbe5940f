// Byte buffers shared by the codecs and their callers.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orlo {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline ByteView AsBytes(std::string_view s) {
    return ByteView(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}
inline std::string AsString(ByteView b) { return std::string(reinterpret_cast<const char*>(b.data()), b.size()); }

}  // namespace orlo
