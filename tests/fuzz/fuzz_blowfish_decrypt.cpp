// Pass-phrase decipher of outside data, in the byte form (profile, skin) and the Base64 text
// form (server-list cache, launch record).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codec/blowfish_phrase.h"
#include "codec/secrets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const orlo::ByteView bytes(data, size);
    const auto plain = orlo::BlowfishDecryptBytes(bytes, orlo::secrets::kProfileOuterPhrase);
    if (plain.ok() != (size == 0 || size >= 8)) __builtin_trap();
    if (plain.ok() && size > 0 && plain->size() != size - 8) __builtin_trap();

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)orlo::BlowfishDecryptString(text, orlo::secrets::kSharedPhrase);
    (void)orlo::DecryptLaunchRecord(text);
    return 0;
}
