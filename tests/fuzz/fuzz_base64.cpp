// Strict Base64 decoding: whatever it accepts must encode back to the same text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codec/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto decoded = orlo::Base64Decode(text);
    if (decoded.ok()) {
        // Non-zero bits after the last byte are accepted, so compare the decoded bytes.
        const auto again = orlo::Base64Decode(orlo::Base64Encode(*decoded));
        if (!again.ok() || *again != *decoded) __builtin_trap();
    } else if (decoded.error().empty()) {
        __builtin_trap();
    }
    const auto round = orlo::Base64Decode(orlo::Base64Encode(orlo::ByteView(data, size)));
    if (!round.ok() || *round != orlo::Bytes(data, data + size)) __builtin_trap();
    return 0;
}
