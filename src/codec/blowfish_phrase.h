// The pass-phrase cipher: Blowfish-CBC keyed by SHA-1 of the pass-phrase's UTF-8 bytes.
// Cipher bytes are an 8-byte IV followed by a body as long as the plain bytes; a final
// partial block is the plain bytes XOR the start of Blowfish(previous cipher block).
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "codec/bytes.h"
#include "codec/result.h"

namespace orlo {

using BlowfishIv = std::array<std::uint8_t, 8>;

// The IV comes from the CSPRNG unless a test passes one.
Bytes BlowfishEncryptBytes(ByteView plain, std::string_view phrase, std::optional<BlowfishIv> iv = std::nullopt);
// Fails on cipher bytes shorter than the IV (empty cipher bytes give empty plain bytes).
Result<Bytes> BlowfishDecryptBytes(ByteView cipher, std::string_view phrase);

// Whole-stream decipher, as used for the profile and skin blocks.
Result<Bytes> BlowfishDecryptStream(ByteView cipher, std::string_view phrase);

// Text in (its UTF-8 bytes), Base64 cipher text out, and back.
std::string BlowfishEncryptString(std::string_view text, std::string_view phrase);
Result<std::string> BlowfishDecryptString(std::string_view base64, std::string_view phrase);

// Bytes in, Base64 cipher text out.
std::string BlowfishEncryptMemory(ByteView bytes, std::string_view phrase);

std::string EncryptWithSharedPhrase(std::string_view text);
Result<std::string> DecryptWithSharedPhrase(std::string_view base64);

// The classic client's command line: the start record under the launch pass-phrase.
std::string EncryptLaunchRecord(ByteView record);
Result<Bytes> DecryptLaunchRecord(std::string_view base64);

}  // namespace orlo
