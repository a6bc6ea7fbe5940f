#include "codec/text_forms.h"

#include <gtest/gtest.h>

namespace orlo {
namespace {

TEST(AsciiForm, OneByteForEachUtf16CodeUnit) {
    struct Case {
        const char* name;
        std::string utf8;
        std::string ascii;
    };
    const Case cases[] = {
        {"ascii passes through", "user=abc&t=1", "user=abc&t=1"},
        {"control bytes and DEL pass through", std::string("a\0\x7f", 3), std::string("a\0\x7f", 3)},
        {"a Chinese character is one unit", "name=\xE5\xBC\xA0\xE4\xB8\x89", "name=??"},
        {"two-byte sequence is one unit", "caf\xC3\xA9", "caf?"},
        {"outside the BMP is a surrogate pair", "x\xF0\x9F\x98\x80y", "x??y"},
        {"stray continuation byte", "a\x80z", "a?z"},
        {"truncated sequence counts each byte", "a\xE4\xB8", "a??"},
        {"overlong encoding is malformed", "\xC0\xAF", "??"},
        {"encoded surrogate is malformed", "\xED\xA0\x80", "???"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AsciiForm(c.utf8), c.ascii);
    }
}

TEST(AnsiForm, UsesTheChineseCodePage) {
    // U+4E2D U+6587 in GBK.
    EXPECT_EQ(AnsiForm("\xE4\xB8\xAD\xE6\x96\x87"), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(FromAnsiForm("\xD6\xD0\xCE\xC4"), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(AnsiForm("plain"), "plain");
}

TEST(AnsiForm, CharacterOutsideTheCodePageBecomesQuestionMark) {
    const std::string ansi = AnsiForm("a\xF0\x9F\x98\x80z");  // an emoji has no GBK form
    EXPECT_EQ(ansi.front(), 'a');
    EXPECT_EQ(ansi.back(), 'z');
    EXPECT_NE(ansi.find('?'), std::string::npos);
}

}  // namespace
}  // namespace orlo
