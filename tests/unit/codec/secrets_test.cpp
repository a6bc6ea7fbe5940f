#include "codec/secrets.h"

#include <gtest/gtest.h>

namespace orlo {
namespace {

// GUID texts joined by hyphens: upper-case hex where the pattern has X, the last one may be cut.
bool IsGuidRun(std::string_view s) {
    static constexpr std::string_view kPattern = "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX-";
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (kPattern[i % kPattern.size()] == 'X' ? !hex : c != '-') return false;
    }
    return true;
}

TEST(Secrets, PhrasesHaveTheirFixedShapes) {
    struct Case {
        const char* name;
        std::string_view value;
        std::size_t length;
    };
    const Case cases[] = {
        {"shared", secrets::kSharedPhrase, 219},
        {"launch", secrets::kLaunchPhrase, 73},
        {"profile outer", secrets::kProfileOuterPhrase, 36},
        {"profile inner", secrets::kProfileInnerPhrase, 36},
        {"skin", secrets::kSkinPhrase, 36},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value.size(), c.length);
        EXPECT_TRUE(IsGuidRun(c.value)) << c.value;
    }
}

TEST(Secrets, CoderDefaultPassWordIs23AsciiCharacters) {
    ASSERT_EQ(secrets::kCoderDefaultPassWord.size(), 23u);
    for (char c : secrets::kCoderDefaultPassWord) EXPECT_TRUE(c > 0x20 && c < 0x7F);
}

}  // namespace
}  // namespace orlo
