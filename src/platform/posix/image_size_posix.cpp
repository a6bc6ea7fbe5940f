// Picture sizes from the file headers: the headless build draws nothing, but the skin still
// asks how large its pictures are.
#include "platform/widgets.h"

namespace orlo::platform {
namespace {

std::uint32_t Be(ByteView b, size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | b[at + i];
    return v;
}

std::uint32_t Le(ByteView b, size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}

std::optional<std::pair<int, int>> Size(std::uint32_t w, std::uint32_t h) {
    if (w == 0 || h == 0 || w > 1u << 16 || h > 1u << 16) return std::nullopt;
    return std::pair{static_cast<int>(w), static_cast<int>(h)};
}

std::optional<std::pair<int, int>> JpegSize(ByteView b) {
    size_t at = 2;
    while (at + 9 <= b.size()) {
        if (b[at] != 0xFF) return std::nullopt;
        const std::uint8_t marker = b[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const std::uint32_t length = Be(b, at + 2, 2);
        // Start-of-frame markers hold the size; C4, C8 and CC are other segments.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return Size(Be(b, at + 7, 2), Be(b, at + 5, 2));
        if (length < 2) return std::nullopt;
        at += 2 + length;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::pair<int, int>> ImageSize(ByteView b) {
    if (b.size() >= 24 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G')
        return Size(Be(b, 16, 4), Be(b, 20, 4));
    if (b.size() >= 10 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F') return Size(Le(b, 6, 2), Le(b, 8, 2));
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        const auto h = static_cast<std::int32_t>(Le(b, 22, 4));
        return Size(Le(b, 18, 4), static_cast<std::uint32_t>(h < 0 ? -static_cast<std::int64_t>(h) : h));
    }
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8) return JpegSize(b);
    if (b.size() >= 8 && Le(b, 0, 4) == 0x00010000) return Size(b[6] ? b[6] : 256, b[7] ? b[7] : 256);
    return std::nullopt;
}

}  // namespace orlo::platform
