// Enciphered server lists and disguised mod lists come back to their JSON through the
// launcher's own decoding steps.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>

#include "codec/base64.h"
#include "codec/xxtea.h"
#include "devserver_process.h"
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
        const std::vector<std::pair<char, std::vector<char32_t>>> rows = {
            {'0', {0x0101, 0x00B1, 0x011B, 0x03BE}}, {'1', {0x2642, 0x03C4, 0x03BF, 0x03B4}},
            {'2', {0x03C6, 0x044E, 0x00E9, 0x012B}}, {'3', {0x0448, 0x014D, 0x0113, 0x043F}},
            {'4', {0x0431, 0x044C, 0x01D2, 0x044F}}, {'5', {0xFF0B, 0x00E1, 0x03C3, 0x03B1}},
            {'6', {0x00F3, 0x2229, 0x01CE, 0x03B5}}, {'7', {0x00ED, 0x00F2, 0x00EC, 0x00B0}},
            {'8', {0x00E0, 0x25CB, 0x03C8, 0x2640}}, {'9', {0x03B6, 0x30E7, 0x00E8, 0x01D0}},
            {'"', {0x03BB, 0x01D8, 0x03B9, 0x01D4}}, {',', {0x01DA, 0x02D9, 0x00F9, 0x00FC}},
            {'[', {0x01D6, 0x016B, 0x0451, 0x0437}}, {']', {0x01DC, 0x00FA, 0x03C9, 0x044D}},
            {'.', {0x30CD, 0x30DA, 0x3127, 0x3125}}, {':', {0x30CE, 0x30DB, 0x30E8, 0x3126}},
            {'/', {0x30CF, 0x30DC, 0x311A, 0x3128}}, {'a', {0x3043, 0x3044, 0x3045, 0x3046}},
            {'b', {0x3047, 0x3048, 0x3049, 0x304A}}, {'c', {0x304B, 0x304C, 0x304D, 0x304E}},
            {'d', {0x304F, 0x3050, 0x3051, 0x3052}}, {'e', {0x3053, 0x3054, 0x3055, 0x3056}},
            {'f', {0x3057, 0x3058, 0x3059, 0x305A}}, {'g', {0x305B, 0x305C, 0x305D, 0x305E}},
            {'h', {0x305F, 0x3060, 0x3061, 0x3062}}, {'i', {0x3063, 0x3064, 0x3065, 0x3066}},
            {'g', {0x3067, 0x3068, 0x3069, 0x306A}}, {'k', {0x306B, 0x306C, 0x306D, 0x306E}},
            {'l', {0x306F, 0x3070, 0x3071, 0x3072}}, {'m', {0x3073, 0x3074, 0x3075, 0x30B6}},
            {'c', {0x30B7, 0x30B8, 0x30B9, 0x30BA}}, {'o', {0x30BB, 0x30BC, 0x30BD, 0x30BE}},
            {'p', {0x30BF, 0x30C0, 0x30C1, 0x30C2}}, {'q', {0x30C3, 0x30D0, 0x30DD, 0x311B}},
            {'r', {0x30C4, 0x30D1, 0x30DE, 0x311C}}, {'s', {0x30C5, 0x30D2, 0x30DF, 0x311D}},
            {'t', {0x30C6, 0x30D3, 0x30E0, 0x311E}}, {'u', {0x30C7, 0x30D4, 0x30E1, 0x311F}},
            {'v', {0x30C8, 0x30D5, 0x30E2, 0x3120}}, {'w', {0x30C9, 0x30D6, 0x30E3, 0x3121}},
            {'x', {0x30CA, 0x30D7, 0x30E4, 0x3122}}, {'y', {0x30CB, 0x30D8, 0x30E5, 0x3123}},
            {'z', {0x30CC, 0x30D9, 0x30E6, 0x3124}},
        };
        std::map<char32_t, char> t;
        for (const auto& [plain, units] : rows) {
            for (char32_t u : units) t[u] = plain;
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
