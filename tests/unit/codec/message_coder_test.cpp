#include "codec/message_coder.h"

#include <gtest/gtest.h>

#include "codec/alt_base64.h"
#include "codec/secrets.h"
#include "test_util.h"

namespace orlo {
namespace {

bool SameHeader(const TDefaultMessage& a, const TDefaultMessage& b) {
    return a.Recog == b.Recog && a.Ident == b.Ident && a.Param == b.Param && a.Tag == b.Tag && a.Series == b.Series;
}

TEST(MessageCoder, DecryptsWithAes128) {
    // FIPS-197 C.1: the key bytes 00..0f as the pass-word; the first cipher block decrypts to
    // 00112233..ff, whose first 12 bytes are the little-endian header.
    TMessageCoder coder;
    coder.SetPassWord(AsString(test::FromHex("000102030405060708090a0b0c0d0e0f")));
    Bytes cipher = test::FromHex("69c4e0d86a7b0430d8cdb78070b4c55a");
    cipher.resize(32);
    const TDefaultMessage msg = coder.DecodeMessage(AltBase64EncodeBytes(cipher));
    EXPECT_EQ(msg.Recog, 0x33221100);
    EXPECT_EQ(msg.Ident, 0x5544);
    EXPECT_EQ(msg.Param, 0x7766);
    EXPECT_EQ(msg.Tag, 0x9988);
    EXPECT_EQ(msg.Series, 0xBBAA);
}

TEST(MessageCoder, EncodeAndDecodeAreInverse) {
    const TDefaultMessage headers[] = {
        {},
        {504, 504, 1, 2, 3},
        {-1, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF},
        {INT32_MIN, 509, 0x8000, 0x0001, 0x7FFF},
    };
    const std::string passwords[] = {std::string(secrets::kCoderDefaultPassWord), "short", "\xC3\xDC\xC2\xEB pass"};
    TMessageCoder coder;
    for (const std::string& password : passwords) {
        coder.SetPassWord(password);
        for (const TDefaultMessage& h : headers) {
            SCOPED_TRACE(password + " / " + std::to_string(h.Ident));
            const std::string text = coder.EncodeMessage(h);
            EXPECT_EQ(text.size(), 44u);
            EXPECT_TRUE(SameHeader(coder.DecodeMessage(text), h));
        }
    }
}

TEST(MessageCoder, KeyIsFirstSixteenBytesZeroFilled) {
    const TDefaultMessage h{7, 505, 9, 10, 11};
    struct Case {
        std::string writer, reader;
        bool same;
    };
    const Case cases[] = {
        {"0123456789abcdefTAIL", "0123456789abcdefOTHER", true},
        {"abc", std::string("abc\0\0", 5), true},
        {"0123456789abcdef", "0123456789abcdeF", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reader);
        TMessageCoder writer, reader;
        writer.SetPassWord(c.writer);
        reader.SetPassWord(c.reader);
        EXPECT_EQ(SameHeader(reader.DecodeMessage(writer.EncodeMessage(h)), h), c.same);
    }
}

TEST(MessageCoder, SamePassWordKeepsKeySchedules) {
    TMessageCoder coder;
    EXPECT_EQ(coder.PassWord(), secrets::kCoderDefaultPassWord);
    EXPECT_EQ(coder.KeySchedules(), 1u);
    coder.SetPassWord(secrets::kCoderDefaultPassWord);
    EXPECT_EQ(coder.KeySchedules(), 1u);
    coder.SetPassWord("server key");
    coder.SetPassWord("server key");
    EXPECT_EQ(coder.KeySchedules(), 2u);
    EXPECT_EQ(coder.PassWord(), "server key");
    coder.SetPassWord(secrets::kCoderDefaultPassWord);
    EXPECT_EQ(coder.KeySchedules(), 3u);
}

TEST(MessageCoder, BadTextGivesSomeHeader) {
    TMessageCoder coder;
    const std::string texts[] = {
        "", "short", std::string(44, '*'), std::string(100, '}'), "\r\n\r\n=", std::string("\0\xFF\x80", 3)};
    for (const std::string& text : texts) {
        (void)coder.DecodeMessage(text);  // must neither crash nor read past its buffer
    }
    SUCCEED();
}

TEST(MessageCoder, GlobalCoderIsOneInstanceWithTheDefaultKey) {
    EXPECT_EQ(&GlobalMessageCoder(), &GlobalMessageCoder());
    EXPECT_EQ(GlobalMessageCoder().PassWord(), secrets::kCoderDefaultPassWord);
}

}  // namespace
}  // namespace orlo
