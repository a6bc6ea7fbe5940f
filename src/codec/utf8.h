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

}  // namespace orlo::utf8
