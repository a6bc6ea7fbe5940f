#include "codec/digest.h"

#include <gtest/gtest.h>

#include "codec/text_forms.h"
#include "test_util.h"

namespace orlo {
namespace {

TEST(Md5Hex, Rfc1321Suite) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [input, hex] : cases) {
        SCOPED_TRACE(input);
        EXPECT_EQ(Md5Hex(AsBytes(input), HexCase::Lower), hex);
    }
}

TEST(Md5Hex, UpperCaseUsesCapitalLetters) {
    EXPECT_EQ(Md5Hex(AsBytes("abc"), HexCase::Upper), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(Sha1, Fips180Vector) { EXPECT_EQ(test::ToHex(Sha1(AsBytes("abc"))), "a9993e364706816aba3e25717850c26c9cd0d89d"); }

TEST(TextDigests, AsciiTextDiffersOnlyInLetterCase) {
    const std::string text = "appid=10086&time=1700000000&key=Secret";
    const std::string sign = SignDigest(text);
    const std::string upper = TextMD5(text);
    ASSERT_EQ(sign.size(), 32u);
    EXPECT_EQ(sign, DeviceMD5(text));
    for (std::size_t i = 0; i < sign.size(); ++i) {
        EXPECT_EQ(std::toupper(static_cast<unsigned char>(sign[i])), upper[i]);
    }
    EXPECT_NE(sign, upper);  // the digest holds letters, so case must show
}

TEST(TextDigests, EachUsesItsByteForm) {
    const std::string text = "name=\xE5\xBC\xA0";  // name=U+5F20
    EXPECT_EQ(SignDigest(text), SignDigest("name=?"));
    EXPECT_EQ(SignDigest(text), Md5Hex(AsBytes("name=?"), HexCase::Lower));
    EXPECT_EQ(TextMD5(text), Md5Hex(AsBytes("name=\xD5\xC5"), HexCase::Upper));
    EXPECT_EQ(DeviceMD5(text), Md5Hex(AsBytes("name=\xD5\xC5"), HexCase::Lower));
}

}  // namespace
}  // namespace orlo
