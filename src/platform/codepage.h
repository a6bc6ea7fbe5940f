// The system's ANSI code page, the byte form of texts in profiles, settings files and records.
// Win32: CP_ACP. POSIX: CP936 (what a Chinese Windows uses) unless ORLO_ANSI_CODEPAGE names
// another iconv character set, so tests on Linux see the bytes a Chinese Windows produces.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace orlo::platform {

// Empty optional when some character has no form in the code page (or the UTF-8 is malformed).
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);
// As Utf8ToAnsi, with "?" for every character the code page cannot hold.
std::string Utf8ToAnsiLossy(std::string_view utf8);
// Bytes that are not valid in the code page become U+FFFD.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace orlo::platform
