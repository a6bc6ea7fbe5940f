// env.json beside the game client: the marker "4meJnPyl" then the JSON text's UTF-8 bytes
// under XXTEA with the hand-off key.
#pragma once
#include <string>
#include <string_view>

#include "codec/bytes.h"
#include "codec/result.h"

namespace orlo {

inline constexpr std::string_view kEnvFileMarker = "4meJnPyl";
inline constexpr std::string_view kEnvFileKey = "k9HdLpQ2vs";

Bytes EncodeEnvFile(std::string_view json_text);
Result<std::string> DecodeEnvFile(ByteView file);

}  // namespace orlo
