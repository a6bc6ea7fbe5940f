// A forgiving UTF-8 reader shared by the text forms and the message-coder alphabet.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace orlo::utf8 {

inline constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes the sequence at s[pos] and advances pos. A malformed or truncated sequence yields
// kInvalid and advances by exactly one byte, so callers can count or replace bad bytes.
char32_t Next(std::string_view s, std::size_t& pos);

// The text with every malformed byte replaced by U+FFFD.
std::string Sanitize(std::string_view s);

// Appends the UTF-8 form of one code point.
void Append(std::string& out, char32_t cp);

// UTF-16 bytes (two per code unit, little- or big-endian) to UTF-8. Unpaired surrogates become
// U+FFFD; an odd last byte is dropped (a truncated text).
std::string FromUtf16(std::string_view bytes, bool big_endian);

}  // namespace orlo::utf8
