#include <windows.h>

#include "platform/files.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

#include <fstream>
#include <vector>

namespace orlo::platform {

std::filesystem::path TempDirectory() {
    wchar_t shortPath[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, shortPath);
    if (n == 0 || n > MAX_PATH) return std::filesystem::path(L"C:\\Windows\\Temp");
    std::vector<wchar_t> longPath(32768);
    DWORD m = GetLongPathNameW(shortPath, longPath.data(), static_cast<DWORD>(longPath.size()));
    std::wstring result =
        (m > 0 && m < longPath.size()) ? std::wstring(longPath.data(), m) : std::wstring(shortPath, n);
    while (result.size() > 3 && (result.back() == L'\\' || result.back() == L'/')) result.pop_back();
    return std::filesystem::path(result);
}

std::filesystem::path ExecutablePath() {
    std::vector<wchar_t> buffer(32768);
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::filesystem::path(std::wstring(buffer.data(), n));
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
    std::wstring temp =
        path.wstring() + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount());
    bool ok = true;
    {
        win32::UniqueHandle h(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h) return false;
        const char* p = bytes.data();
        size_t left = bytes.size();
        while (ok && left > 0) {
            DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
            DWORD written = 0;
            ok = WriteFile(h.get(), p, chunk, &written, nullptr) && written == chunk;
            p += written;
            left -= written;
        }
        ok = ok && FlushFileBuffers(h.get());
    }
    if (ok) ok = MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

}  // namespace orlo::platform
