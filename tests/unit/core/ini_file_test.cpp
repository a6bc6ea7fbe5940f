#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "core/ini_file.h"

namespace orlo {
namespace {

// "张三" in code page 936.
constexpr std::string_view kZhangSanGbk = "\xD5\xC5\xC8\xFD";

std::string Utf16Bytes(std::u16string_view text, bool big_endian) {
    std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
        char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += big_endian ? hi : lo;
        out += big_endian ? lo : hi;
    }
    return out;
}

// Serialising what was parsed and parsing that again must change nothing more.
void ExpectStableRoundTrip(std::string_view bytes) {
    const std::string once = IniFile::Parse(bytes).SerializeAnsi();
    EXPECT_EQ(IniFile::Parse(once).SerializeAnsi(), once);
}

TEST(IniFileLookup, FindsValuesTheWayProfileFilesAreWritten) {
    const std::string text =
        "\xEF\xBB\xBF; leading comment\r\n"
        "stray=before any section\r\n"
        "[Client]\r\n"
        "Account = alice \r\n"
        "\tSID\t=\t7\r\n"
        ";Resolution=3\r\n"
        "Resolution=\r\n"
        "Equation=a=b\r\n"
        "Account=second\r\n"
        "not a key line\r\n"
        "[ Other ]\n"
        "Key=lf only\n"
        "[client]\r\n"
        "Late=from duplicate section\r\n"
        "[客户端]\r\n"
        "默认账号=bob\r\n";
    const IniFile ini = IniFile::Parse(text);
    struct Case {
        std::string_view section, key;
        std::optional<std::string> expected;
    } cases[] = {
        {"Client", "Account", "alice"},
        {"CLIENT", "account", "alice"},
        {"client", "sid", "7"},
        {"Client", "Resolution", ""},
        {"Client", "Equation", "a=b"},
        {"Client", "Late", std::nullopt},
        {"Client", ";Resolution", std::nullopt},
        {"Client", "not a key line", std::nullopt},
        {"other", "KEY", "lf only"},
        {"客户端", "默认账号", "bob"},
        {"客戶端", "默认账号", std::nullopt},
        {"Missing", "Account", std::nullopt},
        {"", "stray", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + std::string(c.key));
        EXPECT_EQ(ini.Get(c.section, c.key), c.expected);
    }
    EXPECT_TRUE(ini.HasSection("OTHER"));
    EXPECT_FALSE(ini.HasSection("Oth"));
    EXPECT_EQ(ini.GetString("Missing", "x", "fallback"), "fallback");
}

TEST(IniFileLookup, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase("WaitVBlank", "waitvblank"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("Ä", "ä"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("abc", "abcd"));
}

TEST(IniFileEncoding, ReadsChineseValuesFromEveryByteForm) {
    const std::u16string text16 = u"[客户端]\r\n默认账号=张三\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        IniEncoding encoding;
    } cases[] = {
        {"ansi", "[\xBF\xCD\xBB\xA7\xB6\xCB]\r\n\xC4\xAC\xC8\xCF\xD5\xCB\xBA\xC5=" + std::string(kZhangSanGbk) + "\r\n",
         IniEncoding::Ansi},
        {"utf-8 with mark", "\xEF\xBB\xBF[客户端]\r\n默认账号=张三\r\n", IniEncoding::Utf8Bom},
        {"utf-16 little-endian", Utf16Bytes(text16, false), IniEncoding::Utf16Le},
        {"utf-16 big-endian", Utf16Bytes(text16, true), IniEncoding::Utf16Be},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IniFile ini = IniFile::Parse(c.bytes);
        EXPECT_EQ(ini.SourceEncoding(), c.encoding);
        EXPECT_EQ(ini.Get("客户端", "默认账号"), "张三");
    }
}

TEST(IniFileEncoding, WritesAnsiWithQuestionMarksForWhatTheCodePageLacks) {
    IniFile ini;
    ini.Set("Client", "Account", "张三");
    ini.Set("Client", "Other", "กข");
    EXPECT_EQ(ini.SerializeAnsi(), "[Client]\r\nAccount=" + std::string(kZhangSanGbk) + "\r\nOther=??\r\n");
}

TEST(IniFileEncoding, AUtf16FileIsSavedAsAnsi) {
    IniFile ini = IniFile::Parse(Utf16Bytes(u"[Client]\r\nAccount=张三\r\n", false));
    ini.Set("Client", "SID", "3");
    EXPECT_EQ(ini.SerializeAnsi(), "[Client]\r\nAccount=" + std::string(kZhangSanGbk) + "\r\nSID=3\r\n");
}

TEST(IniFileUpdate, ChangesOnlyTheValueAndKeepsEveryOtherLine) {
    const std::string before =
        "\xEF\xBB\xBF; written by hand\r\n"
        "[客户端]\r\n"
        "默认账号=bob\r\n"
        "\r\n"
        " [client] ; current\r\n"
        "  ACCOUNT = old  \r\n"
        "junk line\r\n"
        "\r\n"
        "[Tail]\n"
        "x=1";
    IniFile ini = IniFile::Parse(before);
    ini.Set("Client", "Account", "new");
    ini.Set("Client", "SID", "5");
    ini.Set("Fresh", "Key", "line\r\nbreak");
    EXPECT_EQ(ini.ToUtf8Text(),
              "; written by hand\r\n"
              "[客户端]\r\n"
              "默认账号=bob\r\n"
              "\r\n"
              " [client] ; current\r\n"
              "ACCOUNT=new\r\n"
              "junk line\r\n"
              "SID=5\r\n"
              "\r\n"
              "[Tail]\r\n"
              "x=1\r\n"
              "[Fresh]\r\n"
              "Key=line  break\r\n");
}

TEST(IniFileRobustness, SurvivesMalformedHugeAndTruncatedInput) {
    std::mt19937 rng(12345);
    std::string random_bytes(64 * 1024, '\0');
    for (char& c : random_bytes) c = static_cast<char>(rng());
    std::string many_lines;
    for (int i = 0; i < 50000; ++i) many_lines += (i % 7 == 0) ? "[s" + std::to_string(i % 50) + "]\n" : "k=v\r\n";
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"only a mark", "\xEF\xBB\xBF"},
        {"random bytes", random_bytes},
        {"random bytes after utf-8 mark", "\xEF\xBB\xBF" + random_bytes},
        {"random bytes after utf-16 mark", "\xFF\xFE" + random_bytes},
        {"odd utf-16 length", std::string("\xFF\xFE[\0a", 5)},
        {"lone surrogates", std::string("\xFF\xFE\x00\xD8[\x00\x00\xDC", 8)},
        {"truncated utf-8", "\xEF\xBB\xBF[a]\nk=\xE5\xBC"},
        {"truncated code page 936 pair", "[a]\r\nk=\xD5"},
        {"nul bytes", std::string("[a\0]\r\nk\0=\0v", 11)},
        {"unclosed header", "[abc\r\nk=v"},
        {"lone carriage returns", "[a]\rk=v\r\rj=w"},
        {"one huge line", std::string(1 << 20, 'x')},
        {"many sections", many_lines},
        {"header brackets only", std::string(100000, '[')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IniFile ini = IniFile::Parse(c.bytes);
        ini.Set("Client", "Account", "张三");
        EXPECT_EQ(ini.Get("Client", "Account"), "张三");
        ExpectStableRoundTrip(c.bytes);
    }
}

}  // namespace
}  // namespace orlo
