#include "codec/params_json.h"

#include <gtest/gtest.h>

namespace orlo {
namespace {

TEST(ParamsToJson, BuildsAnObjectOfStrings) {
    struct Case {
        const char* name;
        std::string lines;
        std::string json;
    };
    const Case cases[] = {
        {"empty input", "", ""},
        {"numbers stay strings", "width=1920\r\nheight=1080", R"({"width":"1920","height":"1080"})"},
        {"inner and trailing spaces kept", "os=Windows 10 Pro  \r\n", R"({"os":"Windows 10 Pro  "})"},
        {"split at the first equals sign", "q=a=b,c=d", R"({"q":"a=b,c=d"})"},
        {"empty value", "token=", R"({"token":""})"},
        {"empty lines ignored", "\r\na=1\r\n\r\nb=2\r\n", R"({"a":"1","b":"2"})"},
        {"later duplicate wins", "a=1\r\nb=2\r\na=3", R"({"a":"3","b":"2"})"},
        {"quote and backslash escaped", "v=say \"hi\" C:\\dir", R"({"v":"say \"hi\" C:\\dir"})"},
        {"NUL escaped", std::string("v=a\0b", 5), R"({"v":"a\u0000b"})"},
        {"non-ASCII written as it is", "city=\xE5\x8C\x97\xE4\xBA\xAC", "{\"city\":\"\xE5\x8C\x97\xE4\xBA\xAC\"}"},
        {"other control characters unescaped", "v=a\tb\nc", "{\"v\":\"a\tb\nc\"}"},
        {"lone LF is not a separator", "a=1\nb=2", "{\"a\":\"1\nb=2\"}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParamsToJson(c.lines), c.json);
    }
}

}  // namespace
}  // namespace orlo
