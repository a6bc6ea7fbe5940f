// The request log: what each scenario received, as the tests of the launcher read it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "devserver_process.h"

namespace orlo::test {
namespace {

nlohmann::json Log(httplib::Client& client, const std::string& scenario) {
    auto res = client.Get("/_log/" + scenario);
    EXPECT_TRUE(res);
    if (!res) return nullptr;
    EXPECT_EQ(res->status, 200);
    return nlohmann::json::parse(res->body);
}

TEST(DevServerRequestLog, RecordsWhatWasSentPerScenario) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    ASSERT_TRUE(client.Delete("/_log/log"));
    ASSERT_TRUE(client.Delete("/_log/log-other"));
    EXPECT_EQ(Log(client, "log"), nlohmann::json::array());

    const std::string gateway_query = SignedGatewayQuery(LauncherTimeStamp()).substr(1);
    const httplib::Headers launcher_headers = {
        {"User-Agent", "Mozilla/5.0 (Windows NT 5.1; rv:8.0) Gecko/20100101 Firefox/8.0"},
        {"Pragma", "no-cache"},
    };
    ASSERT_TRUE(client.Get("/s/log?" + gateway_query, launcher_headers));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(client.Get("/s/log/gsl/auth/mod_list_auth/1?time=1&sign=bad"));
    ASSERT_TRUE(client.Get("/s/log-other" + SignedGatewayQuery(LauncherTimeStamp())));

    nlohmann::json log = Log(client, "log");
    ASSERT_EQ(log.size(), 2u) << log.dump(2);
    EXPECT_EQ(log[0]["method"], "GET");
    EXPECT_EQ(log[0]["path"], "/s/log");
    EXPECT_EQ(log[0]["query"], gateway_query);
    EXPECT_EQ(log[0]["headers"]["User-Agent"], "Mozilla/5.0 (Windows NT 5.1; rv:8.0) Gecko/20100101 Firefox/8.0");
    EXPECT_EQ(log[0]["headers"]["Pragma"], "no-cache");
    EXPECT_EQ(log[0]["status"], 200);
    EXPECT_FALSE(log[0]["headers"].contains("REMOTE_ADDR")) << "only headers that were on the wire";

    EXPECT_EQ(log[1]["path"], "/s/log/gsl/auth/mod_list_auth/1");
    EXPECT_EQ(log[1]["query"], "time=1&sign=bad");
    EXPECT_EQ(log[1]["status"], 403);
    EXPECT_FALSE(log[1]["headers"].contains("Pragma"));
    EXPECT_GE(log[1]["time_ms"].get<long long>() - log[0]["time_ms"].get<long long>(), 300);

    EXPECT_EQ(Log(client, "log-other").size(), 1u);
    ASSERT_TRUE(client.Delete("/_log/log"));
    EXPECT_EQ(Log(client, "log"), nlohmann::json::array());
    EXPECT_EQ(Log(client, "log-other").size(), 1u) << "clearing one scenario's log leaves the others";
}

TEST(DevServerRequestLog, UnknownScenarioHasNoLog) {
    DevServerProcess& server = SharedDevServer();
    ASSERT_TRUE(server.started());
    auto client = server.Client();
    auto res = client.Get("/_log/nobody");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
}

}  // namespace
}  // namespace orlo::test
