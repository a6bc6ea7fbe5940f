#include "codec/base64.h"

#include <gtest/gtest.h>

namespace orlo {
namespace {

TEST(Base64, Rfc4648Vectors) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, text] : cases) {
        SCOPED_TRACE(plain);
        EXPECT_EQ(Base64Encode(AsBytes(plain)), text);
        const Result<Bytes> back = Base64Decode(text);
        ASSERT_TRUE(back.ok()) << back.error();
        EXPECT_EQ(AsString(*back), plain);
    }
}

TEST(Base64, UsesPlusAndSlash) {
    const Bytes data = {0xFB, 0xFF, 0xBF};
    EXPECT_EQ(Base64Encode(data), "+/+/");
    EXPECT_EQ(*Base64Decode("+/+/"), data);
}

TEST(Base64, DecodeRejectsMalformedText) {
    const std::pair<std::string, std::string> cases[] = {
        {"Zg=", "length"},
        {"Zm9vY", "length"},
        {"Zm9v\r\nYmFy", "length"},
        {"Zm9-", "alphabet"},
        {"Zm9 ", "alphabet"},
        {"Zm-_", "alphabet"},
        {"Z===", "padding"},
        {"====", "padding"},
        {"Zg==Zm9v", "padding"},
        {"Zm=v", "padding"},
        {"Zm9v\xE4\xB8\xAD=", "alphabet"},
    };
    for (const auto& [text, why] : cases) {
        SCOPED_TRACE(text);
        const Result<Bytes> r = Base64Decode(text);
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error().find(why), std::string::npos) << r.error();
    }
}

TEST(Utf8Base64, EncodesTheUtf8Bytes) {
    EXPECT_EQ(Utf8Base64(""), "");
    EXPECT_EQ(Utf8Base64("\xE4\xB8\xAD"), "5Lit");  // U+4E2D
}

}  // namespace
}  // namespace orlo
