// The message-coder alphabet and header decoder on whatever the game server sends.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codec/alt_base64.h"
#include "codec/message_coder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const orlo::Bytes bytes = orlo::AltBase64DecodeBytes(text);
    if (bytes.size() > size) __builtin_trap();
    if (orlo::AltBase64DecodeBytes(orlo::AltBase64EncodeBytes(orlo::ByteView(data, size))) !=
        orlo::Bytes(data, data + size)) {
        __builtin_trap();
    }
    (void)orlo::AltBase64Decode(text);
    static orlo::TMessageCoder coder;
    (void)coder.DecodeMessage(text);
    return 0;
}
