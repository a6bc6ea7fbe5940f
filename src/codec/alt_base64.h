// The message coder's 6-bit text codec: Base64 structure with its own alphabet.
#pragma once
#include <string>
#include <string_view>

#include "codec/bytes.h"

namespace orlo {

inline constexpr std::string_view kAltBase64Alphabet =
    "<>ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz~[]&^|?@{}";

std::string AltBase64EncodeBytes(ByteView data);
// Never fails: CR/LF where a group would begin are skipped, characters outside the alphabet
// decode to zero bits, a group stops at "=".
Bytes AltBase64DecodeBytes(std::string_view text);

std::string AltBase64Encode(std::string_view text);  // UTF-8 form in
std::string AltBase64Decode(std::string_view text);  // ANSI form of the text in, UTF-8 text out

}  // namespace orlo
