// Enciphered server lists and disguised mod lists come back to their JSON through the
// launcher's own decoding steps.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>

#include "codec/base64.h"
#include "codec/xxtea.h"
#include "devserver_process.h"
#include "support/look_alike_table.h"
#include "platform/codepage.h"

namespace orlo::test {
namespace {

constexpr std::string_view kMarker = "4meJnPyl";
constexpr std::string_view kCipherKey = "k9HdLpQ2vs";

struct Deciphered {
    std::string marker;
    std::string ansi;
};

Deciphered Decipher(const std::string& body) {
    auto bytes = Base64Decode(body);
    EXPECT_TRUE(bytes) << bytes.error();
    if (!bytes || bytes->size() < kMarker.size()) return {};
    ByteView all(*bytes);
    Bytes plain = XXTeaDecrypt(all.subspan(kMarker.size()), AsBytes(kCipherKey));
    return {AsString(all.first(kMarker.size())), AsString(plain)};
}

TEST(DevServerAnswers, EncipheredServerListDecodesToTheListInTheAnsiCodePage) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    auto res = client.Get("/s/cipher/gsl/main/good.json" + SignedListQuery("/s/ciphergood.json", LauncherTimeStamp()));
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200);

    Deciphered d = Decipher(res->body);
    EXPECT_EQ(d.marker, kMarker);
    const std::string expected_utf8 =
        R"({"srvRoot":"example.net","serverGroup":[{"tag":1,"name":"电信一区"}],)"
        R"("serverData":[{"tag":1,"srvid":101,"srvname":"龙腾四海","port":7000,"state":2}]})";
    // The launcher reads deciphered bytes in its ANSI code page, not as UTF-8.
    auto expected_ansi = platform::Utf8ToAnsi(expected_utf8);
    ASSERT_TRUE(expected_ansi);
    EXPECT_EQ(d.ansi, *expected_ansi);
    EXPECT_EQ(nlohmann::json::parse(platform::AnsiToUtf8(d.ansi)), nlohmann::json::parse(expected_utf8));
}

TEST(DevServerAnswers, WrongMarkerIsSentAsConfigured) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    auto res = client.Get("/s/cipher/gsl/main/wrong-marker.json" +
                          SignedListQuery("/s/cipherwrong-marker.json", LauncherTimeStamp()));
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200);
    Deciphered d = Decipher(res->body);
    EXPECT_EQ(d.marker, "XXXXXXXX");
    EXPECT_EQ(d.ansi, R"({"serverData": []})");
}

// The look-alike table as the launcher decodes it: every code unit of every row.
const std::map<char32_t, char>& LookAlikes() {
    static const std::map<char32_t, char> table = [] {
        std::map<char32_t, char> t;
        for (const auto& row : orlo::testing::kLookAlikeRows) {
            for (char16_t u : row.units) t[u] = row.output;
        }
        return t;
    }();
    return table;
}

// Decodes UTF-8 to code points, maps look-alikes back, and counts how many it replaced.
std::string Undisguise(const std::string& utf8, int& replaced) {
    std::string out;
    replaced = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        std::size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? b : b & (0x3F >> (len - 1));
        for (std::size_t k = 1; k < len && i + k < utf8.size(); ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
        if (auto it = LookAlikes().find(cp); it != LookAlikes().end()) {
            out += it->second;
            ++replaced;
        } else {
            out.append(utf8, i, len);
        }
        i += len;
    }
    return out;
}

TEST(DevServerAnswers, DisguisedModListRoundTripsThroughTheLookAlikeTable) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    auto res =
        client.Get("/s/disguised/gsl/auth/mod_list_auth/9" + SignedListQuery("/s/disguised/9", LauncherTimeStamp()));
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200);

    // Nothing the table covers is left in plain sight, so the launcher's first parse must fail.
    for (char c : std::string_view("0123456789\",[].:/abcdefghiklmopqrstuvwxyz")) {
        EXPECT_EQ(res->body.find(c), std::string::npos) << "plain '" << c << "' left in " << res->body;
    }
    EXPECT_FALSE(nlohmann::json::accept(res->body));

    int replaced = 0;
    std::string decoded = Undisguise(res->body, replaced);
    EXPECT_GT(replaced, 100);
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port()) + "/s/disguised";
    auto expected = nlohmann::json::parse(
        R"({"resURL": "http://res.example.net:8080/a/b.zip", "resVer": "20260101",
            "gameType": "cq25D", "customData": {"isEncrypt": 1, "npOpenStatus": 0},
            "modData": [{"id": "9", "name": "奥罗", "srvlist": ")" +
        base + R"(/gsl/main/jn.json", "winURL": "http://upd.example.com/qvwxyz/"}]})");
    EXPECT_EQ(nlohmann::json::parse(decoded), expected) << decoded;
}

}  // namespace
}  // namespace orlo::test
