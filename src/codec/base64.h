// Base64 with the RFC 4648 alphabet, "=" padding, no line breaks.
#pragma once
#include <string>
#include <string_view>

#include "codec/bytes.h"
#include "codec/result.h"

namespace orlo {

std::string Base64Encode(ByteView data);
// Rejects characters outside the alphabet, a wrong length and misplaced padding.
Result<Bytes> Base64Decode(std::string_view text);

std::string Utf8Base64(std::string_view text);  // Base64 of the UTF-8 form; empty gives empty

}  // namespace orlo
