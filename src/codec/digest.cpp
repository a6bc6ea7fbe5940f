#include "codec/digest.h"

#include <gcrypt.h>

#include "codec/crypto_init.h"
#include "codec/text_forms.h"

namespace orlo {

namespace {

Bytes Hash(int algo, ByteView data) {
    EnsureCryptoReady();
    Bytes out(gcry_md_get_algo_dlen(algo));
    gcry_md_hash_buffer(algo, out.data(), data.data(), data.size());
    return out;
}

}  // namespace

std::string Md5Hex(ByteView data, HexCase hex_case) {
    const char* digits = hex_case == HexCase::Lower ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : Hash(GCRY_MD_MD5, data)) {
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

Bytes Sha1(ByteView data) { return Hash(GCRY_MD_SHA1, data); }

std::string SignDigest(std::string_view text) { return Md5Hex(AsBytes(AsciiForm(text)), HexCase::Lower); }

std::string TextMD5(std::string_view text) { return Md5Hex(AsBytes(AnsiForm(text)), HexCase::Upper); }

std::string DeviceMD5(std::string_view text) { return Md5Hex(AsBytes(AnsiForm(text)), HexCase::Lower); }

}  // namespace orlo
