// Files and well-known folders. Paths cross this seam as std::filesystem::path built from
// UTF-8 through PathFromUtf8, never from a narrow string (which Windows reads as ANSI).
#pragma once
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orlo::platform {

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string PathToUtf8(const std::filesystem::path& p) {
    auto s = p.u8string();
    return std::string(s.begin(), s.end());
}

// The user's temporary directory in its long form, with no trailing separator.
std::filesystem::path TempDirectory();

// Full path of the running executable.
std::filesystem::path ExecutablePath();

// Whole file, or empty optional when it cannot be read or is larger than max_bytes.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t max_bytes);

// Writes to a temporary file beside the target, then renames it over the target, so a crash
// leaves either the old file or the new one, never half of one.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

}  // namespace orlo::platform
