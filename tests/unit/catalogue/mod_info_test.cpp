#include "catalogue/mod_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "codec/text_forms.h"
#include "support/look_alike_table.h"

namespace orlo {
namespace {

constexpr const char* kFullModList = R"({
  "resURL": "http://res.example.com/", "resVer": "20240301", "refer": "portal",
  "urlsuffix": 3, "currVersion": "17", "reviewVersion": 9, "gameType": "cq",
  "customData": {"npOpenStatus": 1, "isEncrypt": 1},
  "modData": [
    {"id": "1001", "name": "首区", "logo": "l.png", "srvlist": "http://list.example.com/gsl/main/s/88.json",
     "operid": "7", "winURL": "http://dl.example.com/", "noticeURL": "http://n/", "homeURL": "http://h/",
     "helpURL": "http://help/"},
    {"id": "1002", "srvlist": "http://ignored/"}
  ]})";

TEST(InitModinfo, ReadsEveryField) {
    TModinfo info;
    std::string game_type = "cq";
    ASSERT_TRUE(info.InitModinfo(kFullModList, game_type));
    EXPECT_EQ(info.resURL, "http://res.example.com/");
    EXPECT_EQ(info.resVer, "20240301");
    EXPECT_EQ(info.refer, "portal");
    EXPECT_EQ(info.urlsuffix, 3);
    EXPECT_EQ(info.currVersion, 17);
    EXPECT_EQ(info.reviewVersion, 9);
    EXPECT_TRUE(info.FneedNP);
    EXPECT_TRUE(info.FisEncrypt);
    EXPECT_EQ(info.ModeItemAray.id, "1001");
    EXPECT_EQ(info.ModeItemAray.name, "首区");
    EXPECT_EQ(info.ModeItemAray.logo, "l.png");
    EXPECT_EQ(info.GetServerLstUrl(), "http://list.example.com/gsl/main/s/88.json");
    EXPECT_EQ(info.ModeItemAray.operid, "7");
    EXPECT_EQ(info.GetWinUrl(), "http://dl.example.com/");
    EXPECT_EQ(info.GetNoticeUrl(), "http://n/");
    EXPECT_EQ(info.GetHomeUrl(), "http://h/");
    EXPECT_EQ(info.GetHelpUrl(), "http://help/");
    EXPECT_EQ(game_type, "cq");
}

TEST(InitModinfo, GameTypeOnlyMovesToCq25D) {
    struct Case {
        const char* start;
        const char* list;
        const char* after;
    };
    const Case cases[] = {
        {"cq", R"({"gameType":"cq25D"})", "cq25D"},
        {"cq25D", R"({"gameType":"cq"})", "cq25D"},
        {"cq25D", R"({})", "cq25D"},
        {"cq", R"({"gameType":"CQ25D"})", "cq"},
        {"cq", R"({"gameType":"cq25D "})", "cq"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        TModinfo info;
        std::string game_type = c.start;
        EXPECT_TRUE(info.InitModinfo(c.list, game_type));
        EXPECT_EQ(game_type, c.after);
    }
    EXPECT_EQ(GameType(), "cq");
}

TEST(InitModinfo, CustomDataFlags) {
    struct Case {
        const char* list;
        bool need_np;
        bool encrypt;
    };
    // Every case starts from both flags set, so "keeps" and "clears" can be told apart.
    const Case cases[] = {
        {R"({"customData":{"isEncrypt":"1"}})", false, true},
        {R"({"customData":{"isEncrypt":2,"npOpenStatus":1}})", true, false},
        {R"({"customData":{"isEncrypt":4294967297}})", false, false},  // not 1 in 64 bits
        {R"({"customData":{"isEncrypt":true}})", false, false},
        {R"({"customData":{"isEncrypt":" 1"}})", false, false},
        {R"({"customData":{}})", false, false},
        {R"({"customData":null})", false, false},
        {R"({})", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        TModinfo info;
        info.FneedNP = info.FisEncrypt = true;
        std::string game_type = "cq";
        ASSERT_TRUE(info.InitModinfo(c.list, game_type));
        EXPECT_EQ(info.FneedNP, c.need_np);
        EXPECT_EQ(info.FisEncrypt, c.encrypt);
    }
}

TEST(InitModinfo, LaterListOverwritesTopLevelButKeepsModData) {
    const char* later_lists[] = {
        R"({"modData":[]})",
        R"({"refer":"x"})",
        R"({"modData":{"srvlist":"http://not-an-array/"}})",
    };
    for (const char* later : later_lists) {
        SCOPED_TRACE(later);
        TModinfo info;
        std::string game_type = "cq";
        ASSERT_TRUE(info.InitModinfo(kFullModList, game_type));
        ASSERT_TRUE(info.InitModinfo(later, game_type));
        EXPECT_EQ(info.GetServerLstUrl(), "http://list.example.com/gsl/main/s/88.json");
        EXPECT_EQ(info.ModeItemAray.id, "1001");
        EXPECT_EQ(info.resVer, "");
        EXPECT_EQ(info.resURL, "");
        EXPECT_EQ(info.urlsuffix, 0);
        EXPECT_EQ(info.currVersion, 0);
    }
}

TEST(InitModinfo, NewModDataReplacesEveryItemField) {
    TModinfo info;
    std::string game_type = "cq";
    ASSERT_TRUE(info.InitModinfo(kFullModList, game_type));
    ASSERT_TRUE(info.InitModinfo(R"({"modData":[{"srvlist":"http://b/","winURL":17}]})", game_type));
    EXPECT_EQ(info.GetServerLstUrl(), "http://b/");
    EXPECT_EQ(info.GetWinUrl(), "17");
    EXPECT_EQ(info.ModeItemAray.id, "");
    EXPECT_EQ(info.GetHelpUrl(), "");
}

TEST(InitModinfo, ValueTypes) {
    TModinfo info;
    std::string game_type = "cq";
    ASSERT_TRUE(info.InitModinfo(
        R"({"resVer":null,"refer":["a"],"urlsuffix":"12","currVersion":"v2","reviewVersion":3000000000})", game_type));
    EXPECT_EQ(info.resVer, "");
    EXPECT_EQ(info.refer, "");
    EXPECT_EQ(info.urlsuffix, 12);
    EXPECT_EQ(info.currVersion, 0);
    EXPECT_EQ(info.reviewVersion, 0);  // beyond 32 bits
}

TEST(InitModinfo, UnreadableTextLeavesObjectAlone) {
    const std::string bad[] = {
        "", "not json", R"({"resVer":"1")", "[1,2,3]", "\"text\"", std::string(2000, '[') + std::string(2000, ']'),
    };
    for (const auto& text : bad) {
        SCOPED_TRACE(text.substr(0, 40));
        TModinfo info;
        std::string game_type = "cq";
        ASSERT_TRUE(info.InitModinfo(kFullModList, game_type));
        EXPECT_FALSE(info.InitModinfo(text, game_type));
        EXPECT_EQ(info.resVer, "20240301");
        EXPECT_EQ(info.GetServerLstUrl(), "http://list.example.com/gsl/main/s/88.json");
        EXPECT_TRUE(info.FisEncrypt);
    }
}

TEST(InitModinfo, MalformedBytesReadThroughTheAnsiStep) {
    // The reader refuses malformed UTF-8; the fallback's ANSI step turns the stray byte into "?".
    TModinfo info;
    std::string game_type = "cq";
    ASSERT_TRUE(info.InitModinfo("{\"resVer\":\"7\xff\"}", game_type));
    EXPECT_EQ(info.resVer, "7?");
}

std::string Utf8Of(char16_t unit) {
    std::string out;
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
    return out;
}

using orlo::testing::kLookAlikeRows;
using Row = orlo::testing::LookAlikeRow;

TEST(DecodeSubstitution, EveryTableEntry) {
    for (const auto& row : kLookAlikeRows) {
        for (const char16_t unit : row.units) {
            SCOPED_TRACE(static_cast<int>(unit));
            EXPECT_EQ(DecodeSubstitution(Utf8Of(unit)), std::string(1, row.output));
        }
    }
}

TEST(DecodeSubstitution, OtherTextPassesUnchanged) {
    const std::string cases[] = {
        "{\"plain\": 1}",
        "首区 ñ ¥",
        "\xF0\x9F\x98\x80",                           // outside the BMP: two code units, neither listed
        std::string("\xff\x80 broken \xe3\x81", 12),  // malformed bytes are copied as they are
        "jn",
    };
    for (const auto& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(DecodeSubstitution(text), text);
    }
}

// How a list service disguises: each character with a row becomes a unit of that row, the
// unit picked by position so all four columns get used.
std::string Disguise(std::string_view plain, bool j_and_n_too) {
    std::string out;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char c = plain[i];
        const Row* found = nullptr;
        for (const auto& row : kLookAlikeRows) {
            if (row.output == c) found = &row;  // the later of two rows, to cover both
        }
        if (j_and_n_too && c == 'j') found = &kLookAlikeRows[26];  // the row after "i"
        if (j_and_n_too && c == 'n') found = &kLookAlikeRows[30];  // the row after "m"
        out += found ? Utf8Of(found->units[i % 4]) : std::string(1, c);
    }
    return out;
}

TEST(InitModinfo, DisguisedListDecodes) {
    const std::string plain =
        R"({"resVer":"20240301","customData":{"isEncrypt":1},"modData":[{"srvlist":"http://list.example.com/gsl/main/s/88.json","winURL":"http://dl.example.com/"}]})";
    const std::string disguised = Disguise(plain, false);
    ASSERT_NE(disguised, plain);
    TModinfo info;
    std::string game_type = "cq";
    ASSERT_TRUE(info.InitModinfo(disguised, game_type));
    EXPECT_EQ(info.resVer, "20240301");
    EXPECT_TRUE(info.FisEncrypt);
    EXPECT_EQ(info.GetServerLstUrl(), "http://list.example.com/gsl/main/s/88.json");
    EXPECT_EQ(info.GetWinUrl(), "http://dl.example.com/");
}

TEST(InitModinfo, DisguisedJAndNComeBackAsGAndC) {
    EXPECT_EQ(DecodeSubstitution(Disguise("json name", true)), "gsoc came");
    // So a disguised "name" key reads as "came" and the field stays empty.
    TModinfo info;
    std::string game_type = "cq";
    ASSERT_TRUE(info.InitModinfo(Disguise(R"({"modData":[{"name":"x","id":"5"}]})", true), game_type));
    EXPECT_EQ(info.ModeItemAray.name, "");
    EXPECT_EQ(info.ModeItemAray.id, "5");
}

TEST(InitModinfo, DisguisedListTakenForAnsiDecodes) {
    // A body whose UTF-8 bytes were read in the ANSI code page: the fallback's ANSI step gets
    // the bytes back. Only code pages that map every byte involved can make that round trip; on
    // POSIX the test picks a single-byte Western one, as many Windows installations use.
#ifndef _WIN32
    setenv("ORLO_ANSI_CODEPAGE", "ISO-8859-1", 1);
    struct Restore {
        ~Restore() { unsetenv("ORLO_ANSI_CODEPAGE"); }
    } restore;
#endif
    const std::string disguised = Disguise(R"({"resVer":"77","modData":[{"srvlist":"http://a/b"}]})", false);
    const std::string misread = FromAnsiForm(disguised);
    if (AnsiForm(misread) != disguised) GTEST_SKIP() << "this ANSI code page does not round-trip the bytes";
    TModinfo info;
    std::string game_type = "cq";
    ASSERT_TRUE(info.InitModinfo(misread, game_type));
    EXPECT_EQ(info.resVer, "77");
    EXPECT_EQ(info.GetServerLstUrl(), "http://a/b");
}

}  // namespace
}  // namespace orlo
