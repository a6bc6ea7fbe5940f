#include "codec/blowfish_phrase.h"

#include <gcrypt.h>

#include <cstring>
#include <memory>

#include "codec/base64.h"
#include "codec/crypto_init.h"
#include "codec/digest.h"
#include "codec/secrets.h"

namespace orlo {

namespace {

constexpr std::size_t kBlock = 8;

struct HandleCloser {
    void operator()(gcry_cipher_hd_t h) const { gcry_cipher_close(h); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<gcry_cipher_hd_t>, HandleCloser>;

// A CBC handle keyed with SHA-1 of the phrase. Blowfish takes the 20-byte digest as it is.
Handle OpenCipher(std::string_view phrase) {
    EnsureCryptoReady();
    gcry_cipher_hd_t raw = nullptr;
    if (gcry_cipher_open(&raw, GCRY_CIPHER_BLOWFISH, GCRY_CIPHER_MODE_CBC, 0) != 0) return nullptr;
    Handle h(raw);
    const Bytes key = Sha1(AsBytes(phrase));
    if (gcry_cipher_setkey(h.get(), key.data(), key.size()) != 0) return nullptr;
    return h;
}

// Blowfish(block): CBC with a zero IV over one block is the bare block cipher.
void EncryptOneBlock(gcry_cipher_hd_t h, const std::uint8_t* in, std::uint8_t* out) {
    static constexpr std::uint8_t kZero[kBlock] = {};
    gcry_cipher_setiv(h, kZero, kBlock);
    gcry_cipher_encrypt(h, out, kBlock, in, kBlock);
}

// The tail shorter than a block is a stream cipher on Blowfish(previous cipher block).
void XorTail(gcry_cipher_hd_t h, const std::uint8_t* prev, const std::uint8_t* in, std::uint8_t* out, std::size_t r) {
    std::uint8_t stream[kBlock];
    EncryptOneBlock(h, prev, stream);
    for (std::size_t i = 0; i < r; ++i) out[i] = in[i] ^ stream[i];
}

}  // namespace

Bytes BlowfishEncryptBytes(ByteView plain, std::string_view phrase, std::optional<BlowfishIv> iv) {
    if (plain.empty()) return {};
    Handle h = OpenCipher(phrase);
    if (!h) return {};
    BlowfishIv start{};
    if (iv) {
        start = *iv;
    } else {
        gcry_randomize(start.data(), start.size(), GCRY_STRONG_RANDOM);
    }
    Bytes out(kBlock + plain.size());
    std::memcpy(out.data(), start.data(), kBlock);
    std::uint8_t* body = out.data() + kBlock;
    const std::size_t whole = plain.size() / kBlock * kBlock;
    if (whole > 0) {
        gcry_cipher_setiv(h.get(), start.data(), kBlock);
        gcry_cipher_encrypt(h.get(), body, whole, plain.data(), whole);
    }
    const std::size_t r = plain.size() - whole;
    if (r > 0) {
        const std::uint8_t* prev = whole > 0 ? body + whole - kBlock : start.data();
        XorTail(h.get(), prev, plain.data() + whole, body + whole, r);
    }
    return out;
}

Result<Bytes> BlowfishDecryptBytes(ByteView cipher, std::string_view phrase) {
    if (cipher.empty()) return Bytes{};
    if (cipher.size() < kBlock) {
        return Result<Bytes>::Fail("cipher text of " + std::to_string(cipher.size()) +
                                   " bytes is shorter than its 8-byte IV");
    }
    Handle h = OpenCipher(phrase);
    if (!h) return Result<Bytes>::Fail("cannot set up the Blowfish cipher");
    const ByteView body = cipher.subspan(kBlock);
    Bytes out(body.size());
    const std::size_t whole = body.size() / kBlock * kBlock;
    if (whole > 0) {
        gcry_cipher_setiv(h.get(), cipher.data(), kBlock);
        gcry_cipher_decrypt(h.get(), out.data(), whole, body.data(), whole);
    }
    const std::size_t r = body.size() - whole;
    if (r > 0) {
        const std::uint8_t* prev = whole > 0 ? body.data() + whole - kBlock : cipher.data();
        XorTail(h.get(), prev, body.data() + whole, out.data() + whole, r);
    }
    return out;
}

Result<Bytes> BlowfishDecryptStream(ByteView cipher, std::string_view phrase) {
    return BlowfishDecryptBytes(cipher, phrase);
}

std::string BlowfishEncryptString(std::string_view text, std::string_view phrase) {
    return Base64Encode(BlowfishEncryptBytes(AsBytes(text), phrase));
}

Result<std::string> BlowfishDecryptString(std::string_view base64, std::string_view phrase) {
    Result<Bytes> cipher = Base64Decode(base64);
    if (!cipher) return Result<std::string>::Fail("cipher text is not Base64: " + cipher.error());
    Result<Bytes> plain = BlowfishDecryptBytes(*cipher, phrase);
    if (!plain) return Result<std::string>::Fail(plain.error());
    return AsString(*plain);
}

std::string BlowfishEncryptMemory(ByteView bytes, std::string_view phrase) {
    return Base64Encode(BlowfishEncryptBytes(bytes, phrase));
}

std::string EncryptWithSharedPhrase(std::string_view text) {
    return BlowfishEncryptString(text, secrets::kSharedPhrase);
}

Result<std::string> DecryptWithSharedPhrase(std::string_view base64) {
    return BlowfishDecryptString(base64, secrets::kSharedPhrase);
}

std::string EncryptLaunchRecord(ByteView record) { return BlowfishEncryptMemory(record, secrets::kLaunchPhrase); }

Result<Bytes> DecryptLaunchRecord(std::string_view base64) {
    Result<Bytes> cipher = Base64Decode(base64);
    if (!cipher) return Result<Bytes>::Fail("launch record is not Base64: " + cipher.error());
    return BlowfishDecryptBytes(*cipher, secrets::kLaunchPhrase);
}

}  // namespace orlo
