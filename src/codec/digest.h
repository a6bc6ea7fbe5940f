// MD5 digests as the services and peers expect them: the byte form and letter case differ.
#pragma once
#include <string>
#include <string_view>

#include "codec/bytes.h"

namespace orlo {

enum class HexCase { Lower, Upper };

std::string Md5Hex(ByteView data, HexCase hex_case);
Bytes Sha1(ByteView data);

std::string SignDigest(std::string_view text);  // lower hex MD5 of the ASCII form
std::string TextMD5(std::string_view text);     // upper hex MD5 of the ANSI form
std::string DeviceMD5(std::string_view text);   // lower hex MD5 of the ANSI form

}  // namespace orlo
