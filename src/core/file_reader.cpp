#include "core/file_reader.h"

namespace orlo {

FileReader::FileReader(const std::filesystem::path& path) : in_(path, std::ios::binary) {
    if (!in_) return;
    in_.seekg(0, std::ios::end);
    auto end = in_.tellg();
    if (end < 0) return;
    size_ = static_cast<std::int64_t>(end);
    open_ = true;
}

std::optional<Bytes> FileReader::ReadAt(std::int64_t pos, std::int64_t count) {
    if (!open_ || pos < 0 || count < 0 || pos > size_ || count > size_ - pos) return std::nullopt;
    Bytes out(static_cast<size_t>(count));
    in_.clear();
    in_.seekg(pos);
    if (!in_.read(reinterpret_cast<char*>(out.data()), count)) return std::nullopt;
    return out;
}

std::optional<std::uint32_t> FileReader::ReadU32At(std::int64_t pos) {
    auto b = ReadAt(pos, 4);
    if (!b) return std::nullopt;
    return LoadU32(b->data());
}

}  // namespace orlo
