// Decoder of message headers from the game login server: AES-128 (ECB, per 16-byte block)
// under a key taken from the pass-word.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orlo {

#pragma pack(push, 1)
struct TDefaultMessage {
    std::int32_t Recog = 0;
    std::uint16_t Ident = 0;
    std::uint16_t Param = 0;
    std::uint16_t Tag = 0;
    std::uint16_t Series = 0;
};
#pragma pack(pop)
static_assert(sizeof(TDefaultMessage) == 12);

class TMessageCoder {
  public:
    TMessageCoder();  // keyed with the built-in default pass-word
    ~TMessageCoder();
    TMessageCoder(const TMessageCoder&) = delete;
    TMessageCoder& operator=(const TMessageCoder&) = delete;

    // ANSI pass-word; the same pass-word again leaves the key schedules as they are.
    void SetPassWord(std::string_view ansi_password);
    const std::string& PassWord() const { return FPassWord; }
    // How many times the key schedules were computed (lets tests see that a repeat is free).
    unsigned KeySchedules() const { return key_schedules_; }

    // 44-character header text; undecodable input gives a meaningless header, not an error.
    TDefaultMessage DecodeMessage(std::string_view text) const;
    // The peer's side: header to the 44-character text (used by orlo-devserver and tests).
    std::string EncodeMessage(const TDefaultMessage& msg) const;

  private:
    struct Cipher;
    std::string FPassWord;
    std::unique_ptr<Cipher> cipher_;  // holds the encryption and decryption key schedules
    unsigned key_schedules_ = 0;
};

// The process-wide coder, used on the main thread only.
TMessageCoder& GlobalMessageCoder();

}  // namespace orlo
