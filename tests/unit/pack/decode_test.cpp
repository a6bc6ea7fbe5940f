#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "catalogue/server_list_cache.h"
#include "codec/blowfish_phrase.h"
#include "codec/xxtea.h"
#include "decode.h"
#include "launch/env_file.h"
#include "launch/start_record.h"

namespace orlo {
namespace {

TEST(DecodeHandOff, EnvJsonShowsChineseTextAsItIs) {
    const std::string json = R"({"channel":7,"user_name":"张三","resolution":"1024x768"})";
    Bytes file = EncodeEnvFile(json);
    EXPECT_EQ(AsString(ByteView(file).first(8)), "4meJnPyl");
    EXPECT_EQ(file.size(), 8 + 4 * ((json.size() + 3) / 4 + 1));
    auto shown = pack::DecodeEnvJsonFile(file);
    ASSERT_TRUE(shown.ok()) << shown.error();
    EXPECT_NE(shown->find("\"张三\""), std::string::npos) << *shown;
    EXPECT_EQ(shown->find("\\u"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(*shown), nlohmann::json::parse(json));
}

TEST(DecodeHandOff, CacheFileIsOneLineUnderTheSharedPhrase) {
    const std::string list = R"({"data":[{"name":"一区"}]})";
    std::string line = EncodeServerListCache(list);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    auto shown = pack::DecodeCacheFile(AsBytes(line + "\r\n"));
    ASSERT_TRUE(shown.ok()) << shown.error();
    EXPECT_NE(shown->find("一区"), std::string::npos);
}

TEST(DecodeHandOff, StartRecordRoundTripsThroughTheCommandLine) {
    TClientStartRecord r;
    r.ServerName = "一区 青龙";
    r.ServerIP = "127.0.0.1";
    r.ServerKey = std::string(120, 'k');  // cut to 100
    r.ResourceFolder = "data\\";
    r.Port = 7000;
    r.FullScreen = 1;
    r.Width = 1366;
    r.Height = 768;
    r.ClientType = 3;
    Bytes bytes = EncodeClientStartRecord(r);
    ASSERT_EQ(bytes.size(), kClientStartRecordSize);
    EXPECT_EQ(bytes[196], 0x01);
    EXPECT_EQ(bytes[197], 0x42);
    EXPECT_EQ(bytes[375], 9);
    auto shown = pack::DecodeStartRecordText(AsBytes(EncryptLaunchRecord(bytes) + "\n"));
    ASSERT_TRUE(shown.ok()) << shown.error();
    auto json = nlohmann::json::parse(*shown);
    EXPECT_EQ(json["ServerName"], "一区 青龙");
    EXPECT_EQ(json["ServerKey"].get<std::string>().size(), 100u);
    EXPECT_EQ(json["Port"], 7000);
    EXPECT_EQ(json["Width"], 1366);
}

TEST(DecodeHandOff, DamagedFilesAreReportedNotShown) {
    Bytes env = EncodeEnvFile(R"({"gm":1})");
    struct Case {
        const char* what;
        Result<std::string> (*decode)(ByteView);
        std::string bytes;
    };
    const Case cases[] = {
        {"env.json without its marker", pack::DecodeEnvJsonFile, "{\"gm\":1}"},
        {"env.json cut short", pack::DecodeEnvJsonFile, AsString(ByteView(env).first(10))},
        {"env.json of another key", pack::DecodeEnvJsonFile,
         "4meJnPyl" + AsString(XXTeaEncrypt(AsBytes(R"({"gm":1})"), AsBytes("another key")))},
        {"cache that is not Base64", pack::DecodeCacheFile, "not base64 at all!"},
        {"cache shorter than its IV", pack::DecodeCacheFile, "AAAA"},
        {"record that is not Base64", pack::DecodeStartRecordText, "%%%"},
        {"record of the wrong size", pack::DecodeStartRecordText, EncryptLaunchRecord(Bytes(100, 1))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto shown = c.decode(AsBytes(c.bytes));
        EXPECT_FALSE(shown.ok());
        EXPECT_FALSE(shown.error().empty());
    }
}

}  // namespace
}  // namespace orlo
