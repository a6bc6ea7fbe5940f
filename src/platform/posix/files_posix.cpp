#include "platform/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>

namespace orlo::platform {

std::filesystem::path TempDirectory() {
    const char* dir = std::getenv("TMPDIR");
    std::filesystem::path p = (dir && *dir) ? PathFromUtf8(dir) : std::filesystem::path("/tmp");
    std::error_code ec;
    auto canonical = std::filesystem::weakly_canonical(p, ec);
    return ec ? p : canonical;
}

std::filesystem::path ExecutablePath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : p;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t max_bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string data;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        if (data.size() + static_cast<size_t>(in.gcount()) > max_bytes) return std::nullopt;
        data.append(buffer, static_cast<size_t>(in.gcount()));
    }
    if (in.bad()) return std::nullopt;
    return data;
}

bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes) {
    std::random_device rd;
    auto temp = path;
    temp += ".tmp" + std::to_string(rd());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const char* p = bytes.data();
    size_t left = bytes.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace orlo::platform
