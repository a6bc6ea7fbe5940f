// Positioned, bounds-checked reads from a file that other processes may be writing.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>

#include "codec/bytes.h"

namespace orlo {

class FileReader {
  public:
    explicit FileReader(const std::filesystem::path& path);
    bool is_open() const { return open_; }
    std::int64_t size() const { return size_; }
    // Empty optional unless all `count` bytes at `pos` lie inside the file and were read.
    std::optional<Bytes> ReadAt(std::int64_t pos, std::int64_t count);
    std::optional<std::uint32_t> ReadU32At(std::int64_t pos);

  private:
    std::ifstream in_;
    std::int64_t size_ = 0;
    bool open_ = false;
};

inline std::uint32_t LoadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

}  // namespace orlo
