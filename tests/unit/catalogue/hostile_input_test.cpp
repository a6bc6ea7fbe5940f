// Mod lists and server lists come off the network (or a cache file anyone can edit): whatever
// arrives must end in true or false, quickly, without a crash.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "catalogue/list_request.h"
#include "catalogue/server_info.h"

namespace orlo {
namespace {

constexpr const char* kServerList =
    R"({"serverGroup":[{"tag":1,"name":"g"}],"serverData":[{"tag":1,"srvname":"a","srvip":"h","port":7000}]})";

bool LoadsModList(const std::string& text) {
    TServerInfo info;
    std::string game_type = "cq";
    return info.LoadModInfoFromJSONString(text, game_type);
}

bool LoadsServerList(const std::string& text) {
    TServerInfo info;
    return info.LoadServerListFromJSONString(text);
}

TEST(HostileInput, BrokenTextsFail) {
    const std::string full(kServerList);
    const std::string cases[] = {
        "<html><body>502 Bad Gateway</body></html>",
        full.substr(0, full.size() / 2),
        full.substr(0, full.size() - 1),
        std::string("{\"a\":\"\0\"}", 8),
        "{\"a\":\"\\ud800\"}",  // a lone surrogate escape
        "\xEF\xBB\xBF",
        "{\"a\":1}garbage",
        "null",
    };
    for (const auto& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(LoadsServerList(text));
        EXPECT_FALSE(LoadsModList(text));
        EXPECT_FALSE(GatewayAddresses(text).has_value());
    }
}

TEST(HostileInput, DeepNestingIsRefusedBeforeParsing) {
    const std::size_t depth = 100000;
    const std::string arrays = "{\"a\":" + std::string(depth, '[') + std::string(depth, ']') + "}";
    const std::string objects = [&] {
        std::string s;
        for (std::size_t i = 0; i < depth; ++i) s += "{\"a\":";
        s += "1";
        s += std::string(depth, '}');
        return s;
    }();
    const std::string unclosed = std::string(depth, '[');
    for (const std::string* text : {&arrays, &objects, &unclosed}) {
        EXPECT_FALSE(LoadsServerList(*text));
        EXPECT_FALSE(LoadsModList(*text));
        EXPECT_FALSE(GatewayAddresses(*text).has_value());
    }
}

TEST(HostileInput, NestingLimit) {
    const auto nested = [](std::size_t depth) {
        return "{\"custom\":" + std::string(depth - 1, '[') + std::string(depth - 1, ']') + ",\"x\":{}}";
    };
    EXPECT_TRUE(listjson::ParseObject(nested(listjson::kMaxDepth)).has_value());
    EXPECT_FALSE(listjson::ParseObject(nested(listjson::kMaxDepth + 1)).has_value());
    // Brackets inside strings, escaped quotes included, do not count.
    const std::string in_string = "{\"a\":\"\\\"" + std::string(100000, '[') + "\"}";
    EXPECT_TRUE(listjson::ParseObject(in_string).has_value());
}

TEST(HostileInput, FiftyMegabytesOfGarbage) {
    std::mt19937 rng(7);
    std::string garbage(50u << 20, '\0');
    for (auto& c : garbage) c = static_cast<char>(rng());
    const std::string prefixed = "{\"serverData\":[" + garbage;
    const auto start = std::chrono::steady_clock::now();
    for (const std::string_view text : {std::string_view(garbage), std::string_view(prefixed)}) {
        EXPECT_FALSE(LoadsServerList(std::string(text)));
        EXPECT_FALSE(LoadsModList(std::string(text)));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

TEST(HostileInput, LongValidServerList) {
    // About 50 MiB in an optimised build; the sanitised debug build reads a tenth of that.
#if defined(NDEBUG)
    const std::size_t servers = 150000;
#else
    const std::size_t servers = 15000;
#endif
    std::string text = R"({"serverGroup":[{"tag":1,"name":"g"},{"tag":2,"name":"h"}],"serverData":[)";
    const std::string padding(128, 'p');
    for (std::size_t i = 0; i < servers; ++i) {
        if (i) text += ',';
        text += R"({"tag":)" + std::to_string(i % 2 + 1) + R"(,"srvid":)" + std::to_string(i) +
                R"(,"srvname":"server )" + std::to_string(i) + R"(","srvip":"10.0.0.1","port":7000,"state":2,)" +
                R"("beta":")" + padding + R"(","urlsuffix":")" + padding + R"("})";
    }
    text += "]}";
    TServerInfo info;
    ASSERT_TRUE(info.LoadServerListFromJSONString(text));
    EXPECT_EQ(info.FServerList.Count(), static_cast<int>(servers));
    EXPECT_EQ(info.FServerList.GetItem(0)->Fsrvid, std::to_string(servers - 2));
}

TEST(HostileInput, SharedTagsCannotMultiplyWithoutBound) {
    // Every group shares the tag of every server: the product is far beyond any real list.
    std::string text = R"({"serverGroup":[)";
    for (int i = 0; i < 2000; ++i) text += std::string(i ? "," : "") + R"({"tag":1})";
    text += R"(],"serverData":[)";
    for (int i = 0; i < 2000; ++i) text += std::string(i ? "," : "") + R"({"tag":1,"port":1,"srvip":"h"})";
    text += "]}";
    TServerInfo info;
    ASSERT_TRUE(info.LoadServerListFromJSONString(text));
    EXPECT_GT(info.FServerList.Count(), 0);
    EXPECT_LE(info.FServerList.Count(), 200000);
}

}  // namespace
}  // namespace orlo
