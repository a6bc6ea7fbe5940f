#include "core/pe_image.h"

#include "core/file_reader.h"

namespace orlo {

std::optional<std::int64_t> CertificateEntryPosition(ByteView head) {
    constexpr std::int64_t kLfanewPos = 0x3C;
    constexpr std::int64_t kOptionalHeaderPos = 24;  // after "PE\0\0" and the file header
    constexpr std::int64_t kCertificateIndex = 4;
    const auto size = static_cast<std::int64_t>(head.size());
    if (size < kLfanewPos + 4 || head[0] != 'M' || head[1] != 'Z') return std::nullopt;
    const std::int64_t pe = LoadU32(head.data() + kLfanewPos);
    if (pe + kOptionalHeaderPos + 2 > size) return std::nullopt;
    if (head[pe] != 'P' || head[pe + 1] != 'E' || head[pe + 2] != 0 || head[pe + 3] != 0) return std::nullopt;
    const std::uint16_t magic = std::uint16_t(head[pe + kOptionalHeaderPos] | head[pe + kOptionalHeaderPos + 1] << 8);
    std::int64_t directory = 0;
    if (magic == 0x10B) {
        directory = pe + kOptionalHeaderPos + 96;
    } else if (magic == 0x20B) {
        directory = pe + kOptionalHeaderPos + 112;
    } else {
        return std::nullopt;
    }
    const std::int64_t entry = directory + kCertificateIndex * 8;
    if (entry + 8 > size) return std::nullopt;
    // NumberOfRvaAndSizes stands just before the directory; a shorter directory has no entry.
    if (LoadU32(head.data() + directory - 4) <= kCertificateIndex) return std::nullopt;
    return entry;
}

}  // namespace orlo
