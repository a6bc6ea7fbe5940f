// The three byte forms of a text. Texts are UTF-8 inside the program; digests and ciphers
// each name the form they work on, and mixing them up breaks signatures with the services.
#pragma once
#include <string>
#include <string_view>

namespace orlo {

// One byte per UTF-16 code unit: below 128 unchanged, anything else "?" (so a character
// outside the BMP, two code units, becomes "??"). Malformed UTF-8 bytes count as one unit each.
std::string AsciiForm(std::string_view utf8);

// Bytes in the system's ANSI code page; characters it cannot hold become "?".
std::string AnsiForm(std::string_view utf8);

// ANSI bytes back to UTF-8.
std::string FromAnsiForm(std::string_view ansi);

// UTF-8 form: the text as it is (no byte-order mark).
inline std::string_view Utf8Form(std::string_view utf8) { return utf8; }

}  // namespace orlo
