#include "catalogue/list_request.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "codec/digest.h"

namespace orlo {
namespace {

TEST(ResourceName, PathWithoutPrefixesAndQuery) {
    struct Case {
        const char* url;
        std::string_view prefix;
        const char* expected;
    };
    const Case cases[] = {
        {"http://list.example.com/gsl/auth/mod_list_auth/1001", kModListServicePrefix, "/1001"},
        {"http://list.example.com/gsl/main/s/88.json", kServerListServicePrefix, "s/88.json"},
        {"http://list.example.com:8080/gsl/auth/server_list_auth/gsl/main/s/9.json", kServerListServicePrefix,
         "s/9.json"},
        // Neither prefix: the whole path, leading "/" included.
        {"http://list.example.com/mods/1001.json", kModListServicePrefix, "/mods/1001.json"},
        // Only the first "/gsl/main/" goes.
        {"http://h/gsl/main/a/gsl/main/b", kModListServicePrefix, "a/gsl/main/b"},
        // The other service's prefix is not removed, and matching is case-sensitive.
        {"http://h/gsl/auth/server_list_auth/7", kModListServicePrefix, "/gsl/auth/server_list_auth/7"},
        {"http://h/GSL/MAIN/x", kModListServicePrefix, "/GSL/MAIN/x"},
        {"http://h/gsl/main/s/1.json?v=2#top", kServerListServicePrefix, "s/1.json"},
        {"http://h/p#frag?x", kServerListServicePrefix, "/p"},
        {"http://h", kModListServicePrefix, ""},
        {"http://h?time=1", kModListServicePrefix, ""},
        {"h/path", kModListServicePrefix, "/path"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(ResourceName(c.url, c.prefix), c.expected);
    }
}

// Signatures computed independently (python3 hashlib.md5 of the signing text).
TEST(SignedUrls, MatchReferenceSignatures) {
    EXPECT_EQ(BuildGatewayUrl("http://list.example.com/gateway", "1700000000"),
              "http://list.example.com/gateway?time=1700000000&sign=c07b615e8ff29edba08d7829a1823435&type=getaway");
    EXPECT_EQ(
        BuildSignedUrl("http://list.example.com/gsl/auth/mod_list_auth/1001", kModListServicePrefix, "1700000000"),
        "http://list.example.com/gsl/auth/mod_list_auth/1001?time=1700000000&sign=503202ecbd172c8bc0d71e958c8add14");
    EXPECT_EQ(BuildSignedUrl("http://list.example.com/gsl/main/s/88.json", kServerListServicePrefix, "1700000000"),
              "http://list.example.com/gsl/main/s/88.json?time=1700000000&sign=e13196a01b9e14ef037c1da3de77afac");
}

TEST(SignedUrls, AddressWithQueryGetsSecondQuestionMark) {
    const std::string url = BuildGatewayUrl("http://h/gw?op=7", "5");
    EXPECT_EQ(url, "http://h/gw?op=7?time=5&sign=" + SignDigest("key=Gd8vQk3TzLw6YpJa&time=5") + "&type=getaway");
    const std::string signed_url = BuildSignedUrl("http://h/gsl/main/s/1.json?v=2", kServerListServicePrefix, "5");
    EXPECT_EQ(signed_url,
              "http://h/gsl/main/s/1.json?v=2?time=5&sign=" + SignDigest("data=s/1.json&key=Gd8vQk3TzLw6YpJa&time=5"));
}

TEST(SignedUrls, SignatureIsLowerCaseHex) {
    for (const char* stamp : {"0", "1", "1700000000", "-28800"}) {
        const std::string url = BuildGatewayUrl("http://h", stamp);
        const std::size_t at = url.find("&sign=") + 6;
        const std::string sign = url.substr(at, url.find('&', at) - at);
        ASSERT_EQ(sign.size(), 32u) << stamp;
        EXPECT_EQ(sign.find_first_not_of("0123456789abcdef"), std::string::npos) << sign;
    }
}

// The stamp follows the machine's zone, so each case pins TZ and restores it afterwards.
class TimeZoneScope {
  public:
    explicit TimeZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        Set(zone);
    }
    ~TimeZoneScope() { Set(saved_ ? saved_->c_str() : nullptr); }

  private:
    static void Set(const char* zone) {
#ifdef _WIN32
        _putenv_s("TZ", zone ? zone : "");
        _tzset();
#else
        if (zone) {
            setenv("TZ", zone, 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
#endif
    }
    std::optional<std::string> saved_;
};

TEST(ListTimeStamp, LocalTimeAsIfUtcMinusEightHours) {
    const auto at = std::chrono::system_clock::from_time_t(1709294400);  // 2024-03-01 12:00:00 UTC
    struct Case {
        const char* zone;
        std::int64_t expected;
    };
    const Case cases[] = {
        {"CST-8", 1709294400},         // on UTC+8 the stamp is the true Unix time
        {"UTC0", 1709294400 - 28800},  // on UTC it runs eight hours behind
        {"EST5", 1709294400 - 5 * 3600 - 28800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        TimeZoneScope zone(c.zone);
        EXPECT_EQ(ListTimeValue(at), c.expected);
        EXPECT_EQ(ListTimeStamp(at), std::to_string(c.expected));
    }
}

TEST(ListTimeStamp, EarlyTimesAreNegative) {
    TimeZoneScope zone("UTC0");
    EXPECT_EQ(ListTimeStamp(std::chrono::system_clock::from_time_t(0)), "-28800");
}

TEST(GatewayAddresses, DataArrayOrNothing) {
    using Addresses = std::optional<std::vector<std::string>>;
    const std::pair<const char*, Addresses> cases[] = {
        {R"({"data":["http://a/1","http://b/2"],"code":0})", std::vector<std::string>{"http://a/1", "http://b/2"}},
        {R"({"data":[]})", std::vector<std::string>{}},
        {R"({"data":["x",null]})", std::vector<std::string>{"x", ""}},
        {R"({"data":"http://a/1"})", std::nullopt},
        {R"({"list":["http://a/1"]})", std::nullopt},
        {R"(["http://a/1"])", std::nullopt},
        {"<html>502</html>", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [body, expected] : cases) {
        SCOPED_TRACE(body);
        EXPECT_EQ(GatewayAddresses(body), expected);
    }
}

TEST(ListJsonInt, IntegersAndDigitStrings) {
    const auto doc = listjson::ParseObject(
        R"({"n":7,"s":"42","neg":"-3","big":4294967297,"huge":18446744073709551615,"f":2.9,)"
        R"("word":"abc","mixed":"1a","empty":"","space":" 1","t":true,"o":{},"long":"99999999999999999999"})");
    ASSERT_TRUE(doc);
    const std::pair<const char*, std::int32_t> int32_cases[] = {
        {"n", 7},     {"s", 42},    {"neg", -3},  {"big", 0}, {"huge", 0}, {"f", 2},    {"word", 0},
        {"mixed", 0}, {"empty", 0}, {"space", 0}, {"t", 0},   {"o", 0},    {"long", 0}, {"missing", 0},
    };
    for (const auto& [key, expected] : int32_cases) {
        SCOPED_TRACE(key);
        EXPECT_EQ(listjson::Int32(*doc, key), expected);
    }
    EXPECT_EQ(listjson::Int64(*doc, "big"), 4294967297);
}

TEST(ListJsonParseInt32, DecimalWithinRange) {
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"7000", 7000},
        {"-1", -1},
        {"+5", 5},
        {"0070", 70},
        {"2147483647", 2147483647},
        {"-2147483648", std::int32_t{-2147483647} - 1},
        {"2147483648", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"70 00", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(listjson::ParseInt32(text), expected);
    }
}

}  // namespace
}  // namespace orlo
