#include "codec/alt_base64.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace orlo {
namespace {

TEST(AltBase64, EncodesWithItsOwnAlphabet) {
    // Standard Base64 output translated character by character into the coder's alphabet.
    const std::pair<Bytes, std::string> cases[] = {
        {{}, ""},
        {{'f'}, "Xe=="},
        {{'f', 'o'}, "Xk?="},
        {{'f', 'o', 'o'}, "Xk@t"},
        {{'f', 'o', 'o', 'b', 'a', 'r'}, "Xk@tWkDw"},
        {{0xFB, 0xFF, 0xBF}, "{}{}"},
        {{0x00, 0x00, 0x00}, "<<<<"},
    };
    for (const auto& [bytes, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(AltBase64EncodeBytes(bytes), text);
        EXPECT_EQ(AltBase64DecodeBytes(text), bytes);
    }
}

TEST(AltBase64, DecodeIsForgiving) {
    struct Case {
        const char* name;
        std::string text;
        Bytes bytes;
    };
    const Case cases[] = {
        {"line breaks between groups skipped", "Xk@t\r\nWkDw\n", {'f', 'o', 'o', 'b', 'a', 'r'}},
        {"padded group followed by more", "Xe==Xk@t", {'f', 'f', 'o', 'o'}},
        {"group stops at equals sign", "Xk=tWkDw", {'f', 'b', 'a', 'r'}},
        {"unfinished last group", "Xk@tXk", {'f', 'o', 'o', 'f'}},
        {"single character gives nothing", "X", {}},
        {"unknown characters are zero bits", "*-*.", {0, 0, 0}},
        {"line break inside a group is an unknown character", "X\r@t", {0x64, 0x0F, 0x6F}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AltBase64DecodeBytes(c.text), c.bytes);
    }
}

TEST(AltBase64, TextFormsAreUtf8) {
    EXPECT_EQ(AltBase64Encode("\xE4\xB8\xAD\xE6\x96\x87"), "&Jgr&nYF");  // U+4E2D U+6587
    EXPECT_EQ(AltBase64Decode("&Jgr&nYF"), "\xE4\xB8\xAD\xE6\x96\x87");
    // Bytes that are not UTF-8 come back as replacement characters.
    EXPECT_EQ(AltBase64Decode(AltBase64EncodeBytes(Bytes{0xFF, 'a'})),
              "\xEF\xBF\xBD"
              "a");
}

TEST(AltBase64, DecodeOfArbitraryBytesNeverFails) {
    std::mt19937 rng(1);
    for (int i = 0; i < 2000; ++i) {
        const std::string text = AsString(test::RandomBytes(i % 70, rng));
        const Bytes bytes = AltBase64DecodeBytes(text);
        ASSERT_LE(bytes.size(), text.size());
        (void)AltBase64Decode(text);
    }
}

}  // namespace
}  // namespace orlo
