// XXTEA decipher of outside data (the server list): any bytes, any key length.
#include <cstddef>
#include <cstdint>

#include "codec/xxtea.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks how much of the rest is key, so short and long keys both get tried.
    const std::size_t key_len = data[0] % 24 < size - 1 ? data[0] % 24 : size - 1;
    const orlo::ByteView key(data + 1, key_len);
    const orlo::ByteView body(data + 1 + key_len, size - 1 - key_len);
    const orlo::Bytes plain = orlo::XXTeaDecrypt(body, key);
    if (plain.size() > body.size()) __builtin_trap();
    if (!plain.empty() && orlo::XXTeaDecrypt(orlo::XXTeaEncrypt(plain, key), key) != plain) __builtin_trap();
    return 0;
}
