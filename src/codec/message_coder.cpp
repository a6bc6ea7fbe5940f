#include "codec/message_coder.h"

#include <gcrypt.h>

#include <cstring>

#include "codec/alt_base64.h"
#include "codec/crypto_init.h"
#include "codec/secrets.h"

namespace orlo {

namespace {

constexpr std::size_t kKeyBytes = 16;
constexpr std::size_t kBufferBytes = 32;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

void PutLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

// gcrypt keeps both AES schedules inside one keyed handle.
struct TMessageCoder::Cipher {
    gcry_cipher_hd_t handle = nullptr;
    ~Cipher() {
        if (handle) gcry_cipher_close(handle);
    }
};

TMessageCoder::TMessageCoder() : cipher_(std::make_unique<Cipher>()) {
    EnsureCryptoReady();
    gcry_cipher_open(&cipher_->handle, GCRY_CIPHER_AES128, GCRY_CIPHER_MODE_ECB, 0);
    SetPassWord(secrets::kCoderDefaultPassWord);
}

TMessageCoder::~TMessageCoder() = default;

void TMessageCoder::SetPassWord(std::string_view ansi_password) {
    if (key_schedules_ > 0 && ansi_password == FPassWord) return;
    FPassWord = std::string(ansi_password);
    std::uint8_t key[kKeyBytes] = {};
    std::memcpy(key, FPassWord.data(), FPassWord.size() < kKeyBytes ? FPassWord.size() : kKeyBytes);
    gcry_cipher_setkey(cipher_->handle, key, kKeyBytes);
    ++key_schedules_;
}

TDefaultMessage TMessageCoder::DecodeMessage(std::string_view text) const {
    std::uint8_t buf[kBufferBytes] = {};
    const Bytes raw = AltBase64DecodeBytes(text);
    std::memcpy(buf, raw.data(), raw.size() < kBufferBytes ? raw.size() : kBufferBytes);
    gcry_cipher_decrypt(cipher_->handle, buf, kBufferBytes, nullptr, 0);
    TDefaultMessage msg;
    msg.Recog = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(buf[0]) | (static_cast<std::uint32_t>(buf[1]) << 8) |
        (static_cast<std::uint32_t>(buf[2]) << 16) | (static_cast<std::uint32_t>(buf[3]) << 24));
    msg.Ident = Le16(buf + 4);
    msg.Param = Le16(buf + 6);
    msg.Tag = Le16(buf + 8);
    msg.Series = Le16(buf + 10);
    return msg;
}

std::string TMessageCoder::EncodeMessage(const TDefaultMessage& msg) const {
    std::uint8_t buf[kBufferBytes] = {};
    const auto recog = static_cast<std::uint32_t>(msg.Recog);
    for (int i = 0; i < 4; ++i) buf[i] = static_cast<std::uint8_t>(recog >> (8 * i));
    PutLe16(buf + 4, msg.Ident);
    PutLe16(buf + 6, msg.Param);
    PutLe16(buf + 8, msg.Tag);
    PutLe16(buf + 10, msg.Series);
    gcry_cipher_encrypt(cipher_->handle, buf, kBufferBytes, nullptr, 0);
    return AltBase64EncodeBytes(ByteView(buf, kBufferBytes));
}

TMessageCoder& GlobalMessageCoder() {
    static TMessageCoder coder;
    return coder;
}

}  // namespace orlo
