#include <windows.h>

#include "platform/codepage.h"
#include "platform/win32/wide.h"

namespace orlo::platform {
namespace win32 {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace win32

namespace {

std::optional<std::string> ToAnsi(std::string_view utf8, bool strict) {
    if (utf8.empty()) return std::string();
    int wn = MultiByteToWideChar(CP_UTF8, strict ? MB_ERR_INVALID_CHARS : 0, utf8.data(), static_cast<int>(utf8.size()),
                                 nullptr, 0);
    if (wn <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(wn), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wn);
    BOOL used_default = FALSE;
    // No best-fit mapping: a character the code page lacks must be reported, not silently
    // turned into a look-alike.
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), wn, nullptr, 0, "?", &used_default);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), wn, out.data(), n, "?", &used_default);
    if (strict && used_default) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> Utf8ToAnsi(std::string_view utf8) { return ToAnsi(utf8, true); }

std::string Utf8ToAnsiLossy(std::string_view utf8) { return ToAnsi(utf8, false).value_or(std::string()); }

std::string AnsiToUtf8(std::string_view ansi) {
    if (ansi.empty()) return {};
    int wn = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wn), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), wn);
    return win32::Narrow(wide);
}

}  // namespace orlo::platform
