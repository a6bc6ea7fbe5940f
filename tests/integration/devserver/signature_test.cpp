// The devserver accepts exactly the requests the launcher signs, and refuses the rest with 403.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "codec/secrets.h"
#include "devserver_process.h"

namespace orlo::test {
namespace {

struct SignedCase {
    const char* what;
    std::string target;  // path and query
    int status;
};

std::string T(std::int64_t offset = 0) { return std::to_string(LauncherTimeStamp() + offset); }

std::string GatewaySignedOver(const std::string& signing_text, const std::string& time) {
    return "?time=" + time + "&sign=" + Sign(signing_text) + "&type=getaway";
}

std::vector<SignedCase> Cases() {
    const std::int64_t now = LauncherTimeStamp();
    const std::string key(secrets::kListServiceKey);
    std::string upper_sign = Sign("key=" + key + "&time=" + T());
    for (char& c : upper_sign) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return {
        {"gateway, signed", "/s/signed" + SignedGatewayQuery(now), 200},
        {"gateway at the address with a trailing slash", "/s/signed/" + SignedGatewayQuery(now), 200},
        {"gateway without type=getaway", "/s/signed?time=" + T() + "&sign=" + Sign("key=" + key + "&time=" + T()), 403},
        {"gateway signed with another key", "/s/signed" + GatewaySignedOver("key=x&time=" + T(), T()), 403},
        {"gateway signature in capitals", "/s/signed?time=" + T() + "&sign=" + upper_sign + "&type=getaway", 403},
        {"gateway fields in another order",
         "/s/signed?sign=" + Sign("key=" + key + "&time=" + T()) + "&time=" + T() + "&type=getaway", 403},
        {"gateway without query", "/s/signed", 403},
        // Mod-list and server-list resource names: prefix removed, scenario prefix kept.
        {"mod list under mod_list_auth",
         "/s/signed/gsl/auth/mod_list_auth/1001" + SignedListQuery("/s/signed/1001", now), 200},
        {"mod list signed over the whole path",
         "/s/signed/gsl/auth/mod_list_auth/1001" + SignedListQuery("/s/signed/gsl/auth/mod_list_auth/1001", now), 403},
        {"mod list outside the service prefixes signs its full path",
         "/s/signed/plain/1001" + SignedListQuery("/s/signed/plain/1001", now), 200},
        {"server list under /gsl/main/", "/s/signed/gsl/main/s/88.json" + SignedListQuery("/s/signeds/88.json", now),
         200},
        {"server list under server_list_auth",
         "/s/signed/gsl/auth/server_list_auth/7" + SignedListQuery("/s/signed/7", now), 200},
        {"server list with /gsl/main/ twice loses only the first",
         "/s/signed/gsl/main/a/gsl/main/b.json" + SignedListQuery("/s/signeda/gsl/main/b.json", now), 200},
        {"server list signed with the mod-list name rule",
         "/s/signed/gsl/auth/server_list_auth/7" + SignedListQuery("/s/signed/gsl/auth/server_list_auth/7", now), 403},
        {"mod list with a tampered signature",
         "/s/signed/gsl/auth/mod_list_auth/1001?time=" + T() + "&sign=00000000000000000000000000000000", 403},
        {"mod list without signature", "/s/signed/gsl/auth/mod_list_auth/1001?time=" + T(), 403},
        {"mod list with an extra field",
         "/s/signed/gsl/auth/mod_list_auth/1001" + SignedListQuery("/s/signed/1001", now) + "&x=1", 403},
        // Time stamps within five minutes either way are taken.
        {"time stamp 290 s old", "/s/signed" + SignedGatewayQuery(now - 290), 200},
        {"time stamp 290 s ahead", "/s/signed" + SignedGatewayQuery(now + 290), 200},
        {"time stamp 310 s old", "/s/signed" + SignedGatewayQuery(now - 310), 403},
        {"time stamp 310 s ahead", "/s/signed" + SignedGatewayQuery(now + 310), 403},
        {"time stamp with a leading zero", "/s/signed" + GatewaySignedOver("key=" + key + "&time=0" + T(), "0" + T()),
         403},
        {"time stamp with a sign", "/s/signed" + GatewaySignedOver("key=" + key + "&time=+" + T(), "+" + T()), 403},
        {"time stamp that is not a number", "/s/signed" + GatewaySignedOver("key=" + key + "&time=now", "now"), 403},
        // The switch turns every check off.
        {"unchecked scenario, no query", "/s/unsigned/gsl/auth/mod_list_auth/1", 200},
        {"unchecked scenario, wrong signature", "/s/unsigned?time=1&sign=x&type=getaway", 200},
        // Unknown paths are not found before any signature matters.
        {"unknown path in a scenario",
         "/s/signed/gsl/main/nothing.json" + SignedListQuery("/s/signednothing.json", now), 404},
        {"unknown scenario", "/s/nobody" + SignedGatewayQuery(now), 404},
    };
}

TEST(DevServerSignature, AcceptsWhatTheLauncherSignsAndRefusesTheRest) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    for (const SignedCase& c : Cases()) {
        SCOPED_TRACE(std::string(c.what) + ": " + c.target);
        auto res = client.Get(c.target);
        ASSERT_TRUE(res) << httplib::to_string(res.error());
        EXPECT_EQ(res->status, c.status) << res->body;
    }
}

TEST(DevServerSignature, RefusalsNameTheReasonInTheLog) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    auto res = client.Get("/s/signed" + SignedGatewayQuery(LauncherTimeStamp() - 4000));
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 403);
    EXPECT_NE(server.Stderr().find("s off the expected"), std::string::npos) << server.Stderr();
}

TEST(DevServerAnswers, GatewayListsModListAddressesUnderTheScenarioBase) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port()) + "/s/signed";

    auto gateway = client.Get("/s/signed" + SignedGatewayQuery(LauncherTimeStamp()));
    ASSERT_TRUE(gateway);
    ASSERT_EQ(gateway->status, 200);
    EXPECT_EQ(nlohmann::json::parse(gateway->body),
              nlohmann::json::parse(
                  R"({"data": [")" + base +
                  R"(/gsl/auth/mod_list_auth/1001", "http://mirror.example/gsl/auth/mod_list_auth/1001"]})"));

    auto mod =
        client.Get("/s/signed/gsl/auth/mod_list_auth/1001" + SignedListQuery("/s/signed/1001", LauncherTimeStamp()));
    ASSERT_TRUE(mod);
    ASSERT_EQ(mod->status, 200);
    EXPECT_EQ(nlohmann::json::parse(mod->body)["modData"][0]["srvlist"], base + "/gsl/main/s/88.json");

    auto down = client.Get("/s/gw-down" + SignedGatewayQuery(LauncherTimeStamp()));
    ASSERT_TRUE(down);
    EXPECT_EQ(down->status, 503);
}

}  // namespace
}  // namespace orlo::test
